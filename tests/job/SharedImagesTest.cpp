#include "job/ResizeFile.h"
#include "tests/job/JobFixtures.h"
#include "tests/support/RecordingLog.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/dir.h>
#include <wx/filename.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace
{

std::string Quoted(const wxString& path)
{
    std::string quoted = "'";
    for (char c : std::string(path.fn_str()))
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool HaveTool(const char* name)
{
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

/// Runs command and gives its exit status and everything it printed.
int RunTool(const std::string& command, std::string& output)
{
    output.clear();
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, count);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// Checks an output the job says it wrote: the project's loader reads it at
/// the requested size, and the external validators that are installed find
/// no error in it.
void ExpectValidOutput(const wxString& path, bool haveExiftool, bool haveTiffinfo)
{
    qlImage image;
    ASSERT_TRUE(LoadImage(path, image)) << "the project's loader cannot read it back";
    EXPECT_EQ(std::max(image.GetWidth(), image.GetHeight()), 256);
    std::string report;
    if (haveExiftool)
    {
        EXPECT_EQ(RunTool("exiftool -validate -error -warning -a -S " + Quoted(path), report), 0)
            << report;
        EXPECT_EQ(report.find("Error:"), std::string::npos) << report;
    }
    if (haveTiffinfo && path.EndsWith(wxT(".tif")))
    {
        EXPECT_EQ(RunTool("tiffinfo " + Quoted(path), report), 0) << report;
        EXPECT_NE(report.find("TIFF Directory at offset"), std::string::npos) << report;
    }
}

TEST(SharedImages, EveryFileGivesAValidJpgAndTifOrOneClearError)
{
    PIXMORA_REQUIRE_SHARED_IMAGES();
    PIXMORA_REQUIRE_CODECS();
    const bool haveExiftool = HaveTool("exiftool");
    const bool haveTiffinfo = HaveTool("tiffinfo");
    std::vector<wxString> names;
    {
        wxDir dir(SharedImagesDir());
        wxString name;
        for (bool more = dir.GetFirst(&name, wxString(), wxDIR_FILES); more;
             more = dir.GetNext(&name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    ASSERT_FALSE(names.empty());

    int written = 0, skipped = 0;
    for (const wxString& name : names)
    {
        const wxString source = wxFileName(SharedImagesDir(), name).GetFullPath();
        for (const wxString& extension : {wxString(wxT("jpg")), wxString(wxT("tif"))})
        {
            SCOPED_TRACE((name + wxT(" -> ") + extension).utf8_string());
            TempDir folder;
            const wxString output = folder.File(wxFileName(name).GetName() + wxT(".") + extension);
            ResizeRequest request;
            request.value = 256;
            request.dimension = ResizeDimension::LongerSide;
            ResizeResult result;
            std::vector<wxString> errors;
            {
                RecordingLog log;
                result = ResizeFile(source, output, request);
                errors = log.Errors();
            }
            if (result.status == ResizeResult::Status::Written)
            {
                ++written;
                EXPECT_TRUE(errors.empty()) << errors.front().utf8_string();
                ExpectValidOutput(output, haveExiftool, haveTiffinfo);
                continue;
            }
            ++skipped;
            ASSERT_EQ(errors.size(), 1u) << "a failure must give exactly one error";
            std::printf("  %s -> %s: %s\n", name.utf8_str().data(), extension.utf8_str().data(),
                        errors[0].utf8_str().data());
            EXPECT_TRUE(errors[0].Contains(source) || errors[0].Contains(output)) << errors[0];
            // A metadata failure still leaves the resized image, and says so.
            EXPECT_EQ(wxFileExists(output), result.IsWritten());
            if (result.IsWritten())
                ExpectValidOutput(output, haveExiftool, haveTiffinfo);
        }
    }
    std::printf("%zu files: %d outputs written cleanly, %d with an error\n", names.size(), written,
                skipped);
}

} // namespace
