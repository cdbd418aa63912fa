#include "resample/FastResizeAvx2.h"

#if PIXMORA_AVX2

#include <immintrin.h>

#include <algorithm>
#include <cstring>

// Every function that uses AVX2 says so in its own target attribute rather
// than the file being built with -mavx2: inline functions of the standard
// headers compiled here must stay runnable on any x86-64, since the linker
// may keep this file's copy of them for the whole program.
#define PIXMORA_TARGET_AVX2 __attribute__((target("avx2")))

namespace
{

// Weight of live tap p; -1 stands for the weight-0 partner of an odd last tap.
inline __attribute__((always_inline)) std::int32_t
LiveWeight(const std::int32_t* weights, const std::vector<int>& live, std::size_t p)
{
    return live[p] < 0 ? 0 : weights[live[p]];
}

inline __attribute__((always_inline)) const unsigned char*
LiveRow(const unsigned char* const* rows, const std::vector<int>& live, std::size_t p)
{
    return rows[live[p] < 0 ? live[p - 1] : live[p]];
}

// Weights a and b as the 16-bit pairs vpmaddwd multiplies by.
PIXMORA_TARGET_AVX2 inline __m256i PairWeights(std::int32_t a, std::int32_t b)
{
    return _mm256_set1_epi32(
        static_cast<int>((std::uint32_t(std::uint16_t(b)) << 16) | std::uint16_t(a)));
}

PIXMORA_TARGET_AVX2 inline __m256i Load8(const std::int32_t* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

PIXMORA_TARGET_AVX2 inline __m128i Load4(const std::int32_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

constexpr int kShift = CResize::kWeightShift;
// Where the quotient q below may be pinned: far enough out that the high
// part of a 32-bit sum (within +-2^(31 - kShift)) cannot bring the byte
// back into range, near enough for 16-bit words.
constexpr std::int32_t kQuotientLimit = 4 << (31 - kShift);

// floor(v / 2^s) pinned to a byte, s the weight shift, for v = a + r, a a
// 32-bit sum per lane and r one 64-bit value for all lanes, split by the
// caller into r = 2^s q + low with low in [0, 2^s). With a = 2^s high +
// rest, floor(v / 2^s) = high + q + floor((rest + low) / 2^s), whose last
// term is 0 or 1: all in 32 bits.
PIXMORA_TARGET_AVX2 inline std::uint32_t ShiftedBytes(__m128i a, std::int32_t q, std::int32_t low)
{
    const __m128i high = _mm_srai_epi32(a, kShift);
    const __m128i rest = _mm_and_si128(a, _mm_set1_epi32((1 << kShift) - 1));
    const __m128i carry = _mm_srli_epi32(_mm_add_epi32(rest, _mm_set1_epi32(low)), kShift);
    const __m128i v = _mm_add_epi32(_mm_add_epi32(high, carry), _mm_set1_epi32(q));
    // The saturating packs pin each value to 0..255.
    const __m128i words = _mm_packs_epi32(v, v);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
}

// One target pixel per step, its taps eight at a time: each channel's
// products are summed lane by lane, the lanes then folded together. The
// order of the additions differs from the portable loop, but every partial
// sum is a sum of some of the same products, which the weight tables bound
// below 2^31: the total is the same exact integer.
template <int Channels>
PIXMORA_TARGET_AVX2 void HorizontalNarrow(const FastResize::HorizontalPass& h, unsigned char* out)
{
    // Locals, since the byte stores could alias h for the compiler.
    const std::int32_t* const planes = h.planes;
    const std::size_t stride = h.planeStride;
    const std::int32_t* const weights = h.weights;
    const int taps = h.taps;
    const int wholeSteps = taps / 8 * 8;
    const std::int32_t* const firstTap = h.firstTap;
    const std::int32_t* const weightSum = h.weightSum;
    const int width = h.width;
    const std::int64_t bias = h.bias;
    for (int x = 0; x < width; ++x)
    {
        const std::int32_t* w = weights + std::size_t(x) * std::size_t(taps);
        const std::int32_t* p = planes + firstTap[x];
        __m256i lanes[Channels];
        for (int c = 0; c < Channels; ++c)
            lanes[c] = _mm256_setzero_si256();
        int k = 0;
        for (; k < wholeSteps; k += 8)
        {
            const __m256i wk = Load8(w + k);
            for (int c = 0; c < Channels; ++c)
                lanes[c] = _mm256_add_epi32(
                    lanes[c], _mm256_mullo_epi32(wk, Load8(p + std::size_t(c) * stride + k)));
        }
        __m128i half[4];
        for (int c = 0; c < Channels; ++c)
            half[c] = _mm_add_epi32(_mm256_castsi256_si128(lanes[c]),
                                    _mm256_extracti128_si256(lanes[c], 1));
        if (k < taps)
        {
            const __m128i wk = Load4(w + k);
            for (int c = 0; c < Channels; ++c)
                half[c] = _mm_add_epi32(
                    half[c], _mm_mullo_epi32(wk, Load4(p + std::size_t(c) * stride + k)));
        }
        if (Channels == 3)
            half[3] = _mm_setzero_si128();
        // Lane c of the result is the sum of channel c.
        const __m128i sums =
            _mm_hadd_epi32(_mm_hadd_epi32(half[0], half[1]), _mm_hadd_epi32(half[2], half[3]));

        const std::int64_t restored = bias * weightSum[x];
        const std::int64_t q =
            std::clamp<std::int64_t>(restored >> kShift, -kQuotientLimit, kQuotientLimit);
        const std::uint32_t bytes =
            ShiftedBytes(sums, static_cast<std::int32_t>(q),
                         static_cast<std::int32_t>(restored & ((1 << kShift) - 1)));
        // Three channels store four bytes but the last pixel: the next pixel
        // overwrites the fourth.
        if (Channels == 4 || x + 1 < width)
            std::memcpy(out, &bytes, 4);
        else
            std::memcpy(out, &bytes, 3);
        out += Channels;
    }
}

} // namespace

bool CpuHasAvx2()
{
    return __builtin_cpu_supports("avx2");
}

// The bytes of two rows interleaved and multiplied by their two weights,
// the products added in pairs into 32-bit sums (vpmaddwd), four taps per
// pass over the sums. Each product and sum is the exact integer of the
// portable loop.
PIXMORA_TARGET_AVX2 void VerticalSumsAvx2(const unsigned char* const* rows,
                                          const std::int32_t* weights, int taps, std::int32_t* out,
                                          std::size_t count, std::vector<int>& live)
{
    live.clear();
    for (int i = 0; i < taps; ++i)
        if (weights[i] != 0)
            live.push_back(i);
    if (live.empty())
    {
        std::fill(out, out + count, 0);
        return;
    }
    // An odd last tap pairs with itself at weight 0.
    if (live.size() % 2 != 0)
        live.push_back(-1);

    for (std::size_t begin = 0; begin < count; begin += FastResize::kColumnChunk)
    {
        const std::size_t n = std::min(FastResize::kColumnChunk, count - begin);
        const std::size_t vectorEnd = n / 16 * 16;
        std::int32_t* sums = out + begin;
        for (std::size_t p = 0; p < live.size(); p += 4)
        {
            const bool first = p == 0;
            const bool twoPairs = p + 2 < live.size();
            const std::int32_t wa = LiveWeight(weights, live, p);
            const std::int32_t wb = LiveWeight(weights, live, p + 1);
            const std::int32_t wc = twoPairs ? LiveWeight(weights, live, p + 2) : 0;
            const std::int32_t wd = twoPairs ? LiveWeight(weights, live, p + 3) : 0;
            const __m256i w01 = PairWeights(wa, wb);
            const __m256i w23 = PairWeights(wc, wd);
            const unsigned char* r0 = LiveRow(rows, live, p) + begin;
            const unsigned char* r1 = LiveRow(rows, live, p + 1) + begin;
            const unsigned char* r2 = twoPairs ? LiveRow(rows, live, p + 2) + begin : r0;
            const unsigned char* r3 = twoPairs ? LiveRow(rows, live, p + 3) + begin : r1;
            for (std::size_t s = 0; s < vectorEnd; s += 16)
            {
                const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r0 + s));
                const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r1 + s));
                const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r2 + s));
                const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r3 + s));
                __m256i lo = _mm256_add_epi32(
                    _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(a, b)), w01),
                    _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(c, d)), w23));
                __m256i hi = _mm256_add_epi32(
                    _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpackhi_epi8(a, b)), w01),
                    _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpackhi_epi8(c, d)), w23));
                auto* at = reinterpret_cast<__m256i*>(sums + s);
                if (!first)
                {
                    lo = _mm256_add_epi32(lo, _mm256_loadu_si256(at));
                    hi = _mm256_add_epi32(hi, _mm256_loadu_si256(at + 1));
                }
                _mm256_storeu_si256(at, lo);
                _mm256_storeu_si256(at + 1, hi);
            }
            for (std::size_t s = vectorEnd; s < n; ++s)
                sums[s] = (first ? 0 : sums[s]) + wa * r0[s] + wb * r1[s] + wc * r2[s] + wd * r3[s];
        }
    }
}

void HorizontalNarrowAvx2(const FastResize::HorizontalPass& h, int channels, unsigned char* out)
{
    if (channels == 4)
        HorizontalNarrow<4>(h, out);
    else
        HorizontalNarrow<3>(h, out);
}

#endif
