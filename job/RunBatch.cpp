#include "job/RunBatch.h"

#include "job/ResizeFile.h"

std::size_t RunBatch(const std::vector<BatchFile>& files, const BatchCallbacks& callbacks,
                     const BatchFileJob& job)
{
    const BatchFileJob& run = job ? job : BatchFileJob(ResizeFile);
    std::size_t reported = 0;
    for (std::size_t i = 0; i < files.size(); ++i)
    {
        const ResizeRequest request =
            callbacks.requestFor ? callbacks.requestFor(i) : ResizeRequest();
        const ResizeResult result =
            run(files[i].source, files[i].output, request, callbacks.shouldStop);
        ++reported;
        const bool goOn = !callbacks.fileDone || callbacks.fileDone(i, result);
        if (!goOn || result.status == ResizeResult::Status::Stopped)
            break;
    }
    return reported;
}
