#include "tests/codecs/CodecTestSupport.h"

#include "codecs/qlJPEGHandler.h"
#include "codecs/qlTIFFHandler.h"
#include "tests/support/EncodeJpegToMemory.h"

#include <wx/mstream.h>

#include <cstdio>
#include <jpeglib.h>

std::vector<JpegSegment> ReadJpegSegments(const std::string& jpeg)
{
    std::vector<JpegSegment> segments;
    size_t pos = 2; // after the start of image
    while (pos + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[pos]) == 0xFF)
    {
        const int code = static_cast<unsigned char>(jpeg[pos + 1]);
        if (code == 0xDA)
            break;
        const size_t length = static_cast<unsigned char>(jpeg[pos + 2]) * 256u +
                              static_cast<unsigned char>(jpeg[pos + 3]);
        segments.push_back({code, jpeg.substr(pos + 4, length - 2)});
        pos += 2 + length;
    }
    return segments;
}

std::string WriteJpeg(const JpegFixture& fixture)
{
    JpegEncoding encoding;
    encoding.width = static_cast<std::uint32_t>(fixture.width);
    encoding.height = static_cast<std::uint32_t>(fixture.height);
    encoding.inputSpace = fixture.colorSpace == JCS_YCCK ? JCS_CMYK : fixture.colorSpace;
    encoding.storedSpace = fixture.colorSpace;
    encoding.quality = 95;
    const int components = JpegComponents(encoding.inputSpace);
    const std::vector<unsigned char>& pixels = fixture.pixels;
    // Samples the fixture leaves out are mid-grey.
    encoding.sample =
        [&pixels, components, width = encoding.width](std::uint32_t x, std::uint32_t y, int c)
    {
        const size_t at = (static_cast<size_t>(y) * width + x) * components + c;
        return at < pixels.size() ? pixels[at] : static_cast<unsigned char>(128);
    };
    for (const std::string& marker : fixture.app2)
        encoding.markers.push_back({JPEG_APP0 + 2, marker});
    return EncodeJpegToMemory(encoding);
}

std::string IccMarker(int sequence, int total, const std::string& piece)
{
    std::string marker("ICC_PROFILE", 12);
    marker += static_cast<char>(sequence);
    marker += static_cast<char>(total);
    return marker + piece;
}

std::string PatternBytes(size_t length, unsigned seed)
{
    std::string bytes(length, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (char& c : bytes)
    {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return bytes;
}

wxImage MakeRgbImage(int width, int height)
{
    wxImage image(width, height, false);
    unsigned char* data = image.GetData();
    for (int i = 0; i < width * height * 3; ++i)
        data[i] = static_cast<unsigned char>(i * 7 + 3);
    return image;
}

wxImageHandler* JpegHandler()
{
    return wxImage::FindHandler(wxBITMAP_TYPE_JPEG);
}

wxImageHandler* TiffHandler()
{
    return wxImage::FindHandler(wxBITMAP_TYPE_TIF);
}

bool SaveToMemory(wxImageHandler* handler, wxImage& image, std::string* bytes, bool verbose)
{
    wxMemoryOutputStream stream;
    const bool ok = handler->SaveFile(&image, stream, verbose);
    bytes->resize(stream.GetLength());
    stream.CopyTo(&(*bytes)[0], bytes->size());
    return ok;
}

bool LoadFromMemory(wxImageHandler* handler, wxImage& image, const std::string& bytes, bool verbose,
                    int index)
{
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    return handler->LoadFile(&image, stream, verbose, index);
}

std::vector<int> TiffTagNumbers(const std::string& tiff)
{
    const bool little = tiff.compare(0, 2, "II") == 0;
    auto u16 = [&](size_t at)
    {
        const unsigned a = static_cast<unsigned char>(tiff[at]);
        const unsigned b = static_cast<unsigned char>(tiff[at + 1]);
        return little ? a | b << 8 : a << 8 | b;
    };
    auto u32 = [&](size_t at)
    {
        return little ? u16(at) | static_cast<unsigned long>(u16(at + 2)) << 16
                      : static_cast<unsigned long>(u16(at)) << 16 | u16(at + 2);
    };
    std::vector<int> tags;
    const size_t ifd = u32(4);
    const unsigned count = u16(ifd);
    for (unsigned i = 0; i < count; ++i)
        tags.push_back(static_cast<int>(u16(ifd + 2 + 12 * i)));
    return tags;
}
