#include "resample/FastResize.h"

#include "resample/CResize.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <stdexcept>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PIXMORA_VERTICAL_AVX2 1
#endif

// The loops below are written for the compiler to vectorise. On x86-64 each
// hot loop is also built for AVX2 and the loader picks that copy on CPUs
// that have it, so the binary still runs on any x86-64. Sanitizer builds
// keep one copy: their run-time is not yet set up when the loader picks.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PIXMORA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define PIXMORA_SANITIZED 1
#endif
#endif
#if defined(__x86_64__) && defined(__GNUC__) && !defined(PIXMORA_SANITIZED)
#define PIXMORA_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define PIXMORA_CLONES
#endif
#define PIXMORA_INLINE inline __attribute__((always_inline))

namespace
{

std::atomic<bool> g_avx2Allowed{true};

constexpr int kWeightShift = 22;
constexpr std::int64_t kMaxPixel = 255;
// Columns per step of the vertical pass: the sums of one step stay in the
// first-level cache while every tap row is added to them.
constexpr std::size_t kColumnChunk = 2048;

struct WeightSums
{
    std::int64_t positive = 0;
    std::int64_t negative = 0; // as a magnitude
};

WeightSums SumWeights(const std::int32_t* w, int taps)
{
    WeightSums sums;
    for (int k = 0; k < taps; ++k)
        (w[k] > 0 ? sums.positive : sums.negative) += std::abs(std::int64_t(w[k]));
    return sums;
}

PIXMORA_CLONES void VerticalSums(const unsigned char* const* rows, const std::int32_t* weights,
                                 int taps, std::int32_t* out, std::size_t count)
{
    for (std::size_t begin = 0; begin < count; begin += kColumnChunk)
    {
        const std::size_t n = std::min(kColumnChunk, count - begin);
        std::int32_t* __restrict sums = out + begin;
        bool started = false;
        int i = 0;
        while (i < taps)
        {
            // Zero taps add nothing; pairs of taps halve the passes over the sums.
            if (weights[i] == 0)
            {
                ++i;
                continue;
            }
            int j = i + 1;
            while (j < taps && weights[j] == 0)
                ++j;
            const std::int32_t w0 = weights[i];
            const unsigned char* __restrict r0 = rows[i] + begin;
            if (j < taps)
            {
                const std::int32_t w1 = weights[j];
                const unsigned char* __restrict r1 = rows[j] + begin;
                if (started)
                    for (std::size_t s = 0; s < n; ++s)
                        sums[s] += w0 * r0[s] + w1 * r1[s];
                else
                    for (std::size_t s = 0; s < n; ++s)
                        sums[s] = w0 * r0[s] + w1 * r1[s];
                i = j + 1;
            }
            else
            {
                if (started)
                    for (std::size_t s = 0; s < n; ++s)
                        sums[s] += w0 * r0[s];
                else
                    for (std::size_t s = 0; s < n; ++s)
                        sums[s] = w0 * r0[s];
                i = j;
            }
            started = true;
        }
        if (!started)
            std::fill(sums, sums + n, 0);
    }
}

#if PIXMORA_VERTICAL_AVX2
// Weight of live tap p; -1 stands for the weight-0 partner of an odd last tap.
PIXMORA_INLINE std::int32_t LiveWeight(const std::int32_t* weights, const std::vector<int>& live,
                                       std::size_t p)
{
    return live[p] < 0 ? 0 : weights[live[p]];
}

PIXMORA_INLINE const unsigned char* LiveRow(const unsigned char* const* rows,
                                            const std::vector<int>& live, std::size_t p)
{
    return rows[live[p] < 0 ? live[p - 1] : live[p]];
}

// Weights a and b as the 16-bit pairs vpmaddwd multiplies by.
__attribute__((target("avx2"))) inline __m256i PairWeights(std::int32_t a, std::int32_t b)
{
    return _mm256_set1_epi32(
        static_cast<int>((std::uint32_t(std::uint16_t(b)) << 16) | std::uint16_t(a)));
}

// The vertical pass with 16-bit weights on AVX2: the bytes of two rows
// interleaved and multiplied by their two weights, the products added in
// pairs into 32-bit sums (vpmaddwd), four taps per pass over the sums.
// Only called where the CPU has AVX2 and every weight fits 16 bits; each
// product and sum is the exact integer of the plain loop.
__attribute__((target("avx2"))) void VerticalSumsAvx2(const unsigned char* const* rows,
                                                      const std::int32_t* weights, int taps,
                                                      std::int32_t* out, std::size_t count,
                                                      std::vector<int>& live)
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

    for (std::size_t begin = 0; begin < count; begin += kColumnChunk)
    {
        const std::size_t n = std::min(kColumnChunk, count - begin);
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
#endif

// Splits the interleaved vertical sums into one padded plane per channel,
// taking the row's bias out of each.
template <int Channels>
PIXMORA_INLINE void SplitPlanes(const std::int32_t* columns, std::size_t width, std::int32_t bias,
                                std::int32_t* planes, std::size_t padLeft, std::size_t planeLength)
{
    for (int c = 0; c < Channels; ++c)
    {
        std::int32_t* __restrict plane = planes + std::size_t(c) * planeLength;
        const std::int32_t* __restrict column = columns + c;
        std::fill(plane, plane + padLeft, column[0] - bias);
        for (std::size_t x = 0; x < width; ++x)
            plane[padLeft + x] = column[x * Channels] - bias;
        std::fill(plane + padLeft + width, plane + planeLength,
                  column[(width - 1) * Channels] - bias);
    }
}

PIXMORA_CLONES void SplitPlanes3(const std::int32_t* columns, std::size_t width, std::int32_t bias,
                                 std::int32_t* planes, std::size_t padLeft, std::size_t planeLength)
{
    SplitPlanes<3>(columns, width, bias, planes, padLeft, planeLength);
}

PIXMORA_CLONES void SplitPlanes4(const std::int32_t* columns, std::size_t width, std::int32_t bias,
                                 std::int32_t* planes, std::size_t padLeft, std::size_t planeLength)
{
    SplitPlanes<4>(columns, width, bias, planes, padLeft, planeLength);
}

// The shifted and pinned value of one target channel: floor(v / 2^22) by an
// arithmetic shift, then held to a byte, as the reference's clamp table does.
PIXMORA_INLINE unsigned char ToByte(std::int64_t v)
{
    v >>= kWeightShift;
    return static_cast<unsigned char>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

struct HorizontalPass
{
    const std::int32_t* planes;
    std::size_t planeLength;
    const std::int32_t* weights;
    int taps;
    const std::int32_t* firstTap;
    const std::int32_t* weightSum;
    int width;
    std::int64_t bias;
};

template <int Channels, typename Sum>
PIXMORA_INLINE void HorizontalSums(const HorizontalPass& h, unsigned char* out)
{
    for (int x = 0; x < h.width; ++x)
    {
        const std::int32_t* __restrict w = h.weights + std::size_t(x) * std::size_t(h.taps);
        const std::int32_t* __restrict p = h.planes + h.firstTap[x];
        Sum a[Channels] = {};
        for (int k = 0; k < h.taps; ++k)
            for (int c = 0; c < Channels; ++c)
                a[c] += Sum(w[k]) * Sum(p[std::size_t(c) * h.planeLength + std::size_t(k)]);
        const std::int64_t restored = h.bias * h.weightSum[x];
        for (int c = 0; c < Channels; ++c)
            out[c] = ToByte(std::int64_t(a[c]) + restored);
        out += Channels;
    }
}

PIXMORA_CLONES void HorizontalNarrow3(const HorizontalPass& h, unsigned char* out)
{
    HorizontalSums<3, std::int32_t>(h, out);
}

PIXMORA_CLONES void HorizontalNarrow4(const HorizontalPass& h, unsigned char* out)
{
    HorizontalSums<4, std::int32_t>(h, out);
}

PIXMORA_CLONES void HorizontalWide3(const HorizontalPass& h, unsigned char* out)
{
    HorizontalSums<3, std::int64_t>(h, out);
}

PIXMORA_CLONES void HorizontalWide4(const HorizontalPass& h, unsigned char* out)
{
    HorizontalSums<4, std::int64_t>(h, out);
}

} // namespace

// A vertical sum lies in [-255 Ny, 255 Py], Py and Ny being the sums of the
// positive and of the negative weights of its row (as magnitudes), and so
// does every partial sum of it in any order. Stored less a bias b of about
// 255 (Py - Ny) / 2 it lies within [-B, B], B about 255 (Py + Ny) / 2, and
// every partial horizontal sum over such values within (Px + Nx) B. The
// bias comes back once per pixel, in 64 bits, as b times the sum of the
// pixel's horizontal weights: the total is exactly the reference's.
FastResize::FastResize(CResize& engine) : m_engine(engine)
{
    const std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    m_bias.resize(std::size_t(engine.TargetHeight()));
    std::int64_t vertical = 0;
    std::int64_t biased = 0;
    for (int y = 0; y < engine.TargetHeight(); ++y)
    {
        const WeightSums w = SumWeights(engine.WeightsY(y), engine.TapsY());
        const std::int64_t b = kMaxPixel * (w.positive - w.negative) / 2;
        vertical = std::max(vertical, kMaxPixel * std::max(w.positive, w.negative));
        biased = std::max({biased, kMaxPixel * w.positive - b, kMaxPixel * w.negative + b});
        m_bias[std::size_t(y)] = b;
    }
    std::int64_t horizontal = 0;
    m_weightSum.resize(std::size_t(engine.TargetWidth()));
    for (int x = 0; x < engine.TargetWidth(); ++x)
    {
        const WeightSums w = SumWeights(engine.WeightsX(x), engine.TapsX());
        horizontal = std::max(horizontal, w.positive + w.negative);
        m_weightSum[std::size_t(x)] = static_cast<std::int32_t>(w.positive - w.negative);
    }
#if PIXMORA_VERTICAL_AVX2
    bool shortWeights = true;
    for (int y = 0; y < engine.TargetHeight(); ++y)
        for (int i = 0; i < engine.TapsY(); ++i)
            shortWeights = shortWeights && engine.WeightsY(y)[i] >= INT16_MIN &&
                           engine.WeightsY(y)[i] <= INT16_MAX;
    m_verticalAvx2 = shortWeights && g_avx2Allowed && __builtin_cpu_supports("avx2");
#endif
    // Bounds of at most 2^24 per row keep these products within 64 bits.
    if (vertical > limit || biased > limit)
        m_sums = Sums::Reference;
    else if (horizontal * biased <= limit)
        m_sums = Sums::Narrow;
    else
        m_sums = Sums::Wide;

    // Where each column's taps start in a plane padded on both sides by as
    // many repeated edge values as the outermost taps reach.
    const std::int64_t sourceWidth = engine.SourceWidth();
    std::int64_t lowest = 0;
    std::int64_t highest = sourceWidth;
    std::vector<std::int64_t> firstX(std::size_t(engine.TargetWidth()));
    for (int x = 0; x < engine.TargetWidth(); ++x)
    {
        firstX[std::size_t(x)] =
            static_cast<std::int64_t>(std::floor(engine.SourceX(x))) - (engine.TapRadiusX() - 1);
        lowest = std::min(lowest, firstX[std::size_t(x)]);
        highest = std::max(highest, firstX[std::size_t(x)] + engine.TapsX());
    }
    if (highest - lowest > limit)
        throw std::length_error("resampling row too wide");
    m_padLeft = std::size_t(-lowest);
    m_planeLength = std::size_t(highest - lowest);
    m_firstTap.resize(firstX.size());
    for (std::size_t x = 0; x < firstX.size(); ++x)
        m_firstTap[x] = static_cast<std::int32_t>(firstX[x] - lowest);

    // Both scratch sets now, on the caller's thread: the rows run on worker
    // threads, where an allocation failure could not reach the caller.
    if (m_sums == Sums::Reference || engine.TargetWidth() <= 0)
        return;
    const std::size_t channels = std::size_t(engine.BytesPerPixel());
    for (Scratch& s : m_scratch)
    {
        s.columns.resize(std::size_t(sourceWidth) * channels);
        s.planes.resize(m_planeLength * channels);
        s.rows.resize(std::size_t(engine.TapsY()));
        // The live taps and the pad of an odd count.
        s.liveTaps.reserve(std::size_t(engine.TapsY()) + 1);
    }
}

void FastResize::AllowAvx2(bool allowed)
{
    g_avx2Allowed = allowed;
}

void FastResize::ResizeRows(int firstRow, int rowCount, unsigned char* first, std::ptrdiff_t stride,
                            int worker)
{
    if (rowCount <= 0 || m_engine.TargetWidth() <= 0)
        return;
    if (m_sums == Sums::Reference)
    {
        for (int r = 0; r < rowCount; ++r)
            m_engine.ResizeRow(firstRow + r, first + std::ptrdiff_t(r) * stride, worker);
        return;
    }
    Scratch& s = m_scratch[worker == 1 ? 0 : 1];
    for (int r = 0; r < rowCount; ++r)
        ResizeRow(firstRow + r, first + std::ptrdiff_t(r) * stride, s);
}

void FastResize::ResizeRow(int y, unsigned char* out, Scratch& s)
{
    const CResize& e = m_engine;
    const int channels = e.BytesPerPixel();
    const std::size_t sourceWidth = std::size_t(e.SourceWidth());
    const std::size_t rowBytes = sourceWidth * std::size_t(channels);
    const int tapsY = e.TapsY();

    const std::int64_t top =
        static_cast<std::int64_t>(std::floor(e.SourceY(y))) - (e.TapRadiusY() - 1);
    for (int i = 0; i < tapsY; ++i)
    {
        // Rows beyond the top and bottom edges repeat the edge rows.
        const std::int64_t row = std::clamp<std::int64_t>(top + i, 0, e.SourceHeight() - 1);
        s.rows[std::size_t(i)] = e.Source() + std::size_t(row) * rowBytes;
    }
#if PIXMORA_VERTICAL_AVX2
    if (m_verticalAvx2)
        VerticalSumsAvx2(s.rows.data(), e.WeightsY(y), tapsY, s.columns.data(), rowBytes,
                         s.liveTaps);
    else
#endif
        VerticalSums(s.rows.data(), e.WeightsY(y), tapsY, s.columns.data(), rowBytes);

    const std::int64_t bias = m_bias[std::size_t(y)];
    if (channels == 4)
        SplitPlanes4(s.columns.data(), sourceWidth, static_cast<std::int32_t>(bias),
                     s.planes.data(), m_padLeft, m_planeLength);
    else
        SplitPlanes3(s.columns.data(), sourceWidth, static_cast<std::int32_t>(bias),
                     s.planes.data(), m_padLeft, m_planeLength);

    const HorizontalPass h{s.planes.data(),   m_planeLength,      e.WeightsX(0),   e.TapsX(),
                           m_firstTap.data(), m_weightSum.data(), e.TargetWidth(), bias};
    const bool narrow = m_sums == Sums::Narrow;
    if (channels == 4)
        narrow ? HorizontalNarrow4(h, out) : HorizontalWide4(h, out);
    else
        narrow ? HorizontalNarrow3(h, out) : HorizontalWide3(h, out);
}
