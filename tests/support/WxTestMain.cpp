// Entry point of every test binary that needs the toolkit: starts wx once,
// keeps the tests away from the user's home and settings, and turns every
// wx assertion and every unexpected modal dialog into a test failure (a
// dialog shown for real would hang a headless run).

#include "app/ApplicationSetup.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/config.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/toplevel.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

class TestApp : public wxApp
{
public:
    bool OnInit() override
    {
        SetUpApplication(*this);
        return true;
    }
};

/// Last in the chain of modal hooks: whatever wxTEST_DIALOG did not expect
/// ends here, fails the test and is cancelled instead of shown.
class UnexpectedModalHook : public wxModalDialogHook
{
protected:
    int Enter(wxDialog* dialog) override
    {
        wxString what = dialog->GetTitle();
        if (auto* box = dynamic_cast<wxMessageDialog*>(dialog))
            what = box->GetMessage();
        ADD_FAILURE() << "unexpected modal dialog: " << what.utf8_string();
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_string().c_str(), line)
        << "wx assertion in " << func.utf8_string() << ": " << cond.utf8_string() << " "
        << msg.utf8_string();
}

/// Every test gets a home and a settings folder of its own, so that settings
/// never leak from one test into the next or into the user's.
class FreshHomeListener : public testing::EmptyTestEventListener
{
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        m_home = std::make_unique<TempDir>();
        setenv("HOME", m_home->Path().utf8_str(), 1);
        setenv("XDG_CONFIG_HOME", m_home->File(wxT(".config")).utf8_str(), 1);
        delete wxConfigBase::Set(nullptr);
    }

    void OnTestEnd(const testing::TestInfo&) override
    {
        // Windows left open save their settings as they go: let them, while
        // this test's home still exists.
        for (wxWindow* window : wxTopLevelWindows)
            window->Destroy();
        wxTheApp->ProcessIdle();
        delete wxConfigBase::Set(nullptr);
        m_home.reset();
    }

private:
    std::unique_ptr<TempDir> m_home;
};

} // namespace

wxIMPLEMENT_APP_NO_MAIN(TestApp);

int main(int argc, char** argv)
{
    std::vector<char*> originalArguments(argv, argv + argc);
    originalArguments.push_back(nullptr);
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests happens at build time, without a display.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("GSETTINGS_BACKEND", "memory", 1);
    setenv("LANG", "C.UTF-8", 1);
    // GTK caches the home folder at start-up; let that be a throw-away one.
    TempDir processHome;
    setenv("HOME", processHome.Path().utf8_str(), 1);
    setenv("XDG_CONFIG_HOME", processHome.File(wxT(".config")).utf8_str(), 1);

    if (!wxEntryStart(argc, argv) || !wxTheApp || !wxGetApp().CallOnInit())
    {
        fprintf(stderr, "cannot start the toolkit (is there a display?)\n");
        // Under load the X server now and then refuses one connection; a
        // fresh process gets one. Only this start-up failure is retried.
        const char* tries = std::getenv("PIXMORA_TEST_DISPLAY_TRIES");
        const int triesSoFar = tries ? std::atoi(tries) : 0;
        if (triesSoFar < 3)
        {
            setenv("PIXMORA_TEST_DISPLAY_TRIES", std::to_string(triesSoFar + 1).c_str(), 1);
            wxFileName::Rmdir(processHome.Path(), wxPATH_RMDIR_RECURSIVE);
            sleep(1);
            execv("/proc/self/exe", originalArguments.data());
        }
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxSetAssertHandler(FailOnAssert);
    UnexpectedModalHook unexpectedModal;
    unexpectedModal.Register();

    testing::UnitTest::GetInstance()->listeners().Append(new FreshHomeListener);
    const int result = RUN_ALL_TESTS();

    unexpectedModal.Unregister();
    wxGetApp().OnExit();
    wxEntryCleanup();
    return result;
}
