#include "tests/support/RecordingLog.h"

RecordingLog::RecordingLog() : m_previous(wxLog::SetActiveTarget(this)) {}

RecordingLog::~RecordingLog()
{
    wxLog::SetActiveTarget(m_previous);
}

std::vector<wxString> RecordingLog::Texts() const
{
    std::vector<wxString> texts;
    for (const Record& record : m_records)
        texts.push_back(record.text);
    return texts;
}

std::vector<wxString> RecordingLog::Errors() const
{
    // "<=" and not "==": a fatal error is an error too. Nothing under test
    // logs one today, so the two readings agree on every current caller.
    std::vector<wxString> errors;
    for (const Record& record : m_records)
    {
        if (record.level <= wxLOG_Error)
            errors.push_back(record.text);
    }
    return errors;
}

void RecordingLog::DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo&)
{
    m_records.push_back({level, message});
}
