// Differential target for the ICC reassembly: the input is a list of APP2
// markers (see IccRecords.h), placed into a small valid JPEG; the profile the
// JPEG handler stores must be exactly what an independent reassembly of the
// same markers gives, and no profile when that gives none.

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
    const std::string failure = CheckIccReassembly(data, size);
    if (!failure.empty())
    {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
