#pragma once

#include <exiv2/exif.hpp>

/// Brings Exif data copied from a source up to date for its resized output:
/// "Exif.Image.Software" becomes the application's name and version (added
/// when absent), and each of the four size tags the data already has becomes
/// one SLONG holding the new width or height. Empty data stays empty.
void UpdateExif(Exiv2::ExifData& exifData, int targetWidth, int targetHeight);
