// Feeds arbitrary bytes to the TIFF handler: the image count, the first image
// and, in a multi-image file, the last one, all from one seekable memory
// stream as the job gives it.

#include "fuzz/FuzzInputChecks.h"
#include "fuzz/FuzzToolkit.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartToolkitForFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string failure = CheckTiffLoad(data, size);
    if (!failure.empty())
    {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
