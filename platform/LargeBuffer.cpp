#include "platform/LargeBuffer.h"

#include <cstdlib>
#include <system_error>
#include <thread>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace
{

constexpr std::size_t kHugePage = std::size_t(2) << 20;
// Below this, rounding up to whole huge pages would waste more than it
// saves.
constexpr std::size_t kHugeThreshold = 2 * kHugePage;

// The kernel clears every fresh page on first touch, about 40 ms for the
// decoded image of a 24-megapixel photo. A thread of its own faults the
// pages in while the caller starts filling from the front, so that on a
// second core the clearing runs beside the decode instead of within it.
// Populating writes no data: should the buffer be freed first, the call
// merely fails or touches pages of no consequence.
void PopulateAhead(void* memory, std::size_t bytes)
{
#if defined(MADV_POPULATE_WRITE)
    if (std::thread::hardware_concurrency() < 2)
        return;
    try
    {
        std::thread([memory, bytes] { madvise(memory, bytes, MADV_POPULATE_WRITE); }).detach();
    }
    catch (const std::system_error&)
    {
        // No thread: the pages fault in as they are filled.
    }
#else
    (void)memory;
    (void)bytes;
#endif
}

} // namespace

unsigned char* AllocateLargeBuffer(std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= kHugeThreshold && bytes <= std::size_t(-1) - kHugePage)
    {
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* memory = std::aligned_alloc(kHugePage, rounded);
        if (memory == nullptr)
            return nullptr;
        // Advice only: without transparent huge pages the buffer simply
        // gets ordinary pages.
        madvise(memory, rounded, MADV_HUGEPAGE);
        PopulateAhead(memory, rounded);
        return static_cast<unsigned char*>(memory);
    }
#endif
    return static_cast<unsigned char*>(std::malloc(bytes == 0 ? 1 : bytes));
}
