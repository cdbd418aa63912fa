#include "platform/SettingsStore.h"
#include "tests/ui/UiTestSupport.h"

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/filefn.h>
#include <wx/gdicmn.h>
#include <wx/radiobox.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <functional>

namespace
{

class MainFrameSettings : public testing::Test
{
protected:
    void SetUp() override { m_frame = MakeFrame(); }
    void TearDown() override { delete m_frame; }

    /// Closes the window as the user does and starts the program again:
    /// the settings go through the real file in between.
    void Restart()
    {
        delete m_frame;
        m_frame = nullptr;
        delete wxConfigBase::Set(nullptr);
        m_frame = MakeFrame();
    }

    /// The entry as it stands in the file after the window has closed.
    wxString Stored(const wxString& key)
    {
        delete m_frame;
        m_frame = nullptr;
        delete wxConfigBase::Set(nullptr);
        wxString value = wxT("<absent>");
        SettingsStore::Get()->Read(wxT("/Mainframe/Layout/") + key, &value);
        delete wxConfigBase::Set(nullptr);
        m_frame = MakeFrame();
        return value;
    }

    void Store(const wxString& key, long value)
    {
        SettingsStore::Get()->Write(wxT("/Mainframe/Layout/") + key, value);
    }

    wxTextCtrl* Field(int id) { return Control<wxTextCtrl>(m_frame, id); }
    wxRadioBox* Radio(int id) { return Control<wxRadioBox>(m_frame, id); }
    wxCheckBox* SaveToJpeg() { return Control<wxCheckBox>(m_frame, ID_SAVE_TO_JPEG); }

    MainFrame* m_frame = nullptr;
};

} // namespace

TEST_F(MainFrameSettings, EveryInputAndTheGeometryComeBack)
{
    TempDir folders;
    const wxString source = folders.File(wxT("in"));
    ASSERT_TRUE(wxMkdir(source));
    MakeFiles(source, {"b.jpg", "a.tif"});

    Type(m_frame, ID_SOURCE_FOLDER, source);
    Click(m_frame, ID_SELECT_ALL);
    Type(m_frame, ID_DESTINATION_FOLDER, folders.File(wxT("out-not-yet-made")));
    Type(m_frame, ID_VALUE, wxT("640"));
    Type(m_frame, ID_JPEG_QUALITY, wxT("70"));
    Radio(ID_NEW_SIZE)->SetSelection(2);
    Radio(ID_INTERPOLATOR)->SetSelection(0);
    SaveToJpeg()->SetValue(true);
    m_frame->Move(60, 70);
    m_frame->SetClientSize(450, 520);
    ASSERT_TRUE(MainFrame::IsGeometryValid(60, 70, 450, 520));

    Restart();
    EXPECT_TRUE(wxFileExists(SettingsStore::FilePath(wxT("PixmoraApp"))));
    EXPECT_EQ(Field(ID_SOURCE_FOLDER)->GetValue(), source);
    const wxArrayString entries = ListEntries(m_frame);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], wxT("a.tif"));
    EXPECT_EQ(entries[1], wxT("b.jpg"));
    EXPECT_FALSE(Control<wxCheckListBox>(m_frame, ID_FILE_LIST)->IsChecked(0));
    EXPECT_EQ(Field(ID_DESTINATION_FOLDER)->GetValue(), folders.File(wxT("out-not-yet-made")));
    EXPECT_EQ(Field(ID_VALUE)->GetValue(), wxT("640"));
    EXPECT_EQ(Field(ID_JPEG_QUALITY)->GetValue(), wxT("70"));
    EXPECT_EQ(Radio(ID_NEW_SIZE)->GetSelection(), 2);
    EXPECT_EQ(Radio(ID_INTERPOLATOR)->GetSelection(), 0);
    EXPECT_TRUE(SaveToJpeg()->IsChecked());
    EXPECT_EQ(m_frame->GetPosition(), wxPoint(60, 70));
    EXPECT_EQ(m_frame->GetClientSize(), wxSize(450, 520));
}

TEST_F(MainFrameSettings, FirstStartWritesEveryEntry)
{
    EXPECT_FALSE(wxFileExists(SettingsStore::FilePath(wxT("PixmoraApp"))));
    EXPECT_EQ(Stored(wxT("SourceFolder")), wxT(""));
    EXPECT_EQ(Stored(wxT("JpegQuality")), wxT("85"));
    EXPECT_EQ(Stored(wxT("InterpolatorSetting")), wxT("1"));
    EXPECT_EQ(Stored(wxT("ResizeDimension")), wxT("0"));
    // The window started centred at its creation size, which is valid.
    EXPECT_EQ(Stored(wxT("w")), wxT("500"));
    EXPECT_EQ(Stored(wxT("Value")), wxT("<absent>"));
}

TEST_F(MainFrameSettings, NumbersAreWrittenAsTypedButRestoredOnlyWhenSensible)
{
    struct Case
    {
        const char* what;
        int field;
        const char* typed;
        const char* stored;
        const char* shownNext;
    };
    const Case kCases[] = {
        {"value", ID_VALUE, "640", "640", "640"},
        {"value zero", ID_VALUE, "0", "0", ""},
        {"value negative", ID_VALUE, "-5", "-5", ""},
        {"value with a unit", ID_VALUE, "320px", "320", "320"},
        {"quality zero", ID_JPEG_QUALITY, "0", "0", "85"},
        {"quality", ID_JPEG_QUALITY, "90", "90", "90"},
    };
    const wxString key[] = {wxT("Value"), wxT("JpegQuality")};
    for (const Case& c : kCases)
    {
        Type(m_frame, c.field, wxString::FromUTF8(c.typed));
        const wxString name = key[c.field == ID_VALUE ? 0 : 1];
        EXPECT_EQ(Stored(name), wxString::FromUTF8(c.stored)) << c.what;
        EXPECT_EQ(Field(c.field)->GetValue(), wxString::FromUTF8(c.shownNext)) << c.what;
    }
}

TEST_F(MainFrameSettings, EmptyValueKeepsTheStoredOne)
{
    Type(m_frame, ID_VALUE, wxT("800"));
    Restart();
    Type(m_frame, ID_VALUE, wxT(""));
    Type(m_frame, ID_JPEG_QUALITY, wxT(""));
    Restart();
    EXPECT_EQ(Field(ID_VALUE)->GetValue(), wxT("800"));
    EXPECT_EQ(Field(ID_JPEG_QUALITY)->GetValue(), wxT("85"));
}

TEST_F(MainFrameSettings, StoredChoicesOutOfRangeAreIgnored)
{
    struct Case
    {
        long dimension;
        long interpolator;
        int dimensionShown;
        int interpolatorShown;
    };
    const Case kCases[] = {{4, 2, 4, 2}, {5, 3, 0, 1}, {-1, -1, 0, 1}, {99, 1000, 0, 1}};
    for (const Case& c : kCases)
    {
        delete m_frame;
        m_frame = nullptr;
        Store(wxT("ResizeDimension"), c.dimension);
        Store(wxT("InterpolatorSetting"), c.interpolator);
        m_frame = MakeFrame();
        EXPECT_EQ(Radio(ID_NEW_SIZE)->GetSelection(), c.dimensionShown) << c.dimension;
        EXPECT_EQ(Radio(ID_INTERPOLATOR)->GetSelection(), c.interpolatorShown) << c.interpolator;
    }
}

TEST_F(MainFrameSettings, GeometryNearTheTopOrOffTheScreenIsNeitherSavedNorRestored)
{
    m_frame->Move(40, 60);
    Restart();
    ASSERT_EQ(m_frame->GetPosition(), wxPoint(40, 60));
    // Top edge at y = 30: the previous geometry stays.
    m_frame->Move(40, 30);
    EXPECT_EQ(Stored(wxT("y")), wxT("60"));

    int width = 0;
    int height = 0;
    wxDisplaySize(&width, &height);
    struct Case
    {
        int x, y, w, h;
        bool valid;
    };
    const Case kCases[] = {
        {0, 50, 100, 100, true},   {width - 200, height - 200, 100, 100, true},
        {-1, 50, 100, 100, false}, {width - 199, 50, 100, 100, false},
        {0, 49, 100, 100, false},  {0, height - 199, 100, 100, false},
        {0, 50, 99, 100, false},   {0, 50, 100, 99, false},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(MainFrame::IsGeometryValid(c.x, c.y, c.w, c.h), c.valid)
            << c.x << "," << c.y << " " << c.w << "x" << c.h;

    // A stored geometry that does not fit this screen leaves the window
    // centred at its creation size.
    delete m_frame;
    m_frame = nullptr;
    Store(wxT("x"), width);
    m_frame = MakeFrame();
    EXPECT_EQ(m_frame->GetSize(), wxSize(500, 600));
}

TEST_F(MainFrameSettings, MaximisedCloseKeepsTheNormalGeometry)
{
    m_frame->Move(40, 60);
    m_frame->SetClientSize(420, 480);
    Restart();
    m_frame->Move(100, 100);
    m_frame->Maximize(true);
    for (int i = 0; i < 20 && !m_frame->IsMaximized(); ++i)
    {
        wxTheApp->Yield();
        wxMilliSleep(10);
    }
    if (!m_frame->IsMaximized())
        GTEST_SKIP() << "this display has no window manager to maximise the window";
    Restart();
    EXPECT_TRUE(m_frame->IsMaximized());
    EXPECT_EQ(Stored(wxT("x")), wxT("40"));
    EXPECT_EQ(Stored(wxT("w")), wxT("420"));
}
