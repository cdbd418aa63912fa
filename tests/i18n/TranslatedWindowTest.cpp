// The real main window in the user's language: the catalogue chosen at
// start-up from the environment, found beside the program whether it is
// installed or still in the build tree, and numbers read the same in every
// locale.

#include "app/SetUpTranslations.h"
#include "tests/ui/UiTestSupport.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/radiobox.h>
#include <wx/stattext.h>
#include <wx/translation.h>

#include <clocale>
#include <cstdlib>
#include <set>
#include <vector>

namespace
{

/// Starts translations as the application does, for a program at this path,
/// under this LANG and no other locale variable.
void StartIn(const char* lang, const wxString& program)
{
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_NUMERIC"})
        unsetenv(name);
    setenv("LANG", lang, 1);
    SetUpTranslations(program);
}

/// Every label a user reads in the window: static texts, buttons, check
/// boxes, radio boxes and their choices.
std::set<wxString> Labels(wxWindow* window)
{
    std::set<wxString> labels;
    std::vector<wxWindow*> pending{window};
    while (!pending.empty())
    {
        wxWindow* w = pending.back();
        pending.pop_back();
        if (dynamic_cast<wxStaticText*>(w) || dynamic_cast<wxButton*>(w) ||
            dynamic_cast<wxCheckBox*>(w))
            labels.insert(w->GetLabel());
        if (auto* radio = dynamic_cast<wxRadioBox*>(w))
        {
            labels.insert(radio->GetLabel());
            for (unsigned i = 0; i < radio->GetCount(); ++i)
                labels.insert(radio->GetString(i));
        }
        for (wxWindow* child : w->GetChildren())
            pending.push_back(child);
    }
    return labels;
}

struct Expected
{
    const char* english;
    const char* german;
};
// One text of each kind of control.
const Expected kLabels[] = {
    {"Source folder", "Quellordner"},
    {"Destination folder", "Zielordner"},
    {"Source", "Quelle"},
    {"Select all", "Alle auswählen"},
    {"New size", "Neue Größe"},
    {"Longer side", "Längere Seite"},
    {"Interpolator settings", "Interpolation"},
    {"Smoother", "Weicher"},
    {"Save to JPEG", "Als JPEG speichern"},
    {"JPEG quality", "JPEG-Qualität"},
    {"&Help", "&Hilfe"},
    {"Resize", "Skalieren"},
};

class TranslatedWindow : public testing::Test
{
protected:
    void TearDown() override
    {
        wxTranslations::Set(nullptr);
        std::setlocale(LC_ALL, "C");
    }

    /// The program as built: its catalogues are in the build tree.
    static wxString BuiltProgram() { return wxString::FromUTF8(PIXMORA_PROGRAM); }

    static void ExpectLabels(bool german)
    {
        MainFrame* frame = MakeFrame();
        const std::set<wxString> labels = Labels(frame);
        for (const Expected& e : kLabels)
        {
            const wxString shown = wxString::FromUTF8(german ? e.german : e.english);
            EXPECT_EQ(labels.count(shown), 1u) << "no label \"" << shown.utf8_string() << "\"";
        }
    }
};

TEST_F(TranslatedWindow, GermanUnderAGermanLocaleAndEnglishUnderC)
{
    StartIn("de_DE.UTF-8", BuiltProgram());
    ExpectLabels(true);
    for (wxWindow* window : wxTopLevelWindows)
        window->Destroy();
    wxTheApp->ProcessIdle();

    StartIn("C.UTF-8", BuiltProgram());
    ExpectLabels(false);
}

TEST_F(TranslatedWindow, NoCatalogueForTheLanguageKeepsEnglish)
{
    // A language Pixmora has no catalogue for.
    StartIn("it_IT.UTF-8", BuiltProgram());
    ExpectLabels(false);
}

TEST_F(TranslatedWindow, InstalledProgramFindsPrefixShareLocale)
{
    // PREFIX/bin/pixmora with PREFIX/share/locale, as cmake --install lays
    // them out. The German catalogue is put there as Dutch: the build tree
    // has no Dutch one, so German labels can only come from the prefix.
    TempDir prefix;
    const wxString folder = prefix.Path() + wxT("/share/locale/nl/LC_MESSAGES");
    ASSERT_TRUE(wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    const wxString built =
        wxFileName(BuiltProgram()).GetPath() + wxT("/locale/de/LC_MESSAGES/pixmora.mo");
    ASSERT_TRUE(wxCopyFile(built, folder + wxT("/pixmora.mo")));

    StartIn("nl_NL.UTF-8", prefix.Path() + wxT("/bin/pixmora"));
    ExpectLabels(true);
}

TEST_F(TranslatedWindow, QualityWithADecimalCommaLocaleStillReadsAsDigits)
{
    StartIn("de_DE.UTF-8", BuiltProgram());
    // The C library's numbers now follow the German locale.
    ASSERT_STREQ(std::localeconv()->decimal_point, ",")
        << "de_DE.UTF-8 is not generated (scripts/pixmora test generates it)";

    TempDir dir;
    const wxString source = dir.File(wxT("source"));
    const wxString destination = dir.File(wxT("destination"));
    ASSERT_TRUE(wxMkdir(source) && wxMkdir(destination));
    MakeFiles(source, {"a.jpg"});

    MainFrame* frame = MakeFrame();
    std::vector<std::pair<int, int>> calls; // value, quality
    frame->SetFileJob(
        [&](const wxString&, const wxString&, const ResizeRequest& request, const StopCheck&)
        {
            calls.emplace_back(request.value, request.jpegQuality);
            ResizeResult result;
            result.status = ResizeResult::Status::Written;
            return result;
        });
    Type(frame, ID_SOURCE_FOLDER, source);
    Type(frame, ID_DESTINATION_FOLDER, destination);
    Click(frame, ID_SELECT_ALL);
    Control<wxCheckBox>(frame, ID_SAVE_TO_JPEG)->SetValue(true);

    struct Case
    {
        const char* value;
        const char* quality;
        int valuePassed;
        int qualityPassed;
    };
    // The decimal part is cut whether it follows a point or a comma.
    const Case kCases[] = {
        {"640", "85.7", 640, 85}, {"640,9", "85,7", 640, 85}, {"12.5", "100", 12, 100}};
    for (const Case& c : kCases)
    {
        calls.clear();
        Type(frame, ID_VALUE, wxString::FromUTF8(c.value));
        Type(frame, ID_JPEG_QUALITY, wxString::FromUTF8(c.quality));
        Click(frame, ID_RESIZE);
        ASSERT_EQ(calls.size(), 1u) << c.quality;
        EXPECT_EQ(calls[0].first, c.valuePassed) << c.value;
        EXPECT_EQ(calls[0].second, c.qualityPassed) << c.quality;
    }
}

} // namespace
