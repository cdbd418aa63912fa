#pragma once

#include "resample/ResizeBand.h"
#include "resample/StopCheck.h"

#include <boost/function.hpp>
#include <boost/thread/thread.hpp>

#include <functional>

/// What a worker thread runs: ResizeBand's parameters.
using BandFunction = std::function<void(CResize*, unsigned char*, int, int, int, int)>;
/// Starts a thread running work; throws when no thread can be started.
using WorkerStarter = std::function<boost::thread(const boost::function<void()>& work)>;

/// Waits until the source's rows [0, rows) are final; false when they never
/// will be.
using SourceRowsReady = std::function<bool(int rows)>;

/// Starts a boost::thread running work.
boost::thread StartWorkerThread(const boost::function<void()>& work);

/// Computes the target rows (width x 3 bytes each, packed) in blocks of 40.
/// Before each block shouldStop is asked; true sets the remaining rows to
/// black and ends the work. Returns false after such a stop.
/// Each block is split between two worker threads running band, worker 1
/// taking the first half (rounded down) and worker 2 the rest; both finish
/// a block before the next is begun. The two threads are started (by
/// start) at the first block and kept for the whole image. If a worker
/// cannot be started, a worker already running is joined before the error
/// is passed on. An exception thrown by a band is passed on too, once both
/// workers have finished the block.
///
/// With sourceReady given, each block first waits for the source rows it
/// reads; when they never come, the work ends there, as after a stop.
///
/// band and start exist so that tests can watch the split and make a start
/// fail; the engine entry passes ResizeBand and StartWorkerThread.
bool ResampleBlocks(const StopCheck& shouldStop, CResize* engine, unsigned char* target, int width,
                    int height, const BandFunction& band = ResizeBand,
                    const WorkerStarter& start = StartWorkerThread,
                    const SourceRowsReady& sourceReady = {});
