#pragma once

/// The interpolator the user picks. The values are the "Interpolator
/// settings" radio box's indexes and the numbers stored as
/// "InterpolatorSetting".
enum class InterpolatorSetting
{
    Smoother = 0,
    Normal = 1,
    Sharper = 2,
};

constexpr int InterpolatorSettingCount = 3;
