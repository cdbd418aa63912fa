#pragma once

// Image files made by the tests themselves: pixels through the project's
// own encoders, metadata added with the metadata library.

#include "codecs/qlImage.h"
#include "job/SaveHandler.h"

#include <exiv2/exiv2.hpp>
#include <wx/string.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

/// Skips the current test when the project's JPEG and TIFF codecs are not
/// in the registry.
#define PIXMORA_REQUIRE_CODECS()                                                                   \
    do                                                                                             \
    {                                                                                              \
        if (!FindSaveHandler(wxT("jpg")) || !FindSaveHandler(wxT("tif")))                          \
            GTEST_SKIP() << "the JPEG and TIFF codecs are not registered in this build";           \
    } while (0)

/// Bytes shaped like an ICC profile (its size in the first four bytes, the
/// signature at 36), as the metadata library insists on; the content is a
/// pattern so that any reordering shows.
std::string FakeProfile(size_t size);

/// Exif data as a camera writes it, with PixelX/YDimension of the given size.
Exiv2::ExifData CameraExif(int width, int height);

struct FixtureOptions
{
    std::string profile;                   ///< empty: none
    const Exiv2::ExifData* exif = nullptr; ///< nullptr: none
    bool xmpIptcComment = false;           ///< add XMP, IPTC and a comment
};

/// Writes a width x height picture to path (format by extension, through the
/// registered handlers) and then the requested metadata. False when the
/// handler could not write it.
bool WriteFixture(const wxString& path, int width, int height,
                  const FixtureOptions& options = FixtureOptions());

/// Writes a width x height RGB BigTIFF straight through libtiff, with profile
/// in tag 34675 when not empty: a file the toolkit's codecs read and the
/// metadata library does not know.
bool WriteBigTiffFixture(const wxString& path, int width, int height,
                         const std::string& profile = std::string());

/// The file's metadata as the library reads it, or nullptr.
std::unique_ptr<Exiv2::Image> ReadMetadata(const wxString& path);

/// Key to "type count value" of every Exif tag except the ones named.
std::map<std::string, std::string> ExifTags(const Exiv2::ExifData& exifData,
                                            std::initializer_list<const char*> except);

/// Loads path the way the job does, through the registry's detection.
bool LoadImage(const wxString& path, qlImage& image);

std::string Profile(const qlImage& image);
