#include "ui/MainFrame.h"

MainFrame::MainFrame(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                     const wxSize& size, long style)
    : wxFrame(parent, id, caption, pos, size, style, wxT("frame"))
{
}
