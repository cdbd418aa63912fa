#include "resample/ResampleBlocks.h"

#include "resample/BlockWorkers.h"
#include "resample/CResize.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace
{

constexpr int kBlockRows = 40;

} // namespace

boost::thread StartWorkerThread(const boost::function<void()>& work)
{
    return boost::thread(work);
}

bool ResampleBlocks(const StopCheck& shouldStop, CResize* engine, unsigned char* target, int width,
                    int height, const BandFunction& band, const WorkerStarter& start,
                    const SourceRowsReady& sourceReady)
{
    BlockWorkers workers(engine, target, width * 3, band, start);
    // 64-bit so that the step past the last block cannot overflow.
    for (std::int64_t block = 0; block < height; block += kBlockRows)
    {
        const int y = static_cast<int>(block);
        if (shouldStop && shouldStop())
        {
            // The target was not cleared beforehand: only a stopped run
            // leaves rows that no worker wrote.
            std::memset(target + std::ptrdiff_t(width) * 3 * y, 0,
                        std::size_t(width) * 3 * std::size_t(height - y));
            return false;
        }

        const int rows = block + kBlockRows < height ? kBlockRows : height - y;
        if (sourceReady && !sourceReady(engine->SourceRowsFor(y, rows)))
        {
            std::memset(target + std::ptrdiff_t(width) * 3 * y, 0,
                        std::size_t(width) * 3 * std::size_t(height - y));
            return false;
        }
        workers.Run(y, rows);
    }
    return true;
}
