#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class FastResize;

/// Resamples one image of interleaved 8-bit pixels (3 or 4 channels, rows
/// packed) with a separable windowed-sinc filter in fixed point.
///
/// Everything that depends only on a target column or row is computed by
/// the constructor, with both workers' scratch; afterwards the tables are
/// read-only and two workers may call ResizeRow or ComputeRows at the same
/// time, each with its own worker number (1, or any other number for the
/// second scratch set) and its own target rows.
///
/// ResizeRow and ResizePixel are the reference form of the filter: one
/// pixel at a time, both passes per pixel. ComputeRows is the fast form the
/// application uses (see FastResize); it reproduces their bytes exactly
/// from the same tables and allocates nothing.
class CResize
{
public:
    /// The fixed-point budget of the filter. A weight has kWeightBits
    /// fractional bits (2048 stands for 1.0): 11, so that a byte times a
    /// weight row fits 32 bits with room for the kernel's negative lobes. A
    /// horizontal sum then carries 2^11 per unit of pixel value and the
    /// vertical sum of horizontal sums 2^22, which the shift by kWeightShift
    /// takes back to pixel units, truncating toward minus infinity. Every
    /// weight row is checked to hold at most 2^24 in absolute value, so a
    /// horizontal sum stays below 2^8 * 2^24 = 2^32 and a vertical one below
    /// 2^32 * 2^24 = 2^56: 64-bit sums cannot overflow. 32-bit ones could,
    /// for patterns that follow the kernel's lobes; FastResize uses them
    /// only where its bounds show they cannot.
    static constexpr int kWeightBits = 11;
    static constexpr std::int32_t kWeightUnit = std::int32_t(1) << kWeightBits;
    static constexpr int kWeightShift = 2 * kWeightBits;

    /// Horizontal sums of one target pixel, per channel and vertical tap.
    using ChannelSums = std::array<std::vector<std::int64_t>, 4>;

    /// The source must stay valid and unchanged while the object lives.
    /// A target width or height of 0 (or less) gives an empty axis: its
    /// tables are empty and nothing may be computed on it.
    /// Throws std::invalid_argument for an unsupported kernel or channel
    /// count, std::length_error when a tap radius or a table cannot be
    /// held, std::domain_error when the kernel gives weights that cannot be
    /// normalised, and std::bad_alloc when memory runs out.
    CResize(int sourceWidth, int sourceHeight, const unsigned char* source, int targetWidth,
            int targetHeight, int radius, double kernelParameter, int bytesPerPixel, int kernel);
    CResize(const CResize&) = delete;
    CResize& operator=(const CResize&) = delete;
    ~CResize();

    /// Computes target row y into out (targetWidth x bytesPerPixel bytes)
    /// by the reference per-pixel form.
    void ResizeRow(int y, unsigned char* out, int worker);

    /// Computes rowCount target rows from firstRow on into first, each next
    /// row stride bytes further, with the same bytes as ResizeRow but the
    /// sums formed once per source column (see FastResize).
    void ComputeRows(int firstRow, int rowCount, unsigned char* first, std::ptrdiff_t stride,
                     int worker);
    /// How many source rows, from the top, target rows [firstRow, firstRow +
    /// rowCount) read: a source still being decoded must have them first.
    std::int32_t SourceRowsFor(int firstRow, int rowCount) const;

    /// True when ComputeRows can use 32-bit sums for these tables.
    bool UsesNarrowSums() const;
    /// True when ComputeRows runs the AVX2 horizontal pass.
    bool UsesAvx2Horizontal() const;

    /// Computes target pixel (x, y) into pixel (4 bytes, the first
    /// bytesPerPixel of them meaningful). rows holds the TapsY() source rows
    /// of row y; sums is the worker's scratch; sourceX is SourceX(x).
    void ResizePixel(int x, int y, const unsigned char* const* rows, unsigned char* pixel,
                     ChannelSums& sums, double sourceX) const;

    double ScaleX() const { return m_scaleX; }
    double ScaleY() const { return m_scaleY; }
    std::int32_t TapRadiusX() const { return m_tapRadiusX; }
    std::int32_t TapRadiusY() const { return m_tapRadiusY; }
    std::int32_t TapsX() const { return m_tapsX; }
    std::int32_t TapsY() const { return m_tapsY; }
    std::int32_t TargetWidth() const { return m_targetWidth; }
    std::int32_t TargetHeight() const { return m_targetHeight; }
    std::int32_t SourceWidth() const { return m_sourceWidth; }
    std::int32_t SourceHeight() const { return m_sourceHeight; }
    std::int32_t BytesPerPixel() const { return m_bytesPerPixel; }
    const unsigned char* Source() const { return m_source; }

    /// The TapsX() weights of target column x, kWeightUnit standing for 1.0.
    const std::int32_t* WeightsX(int x) const { return &m_weightsX[std::size_t(x) * m_tapsX]; }
    /// The TapsY() weights of target row y.
    const std::int32_t* WeightsY(int y) const { return &m_weightsY[std::size_t(y) * m_tapsY]; }
    double SourceX(int x) const { return m_sourceX[x]; }
    double SourceY(int y) const { return m_sourceY[y]; }
    /// True when some tap of column x lies outside the source row (or the
    /// last tap is the last column), so that each tap is clamped.
    bool NeedsClampX(int x) const { return m_needsClampX[x] != 0; }
    /// Byte clamp table, indexed from -348 to 639.
    const unsigned char* ClampTable() const { return m_clamp; }

    /// Lowest and highest index of the clamp table.
    static constexpr int kClampLow = -348;
    static constexpr int kClampHigh = 639;

private:
    void BuildWeights(int count, std::vector<std::int32_t>& table,
                      const std::vector<double>& coordinates, double scale, std::int32_t tapRadius);
    double KernelValue(std::int32_t tapRadius, double x, double i0Beta) const;

    template <int Channels>
    void ResizePixelChannels(int x, int y, const unsigned char* const* rows, unsigned char* pixel,
                             ChannelSums& sums, double sourceX) const;

    double m_scaleX = 0.0;
    double m_scaleY = 0.0;
    std::int32_t m_radius;
    std::int32_t m_tapRadiusX = 0;
    std::int32_t m_tapRadiusY = 0;
    std::int32_t m_tapsX = 0;
    std::int32_t m_tapsY = 0;
    std::int32_t m_targetWidth;
    std::int32_t m_targetHeight;
    std::int32_t m_bytesPerPixel;
    std::vector<std::int32_t> m_weightsX;
    std::vector<std::int32_t> m_weightsY;
    const unsigned char* m_source;
    std::int32_t m_sourceWidth;
    std::int32_t m_sourceHeight;
    // One scratch set per worker: index 0 for worker 1, index 1 for the other.
    std::array<ChannelSums, 2> m_channelSums;
    std::array<std::vector<const unsigned char*>, 2> m_rowPointers;
    const unsigned char* m_clamp = nullptr;
    std::array<unsigned char, 1000> m_clampBlock{};
    std::vector<double> m_kernelValues;
    std::int32_t m_kernel;
    double m_kernelParameter;
    std::vector<std::uint8_t> m_needsClampX;
    std::vector<double> m_sourceX;
    std::vector<double> m_sourceY;
    std::unique_ptr<FastResize> m_fast;
};
