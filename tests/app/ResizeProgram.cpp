#include "tests/app/ResizeProgram.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

std::vector<char*> Argv(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(PIXMORA_RESIZE_PROGRAM));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

[[noreturn]] void Exec(std::vector<char*>& argv)
{
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

std::string ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string TemporaryPath(const char* what)
{
    std::string path = std::string("/tmp/pixmora-resize-test-") + what + "-XXXXXX";
    const int fd = ::mkstemp(&path[0]);
    if (fd >= 0)
        ::close(fd);
    return path;
}

} // namespace

int WaitForExit(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

pid_t StartResize(const std::vector<std::string>& arguments, const std::string& errPath)
{
    std::vector<char*> argv = Argv(arguments);
    const pid_t pid = ::fork();
    if (pid == 0)
    {
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int none = ::open("/dev/null", O_RDWR);
        ::dup2(none, 0);
        ::dup2(none, 1);
        ::dup2(err, 2);
        Exec(argv);
    }
    return pid;
}

ProgramRun RunResize(const std::vector<std::string>& arguments)
{
    const std::string outPath = TemporaryPath("out");
    const std::string errPath = TemporaryPath("err");
    std::vector<char*> argv = Argv(arguments);
    ProgramRun run;
    const pid_t pid = ::fork();
    if (pid == 0)
    {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_TRUNC);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_TRUNC);
        const int none = ::open("/dev/null", O_RDONLY);
        ::dup2(none, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        Exec(argv);
    }
    run.status = WaitForExit(pid);
    run.out = ReadAll(outPath);
    run.err = ReadAll(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return run;
}

ProgramRun RunResizeOnTerminal(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv = Argv(arguments);
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0)
        Exec(argv);
    ProgramRun run;
    char buffer[4096];
    for (;;)
    {
        const ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got > 0)
            run.err.append(buffer, static_cast<size_t>(got));
        else if (got < 0 && errno == EINTR)
            continue;
        else
            break; // EIO once the child has closed its side
    }
    ::close(terminal);
    run.status = WaitForExit(pid);
    return run;
}
