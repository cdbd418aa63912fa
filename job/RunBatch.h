#pragma once

#include "job/ResizeRequest.h"
#include "job/ResizeResult.h"
#include "resample/StopCheck.h"

#include <wx/string.h>

#include <cstddef>
#include <functional>
#include <vector>

/// One file of a batch: what is read and what is written.
struct BatchFile
{
    wxString source;
    wxString output;
};

/// What the batch needs to know of the caller: every callback is called on
/// the caller's thread.
struct BatchCallbacks
{
    /// The request for the file at index, asked when that file's turn has
    /// come (the window reads its value field then), with the size of the
    /// decoded source (0 x 0 when it could not be decoded, or is not known
    /// yet because a job of the caller's own reads it).
    std::function<ResizeRequest(std::size_t index, int sourceWidth, int sourceHeight)> requestFor;
    /// Asked between blocks of rows; true ends the current file unwritten.
    StopCheck shouldStop;
    /// Told each file's result in list order; false ends the run there.
    std::function<bool(std::size_t index, const ResizeResult& result)> fileDone;
};

/// The per-file job that RunBatch calls; ResizeFile's signature.
using BatchFileJob =
    std::function<ResizeResult(const wxString& sourcePath, const wxString& outputPath,
                               const ResizeRequest& request, const StopCheck& shouldStop)>;

/// Resizes files in list order, one result per file handed to fileDone,
/// until the list ends or fileDone says stop. A file the user stopped is
/// reported as Stopped and nothing after it is started.
///
/// With no job given, each file gets ResizeFile's job, and one loader
/// thread reads and decodes the files in turn: the current file's bottom
/// rows while its top is resampled, then the next file while the current
/// one is encoded and saved (unless the current output may be the next
/// source). At most one file is read ahead; after a stop it is dropped,
/// messages and all. What loading a file logged reaches the log when that
/// file's turn comes. The bytes written are those of ResizeFile.
///
/// Returns how many files were reported.
std::size_t RunBatch(const std::vector<BatchFile>& files, const BatchCallbacks& callbacks,
                     const BatchFileJob& job = {});
