#include "ui/MainFrame.h"

#include "platform/FolderListing.h"

#include <wx/checklst.h>
#include <wx/dirdlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/textctrl.h>

void MainFrame::FillFileList(const wxString& folder)
{
    wxArrayString paths = ListFolderFiles(folder, wxT("*.jpg"));
    for (const wxString& path : ListFolderFiles(folder, wxT("*.tif")))
        paths.Add(path);
    // Plain character-code order, as the names are listed to the user.
    paths.Sort([](const wxString& a, const wxString& b) { return a.compare(b); });

    m_fileList->Clear();
    for (const wxString& path : paths)
        m_fileList->Append(wxFileName(path).GetFullName());
}

void MainFrame::OnSourceFolderChanged(wxCommandEvent&)
{
    // An emptied field keeps the list: the user is probably typing anew.
    const wxString folder = m_sourceFolderText->GetValue();
    if (folder.empty())
        return;
    if (wxDirExists(folder))
        FillFileList(folder);
    else
        m_fileList->Clear();
}

void MainFrame::OnSourceBrowse(wxCommandEvent&)
{
    const wxString initial = m_sourceFolderText->GetValue();
    const std::optional<wxString> chosen = m_chooseFolder(_("Select the source folder"), initial);
    if (chosen)
        m_sourceFolderText->SetValue(*chosen);
    // Also after Cancel: the list is rebuilt from the folder the chooser
    // started from, which drops every tick.
    FillFileList(chosen.value_or(initial));
}

void MainFrame::OnSameAsSource(wxCommandEvent&)
{
    m_destinationFolderText->SetValue(m_sourceFolderText->GetValue());
}

void MainFrame::OnDestinationBrowse(wxCommandEvent&)
{
    const std::optional<wxString> chosen =
        m_chooseFolder(_("Select the destination folder"), m_destinationFolderText->GetValue());
    if (chosen)
        m_destinationFolderText->SetValue(*chosen);
}

std::optional<wxString> MainFrame::ShowFolderDialog(const wxString& message,
                                                    const wxString& initial)
{
    wxDirDialog dialog(this, message, initial, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return dialog.GetPath();
}
