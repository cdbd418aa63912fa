#include "job/ResizeFile.h"
#include "job/SaveHandler.h"
#include "tests/job/JobFixtures.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/RecordingLog.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WxTestSupport.h"

#include <gtest/gtest.h>
#include <wx/filename.h>

#include <algorithm>
#include <climits>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

const char* const UpdatedKeys[] = {"Exif.Image.Software", "Exif.Photo.PixelXDimension",
                                   "Exif.Photo.PixelYDimension"};

class ResizeFileTest : public testing::Test
{
protected:
    struct Result
    {
        /// Written completely, Exif data included.
        bool ok = false;
        ResizeResult job;
        std::vector<wxString> errors;
    };

    /// Runs the job as the batch run does, with its log recorded, and checks
    /// that the log level it found is back afterwards.
    Result Resize(const wxString& source, const wxString& output, int value, int dimension,
                  int interpolator = 1, int quality = 85, const StopCheck& shouldStop = {})
    {
        Result result;
        const wxLogLevel before = wxLog::GetLogLevel();
        wxLog::SetLogLevel(wxLOG_Info);
        {
            RecordingLog log;
            ResizeRequest request;
            request.value = value;
            request.dimension = static_cast<ResizeDimension>(dimension);
            request.interpolator = static_cast<InterpolatorSetting>(interpolator);
            request.jpegQuality = quality;
            result.job = ResizeFile(source, output, request, shouldStop);
            result.ok = result.job.status == ResizeResult::Status::Written;
            result.errors = log.Errors();
        }
        // The result says what the log said, for callers without a log.
        if (result.job.status == ResizeResult::Status::NotWritten)
        {
            EXPECT_FALSE(result.job.reason.empty());
            EXPECT_NE(std::find(result.errors.begin(), result.errors.end(), result.job.reason),
                      result.errors.end())
                << result.job.reason;
        }
        EXPECT_EQ(wxLog::GetLogLevel(), wxLOG_Info) << "log level not restored";
        wxLog::SetLogLevel(before);
        return result;
    }

    wxString File(const char* name) const { return m_folder.File(wxString::FromUTF8(name)); }

    /// Everything in the test's folder, hidden files included.
    std::vector<std::string> Entries(const wxString& folder = wxString()) const
    {
        return FolderEntries(folder.empty() ? m_folder.Path() : folder);
    }

    TempDir m_folder;
};

void ExpectSlong(const Exiv2::ExifData& exifData, const char* key, long value)
{
    const auto entry = exifData.findKey(Exiv2::ExifKey(key));
    ASSERT_NE(entry, exifData.end()) << key;
    EXPECT_EQ(entry->typeId(), Exiv2::signedLong) << key;
    EXPECT_EQ(entry->count(), 1u) << key;
    EXPECT_EQ(entry->toLong(), value) << key;
}

std::string SoftwareOf(const Exiv2::ExifData& exifData)
{
    const auto entry = exifData.findKey(Exiv2::ExifKey("Exif.Image.Software"));
    return entry == exifData.end() ? std::string("<none>") : entry->toString();
}

TEST_F(ResizeFileTest, CameraJpegGetsItsNewSizeAndSoftwareAndKeepsEveryOtherTag)
{
    PIXMORA_REQUIRE_CODECS();
    const Exiv2::ExifData camera = CameraExif(1200, 800);
    FixtureOptions options;
    options.exif = &camera;
    ASSERT_TRUE(WriteFixture(File("camera.jpg"), 1200, 800, options));
    const std::unique_ptr<Exiv2::Image> source = ReadMetadata(File("camera.jpg"));
    ASSERT_TRUE(source);

    const Result result = Resize(File("camera.jpg"), File("small.jpg"), 800, 0);
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.errors.empty()) << result.errors.front();

    qlImage output;
    ASSERT_TRUE(LoadImage(File("small.jpg"), output));
    EXPECT_EQ(output.GetWidth(), 800);
    EXPECT_EQ(output.GetHeight(), 533);
    const std::unique_ptr<Exiv2::Image> written = ReadMetadata(File("small.jpg"));
    ASSERT_TRUE(written);
    ExpectSlong(written->exifData(), "Exif.Photo.PixelXDimension", 800);
    ExpectSlong(written->exifData(), "Exif.Photo.PixelYDimension", 533);
    EXPECT_EQ(SoftwareOf(written->exifData()), "Pixmora 2.1");
    // Pointers to sub-directories are offsets, which move with the layout.
    const auto except = {UpdatedKeys[0], UpdatedKeys[1], UpdatedKeys[2], "Exif.Image.ExifTag",
                         "Exif.Image.GPSTag"};
    EXPECT_EQ(ExifTags(written->exifData(), except), ExifTags(source->exifData(), except));
}

TEST_F(ResizeFileTest, TiffSourceHasItsImageSizeTagsUpdatedInAJpegOutput)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(WriteFixture(File("scan.tif"), 300, 200));
    const Result result = Resize(File("scan.tif"), File("scan.jpg"), 150, 0);
    EXPECT_TRUE(result.ok);
    const std::unique_ptr<Exiv2::Image> written = ReadMetadata(File("scan.jpg"));
    ASSERT_TRUE(written);
    ExpectSlong(written->exifData(), "Exif.Image.ImageWidth", 150);
    ExpectSlong(written->exifData(), "Exif.Image.ImageLength", 100);
    EXPECT_EQ(SoftwareOf(written->exifData()), "Pixmora 2.1");
}

TEST_F(ResizeFileTest, NoExifInGivesNoExifOut)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(WriteFixture(File("plain.jpg"), 400, 300));
    for (const char* output : {"out.jpg", "out.tif"})
    {
        SCOPED_TRACE(output);
        const Result result = Resize(File("plain.jpg"), File(output), 200, 0);
        EXPECT_TRUE(result.ok);
        const std::unique_ptr<Exiv2::Image> written = ReadMetadata(File(output));
        ASSERT_TRUE(written);
        EXPECT_EQ(SoftwareOf(written->exifData()), "<none>");
        if (wxString(output).EndsWith(wxT(".jpg")))
        {
            EXPECT_TRUE(written->exifData().empty());
        }
    }
}

TEST_F(ResizeFileTest, XmpIptcAndCommentAreNotCarried)
{
    PIXMORA_REQUIRE_CODECS();
    const Exiv2::ExifData camera = CameraExif(400, 300);
    for (bool withExif : {true, false})
    {
        SCOPED_TRACE(withExif ? "with Exif" : "without Exif");
        FixtureOptions options;
        options.exif = withExif ? &camera : nullptr;
        options.xmpIptcComment = true;
        ASSERT_TRUE(WriteFixture(File("tagged.jpg"), 400, 300, options));
        const Result result = Resize(File("tagged.jpg"), File("out.jpg"), 200, 0);
        EXPECT_TRUE(result.ok);
        const std::unique_ptr<Exiv2::Image> written = ReadMetadata(File("out.jpg"));
        ASSERT_TRUE(written);
        EXPECT_TRUE(written->xmpData().empty());
        EXPECT_TRUE(written->iptcData().empty());
        EXPECT_EQ(written->comment(), "");
        EXPECT_EQ(written->exifData().empty(), !withExif);
    }
}

TEST_F(ResizeFileTest, IccProfileIsCarriedByteForByteAcrossFormats)
{
    PIXMORA_REQUIRE_CODECS();
    struct Case
    {
        const char* source;
        const char* output;
        bool withExif;
        size_t profileSize;
    };
    const Case cases[] = {
        {"in.jpg", "out.tif", false, 3000}, {"in.jpg", "out.tif", true, 3000},
        {"in.tif", "out.jpg", false, 3000}, {"in.tif", "out.jpg", true, 3000},
        {"in.jpg", "out.jpg", true, 70000}, {"in.tif", "out.tif", true, 70000},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.source) + " -> " + c.output + (c.withExif ? " with Exif" : ""));
        TempDir folder;
        const Exiv2::ExifData camera = CameraExif(320, 240);
        FixtureOptions options;
        options.profile = FakeProfile(c.profileSize);
        options.exif = c.withExif ? &camera : nullptr;
        const wxString source = folder.File(c.source);
        const wxString output = folder.File(c.output);
        ASSERT_TRUE(WriteFixture(source, 320, 240, options));

        const Result result = Resize(source, output, 160, 0);
        EXPECT_TRUE(result.ok);
        qlImage written;
        ASSERT_TRUE(LoadImage(output, written));
        EXPECT_EQ(written.GetWidth(), 160);
        EXPECT_TRUE(Profile(written) == options.profile)
            << "profile of " << written.GetICCProfileLength() << " bytes";
    }
}

TEST_F(ResizeFileTest, OutputOverTheSourceKeepsTheSourcesMetadata)
{
    PIXMORA_REQUIRE_CODECS();
    for (const char* name : {"photo.jpg", "photo.tif"})
    {
        SCOPED_TRACE(name);
        const Exiv2::ExifData camera = CameraExif(1200, 800);
        FixtureOptions options;
        options.exif = &camera;
        options.profile = FakeProfile(1000);
        ASSERT_TRUE(WriteFixture(File(name), 1200, 800, options));

        const Result result = Resize(File(name), File(name), 800, 0);
        EXPECT_TRUE(result.ok);
        qlImage written;
        ASSERT_TRUE(LoadImage(File(name), written));
        EXPECT_EQ(written.GetWidth(), 800);
        EXPECT_EQ(written.GetHeight(), 533);
        EXPECT_TRUE(Profile(written) == options.profile);
        const std::unique_ptr<Exiv2::Image> metadata = ReadMetadata(File(name));
        ASSERT_TRUE(metadata);
        EXPECT_EQ(metadata->exifData()["Exif.Image.Make"].toString(), "Quillon");
        ExpectSlong(metadata->exifData(), "Exif.Photo.PixelXDimension", 800);
        EXPECT_EQ(SoftwareOf(metadata->exifData()), "Pixmora 2.1");
    }
}

TEST_F(ResizeFileTest, QualityAppliesToJpgOutputsOnly)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(WriteFixture(File("in.tif"), 400, 300));
    struct Case
    {
        const char* output;
        bool qualityMatters;
    };
    const Case cases[] = {{"out.jpg", true},
                          {"OUT.JPG", true},
                          {"out.Jpg", true},
                          {"out.tif", false},
                          {"out.png", false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.output);
        TempDir low, high;
        EXPECT_TRUE(Resize(File("in.tif"), low.File(c.output), 200, 0, 1, 10).ok);
        EXPECT_TRUE(Resize(File("in.tif"), high.File(c.output), 200, 0, 1, 95).ok);
        const std::string lowBytes = ReadFileBytes(low.File(c.output));
        const std::string highBytes = ReadFileBytes(high.File(c.output));
        ASSERT_FALSE(lowBytes.empty());
        EXPECT_EQ(lowBytes != highBytes, c.qualityMatters);
    }
}

TEST_F(ResizeFileTest, ExtensionWithoutAHandlerWritesNothing)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(WriteFixture(File("in.jpg"), 200, 100));
    ASSERT_TRUE(WriteFileBytes(File("kept.jpeg"), "an older file"));
    for (const char* output : {"out.jpeg", "out.tiff", "noextension", "kept.jpeg"})
    {
        SCOPED_TRACE(output);
        const Result result = Resize(File("in.jpg"), File(output), 100, 0);
        EXPECT_EQ(result.job.status, ResizeResult::Status::NotWritten);
        ASSERT_EQ(result.errors.size(), 1u);
        EXPECT_EQ(
            result.errors[0].utf8_string(),
            wxString::Format(wxT("Can't save image to file '%s': unknown extension."), File(output))
                .utf8_string());
    }
    EXPECT_EQ(Entries(), (std::vector<std::string>{"in.jpg", "kept.jpeg"}));
    EXPECT_EQ(ReadFileBytes(File("kept.jpeg")), "an older file");
}

TEST_F(ResizeFileTest, AConfirmedStopWritesNothing)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(WriteFixture(File("in.jpg"), 200, 100));
    const std::string older = ReadFileBytes(File("in.jpg"));
    struct Case
    {
        bool outputExists;
        bool stop;
    };
    const Case cases[] = {{false, true}, {true, true}, {true, false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.outputExists ? "existing output, " : "no output, ") +
                     (c.stop ? "stop" : "go on"));
        TempDir folder;
        const wxString output = folder.File(wxT("out.jpg"));
        if (c.outputExists)
        {
            ASSERT_TRUE(WriteFileBytes(output, older));
        }
        int asked = 0;
        const Result result = Resize(File("in.jpg"), output, 100, 0, 1, 85,
                                     [&]
                                     {
                                         ++asked;
                                         return c.stop;
                                     });
        EXPECT_GE(asked, 1);
        EXPECT_EQ(result.job.status,
                  c.stop ? ResizeResult::Status::Stopped : ResizeResult::Status::Written);
        EXPECT_TRUE(result.errors.empty());
        if (c.stop)
        {
            EXPECT_EQ(wxFileExists(output), c.outputExists);
            if (c.outputExists)
            {
                EXPECT_EQ(ReadFileBytes(output), older);
            }
        }
        else
        {
            qlImage written;
            ASSERT_TRUE(LoadImage(output, written));
            EXPECT_EQ(written.GetWidth(), 100);
        }
        const bool fileExpected = c.outputExists || !c.stop;
        EXPECT_EQ(Entries(folder.Path()).size(), fileExpected ? 1u : 0u);
    }
}

TEST_F(ResizeFileTest, SourcesThatDoNotDecodeAreSkippedWithOneError)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(WriteFixture(File("good.jpg"), 64, 48));
    const std::string good = ReadFileBytes(File("good.jpg"));
    ASSERT_TRUE(WriteFileBytes(File("empty.jpg"), ""));
    ASSERT_TRUE(WriteFileBytes(File("text.jpg"), "this is not a picture\n"));
    ASSERT_TRUE(WriteFileBytes(File("head.jpg"), good.substr(0, 20)));
    ASSERT_TRUE(WriteFileBytes(File("badmagic.tif"), "II*\x01" + good.substr(4)));
    ASSERT_TRUE(wxFileName::Mkdir(File("folder.jpg")));
    for (const char* name :
         {"missing.jpg", "empty.jpg", "text.jpg", "head.jpg", "badmagic.tif", "folder.jpg"})
    {
        SCOPED_TRACE(name);
        const Result result = Resize(File(name), File("out.jpg"), 32, 0);
        EXPECT_EQ(result.job.status, ResizeResult::Status::NotWritten);
        ASSERT_EQ(result.errors.size(), 1u);
        EXPECT_TRUE(result.errors[0].Contains(File(name))) << result.errors[0];
        EXPECT_FALSE(wxFileExists(File("out.jpg")));
    }
}

TEST_F(ResizeFileTest, TargetSizesBelowOnePixelOrTooLargeAreSkippedWithTheSize)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(WriteFixture(File("wide.jpg"), 300, 99));
    struct Case
    {
        int value, dimension;
        const char* size;
    };
    const Case cases[] = {
        {0, 0, "0 x 0"},
        {-10, 1, "-30 x -10"},
        {1, 4, "2 x 0"},
        {1, 0, "1 x 0"},
        {INT_MAX, 1, "6507526203 x 2147483647"},
        {INT_MAX, 0, "2147483647 x 708669603"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.size);
        const Result result = Resize(File("wide.jpg"), File("out.jpg"), c.value, c.dimension);
        EXPECT_EQ(result.job.status, ResizeResult::Status::NotWritten);
        ASSERT_EQ(result.errors.size(), 1u);
        EXPECT_TRUE(result.errors[0].Contains(File("wide.jpg"))) << result.errors[0];
        EXPECT_TRUE(result.errors[0].Contains(c.size)) << result.errors[0];
        EXPECT_FALSE(wxFileExists(File("out.jpg")));
    }
}

TEST_F(ResizeFileTest, UnreadableMetadataStillGivesTheImageWithoutExif)
{
    PIXMORA_REQUIRE_CODECS();
    // The toolkit reads XPM; the metadata library does not know the format.
    ASSERT_TRUE(WriteFixture(File("icon.xpm"), 40, 30));
    const Result result = Resize(File("icon.xpm"), File("icon.jpg"), 20, 0);
    // Written, and said to be: the image is there, only its Exif data is not.
    EXPECT_EQ(result.job.status, ResizeResult::Status::WrittenWithoutExif);
    EXPECT_TRUE(result.job.reason.Contains(wxT("metadata"))) << result.job.reason;
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_TRUE(result.errors[0].Contains(File("icon.xpm"))) << result.errors[0];
    EXPECT_TRUE(result.errors[0].Contains(wxT("metadata"))) << result.errors[0];
    qlImage written;
    ASSERT_TRUE(LoadImage(File("icon.jpg"), written));
    EXPECT_EQ(written.GetWidth(), 20);
    const std::unique_ptr<Exiv2::Image> metadata = ReadMetadata(File("icon.jpg"));
    ASSERT_TRUE(metadata);
    EXPECT_TRUE(metadata->exifData().empty());
}

TEST_F(ResizeFileTest, AFileWhoseMetadataTheLibraryCannotReadIsWrittenAndSaidToBe)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(WriteBigTiffFixture(File("big.tif"), 90, 60));
    ASSERT_FALSE(ReadMetadata(File("big.tif"))) << "the fixture must defeat the metadata library";
    for (const char* output : {"out.jpg", "out.tif"})
    {
        SCOPED_TRACE(output);
        const Result result = Resize(File("big.tif"), File(output), 45, 0);
        EXPECT_EQ(result.job.status, ResizeResult::Status::WrittenWithoutExif);
        EXPECT_TRUE(result.job.IsWritten());
        EXPECT_TRUE(result.job.reason.Contains(File("big.tif"))) << result.job.reason;
        EXPECT_EQ(result.job.targetWidth, 45);
        EXPECT_EQ(result.job.targetHeight, 30);
        qlImage written;
        ASSERT_TRUE(LoadImage(File(output), written));
        EXPECT_EQ(written.GetWidth(), 45);
    }
}

TEST_F(ResizeFileTest, APaddedProfileReachesEveryOutputWhole)
{
    PIXMORA_REQUIRE_CODECS();
    // The profile's header declares fewer bytes than the tag holds; the
    // loader keeps them all, and so must every output, Exif or not.
    std::string padded = FakeProfile(7268);
    padded.resize(8188, '\0');
    const Exiv2::ExifData camera = CameraExif(120, 80);
    FixtureOptions options;
    options.profile = padded;
    options.exif = &camera;
    ASSERT_TRUE(WriteFixture(File("in.tif"), 120, 80, options));
    ASSERT_TRUE(WriteBigTiffFixture(File("big.tif"), 120, 80, padded));
    for (const char* source : {"in.tif", "big.tif"})
    {
        qlImage loaded;
        ASSERT_TRUE(LoadImage(File(source), loaded));
        ASSERT_EQ(Profile(loaded), padded) << source;
        for (const char* output : {"out.jpg", "out.tif"})
        {
            SCOPED_TRACE(std::string(source) + " -> " + output);
            const Result result = Resize(File(source), File(output), 60, 0);
            EXPECT_TRUE(result.job.IsWritten());
            qlImage written;
            ASSERT_TRUE(LoadImage(File(output), written));
            EXPECT_TRUE(Profile(written) == padded)
                << Profile(written).size() << " bytes instead of " << padded.size();
        }
    }
}

TEST_F(ResizeFileTest, MetadataThatCannotBeWrittenKeepsTheSavedImage)
{
    PIXMORA_REQUIRE_CODECS();
    const Exiv2::ExifData camera = CameraExif(120, 80);
    FixtureOptions options;
    options.exif = &camera;
    ASSERT_TRUE(WriteFixture(File("in.jpg"), 120, 80, options));
    for (const char* output : {"out.bmp", "out.xpm"})
    {
        SCOPED_TRACE(output);
        const Result result = Resize(File("in.jpg"), File(output), 60, 0);
        EXPECT_EQ(result.job.status, ResizeResult::Status::WrittenWithoutExif);
        EXPECT_TRUE(result.job.reason.Contains(wxT("metadata could not be written")))
            << result.job.reason;
        ASSERT_EQ(result.errors.size(), 1u);
        EXPECT_TRUE(result.errors[0].Contains(File(output))) << result.errors[0];
        EXPECT_TRUE(result.errors[0].Contains(wxT("metadata could not be written")))
            << result.errors[0];
        qlImage written;
        ASSERT_TRUE(LoadImage(File(output), written));
        EXPECT_EQ(written.GetWidth(), 60);
    }
}

TEST_F(ResizeFileTest, NonAsciiPathsKeepTheirExif)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(wxFileName::Mkdir(File("caf\xc3\xa9")));
    const wxString source =
        File("caf\xc3\xa9") + wxT("/") + wxString::FromUTF8("\xe5\x86\x99\xe7\x9c\x9f.jpg");
    const wxString output = File("r\xc3\xa9sum\xc3\xa9.jpg");
    const Exiv2::ExifData camera = CameraExif(600, 400);
    FixtureOptions options;
    options.exif = &camera;
    ASSERT_TRUE(WriteFixture(source, 600, 400, options));

    const Result result = Resize(source, output, 300, 0);
    EXPECT_TRUE(result.ok);
    const std::unique_ptr<Exiv2::Image> metadata = ReadMetadata(output);
    ASSERT_TRUE(metadata);
    ExpectSlong(metadata->exifData(), "Exif.Photo.PixelXDimension", 300);
    EXPECT_EQ(SoftwareOf(metadata->exifData()), "Pixmora 2.1");
}

// The bytes composed in memory are those the toolkit's save by file name
// writes: saving the decoded output again by name gives the same file.
TEST_F(ResizeFileTest, OutputBytesAreThoseOfTheToolkitsSaveByName)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(WriteFixture(File("in.jpg"), 90, 60));
    for (const char* output : {"out.png", "out.xpm", "out.tif", "out.bmp"})
    {
        SCOPED_TRACE(output);
        EXPECT_TRUE(Resize(File("in.jpg"), File(output), 45, 0).ok);
        qlImage written;
        ASSERT_TRUE(LoadImage(File(output), written));
        TempDir again;
        ASSERT_TRUE(written.SaveFile(again.File(output)));
        EXPECT_TRUE(ReadFileBytes(again.File(output)) == ReadFileBytes(File(output)));
    }
}

TEST_F(ResizeFileTest, ExistingOutputKeepsItsPermissionBits)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(WriteFixture(File("in.jpg"), 90, 60));
    ASSERT_TRUE(WriteFileBytes(File("out.jpg"), "older"));
    ASSERT_EQ(::chmod(File("out.jpg").fn_str(), 0640), 0);
    EXPECT_TRUE(Resize(File("in.jpg"), File("out.jpg"), 45, 0).ok);
    struct stat info;
    ASSERT_EQ(::stat(File("out.jpg").fn_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// Source and destination the same folder: the photo being replaced is the
// user's only copy, so a failed write must leave it as it was.
TEST_F(ResizeFileTest, AFailedWriteOverTheSourceLeavesItByteIdentical)
{
    PIXMORA_REQUIRE_CODECS();
    const Exiv2::ExifData camera = CameraExif(400, 300);
    FixtureOptions options;
    options.exif = &camera;
    ASSERT_TRUE(WriteFixture(File("only.jpg"), 400, 300, options));
    const std::string original = ReadFileBytes(File("only.jpg"));

    Result result;
    {
        FileSizeLimit limit(original.size());
        ASSERT_TRUE(limit.Ok());
        result = Resize(File("only.jpg"), File("only.jpg"), 1600, 0, 1, 100);
    }
    EXPECT_EQ(result.job.status, ResizeResult::Status::NotWritten);
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_TRUE(result.errors[0].Contains(File("only.jpg"))) << result.errors[0];
    EXPECT_TRUE(ReadFileBytes(File("only.jpg")) == original);
    EXPECT_EQ(Entries(), std::vector<std::string>{"only.jpg"});
}

TEST_F(ResizeFileTest, AFullDiskUnderTheSourceLeavesItByteIdentical)
{
    PIXMORA_REQUIRE_CODECS();
    if (::geteuid() != 0 || ::mount("tmpfs", m_folder.Path().fn_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "needs root to mount a 1 MiB tmpfs";
    struct Unmount
    {
        std::string where;
        ~Unmount() { ::umount2(where.c_str(), MNT_DETACH); }
    } unmount{std::string(m_folder.Path().fn_str())};

    ASSERT_TRUE(WriteFixture(File("only.jpg"), 800, 600));
    const std::string original = ReadFileBytes(File("only.jpg"));
    const Result result = Resize(File("only.jpg"), File("only.jpg"), 3200, 0, 1, 100);
    EXPECT_EQ(result.job.status, ResizeResult::Status::NotWritten);
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_TRUE(result.errors[0].Contains(wxT("No space left on device"))) << result.errors[0];
    EXPECT_TRUE(ReadFileBytes(File("only.jpg")) == original);
    EXPECT_EQ(Entries(), std::vector<std::string>{"only.jpg"});
}

} // namespace

namespace
{

TEST_F(ResizeFileTest, ExifThumbnailGoesIntoJpegOutputsButNotIntoTiffOnes)
{
    PIXMORA_REQUIRE_CODECS();
    ASSERT_TRUE(WriteFixture(File("thumb.jpg"), 160, 120));
    const std::string thumbnail = ReadFileBytes(File("thumb.jpg"));
    Exiv2::ExifData camera = CameraExif(640, 480);
    Exiv2::ExifThumb(camera).setJpegThumbnail(
        reinterpret_cast<const Exiv2::byte*>(thumbnail.data()),
        static_cast<long>(thumbnail.size()));
    FixtureOptions options;
    options.exif = &camera;
    ASSERT_TRUE(WriteFixture(File("camera.jpg"), 640, 480, options));

    for (const char* output : {"out.jpg", "out.tif"})
    {
        SCOPED_TRACE(output);
        EXPECT_TRUE(Resize(File("camera.jpg"), File(output), 320, 0).ok);
        const std::unique_ptr<Exiv2::Image> metadata = ReadMetadata(File(output));
        ASSERT_TRUE(metadata);
        const bool hasThumbnail = Exiv2::ExifThumbC(metadata->exifData()).copy().size_ > 0;
        EXPECT_EQ(hasThumbnail, wxString(output).EndsWith(wxT(".jpg")));
        EXPECT_EQ(metadata->exifData()["Exif.Image.Make"].toString(), "Quillon");
    }
}

} // namespace

namespace
{

TEST(ResizeFileStreamed, ResamplingWhileDecodingWritesTheBytesOfAWholeSource)
{
    PIXMORA_REQUIRE_CODECS();
    // ResizeFile resamples a JPEG's top rows while its bottom is decoded;
    // the job on a source loaded whole is the reference.
    struct Case
    {
        int width, height;
        int value;
        ResizeDimension dimension;
        InterpolatorSetting interpolator;
        const char* output;
    };
    const Case kCases[] = {
        {900, 700, 300, ResizeDimension::Width, InterpolatorSetting::Normal, "out.jpg"},
        {400, 900, 1200, ResizeDimension::Height, InterpolatorSetting::Sharper, "out.tif"},
        {640, 480, 50, ResizeDimension::Percent, InterpolatorSetting::Smoother, "out.jpg"},
        {300, 2000, 41, ResizeDimension::ShorterSide, InterpolatorSetting::Normal, "out.png"},
    };
    TempDir folder;
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " -> " + c.output);
        const wxString source = folder.File(wxT("in.jpg"));
        const Exiv2::ExifData camera = CameraExif(c.width, c.height);
        FixtureOptions options;
        options.exif = &camera;
        options.profile = FakeProfile(900);
        ASSERT_TRUE(WriteFixture(source, c.width, c.height, options));
        ResizeRequest request;
        request.value = c.value;
        request.dimension = c.dimension;
        request.interpolator = c.interpolator;
        const wxString streamed = folder.File(wxT("streamed-") + wxString::FromUTF8(c.output));
        const wxString whole = folder.File(wxT("whole-") + wxString::FromUTF8(c.output));
        EXPECT_TRUE(ResizeFile(source, streamed, request).IsWritten());
        LoadedSource loaded = LoadSource(source);
        EXPECT_TRUE(ResizeLoaded(loaded, whole, request).IsWritten());
        EXPECT_TRUE(ReadFileBytes(streamed) == ReadFileBytes(whole));
    }
}

} // namespace
