#include "codecs/TIFFDataBounds.h"

#include "codecs/DecodeLimits.h"

#include <algorithm>

namespace
{

// The most decoded bytes one coded byte can give, by compression; 0 where
// no bound is known (JPEG, which may be arithmetic-coded, LZMA, ZSTD, ...).
std::uint64_t MostBytesPerCodedByte(std::uint16_t compression, std::uint64_t scanlineBytes)
{
    switch (compression)
    {
    case COMPRESSION_NONE:
        return 1;
    case COMPRESSION_PACKBITS:
        return 64; // a two-byte run repeats one byte at most 128 times
    case COMPRESSION_LZW:
        // A code takes at least 9 bits and yields at most the table's
        // longest string of 3839 bytes: under 3413 bytes per coded byte.
        return 4096;
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
        return 1032; // deflate's ceiling: a 258-byte match in two bits
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
        // A row the same as the one above still takes one bit.
        return DecodeLimits::SaturatingProduct(8, scanlineBytes);
    default:
        return 0;
    }
}

} // namespace

TIFFDataBounds MeasureTIFFDataBounds(TIFF* tiff, std::uint64_t streamLength)
{
    TIFFDataBounds bounds{};
    const bool tiled = TIFFIsTiled(tiff) != 0;
    const std::uint32_t chunks = tiled ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
    for (std::uint32_t i = 0; i < chunks && bounds.presentBytes < streamLength; ++i)
    {
        const std::uint64_t offset = TIFFGetStrileOffset(tiff, i);
        if (offset < streamLength)
            bounds.presentBytes += std::min(TIFFGetStrileByteCount(tiff, i), streamLength - offset);
    }
    bounds.presentBytes = std::min(bounds.presentBytes, streamLength);

    std::uint16_t planar = PLANARCONFIG_CONTIG, samples = 1, compression = COMPRESSION_NONE;
    std::uint32_t height = 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    const std::uint64_t planes = planar == PLANARCONFIG_SEPARATE ? samples : 1;

    if (tiled)
    {
        bounds.chunkBytes = static_cast<std::uint64_t>(TIFFTileSize64(tiff));
        bounds.neededBytes = DecodeLimits::SaturatingProduct(bounds.chunkBytes, chunks);
    }
    else
    {
        bounds.chunkBytes = static_cast<std::uint64_t>(TIFFStripSize64(tiff));
        bounds.neededBytes =
            DecodeLimits::SaturatingProduct(TIFFVStripSize64(tiff, height), planes);
    }
    bounds.chunkBytes = DecodeLimits::SaturatingProduct(bounds.chunkBytes, planes);

    const std::uint64_t ratio =
        MostBytesPerCodedByte(compression, static_cast<std::uint64_t>(TIFFScanlineSize64(tiff)));
    bounds.mostDecodedBytes =
        ratio == 0 ? UINT64_MAX : DecodeLimits::SaturatingProduct(bounds.presentBytes, ratio);
    return bounds;
}
