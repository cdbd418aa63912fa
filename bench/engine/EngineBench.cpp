// Timings of the engine without the toolkit: the per-pixel reference rows
// against the fast rows, on one worker or on two, the way the engine entry
// runs them (blocks of 40 rows, each split between two workers).
//
// Names read BM_<form>/<case>/<workers>. BM_FastPool keeps two threads for
// the whole image and hands them each block, against BM_Fast's two threads
// started per block. BM_FastPortable is BM_Fast on the portable loops, the
// hand-written AVX2 passes turned off.

#include "resample/CResize.h"
#include "resample/FastResize.h"
#include "resample/Kernels.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{

constexpr int kBlockRows = 40;

struct Case
{
    const char* name;
    int sourceWidth, sourceHeight, targetWidth, targetHeight;
    int radius;
    double beta;
};

// The interpolator settings: "Smoother" r 3 beta 12, "Normal" r 4 beta 10,
// "Sharper" r 6 beta 5; an enlargement always uses r 6.
const Case kCases[] = {
    {"Normal_6000x4000_to_2000x1333", 6000, 4000, 2000, 1333, 4, 10.0},
    {"Smoother_6000x4000_to_800x533", 6000, 4000, 800, 533, 3, 12.0},
    {"Sharper_6000x4000_to_1999x1001", 6000, 4000, 1999, 1001, 6, 5.0},
    {"Normal_1920x1080_to_3840x2160", 1920, 1080, 3840, 2160, 6, 10.0},
};

// Smooth gradients with noise on top: every tap sees a different value.
std::vector<unsigned char> TestPattern(int width, int height)
{
    std::vector<unsigned char> pixels(std::size_t(width) * height * 3);
    std::uint32_t state = 12345;
    std::size_t i = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
            {
                state = state * 1664525u + 1013904223u;
                const int base = (x * (c + 1) / 24 + y / 16) & 0xff;
                pixels[i++] = static_cast<unsigned char>((base + int(state >> 28)) & 0xff);
            }
    return pixels;
}

enum class Form
{
    Reference,
    Fast,
    FastPortable,
    FastPool,
};

void Rows(Form form, CResize& engine, unsigned char* first, int stride, int firstRow, int rowCount,
          int worker)
{
    if (form == Form::Reference)
        for (int i = 0; i < rowCount; ++i)
            engine.ResizeRow(firstRow + i, first + std::ptrdiff_t(i) * stride, worker);
    else
        engine.ComputeRows(firstRow, rowCount, first, stride, worker);
}

// Two threads for the whole image; the caller hands out each block and
// waits for both halves before the next, as the per-block form does.
class Pool
{
public:
    explicit Pool(CResize& engine, unsigned char* target, int stride)
        : m_engine(engine), m_target(target), m_stride(stride)
    {
        for (int w = 1; w <= 2; ++w)
            m_threads.emplace_back([this, w] { Work(w); });
    }
    ~Pool()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
            ++m_generation;
        }
        m_wake.notify_all();
        for (std::thread& t : m_threads)
            t.join();
    }
    void Block(int y, int rows)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_y = y;
        m_rows = rows;
        m_pending = 2;
        ++m_generation;
        m_wake.notify_all();
        m_done.wait(lock, [this] { return m_pending == 0; });
    }

private:
    void Work(int worker)
    {
        std::uint64_t seen = 0;
        for (;;)
        {
            int y, rows;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [&] { return m_generation != seen; });
                seen = m_generation;
                if (m_quit)
                    return;
                y = m_y;
                rows = m_rows;
            }
            const int firstHalf = rows / 2;
            const int start = worker == 1 ? y : y + firstHalf;
            const int count = worker == 1 ? firstHalf : rows - firstHalf;
            m_engine.ComputeRows(start, count, m_target + std::ptrdiff_t(m_stride) * start,
                                 m_stride, worker);
            std::lock_guard<std::mutex> lock(m_mutex);
            if (--m_pending == 0)
                m_done.notify_one();
        }
    }

    CResize& m_engine;
    unsigned char* m_target;
    int m_stride;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::uint64_t m_generation = 0;
    int m_y = 0, m_rows = 0, m_pending = 0;
    bool m_quit = false;
    std::vector<std::thread> m_threads;
};

void Resample(benchmark::State& state, Form form, const Case& c, int workers)
{
    const std::vector<unsigned char> source = TestPattern(c.sourceWidth, c.sourceHeight);
    std::vector<unsigned char> target(std::size_t(c.targetWidth) * c.targetHeight * 3);
    const int stride = c.targetWidth * 3;
    FastResize::AllowAvx2(form != Form::FastPortable);
    for (auto _ : state)
    {
        CResize engine(c.sourceWidth, c.sourceHeight, source.data(), c.targetWidth, c.targetHeight,
                       c.radius, c.beta, 3, Kaiser);
        if (form == Form::FastPool)
        {
            Pool pool(engine, target.data(), stride);
            for (int y = 0; y < c.targetHeight; y += kBlockRows)
                pool.Block(y, std::min(kBlockRows, c.targetHeight - y));
            continue;
        }
        for (int y = 0; y < c.targetHeight; y += kBlockRows)
        {
            const int rows = std::min(kBlockRows, c.targetHeight - y);
            unsigned char* base = target.data() + std::ptrdiff_t(stride) * y;
            if (workers == 1)
            {
                Rows(form, engine, base, stride, y, rows, 1);
                continue;
            }
            const int firstHalf = rows / 2;
            std::thread first(Rows, form, std::ref(engine), base, stride, y, firstHalf, 1);
            std::thread second(Rows, form, std::ref(engine),
                               base + std::ptrdiff_t(stride) * firstHalf, stride, y + firstHalf,
                               rows - firstHalf, 2);
            first.join();
            second.join();
        }
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    FastResize::AllowAvx2(true);
    state.counters["Mpixel/s"] = benchmark::Counter(double(c.targetWidth) * c.targetHeight / 1e6,
                                                    benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

int main(int argc, char** argv)
{
    for (const Case& c : kCases)
    {
        for (int workers : {1, 2})
        {
            const std::string suffix = std::string(c.name) + "/" + std::to_string(workers);
            // The reference takes seconds per run: one run is enough.
            benchmark::RegisterBenchmark(("BM_Reference/" + suffix).c_str(), Resample,
                                         Form::Reference, c, workers)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->Iterations(1);
            benchmark::RegisterBenchmark(("BM_Fast/" + suffix).c_str(), Resample, Form::Fast, c,
                                         workers)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(1.0);
            if (workers == 1)
                benchmark::RegisterBenchmark(("BM_FastPortable/" + suffix).c_str(), Resample,
                                             Form::FastPortable, c, workers)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime()
                    ->MinTime(1.0);
        }
        benchmark::RegisterBenchmark(("BM_FastPool/" + std::string(c.name) + "/2").c_str(),
                                     Resample, Form::FastPool, c, 2)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(1.0);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
