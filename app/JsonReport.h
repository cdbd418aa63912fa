#pragma once

#include <wx/string.h>

#include <vector>

/// One input's line of the report.
struct ReportEntry
{
    wxString source;
    /// Empty unless an output was written.
    wxString output;
    /// "written", "written-without-exif", "skipped-exists" or "failed".
    const char* status = "failed";
    /// 0 when not known (the source was not decoded).
    int sourceWidth = 0;
    int sourceHeight = 0;
    long long targetWidth = 0;
    long long targetHeight = 0;
    /// Empty for "written".
    wxString message;
};

/// Writes {"program": ..., "interrupted": ..., "results": [...]} to path,
/// whole or not at all. False with a reason in error when it cannot.
bool WriteJsonReport(const wxString& path, const std::vector<ReportEntry>& entries,
                     bool interrupted, wxString& error);
