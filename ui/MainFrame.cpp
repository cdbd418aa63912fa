#include "ui/MainFrame.h"

#include "platform/IconResource.h"
#include "ui/CAbout.h"
#include "ui/DnDFile.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/intl.h>
#include <wx/panel.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

namespace
{

const wxString kIconName = wxT("graphics/PixmoraIcon.xpm");

/// The executable's icon group behind a resource name, all its sizes.
wxIconBundle GetIconBundleResource(const wxString& name)
{
    if (name == kIconName)
        return LoadIconResource(wxT("PX_ICON"));
    return wxIconBundle();
}

} // namespace

wxIMPLEMENT_CLASS(MainFrame, wxFrame);

MainFrame::MainFrame(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                     const wxSize& size, long style)
    : wxFrame(parent, id, caption, pos, size, style, wxT("frame")),
      m_chooseFolder([this](const wxString& message, const wxString& initial)
                     { return ShowFolderDialog(message, initial); })
{
    CreateControls();
    // The frame takes every size of the icon group, so that the desktop can
    // pick the one it shows best.
    SetIcons(GetIconBundleResource(kIconName));
    Centre(wxBOTH);
    LoadSettings();
}

MainFrame::~MainFrame()
{
    SaveSettings();
}

wxIcon MainFrame::GetIconResource(const wxString& name)
{
    const wxIconBundle bundle = GetIconBundleResource(name);
    if (bundle.IsEmpty())
        return wxNullIcon;
    return bundle.GetIcon(wxDefaultSize);
}

void MainFrame::CreateControls()
{
    auto* panel = new wxPanel(this, ID_PANEL, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL,
                              wxT("panel"));
    auto* topSizer = new wxBoxSizer(wxVERTICAL);
    panel->SetSizer(topSizer);

    auto* folderGrid = new wxFlexGridSizer(2, 3, 0, 0);
    folderGrid->AddGrowableCol(1);
    topSizer->Add(folderGrid, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 5);

    folderGrid->Add(new wxStaticText(panel, wxID_STATIC, _("Source folder")), 0,
                    wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_sourceFolderText = new wxTextCtrl(panel, ID_SOURCE_FOLDER, wxEmptyString);
    folderGrid->Add(m_sourceFolderText, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_sourceBrowseButton = new wxButton(panel, ID_SOURCE_BROWSE, _("..."), wxDefaultPosition,
                                        wxDefaultSize, wxBU_EXACTFIT);
    folderGrid->Add(
        m_sourceBrowseButton, 0,
        wxALIGN_CENTER_HORIZONTAL | wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM | wxRIGHT, 5);

    folderGrid->Add(new wxStaticText(panel, wxID_STATIC, _("Destination folder")), 0,
                    wxALIGN_CENTER_VERTICAL | wxALL, 5);
    auto* destinationRow = new wxBoxSizer(wxHORIZONTAL);
    folderGrid->Add(destinationRow, 0, wxEXPAND | wxALIGN_CENTER_VERTICAL, 5);
    m_destinationFolderText = new wxTextCtrl(panel, ID_DESTINATION_FOLDER, wxEmptyString);
    destinationRow->Add(m_destinationFolderText, 1, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_sameAsSourceButton = new wxButton(panel, ID_SAME_AS_SOURCE, _("Source"), wxDefaultPosition,
                                        wxDefaultSize, wxBU_EXACTFIT);
    m_sameAsSourceButton->SetToolTip(_("Same as the source folder"));
    destinationRow->Add(m_sameAsSourceButton, 0,
                        wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM | wxRIGHT, 5);
    m_destinationBrowseButton = new wxButton(panel, ID_DESTINATION_BROWSE, _("..."),
                                             wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    folderGrid->Add(
        m_destinationBrowseButton, 0,
        wxALIGN_CENTER_HORIZONTAL | wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM | wxRIGHT, 5);

    auto* mainGrid = new wxFlexGridSizer(1, 2, 0, 0);
    mainGrid->AddGrowableRow(0);
    mainGrid->AddGrowableCol(0);
    topSizer->Add(mainGrid, 1, wxEXPAND | wxLEFT | wxRIGHT, 5);

    auto* filesColumn = new wxBoxSizer(wxVERTICAL);
    mainGrid->Add(filesColumn, 1, wxEXPAND | wxTOP | wxBOTTOM | wxRIGHT, 5);
    filesColumn->Add(new wxStaticText(panel, wxID_STATIC, _("Files")), 0, wxALL, 5);
    m_fileList =
        new wxCheckListBox(panel, ID_FILE_LIST, wxDefaultPosition, wxDefaultSize, wxArrayString(),
                           wxLB_SINGLE | wxLB_NEEDED_SB, wxDefaultValidator, wxT("listBox"));
    filesColumn->Add(m_fileList, 1, wxEXPAND | wxALL, 5);
    auto* listButtonsRow = new wxBoxSizer(wxHORIZONTAL);
    filesColumn->Add(listButtonsRow, 0, wxALL, 5);
    m_selectAllButton = new wxButton(panel, ID_SELECT_ALL, _("Select all"));
    listButtonsRow->Add(m_selectAllButton, 0, wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM | wxRIGHT,
                        5);
    m_clearAllButton = new wxButton(panel, ID_CLEAR_ALL, _("Clear all"));
    listButtonsRow->Add(m_clearAllButton, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    // wxALIGN_RIGHT is kept as the layout was drawn; in a column that
    // expands it has no effect and newer toolkits would assert on it.
    auto* optionsColumn = new wxBoxSizer(wxVERTICAL);
    mainGrid->Add(optionsColumn, 1, wxEXPAND | wxALL, 5);
    optionsColumn->Add(new wxStaticText(panel, wxID_STATIC, _("  ")), 0,
                       wxALIGN_CENTER_HORIZONTAL | wxALL, 5);

    // In the order of ResizeDimension: the index is the value.
    const wxString newSizeChoices[] = {_("Width"), _("Height"), _("Longer side"), _("Shorter side"),
                                       _("Percent")};
    static_assert(WXSIZEOF(newSizeChoices) == ResizeDimensionCount);
    m_newSizeRadio = new wxRadioBox(panel, ID_NEW_SIZE, _("New size"), wxDefaultPosition,
                                    wxDefaultSize, WXSIZEOF(newSizeChoices), newSizeChoices, 1,
                                    wxRA_SPECIFY_COLS, wxDefaultValidator, wxT("radioBox"));
    m_newSizeRadio->SetSelection(static_cast<int>(ResizeDimension::Width));
    optionsColumn->Add(m_newSizeRadio, 0, wxEXPAND | wxALL, 5);

    auto* valueRow = new wxBoxSizer(wxHORIZONTAL);
    optionsColumn->Add(valueRow, 0, 0, 5);
    valueRow->Add(new wxStaticText(panel, wxID_STATIC, _("Value")), 0,
                  wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_valueText = new wxTextCtrl(panel, ID_VALUE, wxEmptyString);
    valueRow->Add(m_valueText, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    // In the order of InterpolatorSetting.
    const wxString interpolatorChoices[] = {_("Smoother"), _("Normal"), _("Sharper")};
    static_assert(WXSIZEOF(interpolatorChoices) == InterpolatorSettingCount);
    m_interpolatorRadio = new wxRadioBox(
        panel, ID_INTERPOLATOR, _("Interpolator settings"), wxDefaultPosition, wxDefaultSize,
        WXSIZEOF(interpolatorChoices), interpolatorChoices, 1, wxRA_SPECIFY_COLS);
    m_interpolatorRadio->SetSelection(static_cast<int>(InterpolatorSetting::Normal));
    optionsColumn->Add(m_interpolatorRadio, 0, wxEXPAND | wxALL, 5);

    m_saveToJpegCheck = new wxCheckBox(panel, ID_SAVE_TO_JPEG, _("Save to JPEG"), wxDefaultPosition,
                                       wxDefaultSize, 0, wxDefaultValidator, wxT("check"));
    m_saveToJpegCheck->SetValue(false);
    optionsColumn->Add(m_saveToJpegCheck, 0, wxALL, 5);

    auto* jpegRow = new wxBoxSizer(wxHORIZONTAL);
    optionsColumn->Add(jpegRow, 0, 0, 5);
    jpegRow->Add(new wxStaticText(panel, wxID_STATIC, _("JPEG quality")), 0,
                 wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_jpegQualityText =
        new wxTextCtrl(panel, ID_JPEG_QUALITY, _("85"), wxDefaultPosition, wxSize(50, -1));
    jpegRow->Add(m_jpegQualityText, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    // Pushes the buttons to the bottom of the column.
    optionsColumn->Add(5, 5, 1, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);

    auto* buttonRow = new wxBoxSizer(wxHORIZONTAL);
    optionsColumn->Add(buttonRow, 0, wxALIGN_CENTER_HORIZONTAL | wxLEFT | wxTOP | wxBOTTOM, 5);
    m_helpButton = new wxButton(panel, wxID_HELP, _("&Help"));
    buttonRow->Add(m_helpButton, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_resizeButton = new wxButton(panel, ID_RESIZE, _("Resize"));
    buttonRow->Add(m_resizeButton, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxTOP | wxBOTTOM, 5);

    m_progressSizer = new wxBoxSizer(wxHORIZONTAL);
    topSizer->Add(m_progressSizer, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 5);
    m_progressSizer->Add(5, 5, 0, wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM, 5);
    m_progressGauge = new wxGauge(panel, ID_GAUGE, 100, wxDefaultPosition, wxSize(-1, 20),
                                  wxGA_HORIZONTAL, wxDefaultValidator, wxT("gauge"));
    m_progressGauge->SetValue(0);
    m_progressSizer->Add(m_progressGauge, 1, wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM, 5);
    m_progressText = new wxStaticText(panel, wxID_STATIC, _("nn/NN"));
    m_progressSizer->Add(m_progressText, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    m_valueText->SetValidator(wxTextValidator(wxFILTER_NUMERIC, &m_valueString));
    m_jpegQualityText->SetValidator(wxTextValidator(wxFILTER_NUMERIC, &m_jpegQualityString));

    m_sourceFolderText->SetDropTarget(new DnDFile(m_sourceFolderText, true));
    m_destinationFolderText->SetDropTarget(new DnDFile(m_destinationFolderText, false));

    m_progressText->SetLabel(wxEmptyString);
}

void MainFrame::OnSelectAll(wxCommandEvent&)
{
    for (unsigned int i = 0; i < m_fileList->GetCount(); ++i)
        m_fileList->Check(i, true);
}

void MainFrame::OnClearAll(wxCommandEvent&)
{
    for (unsigned int i = 0; i < m_fileList->GetCount(); ++i)
        m_fileList->Check(i, false);
}

void MainFrame::OnUpdateJpegQuality(wxUpdateUIEvent& event)
{
    // The list's own state: a modal box over the window must not count.
    if (!m_fileList->IsThisEnabled())
    {
        event.Enable(false);
        return;
    }
    bool anyTicked = false;
    for (unsigned int i = 0; i < m_fileList->GetCount(); ++i)
    {
        if (!m_fileList->IsChecked(i))
            continue;
        anyTicked = true;
        const wxString extension = wxFileName(m_fileList->GetString(i)).GetExt().Upper();
        if (extension == wxT("JPG") || extension == wxT("JPEG"))
        {
            event.Enable(true);
            return;
        }
    }
    event.Enable(anyTicked && m_saveToJpegCheck->IsChecked());
}

void MainFrame::OnHelp(wxCommandEvent&)
{
    CAbout about(this, ID_ABOUT, _("About Pixmora"), wxDefaultPosition, wxSize(400, 300),
                 wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL);
    about.ShowModal();
}

// clang-format off
wxBEGIN_EVENT_TABLE(MainFrame, wxFrame)
    EVT_TEXT(ID_SOURCE_FOLDER, MainFrame::OnSourceFolderChanged)
    EVT_BUTTON(ID_SOURCE_BROWSE, MainFrame::OnSourceBrowse)
    EVT_BUTTON(ID_SAME_AS_SOURCE, MainFrame::OnSameAsSource)
    EVT_BUTTON(ID_DESTINATION_BROWSE, MainFrame::OnDestinationBrowse)
    EVT_BUTTON(ID_SELECT_ALL, MainFrame::OnSelectAll)
    EVT_BUTTON(ID_CLEAR_ALL, MainFrame::OnClearAll)
    EVT_UPDATE_UI(ID_JPEG_QUALITY, MainFrame::OnUpdateJpegQuality)
    EVT_BUTTON(wxID_HELP, MainFrame::OnHelp)
    EVT_BUTTON(ID_RESIZE, MainFrame::OnResize)
    EVT_CLOSE(MainFrame::OnClose)
wxEND_EVENT_TABLE()
    // clang-format on
