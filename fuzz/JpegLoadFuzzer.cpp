// Feeds arbitrary bytes to the JPEG handler's loader, into a qlImage so that
// the ICC path runs too. A load may fail, but it must return, with pixel data
// exactly when it says it succeeded.

#include "fuzz/FuzzInputChecks.h"
#include "fuzz/FuzzToolkit.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

/// Width x height of the first frame header, or 0 when the markers before it
/// do not parse (the decoder then has its say).
std::uint64_t DeclaredPixels(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 2;
    while (at + 4 <= size && data[at] == 0xFF)
    {
        const std::uint8_t code = data[at + 1];
        const std::size_t length = (std::size_t(data[at + 2]) << 8) | data[at + 3];
        const bool frame =
            code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (frame)
        {
            if (at + 9 > size)
                return 0;
            const std::uint64_t height = (std::uint64_t(data[at + 5]) << 8) | data[at + 6];
            const std::uint64_t width = (std::uint64_t(data[at + 7]) << 8) | data[at + 8];
            return width * height;
        }
        if (code == 0xDA || code == 0xD9 || length < 2)
            return 0;
        at += 2 + length;
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartToolkitForFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (DeclaredPixels(data, size) > kMaxFuzzedPixels)
        return -1;
    const std::string failure = CheckJpegLoad(data, size);
    if (!failure.empty())
    {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
