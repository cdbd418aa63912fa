#include "job/ComputeTargetSize.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace
{

struct SizeCase
{
    int width, height, value, dimension;
    std::int64_t expectedWidth, expectedHeight;
};

const SizeCase SizeCases[] = {
    // Width and height rules truncate the dependent side, never round up.
    {1000, 667, 500, 0, 500, 333},
    {667, 1000, 500, 1, 333, 500},
    {1000, 667, 2000, 0, 2000, 1334},
    {3, 2, 1, 0, 1, 0},
    // Longer side: landscape takes the width rule, portrait and squares the
    // height rule.
    {1200, 1600, 800, 2, 600, 800},
    {1600, 1200, 800, 2, 800, 600},
    {500, 500, 300, 2, 300, 300},
    // Shorter side.
    {1600, 1200, 600, 3, 800, 600},
    {1200, 1600, 600, 3, 600, 800},
    {500, 500, 300, 3, 300, 300},
    {333, 333, 1, 3, 1, 1},
    // Percent lands just under whole results: the factor is below 0.01.
    {640, 480, 100, 4, 639, 479},
    {4288, 2848, 50, 4, 2143, 1423},
    {640, 480, 150, 4, 959, 719},
    {1000, 1001, 50, 4, 499, 500},
    {1001, 1000, 25, 4, 250, 249},
    {99, 200, 1, 4, 0, 1},
    // Any other dimension keeps the size.
    {1000, 667, 500, 7, 1000, 667},
    {1000, 667, 500, -1, 1000, 667},
    // Zero and negative values pass through for the caller to reject;
    // the quotient truncates toward zero.
    {1000, 667, 0, 0, 0, 0},
    {1000, 667, -5, 0, -5, -3},
    {640, 480, -100, 4, -639, -479},
    // Products beyond 32 bits stay exact instead of wrapping.
    {1, 1000, INT_MAX, 0, INT_MAX, 1000LL * INT_MAX},
    {46341, 46341, 46341, 4, 21474882, 21474882},
};

TEST(ComputeTargetSize, FollowsTheRuleOfEachDimension)
{
    for (const SizeCase& c : SizeCases)
    {
        const TargetSize size = ComputeTargetSize(c.width, c.height, c.value,
                                                  static_cast<ResizeDimension>(c.dimension));
        EXPECT_EQ(size.width, c.expectedWidth)
            << c.width << "x" << c.height << " value " << c.value << " dimension " << c.dimension;
        EXPECT_EQ(size.height, c.expectedHeight)
            << c.width << "x" << c.height << " value " << c.value << " dimension " << c.dimension;
    }
}

// For every product up to 44,739,300 the factor lands a multiple of 100 one
// below the exact result and leaves every other product at its floor.
TEST(ComputeTargetSize, PercentRuleForEveryProductUpTo44739300)
{
    for (int product = 1; product <= 44739300; ++product)
    {
        const std::int64_t expected = product % 100 == 0 ? product / 100 - 1 : product / 100;
        const TargetSize size = ComputeTargetSize(product, 1, 1, ResizeDimension::Percent);
        if (size.width != expected)
        {
            FAIL() << "product " << product << " gave " << size.width << ", expected " << expected;
        }
    }
}

// The factor is exactly the single-precision 0.01; a double product with it
// is exact while the product has at most 30 bits, beyond that the exact
// 128-bit product is the reference.
TEST(ComputeTargetSize, PercentIsTheExactProductWithTheSinglePrecisionFactor)
{
    const double factor = static_cast<double>(0.01f);
    ASSERT_EQ(factor * 536870912.0, 5368709.0);
    const int sides[] = {1, 7, 99, 4288, 65535, 1000003, INT_MAX};
    const int values[] = {1, 3, 100, 150, 9999, 1000000, INT_MAX};
    for (int side : sides)
    {
        for (int value : values)
        {
            const __int128 product = static_cast<__int128>(side) * value;
            const auto expected = static_cast<std::int64_t>((product * 5368709) >> 29);
            EXPECT_EQ(ComputeTargetSize(side, side, value, ResizeDimension::Percent).width,
                      expected)
                << side << " x " << value;
            if (product < (1 << 30))
            {
                EXPECT_EQ(expected,
                          static_cast<std::int64_t>(static_cast<double>(product) * factor));
            }
        }
    }
}

} // namespace
