#pragma once

#include "codecs/qlImage.h"
#include "resample/StopCheck.h"

/// Resamples source to targetWidth x targetHeight with the engine, in blocks
/// of 40 rows split between two worker threads. shouldStop is asked before
/// each block; true ends the work, and the rows not computed stay black.
/// The result carries no ICC profile.
qlImage ResampleImage(const StopCheck& shouldStop, qlImage source, int targetWidth,
                      int targetHeight, int radius, int kernel, double kernelParameter);
