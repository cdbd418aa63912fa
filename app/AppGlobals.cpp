#include "app/AppGlobals.h"

#include <wx/msgdlg.h>

const wxString AppTitle = wxT("Pixmora");
const wxString AppVersion = wxT("2.1");

void ShowError(const wxString& message)
{
    wxMessageDialog dialog(nullptr, message, AppTitle, wxOK | wxICON_ERROR);
    dialog.ShowModal();
}

bool AskYesNo(const wxString& question)
{
    wxMessageDialog dialog(nullptr, question, AppTitle, wxYES_NO | wxNO_DEFAULT | wxICON_EXCLAMATION);
    return dialog.ShowModal() == wxID_YES;
}

wxString IntToString(int n)
{
    return wxString::Format(wxT("%d"), n);
}
