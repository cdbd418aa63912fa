#include "resample/CResize.h"

#include "resample/Kernels.h"

#include <algorithm>
#include <cmath>

namespace
{

// Weights carry 11 fractional bits (2048 = 1.0). A pixel is 8 bits times a
// horizontal weight, then times a vertical weight: 2^22 per unit, undone by
// one arithmetic shift. Ringing under the sharpest settings can push such a
// product past 2^31, so the sums are 64-bit.
constexpr double kWeightUnit = 2048.0;
constexpr int kFixedShift = 22;

// The table covers the values a well-behaved sum can reach; anything beyond
// is clamped before the lookup.
constexpr int kClampOrigin = 350;
constexpr int kClampLow = -348;
constexpr int kClampHigh = 639;

int TapRadius(int radius, double scale)
{
    if (scale > 1.0)
        return static_cast<int>(radius * scale);
    return radius;
}

// The grouping, not the mathematically equal (j + 0.5) * s - 0.5, is what
// the tables are defined by.
std::vector<double> SourceCoordinates(int count, double s, int sourceSize)
{
    std::vector<double> coordinates(std::max(count, 0));
    const double last = static_cast<double>(sourceSize - 1);
    for (int j = 0; j < count; ++j)
    {
        double c = (j * s) - (s * ((0.5 / s) - 0.5));
        if (!(c >= 0.0))
            c = 0.0;
        if (c > last)
            c = last;
        coordinates[j] = c;
    }
    return coordinates;
}

} // namespace

CResize::CResize(int sourceWidth, int sourceHeight, const unsigned char* source, int targetWidth,
                 int targetHeight, int radius, double kernelParameter, int bytesPerPixel,
                 int kernel)
    : m_radius(radius), m_tapRadiusX(radius), m_tapRadiusY(radius), m_tapsX(2 * radius),
      m_tapsY(2 * radius), m_targetWidth(std::max(targetWidth, 0)),
      m_bytesPerPixel(bytesPerPixel), m_source(source), m_sourceWidth(sourceWidth),
      m_sourceHeight(sourceHeight), m_kernel(kernel), m_kernelParameter(kernelParameter)
{
    // Nothing to compute, and an infinite scale would make the tap radius
    // meaningless: leave every table empty.
    if (targetWidth <= 0 || targetHeight <= 0)
        return;

    m_scaleX = static_cast<double>(sourceWidth) / static_cast<double>(targetWidth);
    m_scaleY = static_cast<double>(sourceHeight) / static_cast<double>(targetHeight);
    m_tapRadiusX = TapRadius(radius, m_scaleX);
    m_tapRadiusY = TapRadius(radius, m_scaleY);
    m_tapsX = 2 * m_tapRadiusX;
    m_tapsY = 2 * m_tapRadiusY;

    m_kernelValues.resize(std::max(m_tapsX, m_tapsY));
    m_weightsX.resize(std::size_t(targetWidth) * m_tapsX);
    m_weightsY.resize(std::size_t(targetHeight) * m_tapsY);
    for (Scratch& scratch : m_scratch)
    {
        scratch.rowPointers.resize(m_tapsY);
        for (int c = 0; c < 4; ++c)
        {
            scratch.channelSums[c].resize(m_tapsY);
            scratch.sums[c] = scratch.channelSums[c].data();
        }
    }

    m_sourceX = SourceCoordinates(targetWidth, m_scaleX, sourceWidth);
    m_sourceY = SourceCoordinates(targetHeight, m_scaleY, sourceHeight);

    BuildWeights(targetWidth, m_weightsX, m_sourceX, m_scaleX, m_tapRadiusX);
    BuildWeights(targetHeight, m_weightsY, m_sourceY, m_scaleY, m_tapRadiusY);

    m_clamp = m_clampBlock + kClampOrigin;
    for (int v = kClampLow; v <= kClampHigh; ++v)
        m_clampBlock[kClampOrigin + v] = static_cast<unsigned char>(std::clamp(v, 0, 255));

    m_needsClampX.resize(targetWidth);
    for (int j = 0; j < targetWidth; ++j)
    {
        const long long first = static_cast<long long>(std::floor(m_sourceX[j])) - (m_tapRadiusX - 1);
        m_needsClampX[j] = (first < 0 || first + m_tapsX > m_sourceWidth - 1) ? 1 : 0;
    }
}

double CResize::Kernel(int a, double x, double i0Beta) const
{
    switch (m_kernel)
    {
    case Lanczos:
        return LanczosKernel(a, x);
    case Blackman:
        return BlackmanKernel(a, x);
    case BlackmanHarris:
        return BlackmanHarrisKernel(a, x);
    default:
        return KaiserKernel(a, x, m_kernelParameter, i0Beta);
    }
}

void CResize::BuildWeights(int count, std::vector<std::int32_t>& table,
                           const std::vector<double>& coordinates, double scale, int tapRadius)
{
    const double i0Beta = m_kernel == Kaiser ? BesselI0(m_kernelParameter) : 1.0;
    const int taps = 2 * tapRadius;
    for (int j = 0; j < count; ++j)
    {
        const double c = coordinates[j];
        double t = (std::floor(c) - c) - (tapRadius - 1);
        double step = 1.0;
        if (scale > 1.0)
        {
            const double inv = 1.0 / scale;
            t = t * inv;
            step = inv;
        }
        // The offset advances by repeated addition; recomputing it from k
        // would change the last bits and, at a tie, a weight.
        double sum = 0.0;
        for (int k = 0; k < taps; ++k)
        {
            m_kernelValues[k] = Kernel(tapRadius, t, i0Beta);
            sum = sum + m_kernelValues[k];
            t = t + step;
        }
        const double norm = 1.0 / sum;
        std::int32_t* row = &table[std::size_t(j) * taps];
        for (int k = 0; k < taps; ++k)
        {
            // Ties to even under the default rounding mode; the rounded row
            // is not corrected back to 2048.
            row[k] = static_cast<std::int32_t>(
                std::nearbyint((kWeightUnit * m_kernelValues[k]) * norm));
        }
    }
}

unsigned char CResize::Clamp(std::int64_t value) const
{
    if (value < kClampLow)
        return 0;
    if (value > kClampHigh)
        return 255;
    return m_clamp[value];
}

void CResize::ResizeRow(int y, unsigned char* out, int worker)
{
    Scratch& scratch = m_scratch[worker == 1 ? 0 : 1];
    const long long first = static_cast<long long>(std::floor(m_sourceY[y])) - (m_tapRadiusY - 1);
    const std::size_t rowBytes = std::size_t(m_sourceWidth) * m_bytesPerPixel;
    for (int i = 0; i < m_tapsY; ++i)
    {
        const long long r = std::clamp<long long>(first + i, 0, m_sourceHeight - 1);
        scratch.rowPointers[i] = m_source + std::size_t(r) * rowBytes;
    }
    unsigned char pixel[4] = {};
    for (int x = 0; x < m_targetWidth; ++x)
    {
        ResizePixel(x, y, scratch.rowPointers.data(), pixel, scratch.sums, m_sourceX[x]);
        for (int c = 0; c < m_bytesPerPixel; ++c)
            out[c] = pixel[c];
        out += m_bytesPerPixel;
    }
}

void CResize::ResizePixel(int x, int y, const unsigned char* const* rows, unsigned char* pixel,
                          std::int64_t* const* sums, double sourceX) const
{
    const int bpp = m_bytesPerPixel;
    const long long firstX = static_cast<long long>(std::floor(sourceX)) - (m_tapRadiusX - 1);
    const std::int32_t* wx = WeightsX(x);
    const bool clampTaps = m_needsClampX[x] != 0;
    for (int i = 0; i < m_tapsY; ++i)
    {
        std::int64_t acc[4] = {0, 0, 0, 0};
        if (!clampTaps)
        {
            const unsigned char* p = rows[i] + firstX * bpp;
            for (int k = 0; k < m_tapsX; ++k, p += bpp)
                for (int c = 0; c < bpp; ++c)
                    acc[c] += std::int64_t(p[c]) * wx[k];
        }
        else
        {
            for (int k = 0; k < m_tapsX; ++k)
            {
                const long long column = std::clamp<long long>(firstX + k, 0, m_sourceWidth - 1);
                const unsigned char* p = rows[i] + column * bpp;
                for (int c = 0; c < bpp; ++c)
                    acc[c] += std::int64_t(p[c]) * wx[k];
            }
        }
        for (int c = 0; c < bpp; ++c)
            sums[c][i] = acc[c];
    }
    const std::int32_t* wy = WeightsY(y);
    for (int c = 0; c < bpp; ++c)
    {
        std::int64_t v = 0;
        for (int i = 0; i < m_tapsY; ++i)
            v += sums[c][i] * wy[i];
        // Arithmetic shift: floor, no rounding offset.
        pixel[c] = Clamp(v >> kFixedShift);
    }
}
