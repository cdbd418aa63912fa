#include "job/WriteExifToBytes.h"
#include "job/ByteOutputStream.h"
#include "tests/job/JobFixtures.h"

#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>

#include <vector>
#include <wx/image.h>
#include <wx/mstream.h>

#include <memory>
#include <string>

namespace
{

std::string Encode(const wxImage& image, wxBitmapType type)
{
    ByteOutputStream stream;
    EXPECT_TRUE(image.SaveFile(stream, type));
    return stream.Bytes();
}

std::unique_ptr<Exiv2::Image> OpenBytes(const std::string& bytes)
{
    std::unique_ptr<Exiv2::Image> image(
        Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.data()),
                                  static_cast<long>(bytes.size()))
            .release());
    image->readMetadata();
    return image;
}

std::string ReadBack(Exiv2::Image& image)
{
    Exiv2::BasicIo& io = image.io();
    io.seek(0, Exiv2::BasicIo::beg);
    const Exiv2::DataBuf buffer = io.read(static_cast<long>(io.size()));
    return std::string(reinterpret_cast<const char*>(buffer.pData_),
                       static_cast<size_t>(buffer.size_));
}

wxImage Pattern()
{
    wxImage image(24, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            image.SetRGB(x, y, x * 10, y * 15, (x + y) * 5);
    return image;
}

// Bytes an encoder might have written with more than pixels in them: a
// profile, which must survive, and XMP, IPTC and a comment, which must not.
TEST(WriteExifToBytes, KeepsTheEncodedProfileAndCarriesNothingButExif)
{
    const std::string profile = FakeProfile(3000);
    std::string encoded;
    {
        // The library reads from these bytes without copying them.
        const std::string plain = Encode(Pattern(), wxBITMAP_TYPE_PNG);
        std::unique_ptr<Exiv2::Image> decorated = OpenBytes(plain);
        Exiv2::DataBuf buffer(reinterpret_cast<const Exiv2::byte*>(profile.data()),
                              static_cast<long>(profile.size()));
        decorated->setIccProfile(buffer, false);
        decorated->xmpData()["Xmp.dc.title"] = "not carried";
        decorated->iptcData()["Iptc.Application2.Keywords"] = "not carried";
        decorated->setComment("not carried");
        decorated->writeMetadata();
        encoded = ReadBack(*decorated);
    }

    Exiv2::ExifData exifData;
    exifData["Exif.Image.Make"] = "Quillon";
    exifData["Exif.Photo.PixelXDimension"] = int32_t(24);
    const std::string written = WriteExifToBytes(
        encoded, exifData, std::vector<unsigned char>(profile.begin(), profile.end()));

    std::unique_ptr<Exiv2::Image> result = OpenBytes(written);
    EXPECT_EQ(result->exifData()["Exif.Image.Make"].toString(), "Quillon");
    EXPECT_EQ(result->exifData()["Exif.Photo.PixelXDimension"].toLong(), 24);
    ASSERT_TRUE(result->iccProfileDefined());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(result->iccProfile()->pData_),
                          static_cast<size_t>(result->iccProfile()->size_)),
              profile);
    EXPECT_TRUE(result->xmpData().empty());
    EXPECT_TRUE(result->iptcData().empty());
    EXPECT_EQ(result->comment(), "");

    wxImage decoded;
    std::unique_ptr<wxInputStream> stream(new wxMemoryInputStream(written.data(), written.size()));
    ASSERT_TRUE(decoded.LoadFile(*stream, wxBITMAP_TYPE_PNG));
    EXPECT_EQ(decoded.GetWidth(), 24);
}

TEST(WriteExifToBytes, FormatsThatCannotCarryExifThrow)
{
    Exiv2::ExifData exifData;
    exifData["Exif.Image.Make"] = "Quillon";
    const wxBitmapType types[] = {wxBITMAP_TYPE_XPM, wxBITMAP_TYPE_BMP};
    for (wxBitmapType type : types)
    {
        const std::string encoded = Encode(Pattern(), type);
        EXPECT_THROW(WriteExifToBytes(encoded, exifData, {}), Exiv2::AnyError) << "type " << type;
    }
    EXPECT_THROW(WriteExifToBytes(std::string(), exifData, {}), Exiv2::AnyError);
}

} // namespace
