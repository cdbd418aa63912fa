#pragma once

#include <exiv2/exif.hpp>

#include <string>
#include <vector>

/// The write step, on an encoded image in memory instead of a file: returns
/// encoded with its Exif data replaced by exifData, and no IPTC, XMP or
/// comment. Where the encoder wrote an ICC profile, the output carries
/// profile, the bytes the encoder was given: the library would drop the
/// profile from a handle whose metadata it has not read, and its own reading
/// of a JPEG profile trims one that is longer than its header declares.
/// A TIFF output gets only the first image's directories: a thumbnail or a
/// further page would become a broken image directory there.
/// Throws the library's Exiv2::AnyError when the format cannot carry Exif
/// data or the bytes cannot be parsed.
std::string WriteExifToBytes(const std::string& encoded, const Exiv2::ExifData& exifData,
                             const std::vector<unsigned char>& profile);
