#include "job/WriteExifToBytes.h"

#include <exiv2/basicio.hpp>
#include <exiv2/error.hpp>
#include <exiv2/image.hpp>

#include <cstring>
#include <memory>

namespace
{

std::unique_ptr<Exiv2::Image> OpenInMemory(const std::string& encoded)
{
    std::unique_ptr<Exiv2::Image> image(
        Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(encoded.data()),
                                  static_cast<long>(encoded.size()))
            .release());
    if (!image)
        throw Exiv2::Error(Exiv2::kerMemoryContainsUnknownImageType);
    return image;
}

/// The Exif data without the directories of other images: the thumbnail
/// and the further pages of a multi-page source. In a TIFF file each would
/// become an image directory of its own, without pixels or a size, which
/// TIFF readers reject.
Exiv2::ExifData FirstImageOnly(const Exiv2::ExifData& exifData)
{
    Exiv2::ExifData kept;
    for (const Exiv2::Exifdatum& datum : exifData)
    {
        const std::string group = datum.groupName();
        const bool otherImage = group == "Thumbnail" || group.rfind("SubImage", 0) == 0 ||
                                group.rfind("SubThumb", 0) == 0 ||
                                (group.rfind("Image", 0) == 0 && group != "Image");
        if (!otherImage)
            kept.add(datum);
    }
    return kept;
}

} // namespace

std::string WriteExifToBytes(const std::string& encoded, const Exiv2::ExifData& exifData,
                             const std::vector<unsigned char>& profile)
{
    // This reading only tells whether the encoder wrote a profile; the
    // handle that writes starts with no metadata at all, so nothing but the
    // Exif data and the profile goes in.
    std::unique_ptr<Exiv2::Image> probe = OpenInMemory(encoded);
    probe->readMetadata();
    Exiv2::DataBuf kept;
    if (probe->iccProfileDefined() && !profile.empty())
    {
        kept.alloc(static_cast<long>(profile.size()));
        std::memcpy(kept.pData_, profile.data(), profile.size());
    }
    probe.reset();

    std::unique_ptr<Exiv2::Image> output = OpenInMemory(encoded);
    if (output->mimeType() == "image/tiff")
        output->setExifData(FirstImageOnly(exifData));
    else
        output->setExifData(exifData);
    if (kept.size_ > 0)
        output->setIccProfile(kept, false);
    output->writeMetadata();

    Exiv2::BasicIo& io = output->io();
    if (io.seek(0, Exiv2::BasicIo::beg) != 0)
        throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
    const long size = static_cast<long>(io.size());
    const Exiv2::DataBuf written = io.read(size);
    if (written.size_ != size)
        throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
    return std::string(reinterpret_cast<const char*>(written.pData_),
                       static_cast<size_t>(written.size_));
}
