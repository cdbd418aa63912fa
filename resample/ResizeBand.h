#pragma once

class CResize;

/// One worker's share of a block: computes rowCount target rows from
/// firstRow on, the first at first and each next one stride bytes further,
/// with the engine's scratch set of the given worker number.
void ResizeBand(CResize* engine, unsigned char* first, int stride, int firstRow, int rowCount,
                int worker);
