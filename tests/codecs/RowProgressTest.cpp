// The JPEG handler's rows as another thread sees them while it decodes: in
// order, final once published, and alive after a failed load.

#include "codecs/RowProgress.h"
#include "codecs/qlImage.h"
#include "tests/codecs/CodecTestSupport.h"

#include <gtest/gtest.h>
#include <wx/mstream.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace
{

TEST(RowProgress, AReaderSeesEveryRowFinalInOrderWhileTheHandlerDecodes)
{
    JpegFixture fixture;
    fixture.width = 97;
    fixture.height = 301;
    for (int i = 0; i < fixture.width * fixture.height * 3; ++i)
        fixture.pixels.push_back(static_cast<unsigned char>((i * 37) ^ (i / 291)));
    const std::string jpeg = WriteJpeg(fixture);
    qlImage whole;
    {
        wxMemoryInputStream stream(jpeg.data(), jpeg.size());
        ASSERT_TRUE(whole.LoadFile(stream, wxBITMAP_TYPE_JPEG));
    }
    RowProgress progress;
    qlImage decoded;
    std::thread decoder(
        [&]
        {
            RowProgress::Scope scope(&progress);
            wxMemoryInputStream stream(jpeg.data(), jpeg.size());
            decoded.LoadFile(stream, wxBITMAP_TYPE_JPEG);
            progress.End();
        });
    int width = 0, height = 0;
    const unsigned char* pixels = progress.WaitForBuffer(width, height);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 97);
    EXPECT_EQ(height, 301);
    // Each row, once published, already holds what the whole load gives.
    const std::size_t rowBytes = std::size_t(width) * 3;
    bool same = true;
    for (int row = 0; row < height; row += 7)
    {
        ASSERT_TRUE(progress.WaitForRows(row + 1));
        same = same && std::equal(pixels + row * rowBytes, pixels + (row + 1) * rowBytes,
                                  whole.GetData() + row * rowBytes);
    }
    EXPECT_TRUE(same);
    EXPECT_TRUE(progress.WaitForRows(height));
    decoder.join();
    EXPECT_FALSE(progress.WaitForRows(height + 1)) << "no row past the picture";
}

TEST(RowProgress, AFailedLoadEndsTheWaitAndKeepsThePixelsAlive)
{
    // As a handler that fails after it has begun: it drops its image.
    RowProgress progress;
    qlImage image;
    qlImage::CreateUninitialised(image, 8, 50);
    std::fill(image.GetData(), image.GetData() + 8 * 50 * 3, 0x5A);
    progress.Begin(image);
    progress.Publish(20);
    image.Destroy();
    progress.End();
    int width = 0, height = 0;
    const unsigned char* pixels = progress.WaitForBuffer(width, height);
    ASSERT_NE(pixels, nullptr);
    EXPECT_TRUE(progress.WaitForRows(20));
    EXPECT_FALSE(progress.WaitForRows(21));
    // Still readable: the progress holds its own reference.
    EXPECT_EQ(pixels[8 * 50 * 3 - 1], 0x5A);
}

TEST(RowProgress, ALoadThatNeverBeginsGivesNoBuffer)
{
    RowProgress progress;
    progress.End();
    int width = 0, height = 0;
    EXPECT_EQ(progress.WaitForBuffer(width, height), nullptr);
    EXPECT_FALSE(progress.WaitForRows(1));
}

} // namespace
