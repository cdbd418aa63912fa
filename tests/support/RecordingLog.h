#pragma once

#include <wx/log.h>

#include <vector>

/// While alive, records every message logged through the toolkit instead of
/// printing it, so that a test can check what the code under test reported.
/// The previous log target is back when it goes.
class RecordingLog : public wxLog
{
public:
    struct Record
    {
        wxLogLevel level;
        wxString text;
    };

    RecordingLog();
    ~RecordingLog() override;
    RecordingLog(const RecordingLog&) = delete;
    RecordingLog& operator=(const RecordingLog&) = delete;

    /// Everything logged, in order, with its level.
    const std::vector<Record>& Records() const { return m_records; }
    /// The texts of every record, in order.
    std::vector<wxString> Texts() const;
    /// The texts logged as errors: wxLOG_Error and the more severe
    /// wxLOG_FatalError (the toolkit's levels count down to the gravest).
    std::vector<wxString> Errors() const;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message,
                     const wxLogRecordInfo& info) override;

private:
    wxLog* m_previous;
    std::vector<Record> m_records;
};
