// Feeds arbitrary bytes to the TIFF handler: the image count, the first image
// and, in a multi-image file, the last one, all from one seekable memory
// stream as the job gives it.

#include "codecs/qlImage.h"
#include "codecs/qlTIFFHandler.h"
#include "fuzz/FuzzToolkit.h"

#include <wx/mstream.h>

#include <cstdint>
#include <cstdlib>

namespace
{

void CheckLoad(bool loaded, const qlImage& image)
{
    if (loaded != image.IsOk())
        std::abort();
    if (loaded)
    {
        const unsigned char* pixels = image.GetData();
        volatile unsigned char last =
            pixels[std::size_t(image.GetWidth()) * image.GetHeight() * 3 - 1];
        (void)last;
        if (image.HasAlpha())
        {
            volatile unsigned char lastAlpha =
                image.GetAlpha()[std::size_t(image.GetWidth()) * image.GetHeight() - 1];
            (void)lastAlpha;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartToolkitForFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static qlTIFFHandler* handler = new qlTIFFHandler;
    wxMemoryInputStream stream(data, size);
    const int count = handler->GetImageCount(stream);
    stream.SeekI(0);
    qlImage image;
    CheckLoad(handler->LoadFile(&image, stream, false, -1), image);
    if (count > 1)
    {
        stream.SeekI(0);
        qlImage last;
        CheckLoad(handler->LoadFile(&last, stream, false, count - 1), last);
    }
    return 0;
}
