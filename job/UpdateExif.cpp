#include "job/UpdateExif.h"

#include "Identity.h"

#include <exiv2/value.hpp>

#include <cstdint>

namespace
{

void ReplaceIfPresent(Exiv2::ExifData& exifData, const char* key, std::int32_t value)
{
    const auto entry = exifData.findKey(Exiv2::ExifKey(key));
    if (entry != exifData.end())
        *entry = value;
}

} // namespace

void UpdateExif(Exiv2::ExifData& exifData, int targetWidth, int targetHeight)
{
    if (exifData.empty())
        return;
    // Set as an ASCII value rather than parsed into the entry's old type: a
    // source that stored the name with a wrong type would otherwise keep junk.
    // read() adds the terminating NUL that Exif requires; the constructor
    // taking the text does not.
    Exiv2::AsciiValue software;
    software.read(PIXMORA_TITLE " " PIXMORA_VERSION);
    exifData["Exif.Image.Software"].setValue(&software);
    ReplaceIfPresent(exifData, "Exif.Image.ImageWidth", targetWidth);
    ReplaceIfPresent(exifData, "Exif.Image.ImageLength", targetHeight);
    ReplaceIfPresent(exifData, "Exif.Photo.PixelXDimension", targetWidth);
    ReplaceIfPresent(exifData, "Exif.Photo.PixelYDimension", targetHeight);
}
