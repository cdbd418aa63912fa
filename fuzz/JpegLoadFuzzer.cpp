// Feeds arbitrary bytes to the JPEG handler's loader, into a qlImage so that
// the ICC path runs too. A load may fail, but it must return, with pixel data
// exactly when it says it succeeded.

#include "codecs/qlImage.h"
#include "codecs/qlJPEGHandler.h"
#include "fuzz/FuzzToolkit.h"

#include <wx/mstream.h>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartToolkitForFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static qlJPEGHandler handler;
    wxMemoryInputStream stream(data, size);
    qlImage image;
    const bool loaded = handler.LoadFile(&image, stream, false, -1);
    if (loaded != image.IsOk())
        std::abort();
    if (loaded && image.GetWidth() > 0)
    {
        // Touch the last pixel, so a buffer smaller than its size shows.
        const unsigned char* pixels = image.GetData();
        volatile unsigned char last =
            pixels[std::size_t(image.GetWidth()) * image.GetHeight() * 3 - 1];
        (void)last;
    }
    return 0;
}
