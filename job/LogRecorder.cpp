#include "job/LogRecorder.h"

#include "job/ThreadLogTarget.h"

LogRecorder::LogRecorder() : m_previous(SetThreadLogTarget(this)) {}

LogRecorder::~LogRecorder()
{
    Finish();
}

std::vector<LogRecorder::Record> LogRecorder::Finish()
{
    if (m_installed)
        SetThreadLogTarget(m_previous);
    m_installed = false;
    return std::move(m_records);
}

void LogRecorder::Replay(const std::vector<Record>& records)
{
    for (const Record& record : records)
        wxLogGeneric(record.first, wxT("%s"), record.second);
}

void LogRecorder::DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo&)
{
    if (level <= wxLOG_Error)
        m_records.emplace_back(level, message);
}
