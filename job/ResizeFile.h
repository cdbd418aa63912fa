#pragma once

#include <wx/string.h>

/// Resizes one file: reads and decodes sourcePath, resamples it to the size
/// that value and dimension give (0 Width, 1 Height, 2 Longer side,
/// 3 Shorter side, 4 Percent) with the interpolator setting (0 Smoother,
/// 1 Normal, 2 Sharper), and writes outputPath in the format its extension
/// names, with the source's ICC profile and updated Exif data.
///
/// stopRequested is handed to the engine, which may ask the user and store
/// the answer; after a confirmed stop nothing is written.
///
/// Every failure is logged through the toolkit's log at error level with
/// the file's name; the file is then skipped and nothing half-written is
/// left. Returns true only when the output was written completely.
bool ResizeFile(bool& stopRequested, const wxString& sourcePath, const wxString& outputPath,
                int value, int dimension, int interpolator, int jpegQuality);
