#include "ui/AppGlobals.h"

#include "Identity.h"

#include <wx/msgdlg.h>

const wxString AppTitle = wxString::FromUTF8(PIXMORA_TITLE);
const wxString AppVersion = wxString::FromUTF8(PIXMORA_VERSION);

void ShowError(const wxString& message)
{
    wxMessageDialog dialog(nullptr, message, AppTitle, wxOK | wxICON_ERROR);
    dialog.ShowModal();
}

bool AskYesNo(const wxString& question)
{
    wxMessageDialog dialog(nullptr, question, AppTitle,
                           wxYES_NO | wxNO_DEFAULT | wxICON_EXCLAMATION);
    return dialog.ShowModal() == wxID_YES;
}

wxString IntToString(int n)
{
    return wxString::Format(wxT("%d"), n);
}
