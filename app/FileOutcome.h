#pragma once

#include "job/ResizeResult.h"

#include <wx/string.h>

#include <vector>

/// One resized file's result and the log lines it produced, as a -j child
/// hands them to its parent.
struct FileOutcome
{
    ResizeResult result;
    std::vector<wxString> messages;
};
