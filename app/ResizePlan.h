#pragma once

#include "app/ResizeOptions.h"

#include <wx/string.h>

#include <vector>

/// One input file and what is to become of it, decided before any file is
/// resized.
struct PlannedFile
{
    enum class Verdict
    {
        Resize,
        /// The output exists and --overwrite was not given.
        SkipExists,
        /// Refused before any work (name clash, output is the source, an
        /// input that does not exist); message says why.
        Refuse,
    };

    wxString source;
    wxString output;
    Verdict verdict = Verdict::Resize;
    wxString message;
};

/// Expands the inputs in the order given (a folder's files in name order,
/// its sub-folders after them with -r) and gives each file its output path
/// and verdict. A folder that cannot be read, or an input that does not
/// exist, gives one refused entry named after it.
std::vector<PlannedFile> PlanResize(const ResizeOptions& options);
