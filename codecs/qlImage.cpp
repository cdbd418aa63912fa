#include "codecs/qlImage.h"

#include <cstring>

wxIMPLEMENT_DYNAMIC_CLASS(qlImage, wxImage);

qlImage::~qlImage() = default;

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
