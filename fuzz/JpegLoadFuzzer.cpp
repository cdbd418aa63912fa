// Feeds arbitrary bytes to the JPEG handler's loader, into a qlImage so that
// the ICC path runs too. A load may fail, but it must return, with pixel data
// exactly when it says it succeeded.

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
    const std::string failure = CheckJpegLoad(data, size);
    if (!failure.empty())
    {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
