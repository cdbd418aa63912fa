#include "app/ResizeCommandLine.h"

#include <wx/cmdline.h>
#include <wx/msgout.h>

#include <climits>
#include <memory>

namespace
{

struct SizeOption
{
    const char* name;
    ResizeDimension dimension;
};

const SizeOption kSizeOptions[] = {
    {"width", ResizeDimension::Width},       {"height", ResizeDimension::Height},
    {"longer", ResizeDimension::LongerSide}, {"shorter", ResizeDimension::ShorterSide},
    {"percent", ResizeDimension::Percent},
};

struct InterpolatorName
{
    const char* name;
    InterpolatorSetting setting;
};

const InterpolatorName kInterpolators[] = {
    {"smoother", InterpolatorSetting::Smoother},
    {"normal", InterpolatorSetting::Normal},
    {"sharper", InterpolatorSetting::Sharper},
};

const wxCmdLineEntryDesc kEntries[] = {
    {wxCMD_LINE_SWITCH, "h", "help", "show this help and exit", wxCMD_LINE_VAL_NONE,
     wxCMD_LINE_OPTION_HELP},
    {wxCMD_LINE_SWITCH, nullptr, "version", "show the version and exit", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_OPTION, "o", "output",
     "write the outputs into DIR (required; created when missing)", wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, nullptr, "width", "new width N; the height follows", wxCMD_LINE_VAL_NUMBER,
     0},
    {wxCMD_LINE_OPTION, nullptr, "height", "new height N; the width follows", wxCMD_LINE_VAL_NUMBER,
     0},
    {wxCMD_LINE_OPTION, nullptr, "longer", "new longer side N", wxCMD_LINE_VAL_NUMBER, 0},
    {wxCMD_LINE_OPTION, nullptr, "shorter", "new shorter side N", wxCMD_LINE_VAL_NUMBER, 0},
    {wxCMD_LINE_OPTION, nullptr, "percent", "N percent of both sides", wxCMD_LINE_VAL_NUMBER, 0},
    {wxCMD_LINE_OPTION, nullptr, "interpolator", "smoother, normal (default) or sharper",
     wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_SWITCH, nullptr, "jpeg", "save every output as JPEG (extension .jpg)",
     wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_OPTION, nullptr, "quality", "JPEG quality Q, 0 to 100 (default 85)",
     wxCMD_LINE_VAL_NUMBER, 0},
    {wxCMD_LINE_SWITCH, nullptr, "shrink-only",
     "never enlarge: a smaller file is written at its own size", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, nullptr, "overwrite", "replace existing outputs (otherwise skipped)",
     wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "r", "recursive", "take sub-folders too and mirror them under DIR",
     wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_OPTION, "j", "jobs", "work on N files at once (default: the number of cores)",
     wxCMD_LINE_VAL_NUMBER, 0},
    {wxCMD_LINE_SWITCH, "q", "quiet", "print errors only", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "v", "verbose", "also print the image libraries' warnings",
     wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_OPTION, nullptr, "report", "write a JSON report of every input to FILE",
     wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_SWITCH, nullptr, "worker", "internal: run as a -j child process",
     wxCMD_LINE_VAL_NONE, wxCMD_LINE_HIDDEN},
    {wxCMD_LINE_PARAM, nullptr, nullptr, "INPUT", wxCMD_LINE_VAL_STRING,
     wxCMD_LINE_PARAM_OPTIONAL | wxCMD_LINE_PARAM_MULTIPLE},
    wxCMD_LINE_DESC_END,
};

/// Keeps the parser's own messages: a usage error is reported once, in the
/// program's words, by the caller.
class CollectedOutput : public wxMessageOutput
{
public:
    wxString text;

protected:
    void Output(const wxString& message) override { text += message; }
};

/// Installs a message output for the life of the object.
class MessageOutputSwap
{
public:
    explicit MessageOutputSwap(wxMessageOutput* output) : m_previous(wxMessageOutput::Set(output))
    {
    }
    ~MessageOutputSwap() { wxMessageOutput::Set(m_previous); }
    MessageOutputSwap(const MessageOutputSwap&) = delete;
    MessageOutputSwap& operator=(const MessageOutputSwap&) = delete;

private:
    wxMessageOutput* m_previous;
};

void SetUpParser(wxCmdLineParser& parser)
{
    parser.SetDesc(kEntries);
    parser.SetLogo(
        "Resizes JPEG and TIFF files (or any file named that a handler reads) into DIR.\n"
        "A folder INPUT contributes its .jpg .jpeg .tif .tiff files. Give exactly one of\n"
        "--width, --height, --longer, --shorter, --percent.\n"
        "Exit status: 0 all written or skipped, 1 a file failed, 2 usage error,\n"
        "130 interrupted.\n");
    parser.SetSwitchChars("-");
    // "-j2" as well as "-j 2".
    parser.EnableLongOptions(true);
}

/// The first line of the parser's message, without its "Error: ".
wxString FirstLine(wxString text)
{
    text = text.BeforeFirst('\n');
    text.Trim();
    text.Trim(false);
    text.StartsWith("Error: ", &text);
    return text;
}

bool TakeBoundedNumber(const wxCmdLineParser& parser, const char* name, long low, long high,
                       int& number, wxString& error)
{
    long value = 0;
    if (!parser.Found(name, &value))
        return true;
    if (value < low || value > high)
    {
        if (high == INT_MAX && value < low)
            error.Printf("--%s must be at least %ld, not %ld", name, low, value);
        else if (high == INT_MAX)
            error.Printf("--%s is too large: %ld", name, value);
        else
            error.Printf("--%s must be from %ld to %ld, not %ld", name, low, high, value);
        return false;
    }
    number = static_cast<int>(value);
    return true;
}

} // namespace

CommandLineAction ParseResizeCommandLine(int argc, char** argv, int defaultJobs,
                                         ResizeOptions& options, wxString& error)
{
    wxCmdLineParser parser(argc, argv);
    SetUpParser(parser);
    int parsed = 0;
    CollectedOutput* collected = new CollectedOutput;
    {
        MessageOutputSwap swap(collected);
        parsed = parser.Parse(false);
    }
    const wxString parserText = collected->text;
    delete collected;
    if (parsed == -1)
        return CommandLineAction::Help;
    if (parsed != 0)
    {
        error = FirstLine(parserText);
        return CommandLineAction::UsageError;
    }
    if (parser.Found("version"))
        return CommandLineAction::Version;

    int sizeOptions = 0;
    for (const SizeOption& size : kSizeOptions)
    {
        int value = 0;
        if (!TakeBoundedNumber(parser, size.name, 1, INT_MAX, value, error))
            return CommandLineAction::UsageError;
        if (value == 0)
            continue;
        ++sizeOptions;
        options.request.value = value;
        options.request.dimension = size.dimension;
    }

    wxString interpolator = "normal";
    parser.Found("interpolator", &interpolator);
    bool known = false;
    for (const InterpolatorName& name : kInterpolators)
        if (interpolator == name.name)
        {
            options.request.interpolator = name.setting;
            known = true;
        }

    options.jobs = defaultJobs;
    options.request.jpegQuality = 85;
    if (!TakeBoundedNumber(parser, "quality", 0, 100, options.request.jpegQuality, error) ||
        !TakeBoundedNumber(parser, "jobs", 1, INT_MAX, options.jobs, error))
        return CommandLineAction::UsageError;

    parser.Found("output", &options.outputFolder);
    parser.Found("report", &options.reportPath);
    options.saveToJpeg = parser.Found("jpeg");
    options.shrinkOnly = parser.Found("shrink-only");
    options.overwrite = parser.Found("overwrite");
    options.recursive = parser.Found("recursive");
    options.quiet = parser.Found("quiet");
    options.verbose = parser.Found("verbose");
    for (size_t i = 0; i < parser.GetParamCount(); ++i)
        options.inputs.Add(parser.GetParam(i));

    if (parser.Found("worker"))
        return CommandLineAction::Worker;

    if (!known)
        error.Printf("unknown interpolator '%s' (smoother, normal or sharper)", interpolator);
    else if (sizeOptions == 0)
        error = "no size given: use one of --width, --height, --longer, --shorter, --percent";
    else if (sizeOptions > 1)
        error = "more than one size given: use only one of --width, --height, --longer, "
                "--shorter, --percent";
    else if (options.outputFolder.empty())
        error = "no output folder given: use -o DIR";
    else if (options.inputs.empty())
        error = "no input given: name files or folders to resize";
    else if (options.quiet && options.verbose)
        error = "-q and -v exclude each other";
    return error.empty() ? CommandLineAction::Run : CommandLineAction::UsageError;
}

wxString ResizeUsageText()
{
    // Named as the user types it, not as the toolkit's application.
    char name[] = "pixmora-resize";
    char* arguments[] = {name, nullptr};
    wxCmdLineParser parser(1, arguments);
    SetUpParser(parser);
    return parser.GetUsageString();
}
