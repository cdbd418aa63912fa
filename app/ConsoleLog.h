#pragma once

#include <wx/log.h>

#include <vector>

class ProgressLine;

/// The command line's log target: each message one line on stderr, after
/// the program's name. A -j child keeps its lines instead, to send them to
/// the parent with the file's result, so that messages come out in input
/// order whatever the number of jobs.
class ConsoleLog : public wxLog
{
public:
    enum class Mode
    {
        Print,
        Keep,
    };

    explicit ConsoleLog(Mode mode);

    /// Cleared before a line is printed and drawn again after it.
    void SetProgressLine(ProgressLine* progress) { m_progress = progress; }

    /// Prints one line as a logged message would be.
    void PrintLine(const wxString& line);

    /// The lines kept since the last call (Keep mode).
    std::vector<wxString> TakeKeptLines();

protected:
    void DoLogTextAtLevel(wxLogLevel level, const wxString& message) override;

private:
    Mode m_mode;
    ProgressLine* m_progress = nullptr;
    std::vector<wxString> m_kept;
};
