#include "codecs/qlImage.h"
#include "codecs/qlTIFFHandler.h"
#include "tests/codecs/CodecTestSupport.h"
#include "tests/reliability/FailingOutputStream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/mstream.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tiffio.h>
#include <vector>

namespace
{

struct TIFFCloser
{
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TIFFHandle = std::unique_ptr<TIFF, TIFFCloser>;

/// Overwrites the value of a SHORT tag that libtiff wrote in place in the
/// first directory of a little-endian file.
void SetShortTag(std::string& tiff, int tag, std::uint16_t value)
{
    const auto byte = [&tiff](std::size_t at) { return static_cast<unsigned char>(tiff[at]); };
    const std::size_t ifd = byte(4) | byte(5) << 8;
    const unsigned count = byte(ifd) | byte(ifd + 1) << 8;
    for (unsigned i = 0; i < count; ++i)
    {
        const std::size_t entry = ifd + 2 + 12 * i;
        if ((byte(entry) | byte(entry + 1) << 8) != tag)
            continue;
        ASSERT_EQ(byte(entry + 2), 3); // SHORT
        tiff[entry + 8] = static_cast<char>(value & 0xFF);
        tiff[entry + 9] = static_cast<char>(value >> 8);
        return;
    }
    FAIL() << "no tag " << tag;
}

/// One page of a fixture written with libtiff itself.
struct TiffPage
{
    uint32_t width = 4;
    uint32_t height = 2;
    uint16_t samples = 3;
    uint16_t photometric = PHOTOMETRIC_RGB;
    std::vector<uint16_t> extraKinds;
    std::string profile;
};

std::string WriteTiff(const std::vector<TiffPage>& pages)
{
    TempDir dir;
    const wxString path = dir.File(wxT("fixture.tif"));
    {
        TIFFHandle tiff(TIFFOpen(path.utf8_str(), "w"));
        for (const TiffPage& page : pages)
        {
            TIFF* t = tiff.get();
            TIFFSetField(t, TIFFTAG_IMAGEWIDTH, page.width);
            TIFFSetField(t, TIFFTAG_IMAGELENGTH, page.height);
            TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, page.samples);
            TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
            TIFFSetField(t, TIFFTAG_PHOTOMETRIC, page.photometric);
            TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
            TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, page.height);
            if (!page.extraKinds.empty())
                TIFFSetField(t, TIFFTAG_EXTRASAMPLES, static_cast<uint16_t>(page.extraKinds.size()),
                             page.extraKinds.data());
            if (!page.profile.empty())
                TIFFSetField(t, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(page.profile.size()),
                             page.profile.data());
            std::vector<unsigned char> row(page.width * page.samples);
            for (uint32_t y = 0; y < page.height; ++y)
            {
                for (size_t i = 0; i < row.size(); ++i)
                    row[i] = static_cast<unsigned char>(i % page.samples == 3 ? 255 - y * 50
                                                                              : y * 40 + i);
                TIFFWriteScanline(t, row.data(), y, 0);
            }
            TIFFWriteDirectory(t);
        }
    }
    return ReadFileBytes(path);
}

/// Opens bytes with libtiff itself, to read back what the handler wrote.
class TiffReader
{
public:
    explicit TiffReader(const std::string& bytes)
    {
        WriteFileBytes(m_dir.File(wxT("read.tif")), bytes);
        m_tiff.reset(TIFFOpen(m_dir.File(wxT("read.tif")).utf8_str(), "r"));
    }
    TIFF* get() const { return m_tiff.get(); }
    int U16(ttag_t tag) const
    {
        uint16_t value = 0;
        return TIFFGetField(m_tiff.get(), tag, &value) ? value : -1;
    }
    std::string Strips() const
    {
        std::string all;
        for (tstrip_t s = 0; s < TIFFNumberOfStrips(m_tiff.get()); ++s)
        {
            std::string strip(TIFFStripSize(m_tiff.get()), '\0');
            const tmsize_t n = TIFFReadEncodedStrip(m_tiff.get(), s, &strip[0], strip.size());
            all += strip.substr(0, n < 0 ? 0 : n);
        }
        return all;
    }

private:
    TempDir m_dir;
    TIFFHandle m_tiff;
};

std::string ProfileOf(const qlImage& image)
{
    if (image.GetICCProfile() == nullptr)
        return std::string();
    return std::string(reinterpret_cast<const char*>(image.GetICCProfile()),
                       image.GetICCProfileLength());
}

TEST(qlTIFFHandler, IsTheRegisteredTiffHandler)
{
    wxImageHandler* handler = TiffHandler();
    ASSERT_NE(wxDynamicCast(handler, qlTIFFHandler), nullptr);
    EXPECT_EQ(handler->GetName(), wxT("TIFF file"));
    EXPECT_EQ(handler->GetExtension(), wxT("tif"));
    EXPECT_EQ(handler->GetMimeType(), wxT("image/tiff"));
}

TEST(qlTIFFHandler, DefaultSaveWritesExactlyTheTableAndTheRgbBytes)
{
    wxImage image = MakeRgbImage(5, 3);
    std::string tiff;
    ASSERT_TRUE(SaveToMemory(TiffHandler(), image, &tiff));
    EXPECT_EQ(TiffTagNumbers(tiff),
              (std::vector<int>{256, 257, 258, 259, 262, 273, 274, 277, 278, 279, 284}));
    TiffReader reader(tiff);
    ASSERT_NE(reader.get(), nullptr);
    uint32_t width = 0, height = 0;
    TIFFGetField(reader.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(reader.get(), TIFFTAG_IMAGELENGTH, &height);
    EXPECT_EQ(width, 5u);
    EXPECT_EQ(height, 3u);
    EXPECT_EQ(reader.U16(TIFFTAG_SAMPLESPERPIXEL), 3);
    EXPECT_EQ(reader.U16(TIFFTAG_BITSPERSAMPLE), 8);
    EXPECT_EQ(reader.U16(TIFFTAG_PHOTOMETRIC), 2);
    EXPECT_EQ(reader.U16(TIFFTAG_COMPRESSION), 1);
    EXPECT_EQ(reader.U16(TIFFTAG_PLANARCONFIG), 1);
    EXPECT_EQ(reader.U16(TIFFTAG_ORIENTATION), 1);
    EXPECT_EQ(reader.Strips(), std::string(reinterpret_cast<char*>(image.GetData()), 45));

    wxImage loaded;
    ASSERT_TRUE(LoadFromMemory(TiffHandler(), loaded, tiff));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(loaded.GetData()), 45),
              std::string(reinterpret_cast<char*>(image.GetData()), 45));
}

TEST(qlTIFFHandler, BilevelPacksRedAboveZeroIntoBits)
{
    wxImage image(10, 2, true);
    const int lit[] = {0, 3, 7, 8, 9};
    for (int x : lit)
        image.SetRGB(x, 0, 1, 0, 0);
    image.SetRGB(8, 1, 0, 255, 255); // only red counts
    image.SetOption(wxT("SamplesPerPixel"), 1);
    image.SetOption(wxT("BitsPerSample"), 1);
    std::string tiff;
    ASSERT_TRUE(SaveToMemory(TiffHandler(), image, &tiff));
    TiffReader reader(tiff);
    ASSERT_NE(reader.get(), nullptr);
    EXPECT_EQ(reader.U16(TIFFTAG_PHOTOMETRIC), 1);
    EXPECT_EQ(reader.U16(TIFFTAG_BITSPERSAMPLE), 1);
    EXPECT_EQ(reader.Strips(), std::string("\x91\xC0\x00\x00", 4));
}

TEST(qlTIFFHandler, LayoutsWithoutARowConversionFallBackToRgb)
{
    wxImage image = MakeRgbImage(5, 3);
    image.SetOption(wxT("SamplesPerPixel"), 1);
    image.SetOption(wxT("BitsPerSample"), 8);
    std::string tiff;
    ASSERT_TRUE(SaveToMemory(TiffHandler(), image, &tiff));
    TiffReader reader(tiff);
    EXPECT_EQ(reader.U16(TIFFTAG_SAMPLESPERPIXEL), 3);
    EXPECT_EQ(reader.U16(TIFFTAG_BITSPERSAMPLE), 8);
    EXPECT_EQ(reader.Strips(), std::string(reinterpret_cast<char*>(image.GetData()), 45));
}

TEST(qlTIFFHandler, ResolutionNeedsBothAxesAndWritesNoUnit)
{
    struct Case
    {
        std::vector<std::pair<const char*, int>> options;
        float x, y; // 0: no tag
    };
    const Case cases[] = {
        {{{"ResolutionX", 300}, {"ResolutionY", 200}}, 300, 200},
        {{{"Resolution", 300}, {"ResolutionUnit", 2}}, 0, 0},
        {{{"ResolutionX", 300}}, 0, 0},
    };
    for (const Case& c : cases)
    {
        wxImage image = MakeRgbImage(2, 2);
        for (const auto& option : c.options)
            image.SetOption(wxString::FromAscii(option.first), option.second);
        std::string tiff;
        ASSERT_TRUE(SaveToMemory(TiffHandler(), image, &tiff));
        const std::vector<int> tags = TiffTagNumbers(tiff);
        auto has = [&](int tag) { return std::find(tags.begin(), tags.end(), tag) != tags.end(); };
        EXPECT_FALSE(has(TIFFTAG_RESOLUTIONUNIT));
        EXPECT_EQ(has(TIFFTAG_XRESOLUTION), c.x != 0);
        if (c.x != 0)
        {
            TiffReader reader(tiff);
            float x = 0, y = 0;
            TIFFGetField(reader.get(), TIFFTAG_XRESOLUTION, &x);
            TIFFGetField(reader.get(), TIFFTAG_YRESOLUTION, &y);
            EXPECT_EQ(x, c.x);
            EXPECT_EQ(y, c.y);
        }
    }
}

TEST(qlTIFFHandler, ProfileRoundTripsForRgbAndIsDroppedForOthers)
{
    const std::string profile = PatternBytes(3001, 4);
    qlImage image;
    static_cast<wxImage&>(image) = MakeRgbImage(3, 3);
    image.SetICCProfile(reinterpret_cast<const unsigned char*>(profile.data()), 3001);
    std::string tiff;
    ASSERT_TRUE(SaveToMemory(TiffHandler(), image, &tiff));
    qlImage loaded;
    ASSERT_TRUE(LoadFromMemory(TiffHandler(), loaded, tiff));
    EXPECT_EQ(ProfileOf(loaded), profile);

    wxImage plain = MakeRgbImage(3, 3);
    ASSERT_TRUE(SaveToMemory(TiffHandler(), plain, &tiff));
    const std::vector<int> tags = TiffTagNumbers(tiff);
    EXPECT_EQ(std::find(tags.begin(), tags.end(), TIFFTAG_ICCPROFILE), tags.end());

    TiffPage gray;
    gray.samples = 1;
    gray.photometric = PHOTOMETRIC_MINISBLACK;
    gray.profile = profile;
    qlImage grayImage;
    ASSERT_TRUE(LoadFromMemory(TiffHandler(), grayImage, WriteTiff({gray})));
    EXPECT_EQ(grayImage.GetWidth(), 4);
    EXPECT_EQ(grayImage.GetICCProfileLength(), 0u);
}

TEST(qlTIFFHandler, AlphaOnlyForOneAssociatedOrUnassociatedExtraSample)
{
    struct Case
    {
        std::vector<uint16_t> kinds;
        bool alpha;
    };
    const Case cases[] = {
        {{EXTRASAMPLE_ASSOCALPHA}, true},
        {{EXTRASAMPLE_UNASSALPHA}, true},
        {{EXTRASAMPLE_UNSPECIFIED}, false},
        {{EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_UNASSALPHA}, false},
        {{}, false},
    };
    for (const Case& c : cases)
    {
        TiffPage page;
        page.samples = static_cast<uint16_t>(3 + c.kinds.size());
        page.extraKinds = c.kinds;
        wxImage image;
        ASSERT_TRUE(LoadFromMemory(TiffHandler(), image, WriteTiff({page})));
        EXPECT_EQ(image.HasAlpha(), c.alpha) << c.kinds.size();
        if (c.alpha)
        {
            EXPECT_EQ(image.GetAlpha(0, 0), 255);
            EXPECT_EQ(image.GetAlpha(0, 1), 205);
        }
        // Top row first, whatever the library's raster order.
        EXPECT_EQ(image.GetRed(1, 0), page.samples);
        if (c.kinds.empty())
        {
            EXPECT_EQ(image.GetRed(0, 1), 40);
        }
    }
}

TEST(qlTIFFHandler, PagesAreCountedAndSelectedByIndex)
{
    std::vector<TiffPage> pages(3);
    pages[0].width = 3;
    pages[1].width = 5;
    pages[2].width = 7;
    const std::string tiff = WriteTiff(pages);
    {
        wxMemoryInputStream stream(tiff.data(), tiff.size());
        EXPECT_EQ(TiffHandler()->GetImageCount(stream), 3);
        const std::string notTiff = "II no tiff at all";
        wxMemoryInputStream other(notTiff.data(), notTiff.size());
        RecordingLog log; // the library's complaint goes to the log, not the test's stderr
        EXPECT_EQ(TiffHandler()->GetImageCount(other), 0);
    }
    struct Case
    {
        int index;
        int width; // 0: fails
    };
    const Case cases[] = {{-1, 3}, {0, 3}, {1, 5}, {2, 7}, {3, 0}};
    for (const Case& c : cases)
    {
        wxImage image;
        RecordingLog log;
        EXPECT_EQ(LoadFromMemory(TiffHandler(), image, tiff, true, c.index), c.width != 0);
        if (c.width != 0)
        {
            EXPECT_EQ(image.GetWidth(), c.width);
        }
        else
        {
            ASSERT_FALSE(log.Errors().empty());
            EXPECT_EQ(log.Errors().back(), wxT("Invalid TIFF image index."));
        }
    }
}

TEST(qlTIFFHandler, BadVersionLogsTheLibraryThenTheHandler)
{
    const std::string bytes("II\x63\x00\x08\x00\x00\x00\x00\x00", 10);
    wxImage image;
    RecordingLog log;
    EXPECT_FALSE(LoadFromMemory(TiffHandler(), image, bytes));
    EXPECT_EQ(log.Errors(),
              (std::vector<wxString>{wxT("tiff module: image"), wxT("TIFF library error."),
                                     wxT("TIFF: Error loading image.")}));
    EXPECT_EQ(log.Records().size(), 3u);

    RecordingLog quiet;
    EXPECT_FALSE(LoadFromMemory(TiffHandler(), image, bytes, false));
    EXPECT_EQ(quiet.Errors(),
              (std::vector<wxString>{wxT("tiff module: image"), wxT("TIFF library error.")}));
}

TEST(qlTIFFHandler, OversizedDimensionsAreRefusedBeforeAllocation)
{
    std::string tiff = WriteTiff({TiffPage()});
    SetShortTag(tiff, 256, 65535); // ImageWidth
    SetShortTag(tiff, 257, 65535); // ImageLength
    wxImage image;
    RecordingLog log;
    EXPECT_FALSE(LoadFromMemory(TiffHandler(), image, tiff));
    EXPECT_EQ(log.Errors(),
              std::vector<wxString>{wxT("TIFF: image of 65535 x 65535 pixels is too large.")});
    EXPECT_FALSE(image.IsOk());
}

// The library can only fail such strips, and the reader would hand back
// its raster as the picture without them.
TEST(qlTIFFHandler, CompressionTheLibraryCannotDecodeIsRefused)
{
    std::string tiff = WriteTiff({TiffPage()});
    SetShortTag(tiff, 259, 245); // Compression
    for (bool verbose : {true, false})
    {
        wxImage image;
        RecordingLog log;
        EXPECT_FALSE(LoadFromMemory(TiffHandler(), image, tiff, verbose));
        EXPECT_FALSE(image.IsOk());
        EXPECT_EQ(log.Errors(),
                  verbose ? std::vector<wxString>{wxT("TIFF: compression scheme 245 is not "
                                                      "supported.")}
                          : std::vector<wxString>());
    }
}

TEST(qlTIFFHandler, RecognisesBothByteOrderMarks)
{
    struct Case
    {
        std::string bytes;
        bool recognised;
    };
    const Case cases[] = {
        {"", false},          {"I", false},  {"II", true},
        {"MM\x00\x2A", true}, {"IM", false}, {"MI*", false},
    };
    for (const Case& c : cases)
    {
        wxMemoryInputStream stream(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(TiffHandler()->CanRead(stream), c.recognised) << c.bytes;
    }
}

TEST(qlTIFFHandler, FailingOutputStreamIsAFailedSave)
{
    wxImage image = MakeRgbImage(50, 50);
    FailingOutputStream stream(0); // a full disk
    RecordingLog log;
    EXPECT_FALSE(TiffHandler()->SaveFile(&image, stream, true));
    ASSERT_FALSE(log.Errors().empty());
}

} // namespace
