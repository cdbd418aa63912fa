#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

/// Full paths of the files directly inside folder (no subfolders, no hidden
/// files) whose names match the wildcard pattern without regard to case, as
/// the Windows file system matches them: "*.jpg" finds PHOTO.JPG too.
/// A folder that does not exist or cannot be read gives no paths, silently.
/// The order is the file system's; callers sort.
wxArrayString ListFolderFiles(const wxString& folder, const wxString& pattern);
