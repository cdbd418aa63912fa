// Feeds arbitrary bytes to the TIFF handler: the image count, the first image
// and, in a multi-image file, the last one, all from one seekable memory
// stream as the job gives it.

#include "codecs/TIFFStreamProcs.h"
#include "fuzz/FuzzInputChecks.h"
#include "fuzz/FuzzToolkit.h"

#include <wx/mstream.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace
{

/// The largest width x height among the images the check loads (the first
/// and the last), or 0 when the library cannot open the bytes.
std::uint64_t LargestDeclaredPixels(const std::uint8_t* data, std::size_t size)
{
    wxMemoryInputStream stream(data, size);
    const std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(OpenTIFFInputStream(&stream), TIFFClose);
    if (!tiff)
        return 0;
    std::uint64_t largest = 0;
    for (bool more = true; more; more = TIFFReadDirectory(tiff.get()) != 0)
    {
        std::uint32_t width = 0, height = 0;
        TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
        largest = std::max(largest, std::uint64_t(width) * height);
    }
    return largest;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartToolkitForFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (LargestDeclaredPixels(data, size) > kMaxFuzzedPixels)
        return -1;
    const std::string failure = CheckTiffLoad(data, size);
    if (!failure.empty())
    {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
