#pragma once

#include "job/LoadSource.h"
#include "job/ResizeRequest.h"
#include "job/ResizeResult.h"
#include "resample/StopCheck.h"

#include <wx/string.h>

/// Resizes one file: reads and decodes sourcePath, resamples it to the size
/// the request gives, and writes outputPath in the format its extension
/// names, with the source's ICC profile and updated Exif data.
///
/// shouldStop is handed to the engine, which asks it between blocks of
/// rows; after it said stop nothing is written.
///
/// Every failure is also logged through the toolkit's log at error level
/// with the file's name; the file is then skipped and nothing half-written
/// is left.
ResizeResult ResizeFile(const wxString& sourcePath, const wxString& outputPath,
                        const ResizeRequest& request, const StopCheck& shouldStop = {});

/// The same job for a source already loaded (by LoadSource, possibly on
/// another thread): first logs what loading logged, then goes on as
/// ResizeFile does. The source's pixels are released on the way.
ResizeResult ResizeLoaded(LoadedSource& source, const wxString& outputPath,
                          const ResizeRequest& request, const StopCheck& shouldStop = {});
