#include "codecs/DecodeLimits.h"
#include "codecs/qlImage.h"
#include "platform/PhysicalMemory.h"
#include "tests/codecs/BombFixtures.h"
#include "tests/codecs/CodecTestSupport.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <string>
#include <vector>

namespace
{

// A small real picture whose header then claims another size: the data
// stays that of 80 x 8 pixels.
std::string SmallJpegClaiming(std::uint16_t width, std::uint16_t height)
{
    JpegPicture picture;
    picture.width = 80;
    picture.height = 8;
    return WithJpegFrameSize(EncodeJpeg(picture), width, height);
}

// Every scan of a grayscale picture passes over all of its blocks.
std::string GrayJpegWithScans(int scans)
{
    JpegPicture picture;
    picture.grayscale = true;
    picture.progressive = true;
    return WithJpegScanCount(EncodeJpeg(picture), scans);
}

JpegPicture Large(SampleFunction sample)
{
    JpegPicture picture;
    picture.width = 4096; // 16 megapixels, where the data rule starts
    picture.height = 4096;
    picture.sample = sample;
    return picture;
}

TEST(DecodeLimits, PixelsToolkitBufferAndHalfOfPhysicalMemoryBoundADecode)
{
    const std::uint64_t physical = PhysicalMemoryBytes();
    ASSERT_GT(physical, 0u);
    const std::uint64_t budget = physical / 2;
    ASSERT_GT(budget, 1200000000u);
    EXPECT_EQ(DecodeLimits::MemoryBudget(), budget);
    using Verdict = DecodeLimits::Verdict;
    struct Case
    {
        std::uint64_t width, height, imageBytes, workBytes;
        Verdict verdict;
    };
    const Case cases[] = {
        {20000, 20000, 1200000000, 0, Verdict::Fits},
        {20000, 20000, 1200000000, budget - 1200000000, Verdict::Fits},
        {20000, 20000, 1200000000, budget - 1200000000 + 1, Verdict::TooMuchMemory},
        {1, 1, 3, UINT64_MAX, Verdict::TooMuchMemory},
        {40000, 25000, 1000, 0, Verdict::Fits}, // exactly a gigapixel
        {40000, 25001, 1000, 0, Verdict::TooManyPixels},
        {65500, 65500, 1000, 0, Verdict::TooManyPixels},
        {std::uint64_t(1) << 32, 1, 1000, 0, Verdict::TooManyPixels},
        {26755, 26755, 26755ull * 26755 * 3, 0, Verdict::TooManyPixels}, // over INT_MAX bytes
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeLimits::Judge(c.width, c.height, c.imageBytes, c.workBytes), c.verdict)
            << c.width << " x " << c.height << " + " << c.workBytes;
}

TEST(DecodeLimits, OnlyABlockLargeInItselfAndFarBeyondItsPictureIsRefused)
{
    constexpr std::uint64_t kMiB = std::uint64_t(1) << 20;
    struct Case
    {
        std::uint64_t block, picture;
        bool refused;
    };
    const Case cases[] = {
        {64 * kMiB, 4, false}, // small in itself, whatever the picture
        {64 * kMiB + 1, 4, true},
        {800 * kMiB, 50 * kMiB, false}, // 16 bytes of strip for each raster byte
        {800 * kMiB + 1, 50 * kMiB, true},
        {UINT64_MAX, UINT64_MAX / 2, false},
        {UINT64_MAX, 1000, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeLimits::BlockFarExceedsPicture(c.block, c.picture), c.refused)
            << c.block << " for " << c.picture;
}

TEST(DecodeLimits, DeclaredImagesThatCannotBeRealAreRefusedBeforeDecoding)
{
    const std::string tinyFrame = SmallJpegClaiming(20000, 20000);
    const std::string tinyStrip = PatternBytes(100, 7);
    const std::string uncompressed = TiffDeclaring(20000, 20000, COMPRESSION_NONE, tinyStrip);
    struct Case
    {
        const char* name;
        wxImageHandler* handler;
        std::string bytes;
        wxString message;
    };
    const Case cases[] = {
        {"JPEG over a gigapixel", JpegHandler(), SmallJpegClaiming(65500, 65500),
         wxT("JPEG: image of 65500 x 65500 pixels is too large.")},
        {"JPEG of 400 megapixels in a few hundred bytes", JpegHandler(), tinyFrame,
         wxString::Format(wxT("JPEG: the file declares 20000 x 20000 pixels but holds only %zu "
                              "bytes of image data."),
                          tinyFrame.size() - JpegFirstScanData(tinyFrame))},
        {"JPEG whose scans pass over every block 33 times", JpegHandler(), GrayJpegWithScans(33),
         wxT("JPEG: image of 16 x 16 pixels has too many scans (stopped at scan 33).")},
        {"JPEG of thousands of scans", JpegHandler(), GrayJpegWithScans(5000),
         wxT("JPEG: image of 16 x 16 pixels has too many scans (stopped at scan 33).")},
        {"TIFF over a gigapixel", TiffHandler(),
         TiffDeclaring(65535, 65535, COMPRESSION_NONE, tinyStrip),
         wxT("TIFF: image of 65535 x 65535 pixels is too large.")},
        {"deflated TIFF of 400 megapixels in one tiny strip", TiffHandler(),
         TiffDeclaring(20000, 20000, COMPRESSION_ADOBE_DEFLATE, tinyStrip),
         wxT("TIFF: the file declares 20000 x 20000 pixels but holds only 100 bytes of image "
             "data.")},
        // The library sees through the strip's byte count and takes every
        // byte from the strip's start to the file's end as its data.
        {"uncompressed TIFF of 400 megapixels in one tiny strip", TiffHandler(), uncompressed,
         wxString::Format(wxT("TIFF: the file declares 20000 x 20000 pixels but holds only %zu "
                              "bytes of image data."),
                          uncompressed.size() - 8)},
        // No worst-case ratio is known for ZSTD, so only the strip's size
        // gives this one away: 4 x 31233 x 23297 bytes.
        {"TIFF whose one strip of thousands of samples per pixel dwarfs its picture", TiffHandler(),
         TiffDeclaring(4, 31233, COMPRESSION_ZSTD, tinyStrip, 0, 23297),
         wxT("TIFF: image of 4 x 31233 pixels declares strips or tiles of 2910540804 bytes, far "
             "more than it can hold.")},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        for (bool verbose : {true, false})
        {
            qlImage image;
            image.Create(2, 2);
            RecordingLog log;
            EXPECT_FALSE(LoadFromMemory(c.handler, image, c.bytes, verbose));
            EXPECT_FALSE(image.IsOk());
            if (verbose)
            {
                EXPECT_EQ(log.Errors(), std::vector<wxString>{c.message});
            }
            else
            {
                EXPECT_TRUE(log.Errors().empty());
            }
        }
    }
}

TEST(DecodeLimits, RealFilesWithLittleDataStillLoad)
{
    JpegPicture optimised = Large(UniformSample);
    optimised.optimize = true;
    JpegPicture arithmetic = Large(UniformSample);
    arithmetic.arithmetic = true;
    const std::string arithmeticBytes = EncodeJpeg(arithmetic);
    // Less than a bit per block: only arithmetic coding can do that, and the
    // Huffman rule must not be applied to it.
    const std::uint64_t blocks = 512 * 512 + 2 * 256 * 256;
    ASSERT_LT(arithmeticBytes.size() * 8, blocks);
    const std::string photo = EncodeJpeg(Large(PhotoLikeSample));
    JpegPicture progressive = Large(UniformSample);
    progressive.progressive = true;
    TiffPicture deflated;
    deflated.width = deflated.height = 4096;
    deflated.compression = COMPRESSION_ADOBE_DEFLATE;
    deflated.rowsPerStrip = 4096;

    struct Case
    {
        const char* name;
        wxImageHandler* handler;
        std::string bytes;
        int side;
        bool uniform; // then the last pixel shows the colour, decoded from real data
    };
    const Case cases[] = {
        {"JPEG photo cut off after half its data", JpegHandler(), photo.substr(0, photo.size() / 2),
         4096, false},
        {"JPEG photo cut off after a tenth of its data", JpegHandler(),
         photo.substr(0, photo.size() / 10), 4096, false},
        {"uniform JPEG with fitted Huffman tables", JpegHandler(), EncodeJpeg(optimised), 4096,
         true},
        {"uniform arithmetic-coded JPEG", JpegHandler(), arithmeticBytes, 4096, true},
        {"JPEG whose scans pass over every block 32 times", JpegHandler(), GrayJpegWithScans(32),
         16, false},
        {"colour JPEG of the standard progressive script", JpegHandler(), EncodeJpeg(progressive),
         4096, true},
        {"uniform deflated TIFF in one strip", TiffHandler(), EncodeTiff(deflated), 4096, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        qlImage image;
        RecordingLog log;
        ASSERT_TRUE(LoadFromMemory(c.handler, image, c.bytes));
        EXPECT_TRUE(log.Errors().empty());
        EXPECT_EQ(image.GetWidth(), c.side);
        EXPECT_EQ(image.GetHeight(), c.side);
        if (c.uniform)
        {
            for (int channel = 0; channel < 3; ++channel)
                EXPECT_NEAR(image.GetData()[(c.side * c.side - 1) * 3 + channel],
                            UniformSample(0, 0, channel), 2)
                    << channel;
        }
    }
}

} // namespace
