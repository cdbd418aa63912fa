#pragma once

#include "job/InterpolatorSetting.h"
#include "job/ResizeDimension.h"

#include <wx/string.h>

/// Everything the user chose that one file's resize needs, apart from the
/// paths. The same request gives the same output bytes from the window, the
/// command line and the benchmark driver.
struct ResizeRequest
{
    int value = 0;
    ResizeDimension dimension = ResizeDimension::Width;
    InterpolatorSetting interpolator = InterpolatorSetting::Normal;
    /// Used for JPEG outputs only.
    int jpegQuality = 85;
    /// The output format by the extension its handler is registered under
    /// ("jpg", "tif"), for an output named otherwise (photo.tiff). Empty:
    /// the output path's own extension decides, as for the window.
    wxString formatExtension;
};
