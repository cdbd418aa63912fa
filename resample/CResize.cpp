#include "resample/CResize.h"

#include "resample/FastResize.h"
#include "resample/Kernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

namespace
{

// The bound of a weight row's magnitude that the fixed-point budget
// (CResize::kWeightBits) relies on.
constexpr std::int64_t kMaxRowMagnitude = std::int64_t(1) << 24;
// Widest tap radius accepted, so that 2 R and the table sizes stay in range.
constexpr double kMaxTapRadius = double(1 << 29);
constexpr int kClampOrigin = 350;

double AxisScale(int sourceSize, int targetSize)
{
    // An empty axis gets no tables; a scale of 0 keeps its tap radius at r
    // instead of deriving it from an infinite quotient.
    if (targetSize <= 0)
        return 0.0;
    return static_cast<double>(sourceSize) / static_cast<double>(targetSize);
}

std::int32_t TapRadius(std::int32_t radius, double scale)
{
    if (!(scale > 1.0))
        return radius;
    const double widened = radius * scale;
    if (!(widened < kMaxTapRadius))
        throw std::length_error("resampling tap radius too large");
    return static_cast<std::int32_t>(widened); // toward zero
}

std::vector<double> MapCoordinates(int count, double scale, int sourceSize)
{
    std::vector<double> coordinates(std::size_t(std::max(count, 0)));
    const double last = static_cast<double>(sourceSize - 1);
    for (int j = 0; j < count; ++j)
    {
        // (j + 0.5) s - 0.5 in exactly this order: the tables are defined
        // bit for bit by it.
        double c = (j * scale) - (scale * ((0.5 / scale) - 0.5));
        if (!(c >= 0.0))
            c = 0.0;
        if (c > last)
            c = last;
        coordinates[std::size_t(j)] = c;
    }
    return coordinates;
}

std::size_t TableSize(int count, std::int32_t taps)
{
    return std::size_t(std::max(count, 0)) * std::size_t(taps);
}

} // namespace

CResize::CResize(int sourceWidth, int sourceHeight, const unsigned char* source, int targetWidth,
                 int targetHeight, int radius, double kernelParameter, int bytesPerPixel,
                 int kernel)
    : m_radius(radius), m_targetWidth(std::max(targetWidth, 0)),
      m_targetHeight(std::max(targetHeight, 0)), m_bytesPerPixel(bytesPerPixel), m_source(source),
      m_sourceWidth(sourceWidth), m_sourceHeight(sourceHeight), m_kernel(kernel),
      m_kernelParameter(kernelParameter)
{
    if (kernel < Lanczos || kernel > Kaiser)
        throw std::invalid_argument("unknown resampling kernel");
    if (bytesPerPixel != 3 && bytesPerPixel != 4)
        throw std::invalid_argument("resampling needs 3 or 4 channels");
    if (radius < 1 || sourceWidth < 1 || sourceHeight < 1)
        throw std::invalid_argument("resampling needs a radius and a source of at least 1");

    m_scaleX = AxisScale(m_sourceWidth, m_targetWidth);
    m_scaleY = AxisScale(m_sourceHeight, m_targetHeight);
    m_tapRadiusX = TapRadius(m_radius, m_scaleX);
    m_tapRadiusY = TapRadius(m_radius, m_scaleY);
    m_tapsX = 2 * m_tapRadiusX;
    m_tapsY = 2 * m_tapRadiusY;

    m_kernelValues.resize(std::size_t(std::max(m_tapsX, m_tapsY)));
    m_weightsX.resize(TableSize(m_targetWidth, m_tapsX));
    m_weightsY.resize(TableSize(m_targetHeight, m_tapsY));
    for (int set = 0; set < 2; ++set)
    {
        for (std::vector<std::int64_t>& channel : m_channelSums[std::size_t(set)])
            channel.resize(std::size_t(m_tapsY));
        m_rowPointers[std::size_t(set)].resize(std::size_t(m_tapsY));
    }

    m_sourceX = MapCoordinates(m_targetWidth, m_scaleX, m_sourceWidth);
    m_sourceY = MapCoordinates(m_targetHeight, m_scaleY, m_sourceHeight);

    BuildWeights(m_targetWidth, m_weightsX, m_sourceX, m_scaleX, m_tapRadiusX);
    BuildWeights(m_targetHeight, m_weightsY, m_sourceY, m_scaleY, m_tapRadiusY);

    // Set here: the block is declared after the pointer, so it does not
    // exist yet while the pointer is initialised.
    unsigned char* clamp = m_clampBlock.data() + kClampOrigin;
    for (int v = kClampLow; v <= kClampHigh; ++v)
        clamp[v] = static_cast<unsigned char>(std::clamp(v, 0, 255));
    m_clamp = clamp;

    m_needsClampX.resize(std::size_t(m_targetWidth));
    for (int x = 0; x < m_targetWidth; ++x)
    {
        const std::int64_t first =
            static_cast<std::int64_t>(std::floor(m_sourceX[std::size_t(x)])) - (m_tapRadiusX - 1);
        m_needsClampX[std::size_t(x)] = first < 0 || first + m_tapsX > m_sourceWidth - 1;
    }
    m_fast = std::make_unique<FastResize>(*this);
}

CResize::~CResize() = default;

void CResize::ComputeRows(int firstRow, int rowCount, unsigned char* first, std::ptrdiff_t stride,
                          int worker)
{
    m_fast->ComputeRows(firstRow, rowCount, first, stride, worker);
}

bool CResize::UsesNarrowSums() const
{
    return m_fast->SumsUsed() == FastResize::Sums::Narrow;
}

bool CResize::UsesAvx2Horizontal() const
{
    return m_fast->UsesAvx2Horizontal();
}

double CResize::KernelValue(std::int32_t tapRadius, double x, double i0Beta) const
{
    switch (m_kernel)
    {
    case Lanczos:
        return LanczosKernel(tapRadius, x);
    case Blackman:
        return BlackmanKernel(tapRadius, x);
    case BlackmanHarris:
        return BlackmanHarrisKernel(tapRadius, x);
    default:
        return KaiserKernel(tapRadius, x, m_kernelParameter, i0Beta);
    }
}

void CResize::BuildWeights(int count, std::vector<std::int32_t>& table,
                           const std::vector<double>& coordinates, double scale,
                           std::int32_t tapRadius)
{
    const double i0Beta = m_kernel == Kaiser ? BesselI0(m_kernelParameter) : 0.0;
    const std::int32_t taps = 2 * tapRadius;
    // A row is a function of its first offset alone: rows with the same
    // offset (every row of a whole-number reduction) are computed once.
    std::unordered_map<std::uint64_t, int> rowOfOffset;
    for (int j = 0; j < count; ++j)
    {
        const double c = coordinates[std::size_t(j)];
        double t = (std::floor(c) - c) - static_cast<double>(tapRadius - 1);
        std::uint64_t offsetBits;
        std::memcpy(&offsetBits, &t, sizeof offsetBits);
        const auto known = rowOfOffset.emplace(offsetBits, j);
        if (!known.second)
        {
            std::copy_n(&table[std::size_t(known.first->second) * std::size_t(taps)], taps,
                        &table[std::size_t(j) * std::size_t(taps)]);
            continue;
        }
        double step = 1.0;
        if (scale > 1.0)
        {
            // Stretch the kernel so that its zero crossings fall every
            // scale source pixels.
            const double inv = 1.0 / scale;
            t = t * inv;
            step = inv;
        }
        double sum = 0.0;
        for (std::int32_t k = 0; k < taps; ++k)
        {
            m_kernelValues[std::size_t(k)] = KernelValue(tapRadius, t, i0Beta);
            sum = sum + m_kernelValues[std::size_t(k)];
            // Repeated addition, not t0 + k step: the tables depend on it.
            t = t + step;
        }

        const double norm = 1.0 / sum;
        std::int32_t* row = &table[std::size_t(j) * std::size_t(taps)];
        std::int64_t magnitude = 0;
        for (std::int32_t k = 0; k < taps; ++k)
        {
            // Ties to even under the default rounding mode. The rounded
            // weights are not corrected to sum to kWeightUnit.
            const double weight =
                std::nearbyint((double(kWeightUnit) * m_kernelValues[std::size_t(k)]) * norm);
            if (!(std::fabs(weight) <= double(kMaxRowMagnitude)))
                throw std::domain_error(
                    "resampling kernel gives weights that cannot be normalised");
            row[k] = static_cast<std::int32_t>(weight);
            magnitude += std::abs(std::int64_t(row[k]));
        }
        if (magnitude > kMaxRowMagnitude)
            throw std::domain_error("resampling kernel gives weights that cannot be normalised");
    }
}

void CResize::ResizeRow(int y, unsigned char* out, int worker)
{
    const std::size_t set = worker == 1 ? 0 : 1;
    std::vector<const unsigned char*>& rows = m_rowPointers[set];
    ChannelSums& sums = m_channelSums[set];

    const std::int64_t first =
        static_cast<std::int64_t>(std::floor(m_sourceY[std::size_t(y)])) - (m_tapRadiusY - 1);
    const std::size_t rowBytes = std::size_t(m_sourceWidth) * std::size_t(m_bytesPerPixel);
    for (std::int32_t i = 0; i < m_tapsY; ++i)
    {
        // Rows beyond the top and bottom edges repeat the edge rows.
        const std::int64_t r = std::clamp<std::int64_t>(first + i, 0, m_sourceHeight - 1);
        rows[std::size_t(i)] = m_source + std::size_t(r) * rowBytes;
    }

    unsigned char pixel[4];
    for (int x = 0; x < m_targetWidth; ++x)
    {
        ResizePixel(x, y, rows.data(), pixel, sums, m_sourceX[std::size_t(x)]);
        std::memcpy(out, pixel, std::size_t(m_bytesPerPixel));
        out += m_bytesPerPixel;
    }
}

void CResize::ResizePixel(int x, int y, const unsigned char* const* rows, unsigned char* pixel,
                          ChannelSums& sums, double sourceX) const
{
    if (m_bytesPerPixel == 4)
        ResizePixelChannels<4>(x, y, rows, pixel, sums, sourceX);
    else
        ResizePixelChannels<3>(x, y, rows, pixel, sums, sourceX);
}

template <int Channels>
void CResize::ResizePixelChannels(int x, int y, const unsigned char* const* rows,
                                  unsigned char* pixel, ChannelSums& sums, double sourceX) const
{
    const std::int64_t firstX = static_cast<std::int64_t>(std::floor(sourceX)) - (m_tapRadiusX - 1);
    const std::int32_t* wx = WeightsX(x);
    const bool clampTaps = m_needsClampX[std::size_t(x)] != 0;

    for (std::int32_t i = 0; i < m_tapsY; ++i)
    {
        std::int64_t accumulator[Channels] = {};
        if (!clampTaps)
        {
            const unsigned char* p = rows[i] + firstX * Channels;
            for (std::int32_t k = 0; k < m_tapsX; ++k, p += Channels)
                for (int c = 0; c < Channels; ++c)
                    accumulator[c] += std::int64_t(p[c]) * wx[k];
        }
        else
        {
            // Columns beyond the left and right edges repeat the edge columns.
            for (std::int32_t k = 0; k < m_tapsX; ++k)
            {
                const std::int64_t column =
                    std::clamp<std::int64_t>(firstX + k, 0, m_sourceWidth - 1);
                const unsigned char* p = rows[i] + column * Channels;
                for (int c = 0; c < Channels; ++c)
                    accumulator[c] += std::int64_t(p[c]) * wx[k];
            }
        }
        for (int c = 0; c < Channels; ++c)
            sums[std::size_t(c)][std::size_t(i)] = accumulator[c];
    }

    const std::int32_t* wy = WeightsY(y);
    for (int c = 0; c < Channels; ++c)
    {
        const std::vector<std::int64_t>& channel = sums[std::size_t(c)];
        std::int64_t v = 0;
        for (std::int32_t i = 0; i < m_tapsY; ++i)
            v += channel[std::size_t(i)] * wy[i];
        // Arithmetic shift: floor(v / 2^kWeightShift), no rounding offset.
        v >>= kWeightShift;
        // Sums can reach past the table; pin them into it first.
        pixel[c] = m_clamp[std::clamp<std::int64_t>(v, kClampLow, kClampHigh)];
    }
}

std::int32_t CResize::SourceRowsFor(int firstRow, int rowCount) const
{
    std::int64_t rows = 0;
    for (int y = firstRow; y < firstRow + rowCount; ++y)
    {
        // The last tap of the row, as ResizeRow and ComputeRows clamp it.
        const std::int64_t first =
            static_cast<std::int64_t>(std::floor(m_sourceY[std::size_t(y)])) - (m_tapRadiusY - 1);
        rows = std::max(rows, std::clamp<std::int64_t>(first + m_tapsY, 1, m_sourceHeight));
    }
    return static_cast<std::int32_t>(rows);
}
