#include "codecs/CmykToRgb.h"
#include "codecs/qlImage.h"
#include "codecs/qlJPEGHandler.h"
#include "tests/codecs/CodecTestSupport.h"
#include "tests/reliability/FailingOutputStream.h"

#include <gtest/gtest.h>
#include <wx/intl.h>
#include <wx/mstream.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace
{

const wxString kLoadFailed = wxT("JPEG: Couldn't load - file is probably corrupted.");
const wxString kSaveFailed = wxT("JPEG: Couldn't save image.");

std::string ProfileOf(const qlImage& image)
{
    if (image.GetICCProfile() == nullptr)
        return std::string();
    return std::string(reinterpret_cast<const char*>(image.GetICCProfile()),
                       image.GetICCProfileLength());
}

std::vector<JpegSegment> App2Of(const std::string& jpeg)
{
    std::vector<JpegSegment> app2;
    for (const JpegSegment& s : ReadJpegSegments(jpeg))
        if (s.code == 0xE2)
            app2.push_back(s);
    return app2;
}

TEST(qlJPEGHandler, IsTheRegisteredJpegHandler)
{
    wxImageHandler* handler = JpegHandler();
    ASSERT_NE(wxDynamicCast(handler, qlJPEGHandler), nullptr);
    EXPECT_EQ(handler->GetName(), wxT("JPEG file"));
    EXPECT_EQ(handler->GetExtension(), wxT("jpg"));
    EXPECT_EQ(handler->GetMimeType(), wxT("image/jpeg"));
    EXPECT_EQ(handler->GetType(), wxBITMAP_TYPE_JPEG);
}

struct IccCase
{
    const char* name;
    // Each marker: sequence, total, which third of the profile (-1 none),
    // and a byte to spoil in the identifier (-1 none) or a short length.
    struct Marker
    {
        int sequence, total, third, spoilByte, shortLength;
    };
    std::vector<Marker> markers;
    size_t expectedLength; // of the profile's start; 0: none
};

TEST(qlJPEGHandler, ReassemblesIccMarkersOnlyWhenTheSequenceIsSound)
{
    const std::string profile = PatternBytes(3000, 1);
    const IccCase cases[] = {
        {"order 2,3,1", {{2, 3, 1, -1, 0}, {3, 3, 2, -1, 0}, {1, 3, 0, -1, 0}}, 3000},
        {"one marker", {{1, 1, 3, -1, 0}}, 3000},
        {"duplicate 1", {{1, 2, 0, -1, 0}, {1, 2, 1, -1, 0}}, 0},
        {"number 0", {{0, 2, 0, -1, 0}, {1, 2, 1, -1, 0}}, 0},
        {"above total", {{1, 2, 0, -1, 0}, {3, 2, 1, -1, 0}}, 0},
        {"mixed totals", {{1, 3, 0, -1, 0}, {2, 2, 1, -1, 0}, {3, 3, 2, -1, 0}}, 0},
        {"missing 2", {{1, 3, 0, -1, 0}, {3, 3, 2, -1, 0}}, 0},
        {"all empty", {{1, 1, -1, -1, 0}}, 0},
        {"identifier off in first byte ignored",
         {{1, 2, 0, -1, 0}, {1, 2, 2, 0, 0}, {2, 2, 1, -1, 0}},
         2000},
        {"identifier off in zero byte ignored",
         {{1, 2, 0, -1, 0}, {2, 2, 1, -1, 0}, {2, 2, 2, 11, 0}},
         2000},
        {"short marker ignored", {{1, 1, 3, -1, 0}, {1, 1, 0, -1, 13}}, 3000},
    };
    const std::string thirds[] = {profile.substr(0, 1000), profile.substr(1000, 1000),
                                  profile.substr(2000)};
    for (const IccCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        JpegFixture fixture;
        std::string expected;
        for (const IccCase::Marker& m : c.markers)
        {
            std::string piece = m.third == 3 ? profile : (m.third < 0 ? "" : thirds[m.third]);
            std::string marker = IccMarker(m.sequence, m.total, piece);
            if (m.spoilByte >= 0)
                marker[m.spoilByte] ^= 0x20;
            if (m.shortLength > 0)
                marker.resize(m.shortLength);
            fixture.app2.push_back(marker);
        }
        expected = profile.substr(0, c.expectedLength);

        qlImage image;
        CapturedLog log;
        ASSERT_TRUE(LoadFromMemory(JpegHandler(), image, WriteJpeg(fixture)));
        EXPECT_EQ(image.GetWidth(), 4);
        const std::string loaded = ProfileOf(image);
        EXPECT_TRUE(loaded == expected) << loaded.size() << " bytes, expected " << expected.size();
        EXPECT_TRUE(log.Errors().empty());
    }
}

TEST(qlJPEGHandler, LargeProfileRoundTripsInTwoMarkersRightAfterJfif)
{
    const std::string profile = PatternBytes(70000, 2);
    qlImage image;
    static_cast<wxImage&>(image) = MakeRgbImage(8, 8);
    image.SetICCProfile(reinterpret_cast<const unsigned char*>(profile.data()), 70000);

    std::string jpeg;
    ASSERT_TRUE(SaveToMemory(JpegHandler(), image, &jpeg));
    const std::vector<JpegSegment> segments = ReadJpegSegments(jpeg);
    ASSERT_GE(segments.size(), 3u);
    EXPECT_EQ(segments[0].code, 0xE0);
    EXPECT_EQ(segments[0].data.substr(0, 5), std::string("JFIF", 5));
    ASSERT_EQ(segments[1].code, 0xE2);
    ASSERT_EQ(segments[2].code, 0xE2);
    EXPECT_EQ(segments[1].data, IccMarker(1, 2, profile.substr(0, 65519)));
    EXPECT_EQ(segments[2].data, IccMarker(2, 2, profile.substr(65519)));
    EXPECT_EQ(segments[2].data.size() - 14, 4481u);
    EXPECT_EQ(App2Of(jpeg).size(), 2u);

    qlImage loaded;
    ASSERT_TRUE(LoadFromMemory(JpegHandler(), loaded, jpeg));
    EXPECT_EQ(ProfileOf(loaded), profile);
}

TEST(qlJPEGHandler, ProfileTooLargeForMarkersIsLeftOutWithAWarning)
{
    const std::string profile(255u * 65519u + 1u, 'p');
    qlImage image;
    static_cast<wxImage&>(image) = MakeRgbImage(4, 4);
    image.SetICCProfile(reinterpret_cast<const unsigned char*>(profile.data()),
                        static_cast<std::uint32_t>(profile.size()));

    CapturedLog log;
    std::string jpeg;
    ASSERT_TRUE(SaveToMemory(JpegHandler(), image, &jpeg));
    EXPECT_TRUE(App2Of(jpeg).empty());
    ASSERT_EQ(log.Records().size(), 1u);
    EXPECT_EQ(log.Records()[0].level, wxLOG_Warning);
    EXPECT_NE(log.Records()[0].text.Find(wxT("too large")), wxNOT_FOUND);

    qlImage loaded;
    ASSERT_TRUE(LoadFromMemory(JpegHandler(), loaded, jpeg));
    EXPECT_EQ(loaded.GetWidth(), 4);
}

TEST(qlJPEGHandler, PlainImagesNeitherKeepNorWriteProfiles)
{
    JpegFixture fixture;
    fixture.app2.push_back(IccMarker(1, 1, "profile"));
    wxImage plain;
    ASSERT_TRUE(LoadFromMemory(JpegHandler(), plain, WriteJpeg(fixture)));
    EXPECT_EQ(plain.GetWidth(), 4);

    std::string jpeg;
    ASSERT_TRUE(SaveToMemory(JpegHandler(), plain, &jpeg));
    EXPECT_TRUE(App2Of(jpeg).empty());
}

// The samples libjpeg itself decodes, for comparison with the handler.
std::vector<unsigned char> DecodeRaw(const std::string& jpeg, J_COLOR_SPACE space)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = space;
    jpeg_start_decompress(&cinfo);
    const size_t stride = cinfo.output_width * cinfo.output_components;
    std::vector<unsigned char> samples(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height)
    {
        JSAMPROW row = samples.data() + cinfo.output_scanline * stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return samples;
}

TEST(qlJPEGHandler, CmykAndYcckConvertPixelByPixelAndDropTheProfile)
{
    for (const int space : {int(JCS_CMYK), int(JCS_YCCK)})
    {
        SCOPED_TRACE(space);
        JpegFixture fixture;
        fixture.width = 16;
        fixture.height = 8;
        fixture.colorSpace = space;
        for (int i = 0; i < 16 * 8 * 4; ++i)
            fixture.pixels.push_back(static_cast<unsigned char>(i * 37 % 256));
        fixture.app2.push_back(IccMarker(1, 1, "cmyk profile"));
        const std::string jpeg = WriteJpeg(fixture);
        ASSERT_EQ(ReadJpegSegments(jpeg)[0].code, 0xEE); // libjpeg wrote the Adobe marker

        qlImage image;
        ASSERT_TRUE(LoadFromMemory(JpegHandler(), image, jpeg));
        EXPECT_EQ(image.GetICCProfileLength(), 0u);
        const std::vector<unsigned char> cmyk = DecodeRaw(jpeg, JCS_CMYK);
        ASSERT_EQ(image.GetWidth() * image.GetHeight() * 4, static_cast<int>(cmyk.size()));
        for (int p = 0; p < 16 * 8; ++p)
        {
            unsigned char rgb[3];
            CmykToRgb(&cmyk[p * 4], rgb);
            ASSERT_EQ(std::string(reinterpret_cast<char*>(rgb), 3),
                      std::string(reinterpret_cast<char*>(image.GetData()) + p * 3, 3))
                << "pixel " << p;
        }
    }
}

TEST(qlJPEGHandler, CmykToRgbIsTheCeilingOfSampleTimesBlack)
{
    for (int s = 0; s < 256; ++s)
        for (int k = 0; k < 256; ++k)
        {
            const unsigned char cmyk[4] = {
                static_cast<unsigned char>(s), static_cast<unsigned char>(255 - s),
                static_cast<unsigned char>(s / 2), static_cast<unsigned char>(k)};
            unsigned char rgb[3];
            CmykToRgb(cmyk, rgb);
            for (int i = 0; i < 3; ++i)
                ASSERT_EQ(rgb[i], (cmyk[i] * k + 254) / 255) << s << " " << k << " " << i;
        }
}

TEST(qlJPEGHandler, GrayscaleLoadsAsEqualRgbAndKeepsItsProfile)
{
    JpegFixture fixture;
    fixture.width = 8;
    fixture.height = 8;
    fixture.colorSpace = JCS_GRAYSCALE;
    for (int i = 0; i < 64; ++i)
        fixture.pixels.push_back(static_cast<unsigned char>(i * 4));
    const std::string profile = PatternBytes(500, 3);
    fixture.app2.push_back(IccMarker(1, 1, profile));
    const std::string jpeg = WriteJpeg(fixture);

    qlImage image;
    ASSERT_TRUE(LoadFromMemory(JpegHandler(), image, jpeg));
    EXPECT_EQ(ProfileOf(image), profile);
    const std::vector<unsigned char> gray = DecodeRaw(jpeg, JCS_GRAYSCALE);
    for (int p = 0; p < 64; ++p)
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(image.GetData()[p * 3 + c], gray[p]) << p;

    std::string saved;
    ASSERT_TRUE(SaveToMemory(JpegHandler(), image, &saved));
    ASSERT_EQ(App2Of(saved).size(), 1u);
    EXPECT_EQ(App2Of(saved)[0].data, IccMarker(1, 1, profile));
}

std::string SaveWithOptions(const std::vector<std::pair<const char*, int>>& options)
{
    wxImage image = MakeRgbImage(16, 16);
    for (const auto& option : options)
        image.SetOption(wxString::FromAscii(option.first), option.second);
    std::string jpeg;
    EXPECT_TRUE(SaveToMemory(JpegHandler(), image, &jpeg));
    return jpeg;
}

TEST(qlJPEGHandler, QualityIsClampedByTheLibrary)
{
    EXPECT_EQ(SaveWithOptions({{"quality", 0}}), SaveWithOptions({{"quality", 1}}));
    EXPECT_EQ(SaveWithOptions({{"quality", 120}}), SaveWithOptions({{"quality", 100}}));
    EXPECT_EQ(SaveWithOptions({}), SaveWithOptions({{"quality", 75}}));
    EXPECT_NE(SaveWithOptions({{"quality", 10}}), SaveWithOptions({{"quality", 90}}));
}

TEST(qlJPEGHandler, DensityFollowsTheResolutionOptions)
{
    struct Case
    {
        std::vector<std::pair<const char*, int>> options;
        int unit, x, y;
    };
    const Case cases[] = {
        {{}, 0, 1, 1},
        {{{"ResolutionX", 300}}, 0, 1, 1},
        {{{"ResolutionX", 300}, {"ResolutionY", 200}}, 0, 300, 200},
        {{{"Resolution", 300}, {"ResolutionUnit", 1}}, 1, 300, 300},
        {{{"ResolutionX", 300}, {"Resolution", 72}, {"ResolutionUnit", 2}}, 2, 72, 72},
        {{{"Resolution", 65536}}, 0, 1, 1},
        {{{"ResolutionX", 65536 + 50}, {"ResolutionY", 60}}, 0, 50, 60},
        {{{"ResolutionX", 0}, {"ResolutionY", 60}}, 0, 1, 1},
        {{{"ResolutionUnit", 257}}, 1, 1, 1},
    };
    for (const Case& c : cases)
    {
        const std::vector<JpegSegment> segments = ReadJpegSegments(SaveWithOptions(c.options));
        ASSERT_FALSE(segments.empty());
        const std::string& jfif = segments[0].data;
        ASSERT_EQ(segments[0].code, 0xE0);
        auto u16 = [&](size_t at) {
            return static_cast<unsigned char>(jfif[at]) * 256 +
                   static_cast<unsigned char>(jfif[at + 1]);
        };
        SCOPED_TRACE(c.x);
        EXPECT_EQ(static_cast<unsigned char>(jfif[7]), c.unit);
        EXPECT_EQ(u16(8), c.x);
        EXPECT_EQ(u16(10), c.y);
    }
}

TEST(qlJPEGHandler, RecognisesOnlyTheStartOfImageMarker)
{
    struct Case
    {
        std::string bytes;
        bool recognised;
    };
    const Case cases[] = {
        {"", false},         {"\xFF", false},     {"\xFF\xD8", true}, {"\xFF\xD8 garbage", true},
        {"\xD8\xFF", false}, {"\xFF\xD9", false},
    };
    for (const Case& c : cases)
    {
        wxMemoryInputStream stream(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(JpegHandler()->CanRead(stream), c.recognised) << c.bytes.size();
    }
}

TEST(qlJPEGHandler, CorruptOrOversizedDataFailsWithItsMessageOnlyWhenVerbose)
{
    const std::string garbage = std::string("\xFF\xD8", 2) + std::string(100, 'x');
    JpegFixture fixture;
    fixture.width = 80; // wide enough that the picture is more than one block
    std::string hugeFrame = WriteJpeg(fixture);
    // Claim 65500 x 65500: over a gigapixel, refused before any decoding.
    for (size_t i = 2; i + 9 < hugeFrame.size(); ++i)
        if (static_cast<unsigned char>(hugeFrame[i]) == 0xFF &&
            static_cast<unsigned char>(hugeFrame[i + 1]) == 0xC0)
        {
            hugeFrame.replace(i + 5, 4, "\xFF\xDC\xFF\xDC", 4);
            break;
        }
    struct Case
    {
        const std::string& bytes;
        wxString message;
    };
    const Case cases[] = {
        {garbage, kLoadFailed},
        {hugeFrame, wxT("JPEG: image of 65500 x 65500 pixels is too large.")},
    };
    for (const Case& c : cases)
    {
        for (bool verbose : {true, false})
        {
            qlImage image;
            image.Create(2, 2);
            CapturedLog log;
            EXPECT_FALSE(LoadFromMemory(JpegHandler(), image, c.bytes, verbose));
            EXPECT_FALSE(image.IsOk());
            if (verbose)
            {
                EXPECT_EQ(log.Errors(), std::vector<wxString>{c.message});
            }
            else
            {
                EXPECT_TRUE(log.Records().empty());
            }
        }
    }
}

TEST(qlJPEGHandler, TruncatedFileLoadsAtFullSize)
{
    JpegFixture fixture;
    fixture.width = 64;
    fixture.height = 64;
    for (int i = 0; i < 64 * 64 * 3; ++i)
        fixture.pixels.push_back(static_cast<unsigned char>(i * 13));
    const std::string jpeg = WriteJpeg(fixture);
    qlImage image;
    CapturedLog log;
    ASSERT_TRUE(LoadFromMemory(JpegHandler(), image, jpeg.substr(0, jpeg.size() / 2)));
    EXPECT_EQ(image.GetWidth(), 64);
    EXPECT_EQ(image.GetHeight(), 64);
    EXPECT_TRUE(log.Errors().empty());
}

TEST(qlJPEGHandler, StreamStandsAfterTheImageWhenDone)
{
    const std::string jpeg = WriteJpeg(JpegFixture());
    const std::string bytes = jpeg + "TAIL";
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    wxImage image;
    ASSERT_TRUE(JpegHandler()->LoadFile(&image, stream));
    EXPECT_EQ(stream.TellI(), static_cast<wxFileOffset>(jpeg.size()));
}

TEST(qlJPEGHandler, FailingOutputStreamIsAFailedSave)
{
    for (int size : {4, 300})
    {
        wxImage image = MakeRgbImage(size, size);
        FailingOutputStream stream(0); // a full disk
        CapturedLog log;
        EXPECT_FALSE(JpegHandler()->SaveFile(&image, stream, true)) << size;
        EXPECT_EQ(log.Errors(), std::vector<wxString>{kSaveFailed});
    }
}

} // namespace
