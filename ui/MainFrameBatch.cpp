#include "ui/MainFrame.h"

#include "job/RunBatch.h"
#include "ui/AppGlobals.h"
#include "ui/BatchErrorLog.h"
#include "ui/TextToLong.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/intl.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <vector>

namespace
{

/// One box for the whole run: the files the job could not write, then what
/// it logged about them.
wxString FailureReport(const wxArrayString& failedFiles, const wxArrayString& errors)
{
    wxString report;
    if (!failedFiles.empty())
    {
        report = _("These files could not be resized:");
        for (const wxString& file : failedFiles)
            report += wxT("\n") + file;
    }
    if (!errors.empty())
    {
        if (!report.empty())
            report += wxT("\n\n");
        report += wxJoin(errors, wxT('\n'), wxT('\0'));
    }
    return report;
}

} // namespace

void MainFrame::EnableControls(bool enable)
{
    m_newSizeRadio->Enable(enable);
    m_valueText->Enable(enable);
    m_interpolatorRadio->Enable(enable);
    m_jpegQualityText->Enable(enable);
    m_helpButton->Enable(enable);
    m_clearAllButton->Enable(enable);
    m_selectAllButton->Enable(enable);
    m_fileList->Enable(enable);
    m_sourceFolderText->Enable(enable);
    m_destinationFolderText->Enable(enable);
    m_sameAsSourceButton->Enable(enable);
    m_sourceBrowseButton->Enable(enable);
    m_destinationBrowseButton->Enable(enable);
    m_saveToJpegCheck->Enable(enable);
}

void MainFrame::ShowProgress(int done, int total, int failed)
{
    wxString label = IntToString(done) + wxT("/") + IntToString(total);
    // A skipped file is counted as done; the counter must not let it pass
    // for a written one.
    if (failed > 0)
        label += wxString::Format(_(" (%d failed)"), failed);
    m_progressText->SetLabel(label);
    // The event loop does not run between files: paint now.
    m_progressText->Refresh();
    m_progressText->Update();
    m_progressSizer->Layout();
}

bool MainFrame::ConfirmStop()
{
    wxYield();
    if (m_stopRequested)
        m_stopRequested = AskYesNo(_("Do you want to stop resizing?"));
    return m_stopRequested;
}

void MainFrame::OnResize(wxCommandEvent&)
{
    // While running this button is "Stop"; the engine asks the user at its
    // next block of rows.
    if (m_running)
    {
        m_stopRequested = true;
        return;
    }

    int ticked = 0;
    for (unsigned int i = 0; i < m_fileList->GetCount(); ++i)
    {
        if (m_fileList->IsChecked(i))
            ++ticked;
    }

    const wxString sourceFolder = m_sourceFolderText->GetValue();
    const wxString destinationFolder = m_destinationFolderText->GetValue();
    const wxString qualityText = m_jpegQualityText->GetValue();
    const long jpegQuality = TextToLong(qualityText);
    struct Check
    {
        bool fails;
        wxString message;
    };
    const Check checks[] = {
        {sourceFolder.empty(), _("You must select a source folder")},
        {!wxDirExists(sourceFolder), _("The source folder does not exist")},
        {destinationFolder.empty(), _("You must select a destination folder")},
        {!wxDirExists(destinationFolder), _("The destination folder does not exist")},
        {ticked == 0, _("You must select some files to resize")},
        {m_valueText->GetValue().empty(), _("You must type a value")},
        {qualityText.empty(), _("You must type a JPEG quality value")},
        {jpegQuality < 0 || jpegQuality > 100,
         _("The JPEG quality value is not correct. You must type a number between 0 and 100: a "
           "lower number means smaller file and lower image quality, a higher number means "
           "larger file and higher image quality.")},
    };
    for (const Check& check : checks)
    {
        if (check.fails)
        {
            ShowError(check.message);
            return;
        }
    }

    if (destinationFolder == sourceFolder &&
        !AskYesNo(_("The source and destination folders are the same: the program will overwite "
                    "the original images. Are you sure that you want to overwrite them?")))
        return;

    std::vector<BatchFile> pairs;
    for (unsigned int i = 0; i < m_fileList->GetCount(); ++i)
    {
        if (!m_fileList->IsChecked(i))
            continue;
        const wxString name = m_fileList->GetString(i);
        wxFileName output(destinationFolder, name);
        if (m_saveToJpegCheck->IsChecked())
            output.SetExt(wxT("jpg"));
        pairs.push_back({wxFileName(sourceFolder, name).GetFullPath(), output.GetFullPath()});
    }

    const bool anyOutputExists =
        std::any_of(pairs.begin(), pairs.end(),
                    [](const BatchFile& pair) { return wxFileExists(pair.output); });
    if (anyOutputExists &&
        !AskYesNo(_("One or more output files already exist and will be overwritten. Are you sure "
                    "that you want to overwrite them?")))
        return;

    m_progressGauge->SetRange(ticked);
    m_progressGauge->SetValue(0);
    EnableControls(false);
    const wxString savedLabel = m_resizeButton->GetLabel();
    m_resizeButton->SetLabel(_("Stop"));
    m_running = true;
    m_stopRequested = false;

    const int total = static_cast<int>(pairs.size());
    wxArrayString failedFiles;
    wxArrayString errors;
    bool stopped = false;
    {
        BatchErrorLog errorLog;
        ShowProgress(0, total, 0);
        BatchCallbacks callbacks;
        callbacks.requestFor = [this, jpegQuality](std::size_t, int, int)
        {
            // Read for every file: the field is disabled, but the value is
            // taken as it stands now.
            ResizeRequest request;
            request.value = static_cast<int>(TextToLong(m_valueText->GetValue()));
            request.dimension = static_cast<ResizeDimension>(m_newSizeRadio->GetSelection());
            request.interpolator =
                static_cast<InterpolatorSetting>(m_interpolatorRadio->GetSelection());
            request.jpegQuality = static_cast<int>(jpegQuality);
            return request;
        };
        callbacks.shouldStop = [this] { return ConfirmStop(); };
        callbacks.fileDone = [&](std::size_t index, const ResizeResult& result)
        {
            // A confirmed stop leaves the file unwritten on purpose, and an
            // output without Exif data is still the resized image.
            if (result.status == ResizeResult::Status::NotWritten)
                failedFiles.Add(pairs[index].source);

            const int done = static_cast<int>(index) + 1;
            m_progressGauge->SetValue(done);
            m_progressGauge->Refresh();
            m_progressGauge->Update();
            ShowProgress(done, total, static_cast<int>(failedFiles.size()));

            if (m_stopRequested)
            {
                stopped = true;
                return false;
            }
            // The user answered No to the stop a close asked for: the
            // window stays.
            if (!m_closeForced)
                m_closePending = false;
            return true;
        };
        RunBatch(pairs, callbacks, m_fileJob);
        errors = errorLog.Errors();
    }

    m_running = false;
    m_stopRequested = false;
    m_resizeButton->SetLabel(savedLabel);
    EnableControls(true);
    m_progressGauge->SetValue(0);
    m_progressText->SetLabel(wxEmptyString);
    m_progressSizer->Layout();

    if (!failedFiles.empty() || !errors.empty())
        ShowError(FailureReport(failedFiles, errors));

    if (m_closePending && (stopped || m_closeForced))
        Close(m_closeForced);
    m_closePending = false;
    m_closeForced = false;
}

void MainFrame::OnClose(wxCloseEvent& event)
{
    if (!m_running)
    {
        event.Skip();
        return;
    }
    // The run lives inside this window's Resize handler: destroying the
    // window now would pull it from under the run. The close becomes a click
    // on Stop, and the window closes when the run has ended.
    if (event.CanVeto())
        event.Veto();
    else
        m_closeForced = true;
    m_closePending = true;
    m_stopRequested = true;
}
