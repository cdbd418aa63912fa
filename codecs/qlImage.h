#pragma once

#include <wx/image.h>

#include <cstdint>
#include <memory>

/// The toolkit's image plus the embedded ICC profile of the file it came
/// from. The codecs find the profile slot by a run-time type test, so the
/// profile travels from source to output without any change to the
/// toolkit's handler interface. Test with dynamic_cast: wxDynamicCast
/// static-casts to the target class before it checks.
///
/// The profile bytes are immutable and shared between copies; replacing a
/// profile drops this image's hold and takes a fresh copy. The profile is
/// independent of the pixels: Destroy, Create and loads leave it alone.
class qlImage : public wxImage
{
public:
    qlImage() = default;
    qlImage(const qlImage&) = default;
    qlImage& operator=(const qlImage&) = default;
    ~qlImage() override;

    /// Gives image a width x height buffer of undefined contents, for a
    /// caller that writes every pixel before anything reads one; large
    /// buffers get huge pages where the system offers them. Returns false,
    /// with image left without pixels, when no memory is left.
    static bool CreateUninitialised(wxImage& image, int width, int height);

    /// Drops the held profile; with length > 0 holds a copy of data.
    void SetICCProfile(const unsigned char* data, std::uint32_t length);
    /// The held bytes, or nullptr when there is no profile.
    const unsigned char* GetICCProfile() const { return m_iccProfile.get(); }
    std::uint32_t GetICCProfileLength() const { return m_iccProfileLength; }

private:
    std::shared_ptr<const unsigned char[]> m_iccProfile;
    std::uint32_t m_iccProfileLength = 0;

    wxDECLARE_DYNAMIC_CLASS(qlImage);
};
