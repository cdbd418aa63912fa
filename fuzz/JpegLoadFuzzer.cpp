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

/// Width x height of the first frame header, found as libjpeg finds it
/// (skipping stray bytes and fill before a marker), or 0 when there is none
/// before the first scan.
std::uint64_t DeclaredPixels(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 2;
    while (at + 1 < size)
    {
        const std::uint8_t code = data[at + 1];
        if (data[at] != 0xFF || code == 0xFF)
        {
            ++at;
            continue;
        }
        if (code == 0x00 || code == 0x01 || (code >= 0xD0 && code <= 0xD7))
        {
            at += 2; // no length follows
            continue;
        }
        if (code == 0xDA || code == 0xD9 || at + 4 > size)
            return 0;
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
        at += 2 + ((std::size_t(data[at + 2]) << 8) | data[at + 3]);
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
