#include "job/LogRecorder.h"

#include "codecs/LibraryMessages.h"
#include "job/ThreadLogTarget.h"

#include <algorithm>

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

void LogRecorder::DoLogRecord(wxLogLevel level, const wxString& message,
                              const wxLogRecordInfo& info)
{
    // Errors pass; so do the libraries' own words when a program's verbose
    // mode gave their component a level (they are logged as verbose only).
    const bool library = wxString(info.component) == wxT(PIXMORA_LIBRARY_LOG_COMPONENT);
    const wxLogLevel kept =
        library ? std::max<wxLogLevel>(wxLOG_Error, wxLog::GetComponentLevel(info.component))
                : wxLogLevel(wxLOG_Error);
    if (level <= kept)
        m_records.emplace_back(level, message);
}
