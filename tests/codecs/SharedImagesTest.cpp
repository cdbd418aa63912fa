#include "codecs/qlImage.h"
#include "tests/codecs/CodecTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/dir.h>
#include <wx/filename.h>
#include <wx/mstream.h>
#include <wx/utils.h>

#include <cstdio>
#include <set>
#include <string>

namespace
{

bool HaveExiftool()
{
    return wxFileName::IsFileExecutable(wxT("/usr/bin/exiftool"));
}

std::string ExiftoolProfile(const wxString& path)
{
    const std::string command = "exiftool -icc_profile -b '" + std::string(path.utf8_str()) + "'";
    std::string bytes;
    if (FILE* pipe = popen(command.c_str(), "r"))
    {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            bytes.append(buffer, n);
        pclose(pipe);
    }
    return bytes;
}

TEST(SharedImages, EveryFileLoadsOrFailsWithItsHandlersMessage)
{
    PIXMORA_REQUIRE_SHARED_IMAGES();
    // The library's own reason follows in parentheses.
    const wxString jpegRefusal = wxT("JPEG: Couldn't load - file is probably corrupted (");
    const std::set<wxString> tiffMessages = {
        wxT("TIFF: Error loading image."), wxT("Invalid TIFF image index."),
        wxT("TIFF: Couldn't allocate memory."), wxT("TIFF: Error reading image.")};
    const bool exiftool = HaveExiftool();

    wxArrayString files;
    wxDir::GetAllFiles(SharedImagesDir(), &files, wxEmptyString, wxDIR_FILES);
    int decoded = 0, profilesCompared = 0;
    for (const wxString& path : files)
    {
        const std::string bytes = ReadFileBytes(path);
        wxImageHandler* handler = nullptr;
        for (wxImageHandler* candidate : {JpegHandler(), TiffHandler()})
        {
            wxMemoryInputStream probe(bytes.data(), bytes.size());
            if (candidate->CanRead(probe))
            {
                handler = candidate;
                break;
            }
        }
        if (handler == nullptr)
            continue; // neither JPEG nor TIFF: not ours
        SCOPED_TRACE(path.utf8_string());

        qlImage image;
        RecordingLog log;
        if (LoadFromMemory(handler, image, bytes))
        {
            ++decoded;
            EXPECT_TRUE(image.IsOk());
            EXPECT_GT(image.GetWidth(), 0);
        }
        else
        {
            EXPECT_FALSE(image.IsOk());
            const std::vector<wxString> errors = log.Errors();
            ASSERT_FALSE(errors.empty());
            if (handler == JpegHandler())
            {
                EXPECT_TRUE(errors.back().StartsWith(jpegRefusal) && errors.back().EndsWith(").") &&
                            errors.back().length() > jpegRefusal.length() + 2)
                    << errors.back().utf8_string();
            }
            else
            {
                EXPECT_EQ(tiffMessages.count(errors.back()), 1u) << errors.back().utf8_string();
            }
            std::printf("refused %s: %s\n", path.utf8_string().c_str(),
                        errors.back().utf8_string().c_str());
        }
        if (exiftool && image.GetICCProfileLength() > 0)
        {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.GetICCProfile()),
                                  image.GetICCProfileLength()),
                      ExiftoolProfile(path));
            ++profilesCompared;
        }
    }
    EXPECT_GT(decoded, 0);
    if (exiftool)
    {
        EXPECT_GT(profilesCompared, 0);
    }
    std::printf("decoded %d files, compared %d profiles with exiftool%s\n", decoded,
                profilesCompared, exiftool ? "" : " (exiftool missing)");
}

} // namespace
