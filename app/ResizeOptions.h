#pragma once

#include "job/ResizeRequest.h"

#include <wx/arrstr.h>
#include <wx/string.h>

/// What the user asked pixmora-resize to do, checked and complete.
struct ResizeOptions
{
    wxArrayString inputs;
    wxString outputFolder;
    ResizeRequest request;
    bool shrinkOnly = false;
    bool overwrite = false;
    bool saveToJpeg = false;
    bool recursive = false;
    /// Files worked on at once, each in a process of its own when above 1.
    int jobs = 1;
    bool quiet = false;
    bool verbose = false;
    /// Empty: no report.
    wxString reportPath;
};
