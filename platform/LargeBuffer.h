#pragma once

#include <cstddef>

/// Memory for a buffer (pixels, file bytes) that its user fills completely
/// before reading it: not cleared, released with std::free (so that a toolkit image can own
/// it) and, for large buffers where the system offers them, backed by huge
/// pages, which spares a page fault for every 4 KiB on first touch. Returns
/// nullptr when the memory cannot be had.
unsigned char* AllocateLargeBuffer(std::size_t bytes);
