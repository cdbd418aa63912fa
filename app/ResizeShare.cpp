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
    callbacks.requestFor = [&](std::size_t i, int sourceWidth, int sourceHeight)
    {
        if (listener.started)
            listener.started(tasks[i].index);
        ResizeRequest request = options.request;
        request.formatExtension = FormatExtensionFor(tasks[i].output);
        // The driver has decoded the source by now: its size is known.
        if (options.shrinkOnly && sourceWidth > 0 && sourceHeight > 0)
            return ShrinkOnlyRequest(request, sourceWidth, sourceHeight);
        return request;
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
