#pragma once

#include "resample/ResizeBand.h"

#include <boost/function.hpp>
#include <boost/thread/thread.hpp>

#include <functional>

/// What a worker thread runs: ResizeBand's parameters.
using BandFunction = std::function<void(CResize*, unsigned char*, int, int, int, int)>;
/// Starts a thread running work; throws when no thread can be started.
using WorkerStarter = std::function<boost::thread(const boost::function<void()>& work)>;

/// Starts a boost::thread running work.
boost::thread StartWorkerThread(const boost::function<void()>& work);

/// Computes the target rows (width x 3 bytes each, packed) in blocks of 40.
/// Before each block the GUI's pending events are processed; when
/// stopRequested is then set the user is asked whether to stop, and the
/// answer is stored in it (Yes sets the remaining rows to black).
/// Each block is split between two worker threads running band, worker 1
/// taking the first half (rounded down) and worker 2 the rest; both finish
/// a block before the next is begun. The two threads are started (by
/// start) at the first block and kept for the whole image. If a worker
/// cannot be started, a worker already running is joined before the error
/// is passed on.
///
/// band and start exist so that tests can watch the split and make a start
/// fail; the engine entry passes ResizeBand and StartWorkerThread.
void ResampleBlocks(bool& stopRequested, CResize* engine, unsigned char* target, int width,
                    int height, const BandFunction& band = ResizeBand,
                    const WorkerStarter& start = StartWorkerThread);
