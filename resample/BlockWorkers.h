#pragma once

#include "resample/ResampleBlocks.h"

#include <boost/thread/thread.hpp>

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>

/// The two workers of one image, kept for all its blocks: starting two
/// threads for every block of 40 rows cost more than some blocks take.
/// Each block is split as before, worker 1 taking the first half (rounded
/// down) and worker 2 the rest, and Run returns once both are done.
class BlockWorkers
{
public:
    /// Starts nothing yet: the threads are started by the first Run.
    BlockWorkers(CResize* engine, unsigned char* target, int stride, const BandFunction& band,
                 const WorkerStarter& start);
    BlockWorkers(const BlockWorkers&) = delete;
    BlockWorkers& operator=(const BlockWorkers&) = delete;
    /// Lets the workers finish and joins them.
    ~BlockWorkers();

    /// Computes target rows [y, y + rows) and waits for both halves. If the
    /// second worker cannot be started, the first finishes its half and is
    /// joined before the error is passed on. An exception from a band is
    /// rethrown here once both halves are done (the first of two, when both
    /// throw); the workers stay ready for another block.
    void Run(int y, int rows);

private:
    void Work(int worker);
    void StartBoth();
    void Quit();

    CResize* m_engine;
    unsigned char* m_target;
    int m_stride;
    BandFunction m_band;
    WorkerStarter m_start;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    // A new block is announced by a new generation.
    std::uint64_t m_generation = 0;
    int m_y = 0;
    int m_rows = 0;
    int m_pending = 0;
    bool m_quit = false;
    // An exception must not leave a thread function: that ends the process.
    std::exception_ptr m_failure;

    boost::thread m_first;
    boost::thread m_second;
};
