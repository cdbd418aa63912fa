// The per-file job over faults at every stage of a file: a source cut short
// after N bytes, and an output device that refuses writes after N bytes
// (a file-size limit, as a disk that fills up). The job returns false with
// one message naming the file, leaves no temporary file and no damaged
// output, and keeps an existing output as it was.

#include "job/ResizeFile.h"
#include "tests/job/JobFixtures.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/RecordingLog.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/filefn.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace
{

constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr int kTargetWidth = 160;
constexpr int kTargetHeight = 100;

struct Formats
{
    const char* source;
    const char* output;
};

void PrintTo(const Formats& formats, std::ostream* out)
{
    *out << formats.source << " to " << formats.output;
}

class ResizeFileFault : public testing::TestWithParam<Formats>
{
protected:
    struct Result
    {
        bool ok = false;
        std::vector<wxString> errors;
    };

    void SetUp() override
    {
        PIXMORA_REQUIRE_CODECS();
        const Exiv2::ExifData camera = CameraExif(kWidth, kHeight);
        const std::string profile = FakeProfile(2000);
        FixtureOptions options;
        options.exif = &camera;
        options.profile = profile;
        ASSERT_TRUE(WriteFixture(Source(), kWidth, kHeight, options));
        m_sourceBytes = ReadFileBytes(Source());
        ASSERT_FALSE(m_sourceBytes.empty());
    }

    wxString Source() const { return m_folder.File(wxString::FromUTF8(GetParam().source)); }
    wxString Output() const { return m_folder.File(wxString::FromUTF8(GetParam().output)); }

    Result Resize(const wxString& source)
    {
        Result result;
        RecordingLog log;
        ResizeRequest request;
        request.value = kTargetWidth;
        result.ok = ResizeFile(source, Output(), request).status == ResizeResult::Status::Written;
        result.errors = log.Errors();
        return result;
    }

    std::vector<std::string> Entries() const { return FolderEntries(m_folder.Path()); }

    std::vector<std::string> Names(std::initializer_list<const char*> names) const
    {
        std::vector<std::string> sorted(names.begin(), names.end());
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }

    TempDir m_folder;
    std::string m_sourceBytes;
};

std::vector<std::size_t> CutPoints(std::size_t size)
{
    std::set<std::size_t> cuts = {0, 1, 2, 4, 8, 13, 64, 512, 4095, 4096, 4097};
    for (std::size_t part = 1; part < 10; ++part)
        cuts.insert(size * part / 10);
    cuts.insert(size - 2);
    cuts.insert(size - 1);
    std::vector<std::size_t> below;
    for (std::size_t cut : cuts)
        if (cut < size)
            below.push_back(cut);
    return below;
}

TEST_P(ResizeFileFault, AnOutputDeviceThatFillsUpKeepsTheOldOutputAndLeavesNoTemporary)
{
    const Result probe = Resize(Source());
    ASSERT_TRUE(probe.ok) << (probe.errors.empty() ? "" : probe.errors[0].utf8_string());
    const std::size_t outputSize = ReadFileBytes(Output()).size();
    ASSERT_GT(outputSize, 4096u);
    const std::string oldOutput = "the user's earlier output";
    ASSERT_TRUE(WriteFileBytes(Output(), oldOutput));

    for (std::size_t cut : CutPoints(outputSize))
    {
        SCOPED_TRACE(testing::Message() << "writes refused after " << cut << " of " << outputSize);
        Result result;
        {
            FileSizeLimit limit(cut);
            ASSERT_TRUE(limit.Ok());
            result = Resize(Source());
        }
        EXPECT_FALSE(result.ok);
        ASSERT_EQ(result.errors.size(), 1u);
        EXPECT_TRUE(result.errors[0].Contains(Output())) << result.errors[0];
        EXPECT_EQ(ReadFileBytes(Output()), oldOutput);
        EXPECT_TRUE(ReadFileBytes(Source()) == m_sourceBytes);
        EXPECT_EQ(Entries(), Names({GetParam().source, GetParam().output}));
    }
}

TEST_P(ResizeFileFault, ASourceCutShortIsSkippedWithOneMessageOrResizedWhole)
{
    const wxString cutSource = m_folder.File(wxT("cut_") + wxString::FromUTF8(GetParam().source));
    const std::string cutName = cutSource.AfterLast('/').utf8_string();
    for (std::size_t cut : CutPoints(m_sourceBytes.size()))
    {
        SCOPED_TRACE(testing::Message()
                     << "source cut after " << cut << " of " << m_sourceBytes.size());
        wxRemoveFile(Output());
        ASSERT_TRUE(WriteFileBytes(cutSource, m_sourceBytes.substr(0, cut)));
        const Result result = Resize(cutSource);
        if (result.ok)
        {
            EXPECT_TRUE(result.errors.empty());
        }
        else
        {
            ASSERT_EQ(result.errors.size(), 1u);
            EXPECT_TRUE(result.errors[0].Contains(cutSource)) << result.errors[0];
        }
        if (cut < 16)
        {
            EXPECT_FALSE(result.ok);
        }

        if (wxFileExists(Output()))
        {
            // Whatever was written is a whole picture of the new size.
            qlImage written;
            ASSERT_TRUE(LoadImage(Output(), written));
            EXPECT_EQ(written.GetWidth(), kTargetWidth);
            EXPECT_EQ(written.GetHeight(), kTargetHeight);
            EXPECT_EQ(Entries(), Names({GetParam().source, GetParam().output, cutName.c_str()}));
        }
        else
        {
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(Entries(), Names({GetParam().source, cutName.c_str()}));
        }
    }
}

// A folder opens like a file and reports a length of 2^63 - 1 bytes: the job
// must refuse it from that, not from an allocation of that size failing
// (which aborts under the address sanitizer).
TEST(ResizeFileFaultSource, AFolderIsRefusedByItsLengthNotByAnAllocation)
{
    TempDir folder;
    const wxString source = folder.File(wxT("folder.jpg"));
    ASSERT_TRUE(wxMkdir(source));
    RecordingLog log;
    ResizeRequest request;
    request.value = 10;
    EXPECT_EQ(ResizeFile(source, folder.File(wxT("out.jpg")), request).status,
              ResizeResult::Status::NotWritten);
    ASSERT_EQ(log.Errors().size(), 1u);
    EXPECT_TRUE(log.Errors()[0].Contains(source)) << log.Errors()[0];
    EXPECT_FALSE(log.Errors()[0].Contains(wxT("memory"))) << log.Errors()[0];
}

INSTANTIATE_TEST_SUITE_P(Formats, ResizeFileFault,
                         testing::Values(Formats{"in.jpg", "out.jpg"}, Formats{"in.tif", "out.tif"},
                                         Formats{"in.tif", "out.jpg"}),
                         [](const testing::TestParamInfo<Formats>& info)
                         {
                             std::string name =
                                 std::string(info.param.source) + "_to_" + info.param.output;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

} // namespace
