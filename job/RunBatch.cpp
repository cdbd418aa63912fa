#include "job/RunBatch.h"

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

    // One loader thread decodes the files in turn: file k's bottom rows
    // while its top is resampled, then file k + 1 while file k is encoded
    // and saved. The main thread resamples, encodes and saves.
    PrepareMetadataLibrary();
    SourcePrefetcher loader;
    loader.Start(files[0].source);
    for (std::size_t i = 0; i < files.size(); ++i)
    {
        const bool last = i + 1 == files.size();
        bool readingAhead = false;
        const auto sourceTaken = [&](bool goingOn)
        {
            if (goingOn && !last && !MayBeTheSameFile(files[i].output, files[i + 1].source))
            {
                loader.Start(files[i + 1].source);
                readingAhead = true;
            }
        };
        const ResizeResult result = ResizeStreaming(
            loader, files[i].output,
            [&](int sourceWidth, int sourceHeight)
            { return RequestFor(callbacks, i, sourceWidth, sourceHeight); },
            callbacks.shouldStop, sourceTaken);
        if (!GoOn(callbacks, i, result))
        {
            // What was read ahead is dropped unseen: its messages too.
            if (readingAhead)
                loader.Take();
            return i + 1;
        }
        // The output may be the next source: read it only now.
        if (!last && !readingAhead)
            loader.Start(files[i + 1].source);
    }
    return files.size();
}
