// pixmora-resize: the batch resizer without a window, for scripts, servers
// and batches too large for one machine.

#include "Identity.h"
#include "app/ConsoleApp.h"
#include "app/ResizeCommand.h"
#include "app/ResizeCommandLine.h"
#include "app/ResizeWorker.h"
#include "app/StopSignals.h"

#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace
{

int DefaultJobs()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

int Run(int argc, char** argv)
{
    ResizeOptions options;
    wxString error;
    switch (ParseResizeCommandLine(argc, argv, DefaultJobs(), options, error))
    {
    case CommandLineAction::Help:
        std::fputs(ResizeUsageText().utf8_str(), stdout);
        return 0;
    case CommandLineAction::Version:
        std::printf("pixmora-resize %s\n", PIXMORA_VERSION);
        return 0;
    case CommandLineAction::UsageError:
        std::fprintf(stderr,
                     "pixmora-resize: %s\nTry 'pixmora-resize --help' for more information.\n",
                     static_cast<const char*>(error.utf8_str()));
        return 2;
    case CommandLineAction::Worker:
        SetUpResizeLogging(options);
        return RunResizeWorker(options);
    case CommandLineAction::Run:
        break;
    }
    SetUpResizeLogging(options);
    return RunResizeCommand(options, std::vector<std::string>(argv, argv + argc));
}

} // namespace

wxIMPLEMENT_APP_NO_MAIN(ConsoleApp);

int main(int argc, char** argv)
{
    // Before anything else: a signal during start-up still ends the run
    // through the flag.
    InstallStopSignals();
    // The toolkit is started with no arguments of ours.
    wxAppConsole* app = ConsoleApp::Start("pixmora-resize", argv[0]);
    if (!app)
        return 1;
    const int status = Run(argc, argv);
    ConsoleApp::Stop(app);
    return status;
}
