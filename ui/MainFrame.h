#pragma once

#include <wx/frame.h>

enum
{
    ID_MAINFRAME = 10000,
};

class MainFrame : public wxFrame
{
public:
    MainFrame(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
              const wxSize& size, long style);
};
