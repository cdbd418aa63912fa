#include "job/MapInterpolator.h"

InterpolatorFilter MapInterpolator(InterpolatorSetting setting, std::int64_t sourceWidth,
                                   std::int64_t targetWidth)
{
    InterpolatorFilter filter;
    switch (setting)
    {
    case InterpolatorSetting::Smoother:
        filter = {12.0, 3};
        break;
    case InterpolatorSetting::Normal:
        filter = {10.0, 4};
        break;
    case InterpolatorSetting::Sharper:
        filter = {5.0, 6};
        break;
    default:
        filter = {10.0, 6};
        break;
    }
    // An enlargement needs the wider kernel whatever the setting; the beta
    // still follows the setting.
    if (targetWidth > sourceWidth)
        filter.radius = 6;
    return filter;
}
