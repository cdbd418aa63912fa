#include "platform/LargeBuffer.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace
{

constexpr std::size_t kHugePage = std::size_t(2) << 20;
// Below this, rounding up to whole huge pages would waste more than it
// saves.
constexpr std::size_t kHugeThreshold = 2 * kHugePage;

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
        return static_cast<unsigned char*>(memory);
    }
#endif
    return static_cast<unsigned char*>(std::malloc(bytes == 0 ? 1 : bytes));
}
