#include "platform/SettingsStore.h"
#include "tests/support/TestSupport.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/utils.h>

TEST(SettingsStore, LivesInTheXdgFolderAndCreatesItOnTheFirstWrite)
{
    wxString configHome;
    ASSERT_TRUE(wxGetEnv(wxT("XDG_CONFIG_HOME"), &configHome));
    const wxString expected = wxFileName(configHome, wxT("PixmoraApp.conf")).GetFullPath();
    EXPECT_EQ(SettingsStore::FilePath(wxT("PixmoraApp")), expected);
    ASSERT_FALSE(wxDirExists(configHome));

    wxConfigBase* store = SettingsStore::Get();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(SettingsStore::Get(), store);
    store->Read(wxT("/Mainframe/Layout/x"), -1L);
    store->Flush();
    EXPECT_FALSE(wxDirExists(configHome)) << "reading alone created the folder";

    store->Write(wxT("/Mainframe/Layout/x"), 12L);
    EXPECT_TRUE(store->Flush());
    delete wxConfigBase::Set(nullptr);
    EXPECT_NE(ReadFileBytes(expected).find("x=12"), std::string::npos);
}

TEST(SettingsStore, FallsBackToDotConfigInTheHomeFolder)
{
    wxString configHome;
    wxGetEnv(wxT("XDG_CONFIG_HOME"), &configHome);
    wxUnsetEnv(wxT("XDG_CONFIG_HOME"));
    const wxString path = SettingsStore::FilePath(wxT("PixmoraApp"));
    wxSetEnv(wxT("XDG_CONFIG_HOME"), wxT("relative/is/ignored"));
    const wxString withRelative = SettingsStore::FilePath(wxT("PixmoraApp"));
    wxSetEnv(wxT("XDG_CONFIG_HOME"), configHome);

    const wxString expected =
        wxFileName(wxGetHomeDir() + wxT("/.config"), wxT("PixmoraApp.conf")).GetFullPath();
    EXPECT_EQ(path, expected);
    EXPECT_EQ(withRelative, expected);
}
