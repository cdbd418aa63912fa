#include "resample/ResampleImage.h"
#include "resample/CResize.h"
#include "resample/Kernels.h"
#include "resample/ResampleBlocks.h"
#include "resample/ResizeBand.h"
#include "tests/resample/EngineTestSource.h"
#include "tests/support/WxTestSupport.h"

#include <boost/thread/exceptions.hpp>

#include <algorithm>
#include <mutex>
#include <random>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace
{

struct Band
{
    int firstRow;
    int rowCount;
    int worker;
    bool operator<(const Band& o) const
    {
        return std::tie(firstRow, worker) < std::tie(o.firstRow, o.worker);
    }
    bool operator==(const Band& o) const
    {
        return std::tie(firstRow, rowCount, worker) == std::tie(o.firstRow, o.rowCount, o.worker);
    }
};

// Bands seen by the worker threads; each band is then computed for real.
class BandRecorder
{
public:
    BandFunction Function()
    {
        return [this](CResize* engine, unsigned char* first, int stride, int firstRow, int rowCount,
                      int worker)
        {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_bands.push_back({firstRow, rowCount, worker});
            }
            ResizeBand(engine, first, stride, firstRow, rowCount, worker);
        };
    }
    std::vector<Band> Sorted()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<Band> bands = m_bands;
        std::sort(bands.begin(), bands.end());
        return bands;
    }

private:
    std::mutex m_mutex;
    std::vector<Band> m_bands;
};

qlImage ToImage(const Source& source)
{
    qlImage image;
    image.Create(source.width, source.height, false);
    std::copy(source.pixels.begin(), source.pixels.end(), image.GetData());
    return image;
}

// All rows computed on this thread, one after the other.
std::vector<unsigned char> SingleThreaded(const Source& source, int width, int height, int radius,
                                          double beta)
{
    CResize engine(source.width, source.height, source.pixels.data(), width, height, radius, beta,
                   3, Kaiser);
    std::vector<unsigned char> out(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        engine.ResizeRow(y, &out[std::size_t(y) * width * 3], 1);
    return out;
}

std::vector<unsigned char> Pixels(const qlImage& image)
{
    const unsigned char* data = image.GetData();
    return std::vector<unsigned char>(data, data + image.GetWidth() * image.GetHeight() * 3);
}

bool AllZero(std::vector<unsigned char>::const_iterator begin,
             std::vector<unsigned char>::const_iterator end)
{
    return std::all_of(begin, end, [](unsigned char b) { return b == 0; });
}

} // namespace

TEST(ResampleBlocks, SplitsEachBlockBetweenTwoWorkers)
{
    struct Case
    {
        int height;
        std::vector<Band> bands;
    };
    const Case kCases[] = {
        {1, {{0, 0, 1}, {0, 1, 2}}},
        {41, {{0, 20, 1}, {20, 20, 2}, {40, 0, 1}, {40, 1, 2}}},
        {80, {{0, 20, 1}, {20, 20, 2}, {40, 20, 1}, {60, 20, 2}}},
    };
    const Source source = RandomSource(9, 30, 3);
    for (const Case& c : kCases)
    {
        CResize engine(source.width, source.height, source.pixels.data(), 11, c.height, 4, 10.0, 3,
                       Kaiser);
        std::vector<unsigned char> target(std::size_t(11) * c.height * 3);
        BandRecorder recorder;
        int starts = 0;
        auto start = [&](const boost::function<void()>& work)
        {
            ++starts;
            return StartWorkerThread(work);
        };
        int checks = 0;
        const StopCheck check = [&]
        {
            ++checks;
            return false;
        };
        EXPECT_TRUE(ResampleBlocks(check, &engine, target.data(), 11, c.height, recorder.Function(),
                                   start));
        // Asked once before every block.
        EXPECT_EQ(checks, (c.height + 39) / 40) << "height " << c.height;
        EXPECT_EQ(recorder.Sorted(), c.bands) << "height " << c.height;
        // The same two threads serve every block.
        EXPECT_EQ(starts, 2) << "height " << c.height;
        EXPECT_EQ(target, SingleThreaded(source, 11, c.height, 4, 10.0)) << "height " << c.height;
    }
}

TEST(ResampleBlocks, StopDuringBlockFinishesTheBlockFirst)
{
    const Source source = RandomSource(30, 20, 13);
    const int width = 25, height = 130;
    CResize engine(source.width, source.height, source.pixels.data(), width, height, 4, 10.0, 3,
                   Kaiser);
    std::vector<unsigned char> target(std::size_t(width) * height * 3);
    BandRecorder recorder;
    bool stop = false;
    // Stands in for the Stop button pressed while the second block runs;
    // the check is asked only once both halves of the block are done.
    const BandFunction recorded = recorder.Function();
    BandFunction band =
        [&](CResize* e, unsigned char* first, int stride, int firstRow, int rowCount, int worker)
    {
        if (firstRow == 40)
            stop = true;
        recorded(e, first, stride, firstRow, rowCount, worker);
    };
    EXPECT_FALSE(ResampleBlocks([&] { return stop; }, &engine, target.data(), width, height, band));
    const std::vector<Band> expected = {{0, 20, 1}, {20, 20, 2}, {40, 20, 1}, {60, 20, 2}};
    EXPECT_EQ(recorder.Sorted(), expected);
    const std::vector<unsigned char> reference = SingleThreaded(source, width, height, 4, 10.0);
    const std::size_t computed = std::size_t(80) * width * 3;
    EXPECT_TRUE(std::equal(target.begin(), target.begin() + computed, reference.begin()));
    EXPECT_TRUE(AllZero(target.begin() + computed, target.end()));
}

TEST(ResampleBlocks, WorkerThatCannotStartIsReportedAfterJoiningTheOther)
{
    const Source source = RandomSource(16, 16, 2);
    CResize engine(source.width, source.height, source.pixels.data(), 20, 30, 4, 10.0, 3, Kaiser);
    std::vector<unsigned char> target(std::size_t(20) * 30 * 3);
    BandRecorder recorder;
    int starts = 0;
    auto start = [&](const boost::function<void()>& work)
    {
        if (++starts == 2)
            throw boost::thread_resource_error();
        return StartWorkerThread(work);
    };
    bool threwStdException = false;
    try
    {
        ResampleBlocks({}, &engine, target.data(), 20, 30, recorder.Function(), start);
    }
    catch (const std::exception&)
    {
        threwStdException = true;
    }
    EXPECT_TRUE(threwStdException);
    // Worker 1 ran to its end before the error left the call.
    const std::vector<Band> expected = {{0, 15, 1}};
    EXPECT_EQ(recorder.Sorted(), expected);
    const std::vector<unsigned char> reference = SingleThreaded(source, 20, 30, 4, 10.0);
    const std::size_t firstBand = std::size_t(15) * 20 * 3;
    EXPECT_TRUE(std::equal(target.begin(), target.begin() + firstBand, reference.begin()));
}

TEST(ResampleImage, ThreadedResultEqualsSingleThreadedRows)
{
    struct Case
    {
        int width, height, radius;
        double beta;
    };
    const Case kCases[] = {
        {70, 83, 6, 5.0}, {23, 17, 4, 10.0}, {120, 121, 3, 12.0}, {64, 48, 4, 10.0}};
    const Source source = RandomSource(64, 48, 5);
    for (const Case& c : kCases)
    {
        qlImage result =
            ResampleImage({}, ToImage(source), c.width, c.height, c.radius, Kaiser, c.beta);
        ASSERT_TRUE(result.IsOk());
        EXPECT_EQ(result.GetWidth(), c.width);
        EXPECT_EQ(result.GetHeight(), c.height);
        EXPECT_EQ(result.GetICCProfile(), nullptr);
        EXPECT_EQ(Pixels(result), SingleThreaded(source, c.width, c.height, c.radius, c.beta))
            << c.width << "x" << c.height;
    }
}

TEST(ResampleImage, StopAtTheFirstCheckComputesNothing)
{
    const Source source = RandomSource(30, 20, 9);
    {
        qlImage result =
            ResampleImage([] { return true; }, ToImage(source), 25, 90, 4, Kaiser, 10.0);
        ASSERT_EQ(result.GetHeight(), 90);
        const std::vector<unsigned char> pixels = Pixels(result);
        EXPECT_TRUE(AllZero(pixels.begin(), pixels.end()));
    }
    {
        qlImage result =
            ResampleImage([] { return false; }, ToImage(source), 25, 90, 4, Kaiser, 10.0);
        EXPECT_EQ(Pixels(result), SingleThreaded(source, 25, 90, 4, 10.0));
    }
}

TEST(ResampleImage, ZeroTargetSizeComputesNothingAndAsksNothing)
{
    const Source source = RandomSource(8, 8, 1);
    const std::pair<int, int> kSizes[] = {{0, 10}, {10, 0}, {0, 0}};
    for (auto size : kSizes)
    {
        int checks = 0;
        qlImage result = ResampleImage(
            [&]
            {
                ++checks;
                return true;
            },
            ToImage(source), size.first, size.second, 4, Kaiser, 10.0);
        EXPECT_FALSE(result.IsOk()) << size.first << "x" << size.second;
        EXPECT_EQ(checks, 0);
    }
}

TEST(ResampleImage, ASourceStillBeingDecodedIsReadOnlyWhereItsRowsAreFinal)
{
    // The source arrives top to bottom: rows past the ones published hold
    // junk that must never reach the result.
    struct Case
    {
        int sourceHeight, targetWidth, targetHeight, radius;
        double beta;
    };
    const Case kCases[] = {{240, 30, 80, 4, 10.0},
                           {240, 30, 400, 6, 10.0},
                           {97, 40, 33, 3, 12.0},
                           {50, 20, 130, 6, 5.0}};
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(std::to_string(c.sourceHeight) + " rows to " + std::to_string(c.targetHeight));
        const Source source = RandomSource(36, c.sourceHeight, 11);
        const std::size_t rowBytes = std::size_t(source.width) * 3;
        std::vector<unsigned char> arriving(source.pixels.size(), 0xA5);
        int published = 0;
        int asked = 0;
        const SourceRowsReady ready = [&](int rows)
        {
            EXPECT_GE(rows, asked) << "the rows a block needs only grow";
            EXPECT_LE(rows, c.sourceHeight);
            asked = rows;
            // Publishes exactly what is asked for, no more.
            for (; published < rows; ++published)
                std::copy_n(source.pixels.begin() + std::ptrdiff_t(published * rowBytes), rowBytes,
                            arriving.begin() + std::ptrdiff_t(published * rowBytes));
            return true;
        };
        const qlImage streamed =
            ResampleImage({}, arriving.data(), source.width, source.height, c.targetWidth,
                          c.targetHeight, c.radius, Kaiser, c.beta, ready);
        EXPECT_EQ(Pixels(streamed),
                  SingleThreaded(source, c.targetWidth, c.targetHeight, c.radius, c.beta));
    }
}

TEST(ResampleImage, ASourceWhoseDecodingFailsGivesNoImage)
{
    const Source source = RandomSource(20, 200, 4);
    int blocks = 0;
    const qlImage result = ResampleImage({}, source.pixels.data(), source.width, source.height, 10,
                                         100, 4, Kaiser, 10.0, [&](int) { return ++blocks < 2; });
    EXPECT_FALSE(result.IsOk());
    EXPECT_EQ(blocks, 3) << "the first block, the refused one, and the check that the rest fails";
}
