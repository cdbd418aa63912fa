// One batch through the real window over every real file of the shared
// folder (the corrupt ones too) and over files whose Exif data is broken in
// ways cameras and editors break it: each file is written or costs exactly
// one error line that names it, and the run ends as a normal run does.

#include "tests/job/JobFixtures.h"
#include "tests/support/WxTestSupport.h"
#include "tests/ui/UiTestSupport.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checklst.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/radiobox.h>
#include <wx/stattext.h>
#include <wx/tokenzr.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace
{

/// The offset of the TIFF header inside the first Exif APP1 segment of a
/// JPEG, or npos.
size_t ExifStart(const std::string& jpeg)
{
    const size_t app1 = jpeg.find(std::string("\xFF\xE1", 2));
    if (app1 == std::string::npos || jpeg.compare(app1 + 4, 6, std::string("Exif\0\0", 6)) != 0)
        return std::string::npos;
    return app1 + 10;
}

std::uint32_t Read32(const std::string& bytes, size_t at)
{
    // The fixtures are written little-endian ("II").
    return std::uint32_t(std::uint8_t(bytes[at])) |
           std::uint32_t(std::uint8_t(bytes[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(bytes[at + 2])) << 16 |
           std::uint32_t(std::uint8_t(bytes[at + 3])) << 24;
}

void Write32(std::string& bytes, size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (8 * i));
}

void Write16(std::string& bytes, size_t at, std::uint16_t value)
{
    bytes[at] = char(value);
    bytes[at + 1] = char(value >> 8);
}

/// The first entry of IFD0 whose value does not fit in the entry, so that
/// it points elsewhere: its offset within the TIFF data.
size_t FirstOffsetEntry(const std::string& tiff)
{
    const size_t ifd = Read32(tiff, 4);
    const unsigned count = std::uint8_t(tiff[ifd]) | std::uint8_t(tiff[ifd + 1]) << 8;
    static const unsigned kTypeSizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    for (unsigned i = 0; i < count; ++i)
    {
        const size_t entry = ifd + 2 + 12 * i;
        const unsigned type = std::uint8_t(tiff[entry + 2]) | std::uint8_t(tiff[entry + 3]) << 8;
        if (type < 13 && kTypeSizes[type] * Read32(tiff, entry + 4) > 4)
            return entry;
    }
    return std::string::npos;
}

/// Breaks the Exif data of a JPEG written with CameraExif; false when the
/// file has no Exif segment to break.
using ExifDamage = std::function<void(std::string& tiff)>;

bool DamageExif(std::string& jpeg, const ExifDamage& damage)
{
    const size_t start = ExifStart(jpeg);
    if (start == std::string::npos)
        return false;
    const size_t segmentLength = std::uint8_t(jpeg[start - 8]) << 8 | std::uint8_t(jpeg[start - 7]);
    const size_t end = start - 8 + segmentLength;
    std::string tiff = jpeg.substr(start, end - start);
    damage(tiff);
    const size_t newLength = tiff.size() + 8;
    if (newLength > 0xFFFF)
        return false;
    jpeg[start - 8] = char(newLength >> 8);
    jpeg[start - 7] = char(newLength);
    jpeg.replace(start, end - start, tiff);
    return true;
}

struct CorruptExif
{
    const char* name;
    ExifDamage damage;
};

const CorruptExif kCorruptExif[] = {
    {"exif-ifd0-past-the-end.jpg", [](std::string& t) { Write32(t, 4, 0x7FFFFF00); }},
    {"exif-ifd0-count-huge.jpg", [](std::string& t) { Write16(t, Read32(t, 4), 0xFFFF); }},
    {"exif-value-past-the-end.jpg",
     [](std::string& t) { Write32(t, FirstOffsetEntry(t) + 8, 0x7FFFFFF0); }},
    {"exif-value-count-overflows.jpg",
     [](std::string& t) { Write32(t, FirstOffsetEntry(t) + 4, 0x40000001); }},
    {"exif-byte-order-unknown.jpg", [](std::string& t) { t[0] = t[1] = 'X'; }},
    {"exif-tiff-header-only.jpg", [](std::string& t) { t.resize(8); }},
    {"exif-cut-inside-ifd0.jpg", [](std::string& t) { t.resize(Read32(t, 4) + 20); }},
    {"exif-ifd0-loops-to-itself.jpg",
     [](std::string& t)
     {
         const size_t ifd = Read32(t, 4);
         const unsigned count = std::uint8_t(t[ifd]) | std::uint8_t(t[ifd + 1]) << 8;
         Write32(t, ifd + 2 + 12 * count, static_cast<std::uint32_t>(ifd));
     }},
    {"exif-garbage.jpg",
     [](std::string& t)
     {
         for (size_t i = 8; i < t.size(); ++i)
             t[i] = char((i * 131) ^ 0x5A);
     }},
};

/// The shared images copied into folder under names the file list offers:
/// ".tiff" becomes ".tif". Gives the copied names.
std::vector<wxString> CopySharedImages(const wxString& folder)
{
    std::vector<wxString> sharedNames;
    {
        wxDir dir(SharedImagesDir());
        wxString name;
        for (bool more = dir.GetFirst(&name, wxString(), wxDIR_FILES); more;
             more = dir.GetNext(&name))
            sharedNames.push_back(name);
    }
    std::sort(sharedNames.begin(), sharedNames.end());
    std::vector<wxString> names;
    for (const wxString& name : sharedNames)
    {
        wxString listed = name;
        if (listed.Lower().EndsWith(wxT(".tiff")))
            listed.RemoveLast();
        const wxString copy = wxFileName(folder, listed).GetFullPath();
        EXPECT_FALSE(wxFileExists(copy)) << "two shared files give the name " << listed;
        EXPECT_TRUE(wxCopyFile(wxFileName(SharedImagesDir(), name).GetFullPath(), copy));
        names.push_back(listed);
    }
    return names;
}

struct Report
{
    std::vector<wxString> failedFiles;
    std::vector<wxString> errorLines;
};

/// Splits the window's report box: the list of files that could not be
/// resized, a blank line, then what the job logged, one line per error.
Report ParseReport(const wxString& text)
{
    Report report;
    bool inErrors = false;
    const wxArrayString lines = wxSplit(text, wxT('\n'), wxT('\0'));
    for (size_t i = 0; i < lines.size(); ++i)
    {
        if (i == 0 && lines[i] == wxT("These files could not be resized:"))
            continue;
        if (!inErrors && lines[i].empty())
        {
            inErrors = true;
            continue;
        }
        (inErrors ? report.errorLines : report.failedFiles).push_back(lines[i]);
    }
    return report;
}

TEST(BatchSurvives, EveryRealAndCorruptFileIsWrittenOrCostsOneErrorLine)
{
    PIXMORA_REQUIRE_SHARED_IMAGES();
    PIXMORA_REQUIRE_CODECS();
    TempDir dir;
    const wxString source = dir.File(wxT("in"));
    const wxString destination = dir.File(wxT("out"));
    ASSERT_TRUE(wxMkdir(source) && wxMkdir(destination));

    std::vector<wxString> names = CopySharedImages(source);
    ASSERT_FALSE(names.empty());
    const size_t sharedCount = names.size();
    const Exiv2::ExifData exif = CameraExif(240, 160);
    FixtureOptions options;
    options.exif = &exif;
    for (const CorruptExif& c : kCorruptExif)
    {
        const wxString path = wxFileName(source, wxString::FromUTF8(c.name)).GetFullPath();
        ASSERT_TRUE(WriteFixture(path, 240, 160, options));
        std::string bytes = ReadFileBytes(path);
        ASSERT_TRUE(DamageExif(bytes, c.damage)) << c.name;
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        names.push_back(wxString::FromUTF8(c.name));
    }

    MainFrame* frame = MakeFrame();
    Type(frame, ID_SOURCE_FOLDER, source);
    Type(frame, ID_DESTINATION_FOLDER, destination);
    Control<wxRadioBox>(frame, ID_NEW_SIZE)->SetSelection(2);
    Type(frame, ID_VALUE, wxT("64"));
    Click(frame, ID_SELECT_ALL);
    ASSERT_EQ(ListEntries(frame).size(), names.size()) << "the file list must offer every file";

    wxString text;
    wxTEST_DIALOG(Click(frame, ID_RESIZE), KeepMessage(&text));
    const Report report = ParseReport(text);

    // The run ended as a normal run ends.
    EXPECT_EQ(Control<wxButton>(frame, ID_RESIZE)->GetLabel(), wxT("Resize"));
    EXPECT_TRUE(Control<wxCheckListBox>(frame, ID_FILE_LIST)->IsEnabled());
    EXPECT_EQ(Control<wxGauge>(frame, ID_GAUGE)->GetValue(), 0);

    std::map<wxString, int> linesNaming;
    std::map<wxString, bool> metadataLine;
    for (const wxString& line : report.errorLines)
    {
        std::vector<wxString> named;
        for (const wxString& name : names)
        {
            const wxString input = wxFileName(source, name).GetFullPath();
            const wxString output = wxFileName(destination, name).GetFullPath();
            if (line.Contains(wxT("'") + input + wxT("'")) ||
                line.Contains(wxT("'") + output + wxT("'")))
                named.push_back(name);
        }
        EXPECT_EQ(named.size(), 1u) << "an error line must name one file: " << line;
        if (named.size() == 1)
        {
            ++linesNaming[named[0]];
            metadataLine[named[0]] = line.Contains(wxT("metadata"));
        }
    }

    int written = 0, failed = 0;
    for (size_t i = 0; i < names.size(); ++i)
    {
        const wxString& name = names[i];
        SCOPED_TRACE(name.utf8_string());
        const wxString input = wxFileName(source, name).GetFullPath();
        const wxString output = wxFileName(destination, name).GetFullPath();
        const bool listed = std::find(report.failedFiles.begin(), report.failedFiles.end(),
                                      input) != report.failedFiles.end();
        const bool corruptExif = i >= sharedCount;
        // Broken metadata costs the Exif data, never the resized image.
        if (corruptExif)
        {
            EXPECT_FALSE(listed) << "written without Exif, yet called not resized";
        }
        if (listed)
        {
            ++failed;
            EXPECT_EQ(linesNaming[name], 1) << "a failed file must give exactly one error line";
        }
        else
        {
            // A file written without its Exif data says so in one line, and
            // is not called not resized.
            EXPECT_LE(linesNaming[name], 1) << "a written file gives at most one error line";
            if (linesNaming[name] == 1)
            {
                EXPECT_TRUE(metadataLine[name]) << "a written file's line must be about metadata";
            }
        }
        if (!listed || corruptExif || wxFileExists(output))
        {
            // The pixels of a file with broken metadata are still good.
            qlImage image;
            ASSERT_TRUE(LoadImage(output, image)) << "no complete output";
            EXPECT_EQ(std::max(image.GetWidth(), image.GetHeight()), 64);
            ++written;
        }
        std::printf("  %-55s %s\n", name.utf8_str().data(),
                    listed ? "one error"
                           : (linesNaming[name] == 1 ? "written without Exif" : "written"));
    }
    EXPECT_EQ(report.failedFiles.size(), size_t(failed)) << "a failed file outside the batch";
    std::printf("%zu files (%zu shared, %zu with corrupt Exif): %d written, %d with an error\n",
                names.size(), sharedCount, names.size() - sharedCount, written, failed);

    // Files no decoder can read, and plain files every decoder reads.
    struct Known
    {
        const char* name;
        bool fails;
    };
    const Known kKnown[] = {
        {"exiv2-bug1247.jpg", true}, {"broken-adobe-segment-length-beyond-eof.jpg", true},
        {"testorig.jpg", false},     {"hopper.tif", false},
        {"Canon_40D.jpg", false},    {"rgb-3c-8b.tif", false},
    };
    for (const Known& known : kKnown)
    {
        const wxString input = wxFileName(source, wxString::FromUTF8(known.name)).GetFullPath();
        if (!wxFileExists(input))
            continue;
        const bool listed = std::find(report.failedFiles.begin(), report.failedFiles.end(),
                                      input) != report.failedFiles.end();
        EXPECT_EQ(listed, known.fails) << known.name;
    }
    frame->Destroy();
    wxTheApp->ProcessIdle();
}

} // namespace
