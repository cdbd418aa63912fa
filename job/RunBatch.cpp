#include "job/RunBatch.h"

#include "job/LoadSource.h"
#include "job/PrepareMetadataLibrary.h"
#include "job/ResizeFile.h"
#include "job/SourcePrefetcher.h"

#include <wx/filename.h>

#include <memory>

namespace
{

bool GoOn(const BatchCallbacks& callbacks, std::size_t index, const ResizeResult& result)
{
    const bool goOn = !callbacks.fileDone || callbacks.fileDone(index, result);
    return goOn && result.status != ResizeResult::Status::Stopped;
}

ResizeRequest RequestFor(const BatchCallbacks& callbacks, std::size_t index, int sourceWidth = 0,
                         int sourceHeight = 0)
{
    return callbacks.requestFor ? callbacks.requestFor(index, sourceWidth, sourceHeight)
                                : ResizeRequest();
}

std::size_t RunEachJob(const std::vector<BatchFile>& files, const BatchCallbacks& callbacks,
                       const BatchFileJob& job)
{
    for (std::size_t i = 0; i < files.size(); ++i)
    {
        const ResizeResult result =
            job(files[i].source, files[i].output, RequestFor(callbacks, i), callbacks.shouldStop);
        if (!GoOn(callbacks, i, result))
            return i + 1;
    }
    return files.size();
}

/// True when writing output may change what reading source gives: the
/// next file cannot be read ahead then.
bool MayBeTheSameFile(const wxString& output, const wxString& source)
{
    // Also true for two names of one existing file (a link).
    return wxFileName(output).SameAs(wxFileName(source));
}

} // namespace

std::size_t RunBatch(const std::vector<BatchFile>& files, const BatchCallbacks& callbacks,
                     const BatchFileJob& job)
{
    if (job)
        return RunEachJob(files, callbacks, job);
    if (files.empty())
        return 0;

    // While file k is resampled, encoded and saved, file k + 1 is read and
    // decoded on a thread of its own: the two stages use different cores.
    PrepareMetadataLibrary();
    SourcePrefetcher prefetcher;
    LoadedSource current = LoadSource(files[0].source);
    for (std::size_t i = 0; i < files.size(); ++i)
    {
        const bool last = i + 1 == files.size();
        const bool readAhead = !last && !MayBeTheSameFile(files[i].output, files[i + 1].source);
        if (readAhead)
            prefetcher.Start(files[i + 1].source);

        const bool decoded = current.IsOk();
        const ResizeRequest request =
            RequestFor(callbacks, i, decoded ? current.image.GetWidth() : 0,
                       decoded ? current.image.GetHeight() : 0);
        const ResizeResult result =
            ResizeLoaded(current, files[i].output, request, callbacks.shouldStop);
        current = LoadedSource();
        if (!GoOn(callbacks, i, result))
        {
            // What was read ahead is dropped unseen: its messages too.
            if (readAhead)
                prefetcher.Take();
            return i + 1;
        }
        if (!last)
            current = readAhead ? prefetcher.Take() : LoadSource(files[i + 1].source);
    }
    return files.size();
}
