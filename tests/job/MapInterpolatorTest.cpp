#include "job/MapInterpolator.h"

#include <gtest/gtest.h>

namespace
{

struct FilterCase
{
    int setting;
    int sourceWidth, targetWidth;
    double kernelParameter;
    int radius;
};

const FilterCase FilterCases[] = {
    // Reductions follow the setting.
    {0, 1000, 500, 12.0, 3},
    {1, 1000, 500, 10.0, 4},
    {2, 1000, 500, 5.0, 6},
    {3, 1000, 500, 10.0, 6},
    {-1, 1000, 500, 10.0, 6},
    // Equal width is no enlargement.
    {0, 800, 800, 12.0, 3},
    {1, 800, 800, 10.0, 4},
    // Any enlargement of the width gets radius 6; the beta stays.
    {0, 800, 801, 12.0, 6},
    {1, 800, 1600, 10.0, 6},
    {2, 10, 11, 5.0, 6},
};

TEST(MapInterpolator, KernelParameterFromTheSettingRadiusFromSettingAndEnlargement)
{
    for (const FilterCase& c : FilterCases)
    {
        const InterpolatorFilter filter = MapInterpolator(
            static_cast<InterpolatorSetting>(c.setting), c.sourceWidth, c.targetWidth);
        EXPECT_EQ(filter.kernelParameter, c.kernelParameter)
            << "setting " << c.setting << ", " << c.sourceWidth << " -> " << c.targetWidth;
        EXPECT_EQ(filter.radius, c.radius)
            << "setting " << c.setting << ", " << c.sourceWidth << " -> " << c.targetWidth;
    }
}

} // namespace
