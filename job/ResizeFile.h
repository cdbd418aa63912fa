#pragma once

#include "job/LoadSource.h"
#include "job/ResizeRequest.h"
#include "job/ResizeResult.h"
#include "job/SourcePrefetcher.h"
#include "resample/StopCheck.h"

#include <wx/string.h>

#include <exception>
#include <functional>

/// Resizes one file: reads and decodes sourcePath, resamples it to the size
/// the request gives, and writes outputPath in the format its extension
/// names, with the source's ICC profile and updated Exif data.
///
/// The source is decoded on a thread of its own while the engine resamples
/// the rows already decoded; shouldStop is asked on the calling thread,
/// between blocks of rows, and after it said stop nothing is written.
///
/// Every failure is also logged through the toolkit's log at error level
/// with the file's name; the file is then skipped and nothing half-written
/// is left.
ResizeResult ResizeFile(const wxString& sourcePath, const wxString& outputPath,
                        const ResizeRequest& request, const StopCheck& shouldStop = {});

/// A resample done while the source was still being decoded.
struct ResampledAhead
{
    qlImage output;
    bool stopped = false;
    /// What the engine threw, to be reported as the job reports it.
    std::exception_ptr failure;
};

/// The same job for a source already loaded (by LoadSource, possibly on
/// another thread): first logs what loading logged, then goes on as
/// ResizeFile does, with the resample given in ahead when there is one.
/// The source's pixels are released on the way.
ResizeResult ResizeLoaded(LoadedSource& source, const wxString& outputPath,
                          const ResizeRequest& request, const StopCheck& shouldStop = {},
                          ResampledAhead* ahead = nullptr);

/// The request for a source of the given decoded size (0 x 0 when it could
/// not be decoded).
using StreamedRequest = std::function<ResizeRequest(int sourceWidth, int sourceHeight)>;

/// The job for the source loader is loading: resamples its rows as they
/// are decoded, then takes it whole (telling sourceTaken, with false when
/// the user stopped, so that the loader may start on the next file while
/// this one is encoded and saved) and finishes as ResizeLoaded does. The
/// bytes and messages are those of ResizeFile.
ResizeResult ResizeStreaming(SourcePrefetcher& loader, const wxString& outputPath,
                             const StreamedRequest& requestFor, const StopCheck& shouldStop,
                             const std::function<void(bool goingOn)>& sourceTaken = {});
