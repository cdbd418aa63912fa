// The batch driver reads the next file ahead on a thread of its own. Against
// the plain sequence of ResizeFile calls it must write the same bytes, report
// the same results and messages for the same files in the same order, and
// drop what it read ahead when the user stops.

#include "job/RunBatch.h"
#include "job/ResizeFile.h"
#include "tests/job/JobFixtures.h"
#include "tests/support/RecordingLog.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/filename.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

/// What a run showed: each file's status in report order, and the log's
/// errors with a mark where each file was reported.
struct BatchRecord
{
    std::vector<ResizeResult::Status> statuses;
    std::vector<wxString> events;
    /// The source sizes the requests were asked with.
    std::vector<std::pair<int, int>> sizes;
};

class RunBatchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        PIXMORA_REQUIRE_CODECS();
        const Exiv2::ExifData camera = CameraExif(300, 200);
        FixtureOptions options;
        options.exif = &camera;
        options.profile = FakeProfile(600);
        ASSERT_TRUE(WriteFixture(In("a.jpg"), 300, 200, options));
        ASSERT_TRUE(WriteFixture(In("b.tif"), 180, 240, options));
        ASSERT_TRUE(WriteFileBytes(In("c.jpg"), std::string("\xff\xd8\xff\xe0 not a JPEG", 16)));
        ASSERT_TRUE(WriteBigTiffFixture(In("d.tif"), 120, 90));
        ASSERT_TRUE(WriteFixture(In("e.jpg"), 500, 20, options));
    }

    wxString In(const char* name) const { return m_in.File(wxString::FromUTF8(name)); }

    static std::vector<BatchFile> Files(const TempDir& from, const TempDir& to,
                                        const std::vector<const char*>& names,
                                        const char* outputExtension = nullptr)
    {
        std::vector<BatchFile> files;
        for (const char* name : names)
        {
            wxFileName output(to.Path(), wxString::FromUTF8(name));
            if (outputExtension)
                output.SetExt(wxString::FromUTF8(outputExtension));
            files.push_back({wxFileName(from.Path(), wxString::FromUTF8(name)).GetFullPath(),
                             output.GetFullPath()});
        }
        return files;
    }

    static ResizeRequest Request()
    {
        ResizeRequest request;
        request.value = 64;
        request.dimension = ResizeDimension::LongerSide;
        request.jpegQuality = 80;
        return request;
    }

    /// The driver with its own job, reading ahead; the user stops at the
    /// first block of the file at stopAt.
    static BatchRecord Batch(const std::vector<BatchFile>& files,
                             std::size_t stopAt = std::size_t(-1))
    {
        BatchRecord run;
        RecordingLog log;
        BatchCallbacks callbacks;
        std::size_t current = 0;
        callbacks.requestFor = [&](std::size_t index, int width, int height)
        {
            current = index;
            run.sizes.emplace_back(width, height);
            return Request();
        };
        callbacks.shouldStop = [&] { return current == stopAt; };
        callbacks.fileDone = [&](std::size_t index, const ResizeResult& result)
        {
            // Every message logged so far belongs to this file or earlier.
            for (const wxString& error : log.Errors())
            {
                if (std::find(run.events.begin(), run.events.end(), error) == run.events.end())
                    run.events.push_back(error);
            }
            run.events.push_back(wxString::Format(wxT("done %zu"), index));
            run.statuses.push_back(result.status);
            return true;
        };
        RunBatch(files, callbacks);
        for (const wxString& error : log.Errors())
        {
            if (std::find(run.events.begin(), run.events.end(), error) == run.events.end())
                run.events.push_back(error);
        }
        return run;
    }

    /// The same files one ResizeFile call after another.
    static BatchRecord OneByOne(const std::vector<BatchFile>& files)
    {
        BatchRecord run;
        RecordingLog log;
        std::size_t seen = 0;
        for (std::size_t i = 0; i < files.size(); ++i)
        {
            const ResizeResult result = ResizeFile(files[i].source, files[i].output, Request());
            const std::vector<wxString> errors = log.Errors();
            for (; seen < errors.size(); ++seen)
                run.events.push_back(errors[seen]);
            run.events.push_back(wxString::Format(wxT("done %zu"), i));
            run.statuses.push_back(result.status);
        }
        return run;
    }

    TempDir m_in;
};

TEST_F(RunBatchTest, ReadingAheadChangesNoByteNoResultAndNoMessageOrder)
{
    const std::vector<const char*> names = {"a.jpg", "b.tif", "c.jpg", "d.tif", "e.jpg"};
    for (const char* extension : {static_cast<const char*>(nullptr), "jpg"})
    {
        SCOPED_TRACE(extension ? "saved as JPEG" : "in their own formats");
        TempDir ahead, plain;
        const BatchRecord batch = Batch(Files(m_in, ahead, names, extension));
        const BatchRecord reference = OneByOne(Files(m_in, plain, names, extension));
        EXPECT_EQ(batch.statuses, reference.statuses);
        // The messages name folders; compare them with the folder taken out.
        ASSERT_EQ(batch.events.size(), reference.events.size());
        for (std::size_t i = 0; i < batch.events.size(); ++i)
        {
            wxString a = batch.events[i], b = reference.events[i];
            a.Replace(ahead.Path(), wxT("OUT"));
            b.Replace(plain.Path(), wxT("OUT"));
            EXPECT_EQ(a, b) << "event " << i;
        }
        const std::vector<std::string> aheadFiles = FolderEntries(ahead.Path());
        EXPECT_EQ(aheadFiles, FolderEntries(plain.Path()));
        for (const std::string& name : aheadFiles)
        {
            EXPECT_TRUE(ReadFileBytes(ahead.File(wxString::FromUTF8(name))) ==
                        ReadFileBytes(plain.File(wxString::FromUTF8(name))))
                << name;
        }
    }
    // The broken file costs one line, the unreadable metadata one, the rest
    // none; both lines come before their own file is reported, after the
    // file before it.
    TempDir out;
    const BatchRecord run = Batch(Files(m_in, out, names));
    const std::vector<ResizeResult::Status> expected = {
        ResizeResult::Status::Written, ResizeResult::Status::Written,
        ResizeResult::Status::NotWritten, ResizeResult::Status::WrittenWithoutExif,
        ResizeResult::Status::Written};
    EXPECT_EQ(run.statuses, expected);
    // Each request is asked with its decoded source's size, 0 x 0 for none.
    const std::vector<std::pair<int, int>> sizes = {
        {300, 200}, {180, 240}, {0, 0}, {120, 90}, {500, 20}};
    EXPECT_EQ(run.sizes, sizes);
    ASSERT_EQ(run.events.size(), 7u);
    EXPECT_EQ(run.events[1], wxT("done 1"));
    EXPECT_TRUE(run.events[2].Contains(In("c.jpg"))) << run.events[2];
    EXPECT_EQ(run.events[3], wxT("done 2"));
    EXPECT_TRUE(run.events[4].Contains(In("d.tif"))) << run.events[4];
    EXPECT_EQ(run.events[5], wxT("done 3"));
}

TEST_F(RunBatchTest, AStopDropsTheFileReadAheadAndItsMessages)
{
    // The file after the stopped one is broken: it was read ahead, and its
    // error must not be reported, nor anything written for it.
    TempDir out;
    const std::vector<BatchFile> files = Files(m_in, out, {"a.jpg", "b.tif", "c.jpg", "e.jpg"});
    const BatchRecord run = Batch(files, 1);
    const std::vector<ResizeResult::Status> expected = {ResizeResult::Status::Written,
                                                        ResizeResult::Status::Stopped};
    EXPECT_EQ(run.statuses, expected);
    const std::vector<wxString> events = {wxT("done 0"), wxT("done 1")};
    EXPECT_EQ(run.events, events);
    EXPECT_EQ(FolderEntries(out.Path()), std::vector<std::string>{"a.jpg"});
}

TEST_F(RunBatchTest, AnOutputThatIsTheNextSourceIsWrittenBeforeItIsRead)
{
    // Saved to JPEG in the source folder: b.tif becomes b.jpg, the next file.
    TempDir ahead, plain;
    for (const TempDir* folder : {&ahead, &plain})
    {
        ASSERT_TRUE(WriteFixture(folder->File(wxT("b.tif")), 180, 240));
        ASSERT_TRUE(WriteFixture(folder->File(wxT("b.jpg")), 400, 100));
    }
    auto files = [](const TempDir& folder)
    {
        return std::vector<BatchFile>{{folder.File(wxT("b.tif")), folder.File(wxT("b.jpg"))},
                                      {folder.File(wxT("b.jpg")), folder.File(wxT("b.jpg"))}};
    };
    const BatchRecord batch = Batch(files(ahead));
    const BatchRecord reference = OneByOne(files(plain));
    EXPECT_EQ(batch.statuses, reference.statuses);
    EXPECT_TRUE(ReadFileBytes(ahead.File(wxT("b.jpg"))) == ReadFileBytes(plain.File(wxT("b.jpg"))));
    // The second file read the first one's output: 48 x 64 resized again.
    qlImage result;
    ASSERT_TRUE(LoadImage(ahead.File(wxT("b.jpg")), result));
    EXPECT_EQ(result.GetHeight(), 64);
    EXPECT_EQ(result.GetWidth(), 48);
}

} // namespace
