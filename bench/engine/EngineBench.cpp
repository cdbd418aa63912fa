// Baseline timings of the per-pixel reference filter, run the way the engine
// entry runs it (blocks of 40 rows, two workers joined per block) or on one
// thread; no toolkit needed.

#include "resample/CResize.h"
#include "resample/Kernels.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <thread>
#include <vector>

namespace
{

constexpr int kBlockRows = 40;

std::vector<unsigned char> TestPattern(int width, int height)
{
    std::vector<unsigned char> pixels(std::size_t(width) * height * 3);
    std::uint32_t state = 12345;
    for (unsigned char& b : pixels)
    {
        state = state * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(state >> 24);
    }
    return pixels;
}

void ResizeRows(CResize& engine, unsigned char* first, int stride, int firstRow, int rowCount,
                int worker)
{
    for (int i = 0; i < rowCount; ++i)
        engine.ResizeRow(firstRow + i, first + std::ptrdiff_t(i) * stride, worker);
}

void Resample(benchmark::State& state, int sourceWidth, int sourceHeight, int targetWidth,
              int targetHeight, int radius, double beta, bool twoThreads)
{
    const std::vector<unsigned char> source = TestPattern(sourceWidth, sourceHeight);
    std::vector<unsigned char> target(std::size_t(targetWidth) * targetHeight * 3);
    const int stride = targetWidth * 3;
    for (auto _ : state)
    {
        CResize engine(sourceWidth, sourceHeight, source.data(), targetWidth, targetHeight, radius,
                       beta, 3, Kaiser);
        for (int y = 0; y < targetHeight; y += kBlockRows)
        {
            const int rows = y + kBlockRows < targetHeight ? kBlockRows : targetHeight - y;
            unsigned char* base = target.data() + std::ptrdiff_t(stride) * y;
            if (!twoThreads)
            {
                ResizeRows(engine, base, stride, y, rows, 1);
                continue;
            }
            const int firstHalf = rows / 2;
            std::thread first(ResizeRows, std::ref(engine), base, stride, y, firstHalf, 1);
            std::thread second(ResizeRows, std::ref(engine),
                               base + std::ptrdiff_t(stride) * firstHalf, stride, y + firstHalf,
                               rows - firstHalf, 2);
            first.join();
            second.join();
        }
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.counters["Mpixel/s"] = benchmark::Counter(double(targetWidth) * targetHeight / 1e6,
                                                    benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

// "Normal" (r 4, beta 10): 6000 x 4000 reduced to 2000 x 1333.
BENCHMARK_CAPTURE(Resample, Reduce6000x4000To2000x1333_TwoThreads, 6000, 4000, 2000, 1333, 4, 10.0,
                  true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(Resample, Reduce6000x4000To2000x1333_OneThread, 6000, 4000, 2000, 1333, 4, 10.0,
                  false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
// Enlarging always uses r 6; beta 5 is "Sharper".
BENCHMARK_CAPTURE(Resample, Enlarge1920x1080To3840x2160_TwoThreads, 1920, 1080, 3840, 2160, 6, 5.0,
                  true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(Resample, Enlarge1920x1080To3840x2160_OneThread, 1920, 1080, 3840, 2160, 6, 5.0,
                  false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

BENCHMARK_MAIN();
