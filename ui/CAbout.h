#pragma once

#include <wx/bitmap.h>
#include <wx/dialog.h>

class wxStaticText;

enum
{
    ID_HYPERLINK = 10018,
};

/// The About box: icon, title and version, a short description, the maker's
/// web address and the copyright.
class CAbout : public wxDialog
{
public:
    CAbout();
    CAbout(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
           const wxSize& size, long style);

    bool Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                const wxSize& size, long style);

    /// The picture of the given resource name; the null bitmap for unknown
    /// names.
    static wxBitmap GetBitmapResource(const wxString& name);

private:
    void CreateControls();
    void OnCloseClick(wxCommandEvent& event);

    wxStaticText* m_versionLabel;

    wxDECLARE_DYNAMIC_CLASS(CAbout);
    wxDECLARE_EVENT_TABLE();
};
