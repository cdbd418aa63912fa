#include "resample/Kernels.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(BesselI0, MatchesTheTruncatedSeries)
{
    struct Case
    {
        double x;
        double expected;
        double tolerance;
    };
    const Case kCases[] = {
        {0.0, 1.0, 0.0},
        {5.0, 27.239871807529, 1e-11},
        {10.0, 2815.71662844, 1e-8},
        {12.0, 18948.9253493, 1e-7},
    };
    for (const Case& c : kCases)
        EXPECT_NEAR(BesselI0(c.x), c.expected, c.tolerance) << "x = " << c.x;
}

TEST(Kernels, MatchReferenceValues)
{
    struct Case
    {
        const char* name;
        double value;
        double expected;
    };
    const Case kCases[] = {
        {"Kaiser(4, 0.5, 10)", KaiserKernel(4, 0.5, 10.0, BesselI0(10.0)), 0.590983},
        {"Kaiser(4, 1.5, 10)", KaiserKernel(4, 1.5, 10.0, BesselI0(10.0)), -0.106357},
        {"Kaiser(3, 0.5, 12)", KaiserKernel(3, 0.5, 12.0, BesselI0(12.0)), 0.542147},
        {"Kaiser(6, 2.5, 5)", KaiserKernel(6, 2.5, 5.0, BesselI0(5.0)), 0.085037},
        {"Lanczos(3, 0.5)", LanczosKernel(3, 0.5), 0.607927},
        {"Blackman(3, 0.5)", BlackmanKernel(3, 0.5), 0.568510},
        {"BlackmanHarris(3, 0.5)", BlackmanHarrisKernel(3, 0.5), 0.568967},
    };
    for (const Case& c : kCases)
        EXPECT_NEAR(c.value, c.expected, 5e-7) << c.name;
}

TEST(Kernels, SupportEdgeIsZeroAndCentreIsOne)
{
    const double i0 = BesselI0(10.0);
    for (int a : {3, 4, 6})
    {
        for (double x : {double(a), -double(a), a + 0.25})
        {
            EXPECT_EQ(LanczosKernel(a, x), 0.0) << a << " " << x;
            EXPECT_EQ(BlackmanKernel(a, x), 0.0) << a << " " << x;
            EXPECT_EQ(BlackmanHarrisKernel(a, x), 0.0) << a << " " << x;
            EXPECT_EQ(KaiserKernel(a, x, 10.0, i0), 0.0) << a << " " << x;
        }
        EXPECT_EQ(LanczosKernel(a, 0.0), 1.0);
        EXPECT_EQ(KaiserKernel(a, 0.0, 10.0, i0), 1.0);
        EXPECT_NEAR(BlackmanKernel(a, 0.0), 1.0, 1e-15);
        EXPECT_NEAR(BlackmanHarrisKernel(a, 0.0), 1.0, 1e-15);
    }
}

TEST(Kernels, ShortPiLeavesSincSlightlyOffZeroAtWholeNumbers)
{
    // The 15-digit pi gives about 9.8e-16 here; the full-precision value
    // would give about 3.7e-17.
    const double value = LanczosKernel(6, 1.0);
    EXPECT_GT(value, 5e-16);
    EXPECT_LT(value, 2e-15);
}
