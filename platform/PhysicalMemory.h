#pragma once

#include <cstdint>

/// The machine's physical memory in bytes, as the system reports it; 0 when
/// the system does not say.
std::uint64_t PhysicalMemoryBytes();
