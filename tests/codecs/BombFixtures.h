#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Files for the decoders' size and data limits, made in code with libjpeg
// and libtiff alone, so that the benchmark can build the same ones.

/// One 8-bit sample of a picture: channel 0 to 2 of the pixel at (x, y).
using SampleFunction = unsigned char (*)(std::uint32_t x, std::uint32_t y, int channel);

/// Smooth gradients, hard edges and fine noise, coded much like a photo.
unsigned char PhotoLikeSample(std::uint32_t x, std::uint32_t y, int channel);
/// One colour everywhere: the least data a coder can give a picture.
unsigned char UniformSample(std::uint32_t x, std::uint32_t y, int channel);

struct JpegPicture
{
    std::uint32_t width = 16;
    std::uint32_t height = 16;
    SampleFunction sample = PhotoLikeSample;
    int quality = 90;
    bool grayscale = false;
    bool progressive = false;
    bool arithmetic = false;
    bool optimize = false; // Huffman tables fitted to the picture
};

/// The picture coded by libjpeg, one generated row at a time.
std::string EncodeJpeg(const JpegPicture& picture);

/// jpeg with the size in its frame header replaced.
std::string WithJpegFrameSize(std::string jpeg, std::uint16_t width, std::uint16_t height);

/// The number of start-of-scan markers in jpeg.
int CountJpegScans(const std::string& jpeg);

/// The offset of the first scan's coded data: all before it is headers.
size_t JpegFirstScanData(const std::string& jpeg);

/// jpeg (progressive) with its last scan repeated until the file holds
/// scans scans. The decoder warns of the bogus progression and goes on.
std::string WithJpegScanCount(const std::string& jpeg, int scans);

struct TiffPicture
{
    std::uint32_t width = 16;
    std::uint32_t height = 16;
    SampleFunction sample = UniformSample;
    std::uint16_t compression = 1;  // COMPRESSION_NONE
    std::uint32_t rowsPerStrip = 0; // 0: the library's default
};

/// An 8-bit RGB TIFF written by libtiff.
std::string EncodeTiff(const TiffPicture& picture);

/// A little-endian 8-bit RGB TIFF that declares width x height and
/// compression, with one strip holding just the bytes of strip. With
/// rowsPerStrip set the picture declares that many rows per strip, though
/// the file still lists one strip. samplesPerPixel may declare more
/// samples than RGB's three.
std::string TiffDeclaring(std::uint32_t width, std::uint32_t height, std::uint16_t compression,
                          const std::string& strip, std::uint32_t rowsPerStrip = 0,
                          std::uint16_t samplesPerPixel = 3);
