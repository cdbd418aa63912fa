#include "ui/DnDFile.h"

#include "ui/MainFrame.h"

#include <wx/filefn.h>
#include <wx/textctrl.h>

DnDFile::DnDFile(wxTextCtrl* textCtrl, bool isSource) : m_textCtrl(textCtrl), m_isSource(isSource)
{
}

bool DnDFile::OnDropFiles(wxCoord, wxCoord, const wxArrayString& names)
{
    if (names.size() != 1 || !wxDirExists(names[0]))
        return false;
    m_textCtrl->SetValue(names[0]);
    if (m_isSource)
    {
        if (auto* frame = wxDynamicCast(wxGetTopLevelParent(m_textCtrl), MainFrame))
            frame->FillFileList(names[0]);
    }
    return true;
}
