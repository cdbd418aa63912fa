// pixmora-bench resize SRC OUT --value N --dimension D --interpolator I
//               [--quality Q] [--repeat K]
// pixmora-bench batch SRCDIR OUTDIR --value N --dimension D --interpolator I
//               [--quality Q] [--jpeg 0|1]
//
// resize runs one file through ResizeFile with the handlers registered as at
// start-up, K times, and prints one line per run with its wall time.
// batch does what the window's Resize button does with every listed file of
// SRCDIR ticked, without the questions: the *.jpg and *.tif files in name
// order, each written to OUTDIR under its own name (with the extension jpg
// when --jpeg is 1); it prints "ok NAME" or "failed NAME" per file.
// The toolkit's log goes to stderr. Exit code 0 when every file or run
// succeeded, 1 when one failed, 2 for a usage error.

#include "app/ConsoleApp.h"
#include "job/ResizeFile.h"
#include "job/RunBatch.h"
#include "platform/FolderListing.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace
{

struct Request
{
    bool batch = false;
    bool saveToJpeg = false;
    wxString source;
    wxString output;
    int value = 0;
    int dimension = 0;
    int interpolator = 1;
    int quality = 85;
    int repeat = 1;
};

const char* const Usage =
    "usage: pixmora-bench resize SRC OUT --value N --dimension D --interpolator I\n"
    "                     [--quality Q] [--repeat K]\n"
    "       pixmora-bench batch SRCDIR OUTDIR --value N --dimension D --interpolator I\n"
    "                     [--quality Q] [--jpeg 0|1]\n"
    "  D: 0 width, 1 height, 2 longer, 3 shorter, 4 percent\n"
    "  I: 0 smoother, 1 normal, 2 sharper\n";

bool ParseInt(const char* text, int& number)
{
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    number = static_cast<int>(parsed);
    return true;
}

/// A number, or one of names (whose index is the number).
bool ParseChoice(const char* text, std::initializer_list<const char*> names, int& number)
{
    int index = 0;
    for (const char* name : names)
    {
        if (std::strcmp(text, name) == 0)
        {
            number = index;
            return true;
        }
        ++index;
    }
    return ParseInt(text, number);
}

bool ParseArguments(int argc, char** argv, Request& request)
{
    if (argc < 4)
        return false;
    request.batch = std::strcmp(argv[1], "batch") == 0;
    if (!request.batch && std::strcmp(argv[1], "resize") != 0)
        return false;
    request.source = wxString(argv[2], *wxConvFileName);
    request.output = wxString(argv[3], *wxConvFileName);
    bool haveValue = false, haveDimension = false, haveInterpolator = false;
    for (int i = 4; i < argc; i += 2)
    {
        if (i + 1 >= argc)
            return false;
        const char* option = argv[i];
        const char* argument = argv[i + 1];
        bool parsed = false;
        if (std::strcmp(option, "--value") == 0)
            parsed = haveValue = ParseInt(argument, request.value);
        else if (std::strcmp(option, "--dimension") == 0)
            parsed = haveDimension = ParseChoice(
                argument, {"width", "height", "longer", "shorter", "percent"}, request.dimension);
        else if (std::strcmp(option, "--interpolator") == 0)
            parsed = haveInterpolator =
                ParseChoice(argument, {"smoother", "normal", "sharper"}, request.interpolator);
        else if (std::strcmp(option, "--quality") == 0)
            parsed = ParseInt(argument, request.quality) && request.quality >= 0 &&
                     request.quality <= 100;
        else if (std::strcmp(option, "--repeat") == 0 && !request.batch)
            parsed = ParseInt(argument, request.repeat) && request.repeat >= 1;
        else if (std::strcmp(option, "--jpeg") == 0 && request.batch)
        {
            int flag = 0;
            parsed = ParseInt(argument, flag) && (flag == 0 || flag == 1);
            request.saveToJpeg = flag == 1;
        }
        if (!parsed)
        {
            std::fprintf(stderr, "pixmora-bench: bad option or value: %s %s\n", option, argument);
            return false;
        }
    }
    return haveValue && haveDimension && haveInterpolator;
}

ResizeRequest ToResizeRequest(const Request& request)
{
    ResizeRequest resize;
    resize.value = request.value;
    resize.dimension = static_cast<ResizeDimension>(request.dimension);
    resize.interpolator = static_cast<InterpolatorSetting>(request.interpolator);
    resize.jpegQuality = request.quality;
    return resize;
}

int Run(const Request& request)
{
    int failures = 0;
    for (int run = 1; run <= request.repeat; ++run)
    {
        const auto start = std::chrono::steady_clock::now();
        const bool ok =
            ResizeFile(request.source, request.output, ToResizeRequest(request)).IsWritten();
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        std::printf("run %d: %.3f ms%s\n", run, elapsed.count(), ok ? "" : " (failed)");
        std::fflush(stdout);
        if (!ok)
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}

/// The names the window's file list offers for folder, in name order.
wxArrayString ListedNames(const wxString& folder)
{
    wxArrayString names;
    for (const wxString& pattern : {wxString(wxT("*.jpg")), wxString(wxT("*.tif"))})
    {
        for (const wxString& path : ListFolderFiles(folder, pattern))
            names.Add(wxFileName(path).GetFullName());
    }
    names.Sort();
    return names;
}

int RunBatchCommand(const Request& request)
{
    // The window's path rule, and its batch driver.
    std::vector<BatchFile> files;
    const wxArrayString names = ListedNames(request.source);
    for (const wxString& name : names)
    {
        wxFileName output(request.output, name);
        if (request.saveToJpeg)
            output.SetExt(wxT("jpg"));
        files.push_back({wxFileName(request.source, name).GetFullPath(), output.GetFullPath()});
    }
    int failures = 0;
    BatchCallbacks callbacks;
    callbacks.requestFor = [&](std::size_t, int, int) { return ToResizeRequest(request); };
    callbacks.fileDone = [&](std::size_t index, const ResizeResult& result)
    {
        const bool ok = result.IsWritten();
        std::printf("%s %s\n", ok ? "ok" : "failed",
                    static_cast<const char*>(names[index].fn_str()));
        std::fflush(stdout);
        if (!ok)
            ++failures;
        return true;
    };
    RunBatch(files, callbacks);
    return failures == 0 ? 0 : 1;
}

} // namespace

wxIMPLEMENT_APP_NO_MAIN(ConsoleApp);

int main(int argc, char** argv)
{
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    {
        std::fputs(Usage, stdout);
        return 0;
    }
    // The toolkit is started with no arguments of ours.
    wxAppConsole* app = ConsoleApp::Start("pixmora-bench", argv[0]);
    if (!app)
        return 1;
    delete wxLog::SetActiveTarget(new wxLogStderr);

    // Parsed after start-up: the file-name converter is the toolkit's then.
    Request request;
    int result = 2;
    if (ParseArguments(argc, argv, request))
        result = request.batch ? RunBatchCommand(request) : Run(request);
    else
        std::fputs(Usage, stderr);

    ConsoleApp::Stop(app);
    return result;
}
