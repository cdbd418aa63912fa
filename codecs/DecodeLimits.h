#pragma once

#include <cstdint>

/// What the decoders accept of the size a file declares, decided from the
/// header alone, before anything is allocated for the picture.
class DecodeLimits
{
public:
    enum class Verdict
    {
        Fits,
        TooManyPixels, // over a gigapixel, or more than the toolkit's int-sized buffer
        TooMuchMemory, // the decode's buffers would take over half of physical memory
    };

    /// More pixels than this are refused on any machine.
    static constexpr std::uint64_t kMaxPixels = 1000000000;

    /// Judges a picture of width x height whose RGB (or RGBA) buffer takes
    /// imageBytes and whose decode needs workBytes more at the same time.
    static Verdict Judge(std::uint64_t width, std::uint64_t height, std::uint64_t imageBytes,
                         std::uint64_t workBytes);

    /// Half of physical memory; the largest value when the system does not say.
    static std::uint64_t MemoryBudget();

    /// True when the data present could make up only a small part of the
    /// picture: mostDecodable, the most that the present data can code at
    /// the best ratio the coding allows, is under an eighth of needed (in
    /// the same unit). A truncated file keeps loading unless it lost nearly
    /// everything; pictures too small to be costly are never judged.
    static bool HoldsFarTooLittleData(std::uint64_t pixels, std::uint64_t mostDecodable,
                                      std::uint64_t needed);

    /// True when the largest block a decoder fills at once (a TIFF strip or
    /// tile, of every plane) takes far more than the decoded picture,
    /// pictureBytes, could: only a header that declares absurd samples or
    /// blocks asks for that. Blocks small in themselves always pass.
    static bool BlockFarExceedsPicture(std::uint64_t blockBytes, std::uint64_t pictureBytes);

    /// a x b, or the largest value when the product does not fit.
    static std::uint64_t SaturatingProduct(std::uint64_t a, std::uint64_t b);
};
