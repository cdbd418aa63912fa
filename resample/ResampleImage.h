#pragma once

#include "codecs/qlImage.h"

/// Resamples source to targetWidth x targetHeight with the engine, in blocks
/// of 40 rows split between two worker threads. Before each block the GUI's
/// pending events are processed; when stopRequested is then set, the user is
/// asked to confirm and the answer is stored in it (Yes ends the work, and
/// the rows not computed stay black). The result carries no ICC profile.
qlImage ResampleImage(bool& stopRequested, qlImage source, int targetWidth, int targetHeight,
                      int radius, int kernel, double kernelParameter);
