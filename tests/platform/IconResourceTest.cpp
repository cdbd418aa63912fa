#include "platform/IconResource.h"

#include <gtest/gtest.h>
#include <wx/icon.h>

#include <cstdlib>
#include <set>
#include <tuple>

#include "graphics/PixmoraIcon.xpm"

namespace
{

int CountPartialAlpha(const wxImage& image)
{
    int count = 0;
    const unsigned char* alpha = image.GetAlpha();
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i)
        count += alpha[i] > 0 && alpha[i] < 255;
    return count;
}

bool IsOpaque(const wxImage& image, int x, int y)
{
    return image.HasAlpha() ? image.GetAlpha(x, y) >= 128 : !image.IsTransparent(x, y);
}

// Both variants of one size must show the same picture: the palette one is
// only the 32-bit one reduced, so a swapped or misaligned array shows here.
double MeanDifference(const wxImage& palette, const wxImage& rgba, int* shapeMismatches)
{
    double sum = 0;
    int opaque = 0;
    *shapeMismatches = 0;
    for (int y = 0; y < rgba.GetHeight(); ++y)
        for (int x = 0; x < rgba.GetWidth(); ++x)
        {
            const bool a = IsOpaque(palette, x, y);
            if (a != IsOpaque(rgba, x, y))
                ++*shapeMismatches;
            if (!a)
                continue;
            ++opaque;
            sum += std::abs(palette.GetRed(x, y) - rgba.GetRed(x, y)) +
                   std::abs(palette.GetGreen(x, y) - rgba.GetGreen(x, y)) +
                   std::abs(palette.GetBlue(x, y) - rgba.GetBlue(x, y));
        }
    return opaque ? sum / (3.0 * opaque) : 1e9;
}

} // namespace

TEST(IconResourceTest, WindowIconHasSixImagesOfTwoDepthsThatAgree)
{
    const std::vector<wxImage> images = IconResourceImages(wxT("PX_ICON"));
    ASSERT_EQ(images.size(), 6u);
    const int sizes[] = {48, 32, 16};
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(sizes[i]);
        const wxImage& palette = images[i * 2];
        const wxImage& rgba = images[i * 2 + 1];
        ASSERT_TRUE(palette.IsOk());
        ASSERT_TRUE(rgba.IsOk());
        EXPECT_EQ(palette.GetSize(), wxSize(sizes[i], sizes[i]));
        EXPECT_EQ(rgba.GetSize(), wxSize(sizes[i], sizes[i]));

        EXPECT_FALSE(palette.HasAlpha());
        EXPECT_TRUE(palette.HasMask());
        EXPECT_LE(palette.CountColours(), 256u);
        ASSERT_TRUE(rgba.HasAlpha());
        // Anti-aliased edges are what the 32-bit variant is for.
        EXPECT_GT(CountPartialAlpha(rgba), sizes[i]);

        int shapeMismatches = 0;
        EXPECT_LT(MeanDifference(palette, rgba, &shapeMismatches), 6.0);
        EXPECT_LE(shapeMismatches, sizes[i] / 4);
    }
}

TEST(IconResourceTest, BundlePicksOneIconPerSizeForTheDisplayDepth)
{
    for (int depth : {8, 24, 32})
    {
        SCOPED_TRACE(depth);
        const wxIconBundle bundle = LoadIconResource(wxT("PX_ICON"), depth);
        ASSERT_EQ(bundle.GetIconCount(), 3u);
        std::set<int> sizes;
        for (size_t i = 0; i < bundle.GetIconCount(); ++i)
        {
            const wxIcon icon = bundle.GetIconByIndex(i);
            ASSERT_TRUE(icon.IsOk());
            EXPECT_EQ(icon.GetWidth(), icon.GetHeight());
            sizes.insert(icon.GetWidth());
            const wxImage image = icon.ConvertToImage();
            EXPECT_EQ(image.HasAlpha() && CountPartialAlpha(image) > 0, depth > 8);
        }
        EXPECT_EQ(sizes, (std::set<int>{16, 32, 48}));
    }
    EXPECT_TRUE(LoadIconResource(wxT("PX_ICON")).GetIcon(wxSize(32, 32)).IsOk());
}

TEST(IconResourceTest, UnknownNamesGiveNothing)
{
    for (const wxString& name : {wxString(), wxString(wxT("px_icon")), wxString(wxT("PX_ICON2")),
                                 wxString(wxT("graphics/PixmoraIcon.xpm"))})
    {
        SCOPED_TRACE(name);
        EXPECT_TRUE(LoadIconResource(name, 32).IsEmpty());
        EXPECT_TRUE(IconResourceImages(name).empty());
    }
}

// The About picture: 32 x 32, 96 colours of which one is the transparent
// one, every colour in use, 2 characters per pixel.
TEST(IconResourceTest, AboutPictureIs32SquareWith96Colours)
{
    int width = 0, height = 0, colours = 0, charsPerPixel = 0;
    ASSERT_EQ(
        std::sscanf(PixmoraIcon_xpm[0], "%d %d %d %d", &width, &height, &colours, &charsPerPixel),
        4);
    EXPECT_EQ(std::make_tuple(width, height, colours, charsPerPixel),
              std::make_tuple(32, 32, 96, 2));

    const wxImage image(PixmoraIcon_xpm);
    ASSERT_TRUE(image.IsOk());
    ASSERT_TRUE(image.HasMask());
    // CountColours also counts the mask colour wherever it shows.
    EXPECT_EQ(image.CountColours(), 96u);
}
