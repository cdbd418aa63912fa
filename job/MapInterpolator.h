#pragma once

#include "job/InterpolatorSetting.h"

#include <cstdint>

/// Engine parameters for one interpolator setting: the Kaiser window's beta
/// and the kernel radius in lobes.
struct InterpolatorFilter
{
    double kernelParameter = 10.0;
    int radius = 6;
};

/// The engine always uses its Kaiser kernel; this is its kernel number.
constexpr int KaiserKernel = 3;

/// Maps setting to the engine's parameters (a number outside the enumeration
/// gets a fallback). An enlargement, judged on the width alone,
/// always gets radius 6.
InterpolatorFilter MapInterpolator(InterpolatorSetting setting, std::int64_t sourceWidth,
                                   std::int64_t targetWidth);
