#include "resample/FastResize.h"
#include "resample/CResize.h"
#include "resample/FastResizeAvx2.h"
#include "resample/Kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{

// Allocations made on this thread while counting is on.
thread_local bool t_countAllocations = false;
thread_local int t_allocations = 0;

} // namespace

// The thread sanitizer brings its own operator new; it cannot be counted
// there.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define PIXMORA_COUNTS_ALLOCATIONS 0
#endif
#endif
#ifndef PIXMORA_COUNTS_ALLOCATIONS
#define PIXMORA_COUNTS_ALLOCATIONS 1
#endif

#if PIXMORA_COUNTS_ALLOCATIONS
// Counted so that a test can tell whether the rows allocate: an allocation
// on a worker thread is an exception the caller could not catch.
void* operator new(std::size_t size)
{
    if (t_countAllocations)
        ++t_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#endif

namespace
{

enum class Pattern
{
    Noise,
    // Only 0 and 255: the extremes every sum can reach.
    SaturatedNoise,
    // 255 where the weights of the middle target pixel are positive, 0
    // where they are negative: the largest sum the tables allow there.
    SaturatedLobes,
};

struct Case
{
    const char* name;
    int sourceWidth, sourceHeight, targetWidth, targetHeight;
    int radius;
    double beta;
    int channels;
    Pattern pattern;
};

int FirstTap(double coordinate, int tapRadius)
{
    return int(std::floor(coordinate)) - (tapRadius - 1);
}

std::vector<unsigned char> MakeSource(const Case& c, unsigned seed)
{
    std::vector<unsigned char> pixels(std::size_t(c.sourceWidth) * c.sourceHeight * c.channels);
    // The tables do not depend on the pixels: a blank source gives them.
    const CResize probe(c.sourceWidth, c.sourceHeight, pixels.data(), c.targetWidth, c.targetHeight,
                        c.radius, c.beta, c.channels, Kaiser);
    const int left = FirstTap(probe.SourceX(c.targetWidth / 2), probe.TapRadiusX());
    const int top = FirstTap(probe.SourceY(c.targetHeight / 2), probe.TapRadiusY());
    std::mt19937 random(seed);
    std::size_t i = 0;
    for (int y = 0; y < c.sourceHeight; ++y)
        for (int x = 0; x < c.sourceWidth; ++x)
            for (int ch = 0; ch < c.channels; ++ch, ++i)
                switch (c.pattern)
                {
                case Pattern::Noise:
                    pixels[i] = static_cast<unsigned char>(random() & 0xff);
                    break;
                case Pattern::SaturatedNoise:
                    pixels[i] = (random() & 1) ? 255 : 0;
                    break;
                case Pattern::SaturatedLobes:
                {
                    const int k = x - left;
                    const int t = y - top;
                    const bool inside = k >= 0 && k < probe.TapsX() && t >= 0 && t < probe.TapsY();
                    const std::int64_t sign =
                        inside ? std::int64_t(probe.WeightsX(c.targetWidth / 2)[k]) *
                                     probe.WeightsY(c.targetHeight / 2)[t]
                               : 0;
                    pixels[i] = sign > 0 ? 255 : 0;
                    break;
                }
                }
    return pixels;
}

bool CpuHasAvx2ForTest()
{
#if PIXMORA_AVX2
    return CpuHasAvx2();
#else
    return false;
#endif
}

// Rows compared against the reference: all of a small target; of a large
// one the first and last blocks and a spread in between, which holds every
// column, both edges and each kind of row.
std::vector<int> RowsToCompare(int height)
{
    std::vector<int> rows;
    for (int y = 0; y < height; ++y)
        if (height <= 200 || y < 45 || y >= height - 45 || y % 97 == 0)
            rows.push_back(y);
    return rows;
}

// The whole target the way the engine entry computes it: blocks of 40 rows,
// each split between worker 1 and, on its own thread, worker 2.
std::vector<unsigned char> FastImage(CResize& engine, int workers)
{
    const int width = engine.TargetWidth();
    const int height = engine.TargetHeight();
    const int stride = width * engine.BytesPerPixel();
    std::vector<unsigned char> target(std::size_t(stride) * height);
    for (int y = 0; y < height; y += 40)
    {
        const int rows = std::min(40, height - y);
        unsigned char* base = target.data() + std::size_t(stride) * y;
        if (workers == 1)
        {
            engine.ComputeRows(y, rows, base, stride, 1);
            continue;
        }
        const int half = rows / 2;
        std::thread second(
            [&] {
                engine.ComputeRows(y + half, rows - half, base + std::size_t(stride) * half, stride,
                                   2);
            });
        engine.ComputeRows(y, half, base, stride, 1);
        second.join();
    }
    return target;
}

// The unshifted sum of channel c of target pixel (x, y), straight from the
// tables with every tap pinned to the source.
std::int64_t SumAt(const CResize& engine, const std::vector<unsigned char>& source, int x, int y,
                   int c)
{
    const int left = FirstTap(engine.SourceX(x), engine.TapRadiusX());
    const int top = FirstTap(engine.SourceY(y), engine.TapRadiusY());
    std::int64_t v = 0;
    for (int i = 0; i < engine.TapsY(); ++i)
    {
        const int row = std::clamp(top + i, 0, engine.SourceHeight() - 1);
        std::int64_t h = 0;
        for (int k = 0; k < engine.TapsX(); ++k)
        {
            const int column = std::clamp(left + k, 0, engine.SourceWidth() - 1);
            const std::size_t at = (std::size_t(row) * engine.SourceWidth() + std::size_t(column)) *
                                       engine.BytesPerPixel() +
                                   std::size_t(c);
            h += std::int64_t(source[at]) * engine.WeightsX(x)[k];
        }
        v += h * engine.WeightsY(y)[i];
    }
    return v;
}

} // namespace

TEST(FastResize, SameBytesAsTheReference)
{
    const Case kCases[] = {
        // The benchmark cases: "Normal", "Smoother" and "Sharper" reductions
        // and an enlargement.
        {"normal reduction", 6000, 4000, 2000, 1333, 4, 10.0, 3, Pattern::Noise},
        {"smoother reduction", 6000, 4000, 800, 533, 3, 12.0, 3, Pattern::Noise},
        {"sharper reduction", 6000, 4000, 1999, 1001, 6, 5.0, 3, Pattern::Noise},
        {"enlargement", 1920, 1080, 3840, 2160, 6, 10.0, 3, Pattern::Noise},
        {"odd reduction", 37, 23, 11, 7, 4, 10.0, 3, Pattern::Noise},
        {"odd enlargement", 101, 59, 203, 61, 6, 5.0, 3, Pattern::Noise},
        {"identity", 64, 48, 64, 48, 4, 10.0, 3, Pattern::Noise},
        {"one-row target", 300, 200, 150, 1, 4, 10.0, 3, Pattern::Noise},
        {"one-column target", 300, 200, 1, 150, 4, 10.0, 3, Pattern::Noise},
        {"one-pixel target", 300, 200, 1, 1, 3, 12.0, 3, Pattern::Noise},
        {"one-row source", 300, 1, 120, 5, 4, 10.0, 3, Pattern::Noise},
        {"one-column source", 1, 300, 4, 100, 6, 5.0, 3, Pattern::Noise},
        {"one-pixel source", 1, 1, 7, 3, 6, 10.0, 3, Pattern::Noise},
        {"x enlarged, y reduced", 100, 300, 250, 90, 6, 5.0, 3, Pattern::Noise},
        {"four channels", 50, 40, 23, 61, 6, 5.0, 4, Pattern::Noise},
        // Each setting reducing and enlarging odd widths, in three and four
        // channels, with column tap counts that fill the AVX2 steps of eight
        // exactly (24), leave four over (12, 36, 44) or need zero padding
        // (14, 26, 42).
        {"smoother enlargement", 77, 45, 191, 97, 6, 12.0, 3, Pattern::Noise},
        {"sharper enlargement", 64, 30, 129, 61, 6, 5.0, 3, Pattern::Noise},
        {"smoother odd reduction", 77, 50, 31, 20, 3, 12.0, 3, Pattern::Noise},
        {"sharper odd reduction", 103, 40, 29, 17, 6, 5.0, 3, Pattern::Noise},
        {"smoother reduction, four channels", 90, 70, 29, 23, 3, 12.0, 4, Pattern::Noise},
        {"normal reduction, four channels", 151, 33, 50, 11, 4, 10.0, 4, Pattern::Noise},
        {"normal enlargement, four channels", 33, 21, 70, 50, 6, 10.0, 4, Pattern::Noise},
        {"sharper odd reduction, four channels", 103, 40, 29, 17, 6, 5.0, 4,
         Pattern::SaturatedNoise},
        // Sources narrower than the taps: every column reads past both edges.
        {"every column an edge", 5, 40, 3, 20, 4, 10.0, 3, Pattern::Noise},
        {"every column an edge, four channels", 3, 9, 8, 4, 6, 5.0, 4, Pattern::SaturatedNoise},
        {"two-column target", 200, 30, 2, 15, 6, 5.0, 3, Pattern::SaturatedNoise},
        {"saturated noise", 300, 200, 97, 61, 6, 5.0, 3, Pattern::SaturatedNoise},
        // A plain sinc (beta 0) of radius 40 or more piles up lobes until the sums
        // leave 32 bits: only the 64-bit sums give the reference's bytes.
        {"sums beyond 32 bits", 130, 130, 105, 97, 48, 0.0, 3, Pattern::SaturatedLobes},
        {"sums beyond 32 bits, four channels", 100, 100, 150, 91, 40, 0.0, 4,
         Pattern::SaturatedLobes},
    };
    // Both forms of the passes: AVX2 where the CPU has it, and the portable
    // loops.
    for (bool avx2 : {true, false})
    {
        FastResize::AllowAvx2(avx2);
        for (const Case& c : kCases)
        {
            SCOPED_TRACE(std::string(c.name) + (avx2 ? "" : ", portable loops"));
            const std::vector<unsigned char> source = MakeSource(c, 5);
            CResize engine(c.sourceWidth, c.sourceHeight, source.data(), c.targetWidth,
                           c.targetHeight, c.radius, c.beta, c.channels, Kaiser);
            EXPECT_EQ(engine.UsesAvx2Horizontal(),
                      avx2 && CpuHasAvx2ForTest() && engine.UsesNarrowSums());
            const std::vector<unsigned char> twoWorkers = FastImage(engine, 2);
            const std::size_t rowBytes = std::size_t(c.targetWidth) * c.channels;
            std::vector<unsigned char> reference(rowBytes);
            for (int y : RowsToCompare(c.targetHeight))
            {
                engine.ResizeRow(y, reference.data(), 1);
                const std::vector<unsigned char> fast(
                    twoWorkers.begin() + std::ptrdiff_t(y * rowBytes),
                    twoWorkers.begin() + std::ptrdiff_t((y + 1) * rowBytes));
                ASSERT_EQ(fast, reference) << "row " << y;
            }
            EXPECT_EQ(FastImage(engine, 1), twoWorkers) << "one worker differs from two";
        }
    }
    FastResize::AllowAvx2(true);
}

TEST(FastResize, NarrowSumsOnlyWhereTheyCannotOverflow)
{
    const std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();
    struct Bound
    {
        Case c;
        bool narrow;
    };
    const Bound kCases[] = {
        // The application's settings stay on the 32-bit sums.
        {{"smoother", 300, 200, 100, 66, 3, 12.0, 3, Pattern::SaturatedLobes}, true},
        {{"normal", 300, 200, 100, 66, 4, 10.0, 3, Pattern::SaturatedLobes}, true},
        {{"sharper", 300, 200, 100, 66, 6, 5.0, 3, Pattern::SaturatedLobes}, true},
        {{"sharper enlargement", 50, 40, 130, 97, 6, 5.0, 3, Pattern::SaturatedLobes}, true},
        {{"plain sinc", 130, 130, 105, 97, 48, 0.0, 3, Pattern::SaturatedLobes}, false},
    };
    for (const Bound& b : kCases)
    {
        SCOPED_TRACE(b.c.name);
        const std::vector<unsigned char> source = MakeSource(b.c, 5);
        CResize engine(b.c.sourceWidth, b.c.sourceHeight, source.data(), b.c.targetWidth,
                       b.c.targetHeight, b.c.radius, b.c.beta, b.c.channels, Kaiser);
        EXPECT_EQ(engine.UsesNarrowSums(), b.narrow);
        // Twice the 32-bit range: more than the per-row bias can take back,
        // so the 32-bit sums would overflow on this source.
        if (!b.narrow)
        {
            EXPECT_GT(SumAt(engine, source, b.c.targetWidth / 2, b.c.targetHeight / 2, 0),
                      2 * int32Max)
                << "the case no longer needs 64-bit sums";
        }
    }
}

TEST(FastResize, ComputingRowsAllocatesNothing)
{
    if (!PIXMORA_COUNTS_ALLOCATIONS)
        GTEST_SKIP() << "the thread sanitizer's own operator new cannot be counted";
    // One case for each form of the sums: 32-bit, and the reference rows.
    const Case kCases[] = {
        {"normal reduction", 600, 400, 200, 133, 4, 10.0, 3, Pattern::Noise},
        {"enlargement, four channels", 60, 40, 130, 97, 6, 5.0, 4, Pattern::Noise},
        {"sums beyond 32 bits", 130, 130, 105, 97, 48, 0.0, 3, Pattern::SaturatedLobes},
    };
    for (bool avx2 : {true, false})
    {
        FastResize::AllowAvx2(avx2);
        for (const Case& c : kCases)
        {
            SCOPED_TRACE(std::string(c.name) + (avx2 ? "" : ", portable loops"));
            const std::vector<unsigned char> source = MakeSource(c, 3);
            CResize engine(c.sourceWidth, c.sourceHeight, source.data(), c.targetWidth,
                           c.targetHeight, c.radius, c.beta, c.channels, Kaiser);
            const int stride = c.targetWidth * c.channels;
            std::vector<unsigned char> target(std::size_t(stride) * c.targetHeight);
            const int half = c.targetHeight / 2;
            t_allocations = 0;
            t_countAllocations = true;
            engine.ComputeRows(0, half, target.data(), stride, 1);
            engine.ComputeRows(half, c.targetHeight - half,
                               target.data() + std::size_t(stride) * half, stride, 2);
            t_countAllocations = false;
            EXPECT_EQ(t_allocations, 0);
        }
    }
    FastResize::AllowAvx2(true);
}
