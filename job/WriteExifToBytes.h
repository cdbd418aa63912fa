#pragma once

#include <exiv2/exif.hpp>

#include <string>

/// The write step, on an encoded image in memory instead of a file: returns
/// encoded with its Exif data replaced by exifData, and no IPTC, XMP or
/// comment. The ICC profile that the encoder wrote is kept as it was (the
/// library would drop it from a handle whose metadata it has not read).
/// A TIFF output gets only the first image's directories: a thumbnail or a
/// further page would become a broken image directory there.
/// Throws the library's Exiv2::AnyError when the format cannot carry Exif
/// data or the bytes cannot be parsed.
std::string WriteExifToBytes(const std::string& encoded, const Exiv2::ExifData& exifData);
