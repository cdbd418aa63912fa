#pragma once

#include <tiffio.h>

class wxInputStream;
class wxOutputStream;

/// Opens libtiff on a toolkit stream through client procedures; the name
/// given to the library is "image". Returns nullptr when the library refuses.
/// For reading, the library's single allocations are capped at the decode
/// memory budget (DecodeLimits::MemoryBudget).
TIFF* OpenTIFFInputStream(wxInputStream* stream);
TIFF* OpenTIFFOutputStream(wxOutputStream* stream);
