#pragma once

#include <wx/log.h>

#include <vector>

/// While alive, records every message logged through the toolkit instead of
/// printing it, so that a test can check what the job reported.
class RecordingLog : public wxLog
{
public:
    struct Entry
    {
        wxLogLevel level;
        wxString text;
    };

    RecordingLog();
    ~RecordingLog() override;

    const std::vector<Entry>& Entries() const { return m_entries; }
    /// The texts logged at error level or above.
    std::vector<wxString> Errors() const;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message,
                     const wxLogRecordInfo& info) override;

private:
    wxLog* m_previous;
    std::vector<Entry> m_entries;
};
