#include "app/ResizeShare.h"

#include "app/ConsoleLog.h"
#include "app/StopSignals.h"
#include "job/ComputeTargetSize.h"
#include "job/ResizeFile.h"
#include "job/RunBatch.h"
#include "job/SaveHandler.h"

#include <wx/log.h>

namespace
{

/// The request for one file under --shrink-only. The size is only known
/// once the file is decoded, so the file is first run through the job with
/// a stop before the first row: that decodes it and computes its target
/// without writing anything.
ResizeRequest ShrinkOnlyRequestFor(const WorkerTask& task, const ResizeRequest& request)
{
    ResizeResult probe;
    {
        // Its failures are the real run's to report.
        wxLogNull quiet;
        probe = ResizeFile(task.source, task.output, request, [] { return true; });
    }
    if (probe.sourceWidth < 1 || probe.sourceHeight < 1)
        return request;
    return ShrinkOnlyRequest(request, probe.sourceWidth, probe.sourceHeight);
}

/// A photo.jpeg or scan.tiff is written in its own format under its own
/// name; the handlers are registered as "jpg" and "tif".
wxString FormatExtensionFor(const wxString& outputPath)
{
    const wxString extension = OutputExtension(outputPath);
    if (extension == "jpeg")
        return "jpg";
    if (extension == "tiff")
        return "tif";
    return wxEmptyString;
}

} // namespace

ResizeRequest ShrinkOnlyRequest(const ResizeRequest& request, int sourceWidth, int sourceHeight)
{
    const TargetSize target =
        ComputeTargetSize(sourceWidth, sourceHeight, request.value, request.dimension);
    if (target.width <= sourceWidth && target.height <= sourceHeight)
        return request;
    ResizeRequest ownSize = request;
    ownSize.dimension = ResizeDimension::Width;
    ownSize.value = sourceWidth;
    return ownSize;
}

void RunResizeShare(const std::vector<WorkerTask>& tasks, const ResizeOptions& options,
                    ConsoleLog& log, const ShareListener& listener)
{
    std::vector<BatchFile> files;
    for (const WorkerTask& task : tasks)
        files.push_back({task.source, task.output});

    BatchCallbacks callbacks;
    callbacks.requestFor = [&](std::size_t i)
    {
        if (listener.started)
            listener.started(tasks[i].index);
        ResizeRequest request = options.request;
        request.formatExtension = FormatExtensionFor(tasks[i].output);
        return options.shrinkOnly ? ShrinkOnlyRequestFor(tasks[i], request) : request;
    };
    callbacks.shouldStop = [] { return StopRequested(); };
    callbacks.fileDone = [&](std::size_t i, const ResizeResult& result)
    {
        if (listener.finished)
            listener.finished(tasks[i].index, {result, log.TakeKeptLines()});
        return !StopRequested();
    };
    if (!StopRequested())
        RunBatch(files, callbacks);
}
