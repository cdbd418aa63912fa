#include "resample/CResize.h"
#include "resample/Kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

namespace
{

struct Image
{
    int width;
    int height;
    int channels;
    std::vector<unsigned char> pixels;

    Image(int w, int h, int c, unsigned char fill = 0)
        : width(w), height(h), channels(c), pixels(std::size_t(w) * h * c, fill)
    {
    }
    unsigned char& at(int x, int y, int c)
    {
        return pixels[(std::size_t(y) * width + x) * channels + c];
    }
};

Image RandomImage(int w, int h, int c, unsigned seed)
{
    Image image(w, h, c);
    std::mt19937 random(seed);
    for (unsigned char& b : image.pixels)
        b = static_cast<unsigned char>(random() & 0xff);
    return image;
}

Image Resize(CResize& engine, int w, int h, int c)
{
    Image out(w, h, c);
    for (int y = 0; y < h; ++y)
        engine.ResizeRow(y, &out.pixels[std::size_t(y) * w * c], 1);
    return out;
}

// The filtered value before the shift's clamp, straight from the tables with
// every tap's row and column pinned to the source: independent of the row
// pointers, the scratch sums and the border flags.
std::int64_t UnclampedValue(const CResize& engine, Image& source, int x, int y, int c)
{
    const long long firstX = (long long)std::floor(engine.SourceX(x)) - (engine.TapRadiusX() - 1);
    const long long firstY = (long long)std::floor(engine.SourceY(y)) - (engine.TapRadiusY() - 1);
    std::int64_t v = 0;
    for (int i = 0; i < engine.TapsY(); ++i)
    {
        const int row = (int)std::clamp<long long>(firstY + i, 0, source.height - 1);
        std::int64_t h = 0;
        for (int k = 0; k < engine.TapsX(); ++k)
        {
            const int column = (int)std::clamp<long long>(firstX + k, 0, source.width - 1);
            h += std::int64_t(source.at(column, row, c)) * engine.WeightsX(x)[k];
        }
        v += h * engine.WeightsY(y)[i];
    }
    return v >> 22;
}

int RowSum(const std::int32_t* weights, int taps)
{
    return std::accumulate(weights, weights + taps, 0);
}

} // namespace

TEST(CResizeWeights, EnlargeHundredToTwoHundred)
{
    CResize engine(100, 1, nullptr, 200, 1, 4, 10.0, 3, Kaiser);
    ASSERT_EQ(engine.TapRadiusX(), 4);
    ASSERT_EQ(engine.TapsX(), 8);
    struct Case
    {
        int column;
        double sourceX;
        std::int32_t weights[8];
    };
    const Case kCases[] = {
        {0, 0.0, {0, 0, 0, 2048, 0, 0, 0, 0}},
        {1, 0.25, {-3, 40, -229, 1810, 519, -102, 13, 0}},
    };
    for (const Case& c : kCases)
    {
        EXPECT_EQ(engine.SourceX(c.column), c.sourceX);
        EXPECT_EQ(
            std::vector<std::int32_t>(engine.WeightsX(c.column), engine.WeightsX(c.column) + 8),
            std::vector<std::int32_t>(c.weights, c.weights + 8))
            << "column " << c.column;
    }
    EXPECT_EQ(engine.SourceX(199), 99.0);
}

TEST(CResizeWeights, ShrinkThousandToFiveHundred)
{
    CResize engine(1000, 1, nullptr, 500, 1, 4, 10.0, 3, Kaiser);
    ASSERT_EQ(engine.TapRadiusX(), 8);
    ASSERT_EQ(engine.TapsX(), 16);
    const std::vector<std::int32_t> expected = {-21, -32, 48,   71,   -106, -167, 299, 932,
                                                932, 299, -167, -106, 71,   48,   -32, -21};
    EXPECT_EQ(std::accumulate(expected.begin(), expected.end(), 0), 2048);
    for (int j = 0; j < 500; ++j)
    {
        ASSERT_EQ(engine.SourceX(j), 2.0 * j + 0.5) << "column " << j;
        ASSERT_EQ(std::vector<std::int32_t>(engine.WeightsX(j), engine.WeightsX(j) + 16), expected)
            << "column " << j;
        // Taps left of column 0 for 0..3, right of column 999 for 496..499.
        EXPECT_EQ(engine.NeedsClampX(j), j < 4 || j >= 496) << "column " << j;
    }
}

TEST(CResizeWeights, TapRadiusPerAxis)
{
    struct Case
    {
        int sourceWidth, sourceHeight, targetWidth, targetHeight, radius;
        int expectedRx, expectedRy;
    };
    const Case kCases[] = {
        {200, 10, 100, 10, 3, 6, 3},     // shrink by 2: 12 taps
        {1001, 7, 1000, 7, 6, 6, 6},     // 6.006 truncates to 6
        {10, 10, 25, 40, 4, 4, 4},       // enlarging keeps r
        {1000, 150, 10, 1, 4, 400, 600}, // axes independent, Ry > Rx
        {250, 100, 100, 250, 4, 10, 4},  // 2.5 x 4 = 10
    };
    for (const Case& c : kCases)
    {
        CResize engine(c.sourceWidth, c.sourceHeight, nullptr, c.targetWidth, c.targetHeight,
                       c.radius, 10.0, 3, Kaiser);
        EXPECT_EQ(engine.TapRadiusX(), c.expectedRx) << c.sourceWidth << "->" << c.targetWidth;
        EXPECT_EQ(engine.TapRadiusY(), c.expectedRy) << c.sourceHeight << "->" << c.targetHeight;
        EXPECT_EQ(engine.TapsX(), 2 * c.expectedRx);
        EXPECT_EQ(engine.TapsY(), 2 * c.expectedRy);
    }
}

TEST(CResizeWeights, OnePixelWideSourcePinsAndFlagsEveryColumn)
{
    Image source(1, 5, 3, 0);
    for (int y = 0; y < 5; ++y)
        for (int c = 0; c < 3; ++c)
            source.at(0, y, c) = static_cast<unsigned char>(40 * y + c);
    CResize engine(1, 5, source.pixels.data(), 7, 5, 4, 10.0, 3, Kaiser);
    Image out = Resize(engine, 7, 5, 3);
    for (int x = 0; x < 7; ++x)
    {
        EXPECT_EQ(engine.SourceX(x), 0.0) << x;
        EXPECT_TRUE(engine.NeedsClampX(x)) << x;
        for (int y = 0; y < 5; ++y)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(out.at(x, y, c), UnclampedValue(engine, source, x, y, c));
    }
}

TEST(CResizeWeights, ZeroTargetSizeDoesNotFail)
{
    const unsigned char pixel[3] = {1, 2, 3};
    for (auto size : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}})
    {
        EXPECT_NO_THROW(CResize(1, 1, pixel, size.first, size.second, 4, 10.0, 3, Kaiser))
            << size.first << "x" << size.second;
    }
}

TEST(CResizePasses, SameSizeCopiesEveryByte)
{
    struct Case
    {
        int width, height, channels, radius, kernel;
        double beta;
    };
    const Case kCases[] = {
        {37, 23, 3, 3, Kaiser, 12.0}, {37, 23, 4, 4, Kaiser, 10.0},
        {16, 9, 3, 6, Kaiser, 5.0},   {5, 5, 3, 3, Lanczos, 0.0},
        {5, 31, 4, 4, Blackman, 0.0}, {8, 8, 3, 4, BlackmanHarris, 0.0},
    };
    for (const Case& c : kCases)
    {
        Image source = RandomImage(c.width, c.height, c.channels, 7);
        CResize engine(c.width, c.height, source.pixels.data(), c.width, c.height, c.radius, c.beta,
                       c.channels, c.kernel);
        EXPECT_EQ(Resize(engine, c.width, c.height, c.channels).pixels, source.pixels)
            << c.width << "x" << c.height << " r " << c.radius << " kernel " << c.kernel;
    }
}

TEST(CResizePasses, MatchesTapSumsWithPinnedEdges)
{
    // Covers the flagged and unflagged column paths, the row pointers and
    // axes with different tap radii.
    struct Case
    {
        int sourceWidth, sourceHeight, targetWidth, targetHeight, channels, radius;
        double beta;
    };
    const Case kCases[] = {
        {40, 10, 20, 10, 3, 4, 10.0}, {13, 17, 31, 9, 4, 6, 5.0}, {100, 150, 1, 1, 3, 4, 10.0},
        {9, 60, 30, 7, 3, 3, 12.0},   {64, 3, 21, 8, 3, 6, 5.0},
    };
    for (const Case& c : kCases)
    {
        Image source = RandomImage(c.sourceWidth, c.sourceHeight, c.channels, 11);
        CResize engine(c.sourceWidth, c.sourceHeight, source.pixels.data(), c.targetWidth,
                       c.targetHeight, c.radius, c.beta, c.channels, Kaiser);
        Image out = Resize(engine, c.targetWidth, c.targetHeight, c.channels);
        for (int y = 0; y < c.targetHeight; ++y)
            for (int x = 0; x < c.targetWidth; ++x)
                for (int ch = 0; ch < c.channels; ++ch)
                {
                    const std::int64_t v = UnclampedValue(engine, source, x, y, ch);
                    ASSERT_EQ(out.at(x, y, ch), std::clamp<std::int64_t>(v, 0, 255))
                        << c.sourceWidth << "x" << c.sourceHeight << "->" << c.targetWidth << "x"
                        << c.targetHeight << " at " << x << "," << y << "," << ch;
                }
    }
}

TEST(CResizePasses, FlatWhiteFloorsWhereWeightRowsSumBelow2048)
{
    // 7 -> 50 has rows summing to 2046 on both axes: 255 x 2046 x 2046 / 2^22
    // is 254.5, floored to 254 (no rounding offset before the shift).
    Image source(7, 7, 3, 255);
    CResize engine(7, 7, source.pixels.data(), 50, 50, 4, 10.0, 3, Kaiser);
    Image out = Resize(engine, 50, 50, 3);
    bool saw254 = false;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
        {
            const std::int64_t product = 255LL * RowSum(engine.WeightsX(x), engine.TapsX()) *
                                         RowSum(engine.WeightsY(y), engine.TapsY());
            const int expected = (int)std::min<std::int64_t>(product >> 22, 255);
            ASSERT_EQ(out.at(x, y, 0), expected) << x << "," << y;
            saw254 |= out.at(x, y, 0) == 254;
        }
    EXPECT_EQ(RowSum(engine.WeightsX(8), engine.TapsX()), 2046);
    EXPECT_EQ(out.at(8, 8, 0), 254);
    EXPECT_TRUE(saw254);
}

TEST(CResizePasses, RingingClipsAtBothEnds)
{
    // A hard step enlarged with the sharpest setting rings past both ends.
    Image source(12, 4, 3, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 6; x < 12; ++x)
            for (int c = 0; c < 3; ++c)
                source.at(x, y, c) = 255;
    CResize engine(12, 4, source.pixels.data(), 37, 4, 6, 5.0, 3, Kaiser);
    Image out = Resize(engine, 37, 4, 3);
    bool below = false, above = false;
    for (int x = 0; x < 37; ++x)
    {
        const std::int64_t v = UnclampedValue(engine, source, x, 1, 0);
        below |= v < 0;
        above |= v > 255;
        EXPECT_EQ(out.at(x, 1, 0), std::clamp<std::int64_t>(v, 0, 255)) << x;
    }
    EXPECT_TRUE(below);
    EXPECT_TRUE(above);
}

TEST(CResizePasses, SumsBeyond32BitsClampToWhite)
{
    // Shrinking by 2 with beta 5 and r 6: source pixels lit where the column
    // and row weights share a sign drive the vertical sum past 2^31.
    const int size = 100, target = 50, x0 = 25, y0 = 25;
    CResize probe(size, size, nullptr, target, target, 6, 5.0, 3, Kaiser);
    Image source(size, size, 3, 0);
    const int firstX = (int)std::floor(probe.SourceX(x0)) - (probe.TapRadiusX() - 1);
    const int firstY = (int)std::floor(probe.SourceY(y0)) - (probe.TapRadiusY() - 1);
    for (int i = 0; i < probe.TapsY(); ++i)
        for (int k = 0; k < probe.TapsX(); ++k)
            if ((probe.WeightsX(x0)[k] > 0) == (probe.WeightsY(y0)[i] > 0))
                for (int c = 0; c < 3; ++c)
                    source.at(firstX + k, firstY + i, c) = 255;

    CResize engine(size, size, source.pixels.data(), target, target, 6, 5.0, 3, Kaiser);
    std::vector<unsigned char> row(target * 3);
    engine.ResizeRow(y0, row.data(), 2);
    const std::int64_t full = UnclampedValue(engine, source, x0, y0, 0) << 22;
    ASSERT_GT(full, std::numeric_limits<std::int32_t>::max());
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(row[x0 * 3 + c], 255);
}
