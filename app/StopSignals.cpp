#include "app/StopSignals.h"

#include <csignal>

namespace
{

volatile std::sig_atomic_t gStopRequested = 0;

extern "C" void OnStopSignal(int) noexcept
{
    gStopRequested = 1;
}

} // namespace

void InstallStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and writes carry on; poll() still wakes up.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested()
{
    return gStopRequested != 0;
}
