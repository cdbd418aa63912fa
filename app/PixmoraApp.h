#pragma once

#include <wx/app.h>

class PixmoraApp : public wxApp
{
public:
    bool OnInit() override;
    int OnExit() override;

private:
    wxDECLARE_DYNAMIC_CLASS(PixmoraApp);
    wxDECLARE_EVENT_TABLE();
};

wxDECLARE_APP(PixmoraApp);
