#include "app/WorkerPool.h"

#include "app/StopSignals.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <map>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

struct Worker
{
    pid_t pid = -1;
    int replies = -1;
    std::string pending;
    std::vector<std::size_t> unfinished;
};

bool WriteAll(int fd, const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size())
    {
        const ssize_t written = ::write(fd, text.data() + at, text.size() - at);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        at += static_cast<std::size_t>(written);
    }
    return true;
}

/// Starts a child that reads its tasks on stdin and replies on stdout;
/// false when it could not be started.
bool StartWorker(const std::vector<std::string>& arguments, Worker& worker, int& tasksFd)
{
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(fromChild, O_CLOEXEC) != 0)
    {
        ::close(toChild[0]);
        ::close(toChild[1]);
        return false;
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
    {
        // Only async-signal-safe calls from here to exec.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        ::signal(SIGPIPE, SIG_DFL);
        ::dup2(toChild[0], 0);
        ::dup2(fromChild[1], 1);
        ::execv("/proc/self/exe", argv.data());
        ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (pid < 0)
    {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        return false;
    }
    worker.pid = pid;
    worker.replies = fromChild[0];
    tasksFd = toChild[1];
    return true;
}

void TakeLines(Worker& worker, const ShareListener& listener)
{
    std::size_t end;
    while ((end = worker.pending.find('\n')) != std::string::npos)
    {
        const std::string line = worker.pending.substr(0, end);
        worker.pending.erase(0, end + 1);
        WorkerReply reply;
        if (!DecodeReply(line, reply))
            continue;
        if (reply.kind == WorkerReply::Kind::Started)
        {
            if (listener.started)
                listener.started(reply.index);
            continue;
        }
        auto& unfinished = worker.unfinished;
        const auto at = std::find(unfinished.begin(), unfinished.end(), reply.index);
        if (at == unfinished.end())
            continue;
        unfinished.erase(at);
        if (listener.finished)
            listener.finished(reply.index, reply.outcome);
    }
}

wxString EndOfWorker(int status)
{
    if (WIFSIGNALED(status))
        return wxString::Format("the worker process ended by signal %d before this file was "
                                "done",
                                WTERMSIG(status));
    return "the worker process ended before this file was done";
}

} // namespace

void RunWorkerPool(const std::vector<WorkerTask>& tasks, int workerCount,
                   const std::vector<std::string>& arguments, const ShareListener& listener,
                   const std::function<void()>& idle)
{
    // A child that dies early must not take the parent with it.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<Worker> workers(static_cast<std::size_t>(workerCount));
    for (std::size_t w = 0; w < workers.size(); ++w)
    {
        Worker& worker = workers[w];
        std::string share;
        for (std::size_t i = w; i < tasks.size(); i += workers.size())
        {
            share += EncodeTask(tasks[i]);
            worker.unfinished.push_back(tasks[i].index);
        }
        int tasksFd = -1;
        if (!StartWorker(arguments, worker, tasksFd))
            continue;
        // The child reads all of its share before it starts, so this cannot
        // block for long; if it died, its files are reported below.
        WriteAll(tasksFd, share);
        ::close(tasksFd);
    }

    bool stopPassedOn = false;
    for (;;)
    {
        std::vector<pollfd> polled;
        std::vector<Worker*> owners;
        for (Worker& worker : workers)
            if (worker.replies >= 0)
            {
                polled.push_back({worker.replies, POLLIN, 0});
                owners.push_back(&worker);
            }
        if (polled.empty())
            break;
        if (StopRequested() && !stopPassedOn)
        {
            for (Worker& worker : workers)
                if (worker.pid > 0)
                    ::kill(worker.pid, SIGTERM);
            stopPassedOn = true;
        }
        const int ready = ::poll(polled.data(), polled.size(), 500);
        if (idle)
            idle();
        if (ready <= 0)
            continue;
        for (std::size_t i = 0; i < polled.size(); ++i)
        {
            if (polled[i].revents == 0)
                continue;
            char buffer[65536];
            const ssize_t got = ::read(polled[i].fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got > 0)
            {
                owners[i]->pending.append(buffer, static_cast<std::size_t>(got));
                TakeLines(*owners[i], listener);
                continue;
            }
            ::close(owners[i]->replies);
            owners[i]->replies = -1;
        }
    }

    for (Worker& worker : workers)
    {
        int status = 0;
        if (worker.pid > 0)
            while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR)
            {
            }
        const wxString reason = worker.pid > 0
                                    ? EndOfWorker(status)
                                    : wxString("the worker process could not be started");
        for (std::size_t index : worker.unfinished)
        {
            FileOutcome outcome;
            // A child told to stop leaves its remaining files on purpose.
            if (StopRequested())
                outcome.result.status = ResizeResult::Status::Stopped;
            else
                outcome.result.reason = reason;
            if (listener.finished)
                listener.finished(index, outcome);
        }
    }
}
