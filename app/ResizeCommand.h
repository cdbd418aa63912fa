#pragma once

#include "app/ResizeOptions.h"

#include <string>
#include <vector>

/// Runs pixmora-resize with checked options: plans every input, resizes
/// what is to be resized (in -j child processes when more than one job),
/// prints each input's messages in input order, writes the report and
/// returns the exit status: 0 all written or skipped, 1 a failure, 130
/// after SIGINT or SIGTERM. arguments are the program's own, passed on to
/// its children.
int RunResizeCommand(const ResizeOptions& options, const std::vector<std::string>& arguments);

/// The toolkit's log levels for -q, -v or neither; the same in a child.
void SetUpResizeLogging(const ResizeOptions& options);
