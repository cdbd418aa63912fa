#pragma once

#include "job/ResizeDimension.h"

#include <cstdint>

/// Target size of one resize. The sides are 64-bit so that a request beyond
/// what an image can hold is seen as such by the caller instead of wrapping.
struct TargetSize
{
    std::int64_t width = 0;
    std::int64_t height = 0;
};

/// Target size for a sourceWidth x sourceHeight image when the user asked
/// for value along dimension (a number outside the enumeration, as a damaged
/// setting may give, keeps the source size). The dependent side
/// is truncated toward zero, never rounded up.
///
/// Both source sides must be at least 1; the result may be below 1 or
/// beyond the 32-bit range, and the caller decides what to do then.
TargetSize ComputeTargetSize(int sourceWidth, int sourceHeight, int value,
                             ResizeDimension dimension);
