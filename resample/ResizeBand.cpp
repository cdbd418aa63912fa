#include "resample/ResizeBand.h"

#include "resample/CResize.h"

#include <cstddef>

void ResizeBand(CResize* engine, unsigned char* first, int stride, int firstRow, int rowCount,
                int worker)
{
    engine->ComputeRows(firstRow, rowCount, first, stride, worker);
}
