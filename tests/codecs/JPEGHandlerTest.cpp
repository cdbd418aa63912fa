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
#include <dlfcn.h>
#include <jpeglib.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

// While armed, libjpeg's small allocations of a size in this window fail.
struct SmallAllocationFailure
{
    size_t from = 0;
    size_t to = 0;
    int failed = 0;
};
SmallAllocationFailure* gSmallAllocationFailure = nullptr;

} // namespace

// libjpeg takes every small block through jpeg_get_small and calls it
// through its own symbol table, so this definition stands in for the
// library's one; unarmed it hands the request on.
extern "C" void* jpeg_get_small(j_common_ptr cinfo, size_t size)
{
    SmallAllocationFailure* failure = gSmallAllocationFailure;
    if (failure != nullptr && size >= failure->from && size <= failure->to)
    {
        ++failure->failed;
        return nullptr;
    }
    using GetSmall = void* (*)(j_common_ptr, size_t);
    static const auto library = reinterpret_cast<GetSmall>(dlsym(RTLD_NEXT, "jpeg_get_small"));
    return library(cinfo, size);
}

namespace
{

const wxString kLoadFailed = wxT("JPEG: Couldn't load - file is probably corrupted");

// What reaches file descriptor 2 while this lives, where libjpeg's own
// message output writes.
class StderrCapture
{
public:
    StderrCapture() : m_file(std::tmpfile()), m_saved(dup(2))
    {
        std::fflush(stderr);
        dup2(fileno(m_file), 2);
    }
    ~StderrCapture()
    {
        Restore();
        std::fclose(m_file);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string Text()
    {
        Restore();
        std::string text;
        std::rewind(m_file);
        char buffer[256];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0)
            text.append(buffer, n);
        return text;
    }

private:
    void Restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, 2);
        close(m_saved);
        m_saved = -1;
    }

    std::FILE* m_file;
    int m_saved;
};

// The errors one per line, readable in a failure.
std::string ErrorLines(const RecordingLog& log)
{
    std::string lines;
    for (const wxString& error : log.Errors())
        lines += error.utf8_string() + "\n";
    return lines;
}

// libjpeg's output with bytes of its baseline frame header overwritten,
// counted from the marker's 0xFF: code at 1, precision at 4, height at 5,
// width at 7.
std::string WithFrameHeader(std::string jpeg, size_t at, const std::string& bytes)
{
    for (size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF &&
            static_cast<unsigned char>(jpeg[i + 1]) == 0xC0)
        {
            jpeg.replace(i + at, bytes.size(), bytes);
            return jpeg;
        }
    ADD_FAILURE() << "no baseline frame header";
    return jpeg;
}

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
        RecordingLog log;
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

    RecordingLog log;
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

TEST(qlJPEGHandler, RefusedDataFailsWithTheLibrarysReasonOnlyWhenVerbose)
{
    const std::string garbage = std::string("\xFF\xD8", 2) + std::string(100, 'x');
    const std::string plain = WriteJpeg(JpegFixture());
    JpegFixture wide;
    wide.width = 80; // wide enough that the picture is more than one block
    struct Case
    {
        const char* name;
        std::string bytes;
        wxString message;
    };
    const Case cases[] = {
        {"garbage", garbage, kLoadFailed + wxT(" (JPEG datastream contains no image).")},
        // libjpeg-turbo's 8-bit library writes neither 12-bit nor lossless
        // files, so its baseline output is relabelled.
        {"12-bit", WithFrameHeader(plain, 4, "\x0C"),
         kLoadFailed + wxT(" (Unsupported JPEG data precision 12).")},
        {"lossless", WithFrameHeader(plain, 1, "\xC3"),
         kLoadFailed + wxT(" (Unsupported JPEG process: SOF type 0xc3).")},
        // 65500 x 65500: over a gigapixel, refused before any decoding.
        {"huge frame", WithFrameHeader(WriteJpeg(wide), 5, "\xFF\xDC\xFF\xDC"),
         wxT("JPEG: image of 65500 x 65500 pixels is too large.")},
    };
    for (const Case& c : cases)
    {
        for (bool verbose : {true, false})
        {
            SCOPED_TRACE(std::string(c.name) + (verbose ? " verbose" : " quiet"));
            qlImage image;
            image.Create(2, 2);
            RecordingLog log;
            StderrCapture stderrText;
            EXPECT_FALSE(LoadFromMemory(JpegHandler(), image, c.bytes, verbose));
            EXPECT_EQ(stderrText.Text(), "");
            EXPECT_FALSE(image.IsOk());
            if (verbose)
            {
                EXPECT_EQ(ErrorLines(log), c.message.utf8_string() + "\n");
            }
            else
            {
                EXPECT_TRUE(log.Records().empty());
            }
        }
    }
}

/// A 64 x 64 RGB JPEG of a repeating pattern, as libjpeg writes it.
std::string PatternJpeg64()
{
    JpegFixture fixture;
    fixture.width = 64;
    fixture.height = 64;
    for (int i = 0; i < 64 * 64 * 3; ++i)
        fixture.pixels.push_back(static_cast<unsigned char>(i * 13));
    return WriteJpeg(fixture);
}

TEST(qlJPEGHandler, LibraryWarningsReachOnlyTheToolkitsVerboseLog)
{
    const std::string jpeg = PatternJpeg64();
    const std::string truncated = jpeg.substr(0, jpeg.size() / 2);
    const bool wasVerbose = wxLog::GetVerbose();
    for (bool toolkitVerbose : {true, false})
        for (bool verbose : {true, false})
        {
            SCOPED_TRACE(std::string(toolkitVerbose ? "toolkit verbose" : "toolkit quiet") +
                         (verbose ? ", handler verbose" : ", handler quiet"));
            wxLog::SetVerbose(toolkitVerbose);
            qlImage image;
            RecordingLog log;
            StderrCapture stderrText;
            EXPECT_TRUE(LoadFromMemory(JpegHandler(), image, truncated, verbose));
            EXPECT_EQ(stderrText.Text(), "");
            if (toolkitVerbose && verbose)
            {
                ASSERT_EQ(log.Records().size(), 1u);
                EXPECT_EQ(log.Records()[0].level, wxLOG_Info);
                EXPECT_EQ(log.Records()[0].text,
                          wxT("JPEG library warning: Corrupt JPEG data: premature end of data "
                              "segment"));
            }
            else
            {
                EXPECT_TRUE(log.Records().empty());
            }
        }
    wxLog::SetVerbose(wasVerbose);
}

TEST(qlJPEGHandler, ReadBufferWithoutMemoryIsALackOfMemory)
{
    const std::string jpeg = WriteJpeg(JpegFixture());
    // The 2048-byte read buffer does not fit what is left of the permanent
    // pool's first block, so libjpeg asks for a block of its own: the
    // buffer, the pool's header and some alignment slack (2103 bytes in
    // libjpeg-turbo 2.1). Nothing else a load takes is of that size.
    SmallAllocationFailure failure;
    failure.from = 2048;
    failure.to = 2048 + 64;
    qlImage image;
    RecordingLog log;
    gSmallAllocationFailure = &failure;
    const bool loaded = LoadFromMemory(JpegHandler(), image, jpeg);
    gSmallAllocationFailure = nullptr;
    EXPECT_FALSE(loaded);
    EXPECT_EQ(failure.failed, 1);
    EXPECT_FALSE(image.IsOk());
    EXPECT_EQ(ErrorLines(log), "JPEG: not enough memory to load the image.\n");

    // The next load finds the library as it was.
    ASSERT_TRUE(LoadFromMemory(JpegHandler(), image, jpeg));
    EXPECT_EQ(image.GetWidth(), 4);
}

TEST(qlJPEGHandler, TruncatedFileLoadsAtFullSize)
{
    const std::string jpeg = PatternJpeg64();
    qlImage image;
    RecordingLog log;
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
        RecordingLog log;
        StderrCapture stderrText;
        EXPECT_FALSE(JpegHandler()->SaveFile(&image, stream, true)) << size;
        EXPECT_EQ(stderrText.Text(), "");
        EXPECT_EQ(ErrorLines(log),
                  "JPEG: Couldn't save image (Output file write error --- out of disk "
                  "space?).\n");
    }
}

} // namespace
