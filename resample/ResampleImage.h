#pragma once

// The engine's call chain, top to bottom. Only the first three touch the
// toolkit or threads; CResize and FastResize are the toolkit-free core.
//
// ResampleImage (caller's thread)
//   builds one CResize for the image: the weight tables, the fast form's
//   bounds and padded tables, and both workers' scratch sets, so nothing
//   below allocates once the workers run; creates the target image.
// -> ResampleBlocks (caller's thread)
//   blocks of 40 target rows; before each, the caller's stop check (the
//   window's lets its events run and asks the stop question).
// -> BlockWorkers::Run
//   splits each block: worker 1 the first half (rounded down), worker 2 the
//   rest, on two threads kept for the whole image; returns when both are
//   done, and passes on what a band threw.
// -> ResizeBand (worker thread)
//   one worker's half of a block.
// -> CResize::ComputeRows
//   the fast rows the application uses; forwards to
// -> FastResize::ComputeRows
//   per row (FastResize::ComputeRow): the vertical sums of every source
//   column once (VerticalSumsAvx2 where the CPU has AVX2 and the weights fit
//   16 bits, else the portable loop), split into one padded plane per
//   channel less the row's bias, then the horizontal sums per target pixel
//   (HorizontalNarrowAvx2 on AVX2 with 32-bit sums, else the portable
//   loops, 32- or 64-bit). Tables whose sums could leave 32 bits even
//   vertically go to the reference instead:
// -> CResize::ResizeRow / CResize::ResizePixel
//   the reference form, one pixel at a time with both passes per pixel in
//   64 bits. The tests hold ComputeRows to it byte for byte.

#include "codecs/qlImage.h"
#include "resample/ResampleBlocks.h"
#include "resample/StopCheck.h"

/// Resamples source to targetWidth x targetHeight with the engine, in blocks
/// of 40 rows split between two worker threads. shouldStop is asked before
/// each block; true ends the work, and the rows not computed stay black.
/// The result carries no ICC profile.
qlImage ResampleImage(const StopCheck& shouldStop, qlImage source, int targetWidth,
                      int targetHeight, int radius, int kernel, double kernelParameter);

/// The same from the pixels of a source still being decoded (3 bytes a
/// pixel, rows packed, valid while the call lasts): before each block,
/// sourceReady waits until the rows that block reads are final. When it
/// says they never will be (the decoder failed), the work ends and the
/// result has no pixels.
qlImage ResampleImage(const StopCheck& shouldStop, const unsigned char* source, int sourceWidth,
                      int sourceHeight, int targetWidth, int targetHeight, int radius, int kernel,
                      double kernelParameter, const SourceRowsReady& sourceReady);
