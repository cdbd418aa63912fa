#pragma once

#include "app/ResizeOptions.h"

#include <wx/string.h>

/// What the command line asks for.
enum class CommandLineAction
{
    Run,
    /// The internal mode of a -j child: requests on stdin, results on stdout.
    Worker,
    Help,
    Version,
    /// error holds one line naming the problem.
    UsageError,
};

/// Parses pixmora-resize's arguments (after the toolkit has started, so that
/// file names convert as the toolkit converts them) into options, with
/// defaults for what is not given. defaultJobs is -j's default.
CommandLineAction ParseResizeCommandLine(int argc, char** argv, int defaultJobs,
                                         ResizeOptions& options, wxString& error);

/// The --help text: every option, as the parser lists them.
wxString ResizeUsageText();
