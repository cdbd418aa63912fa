#include "tests/support/WxTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CAbout.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/display.h>
#include <wx/gauge.h>
#include <wx/radiobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <map>
#include <memory>
#include <vector>

namespace
{

struct FrameDeleter
{
    void operator()(MainFrame* frame) const { delete frame; }
};
using FramePtr = std::unique_ptr<MainFrame, FrameDeleter>;

wxStaticText* Counter(wxWindow* frame)
{
    // The counter is the static text that follows the gauge.
    wxWindow* gauge = wxWindow::FindWindowById(ID_GAUGE, frame);
    return gauge ? dynamic_cast<wxStaticText*>(gauge->GetNextSibling()) : nullptr;
}

} // namespace

TEST(MainFrameLayout, FreshStartShowsTheDefaults)
{
    FramePtr frame(MakeFrame());
    EXPECT_EQ(frame->GetTitle(), wxT("Pixmora"));
    EXPECT_EQ(Control<wxRadioBox>(frame.get(), ID_NEW_SIZE)->GetStringSelection(), wxT("Width"));
    EXPECT_EQ(Control<wxRadioBox>(frame.get(), ID_INTERPOLATOR)->GetStringSelection(),
              wxT("Normal"));
    EXPECT_EQ(Control<wxTextCtrl>(frame.get(), ID_VALUE)->GetValue(), wxT(""));
    EXPECT_EQ(Control<wxTextCtrl>(frame.get(), ID_JPEG_QUALITY)->GetValue(), wxT("85"));
    EXPECT_FALSE(Control<wxCheckBox>(frame.get(), ID_SAVE_TO_JPEG)->IsChecked());
    EXPECT_EQ(Control<wxGauge>(frame.get(), ID_GAUGE)->GetValue(), 0);
    ASSERT_NE(Counter(frame.get()), nullptr);
    EXPECT_EQ(Counter(frame.get())->GetLabel(), wxT(""));
    EXPECT_EQ(Control<wxButton>(frame.get(), ID_RESIZE)->GetLabel(), wxT("Resize"));
    EXPECT_EQ(ListEntries(frame.get()).size(), 0u);

    EXPECT_EQ(frame->GetSize(), wxSize(500, 600));
    const wxRect screen = wxDisplay(0u).GetGeometry();
    const wxRect window = frame->GetRect();
    EXPECT_NEAR(window.x, screen.x + (screen.width - window.width) / 2, 1);
    EXPECT_NEAR(window.y, screen.y + (screen.height - window.height) / 2, 1);
}

TEST(MainFrameLayout, JpegQualityIsEnabledOnlyWhenSomeOutputIsJpeg)
{
    struct Case
    {
        std::vector<const char*> ticked;
        bool saveToJpeg;
        bool enabled;
    };
    const Case kCases[] = {
        {{"PHOTO.JPG"}, false, true},
        {{"photo.jpeg"}, false, true},
        {{"scan.tif"}, false, false},
        {{"scan.tif"}, true, true},
        {{}, true, false},
        {{}, false, false},
        {{"scan.tif", "x.Jpg"}, false, true},
    };
    FramePtr frame(MakeFrame());
    auto* list = Control<wxCheckListBox>(frame.get(), ID_FILE_LIST);
    auto* quality = Control<wxTextCtrl>(frame.get(), ID_JPEG_QUALITY);
    for (const Case& c : kCases)
    {
        list->Clear();
        list->Append(wxT("unticked.jpg"));
        for (const char* name : c.ticked)
            list->Check(list->Append(wxString::FromUTF8(name)));
        Control<wxCheckBox>(frame.get(), ID_SAVE_TO_JPEG)->SetValue(c.saveToJpeg);
        frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
        EXPECT_EQ(quality->IsThisEnabled(), c.enabled)
            << (c.ticked.empty() ? "nothing" : c.ticked[0]) << " ticked, save to JPEG "
            << c.saveToJpeg;
    }

    // A disabled list (a run in progress) keeps the field disabled.
    list->Clear();
    list->Check(list->Append(wxT("a.jpg")));
    frame->EnableControls(false);
    frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    EXPECT_FALSE(quality->IsThisEnabled());
}

TEST(MainFrameLayout, SelectAllAndClearAllTickEveryEntry)
{
    FramePtr frame(MakeFrame());
    auto* list = Control<wxCheckListBox>(frame.get(), ID_FILE_LIST);
    list->Append(wxT("a.jpg"));
    list->Append(wxT("b.tif"));
    list->Append(wxT("c.jpg"));
    list->Check(1);

    Click(frame.get(), ID_SELECT_ALL);
    for (unsigned int i = 0; i < list->GetCount(); ++i)
        EXPECT_TRUE(list->IsChecked(i)) << i;
    Click(frame.get(), ID_CLEAR_ALL);
    for (unsigned int i = 0; i < list->GetCount(); ++i)
        EXPECT_FALSE(list->IsChecked(i)) << i;
}

TEST(MainFrameLayout, GrowingTheWindowGrowsOnlyTheFoldersAndTheList)
{
    FramePtr frame(MakeFrame());
    wxWindow* panel = wxWindow::FindWindowById(ID_PANEL, frame.get());
    ASSERT_NE(panel, nullptr);
    auto layout = [&](int width, int height)
    {
        frame->SetSize(width, height);
        frame->Layout();
        panel->Layout();
    };
    auto rectOf = [&](int id) { return wxWindow::FindWindowById(id, frame.get())->GetRect(); };
    const int kIds[] = {
        ID_SOURCE_FOLDER, ID_DESTINATION_FOLDER, ID_FILE_LIST, ID_NEW_SIZE, ID_INTERPOLATOR,
        ID_VALUE,         ID_SOURCE_BROWSE,      wxID_HELP,    ID_RESIZE};
    auto snapshot = [&]
    {
        std::map<int, wxRect> rects;
        for (int id : kIds)
            rects[id] = rectOf(id);
        return rects;
    };

    layout(500, 600);
    const auto before = snapshot();
    layout(700, 800);
    const auto after = snapshot();

    EXPECT_EQ(after.at(ID_SOURCE_FOLDER).width - before.at(ID_SOURCE_FOLDER).width, 200);
    EXPECT_GT(after.at(ID_DESTINATION_FOLDER).width, before.at(ID_DESTINATION_FOLDER).width);
    EXPECT_EQ(after.at(ID_FILE_LIST).width - before.at(ID_FILE_LIST).width, 200);
    EXPECT_EQ(after.at(ID_FILE_LIST).height - before.at(ID_FILE_LIST).height, 200);
    // The options column keeps its width and moves right as a whole.
    for (int id :
         {int(ID_NEW_SIZE), int(ID_INTERPOLATOR), int(ID_VALUE), int(wxID_HELP), int(ID_RESIZE)})
    {
        EXPECT_EQ(after.at(id).width, before.at(id).width) << id;
        EXPECT_EQ(after.at(id).x - before.at(id).x, 200) << id;
    }
    EXPECT_EQ(after.at(ID_NEW_SIZE).y, before.at(ID_NEW_SIZE).y);
    // Help and Resize stay at the bottom of the column.
    EXPECT_EQ(after.at(wxID_HELP).y - before.at(wxID_HELP).y, 200);
    EXPECT_EQ(after.at(ID_RESIZE).y - before.at(ID_RESIZE).y, 200);
    EXPECT_EQ(after.at(ID_SOURCE_BROWSE).width, before.at(ID_SOURCE_BROWSE).width);
}

namespace
{

/// Answers the About box, after checking what it shows. It also spoils the
/// version label of the box it saw, so that a box kept for the next opening
/// would show.
class ExpectAbout : public wxExpectModalBase<CAbout, ExpectAbout>
{
public:
    explicit ExpectAbout(int* opened) : m_opened(opened) {}

protected:
    int OnInvoked(CAbout* dialog) const override
    {
        ++*m_opened;
        EXPECT_EQ(dialog->GetId(), ID_ABOUT);
        EXPECT_EQ(dialog->GetTitle(), wxT("About Pixmora"));
        int versionLabels = 0;
        for (wxWindow* child : dialog->GetChildren())
        {
            auto* text = dynamic_cast<wxStaticText*>(child);
            if (!text)
                continue;
            EXPECT_NE(text->GetLabel(), wxT("Pixmora Version x.x"));
            if (text->GetLabel() == wxT("Pixmora version 2.1"))
            {
                ++versionLabels;
                text->SetLabel(wxT("spoilt"));
            }
        }
        EXPECT_EQ(versionLabels, 1);
        EXPECT_NE(wxWindow::FindWindowById(ID_HYPERLINK, dialog), nullptr);
        EXPECT_NE(wxWindow::FindWindowById(wxID_CLOSE, dialog), nullptr);
        return wxID_OK;
    }

private:
    int* m_opened;
};

} // namespace

TEST(AboutBox, ShowsTheVersionAndIsBuiltAfreshEachTime)
{
    FramePtr frame(MakeFrame());
    int opened = 0;
    wxTEST_DIALOG(Click(frame.get(), wxID_HELP), ExpectAbout(&opened));
    wxTEST_DIALOG(Click(frame.get(), wxID_HELP), ExpectAbout(&opened));
    EXPECT_EQ(opened, 2);
    for (wxWindow* child : frame->GetChildren())
        EXPECT_EQ(dynamic_cast<CAbout*>(child), nullptr) << "an About box outlived its opening";
}

TEST(AboutBox, IsCreatableByNameAndFitsItsContents)
{
    wxObject* created = wxCreateDynamicObject(wxT("CAbout"));
    ASSERT_NE(dynamic_cast<CAbout*>(created), nullptr);
    delete created;

    CAbout about(nullptr, ID_ABOUT, wxT("About Pixmora"), wxDefaultPosition, wxSize(400, 300),
                 wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL);
    // The box takes the size that fits its contents, not the one asked for.
    EXPECT_NE(about.GetSize(), wxSize(400, 300));
    EXPECT_TRUE(CAbout::GetBitmapResource(wxT("graphics/PixmoraIcon.xpm")).IsOk());
    EXPECT_FALSE(CAbout::GetBitmapResource(wxT("other.xpm")).IsOk());
}
