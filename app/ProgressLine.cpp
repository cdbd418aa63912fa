#include "app/ProgressLine.h"

#include <string>

#include <sys/ioctl.h>
#include <unistd.h>

namespace
{

wxString Duration(double seconds)
{
    const long total = static_cast<long>(seconds + 0.5);
    if (total >= 3600)
        return wxString::Format("%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    return wxString::Format("%ld:%02ld", total / 60, total % 60);
}

std::size_t TerminalWidth(int fd)
{
    winsize size = {};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

void WriteAll(int fd, const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size())
    {
        const ssize_t written = ::write(fd, text.data() + at, text.size() - at);
        if (written <= 0)
            return;
        at += static_cast<std::size_t>(written);
    }
}

} // namespace

ProgressLine::ProgressLine(int fd, std::size_t total)
    : m_fd(fd), m_total(total), m_start(std::chrono::steady_clock::now())
{
}

wxString ProgressLine::Text(std::size_t done, std::size_t total, std::size_t failed,
                            const wxString& current, double elapsedSeconds, std::size_t width)
{
    wxString text = wxString::Format("%zu/%zu done", done, total);
    if (failed > 0)
        text += wxString::Format(", %zu failed", failed);
    text += ", " + Duration(elapsedSeconds) + " elapsed";
    // Until a file is done there is nothing to estimate from.
    if (done > 0 && done < total)
        text += ", ~" + Duration(elapsedSeconds / done * (total - done)) + " left";
    if (!current.empty())
        text += ": " + current;
    // The last column stays free: a line that fills it wraps on some
    // terminals, and the carriage return then no longer reaches its start.
    if (width > 1 && text.length() > width - 1)
        text.Truncate(width - 1);
    return text;
}

void ProgressLine::Update(std::size_t done, std::size_t failed, const wxString& current)
{
    m_done = done;
    m_failed = failed;
    m_current = current;
    Redraw();
}

void ProgressLine::Redraw()
{
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_start;
    const wxString text =
        Text(m_done, m_total, m_failed, m_current, elapsed.count(), TerminalWidth(m_fd));
    WriteAll(m_fd, "\r" + std::string(text.utf8_str()) + "\x1b[K");
    m_shown = true;
}

void ProgressLine::Clear()
{
    if (m_shown)
        WriteAll(m_fd, "\r\x1b[K");
    m_shown = false;
}
