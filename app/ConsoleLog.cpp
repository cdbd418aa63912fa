#include "app/ConsoleLog.h"

#include "app/ProgressLine.h"

#include <cstdio>

ConsoleLog::ConsoleLog(Mode mode) : m_mode(mode)
{
    // A time stamp would make the output of two identical runs differ.
    DisableTimestamp();
}

void ConsoleLog::PrintLine(const wxString& line)
{
    if (m_progress)
        m_progress->Clear();
    std::fprintf(stderr, "pixmora-resize: %s\n", static_cast<const char*>(line.utf8_str()));
    std::fflush(stderr);
    if (m_progress)
        m_progress->Redraw();
}

std::vector<wxString> ConsoleLog::TakeKeptLines()
{
    std::vector<wxString> lines;
    lines.swap(m_kept);
    return lines;
}

void ConsoleLog::DoLogTextAtLevel(wxLogLevel, const wxString& message)
{
    wxString line = message;
    line.Trim();
    if (line.empty())
        return;
    if (m_mode == Mode::Keep)
        m_kept.push_back(line);
    else
        PrintLine(line);
}
