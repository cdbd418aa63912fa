#pragma once

#include "resample/CResize.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

/// The fast form of CResize's filter, byte for byte the same as ResizeRow.
///
/// For each target row it forms the vertical sums of every source column
/// once, then the horizontal sums of the target pixels over them, instead
/// of every horizontal sum again for every target pixel. All sums are exact
/// integers and only the total is shifted, so the order in which they are
/// formed changes no output value as long as nothing overflows: the
/// horizontal sums are 32-bit where the weight tables bound every partial
/// sum below 2^31 and 64-bit otherwise. Columns past the edges repeat the
/// edge columns, as the reference clamps them.
///
/// The tables of the engine are read-only; each worker number has its own
/// scratch, so two workers may run at the same time on disjoint rows. The
/// constructor allocates everything: computing rows allocates nothing and
/// so cannot throw on a worker thread.
class FastResize
{
public:
    enum class Sums
    {
        Narrow, // 32-bit vertical and horizontal sums
        Wide,   // 32-bit vertical, 64-bit horizontal sums
        // Weights so large that even a vertical sum may need more than 32
        // bits: the reference rows, which sum in 64 bits throughout.
        Reference,
    };

    explicit FastResize(CResize& engine);
    FastResize(const FastResize&) = delete;
    FastResize& operator=(const FastResize&) = delete;

    /// Computes rowCount target rows from firstRow on into first, each next
    /// row stride bytes further, with the scratch of the given worker (1, or
    /// any other number for the second set).
    void ComputeRows(int firstRow, int rowCount, unsigned char* first, std::ptrdiff_t stride,
                     int worker);

    Sums SumsUsed() const { return m_sums; }
    /// True when the hand-written AVX2 horizontal pass computes the rows.
    bool UsesAvx2Horizontal() const { return m_horizontalAvx2; }

    /// Lets engines made from now on use the AVX2 passes where the CPU has
    /// them (the default); false keeps them on the portable loops, so that
    /// tests can hold both to the reference.
    static void AllowAvx2(bool allowed);

    /// The inputs of one row's horizontal pass.
    struct HorizontalPass
    {
        // One plane of biased vertical sums per channel, planeStride apart.
        const std::int32_t* planes;
        std::size_t planeStride;
        // taps weights per target column.
        const std::int32_t* weights;
        int taps;
        const std::int32_t* firstTap;
        const std::int32_t* weightSum;
        int width;
        std::int64_t bias;
    };

    /// The shifted and pinned value of one target channel: floor(v / 2^s),
    /// s the weight shift, by an arithmetic shift, then held to a byte, as
    /// the reference's clamp table does.
    static unsigned char ToByte(std::int64_t v)
    {
        v >>= CResize::kWeightShift;
        return static_cast<unsigned char>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }

    /// Columns per step of the vertical pass: the sums of one step stay in
    /// the first-level cache while every tap row is added to them.
    static constexpr std::size_t kColumnChunk = 2048;

private:
    struct Scratch
    {
        // Vertical sums of one target row, interleaved like the source.
        std::vector<std::int32_t> columns;
        // The same sums less the row's bias, one channel at a time, edge
        // columns repeated on both sides so that no tap needs clamping.
        std::vector<std::int32_t> planes;
        std::vector<const unsigned char*> rows;
        std::vector<int> liveTaps;
    };

    void ComputeRow(int y, unsigned char* out, Scratch& s);

    CResize& m_engine;
    Sums m_sums = Sums::Reference;
    // The vertical pass on AVX2 with 16-bit weights.
    bool m_verticalAvx2 = false;
    // The horizontal pass on AVX2, with 32-bit sums.
    bool m_horizontalAvx2 = false;
    // For the AVX2 horizontal pass, the horizontal weights with each column
    // padded by zeros to a multiple of four taps.
    std::vector<std::int32_t> m_paddedWeightsX;
    int m_paddedTapsX = 0;
    // Per target row, the bias taken out of its vertical sums.
    std::vector<std::int64_t> m_bias;
    // Per target column, the sum of its horizontal weights.
    std::vector<std::int32_t> m_weightSum;
    // Per target column, its first tap as an index into a padded plane.
    std::vector<std::int32_t> m_firstTap;
    std::size_t m_padLeft = 0;
    std::size_t m_planeLength = 0;
    // Room between planes for the padded taps to read past the last column.
    std::size_t m_planeStride = 0;
    std::array<Scratch, 2> m_scratch;
};
