#pragma once

#include <cstdint>
#include <vector>

/// Resamples one interleaved 8-bit image (3 or 4 channels, rows packed) with
/// a separable windowed sinc filter in fixed point. Everything that depends
/// only on a target column or row is built by the constructor; afterwards
/// the object is read concurrently by up to two workers, each with its own
/// scratch set (worker 1, and any other number).
class CResize
{
public:
    /// Sizes of at least 1, radius >= 1, 3 or 4 bytes per pixel and a
    /// FilterKernel selector are the caller's duty. A target width or height
    /// of 0 builds no tables; ResizeRow must then not be called.
    CResize(int sourceWidth, int sourceHeight, const unsigned char* source, int targetWidth,
            int targetHeight, int radius, double kernelParameter, int bytesPerPixel, int kernel);

    CResize(const CResize&) = delete;
    CResize& operator=(const CResize&) = delete;

    /// Computes target row y into out (targetWidth x bytesPerPixel bytes)
    /// with the scratch set of worker.
    void ResizeRow(int y, unsigned char* out, int worker);

    /// Computes target pixel (x, y) into pixel[0..bytesPerPixel-1]; rows and
    /// sums are a worker's scratch set, sourceX is SourceX(x).
    void ResizePixel(int x, int y, const unsigned char* const* rows, unsigned char* pixel,
                     std::int64_t* const* sums, double sourceX) const;

    double ScaleX() const { return m_scaleX; }
    double ScaleY() const { return m_scaleY; }
    int TapRadiusX() const { return m_tapRadiusX; }
    int TapRadiusY() const { return m_tapRadiusY; }
    int TapsX() const { return m_tapsX; }
    int TapsY() const { return m_tapsY; }
    /// The TapsX() weights of target column x, 2048 for 1.0.
    const std::int32_t* WeightsX(int x) const { return &m_weightsX[std::size_t(x) * m_tapsX]; }
    const std::int32_t* WeightsY(int y) const { return &m_weightsY[std::size_t(y) * m_tapsY]; }
    double SourceX(int x) const { return m_sourceX[x]; }
    double SourceY(int y) const { return m_sourceY[y]; }
    bool NeedsClampX(int x) const { return m_needsClampX[x] != 0; }

private:
    void BuildWeights(int count, std::vector<std::int32_t>& table,
                      const std::vector<double>& coordinates, double scale, int tapRadius);
    double Kernel(int a, double x, double i0Beta) const;
    unsigned char Clamp(std::int64_t value) const;

    struct Scratch
    {
        std::vector<const unsigned char*> rowPointers;
        std::vector<std::int64_t> channelSums[4];
        std::int64_t* sums[4];
    };

    double m_scaleX = 0.0;
    double m_scaleY = 0.0;
    int m_radius;
    int m_tapRadiusX;
    int m_tapRadiusY;
    int m_tapsX;
    int m_tapsY;
    int m_targetWidth;
    int m_bytesPerPixel;
    std::vector<std::int32_t> m_weightsX;
    std::vector<std::int32_t> m_weightsY;
    const unsigned char* m_source;
    int m_sourceWidth;
    int m_sourceHeight;
    Scratch m_scratch[2];
    const unsigned char* m_clamp = nullptr;
    unsigned char m_clampBlock[1000] = {};
    std::vector<double> m_kernelValues;
    int m_kernel;
    double m_kernelParameter;
    std::vector<unsigned char> m_needsClampX;
    std::vector<double> m_sourceX;
    std::vector<double> m_sourceY;
};
