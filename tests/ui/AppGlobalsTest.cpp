#include "ui/AppGlobals.h"
#include "tests/support/WxTestSupport.h"

TEST(AppGlobals, NamesTheApplication)
{
    EXPECT_EQ(AppTitle, wxT("Pixmora"));
    EXPECT_EQ(AppVersion, wxT("2.1"));
}

TEST(AppGlobals, IntToStringIsPlainDecimal)
{
    EXPECT_EQ(IntToString(0), wxT("0"));
    EXPECT_EQ(IntToString(1234567), wxT("1234567"));
    EXPECT_EQ(IntToString(-42), wxT("-42"));
}

TEST(AppGlobals, AskYesNoIsTrueOnlyForYes)
{
    struct Case
    {
        int answer;
        bool expected;
    };
    const Case kCases[] = {{wxID_YES, true}, {wxID_NO, false}, {wxID_CANCEL, false}};
    for (const Case& c : kCases)
    {
        bool result = !c.expected;
        wxTEST_DIALOG(result = AskYesNo(wxT("Go on?")), ExpectMessage(wxT("Go on?"), c.answer));
        EXPECT_EQ(result, c.expected) << "answer " << c.answer;
    }
}

TEST(AppGlobals, ShowErrorShowsTheMessage)
{
    wxTEST_DIALOG(ShowError(wxT("Something failed")), ExpectMessage(wxT("Something failed")));
}
