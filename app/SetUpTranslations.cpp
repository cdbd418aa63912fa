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
    // The toolkit's own texts, where Debian's wx3.2-i18n is installed.
    translations->AddStdCatalog();
    translations->AddCatalog(wxT("pixmora"));
    wxTranslations::Set(translations);
}
