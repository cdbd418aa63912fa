#include "job/UpdateExif.h"

#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace
{

const char* const SizeKeys[] = {"Exif.Image.ImageWidth", "Exif.Image.ImageLength",
                                "Exif.Photo.PixelXDimension", "Exif.Photo.PixelYDimension"};

/// Key to "type:count:value" for every tag but the ones UpdateExif may touch.
std::map<std::string, std::string> OtherTags(const Exiv2::ExifData& exifData)
{
    std::map<std::string, std::string> tags;
    for (const Exiv2::Exifdatum& datum : exifData)
    {
        const std::string key = datum.key();
        bool touched = key == "Exif.Image.Software";
        for (const char* sizeKey : SizeKeys)
            touched = touched || key == sizeKey;
        if (!touched)
            tags[key] = std::to_string(datum.typeId()) + ":" + std::to_string(datum.count()) + ":" +
                        datum.toString();
    }
    return tags;
}

Exiv2::ExifData CameraExif()
{
    Exiv2::ExifData exifData;
    exifData["Exif.Image.Make"] = "Quillon";
    exifData["Exif.Image.Model"] = "QX-1";
    exifData["Exif.Image.Orientation"] = uint16_t(6);
    exifData["Exif.Image.XResolution"] = Exiv2::URational(300, 1);
    exifData["Exif.Image.YResolution"] = Exiv2::URational(300, 1);
    exifData["Exif.Photo.DateTimeOriginal"] = "2024:05:01 10:00:00";
    exifData["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 250);
    return exifData;
}

void ExpectSingleSlong(const Exiv2::ExifData& exifData, const char* key, std::int32_t value)
{
    const auto entry = exifData.findKey(Exiv2::ExifKey(key));
    ASSERT_NE(entry, exifData.end()) << key;
    EXPECT_EQ(entry->typeId(), Exiv2::signedLong) << key;
    EXPECT_EQ(entry->count(), 1u) << key;
    EXPECT_EQ(entry->toLong(), value) << key;
}

TEST(UpdateExif, EmptyDataStaysEmpty)
{
    Exiv2::ExifData exifData;
    UpdateExif(exifData, 800, 533);
    EXPECT_TRUE(exifData.empty());
}

TEST(UpdateExif, SizeTagsPresentBecomeOneSlongAndAbsentOnesAreNotAdded)
{
    struct Case
    {
        const char* name;
        bool width, length, pixelX, pixelY;
        Exiv2::TypeId sizeType;
    };
    const Case cases[] = {
        {"camera JPEG, SHORT dimensions", false, false, true, true, Exiv2::unsignedShort},
        {"camera JPEG, LONG dimensions", false, false, true, true, Exiv2::unsignedLong},
        {"TIFF first directory", true, true, false, false, Exiv2::unsignedShort},
        {"all four", true, true, true, true, Exiv2::unsignedLong},
        {"only width tags", true, false, true, false, Exiv2::unsignedShort},
        {"no size tags", false, false, false, false, Exiv2::unsignedShort},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Exiv2::ExifData exifData = CameraExif();
        const bool present[] = {c.width, c.length, c.pixelX, c.pixelY};
        for (int i = 0; i < 4; ++i)
        {
            if (!present[i])
                continue;
            std::unique_ptr<Exiv2::Value> value(Exiv2::Value::create(c.sizeType).release());
            value->read("4000 17");
            exifData[SizeKeys[i]].setValue(value.get());
        }
        const auto before = OtherTags(exifData);

        UpdateExif(exifData, 800, 533);

        const std::int32_t expected[] = {800, 533, 800, 533};
        for (int i = 0; i < 4; ++i)
        {
            if (present[i])
                ExpectSingleSlong(exifData, SizeKeys[i], expected[i]);
            else
                EXPECT_EQ(exifData.findKey(Exiv2::ExifKey(SizeKeys[i])), exifData.end())
                    << SizeKeys[i];
        }
        EXPECT_EQ(OtherTags(exifData), before);
    }
}

TEST(UpdateExif, SoftwareIsReplacedOrAppendedAsAscii)
{
    struct Case
    {
        const char* name;
        const char* existing; // nullptr: no Software tag
        Exiv2::TypeId existingType;
    };
    const Case cases[] = {
        {"absent", nullptr, Exiv2::asciiString},
        {"another program's", "Camera Firmware 1.0.3", Exiv2::asciiString},
        {"an older name of ours", "Pixmora 2.0", Exiv2::asciiString},
        {"stored with a wrong type", "65 66 67", Exiv2::undefined},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Exiv2::ExifData exifData = CameraExif();
        if (c.existing)
        {
            std::unique_ptr<Exiv2::Value> value(Exiv2::Value::create(c.existingType).release());
            value->read(c.existing);
            exifData["Exif.Image.Software"].setValue(value.get());
        }
        const long countBefore = exifData.count();
        const auto before = OtherTags(exifData);

        UpdateExif(exifData, 10, 10);

        const auto software = exifData.findKey(Exiv2::ExifKey("Exif.Image.Software"));
        ASSERT_NE(software, exifData.end());
        EXPECT_EQ(software->typeId(), Exiv2::asciiString);
        EXPECT_EQ(software->toString(), "Pixmora 2.1");
        EXPECT_EQ(software->count(), 12u) << "Exif text ends in a NUL byte";
        EXPECT_EQ(exifData.count(), countBefore + (c.existing ? 0 : 1));
        if (!c.existing)
        {
            EXPECT_EQ((--exifData.end())->key(), "Exif.Image.Software");
        }
        EXPECT_EQ(OtherTags(exifData), before);
    }
}

} // namespace
