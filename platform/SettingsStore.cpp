#include "platform/SettingsStore.h"

#include "Identity.h"

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/utils.h>

wxConfigBase* SettingsStore::Get()
{
    if (wxConfigBase* current = wxConfigBase::Get(false))
        return current;
    const wxString appName =
        wxTheApp ? wxTheApp->GetAppName() : wxString::FromUTF8(PIXMORA_APP_NAME);
    const wxString vendorName =
        wxTheApp ? wxTheApp->GetVendorName() : wxString::FromUTF8(PIXMORA_VENDOR);
    wxConfigBase::Set(new SettingsStore(appName, vendorName));
    return wxConfigBase::Get(false);
}

wxString SettingsStore::FilePath(const wxString& appName)
{
    wxString dir;
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (!wxGetEnv(wxT("XDG_CONFIG_HOME"), &dir) || !wxIsAbsolutePath(dir))
        dir = wxFileName(wxGetHomeDir(), wxT(".config")).GetFullPath();
    return wxFileName(dir, appName + wxT(".conf")).GetFullPath();
}

SettingsStore::SettingsStore(const wxString& appName, const wxString& vendorName)
    // Only the user's own file: a system-wide one would be read silently
    // and is nowhere documented.
    : wxFileConfig(appName, vendorName, FilePath(appName), wxEmptyString, wxCONFIG_USE_LOCAL_FILE)
{
}

SettingsStore::~SettingsStore()
{
    // The base destructor flushes too, but only with its own Flush, which
    // would not create the folder.
    Flush();
}

bool SettingsStore::Flush(bool currentOnly)
{
    // wxFileConfig writes through a temporary file beside the store and
    // fails when the folder is missing, as it is on a fresh account.
    // Reading alone never creates it.
    const wxFileName file(FilePath(GetAppName()));
    if (m_written && !wxDirExists(file.GetPath()))
        wxFileName::Mkdir(file.GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    return wxFileConfig::Flush(currentOnly);
}

bool SettingsStore::DoWriteString(const wxString& key, const wxString& value)
{
    m_written = true;
    return wxFileConfig::DoWriteString(key, value);
}

bool SettingsStore::DoWriteLong(const wxString& key, long value)
{
    m_written = true;
    return wxFileConfig::DoWriteLong(key, value);
}

bool SettingsStore::DoWriteBinary(const wxString& key, const wxMemoryBuffer& buffer)
{
    m_written = true;
    return wxFileConfig::DoWriteBinary(key, buffer);
}
