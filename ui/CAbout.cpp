#include "ui/CAbout.h"

#include "ui/AppGlobals.h"

#include <wx/button.h>
#include <wx/hyperlink.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "graphics/PixmoraIcon.xpm"

namespace
{

// Under the reserved .example domain, so that it points at nobody.
const wxString kMakerAddress = wxT("https://pixmora.example/");

} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CAbout, wxDialog);

CAbout::CAbout() : m_versionLabel(nullptr) {}

CAbout::CAbout(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
               const wxSize& size, long style)
    : m_versionLabel(nullptr)
{
    Create(parent, id, caption, pos, size, style);
}

bool CAbout::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                    const wxSize& size, long style)
{
    SetExtraStyle(wxWS_EX_BLOCK_EVENTS);
    wxDialog::Create(parent, id, caption, pos, size, style, wxT("dialog"));
    CreateControls();
    if (GetSizer())
        GetSizer()->SetSizeHints(this);
    Centre(wxBOTH);
    return true;
}

wxBitmap CAbout::GetBitmapResource(const wxString& name)
{
    if (name == wxT("graphics/PixmoraIcon.xpm"))
        return wxBitmap(PixmoraIcon_xpm);
    return wxNullBitmap;
}

void CAbout::CreateControls()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    SetSizer(column);

    auto* titleRow = new wxBoxSizer(wxHORIZONTAL);
    column->Add(titleRow, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    auto* picture =
        new wxStaticBitmap(this, wxID_STATIC, GetBitmapResource(wxT("graphics/PixmoraIcon.xpm")),
                           wxDefaultPosition, wxSize(32, 32), 0, wxT("staticBitmap"));
    titleRow->Add(picture, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_versionLabel = new wxStaticText(this, wxID_STATIC, _("Pixmora Version x.x"),
                                      wxDefaultPosition, wxDefaultSize, 0, wxT("staticText"));
    titleRow->Add(m_versionLabel, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    column->Add(new wxStaticText(this, wxID_STATIC,
                                 _("Pixmora resizes images with a high-quality algorithm.")),
                0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    column->Add(new wxStaticText(this, wxID_STATIC,
                                 _("It keeps each image's colour profile and Exif data.")),
                0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    column->Add(new wxHyperlinkCtrl(this, ID_HYPERLINK, wxGetTranslation(kMakerAddress),
                                    kMakerAddress, wxDefaultPosition, wxDefaultSize,
                                    wxHL_DEFAULT_STYLE, wxT("hyperlink")),
                0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    column->Add(new wxStaticText(this, wxID_STATIC, _("Copyright (C) Quillon")), 0,
                wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    column->Add(5, 3, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    auto* closeButton = new wxButton(this, wxID_CLOSE, _("&Close"), wxDefaultPosition,
                                     wxDefaultSize, 0, wxDefaultValidator, wxT("button"));
    closeButton->SetDefault();
    column->Add(closeButton, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    column->Add(5, 3, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);

    m_versionLabel->SetLabel(AppTitle + _(" version ") + AppVersion);
}

void CAbout::OnCloseClick(wxCommandEvent&)
{
    EndModal(wxID_OK);
}

// clang-format off
wxBEGIN_EVENT_TABLE(CAbout, wxDialog)
    EVT_BUTTON(wxID_CLOSE, CAbout::OnCloseClick)
wxEND_EVENT_TABLE()
    // clang-format on
