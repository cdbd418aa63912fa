// Both handlers over a device that dies after N bytes, for N over a table of
// cut points from the first byte to the last: a load or save returns false
// with a message (or, for a load, gives the image at its full size when the
// decoder recovers), never crashes, leaks or lets an exception through the C
// libraries' frames. Runs under the address sanitizer in the extra checks.

#include "codecs/qlImage.h"
#include "codecs/qlJPEGHandler.h"
#include "codecs/qlTIFFHandler.h"
#include "tests/reliability/FailingInputStream.h"
#include "tests/reliability/FailingOutputStream.h"
#include "tests/support/RecordingLog.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace
{

constexpr int kWidth = 203;
constexpr int kHeight = 131;

struct Format
{
    const char* name;
    std::unique_ptr<wxImageHandler> (*make)();
};

void PrintTo(const Format& format, std::ostream* out)
{
    *out << format.name;
}

std::unique_ptr<wxImageHandler> MakeJpegHandler()
{
    return std::make_unique<qlJPEGHandler>();
}

std::unique_ptr<wxImageHandler> MakeTiffHandler()
{
    return std::make_unique<qlTIFFHandler>();
}

/// A picture with edges and an ICC profile, so the encoders write every
/// kind of segment they know.
qlImage Picture()
{
    qlImage image;
    image.Create(kWidth, kHeight, false);
    unsigned char* rgb = image.GetData();
    std::uint32_t noise = 12345;
    for (int i = 0; i < kWidth * kHeight * 3; ++i)
    {
        noise = noise * 1103515245u + 12345u;
        rgb[i] = static_cast<unsigned char>(((i % (kWidth * 3)) + (noise >> 27)) & 0xFF);
    }
    std::string profile(3000, '\0');
    for (std::size_t i = 0; i < profile.size(); ++i)
        profile[i] = static_cast<char>(i * 13 + 5);
    image.SetICCProfile(reinterpret_cast<const unsigned char*>(profile.data()),
                        static_cast<std::uint32_t>(profile.size()));
    return image;
}

/// Every small count, the encoders' buffer edges and the last bytes.
std::vector<std::size_t> CutPoints(std::size_t size)
{
    std::set<std::size_t> cuts = {0, 1, 2, 3, 4, 7, 8, 16, 20, 64, 100, 511, 512, 1000};
    for (std::size_t edge : {2048u, 4096u, 8192u})
        for (std::size_t near : {edge - 1, edge, edge + 1})
            cuts.insert(near);
    for (std::size_t part = 1; part < 8; ++part)
        cuts.insert(size * part / 8);
    for (std::size_t back = 1; back <= 4; ++back)
        cuts.insert(size - back);
    std::vector<std::size_t> below;
    for (std::size_t cut : cuts)
        if (cut < size)
            below.push_back(cut);
    return below;
}

class HandlerFault : public testing::TestWithParam<Format>
{
protected:
    std::string Encoded()
    {
        qlImage picture = Picture();
        FailingOutputStream roomy(SIZE_MAX);
        EXPECT_TRUE(GetParam().make()->SaveFile(&picture, roomy, true));
        return roomy.Bytes();
    }
};

TEST_P(HandlerFault, SaveToADeviceThatFillsUpFailsWithAMessage)
{
    const std::string full = Encoded();
    ASSERT_GT(full.size(), 8192u);
    for (std::size_t cut : CutPoints(full.size()))
    {
        SCOPED_TRACE(testing::Message() << "device full after " << cut << " of " << full.size());
        qlImage picture = Picture();
        FailingOutputStream stream(cut);
        RecordingLog log;
        EXPECT_FALSE(GetParam().make()->SaveFile(&picture, stream, true));
        EXPECT_TRUE(stream.HasFailed());
        EXPECT_FALSE(log.Errors().empty());
    }
}

TEST_P(HandlerFault, LoadFromADeviceThatDiesFailsWithAMessageOrRecoversAtFullSize)
{
    const std::string full = Encoded();
    qlImage reference;
    {
        FailingInputStream whole(full, full.size());
        ASSERT_TRUE(GetParam().make()->LoadFile(&reference, whole, true, -1));
    }
    for (std::size_t cut : CutPoints(full.size()))
    {
        SCOPED_TRACE(testing::Message() << "read error after " << cut << " of " << full.size());
        FailingInputStream stream(full, cut);
        qlImage image;
        RecordingLog log;
        const bool loaded = GetParam().make()->LoadFile(&image, stream, true, -1);
        EXPECT_EQ(loaded, image.IsOk());
        if (loaded)
        {
            // The JPEG decoder ends a cut scan as a grey bottom (and says
            // so on the standard error, as the toolkit's handler does); it
            // must still be the whole declared picture.
            EXPECT_EQ(image.GetWidth(), kWidth);
            EXPECT_EQ(image.GetHeight(), kHeight);
        }
        else
        {
            EXPECT_FALSE(log.Errors().empty());
        }
        if (cut < 16)
        {
            EXPECT_FALSE(loaded) << "nothing but a header fragment was readable";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Handlers, HandlerFault,
                         testing::Values(Format{"jpeg", MakeJpegHandler},
                                         Format{"tiff", MakeTiffHandler}),
                         [](const testing::TestParamInfo<Format>& info)
                         { return std::string(info.param.name); });

} // namespace
