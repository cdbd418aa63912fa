#include "app/SetUpTranslations.h"

#include <wx/filename.h>
#include <wx/translation.h>
#include <wx/uilocale.h>

void SetUpTranslations(const wxString& executablePath)
{
    // The locale also gives GTK's own dialogs the user's language. Numbers
    // typed into the window are read by wcstol, whose decimal digits are the
    // same in every locale, so a decimal comma changes nothing there.
    wxUILocale::UseDefault();

    const wxFileName executable(executablePath);
    wxFileName installed = wxFileName::DirName(executable.GetPath());
    installed.RemoveLastDir();
    installed.AppendDir(wxT("share"));
    installed.AppendDir(wxT("locale"));
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(installed.GetPath());
    wxFileName built = wxFileName::DirName(executable.GetPath());
    built.AppendDir(wxT("locale"));
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(built.GetPath());

    auto* translations = new wxTranslations;
    translations->SetLanguage(wxLANGUAGE_DEFAULT);
    wxTranslations::Set(translations);
    const wxString language =
        translations->GetBestTranslation(wxT("pixmora"), wxLANGUAGE_ENGLISH_US);
    // Without a catalogue of Pixmora's own the toolkit's is not loaded
    // either: it would turn a few labels ("&Help") into the language and
    // leave the rest English.
    if (language.empty() || language.StartsWith(wxT("en")))
        return;
    // The toolkit's catalogue (Debian's wx3.2-i18n) for its own dialogs,
    // added first so that Pixmora's, looked up first, wins where both have
    // a text.
    translations->AddStdCatalog();
    translations->AddCatalog(wxT("pixmora"));
}
