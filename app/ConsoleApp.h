#pragma once

#include <wx/app.h>

/// The application object of the programs without a window (pixmora-resize,
/// pixmora-bench): the job needs the toolkit's images, logs and conversions
/// but never a display, and starting the GUI would cost more than decoding a
/// large photo. Sets the application up as the window's start-up does.
class ConsoleApp : public wxAppConsole
{
public:
    bool OnInit() override;
    int OnExit() override;

    /// Starts the toolkit and the program's application object (which the
    /// program's wxIMPLEMENT_APP_NO_MAIN names) with no arguments of the
    /// caller's; null, with a line on stderr, when it cannot.
    static wxAppConsole* Start(const char* programName, char* argv0);
    /// Ends what Start began.
    static void Stop(wxAppConsole* app);
};
