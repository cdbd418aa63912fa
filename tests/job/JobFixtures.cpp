#include "tests/job/JobFixtures.h"

#include "job/ToStdString.h"

#include <wx/ffile.h>
#include <wx/mstream.h>

#include <tiffio.h>

#include <algorithm>
#include <memory>
#include <vector>

std::string FakeProfile(size_t size)
{
    std::string profile(size, '\0');
    for (size_t i = 0; i < size; ++i)
        profile[i] = static_cast<char>((i * 31 + 7) & 0xff);
    for (int i = 0; i < 4; ++i)
        profile[static_cast<size_t>(i)] = static_cast<char>((size >> (24 - 8 * i)) & 0xff);
    profile.replace(36, 4, "acsp");
    return profile;
}

Exiv2::ExifData CameraExif(int width, int height)
{
    Exiv2::ExifData exifData;
    exifData["Exif.Image.Make"] = "Quillon";
    exifData["Exif.Image.Model"] = "QX-1 Mark II";
    exifData["Exif.Image.Orientation"] = uint16_t(1);
    exifData["Exif.Image.XResolution"] = Exiv2::URational(300, 1);
    exifData["Exif.Image.YResolution"] = Exiv2::URational(300, 1);
    exifData["Exif.Image.ResolutionUnit"] = uint16_t(2);
    exifData["Exif.Image.Software"] = "QX Firmware 1.0.3";
    exifData["Exif.Image.DateTime"] = "2024:05:01 10:00:00";
    exifData["Exif.Image.Artist"] = "A. Photographer";
    exifData["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 250);
    exifData["Exif.Photo.FNumber"] = Exiv2::URational(28, 10);
    exifData["Exif.Photo.ISOSpeedRatings"] = uint16_t(200);
    exifData["Exif.Photo.DateTimeOriginal"] = "2024:05:01 10:00:00";
    exifData["Exif.Photo.FocalLength"] = Exiv2::URational(50, 1);
    exifData["Exif.Photo.ColorSpace"] = uint16_t(1);
    exifData["Exif.Photo.PixelXDimension"] = uint16_t(width);
    exifData["Exif.Photo.PixelYDimension"] = uint16_t(height);
    exifData["Exif.GPSInfo.GPSVersionID"] = "2 2 0 0";
    exifData["Exif.GPSInfo.GPSLatitudeRef"] = "N";
    return exifData;
}

bool WriteBigTiffFixture(const wxString& path, int width, int height, const std::string& profile)
{
    struct Closer
    {
        void operator()(TIFF* tiff) const { TIFFClose(tiff); }
    };
    // "8": the BigTIFF layout, with 64-bit offsets.
    std::unique_ptr<TIFF, Closer> tiff(TIFFOpen(path.utf8_str(), "w8"));
    if (!tiff)
        return false;
    TIFFSetField(tiff.get(), TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
    TIFFSetField(tiff.get(), TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
    TIFFSetField(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff.get(), TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff.get(), TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tiff.get(), TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(height));
    if (!profile.empty())
        TIFFSetField(tiff.get(), TIFFTAG_ICCPROFILE, static_cast<uint32_t>(profile.size()),
                     profile.data());
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            row[static_cast<size_t>(x) * 3] = static_cast<unsigned char>(x * 7);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<unsigned char>(y * 5);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<unsigned char>((x ^ y) * 3);
        }
        if (TIFFWriteScanline(tiff.get(), row.data(), static_cast<uint32_t>(y), 0) < 0)
            return false;
    }
    return TIFFWriteDirectory(tiff.get()) != 0;
}

bool WriteFixture(const wxString& path, int width, int height, const FixtureOptions& options)
{
    qlImage image;
    image.Create(width, height, false);
    unsigned char* pixels = image.GetData();
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            unsigned char* pixel = pixels + (static_cast<size_t>(y) * width + x) * 3;
            pixel[0] = static_cast<unsigned char>(x * 255 / (width > 1 ? width - 1 : 1));
            pixel[1] = static_cast<unsigned char>(y * 255 / (height > 1 ? height - 1 : 1));
            pixel[2] = static_cast<unsigned char>(((x / 8 + y / 8) % 2) * 200);
        }
    }
    if (!options.profile.empty())
        image.SetICCProfile(reinterpret_cast<const unsigned char*>(options.profile.data()),
                            static_cast<std::uint32_t>(options.profile.size()));
    if (!image.SaveFile(path))
        return false;
    if (!options.exif && !options.xmpIptcComment)
        return true;

    std::unique_ptr<Exiv2::Image> file = ReadMetadata(path);
    if (!file)
        return false;
    if (options.exif)
        file->setExifData(*options.exif);
    if (options.xmpIptcComment)
    {
        file->xmpData()["Xmp.dc.title"] = "A title in XMP";
        file->iptcData()["Iptc.Application2.Keywords"] = "keyword";
        file->setComment("A JPEG comment");
    }
    file->writeMetadata();
    return true;
}

std::unique_ptr<Exiv2::Image> ReadMetadata(const wxString& path)
{
    try
    {
        std::unique_ptr<Exiv2::Image> image(
            Exiv2::ImageFactory::open(ToStdString(path), false).release());
        image->readMetadata();
        return image;
    }
    catch (const Exiv2::AnyError&)
    {
        return nullptr;
    }
}

std::map<std::string, std::string> ExifTags(const Exiv2::ExifData& exifData,
                                            std::initializer_list<const char*> except)
{
    std::map<std::string, std::string> tags;
    for (const Exiv2::Exifdatum& datum : exifData)
    {
        bool skipped = false;
        for (const char* key : except)
            skipped = skipped || datum.key() == key;
        if (!skipped)
            tags[datum.key()] = std::string(datum.typeName() ? datum.typeName() : "?") + " " +
                                std::to_string(datum.count()) + " " + datum.toString();
    }
    return tags;
}

bool LoadImage(const wxString& path, qlImage& image)
{
    wxFFile file(path, wxT("rb"));
    if (!file.IsOpened())
        return false;
    std::vector<unsigned char> bytes(static_cast<size_t>(file.Length()));
    if (file.Read(bytes.data(), bytes.size()) != bytes.size())
        return false;
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    return image.LoadFile(stream, wxBITMAP_TYPE_ANY, -1) && image.IsOk();
}

std::string Profile(const qlImage& image)
{
    return std::string(reinterpret_cast<const char*>(image.GetICCProfile()),
                       image.GetICCProfileLength());
}
