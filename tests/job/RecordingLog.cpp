#include "tests/job/RecordingLog.h"

RecordingLog::RecordingLog() : m_previous(wxLog::SetActiveTarget(this)) {}

RecordingLog::~RecordingLog()
{
    wxLog::SetActiveTarget(m_previous);
}

std::vector<wxString> RecordingLog::Errors() const
{
    std::vector<wxString> errors;
    for (const Entry& entry : m_entries)
    {
        if (entry.level <= wxLOG_Error)
            errors.push_back(entry.text);
    }
    return errors;
}

void RecordingLog::DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo&)
{
    m_entries.push_back({level, message});
}
