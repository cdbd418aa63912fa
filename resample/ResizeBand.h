#pragma once

#include <functional>

class CResize;

/// What one worker thread runs: rowCount target rows from firstRowNumber,
/// written from firstRow on with the given stride, with worker's scratch set.
void ResizeBand(CResize* engine, unsigned char* firstRow, int stride, int firstRowNumber,
                int rowCount, int worker);

using BandFunction = void (*)(CResize*, unsigned char*, int, int, int, int);

/// Seam for the banding tests. band replaces ResizeBand in the worker
/// threads when set; beforeWorkerStart runs on the calling thread just before
/// each worker is started (worker number, first row) and may throw, as a
/// thread start that fails does.
struct ResampleTestHooks
{
    BandFunction band = nullptr;
    std::function<void(int worker, int firstRowNumber)> beforeWorkerStart;
};

ResampleTestHooks& GetResampleTestHooks();
