#pragma once

#include "job/RunBatch.h"

#include <wx/frame.h>
#include <wx/icon.h>
#include <wx/iconbndl.h>

#include <functional>
#include <optional>

class wxBoxSizer;
class wxButton;
class wxCheckBox;
class wxCheckListBox;
class wxGauge;
class wxRadioBox;
class wxStaticText;
class wxTextCtrl;

enum
{
    ID_MAINFRAME = 10000,
    ID_PANEL = 10001,
    ID_SOURCE_FOLDER = 10002,
    ID_SOURCE_BROWSE = 10003,
    ID_DESTINATION_FOLDER = 10004,
    ID_SAME_AS_SOURCE = 10005,
    ID_DESTINATION_BROWSE = 10006,
    ID_FILE_LIST = 10007,
    ID_NEW_SIZE = 10008,
    ID_VALUE = 10009,
    ID_RESIZE = 10010,
    ID_SELECT_ALL = 10011,
    ID_CLEAR_ALL = 10012,
    ID_GAUGE = 10013,
    ID_INTERPOLATOR = 10014,
    ID_JPEG_QUALITY = 10015,
    ID_ABOUT = 10016,
    ID_SAVE_TO_JPEG = 10017,
};

/// The application's window: folders, the file list, the resize options and
/// the batch run. It remembers its geometry and inputs between sessions.
class MainFrame : public wxFrame
{
public:
    /// Asks the user for a folder: the message, the folder to start from;
    /// nothing when the user cancels.
    using FolderChooser =
        std::function<std::optional<wxString>(const wxString& message, const wxString& initial)>;
    /// Resizes one file; the signature of ResizeFile.
    using FileJob = BatchFileJob;

    MainFrame(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
              const wxSize& size, long style);
    ~MainFrame() override;

    /// Refills the file list with the folder's JPEG and TIFF files, unticked.
    void FillFileList(const wxString& folder);

    /// Enables or disables every input except the Resize/Stop button.
    void EnableControls(bool enable);

    /// The icon of the given resource name; the null icon for unknown names.
    static wxIcon GetIconResource(const wxString& name);

    /// True when a window at (x, y) with a client area of w x h is worth
    /// remembering and restoring on the primary screen.
    static bool IsGeometryValid(int x, int y, int w, int h);

    /// Replaces the folder chooser (a wxDirDialog by default).
    void SetFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    /// Replaces the per-file job (by default the batch driver's own, which
    /// reads the next file ahead).
    void SetFileJob(FileJob job) { m_fileJob = std::move(job); }

private:
    void CreateControls();
    void LoadSettings();
    void SaveSettings();
    std::optional<wxString> ShowFolderDialog(const wxString& message, const wxString& initial);
    void ShowProgress(int done, int total, int failed);
    /// The engine's check between blocks: lets a click on Stop be handled,
    /// then asks the user to confirm a requested stop and keeps the answer.
    bool ConfirmStop();

    void OnSourceFolderChanged(wxCommandEvent& event);
    void OnSourceBrowse(wxCommandEvent& event);
    void OnSameAsSource(wxCommandEvent& event);
    void OnDestinationBrowse(wxCommandEvent& event);
    void OnSelectAll(wxCommandEvent& event);
    void OnClearAll(wxCommandEvent& event);
    void OnUpdateJpegQuality(wxUpdateUIEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnResize(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    wxTextCtrl* m_sourceFolderText = nullptr;
    wxButton* m_sourceBrowseButton = nullptr;
    wxTextCtrl* m_destinationFolderText = nullptr;
    wxButton* m_sameAsSourceButton = nullptr;
    wxButton* m_destinationBrowseButton = nullptr;
    wxCheckListBox* m_fileList = nullptr;
    wxButton* m_selectAllButton = nullptr;
    wxButton* m_clearAllButton = nullptr;
    wxRadioBox* m_newSizeRadio = nullptr;
    wxTextCtrl* m_valueText = nullptr;
    wxRadioBox* m_interpolatorRadio = nullptr;
    wxCheckBox* m_saveToJpegCheck = nullptr;
    wxTextCtrl* m_jpegQualityText = nullptr;
    wxButton* m_helpButton = nullptr;
    wxButton* m_resizeButton = nullptr;
    wxBoxSizer* m_progressSizer = nullptr;
    wxGauge* m_progressGauge = nullptr;
    wxStaticText* m_progressText = nullptr;
    wxString m_valueString;
    wxString m_jpegQualityString;
    bool m_stopRequested = false;
    bool m_running = false;

    /// A close arrived during a run: the window closes once the run ends,
    /// if the user confirmed the stop (or the close could not be refused).
    bool m_closePending = false;
    bool m_closeForced = false;

    FolderChooser m_chooseFolder;
    FileJob m_fileJob;

    wxDECLARE_CLASS(MainFrame);
    wxDECLARE_EVENT_TABLE();
};
