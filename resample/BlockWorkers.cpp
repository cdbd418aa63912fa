#include "resample/BlockWorkers.h"

#include <boost/bind/bind.hpp>

#include <cstddef>

BlockWorkers::BlockWorkers(CResize* engine, unsigned char* target, int stride,
                           const BandFunction& band, const WorkerStarter& start)
    : m_engine(engine), m_target(target), m_stride(stride), m_band(band), m_start(start)
{
}

BlockWorkers::~BlockWorkers()
{
    Quit();
    try
    {
        if (m_first.joinable())
            m_first.join();
        if (m_second.joinable())
            m_second.join();
    }
    catch (...)
    {
        // A join that fails leaves nothing to clean up here.
    }
}

void BlockWorkers::Run(int y, int rows)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_y = y;
        m_rows = rows;
        m_pending = 2;
        ++m_generation;
    }
    if (!m_first.joinable())
        StartBoth();
    else
        m_wake.notify_all();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [this] { return m_pending == 0; });
    if (m_failure)
    {
        std::exception_ptr failure = m_failure;
        m_failure = nullptr;
        std::rethrow_exception(failure);
    }
}

void BlockWorkers::StartBoth()
{
    // The first block is already announced: worker 1 takes its half at once.
    m_first = m_start(boost::bind(&BlockWorkers::Work, this, 1));
    try
    {
        m_second = m_start(boost::bind(&BlockWorkers::Work, this, 2));
    }
    catch (...)
    {
        // Worker 1 writes into the caller's engine and target: it must be
        // done before they can go.
        Quit();
        m_first.join();
        throw;
    }
}

void BlockWorkers::Quit()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
}

void BlockWorkers::Work(int worker)
{
    std::uint64_t seen = 0;
    for (;;)
    {
        int y;
        int rows;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_generation != seen || m_quit; });
            // A block announced before the quit is still computed.
            if (m_generation == seen)
                return;
            seen = m_generation;
            y = m_y;
            rows = m_rows;
        }
        const int firstHalf = rows / 2;
        const int start = worker == 1 ? y : y + firstHalf;
        const int count = worker == 1 ? firstHalf : rows - firstHalf;
        std::exception_ptr failure;
        try
        {
            m_band(m_engine, m_target + std::ptrdiff_t(m_stride) * start, m_stride, start, count,
                   worker);
        }
        catch (...)
        {
            failure = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (failure && !m_failure)
            m_failure = failure;
        if (--m_pending == 0)
            m_done.notify_one();
    }
}
