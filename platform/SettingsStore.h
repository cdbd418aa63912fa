#pragma once

#include <wx/fileconf.h>

/// The settings store that stands in for the current user's registry branch:
/// the toolkit's file store, kept where the desktop expects settings
/// ($XDG_CONFIG_HOME, or ~/.config when that is unset) rather than in a
/// dot-file of the home folder.
class SettingsStore : public wxFileConfig
{
public:
    /// The process's configuration object: the one already set, or a new
    /// SettingsStore for the application's vendor and name, made the
    /// toolkit's global one (the toolkit deletes it at exit).
    static wxConfigBase* Get();

    /// Where the store of an application of this name lives.
    static wxString FilePath(const wxString& appName);

    SettingsStore(const wxString& appName, const wxString& vendorName);
    ~SettingsStore() override;

    bool Flush(bool currentOnly = false) override;

protected:
    bool DoWriteString(const wxString& key, const wxString& value) override;
    bool DoWriteLong(const wxString& key, long value) override;
    bool DoWriteBinary(const wxString& key, const wxMemoryBuffer& buffer) override;

private:
    bool m_written = false;
};
