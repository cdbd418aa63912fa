#include "job/ReadSourceMetadata.h"

#include "job/ToStdString.h"

#include <exiv2/error.hpp>

std::unique_ptr<Exiv2::Image> ReadSourceMetadata(const wxString& sourcePath)
{
    // A local path only: never let the library read a "http://" name remotely.
    std::unique_ptr<Exiv2::Image> image(
        Exiv2::ImageFactory::open(ToStdString(sourcePath), false).release());
    if (!image)
        throw Exiv2::Error(Exiv2::kerFileOpenFailed, ToStdString(sourcePath));
    image->readMetadata();
    return image;
}
