#pragma once

#include <wx/log.h>

#include <utility>
#include <vector>

/// While alive, the calling thread's log target: keeps the messages at error
/// level and above and drops the rest (a decoder's "corrupt data, recovered"
/// warnings while a source is read would drown the errors that matter), but
/// for the libraries' own words, which keep the level of their component.
/// Replay() logs what was kept again, in order, on the thread that calls it,
/// so that what a background thread logged for a file reaches that file's
/// report when its turn comes.
class LogRecorder : public wxLog
{
public:
    using Record = std::pair<wxLogLevel, wxString>;

    LogRecorder();
    ~LogRecorder() override;
    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

    /// Stops recording (the previous target is back) and gives the records.
    std::vector<Record> Finish();

    /// Logs records through the calling thread's target.
    static void Replay(const std::vector<Record>& records);

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message,
                     const wxLogRecordInfo& info) override;

private:
    wxLog* m_previous;
    bool m_installed = true;
    std::vector<Record> m_records;
};
