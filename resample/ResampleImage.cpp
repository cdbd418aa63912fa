#include "resample/ResampleImage.h"
// placeholder until the engine lands
qlImage ResampleImage(bool&, qlImage, int, int, int, int, double) { return qlImage(); }
