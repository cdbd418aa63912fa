#pragma once

#include "app/FileOutcome.h"
#include "app/ResizeOptions.h"
#include "app/WorkerMessages.h"

#include <cstddef>
#include <functional>
#include <vector>

class ConsoleLog;

/// What a share of the files tells whoever runs it; indexes are the tasks'.
struct ShareListener
{
    std::function<void(std::size_t index)> started;
    std::function<void(std::size_t index, const FileOutcome& outcome)> finished;
};

/// Resizes tasks in their order through the batch driver, in this process,
/// until they are done or a stop signal came. log's kept lines (a -j
/// child's) go with each file's outcome.
void RunResizeShare(const std::vector<WorkerTask>& tasks, const ResizeOptions& options,
                    ConsoleLog& log, const ShareListener& listener);

/// The request that gives file's own size when request would enlarge it on
/// either side; request itself otherwise. A Width request of the source's
/// width keeps the height exactly (H x W / W), through the same pipeline.
ResizeRequest ShrinkOnlyRequest(const ResizeRequest& request, int sourceWidth, int sourceHeight);
