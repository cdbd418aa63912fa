#pragma once

#include "resample/FastResize.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The hand-written AVX2 forms of FastResize's passes. Each gives exactly
// the integers of the portable loops; call them only where CpuHasAvx2().

#if defined(__x86_64__) && defined(__GNUC__)
#define PIXMORA_AVX2 1
#endif

#if PIXMORA_AVX2
/// True when the CPU running this process has AVX2.
bool CpuHasAvx2();

/// The vertical sums of count interleaved columns over the taps rows, for
/// weights that each fit 16 bits. live is scratch of capacity taps + 1.
void VerticalSumsAvx2(const unsigned char* const* rows, const std::int32_t* weights, int taps,
                      std::int32_t* out, std::size_t count, std::vector<int>& live);

/// The horizontal pass of one row in 32-bit sums, for 3 or 4 channels.
/// h.taps must be a multiple of 4, the weights past a column's own taps 0,
/// and each plane readable that far past its last tap.
void HorizontalNarrowAvx2(const FastResize::HorizontalPass& h, int channels, unsigned char* out);
#endif
