#include "tests/ui/UiTestSupport.h"

#include <wx/button.h>
#include <wx/checklst.h>
#include <wx/filename.h>
#include <wx/textctrl.h>

MainFrame* MakeFrame()
{
    auto* frame =
        new MainFrame(nullptr, ID_MAINFRAME, wxT("Pixmora"), wxDefaultPosition, wxSize(500, 600),
                      wxCAPTION | wxRESIZE_BORDER | wxSYSTEM_MENU | wxMINIMIZE_BOX |
                          wxMAXIMIZE_BOX | wxCLOSE_BOX);
    frame->Show(true);
    return frame;
}

void Click(wxWindow* frame, int id)
{
    wxButton* button = Control<wxButton>(frame, id);
    ASSERT_NE(button, nullptr);
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
}

void Type(wxWindow* frame, int id, const wxString& text)
{
    wxTextCtrl* field = Control<wxTextCtrl>(frame, id);
    ASSERT_NE(field, nullptr);
    field->SetValue(text);
}

wxArrayString ListEntries(wxWindow* frame)
{
    wxCheckListBox* list = Control<wxCheckListBox>(frame, ID_FILE_LIST);
    return list ? list->GetStrings() : wxArrayString();
}
