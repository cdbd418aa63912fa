#include "resample/ResampleBlocks.h"

#include "app/AppGlobals.h"

#include <boost/bind/bind.hpp>
#include <wx/app.h>
#include <wx/intl.h>

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

void ResampleBlocks(bool& stopRequested, CResize* engine, unsigned char* target, int width,
                    int height, const BandFunction& band, const WorkerStarter& start)
{
    // 64-bit so that the step past the last block cannot overflow.
    for (std::int64_t block = 0; block < height; block += kBlockRows)
    {
        const int y = static_cast<int>(block);
        // Lets the batch run's Stop button be handled between blocks.
        wxYield();
        if (stopRequested)
        {
            stopRequested = AskYesNo(_("Do you want to stop resizing?"));
            if (stopRequested)
            {
                // The target was not cleared beforehand: only a stopped
                // run leaves rows that no worker wrote.
                std::memset(target + std::ptrdiff_t(width) * 3 * y, 0,
                            std::size_t(width) * 3 * std::size_t(height - y));
                break;
            }
        }

        const int rows = block + kBlockRows < height ? kBlockRows : height - y;
        const int firstHalf = rows / 2;
        const int secondHalf = rows - firstHalf;
        const int stride = width * 3;
        unsigned char* base = target + std::ptrdiff_t(stride) * y;

        boost::thread first = start(boost::bind(band, engine, base, stride, y, firstHalf, 1));
        boost::thread second;
        try
        {
            second = start(boost::bind(band, engine, base + std::ptrdiff_t(stride) * firstHalf,
                                       stride, y + firstHalf, secondHalf, 2));
        }
        catch (...)
        {
            // The first worker writes into the caller's engine and target:
            // it must be done before they can go.
            first.join();
            throw;
        }
        first.join();
        second.join();
    }
}
