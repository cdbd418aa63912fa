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
};
