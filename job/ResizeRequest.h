#pragma once

#include "job/InterpolatorSetting.h"
#include "job/ResizeDimension.h"

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
};
