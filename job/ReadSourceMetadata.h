#pragma once

#include <exiv2/image.hpp>

#include <wx/string.h>

#include <memory>

/// Opens sourcePath with the metadata library and reads its metadata; the
/// job carries only the Exif data of the handle on. Throws the library's
/// Exiv2::AnyError when the file cannot be opened, is of a type the library
/// does not know, or holds metadata it cannot parse.
std::unique_ptr<Exiv2::Image> ReadSourceMetadata(const wxString& sourcePath);
