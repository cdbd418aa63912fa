#include "ui/BatchErrorLog.h"

BatchErrorLog::BatchErrorLog() : m_previous(wxLog::SetActiveTarget(this)) {}

BatchErrorLog::~BatchErrorLog()
{
    wxLog::SetActiveTarget(m_previous);
}

void BatchErrorLog::DoLogRecord(wxLogLevel level, const wxString& message,
                                const wxLogRecordInfo& info)
{
    if (level <= wxLOG_Error)
        m_errors.Add(message);
    else if (m_previous)
        m_previous->LogRecord(level, message, info);
}
