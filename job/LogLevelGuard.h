#pragma once

#include <wx/log.h>

/// Sets the toolkit's log level for a while and puts the previous one back,
/// early with Restore() or at the latest when the guard goes.
class LogLevelGuard
{
public:
    explicit LogLevelGuard(wxLogLevel level) : m_previous(wxLog::GetLogLevel())
    {
        wxLog::SetLogLevel(level);
    }
    ~LogLevelGuard() { Restore(); }
    LogLevelGuard(const LogLevelGuard&) = delete;
    LogLevelGuard& operator=(const LogLevelGuard&) = delete;

    void Restore()
    {
        if (m_active)
            wxLog::SetLogLevel(m_previous);
        m_active = false;
    }

private:
    wxLogLevel m_previous;
    bool m_active = true;
};
