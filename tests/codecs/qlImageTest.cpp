#include "codecs/qlImage.h"
#include "tests/codecs/CodecTestSupport.h"

#include <gtest/gtest.h>
#include <wx/mstream.h>

#include <memory>
#include <string>

namespace
{

const unsigned char kProfile[] = {1, 2, 3, 4, 5};

std::string ProfileOf(const qlImage& image)
{
    if (image.GetICCProfile() == nullptr)
        return std::string();
    return std::string(reinterpret_cast<const char*>(image.GetICCProfile()),
                       image.GetICCProfileLength());
}

TEST(qlImage, CopiesShareTheBytesAndReplacingOneLeavesTheOther)
{
    qlImage original;
    original.SetICCProfile(kProfile, sizeof kProfile);
    qlImage copy(original);
    qlImage assigned;
    assigned = original;
    EXPECT_EQ(copy.GetICCProfile(), original.GetICCProfile());
    EXPECT_EQ(assigned.GetICCProfile(), original.GetICCProfile());

    const unsigned char other[] = {9};
    original.SetICCProfile(other, 1);
    EXPECT_EQ(ProfileOf(original), std::string("\x09", 1));
    EXPECT_EQ(ProfileOf(copy), std::string("\x01\x02\x03\x04\x05", 5));
    original.SetICCProfile(nullptr, 0);
    EXPECT_EQ(ProfileOf(assigned), ProfileOf(copy));
}

TEST(qlImage, SetKeepsItsOwnCopyAndLengthZeroClears)
{
    unsigned char bytes[] = {7, 8};
    qlImage image;
    image.SetICCProfile(bytes, 2);
    bytes[0] = 0;
    EXPECT_EQ(ProfileOf(image), std::string("\x07\x08", 2));
    EXPECT_NE(image.GetICCProfile(), bytes);

    // With length 0 the data pointer is never read.
    image.SetICCProfile(reinterpret_cast<const unsigned char*>(1), 0);
    EXPECT_EQ(image.GetICCProfile(), nullptr);
    EXPECT_EQ(image.GetICCProfileLength(), 0u);
}

TEST(qlImage, ProfileSurvivesDestroyCreateAndLoads)
{
    qlImage image;
    image.SetICCProfile(kProfile, sizeof kProfile);
    image.Create(3, 2);
    EXPECT_EQ(ProfileOf(image).size(), sizeof kProfile);
    image.Destroy();
    EXPECT_FALSE(image.IsOk());
    EXPECT_EQ(ProfileOf(image).size(), sizeof kProfile);

    // A file without a profile does not clear the one held.
    wxImage source = MakeRgbImage(4, 4);
    std::string png;
    ASSERT_TRUE(SaveToMemory(wxImage::FindHandler(wxBITMAP_TYPE_PNG), source, &png));
    wxMemoryInputStream stream(png.data(), png.size());
    ASSERT_TRUE(image.LoadFile(stream, wxBITMAP_TYPE_ANY));
    EXPECT_EQ(image.GetWidth(), 4);
    EXPECT_EQ(ProfileOf(image).size(), sizeof kProfile);
}

TEST(qlImage, ImagesMadeFromItCarryNoProfile)
{
    qlImage image;
    image.Create(4, 4);
    image.SetICCProfile(kProfile, sizeof kProfile);

    wxImage plain = image;
    EXPECT_FALSE(plain.IsKindOf(wxCLASSINFO(qlImage)));
    const wxImage scaled = image.Scale(2, 2);
    EXPECT_FALSE(scaled.IsKindOf(wxCLASSINFO(qlImage)));
    const wxImage sub = image.GetSubImage(wxRect(0, 0, 2, 2));
    EXPECT_FALSE(sub.IsKindOf(wxCLASSINFO(qlImage)));
}

TEST(qlImage, FoundByRunTimeTypeAndCreatedByClassName)
{
    qlImage image;
    wxImage* asBase = &image;
    EXPECT_EQ(wxDynamicCast(asBase, qlImage), &image);
    EXPECT_TRUE(asBase->IsKindOf(wxCLASSINFO(wxImage)));

    std::unique_ptr<wxObject> made(wxCreateDynamicObject(wxT("qlImage")));
    ASSERT_NE(made, nullptr);
    auto* created = wxDynamicCast(made.get(), qlImage);
    ASSERT_NE(created, nullptr);
    EXPECT_FALSE(created->IsOk());
    EXPECT_EQ(created->GetICCProfileLength(), 0u);
    EXPECT_STREQ(wxCLASSINFO(qlImage)->GetBaseClassName1(), wxT("wxImage"));
}

TEST(qlImage, OneByteProfileWithoutPixelsIsHeldAsIs)
{
    auto image = std::make_unique<qlImage>();
    const unsigned char one = 0xAB;
    image->SetICCProfile(&one, 1);
    EXPECT_EQ(ProfileOf(*image), std::string("\xAB", 1));
    image.reset(); // no pixels, a profile: released without error (sanitizers watch)
}

} // namespace
