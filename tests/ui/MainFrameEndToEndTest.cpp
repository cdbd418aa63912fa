// A user's whole batch through the real window, the real job, engine and
// codecs: the outputs must have the requested size, the source's ICC
// profile and its Exif data brought up to date.

#include "Identity.h"
#include "tests/job/JobFixtures.h"
#include "tests/support/WxTestSupport.h"
#include "tests/ui/UiTestSupport.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/stattext.h>
#include <wx/timer.h>

namespace
{

/// A source and a destination folder of their own.
struct Folders
{
    TempDir dir;
    wxString source = dir.File(wxT("photos"));
    wxString destination = dir.File(wxT("small"));

    bool Made() const { return wxMkdir(source) && wxMkdir(destination); }
};

} // namespace

TEST(MainFrameEndToEnd, ResizesEveryTickedFileKeepingProfileAndExif)
{
    PIXMORA_REQUIRE_CODECS();
    const Folders folders;
    ASSERT_TRUE(folders.Made());
    const wxString& source = folders.source;
    const wxString& destination = folders.destination;

    struct Case
    {
        const char* name;
        int width, height;
        bool saveToJpeg;
        const char* output;
        int outputWidth, outputHeight;
    };
    const Case kCases[] = {
        {"photo.jpg", 200, 100, false, "photo.jpg", 50, 25},
        {"Scan.TIF", 100, 200, false, "Scan.TIF", 50, 100},
        {"photo.jpg", 200, 100, true, "photo.jpg", 50, 25},
        {"Scan.TIF", 100, 200, true, "Scan.jpg", 50, 100},
    };
    const std::string profile = FakeProfile(700);
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(std::string(c.name) + (c.saveToJpeg ? " saved to JPEG" : ""));
        const Exiv2::ExifData exif = CameraExif(c.width, c.height);
        FixtureOptions options;
        options.profile = profile;
        options.exif = &exif;
        const wxString input = wxFileName(source, wxString::FromUTF8(c.name)).GetFullPath();
        const wxString output = wxFileName(destination, wxString::FromUTF8(c.output)).GetFullPath();
        ASSERT_TRUE(WriteFixture(input, c.width, c.height, options));
        if (wxFileExists(output))
        {
            ASSERT_TRUE(wxRemoveFile(output));
        }

        MainFrame* frame = MakeFrame();
        Type(frame, ID_SOURCE_FOLDER, source);
        Type(frame, ID_DESTINATION_FOLDER, destination);
        Type(frame, ID_VALUE, wxT("50"));
        Control<wxCheckBox>(frame, ID_SAVE_TO_JPEG)->SetValue(c.saveToJpeg);
        Click(frame, ID_SELECT_ALL);
        // No question and no error box: the output does not exist yet.
        Click(frame, ID_RESIZE);

        qlImage result;
        ASSERT_TRUE(LoadImage(output, result));
        EXPECT_EQ(result.GetWidth(), c.outputWidth);
        EXPECT_EQ(result.GetHeight(), c.outputHeight);
        EXPECT_EQ(Profile(result), profile);
        std::unique_ptr<Exiv2::Image> metadata = ReadMetadata(output);
        ASSERT_TRUE(metadata);
        Exiv2::ExifData& written = metadata->exifData();
        EXPECT_EQ(written["Exif.Image.Software"].toString(), PIXMORA_TITLE " " PIXMORA_VERSION);
        EXPECT_EQ(written["Exif.Photo.PixelXDimension"].toLong(), c.outputWidth);
        EXPECT_EQ(written["Exif.Photo.PixelYDimension"].toLong(), c.outputHeight);

        // The window is idle again.
        EXPECT_EQ(Control<wxButton>(frame, ID_RESIZE)->GetLabel(), wxT("Resize"));
        frame->Destroy();
        wxTheApp->ProcessIdle();
        ASSERT_TRUE(wxRemoveFile(input));
    }
}

TEST(MainFrameEndToEnd, AFileWithUnreadableMetadataIsWrittenAndNotCalledNotResized)
{
    PIXMORA_REQUIRE_CODECS();
    const Folders folders;
    ASSERT_TRUE(folders.Made());
    const wxString& source = folders.source;
    const wxString& destination = folders.destination;
    // The metadata library does not know BigTIFF; the codecs read it.
    ASSERT_TRUE(WriteBigTiffFixture(wxFileName(source, wxT("big.tif")).GetFullPath(), 80, 40));
    const Exiv2::ExifData exif = CameraExif(80, 40);
    FixtureOptions options;
    options.exif = &exif;
    ASSERT_TRUE(WriteFixture(wxFileName(source, wxT("photo.jpg")).GetFullPath(), 80, 40, options));

    MainFrame* frame = MakeFrame();
    Type(frame, ID_SOURCE_FOLDER, source);
    Type(frame, ID_DESTINATION_FOLDER, destination);
    Type(frame, ID_VALUE, wxT("40"));
    Click(frame, ID_SELECT_ALL);
    // The one box after the run says what was lost, and lists no file as
    // not resized.
    wxString report;
    wxTEST_DIALOG(Click(frame, ID_RESIZE), KeepMessage(&report));
    EXPECT_FALSE(report.Contains(wxT("These files could not be resized"))) << report;
    EXPECT_TRUE(report.Contains(wxT("big.tif"))) << report;
    EXPECT_TRUE(report.Contains(wxT("metadata"))) << report;
    for (const wxChar* name : {wxT("big.tif"), wxT("photo.jpg")})
    {
        qlImage result;
        ASSERT_TRUE(LoadImage(wxFileName(destination, name).GetFullPath(), result)) << name;
        EXPECT_EQ(result.GetWidth(), 40) << name;
    }
    frame->Destroy();
    wxTheApp->ProcessIdle();
}

TEST(MainFrameEndToEnd, StopDuringARealRunKeepsEveryEarlierOutputWhole)
{
    PIXMORA_REQUIRE_CODECS();
    const Folders folders;
    ASSERT_TRUE(folders.Made());
    const wxString& source = folders.source;
    const wxString& destination = folders.destination;
    const char* const names[] = {"1.jpg", "2.jpg", "3.jpg", "4.jpg"};
    for (const char* name : names)
        ASSERT_TRUE(
            WriteFixture(wxFileName(source, wxString::FromUTF8(name)).GetFullPath(), 2400, 1600));

    MainFrame* frame = MakeFrame();
    Type(frame, ID_SOURCE_FOLDER, source);
    Type(frame, ID_DESTINATION_FOLDER, destination);
    Type(frame, ID_VALUE, wxT("1200"));
    Click(frame, ID_SELECT_ALL);
    // Once the first file is done, Stop is pressed; the timer's events come
    // through the yield between blocks, as the user's click would.
    wxStaticText* counter =
        dynamic_cast<wxStaticText*>(wxWindow::FindWindowById(ID_GAUGE, frame)->GetNextSibling());
    ASSERT_NE(counter, nullptr);
    wxTimer timer;
    bool clicked = false;
    timer.Bind(wxEVT_TIMER,
               [&](wxTimerEvent&)
               {
                   if (!clicked && counter->GetLabel() == wxT("1/4"))
                   {
                       clicked = true;
                       Click(frame, ID_RESIZE);
                   }
               });
    timer.Start(5);
    wxTEST_DIALOG(Click(frame, ID_RESIZE),
                  ExpectMessage(wxT("Do you want to stop resizing?"), wxID_YES));
    timer.Stop();
    ASSERT_TRUE(clicked);

    // The files before the stopped one are whole; nothing else is there,
    // not even a temporary.
    const std::vector<std::string> written = FolderEntries(destination);
    ASSERT_GE(written.size(), 1u);
    ASSERT_LT(written.size(), 4u);
    for (std::size_t i = 0; i < written.size(); ++i)
    {
        EXPECT_EQ(written[i], names[i]);
        qlImage result;
        ASSERT_TRUE(LoadImage(wxFileName(destination, wxString::FromUTF8(written[i])).GetFullPath(),
                              result));
        EXPECT_EQ(result.GetWidth(), 1200);
        EXPECT_EQ(result.GetHeight(), 800);
    }
    EXPECT_EQ(Control<wxButton>(frame, ID_RESIZE)->GetLabel(), wxT("Resize"));
    frame->Destroy();
    wxTheApp->ProcessIdle();
}
