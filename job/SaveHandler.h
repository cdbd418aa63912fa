#pragma once

#include <wx/image.h>
#include <wx/string.h>

/// The output format's name as the toolkit's save-by-name sees it: the part
/// of path after its last "." (all of path when it has none), lower-cased.
wxString OutputExtension(const wxString& path);

/// The handler that save-by-name would write with: the first registered
/// handler whose extension equals extension, or nullptr when there is none.
wxImageHandler* FindSaveHandler(const wxString& extension);
