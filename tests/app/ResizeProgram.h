#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

/// What one run of the built pixmora-resize did.
struct ProgramRun
{
    /// The exit status, or 128 + the signal that ended it.
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs pixmora-resize with arguments and without a display; stdout and
/// stderr go to files, so neither is a terminal.
ProgramRun RunResize(const std::vector<std::string>& arguments);

/// Starts pixmora-resize without waiting for it; stderr goes to errPath.
pid_t StartResize(const std::vector<std::string>& arguments, const std::string& errPath);

/// Waits for pid; its exit status, or 128 + the signal that ended it.
int WaitForExit(pid_t pid);

/// Runs pixmora-resize with its stderr (and stdout) on a pseudo-terminal
/// and returns everything written there.
ProgramRun RunResizeOnTerminal(const std::vector<std::string>& arguments);
