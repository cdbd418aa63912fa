// pixmora-resize over folders made here, run as a child process the way a
// script runs it.

#include "app/ResizeShare.h"
#include "job/ComputeTargetSize.h"
#include "job/ResizeFile.h"
#include "tests/app/ResizeProgram.h"
#include "tests/job/JobFixtures.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace
{

std::string Narrow(const wxString& text)
{
    return std::string(text.utf8_str());
}

nlohmann::json ReadReport(const wxString& path)
{
    return nlohmann::json::parse(ReadFileBytes(path));
}

/// Source name to the entry's status, in the report's order.
std::vector<std::pair<std::string, std::string>> Statuses(const nlohmann::json& report)
{
    std::vector<std::pair<std::string, std::string>> statuses;
    for (const auto& entry : report.at("results"))
        statuses.emplace_back(
            Narrow(wxFileName(wxString::FromUTF8(entry.at("source").get<std::string>()))
                       .GetFullName()),
            entry.at("status").get<std::string>());
    return statuses;
}

/// A folder of good and broken files, named so that name order is the
/// order below.
struct MixedFolder
{
    TempDir dir;
    MixedFolder()
    {
        const Exiv2::ExifData exif = CameraExif(96, 64);
        FixtureOptions withExif;
        withExif.exif = &exif;
        EXPECT_TRUE(WriteFixture(dir.File("a.jpg"), 96, 64, withExif));
        EXPECT_TRUE(WriteFileBytes(dir.File("b-broken.jpg"), "not a picture at all"));
        EXPECT_TRUE(WriteFixture(dir.File("c.tif"), 64, 96));
        // Written as JPEG and TIFF under names no handler is registered for.
        EXPECT_TRUE(WriteFixture(dir.File("d.jpg"), 80, 60));
        EXPECT_TRUE(wxRenameFile(dir.File("d.jpg"), dir.File("d.JPEG")));
        EXPECT_TRUE(WriteFixture(dir.File("e.tif"), 60, 80));
        EXPECT_TRUE(wxRenameFile(dir.File("e.tif"), dir.File("e.tiff")));
        // Not a name a folder contributes.
        EXPECT_TRUE(WriteFixture(dir.File("f.png"), 32, 32));
    }
};

bool StartsWith(const std::string& bytes, const std::string& magic)
{
    return bytes.compare(0, magic.size(), magic) == 0;
}

} // namespace

TEST(PixmoraResize, ReportsEveryInputInOrderAndExitsOneOnAFailure)
{
    PIXMORA_REQUIRE_CODECS();
    MixedFolder source;
    TempDir out;
    const wxString report = out.File("report.json");
    const wxString outputs = out.File("small");
    for (const char* jobs : {"1", "2"})
    {
        SCOPED_TRACE(std::string("-j ") + jobs);
        wxFileName::Rmdir(outputs, wxPATH_RMDIR_RECURSIVE);
        const ProgramRun run = RunResize({"--width", "48", "-j", jobs, Narrow(source.dir.Path()),
                                          "-o", Narrow(outputs), "--report", Narrow(report)});
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("b-broken.jpg"), std::string::npos) << run.err;
        // stderr is a file here: nothing of the progress line.
        EXPECT_EQ(run.err.find('\r'), std::string::npos);
        EXPECT_EQ(run.err.find("done,"), std::string::npos);

        const nlohmann::json json = ReadReport(report);
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"a.jpg", "written"},
            {"b-broken.jpg", "failed"},
            {"c.tif", "written"},
            {"d.JPEG", "written"},
            {"e.tiff", "written"}};
        EXPECT_EQ(Statuses(json), expected);
        EXPECT_FALSE(json.at("interrupted").get<bool>());
        const auto& results = json.at("results");
        ASSERT_EQ(results.size(), 5u);
        EXPECT_EQ(results[0].at("sourceSize"), nlohmann::json({{"width", 96}, {"height", 64}}));
        EXPECT_EQ(results[0].at("targetSize"), nlohmann::json({{"width", 48}, {"height", 32}}));
        EXPECT_FALSE(results[0].contains("message"));
        EXPECT_FALSE(results[1].contains("output"));
        EXPECT_FALSE(results[1].at("message").get<std::string>().empty());

        // Own names, own formats.
        EXPECT_TRUE(
            StartsWith(ReadFileBytes(wxFileName(outputs, "d.JPEG").GetFullPath()), "\xFF\xD8"));
        EXPECT_TRUE(StartsWith(ReadFileBytes(wxFileName(outputs, "e.tiff").GetFullPath()), "II*"));
        qlImage image;
        ASSERT_TRUE(LoadImage(wxFileName(outputs, "c.tif").GetFullPath(), image));
        EXPECT_EQ(image.GetWidth(), 48);
        EXPECT_EQ(image.GetHeight(), 72);
        EXPECT_EQ(FolderEntries(outputs),
                  (std::vector<std::string>{"a.jpg", "c.tif", "d.JPEG", "e.tiff"}));
    }

    // Without the broken file every input is written: 0.
    ASSERT_TRUE(wxRemoveFile(source.dir.File("b-broken.jpg")));
    const ProgramRun clean = RunResize(
        {"--width", "48", "--overwrite", Narrow(source.dir.Path()), "-o", Narrow(outputs)});
    EXPECT_EQ(clean.status, 0) << clean.err;
}

TEST(PixmoraResize, OutputsAreTheSameBytesForEveryJobCountAndAsResizeFile)
{
    PIXMORA_REQUIRE_CODECS();
    TempDir source, out;
    const Exiv2::ExifData exif = CameraExif(300, 200);
    FixtureOptions withExif;
    withExif.exif = &exif;
    withExif.profile = FakeProfile(600);
    const std::vector<std::string> names = {"p1.jpg", "p2.jpg", "p3.tif", "p4.jpg", "p5.tif"};
    for (size_t i = 0; i < names.size(); ++i)
        ASSERT_TRUE(WriteFixture(source.File(names[i]), 300 + 10 * int(i), 200, withExif));

    const std::vector<std::string> options = {
        "--longer", "120", "--interpolator", "sharper", "--jpeg", "--quality", "77"};
    std::vector<std::string> errors;
    for (const char* jobs : {"1", "2", "3"})
    {
        std::vector<std::string> arguments = options;
        for (const char* more : {"-j", jobs})
            arguments.push_back(more);
        arguments.push_back(Narrow(source.Path()));
        arguments.push_back("-o");
        arguments.push_back(Narrow(out.File(jobs)));
        const ProgramRun run = RunResize(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        wxString err = wxString::FromUTF8(run.err);
        err.Replace(out.File(jobs), "OUT");
        errors.push_back(Narrow(err));
    }
    EXPECT_EQ(errors[0], errors[1]);
    EXPECT_EQ(errors[0], errors[2]);

    ResizeRequest request;
    request.value = 120;
    request.dimension = ResizeDimension::LongerSide;
    request.interpolator = InterpolatorSetting::Sharper;
    request.jpegQuality = 77;
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        const wxString jpgName = wxFileName(wxString(name)).GetName() + ".jpg";
        const wxString reference = out.File("reference-" + jpgName);
        ASSERT_TRUE(ResizeFile(source.File(name), reference, request).IsWritten());
        const std::string expected = ReadFileBytes(reference);
        ASSERT_FALSE(expected.empty());
        for (const char* jobs : {"1", "2", "3"})
            EXPECT_EQ(ReadFileBytes(wxFileName(out.File(jobs), jpgName).GetFullPath()), expected)
                << "-j " << jobs;
    }
}

TEST(PixmoraResize, ShrinkOnlyWritesSmallerFilesAtTheirOwnSize)
{
    PIXMORA_REQUIRE_CODECS();
    TempDir source, out;
    ASSERT_TRUE(WriteFixture(source.File("big.jpg"), 300, 200));
    ASSERT_TRUE(WriteFixture(source.File("narrow.jpg"), 90, 200));
    ASSERT_TRUE(WriteFixture(source.File("small.tif"), 40, 30));

    struct Case
    {
        bool shrinkOnly;
        const char* name;
        int width, height;
    };
    const Case kCases[] = {
        {true, "big.jpg", 150, 100},
        // 150 wide would enlarge it: its own size.
        {true, "narrow.jpg", 90, 200},
        {true, "small.tif", 40, 30},
        {false, "narrow.jpg", 150, 333},
        {false, "small.tif", 150, 112},
    };
    for (bool shrinkOnly : {true, false})
    {
        std::vector<std::string> arguments = {"--width", "150", Narrow(source.Path()), "-o",
                                              Narrow(out.File(shrinkOnly ? "shrunk" : "plain"))};
        if (shrinkOnly)
            arguments.push_back("--shrink-only");
        const ProgramRun run = RunResize(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
    }
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.name);
        qlImage image;
        const wxString output =
            wxFileName(out.File(c.shrinkOnly ? "shrunk" : "plain"), c.name).GetFullPath();
        ASSERT_TRUE(LoadImage(output, image));
        EXPECT_EQ(image.GetWidth(), c.width);
        EXPECT_EQ(image.GetHeight(), c.height);
    }

    // Through the same pipeline: the bytes of a resize to the source's width.
    ResizeRequest ownWidth;
    ownWidth.dimension = ResizeDimension::Width;
    ownWidth.value = 90;
    const wxString reference = out.File("reference.jpg");
    ASSERT_TRUE(ResizeFile(source.File("narrow.jpg"), reference, ownWidth).IsWritten());
    EXPECT_EQ(ReadFileBytes(wxFileName(out.File("shrunk"), "narrow.jpg").GetFullPath()),
              ReadFileBytes(reference));
}

TEST(PixmoraResize, ShrinkOnlyRequestKeepsTheSourceSizeExactly)
{
    // Percent cannot give 100 % (its factor is just under 0.01); a width
    // request of the source's own width gives both sides back.
    for (int width : {1, 2, 3, 7, 640, 1001, 4288, 65535})
        for (int height : {1, 3, 479, 480, 2848, 65535})
        {
            ResizeRequest request;
            request.dimension = ResizeDimension::LongerSide;
            request.value = 70000;
            const ResizeRequest own = ShrinkOnlyRequest(request, width, height);
            const TargetSize size = ComputeTargetSize(width, height, own.value, own.dimension);
            EXPECT_EQ(size.width, width);
            EXPECT_EQ(size.height, height);
        }
    ResizeRequest smaller;
    smaller.dimension = ResizeDimension::Percent;
    smaller.value = 100;
    EXPECT_EQ(ShrinkOnlyRequest(smaller, 640, 480).dimension, ResizeDimension::Percent);
}

TEST(PixmoraResize, ExistingOutputsAreSkippedUnlessOverwriteAndTheSourceIsProtected)
{
    PIXMORA_REQUIRE_CODECS();
    TempDir source, out;
    ASSERT_TRUE(WriteFixture(source.File("a.jpg"), 100, 80));
    const wxString output = wxFileName(out.Path(), "a.jpg").GetFullPath();
    ASSERT_TRUE(WriteFileBytes(output, "older output"));
    const wxString report = out.File("report.json");
    const std::vector<std::string> common = {"--width", "50", Narrow(source.File("a.jpg")),
                                             "--report", Narrow(report)};

    std::vector<std::string> arguments = common;
    arguments.insert(arguments.end(), {"-o", Narrow(out.Path())});
    ProgramRun run = RunResize(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(output), "older output");
    EXPECT_EQ(ReadReport(report).at("results").at(0).at("status"), "skipped-exists");
    EXPECT_FALSE(ReadReport(report).at("results").at(0).at("message").get<std::string>().empty());

    arguments.push_back("--overwrite");
    run = RunResize(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(StartsWith(ReadFileBytes(output), "\xFF\xD8"));
    EXPECT_EQ(ReadReport(report).at("results").at(0).at("status"), "written");

    // The source's own folder as DIR: refused, then allowed.
    const std::string original = ReadFileBytes(source.File("a.jpg"));
    arguments = common;
    arguments.insert(arguments.end(), {"-o", Narrow(source.Path())});
    run = RunResize(arguments);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("--overwrite"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(source.File("a.jpg")), original);
    EXPECT_EQ(ReadReport(report).at("results").at(0).at("status"), "failed");
    arguments.push_back("--overwrite");
    run = RunResize(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    qlImage image;
    ASSERT_TRUE(LoadImage(source.File("a.jpg"), image));
    EXPECT_EQ(image.GetWidth(), 50);
}

TEST(PixmoraResize, TheSecondInputWithAnOutputNameTakenIsRefused)
{
    PIXMORA_REQUIRE_CODECS();
    TempDir source, out;
    ASSERT_TRUE(WriteFixture(source.File("a.jpg"), 100, 80));
    ASSERT_TRUE(WriteFixture(source.File("a.tif"), 100, 80));
    ASSERT_TRUE(wxMkdir(source.File("other")));
    ASSERT_TRUE(WriteFixture(source.File("other") + "/b.tif", 100, 80));
    ASSERT_TRUE(WriteFixture(source.File("b.tif"), 100, 80));
    const wxString report = out.File("report.json");
    // a.jpg and a.tif both give a.jpg; two b.tif named one by one.
    const ProgramRun run =
        RunResize({"--width", "50", "--jpeg", Narrow(source.Path()), Narrow(source.File("b.tif")),
                   Narrow(source.File("other") + "/b.tif"), "-o", Narrow(out.File("o")), "--report",
                   Narrow(report)});
    EXPECT_EQ(run.status, 1) << run.err;
    const std::vector<std::pair<std::string, std::string>> expected = {{"a.jpg", "written"},
                                                                       {"a.tif", "failed"},
                                                                       {"b.tif", "written"},
                                                                       {"b.tif", "failed"},
                                                                       {"b.tif", "failed"}};
    const nlohmann::json json = ReadReport(report);
    EXPECT_EQ(Statuses(json), expected);
    EXPECT_NE(json.at("results").at(1).at("message").get<std::string>().find("same output name"),
              std::string::npos);
    EXPECT_NE(run.err.find("same output name"), std::string::npos) << run.err;
}

TEST(PixmoraResize, RecursiveMirrorsTheTreeAndExplicitFilesTakeAnyExtension)
{
    PIXMORA_REQUIRE_CODECS();
    TempDir source, out;
    ASSERT_TRUE(wxFileName::Mkdir(source.File("x") + "/y", wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    ASSERT_TRUE(WriteFixture(source.File("top.jpg"), 60, 40));
    ASSERT_TRUE(WriteFixture(source.File("x") + "/mid.tif", 60, 40));
    ASSERT_TRUE(WriteFixture(source.File("x") + "/y/deep.JPG", 60, 40));
    ASSERT_TRUE(WriteFixture(source.File("x") + "/y/pic.png", 60, 40));

    ProgramRun run =
        RunResize({"--width", "30", Narrow(source.Path()), "-o", Narrow(out.File("flat"))});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(FolderEntries(out.File("flat")), std::vector<std::string>{"top.jpg"});

    run = RunResize({"-r", "--width", "30", Narrow(source.Path()), "-o", Narrow(out.File("tree"))});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(FolderEntries(out.File("tree")), (std::vector<std::string>{"top.jpg", "x"}));
    EXPECT_EQ(FolderEntries(out.File("tree") + "/x"), (std::vector<std::string>{"mid.tif", "y"}));
    EXPECT_EQ(FolderEntries(out.File("tree") + "/x/y"), std::vector<std::string>{"deep.JPG"});

    run = RunResize(
        {"--width", "30", Narrow(source.File("x") + "/y/pic.png"), "-o", Narrow(out.File("png"))});
    EXPECT_EQ(run.status, 0) << run.err;
    qlImage image;
    ASSERT_TRUE(LoadImage(wxFileName(out.File("png"), "pic.png").GetFullPath(), image));
    EXPECT_EQ(image.GetWidth(), 30);
}

TEST(PixmoraResize, UsageErrorsNameTheProblemAndExitTwo)
{
    TempDir dir;
    const std::string in = Narrow(dir.Path());
    const std::string out = Narrow(dir.File("out"));
    struct Case
    {
        std::vector<std::string> arguments;
        const char* says;
    };
    const Case kCases[] = {
        {{in, "-o", out}, "no size given"},
        {{"--width", "10", "--height", "10", in, "-o", out}, "more than one size"},
        {{"--width", "0", in, "-o", out}, "--width must be at least 1"},
        {{"--percent", "-3", in, "-o", out}, "--percent must be at least 1"},
        {{"--longer", "ten", in, "-o", out}, "'ten' is not a correct numeric value"},
        {{"--width", "99999999999", in, "-o", out}, "--width is too large"},
        {{"--width", "10", "--quality", "101", in, "-o", out}, "--quality must be from 0 to 100"},
        {{"--width", "10", "--quality", "-1", in, "-o", out}, "--quality must be from 0 to 100"},
        {{"--width", "10", "--interpolator", "cubic", in, "-o", out},
         "unknown interpolator 'cubic'"},
        {{"--width", "10", "-j", "0", in, "-o", out}, "--jobs must be at least 1"},
        {{"--width", "10", "-j", "many", in, "-o", out}, "'many' is not a correct numeric value"},
        {{"--width", "10", in}, "no output folder given"},
        {{"--width", "10", "-o", out}, "no input given"},
        {{"--width", "10", "--frobnicate", in, "-o", out}, "frobnicate"},
        {{"--width", "10", "-o"}, "requires a value"},
        {{"--width", "10", "-q", "-v", in, "-o", out}, "-q and -v"},
    };
    for (const Case& c : kCases)
    {
        std::string line;
        for (const std::string& argument : c.arguments)
            line += argument + " ";
        SCOPED_TRACE(line);
        const ProgramRun run = RunResize(c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
    }
    EXPECT_FALSE(wxDirExists(dir.File("out")));

    const ProgramRun help = RunResize({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option :
         {"--output", "--width", "--height", "--longer", "--shorter", "--percent", "--interpolator",
          "--jpeg", "--quality", "--shrink-only", "--overwrite", "--recursive", "--jobs", "--quiet",
          "--verbose", "--report", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    EXPECT_EQ(help.out.find("--worker"), std::string::npos);
    EXPECT_EQ(RunResize({"--version"}).out, "pixmora-resize 2.1\n");
}

TEST(PixmoraResize, VerboseAddsTheLibrariesWarningsOnlyWhenAsked)
{
    PIXMORA_REQUIRE_CODECS();
    TempDir source, out;
    ASSERT_TRUE(WriteFixture(source.File("whole.jpg"), 128, 96));
    const std::string whole = ReadFileBytes(source.File("whole.jpg"));
    // Cut short: libjpeg recovers and warns.
    ASSERT_TRUE(WriteFileBytes(source.File("cut.jpg"), whole.substr(0, whole.size() * 2 / 3)));
    ASSERT_TRUE(wxRemoveFile(source.File("whole.jpg")));
    for (const char* jobs : {"1", "2"})
        for (bool verbose : {false, true})
        {
            SCOPED_TRACE(std::string(verbose ? "-v" : "quiet") + " -j " + jobs);
            std::vector<std::string> arguments = {
                "--width",         "64", "--overwrite", "-j", jobs, Narrow(source.Path()), "-o",
                Narrow(out.Path())};
            if (verbose)
                arguments.push_back("-v");
            const ProgramRun run = RunResize(arguments);
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.err.find("Corrupt JPEG data") != std::string::npos, verbose) << run.err;
        }
    const ProgramRun quiet = RunResize(
        {"--width", "64", "--overwrite", "-q", Narrow(source.Path()), "-o", Narrow(out.Path())});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
}

TEST(PixmoraResize, AProgressLineOnlyOnATerminal)
{
    PIXMORA_REQUIRE_CODECS();
    TempDir source, out;
    ASSERT_TRUE(WriteFixture(source.File("a.jpg"), 100, 80));
    ASSERT_TRUE(WriteFixture(source.File("b.jpg"), 100, 80));
    const ProgramRun run = RunResizeOnTerminal(
        {"--width", "50", "-j", "1", Narrow(source.Path()), "-o", Narrow(out.Path())});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("\r0/2 done"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(": b.jpg"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\r2/2 done"), std::string::npos) << run.err;
    // Cleared before the summary line.
    EXPECT_NE(run.err.find("\r\x1b[Kpixmora-resize: 2 written"), std::string::npos) << run.err;
}

TEST(PixmoraResize, AnInterruptedRunLeavesNoTemporaryAndNoPartialFile)
{
    PIXMORA_REQUIRE_CODECS();
    TempDir source;
    const int count = 12;
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(WriteFixture(source.File(wxString::Format("photo%02d.jpg", i)), 3000, 2000));
    for (const char* jobs : {"1", "2"})
    {
        SCOPED_TRACE(std::string("-j ") + jobs);
        TempDir out;
        const wxString outputs = out.File("o");
        const std::string errPath = Narrow(out.File("stderr.txt"));
        const pid_t pid = StartResize({"--width", "2900", "-j", jobs, Narrow(source.Path()), "-o",
                                       Narrow(outputs), "--report", Narrow(out.File("r.json"))},
                                      errPath);
        ASSERT_GT(pid, 0);
        // The signal comes once the first file is written, while the others
        // are in hand.
        while (!wxFileExists(wxFileName(outputs, "photo00.jpg").GetFullPath()) &&
               ::waitpid(pid, nullptr, WNOHANG) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_EQ(::kill(pid, SIGINT), 0);
        EXPECT_EQ(WaitForExit(pid), 130) << ReadFileBytes(out.File("stderr.txt"));

        const std::vector<std::string> left = FolderEntries(outputs);
        EXPECT_GE(left.size(), 1u);
        EXPECT_LT(left.size(), size_t(count));
        for (const std::string& name : left)
        {
            SCOPED_TRACE(name);
            EXPECT_NE(name[0], '.');
            qlImage image;
            ASSERT_TRUE(
                LoadImage(wxFileName(outputs, wxString::FromUTF8(name)).GetFullPath(), image));
            EXPECT_EQ(image.GetWidth(), 2900);
            EXPECT_EQ(image.GetHeight(), 1933);
        }
        const nlohmann::json report = ReadReport(out.File("r.json"));
        EXPECT_TRUE(report.at("interrupted").get<bool>());
        ASSERT_EQ(report.at("results").size(), size_t(count));
        size_t written = 0;
        for (const auto& entry : report.at("results"))
            written += entry.at("status") == "written";
        EXPECT_EQ(written, left.size());
    }
}

TEST(PixmoraResize, RealFilesFromOtherProjects)
{
    PIXMORA_REQUIRE_SHARED_IMAGES();
    PIXMORA_REQUIRE_CODECS();
    TempDir out;
    const wxString report = out.File("report.json");
    const ProgramRun run = RunResize({"--longer", "200", "-j", "2", Narrow(SharedImagesDir()), "-o",
                                      Narrow(out.File("o")), "--report", Narrow(report)});
    EXPECT_EQ(run.status, 1) << "some of these files are broken";
    wxArrayString inputs;
    for (const char* pattern : {"*.jpg", "*.jpeg", "*.tif", "*.tiff", "*.JPG", "*.TIF"})
        wxDir::GetAllFiles(SharedImagesDir(), &inputs, pattern, wxDIR_FILES);
    const nlohmann::json results = ReadReport(report).at("results");
    EXPECT_EQ(results.size(), inputs.size());
    size_t failed = 0;
    for (const auto& entry : results)
    {
        const std::string status = entry.at("status");
        SCOPED_TRACE(entry.at("source").get<std::string>());
        if (status == "failed")
        {
            ++failed;
            // Every failed file is one that the job itself cannot decode.
            qlImage image;
            EXPECT_FALSE(
                LoadImage(wxString::FromUTF8(entry.at("source").get<std::string>()), image));
            EXPECT_FALSE(entry.at("message").get<std::string>().empty());
            continue;
        }
        ASSERT_TRUE(status == "written" || status == "written-without-exif") << status;
        qlImage image;
        ASSERT_TRUE(LoadImage(wxString::FromUTF8(entry.at("output").get<std::string>()), image));
        EXPECT_EQ(image.GetWidth(), entry.at("targetSize").at("width").get<int>());
        EXPECT_EQ(image.GetHeight(), entry.at("targetSize").at("height").get<int>());
    }
    EXPECT_GT(failed, 0u);
}
