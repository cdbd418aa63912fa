#pragma once

#include <wx/log.h>

/// While alive, holds back the error messages logged through the toolkit
/// (the decoders' and encoders' own words, which do not name the file), so
/// that the job can report one line that names the file and says why.
/// Messages below error level go on to the previous log target.
class LogCapture : public wxLog
{
public:
    LogCapture();
    ~LogCapture() override;
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    /// The errors logged so far, joined by "; ", without a final full stop.
    const wxString& Errors() const { return m_errors; }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message,
                     const wxLogRecordInfo& info) override;

private:
    wxLog* m_previous;
    wxString m_errors;
};
