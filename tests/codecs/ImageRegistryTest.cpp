#include "codecs/qlImage.h"
#include "codecs/qlJPEGHandler.h"
#include "codecs/qlTIFFHandler.h"
#include "tests/codecs/CodecTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/mstream.h>

#include <string>
#include <vector>

namespace
{

TEST(ImageRegistry, HoldsBmpThenOurHandlersInOrderAndNoOthers)
{
    std::vector<wxString> extensions;
    for (wxList::compatibility_iterator node = wxImage::GetHandlers().GetFirst(); node;
         node = node->GetNext())
        extensions.push_back(static_cast<wxImageHandler*>(node->GetData())->GetExtension());
    EXPECT_EQ(extensions, (std::vector<wxString>{wxT("bmp"), wxT("xpm"), wxT("png"), wxT("jpg"),
                                                 wxT("gif"), wxT("tif")}));
    EXPECT_NE(wxDynamicCast(wxImage::FindHandler(wxBITMAP_TYPE_JPEG), qlJPEGHandler), nullptr);
    EXPECT_NE(wxDynamicCast(wxImage::FindHandler(wxBITMAP_TYPE_TIF), qlTIFFHandler), nullptr);
}

TEST(ImageRegistry, SavesByLowerCasedExtension)
{
    TempDir dir;
    qlImage image;
    static_cast<wxImage&>(image) = MakeRgbImage(6, 4);
    const unsigned char profile[] = {'p', 'r', 'o'};
    image.SetICCProfile(profile, 3);

    // Only our handler writes the profile, so its marker shows who saved.
    const wxString jpg = dir.File(wxT("out.JPG"));
    ASSERT_TRUE(image.SaveFile(jpg));
    const std::string jpeg = ReadFileBytes(jpg);
    ASSERT_GE(jpeg.size(), 2u);
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    const std::vector<JpegSegment> segments = ReadJpegSegments(jpeg);
    ASSERT_GE(segments.size(), 2u);
    EXPECT_EQ(segments[1].data, IccMarker(1, 1, "pro"));

    const wxString png = dir.File(wxT("out.png"));
    ASSERT_TRUE(image.SaveFile(png));
    EXPECT_EQ(ReadFileBytes(png).substr(0, 8), "\x89PNG\r\n\x1a\n");

    const wxString tif = dir.File(wxT("out.Tif"));
    ASSERT_TRUE(image.SaveFile(tif));
    EXPECT_EQ(ReadFileBytes(tif).substr(0, 2), "II");
}

TEST(ImageRegistry, LongExtensionsFindNoHandlerAndWriteNothing)
{
    TempDir dir;
    wxImage image = MakeRgbImage(2, 2);
    for (const wxString name : {wxT("out.jpeg"), wxT("out.tiff"), wxT("out.JPEG")})
    {
        const wxString path = dir.File(name);
        RecordingLog log;
        EXPECT_FALSE(image.SaveFile(path));
        EXPECT_FALSE(wxFileName::FileExists(path));
        EXPECT_EQ(log.Errors(), std::vector<wxString>{wxString::Format(
                                    _("Can't save image to file '%s': unknown extension."), path)});
    }
}

TEST(ImageRegistry, TypeDetectionPicksOurDecoders)
{
    JpegFixture fixture;
    fixture.app2.push_back(IccMarker(1, 1, "icc"));
    const std::string jpeg = WriteJpeg(fixture);
    qlImage image;
    wxMemoryInputStream stream(jpeg.data(), jpeg.size());
    ASSERT_TRUE(image.LoadFile(stream, wxBITMAP_TYPE_ANY));
    EXPECT_EQ(image.GetICCProfileLength(), 3u);

    qlImage tiffImage;
    static_cast<wxImage&>(tiffImage) = MakeRgbImage(3, 3);
    tiffImage.SetICCProfile(reinterpret_cast<const unsigned char*>("tif"), 3);
    std::string tiff;
    ASSERT_TRUE(SaveToMemory(TiffHandler(), tiffImage, &tiff));
    qlImage loaded;
    wxMemoryInputStream tiffStream(tiff.data(), tiff.size());
    ASSERT_TRUE(loaded.LoadFile(tiffStream, wxBITMAP_TYPE_ANY));
    EXPECT_EQ(loaded.GetICCProfileLength(), 3u);
}

} // namespace
