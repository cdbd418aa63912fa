#include "resample/ResampleImage.h"

#include "app/AppGlobals.h"
#include "resample/CResize.h"
#include "resample/Kernels.h"
#include "resample/ResizeBand.h"

#include <boost/bind/bind.hpp>
#include <boost/thread/thread.hpp>
#include <wx/app.h>
#include <wx/intl.h>

namespace
{

constexpr int kBlockRows = 40;
constexpr int kBytesPerPixel = 3;

// Joins a started worker on every way out, so that the engine and the target
// never go away under a running thread (a second start may throw).
class JoinOnExit
{
public:
    explicit JoinOnExit(boost::thread& thread) : m_thread(thread) {}
    ~JoinOnExit()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    JoinOnExit(const JoinOnExit&) = delete;
    JoinOnExit& operator=(const JoinOnExit&) = delete;

private:
    boost::thread& m_thread;
};

boost::thread StartWorker(CResize* engine, unsigned char* firstRow, int stride, int firstRowNumber,
                          int rowCount, int worker)
{
    ResampleTestHooks& hooks = GetResampleTestHooks();
    if (hooks.beforeWorkerStart)
        hooks.beforeWorkerStart(worker, firstRowNumber);
    BandFunction band = hooks.band ? hooks.band : &ResizeBand;
    return boost::thread(
        boost::bind(band, engine, firstRow, stride, firstRowNumber, rowCount, worker));
}

} // namespace

qlImage ResampleImage(bool& stopRequested, qlImage source, int targetWidth, int targetHeight,
                      int radius, int kernel, double kernelParameter)
{
    CResize engine(source.GetWidth(), source.GetHeight(), source.GetData(), targetWidth,
                   targetHeight, radius, kernelParameter, kBytesPerPixel, kernel);

    qlImage target;
    // The toolkit refuses an empty size; such a target stays without pixels.
    if (targetWidth > 0 && targetHeight > 0)
        target.Create(targetWidth, targetHeight, true);

    const int height = target.IsOk() ? target.GetHeight() : 0;
    for (int y = 0; y < height; y += kBlockRows)
    {
        wxYield();
        if (stopRequested)
        {
            stopRequested = AskYesNo(_("Do you want to stop resizing?"));
            if (stopRequested)
                break;
        }
        const int rows = y + kBlockRows < height ? kBlockRows : height - y;
        const int firstHalf = rows / 2;
        const int secondHalf = rows - firstHalf;
        const int stride = target.GetWidth() * kBytesPerPixel;
        unsigned char* base = target.GetData() + static_cast<long long>(stride) * y;

        boost::thread worker1 = StartWorker(&engine, base, stride, y, firstHalf, 1);
        JoinOnExit joinWorker1(worker1);
        boost::thread worker2 = StartWorker(
            &engine, base + static_cast<long long>(stride) * firstHalf, stride, y + firstHalf,
            secondHalf, 2);
        JoinOnExit joinWorker2(worker2);
        worker1.join();
        worker2.join();
    }
    return target;
}
