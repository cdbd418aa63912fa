#pragma once

#include <wx/dnd.h>

class wxTextCtrl;

/// Drop target of a folder field: takes exactly one existing folder, never
/// files. A drop on the source field also refills the file list.
class DnDFile : public wxFileDropTarget
{
public:
    DnDFile(wxTextCtrl* textCtrl, bool isSource);

    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& names) override;

private:
    wxTextCtrl* m_textCtrl; // not owned: the field owns this target
    bool m_isSource;
};
