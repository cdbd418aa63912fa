// The banded run against faults that only show with many blocks or with
// threads: row numbers past 16 bits, a stop that arrives while workers run,
// and a worker that cannot be started.

#include "resample/CResize.h"
#include "resample/Kernels.h"
#include "resample/ResampleBlocks.h"
#include "resample/ResampleImage.h"
#include "resample/ResizeBand.h"
#include "tests/resample/EngineTestSource.h"
#include "tests/support/WxTestSupport.h"

#include <boost/thread/exceptions.hpp>
#include <wx/app.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <new>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace
{

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

} // namespace

TEST(ResampleThreads, TargetTallerThan16BitRowNumbers)
{
    const Source source = RandomSource(2, 3, 21);
    qlImage image;
    image.Create(source.width, source.height, false);
    std::copy(source.pixels.begin(), source.pixels.end(), image.GetData());

    const int height = 40000;
    qlImage result = ResampleImage({}, image, 2, height, 4, Kaiser, 10.0);
    ASSERT_EQ(result.GetHeight(), height);
    const std::vector<unsigned char> reference = SingleThreaded(source, 2, height, 4, 10.0);
    const unsigned char* data = result.GetData();
    EXPECT_TRUE(std::equal(reference.begin(), reference.end(), data));
    // The rows past 32767 hold the bottom of the source, not black.
    EXPECT_NE(data[std::size_t(height - 1) * 2 * 3], 0);
}

TEST(ResampleThreads, StopQueuedByAWorkerIsAskedAfterItsBlock)
{
    // The Stop button's click arrives while a block runs and waits in the
    // event queue; the window's check yields to it between blocks. A worker
    // of the second block queues such an event.
    struct Case
    {
        bool confirmed;
        bool stopped;
    };
    const Case kCases[] = {{true, true}, {false, false}};
    const Source source = RandomSource(30, 20, 17);
    const int width = 21, height = 150;
    const std::vector<unsigned char> reference = SingleThreaded(source, width, height, 4, 10.0);
    for (const Case& c : kCases)
    {
        CResize engine(source.width, source.height, source.pixels.data(), width, height, 4, 10.0, 3,
                       Kaiser);
        std::vector<unsigned char> target(std::size_t(width) * height * 3);
        bool stop = false;
        std::atomic<int> bandsDone{0};
        int bandsDoneWhenHandled = -1;
        BandFunction band = [&](CResize* e, unsigned char* first, int stride, int firstRow,
                                int rowCount, int worker)
        {
            if (firstRow == 40 && worker == 1)
            {
                wxTheApp->CallAfter(
                    [&]
                    {
                        stop = true;
                        bandsDoneWhenHandled = bandsDone;
                    });
                // Leaves the GUI thread time to act on the event, were it
                // not waiting for the block.
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            ResizeBand(e, first, stride, firstRow, rowCount, worker);
            ++bandsDone;
        };
        const StopCheck check = [&]
        {
            wxYield();
            if (stop)
                stop = c.confirmed;
            return stop;
        };
        EXPECT_EQ(ResampleBlocks(check, &engine, target.data(), width, height, band), !c.stopped);
        EXPECT_EQ(stop, c.stopped);
        // The event was handled by the check before the third block, after
        // both bands of the second one.
        EXPECT_EQ(bandsDoneWhenHandled, 4);
        const std::size_t computed = c.stopped ? std::size_t(80) * width * 3 : reference.size();
        EXPECT_TRUE(std::equal(target.begin(), target.begin() + computed, reference.begin()));
        EXPECT_TRUE(std::all_of(target.begin() + computed, target.end(),
                                [](unsigned char b) { return b == 0; }));
    }
}

TEST(ResampleThreads, FailedStartWaitsForTheRunningWorker)
{
    const Source source = RandomSource(16, 16, 4);
    CResize engine(source.width, source.height, source.pixels.data(), 20, 30, 4, 10.0, 3, Kaiser);
    std::vector<unsigned char> target(std::size_t(20) * 30 * 3);
    std::atomic<bool> firstDone{false};
    BandFunction band =
        [&](CResize* e, unsigned char* first, int stride, int firstRow, int rowCount, int worker)
    {
        // Slow enough that a worker left running would still be at work
        // when the error reaches the caller.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ResizeBand(e, first, stride, firstRow, rowCount, worker);
        firstDone = true;
    };
    int starts = 0;
    WorkerStarter start = [&](const boost::function<void()>& work)
    {
        if (++starts == 2)
            throw boost::thread_resource_error();
        return StartWorkerThread(work);
    };
    EXPECT_THROW(ResampleBlocks({}, &engine, target.data(), 20, 30, band, start), std::exception);
    EXPECT_TRUE(firstDone);
}

TEST(ResampleThreads, ABandThatThrowsIsPassedOnAfterBothWorkersFinish)
{
    // An exception leaving a thread function would end the process; it must
    // reach the caller instead, and only once the other worker is done with
    // the engine and the target.
    struct Case
    {
        int throwingWorker;
        int throwingBlockRow;
    };
    const Case kCases[] = {{2, 0}, {1, 40}, {2, 80}};
    const Source source = RandomSource(16, 16, 6);
    for (const Case& c : kCases)
    {
        SCOPED_TRACE("worker " + std::to_string(c.throwingWorker) + " at row " +
                     std::to_string(c.throwingBlockRow));
        CResize engine(source.width, source.height, source.pixels.data(), 20, 150, 4, 10.0, 3,
                       Kaiser);
        std::vector<unsigned char> target(std::size_t(20) * 150 * 3);
        std::atomic<int> othersDone{0};
        std::atomic<int> blocksStarted{0};
        BandFunction band = [&](CResize* e, unsigned char* first, int stride, int firstRow,
                                int rowCount, int worker)
        {
            const int blockRow = firstRow - firstRow % 40;
            if (worker == 1)
                ++blocksStarted;
            if (worker == c.throwingWorker && blockRow == c.throwingBlockRow)
                throw std::bad_alloc();
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            ResizeBand(e, first, stride, firstRow, rowCount, worker);
            if (blockRow == c.throwingBlockRow)
                ++othersDone;
        };
        EXPECT_THROW(ResampleBlocks({}, &engine, target.data(), 20, 150, band), std::bad_alloc);
        // The other half of the failing block was finished, and no later
        // block was begun.
        EXPECT_EQ(othersDone, 1);
        EXPECT_EQ(blocksStarted, c.throwingBlockRow / 40 + 1);
    }
}
