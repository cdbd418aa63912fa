#include "platform/FolderListing.h"

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

wxArrayString ListFolderFiles(const wxString& folder, const wxString& pattern)
{
    wxArrayString paths;
    if (folder.empty() || !wxDirExists(folder))
        return paths;

    // An unreadable folder is simply empty here; the toolkit would log it.
    wxLogNull quiet;
    wxDir dir(folder);
    if (!dir.IsOpened())
        return paths;

    // wxDir matches its filter case-sensitively on this system, so every
    // name is fetched and compared in lower case instead.
    const wxString lowerPattern = pattern.Lower();
    wxString name;
    for (bool found = dir.GetFirst(&name, wxEmptyString, wxDIR_FILES); found;
         found = dir.GetNext(&name))
    {
        if (wxMatchWild(lowerPattern, name.Lower(), true))
            paths.Add(wxFileName(folder, name).GetFullPath());
    }
    return paths;
}
