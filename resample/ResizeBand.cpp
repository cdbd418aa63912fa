#include "resample/ResizeBand.h"

#include "resample/CResize.h"

void ResizeBand(CResize* engine, unsigned char* firstRow, int stride, int firstRowNumber,
                int rowCount, int worker)
{
    for (int i = 0; i < rowCount; ++i)
        engine->ResizeRow(firstRowNumber + i, firstRow + static_cast<long long>(i) * stride, worker);
}

ResampleTestHooks& GetResampleTestHooks()
{
    static ResampleTestHooks hooks;
    return hooks;
}
