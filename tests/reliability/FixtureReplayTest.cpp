// Replays every kept fuzz input (crashes once found, and hand-made hostile
// files) through the same checks the fuzz targets make, so that a fixed bug
// stays fixed in the ordinary build. A refused file must also say so when
// the handler is asked to be verbose.

#include "codecs/qlImage.h"
#include "codecs/qlJPEGHandler.h"
#include "codecs/qlTIFFHandler.h"
#include "fuzz/FuzzInputChecks.h"
#include "tests/support/RecordingLog.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/dir.h>
#include <wx/filename.h>
#include <wx/mstream.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace
{

using Check = std::string (*)(const std::uint8_t*, std::size_t, bool);

struct Target
{
    const char* folder;
    Check check;
    /// The handler whose verbose refusal must log, or nullptr.
    std::unique_ptr<wxImageHandler> (*handler)();
};

void PrintTo(const Target& target, std::ostream* out)
{
    *out << target.folder;
}

std::vector<wxString> FixtureFiles(const char* folder)
{
    const wxString path = wxString::FromUTF8(PIXMORA_RELIABILITY_FIXTURES "/") + folder;
    std::vector<wxString> files;
    wxDir dir(path);
    wxString name;
    for (bool more = dir.IsOpened() && dir.GetFirst(&name, wxString(), wxDIR_FILES); more;
         more = dir.GetNext(&name))
        files.push_back(wxFileName(path, name).GetFullPath());
    std::sort(files.begin(), files.end());
    return files;
}

class FixtureReplay : public testing::TestWithParam<Target>
{
};

TEST_P(FixtureReplay, EveryKeptInputLoadsOrIsRefusedCleanly)
{
    const Target& target = GetParam();
    const std::vector<wxString> files = FixtureFiles(target.folder);
    ASSERT_FALSE(files.empty()) << "no fixtures in " PIXMORA_RELIABILITY_FIXTURES "/"
                                << target.folder;
    for (const wxString& file : files)
    {
        SCOPED_TRACE(file.utf8_string());
        const std::string bytes = ReadFileBytes(file);
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        {
            RecordingLog quiet;
            EXPECT_EQ(target.check(data, bytes.size(), false), "");
        }
        if (!target.handler)
            continue;
        const std::unique_ptr<wxImageHandler> handler = target.handler();
        wxMemoryInputStream stream(bytes.data(), bytes.size());
        qlImage image;
        RecordingLog log;
        if (!handler->LoadFile(&image, stream, true, -1))
        {
            EXPECT_FALSE(log.Errors().empty()) << "refused without a message";
        }
    }
}

std::unique_ptr<wxImageHandler> MakeJpegHandler()
{
    return std::make_unique<qlJPEGHandler>();
}

std::unique_ptr<wxImageHandler> MakeTiffHandler()
{
    return std::make_unique<qlTIFFHandler>();
}

INSTANTIATE_TEST_SUITE_P(Targets, FixtureReplay,
                         testing::Values(Target{"jpeg", CheckJpegLoad, MakeJpegHandler},
                                         Target{"tiff", CheckTiffLoad, MakeTiffHandler},
                                         Target{"icc", CheckIccReassembly, nullptr}),
                         [](const testing::TestParamInfo<Target>& info)
                         { return std::string(info.param.folder); });

} // namespace
