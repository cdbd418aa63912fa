#include "app/ResizeCommand.h"

#include "app/ConsoleLog.h"
#include "app/JsonReport.h"
#include "app/ProgressLine.h"
#include "app/ResizePlan.h"
#include "app/ResizeShare.h"
#include "app/StopSignals.h"
#include "app/WorkerPool.h"
#include "codecs/LibraryMessages.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include <algorithm>
#include <memory>

#include <unistd.h>

namespace
{

/// Every input's state during the run.
struct Entry
{
    PlannedFile plan;
    bool finished = false;
    FileOutcome outcome;
};

void CreateOutputFolders(std::vector<PlannedFile>& plan)
{
    for (PlannedFile& file : plan)
    {
        if (file.verdict != PlannedFile::Verdict::Resize)
            continue;
        const wxString folder = wxFileName(file.output).GetPath();
        if (folder.empty() || wxDirExists(folder))
            continue;
        wxLogNull quiet;
        if (!wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL))
        {
            file.verdict = PlannedFile::Verdict::Refuse;
            file.message = wxString::Format("the output folder '%s' cannot be created", folder);
        }
    }
}

ReportEntry ReportOf(const Entry& entry)
{
    ReportEntry report;
    report.source = entry.plan.source;
    const ResizeResult& result = entry.outcome.result;
    report.sourceWidth = result.sourceWidth;
    report.sourceHeight = result.sourceHeight;
    report.targetWidth = result.targetWidth;
    report.targetHeight = result.targetHeight;
    switch (entry.plan.verdict)
    {
    case PlannedFile::Verdict::SkipExists:
        report.status = "skipped-exists";
        report.message = entry.plan.message;
        return report;
    case PlannedFile::Verdict::Refuse:
        report.status = "failed";
        report.message = entry.plan.message;
        return report;
    case PlannedFile::Verdict::Resize:
        break;
    }
    switch (result.status)
    {
    case ResizeResult::Status::Written:
        report.status = "written";
        report.output = entry.plan.output;
        break;
    case ResizeResult::Status::WrittenWithoutExif:
        report.status = "written-without-exif";
        report.output = entry.plan.output;
        report.message = result.reason;
        break;
    case ResizeResult::Status::NotWritten:
        report.status = "failed";
        report.message = result.reason;
        break;
    case ResizeResult::Status::Stopped:
        report.status = "failed";
        report.message = "not written: the run was interrupted";
        break;
    }
    return report;
}

/// Prints what each input has to say, in input order, as soon as every
/// input before it is finished.
class OrderedOutput
{
public:
    OrderedOutput(std::vector<Entry>& entries, ConsoleLog& log) : m_entries(entries), m_log(log) {}

    void EmitFinished()
    {
        while (m_next < m_entries.size() && m_entries[m_next].finished)
            Emit(m_entries[m_next++]);
    }

private:
    void Emit(const Entry& entry)
    {
        for (const wxString& line : entry.outcome.messages)
            m_log.PrintLine(line);
        if (entry.plan.verdict == PlannedFile::Verdict::Refuse)
            wxLogError("Can't resize '%s': %s.", entry.plan.source, entry.plan.message);
        else if (entry.plan.verdict == PlannedFile::Verdict::SkipExists)
            wxLogMessage("Skipped '%s': %s.", entry.plan.source, entry.plan.message);
    }

    std::vector<Entry>& m_entries;
    ConsoleLog& m_log;
    std::size_t m_next = 0;
};

} // namespace

void SetUpResizeLogging(const ResizeOptions& options)
{
    if (options.quiet)
        wxLog::SetLogLevel(wxLOG_Error);
    else if (options.verbose)
    {
        wxLog::SetLogLevel(wxLOG_Info);
        wxLog::SetVerbose(true);
        // Through the job's quiet reading phase too.
        wxLog::SetComponentLevel(PIXMORA_LIBRARY_LOG_COMPONENT, wxLOG_Info);
    }
    else
        wxLog::SetLogLevel(wxLOG_Message);
}

int RunResizeCommand(const ResizeOptions& options, const std::vector<std::string>& arguments)
{
    ConsoleLog* log = new ConsoleLog(ConsoleLog::Mode::Print);
    delete wxLog::SetActiveTarget(log);

    std::vector<PlannedFile> plan = PlanResize(options);
    CreateOutputFolders(plan);
    std::vector<Entry> entries;
    std::vector<WorkerTask> tasks;
    for (PlannedFile& file : plan)
    {
        Entry entry;
        entry.plan = file;
        entry.finished = file.verdict != PlannedFile::Verdict::Resize;
        if (!entry.finished)
            tasks.push_back({entries.size(), file.source, file.output});
        entries.push_back(entry);
    }

    std::unique_ptr<ProgressLine> progress;
    if (!options.quiet && ::isatty(2) && !tasks.empty())
    {
        progress.reset(new ProgressLine(2, tasks.size()));
        log->SetProgressLine(progress.get());
    }
    OrderedOutput output(entries, *log);
    output.EmitFinished();

    std::size_t done = 0, failed = 0;
    ShareListener listener;
    listener.started = [&](std::size_t index)
    {
        if (progress)
            progress->Update(done, failed, wxFileName(entries[index].plan.source).GetFullName());
    };
    listener.finished = [&](std::size_t index, const FileOutcome& outcome)
    {
        Entry& entry = entries[index];
        entry.outcome = outcome;
        entry.finished = true;
        ++done;
        if (!outcome.result.IsWritten())
            ++failed;
        output.EmitFinished();
        if (progress)
            progress->Update(done, failed, wxEmptyString);
    };

    const std::size_t workers = std::min<std::size_t>(options.jobs, tasks.size());
    if (workers <= 1)
    {
        // The live log prints a file's lines while it runs; what comes
        // before it in input order is printed first.
        listener.started = [&, started = listener.started](std::size_t index)
        {
            output.EmitFinished();
            started(index);
        };
        RunResizeShare(tasks, options, *log, listener);
    }
    else
    {
        std::vector<std::string> workerArguments = arguments;
        workerArguments.push_back("--worker");
        RunWorkerPool(tasks, static_cast<int>(workers), workerArguments, listener,
                      [&]
                      {
                          if (progress)
                              progress->Redraw();
                      });
    }

    for (Entry& entry : entries)
        if (!entry.finished)
        {
            entry.outcome.result.status = ResizeResult::Status::Stopped;
            entry.finished = true;
        }
    output.EmitFinished();
    if (progress)
        progress->Clear();
    log->SetProgressLine(nullptr);

    std::vector<ReportEntry> report;
    std::size_t written = 0, skipped = 0, failures = 0;
    for (const Entry& entry : entries)
    {
        report.push_back(ReportOf(entry));
        const wxString status = report.back().status;
        if (status == "skipped-exists")
            ++skipped;
        else if (status == "failed")
            ++failures;
        else
            ++written;
    }
    const bool interrupted = StopRequested();
    int exitStatus = interrupted ? 130 : failures > 0 ? 1 : 0;
    if (!options.reportPath.empty())
    {
        wxString error;
        if (!WriteJsonReport(options.reportPath, report, interrupted, error))
        {
            wxLogError("Can't write the report '%s': %s.", options.reportPath, error);
            if (exitStatus == 0)
                exitStatus = 1;
        }
    }
    wxLogMessage("%zu written, %zu skipped, %zu failed%s.", written, skipped, failures,
                 interrupted ? ", interrupted" : "");
    return exitStatus;
}
