#include "codecs/DecodeLimits.h"

#include "platform/PhysicalMemory.h"

#include <climits>

namespace
{

// Decoding a picture of up to 16 megapixels from no data at all takes a
// fraction of a second and about 50 MB, no more than any real file of that
// size: the data rule would only change what small truncated files give.
constexpr std::uint64_t kDataRuleMinPixels = std::uint64_t(1) << 24;

// A file cut off early still loads with what it has; one whose data could
// not code even an eighth of its picture is no picture, only a header.
constexpr std::uint64_t kDataShortfall = 8;

// The raster takes 4 bytes a pixel and a real strip at most 32 (four 64-bit
// samples): 16 times the raster leaves room for tiles past the picture's
// edges and for extra samples. Blocks under 64 MiB cost too little to judge.
constexpr std::uint64_t kBlockPerPictureByte = 16;
constexpr std::uint64_t kBlockFloorBytes = std::uint64_t(64) << 20;

} // namespace

DecodeLimits::Verdict DecodeLimits::Judge(std::uint64_t width, std::uint64_t height,
                                          std::uint64_t imageBytes, std::uint64_t workBytes)
{
    // Each side fits in 32 bits, so the product cannot wrap.
    if (width > UINT32_MAX || height > UINT32_MAX || width * height > kMaxPixels ||
        imageBytes > static_cast<std::uint64_t>(INT_MAX))
        return Verdict::TooManyPixels;
    const std::uint64_t budget = MemoryBudget();
    if (imageBytes > budget || workBytes > budget - imageBytes)
        return Verdict::TooMuchMemory;
    return Verdict::Fits;
}

std::uint64_t DecodeLimits::MemoryBudget()
{
    const std::uint64_t physical = PhysicalMemoryBytes();
    return physical == 0 ? UINT64_MAX : physical / 2;
}

bool DecodeLimits::HoldsFarTooLittleData(std::uint64_t pixels, std::uint64_t mostDecodable,
                                         std::uint64_t needed)
{
    return pixels >= kDataRuleMinPixels &&
           SaturatingProduct(mostDecodable, kDataShortfall) < needed;
}

bool DecodeLimits::BlockFarExceedsPicture(std::uint64_t blockBytes, std::uint64_t pictureBytes)
{
    return blockBytes > kBlockFloorBytes &&
           blockBytes > SaturatingProduct(pictureBytes, kBlockPerPictureByte);
}

std::uint64_t DecodeLimits::SaturatingProduct(std::uint64_t a, std::uint64_t b)
{
    std::uint64_t product;
    return __builtin_mul_overflow(a, b, &product) ? UINT64_MAX : product;
}
