#include "resample/ResizeBand.h"

#include "resample/CResize.h"

#include <cstddef>

void ResizeBand(CResize* engine, unsigned char* first, int stride, int firstRow, int rowCount,
                int worker)
{
    for (int i = 0; i < rowCount; ++i)
        engine->ResizeRow(firstRow + i, first + std::ptrdiff_t(i) * stride, worker);
}
