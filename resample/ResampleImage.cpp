#include "resample/ResampleImage.h"

#include "resample/CResize.h"
#include "resample/ResampleBlocks.h"

#include <climits>
#include <cstdint>
#include <stdexcept>

qlImage ResampleImage(const StopCheck& shouldStop, qlImage source, int targetWidth,
                      int targetHeight, int radius, int kernel, double kernelParameter)
{
    // Nothing to compute, nothing to ask: an image without pixels.
    if (targetWidth <= 0 || targetHeight <= 0)
        return qlImage();
    if (!source.IsOk())
        throw std::invalid_argument("resampling needs a source image");
    return ResampleImage(shouldStop, source.GetData(), source.GetWidth(), source.GetHeight(),
                         targetWidth, targetHeight, radius, kernel, kernelParameter, {});
}

qlImage ResampleImage(const StopCheck& shouldStop, const unsigned char* source, int sourceWidth,
                      int sourceHeight, int targetWidth, int targetHeight, int radius, int kernel,
                      double kernelParameter, const SourceRowsReady& sourceReady)
{
    qlImage target;
    if (targetWidth <= 0 || targetHeight <= 0)
        return target;
    if (source == nullptr || sourceWidth <= 0 || sourceHeight <= 0)
        throw std::invalid_argument("resampling needs a source image");
    // The toolkit sizes its buffer in int.
    if (std::int64_t(targetWidth) * targetHeight * 3 > INT_MAX)
        throw std::length_error("target image too large");

    CResize engine(sourceWidth, sourceHeight, source, targetWidth, targetHeight, radius,
                   kernelParameter, 3, kernel);
    // A target that cannot be created reads as 0 x 0, so no block runs.
    // Every row is either computed or, after a stop, set to black.
    qlImage::CreateUninitialised(target, targetWidth, targetHeight);
    if (target.IsOk() &&
        !ResampleBlocks(shouldStop, &engine, target.GetData(), target.GetWidth(),
                        target.GetHeight(), ResizeBand, StartWorkerThread, sourceReady) &&
        sourceReady && !sourceReady(sourceHeight))
        return qlImage();
    return target;
}
