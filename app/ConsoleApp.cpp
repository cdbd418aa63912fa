#include "app/ConsoleApp.h"

#include "app/ApplicationSetup.h"

#include <exiv2/xmp_exiv2.hpp>
#include <wx/init.h>

#include <cstdio>

bool ConsoleApp::OnInit()
{
    SetUpApplication(*this);
    return true;
}

int ConsoleApp::OnExit()
{
    Exiv2::XmpParser::terminate();
    return wxAppConsole::OnExit();
}

wxAppConsole* ConsoleApp::Start(const char* programName, char* argv0)
{
    int toolkitArgc = 1;
    char* toolkitArgv[] = {argv0, nullptr};
    // wxTheApp would cast to the window's application class, which a console
    // application is not.
    wxAppConsole* app = nullptr;
    if (!wxEntryStart(toolkitArgc, toolkitArgv) || !(app = wxAppConsole::GetInstance()) ||
        !app->CallOnInit())
    {
        std::fprintf(stderr, "%s: cannot start the toolkit\n", programName);
        return nullptr;
    }
    return app;
}

void ConsoleApp::Stop(wxAppConsole* app)
{
    app->OnExit();
    wxEntryCleanup();
}
