#include "app/ConsoleApp.h"

#include "app/ApplicationSetup.h"

#include <exiv2/xmp_exiv2.hpp>

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
