#include "tests/codecs/BombFixtures.h"

#include "tests/support/EncodeJpegToMemory.h"

#include <jpeglib.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace
{

unsigned Byte(const std::string& bytes, size_t i)
{
    return static_cast<unsigned char>(bytes[i]);
}

// Where the marker after the entropy-coded data that starts at pos begins.
size_t EndOfEntropyData(const std::string& jpeg, size_t pos)
{
    while (pos + 1 < jpeg.size())
    {
        if (Byte(jpeg, pos) == 0xFF && Byte(jpeg, pos + 1) != 0x00 &&
            (Byte(jpeg, pos + 1) < 0xD0 || Byte(jpeg, pos + 1) > 0xD7))
            return pos;
        ++pos;
    }
    return jpeg.size();
}

// The start of every scan (its SOS marker) and where its data ends.
std::vector<std::pair<size_t, size_t>> ScanSpans(const std::string& jpeg)
{
    std::vector<std::pair<size_t, size_t>> spans;
    size_t pos = 2;
    while (pos + 4 <= jpeg.size() && Byte(jpeg, pos) == 0xFF)
    {
        const unsigned code = Byte(jpeg, pos + 1);
        if (code == 0xD9)
            break;
        const size_t length = Byte(jpeg, pos + 2) * 256u + Byte(jpeg, pos + 3);
        if (code == 0xDA)
        {
            const size_t end = EndOfEntropyData(jpeg, pos + 2 + length);
            spans.emplace_back(pos, end);
            pos = end;
        }
        else
            pos += 2 + length;
    }
    return spans;
}

// libtiff on a growing string, so that no file is needed.
struct MemoryFile
{
    std::string bytes;
    toff_t position = 0;
};

extern "C" tmsize_t MemoryRead(thandle_t, void*, tmsize_t) noexcept
{
    return -1;
}

extern "C" tmsize_t MemoryWrite(thandle_t handle, void* data, tmsize_t size) noexcept
{
    auto* file = static_cast<MemoryFile*>(handle);
    const size_t end = static_cast<size_t>(file->position) + static_cast<size_t>(size);
    if (file->bytes.size() < end)
        file->bytes.resize(end);
    std::copy_n(static_cast<const char*>(data), size, file->bytes.begin() + file->position);
    file->position = end;
    return size;
}

extern "C" toff_t MemorySeek(thandle_t handle, toff_t offset, int whence) noexcept
{
    auto* file = static_cast<MemoryFile*>(handle);
    if (whence == SEEK_CUR)
        offset += file->position;
    else if (whence == SEEK_END)
        offset += file->bytes.size();
    if (file->bytes.size() < offset)
        file->bytes.resize(offset);
    file->position = offset;
    return offset;
}

extern "C" int MemoryClose(thandle_t) noexcept
{
    return 0;
}

extern "C" toff_t MemorySize(thandle_t handle) noexcept
{
    return static_cast<MemoryFile*>(handle)->bytes.size();
}

extern "C" int MemoryMap(thandle_t, void**, toff_t*) noexcept
{
    return 0;
}

extern "C" void MemoryUnmap(thandle_t, void*, toff_t) noexcept {}

struct TIFFCloser
{
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

void Put16(std::string& out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

unsigned char PhotoLikeSample(std::uint32_t x, std::uint32_t y, int channel)
{
    std::uint32_t noise = x * 374761393u + y * 668265263u + static_cast<std::uint32_t>(channel);
    noise = (noise ^ (noise >> 13)) * 1274126177u;
    const std::uint32_t gradient = (x / 37 + y / 23 + static_cast<std::uint32_t>(channel) * 50);
    const std::uint32_t edge = ((x / 256 + y / 192) % 2) * 70;
    return static_cast<unsigned char>((gradient + edge + (noise >> 28)) & 0xFF);
}

unsigned char UniformSample(std::uint32_t, std::uint32_t, int channel)
{
    return static_cast<unsigned char>(90 + channel * 40);
}

std::string EncodeJpeg(const JpegPicture& picture)
{
    JpegEncoding encoding;
    encoding.width = picture.width;
    encoding.height = picture.height;
    encoding.inputSpace = picture.grayscale ? JCS_GRAYSCALE : JCS_RGB;
    encoding.sample = picture.sample;
    encoding.quality = picture.quality;
    encoding.progressive = picture.progressive;
    encoding.arithmetic = picture.arithmetic;
    encoding.optimize = picture.optimize;
    return EncodeJpegToMemory(encoding);
}

std::string WithJpegFrameSize(std::string jpeg, std::uint16_t width, std::uint16_t height)
{
    size_t pos = 2;
    while (pos + 9 <= jpeg.size() && Byte(jpeg, pos) == 0xFF)
    {
        const unsigned code = Byte(jpeg, pos + 1);
        if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC)
        {
            jpeg[pos + 5] = static_cast<char>(height >> 8);
            jpeg[pos + 6] = static_cast<char>(height & 0xFF);
            jpeg[pos + 7] = static_cast<char>(width >> 8);
            jpeg[pos + 8] = static_cast<char>(width & 0xFF);
            return jpeg;
        }
        pos += 2 + Byte(jpeg, pos + 2) * 256u + Byte(jpeg, pos + 3);
    }
    throw std::invalid_argument("no frame header in the JPEG");
}

int CountJpegScans(const std::string& jpeg)
{
    return static_cast<int>(ScanSpans(jpeg).size());
}

size_t JpegFirstScanData(const std::string& jpeg)
{
    const std::vector<std::pair<size_t, size_t>> spans = ScanSpans(jpeg);
    if (spans.empty())
        throw std::invalid_argument("no scan in the JPEG");
    const size_t sos = spans.front().first;
    return sos + 2 + Byte(jpeg, sos + 2) * 256u + Byte(jpeg, sos + 3);
}

std::string WithJpegScanCount(const std::string& jpeg, int scans)
{
    const std::vector<std::pair<size_t, size_t>> spans = ScanSpans(jpeg);
    if (spans.empty() || static_cast<int>(spans.size()) > scans)
        throw std::invalid_argument("cannot reach that scan count");
    const std::string last =
        jpeg.substr(spans.back().first, spans.back().second - spans.back().first);
    std::string out = jpeg.substr(0, spans.back().second);
    for (int i = static_cast<int>(spans.size()); i < scans; ++i)
        out += last;
    return out + jpeg.substr(spans.back().second);
}

std::string EncodeTiff(const TiffPicture& picture)
{
    MemoryFile file;
    {
        std::unique_ptr<TIFF, TIFFCloser> tiff(TIFFClientOpen("fixture", "w", &file, MemoryRead,
                                                              MemoryWrite, MemorySeek, MemoryClose,
                                                              MemorySize, MemoryMap, MemoryUnmap));
        if (!tiff)
            throw std::runtime_error("libtiff cannot open a memory file");
        TIFF* t = tiff.get();
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, picture.width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, picture.height);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, picture.compression);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP,
                     picture.rowsPerStrip != 0 ? picture.rowsPerStrip : TIFFDefaultStripSize(t, 0));
        std::vector<unsigned char> row(static_cast<size_t>(picture.width) * 3);
        for (std::uint32_t y = 0; y < picture.height; ++y)
        {
            for (std::uint32_t x = 0; x < picture.width; ++x)
                for (int c = 0; c < 3; ++c)
                    row[x * 3 + c] = picture.sample(x, y, c);
            if (TIFFWriteScanline(t, row.data(), y, 0) < 0)
                throw std::runtime_error("libtiff cannot write a row");
        }
    }
    return file.bytes;
}

std::string TiffDeclaring(std::uint32_t width, std::uint32_t height, std::uint16_t compression,
                          const std::string& strip, std::uint32_t rowsPerStrip,
                          std::uint16_t samplesPerPixel)
{
    struct Entry
    {
        unsigned tag, type;
        std::uint32_t value;
    };
    constexpr unsigned kShort = 3, kLong = 4;
    constexpr std::uint32_t kStripOffset = 8;
    const Entry entries[] = {
        {256, kLong, width},
        {257, kLong, height},
        {258, kShort, 8},
        {259, kShort, compression},
        {262, kShort, 2}, // RGB
        {273, kLong, kStripOffset},
        {277, kShort, samplesPerPixel},
        {278, kLong, rowsPerStrip != 0 ? rowsPerStrip : height},
        {279, kLong, static_cast<std::uint32_t>(strip.size())},
        {284, kShort, 1},
    };
    const std::uint32_t directory =
        kStripOffset + static_cast<std::uint32_t>(strip.size() + 1) / 2 * 2;
    std::string out("II");
    Put16(out, 42);
    Put32(out, directory);
    out += strip;
    out.resize(directory, '\0');
    Put16(out, sizeof entries / sizeof entries[0]);
    for (const Entry& entry : entries)
    {
        Put16(out, entry.tag);
        Put16(out, entry.type);
        Put32(out, 1);
        if (entry.type == kShort)
        {
            Put16(out, entry.value);
            Put16(out, 0);
        }
        else
            Put32(out, entry.value);
    }
    Put32(out, 0);
    return out;
}
