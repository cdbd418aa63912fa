#include "app/PixmoraApp.h"

#include "app/ApplicationSetup.h"
#include "ui/MainFrame.h"

#include <exiv2/exiv2.hpp>

wxIMPLEMENT_DYNAMIC_CLASS(PixmoraApp, wxApp);

wxBEGIN_EVENT_TABLE(PixmoraApp, wxApp)
wxEND_EVENT_TABLE()

bool PixmoraApp::OnInit()
{
    // The base OnInit is not called: it would parse the command line, and
    // arguments are to have no effect.
    SetUpApplication(*this);

    MainFrame* frame = new MainFrame(nullptr, ID_MAINFRAME, _("Pixmora"), wxDefaultPosition,
                                     wxSize(500, 600),
                                     wxCAPTION | wxRESIZE_BORDER | wxSYSTEM_MENU | wxMINIMIZE_BOX |
                                         wxMAXIMIZE_BOX | wxCLOSE_BOX);
    frame->Show(true);
    return true;
}

int PixmoraApp::OnExit()
{
    Exiv2::XmpParser::terminate();
    return wxApp::OnExit();
}
