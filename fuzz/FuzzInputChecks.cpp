#include "fuzz/FuzzInputChecks.h"

#include "codecs/qlImage.h"
#include "codecs/qlJPEGHandler.h"
#include "codecs/qlTIFFHandler.h"
#include "fuzz/IccRecords.h"
#include "tests/support/EncodeJpegToMemory.h"

#include <wx/mstream.h>

#include <vector>

namespace
{

/// Reads the last pixel (and alpha) of a loaded image, so that a buffer
/// smaller than the image's size shows under the address sanitizer.
std::string CheckLoaded(bool loaded, const qlImage& image)
{
    if (loaded != image.IsOk())
        return loaded ? "the load succeeded without an image" : "the load failed with an image";
    if (!loaded)
        return std::string();
    if (image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return "the load succeeded with an empty image";
    const std::size_t pixels = std::size_t(image.GetWidth()) * std::size_t(image.GetHeight());
    volatile unsigned char last = image.GetData()[pixels * 3 - 1];
    (void)last;
    if (image.HasAlpha())
    {
        volatile unsigned char lastAlpha = image.GetAlpha()[pixels - 1];
        (void)lastAlpha;
    }
    return std::string();
}

/// An 8 x 8 colour JPEG, so the decoder's output space is RGB and the
/// handler keeps the profile.
std::string TinyJpeg()
{
    JpegEncoding encoding;
    encoding.width = 8;
    encoding.height = 8;
    encoding.sample = [](std::uint32_t, std::uint32_t, int) -> unsigned char { return 0; };
    return EncodeJpegToMemory(encoding);
}

} // namespace

std::string CheckJpegLoad(const std::uint8_t* data, std::size_t size, bool verbose)
{
    qlJPEGHandler handler;
    wxMemoryInputStream stream(data, size);
    qlImage image;
    return CheckLoaded(handler.LoadFile(&image, stream, verbose, -1), image);
}

std::string CheckTiffLoad(const std::uint8_t* data, std::size_t size, bool verbose)
{
    qlTIFFHandler handler;
    wxMemoryInputStream stream(data, size);
    const int count = handler.GetImageCount(stream);
    stream.SeekI(0);
    qlImage image;
    std::string failure = CheckLoaded(handler.LoadFile(&image, stream, verbose, -1), image);
    if (failure.empty() && count > 1)
    {
        stream.SeekI(0);
        qlImage last;
        failure = CheckLoaded(handler.LoadFile(&last, stream, verbose, count - 1), last);
        if (!failure.empty())
            failure = "image " + std::to_string(count - 1) + ": " + failure;
    }
    return failure;
}

std::string CheckIccReassembly(const std::uint8_t* data, std::size_t size, bool verbose)
{
    static const std::string base = TinyJpeg();

    std::vector<std::string> markers;
    std::string file = base.substr(0, 2); // SOI
    for (const IccRecord& record : ParseIccRecords(data, size))
    {
        markers.push_back(IccMarkerData(record));
        const std::size_t length = markers.back().size() + 2;
        file += '\xFF';
        file += '\xE2';
        file += char(length >> 8);
        file += char(length & 0xFF);
        file += markers.back();
    }
    file += base.substr(2);

    std::string expected;
    const bool hasProfile = ReassembleIccProfile(markers, expected);

    qlJPEGHandler handler;
    wxMemoryInputStream stream(file.data(), file.size());
    qlImage image;
    if (!handler.LoadFile(&image, stream, verbose, -1))
        return "a valid JPEG with " + std::to_string(markers.size()) +
               " APP2 markers failed to load";
    const std::string actual(reinterpret_cast<const char*>(image.GetICCProfile()),
                             image.GetICCProfileLength());
    if (hasProfile != (image.GetICCProfileLength() > 0) || actual != expected)
        return "profile mismatch: expected " + std::to_string(expected.size()) + " bytes (" +
               (hasProfile ? "present" : "none") + "), got " + std::to_string(actual.size());
    return std::string();
}
