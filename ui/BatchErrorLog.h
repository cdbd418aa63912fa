#pragma once

#include <wx/arrstr.h>
#include <wx/log.h>

/// Log target for the length of one batch run: it keeps the error messages
/// the per-file job logs, so that they can be shown once when the run ends
/// instead of one box per file, and passes everything else on to the target
/// it replaced. The replaced target is active again when this one goes.
class BatchErrorLog : public wxLog
{
public:
    BatchErrorLog();
    ~BatchErrorLog() override;
    BatchErrorLog(const BatchErrorLog&) = delete;
    BatchErrorLog& operator=(const BatchErrorLog&) = delete;

    const wxArrayString& Errors() const { return m_errors; }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message,
                     const wxLogRecordInfo& info) override;

private:
    wxLog* m_previous;
    wxArrayString m_errors;
};
