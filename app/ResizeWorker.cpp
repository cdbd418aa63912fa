#include "app/ResizeWorker.h"

#include "app/ConsoleLog.h"
#include "app/ResizeShare.h"
#include "app/StopSignals.h"
#include "app/WorkerMessages.h"

#include <wx/log.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace
{

void Send(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

} // namespace

int RunResizeWorker(const ResizeOptions& options)
{
    std::vector<WorkerTask> tasks;
    std::string line;
    while (std::getline(std::cin, line))
    {
        WorkerTask task;
        if (DecodeTask(line, task))
            tasks.push_back(task);
    }

    // Messages travel with each file's reply; the parent prints them.
    ConsoleLog* log = new ConsoleLog(ConsoleLog::Mode::Keep);
    delete wxLog::SetActiveTarget(log);
    ShareListener listener;
    listener.started = [](std::size_t index) { Send(EncodeStarted(index)); };
    listener.finished = [](std::size_t index, const FileOutcome& outcome)
    { Send(EncodeFinished(index, outcome)); };
    RunResizeShare(tasks, options, *log, listener);
    return StopRequested() ? 130 : 0;
}
