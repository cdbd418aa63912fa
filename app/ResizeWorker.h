#pragma once

#include "app/ResizeOptions.h"

/// A -j child's whole life: reads its tasks from stdin to the end, resizes
/// them in order and writes a reply line per file to stdout. Returns the
/// process's exit status: 130 after a stop signal, 0 otherwise.
int RunResizeWorker(const ResizeOptions& options);
