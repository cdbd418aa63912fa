#pragma once

#include "app/ResizeShare.h"
#include "app/WorkerMessages.h"

#include <functional>
#include <vector>

/// Runs tasks in `workers` child processes, each this program again in its
/// worker mode with the same arguments, the tasks dealt out in turn. Child
/// processes rather than threads: the metadata library, the toolkit's
/// per-thread log and its global log level are not made for parallel jobs
/// in one process, and a child that crashes takes only its own file.
///
/// The listener hears of files as children report them (not in input
/// order). idle is called about twice a second. A stop signal is passed on
/// to every child. A task no child reported on is finished as NotWritten
/// with the reason, or as Stopped after a
/// stop signal.
void RunWorkerPool(const std::vector<WorkerTask>& tasks, int workers,
                   const std::vector<std::string>& arguments, const ShareListener& listener,
                   const std::function<void()>& idle);
