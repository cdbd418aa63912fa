#include "job/LogCapture.h"

#include "job/ThreadLogTarget.h"

// The previous target is asked for first so that the toolkit creates its
// default one if it has none yet, and lower-level messages have a place to go.
// On a thread of its own, that is the thread's target.
LogCapture::LogCapture() : m_previous(wxLog::GetActiveTarget())
{
    SetThreadLogTarget(this);
}

LogCapture::~LogCapture()
{
    SetThreadLogTarget(m_previous);
}

void LogCapture::DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo& info)
{
    if (level > wxLOG_Error)
    {
        if (m_previous)
            m_previous->LogRecord(level, message, info);
        return;
    }
    wxString text = message;
    text.Trim();
    while (text.EndsWith(wxT(".")))
        text.RemoveLast();
    if (text.empty())
        return;
    if (!m_errors.empty())
        m_errors += wxT("; ");
    m_errors += text;
}
