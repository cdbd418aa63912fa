#include "codecs/qlImage.h"

#include "platform/LargeBuffer.h"

#include <cstring>

wxIMPLEMENT_DYNAMIC_CLASS(qlImage, wxImage);

qlImage::~qlImage() = default;

bool qlImage::CreateUninitialised(wxImage& image, int width, int height)
{
    image.Destroy();
    if (width <= 0 || height <= 0)
        return false;
    unsigned char* data = AllocateLargeBuffer(std::size_t(width) * std::size_t(height) * 3);
    if (data == nullptr)
        return false;
    // The image takes the buffer and frees it with free().
    return image.Create(width, height, data, false) && image.IsOk();
}

void qlImage::SetICCProfile(const unsigned char* data, std::uint32_t length)
{
    m_iccProfile.reset();
    m_iccProfileLength = 0;
    if (length == 0)
        return;

    std::shared_ptr<unsigned char[]> copy(new unsigned char[length]);
    std::memcpy(copy.get(), data, length);
    m_iccProfile = std::move(copy);
    m_iccProfileLength = length;
}
