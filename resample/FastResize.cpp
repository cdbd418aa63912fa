#include "resample/FastResize.h"

#include "resample/CResize.h"
#include "resample/FastResizeAvx2.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <stdexcept>

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

constexpr std::int64_t kMaxPixel = 255;
constexpr std::size_t kColumnChunk = FastResize::kColumnChunk;

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

// Splits the interleaved vertical sums into one padded plane per channel,
// taking the row's bias out of each.
template <int Channels>
PIXMORA_INLINE void SplitPlanes(const std::int32_t* columns, std::size_t width, std::int32_t bias,
                                std::int32_t* planes, std::size_t padLeft, std::size_t planeLength,
                                std::size_t planeStride)
{
    for (int c = 0; c < Channels; ++c)
    {
        std::int32_t* __restrict plane = planes + std::size_t(c) * planeStride;
        const std::int32_t* __restrict column = columns + c;
        std::fill(plane, plane + padLeft, column[0] - bias);
        for (std::size_t x = 0; x < width; ++x)
            plane[padLeft + x] = column[x * Channels] - bias;
        std::fill(plane + padLeft + width, plane + planeLength,
                  column[(width - 1) * Channels] - bias);
    }
}

PIXMORA_CLONES void SplitPlanes3(const std::int32_t* columns, std::size_t width, std::int32_t bias,
                                 std::int32_t* planes, std::size_t padLeft, std::size_t planeLength,
                                 std::size_t planeStride)
{
    SplitPlanes<3>(columns, width, bias, planes, padLeft, planeLength, planeStride);
}

PIXMORA_CLONES void SplitPlanes4(const std::int32_t* columns, std::size_t width, std::int32_t bias,
                                 std::int32_t* planes, std::size_t padLeft, std::size_t planeLength,
                                 std::size_t planeStride)
{
    SplitPlanes<4>(columns, width, bias, planes, padLeft, planeLength, planeStride);
}

using HorizontalPass = FastResize::HorizontalPass;

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
                a[c] += Sum(w[k]) * Sum(p[std::size_t(c) * h.planeStride + std::size_t(k)]);
        const std::int64_t restored = h.bias * h.weightSum[x];
        for (int c = 0; c < Channels; ++c)
            out[c] = FastResize::ToByte(std::int64_t(a[c]) + restored);
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
#if PIXMORA_AVX2
    bool shortWeights = true;
    for (int y = 0; y < engine.TargetHeight(); ++y)
        for (int i = 0; i < engine.TapsY(); ++i)
            shortWeights = shortWeights && engine.WeightsY(y)[i] >= INT16_MIN &&
                           engine.WeightsY(y)[i] <= INT16_MAX;
    const bool avx2 = g_avx2Allowed && CpuHasAvx2();
    m_verticalAvx2 = shortWeights && avx2;
#endif
    // Bounds of at most 2^24 per row keep these products within 64 bits.
    if (vertical > limit || biased > limit)
        m_sums = Sums::Reference;
    else if (horizontal * biased <= limit)
        m_sums = Sums::Narrow;
    else
        m_sums = Sums::Wide;
#if PIXMORA_AVX2
    m_horizontalAvx2 = avx2 && m_sums == Sums::Narrow;
#endif

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
    m_planeStride = m_planeLength;
    if (m_horizontalAvx2)
    {
        // Zero weights add nothing, so every column may run in whole steps.
        const int taps = engine.TapsX();
        m_paddedTapsX = (taps + 3) / 4 * 4;
        m_paddedWeightsX.resize(std::size_t(engine.TargetWidth()) * std::size_t(m_paddedTapsX));
        for (int x = 0; x < engine.TargetWidth(); ++x)
            std::copy_n(engine.WeightsX(x), taps,
                        &m_paddedWeightsX[std::size_t(x) * std::size_t(m_paddedTapsX)]);
        m_planeStride += std::size_t(m_paddedTapsX - taps);
    }

    // Both scratch sets now, on the caller's thread: the rows run on worker
    // threads, where an allocation failure could not reach the caller.
    if (m_sums == Sums::Reference || engine.TargetWidth() <= 0)
        return;
    const std::size_t channels = std::size_t(engine.BytesPerPixel());
    for (Scratch& s : m_scratch)
    {
        s.columns.resize(std::size_t(sourceWidth) * channels);
        s.planes.resize(m_planeStride * channels);
        s.rows.resize(std::size_t(engine.TapsY()));
        // The live taps and the pad of an odd count.
        s.liveTaps.reserve(std::size_t(engine.TapsY()) + 1);
    }
}

void FastResize::AllowAvx2(bool allowed)
{
    g_avx2Allowed = allowed;
}

void FastResize::ComputeRows(int firstRow, int rowCount, unsigned char* first,
                             std::ptrdiff_t stride, int worker)
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
        ComputeRow(firstRow + r, first + std::ptrdiff_t(r) * stride, s);
}

void FastResize::ComputeRow(int y, unsigned char* out, Scratch& s)
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
#if PIXMORA_AVX2
    if (m_verticalAvx2)
        VerticalSumsAvx2(s.rows.data(), e.WeightsY(y), tapsY, s.columns.data(), rowBytes,
                         s.liveTaps);
    else
#endif
        VerticalSums(s.rows.data(), e.WeightsY(y), tapsY, s.columns.data(), rowBytes);

    const std::int64_t bias = m_bias[std::size_t(y)];
    if (channels == 4)
        SplitPlanes4(s.columns.data(), sourceWidth, static_cast<std::int32_t>(bias),
                     s.planes.data(), m_padLeft, m_planeLength, m_planeStride);
    else
        SplitPlanes3(s.columns.data(), sourceWidth, static_cast<std::int32_t>(bias),
                     s.planes.data(), m_padLeft, m_planeLength, m_planeStride);

#if PIXMORA_AVX2
    if (m_horizontalAvx2)
    {
        const HorizontalPass h{
            s.planes.data(),   m_planeStride,      m_paddedWeightsX.data(), m_paddedTapsX,
            m_firstTap.data(), m_weightSum.data(), e.TargetWidth(),         bias};
        HorizontalNarrowAvx2(h, channels, out);
        return;
    }
#endif
    const HorizontalPass h{s.planes.data(),   m_planeStride,      e.WeightsX(0),   e.TapsX(),
                           m_firstTap.data(), m_weightSum.data(), e.TargetWidth(), bias};
    const bool narrow = m_sums == Sums::Narrow;
    if (channels == 4)
        narrow ? HorizontalNarrow4(h, out) : HorizontalWide4(h, out);
    else
        narrow ? HorizontalNarrow3(h, out) : HorizontalWide3(h, out);
}
