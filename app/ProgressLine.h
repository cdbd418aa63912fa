#pragma once

#include <wx/string.h>

#include <chrono>
#include <cstddef>

/// The one line on a terminal's stderr that says how far a run is, redrawn
/// in place. Only made when stderr is a terminal.
class ProgressLine
{
public:
    ProgressLine(int fd, std::size_t total);

    void Update(std::size_t done, std::size_t failed, const wxString& current);
    /// Draws the line again with the time brought up to date.
    void Redraw();
    /// Empties the line, so that a message can be printed in its place.
    void Clear();

    /// The line's text, cut to width columns: files done / total, failed so
    /// far, elapsed time, an estimate of the time left, the current file.
    static wxString Text(std::size_t done, std::size_t total, std::size_t failed,
                         const wxString& current, double elapsedSeconds, std::size_t width);

private:
    int m_fd;
    std::size_t m_total;
    std::size_t m_done = 0;
    std::size_t m_failed = 0;
    wxString m_current;
    std::chrono::steady_clock::time_point m_start;
    bool m_shown = false;
};
