#include "tests/support/WxTestSupport.h"
#include "tests/ui/UiTestSupport.h"

#include <wx/checklst.h>
#include <wx/dirdlg.h>
#include <wx/dnd.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/textctrl.h>

#include <memory>

namespace
{

class MainFrameFolders : public testing::Test
{
protected:
    void SetUp() override
    {
        m_frame.reset(MakeFrame());
        m_source = m_dir.File(wxT("source"));
        m_other = m_dir.File(wxT("other"));
        ASSERT_TRUE(wxMkdir(m_source));
        ASSERT_TRUE(wxMkdir(m_other));
        MakeFiles(m_source, {"a.JPG", "b.tif", "C.jpg", "notes.txt"});
        MakeFiles(m_other, {"z.tif"});
    }

    wxCheckListBox* List() { return Control<wxCheckListBox>(m_frame.get(), ID_FILE_LIST); }
    wxTextCtrl* Field(int id) { return Control<wxTextCtrl>(m_frame.get(), id); }
    bool Drop(int fieldId, const wxArrayString& names)
    {
        return static_cast<wxFileDropTarget*>(Field(fieldId)->GetDropTarget())
            ->OnDropFiles(0, 0, names);
    }

    TempDir m_dir;
    wxString m_source;
    wxString m_other;
    std::unique_ptr<MainFrame> m_frame;
};

wxArrayString Names(std::initializer_list<const char*> names)
{
    wxArrayString result;
    for (const char* name : names)
        result.Add(wxString::FromUTF8(name));
    return result;
}

} // namespace

TEST_F(MainFrameFolders, ListsJpegAndTiffFilesInCharacterCodeOrderUnticked)
{
    wxMkdir(wxFileName(m_source, wxT("sub")).GetFullPath());
    MakeFiles(wxFileName(m_source, wxT("sub")).GetFullPath(), {"inner.jpg", "inner.tif"});
    Type(m_frame.get(), ID_SOURCE_FOLDER, m_source);
    EXPECT_EQ(ListEntries(m_frame.get()), Names({"C.jpg", "a.JPG", "b.tif"}));
    for (unsigned int i = 0; i < List()->GetCount(); ++i)
        EXPECT_FALSE(List()->IsChecked(i));
}

TEST_F(MainFrameFolders, EditingTheSourceFieldFollowsTheFolder)
{
    Type(m_frame.get(), ID_SOURCE_FOLDER, m_source);
    ASSERT_EQ(List()->GetCount(), 3u);
    // Cleared by hand: the list stays.
    Type(m_frame.get(), ID_SOURCE_FOLDER, wxT(""));
    EXPECT_EQ(List()->GetCount(), 3u);
    // A text that names no folder empties it.
    Type(m_frame.get(), ID_SOURCE_FOLDER, m_source + wxT("x"));
    EXPECT_EQ(List()->GetCount(), 0u);
    // The destination field never touches it.
    Type(m_frame.get(), ID_SOURCE_FOLDER, m_source);
    Type(m_frame.get(), ID_DESTINATION_FOLDER, m_other);
    EXPECT_EQ(List()->GetCount(), 3u);
}

TEST_F(MainFrameFolders, SourceChooserRebuildsTheListEvenOnCancel)
{
    struct Call
    {
        wxString message;
        wxString initial;
    };
    std::vector<Call> calls;
    std::optional<wxString> answer;
    m_frame->SetFolderChooser(
        [&](const wxString& message, const wxString& initial)
        {
            calls.push_back({message, initial});
            return answer;
        });

    Type(m_frame.get(), ID_SOURCE_FOLDER, m_source);
    List()->Check(0);
    List()->Check(2);
    Click(m_frame.get(), ID_SOURCE_BROWSE);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, wxT("Select the source folder"));
    EXPECT_EQ(calls[0].initial, m_source);
    EXPECT_EQ(Field(ID_SOURCE_FOLDER)->GetValue(), m_source);
    EXPECT_EQ(List()->GetCount(), 3u);
    for (unsigned int i = 0; i < List()->GetCount(); ++i)
        EXPECT_FALSE(List()->IsChecked(i)) << "tick kept after Cancel at " << i;

    answer = m_other;
    Click(m_frame.get(), ID_SOURCE_BROWSE);
    EXPECT_EQ(Field(ID_SOURCE_FOLDER)->GetValue(), m_other);
    EXPECT_EQ(ListEntries(m_frame.get()), Names({"z.tif"}));

    // Cancel from a text that names no folder leaves the list empty.
    answer.reset();
    Type(m_frame.get(), ID_SOURCE_FOLDER, m_other + wxT("-gone"));
    Click(m_frame.get(), ID_SOURCE_BROWSE);
    EXPECT_EQ(List()->GetCount(), 0u);
}

TEST_F(MainFrameFolders, DestinationChooserAndSameAsSource)
{
    std::vector<wxString> messages;
    std::optional<wxString> answer = m_other;
    m_frame->SetFolderChooser(
        [&](const wxString& message, const wxString& initial)
        {
            messages.push_back(message);
            EXPECT_EQ(initial, Field(ID_DESTINATION_FOLDER)->GetValue());
            return answer;
        });
    Type(m_frame.get(), ID_SOURCE_FOLDER, m_source);
    Click(m_frame.get(), ID_DESTINATION_BROWSE);
    EXPECT_EQ(Field(ID_DESTINATION_FOLDER)->GetValue(), m_other);
    answer.reset();
    Click(m_frame.get(), ID_DESTINATION_BROWSE);
    EXPECT_EQ(Field(ID_DESTINATION_FOLDER)->GetValue(), m_other);
    EXPECT_EQ(messages, std::vector<wxString>(2, wxT("Select the destination folder")));

    Click(m_frame.get(), ID_SAME_AS_SOURCE);
    EXPECT_EQ(Field(ID_DESTINATION_FOLDER)->GetValue(), m_source);
    Type(m_frame.get(), ID_SOURCE_FOLDER, wxT(""));
    Click(m_frame.get(), ID_SAME_AS_SOURCE);
    EXPECT_EQ(Field(ID_DESTINATION_FOLDER)->GetValue(), wxT(""));
}

namespace
{

/// The folder chooser the window opens by default, answered Cancel.
class ExpectFolderChooser : public wxExpectModalBase<wxDirDialog, ExpectFolderChooser>
{
public:
    explicit ExpectFolderChooser(const wxString& message) : m_message(message) {}

protected:
    int OnInvoked(wxDirDialog* dialog) const override
    {
        EXPECT_EQ(dialog->GetMessage(), m_message);
        // The native chooser on GTK reports no path before it is shown.
        EXPECT_TRUE(dialog->HasFlag(wxDD_DIR_MUST_EXIST));
        return wxID_CANCEL;
    }

private:
    wxString m_message;
};

} // namespace

TEST_F(MainFrameFolders, DefaultChooserIsTheFolderDialog)
{
    Type(m_frame.get(), ID_DESTINATION_FOLDER, m_other);
    wxTEST_DIALOG(Click(m_frame.get(), ID_DESTINATION_BROWSE),
                  ExpectFolderChooser(wxT("Select the destination folder")));
    EXPECT_EQ(Field(ID_DESTINATION_FOLDER)->GetValue(), m_other);
}

TEST_F(MainFrameFolders, DropsTakeExactlyOneFolder)
{
    const wxString image = wxFileName(m_other, wxT("z.tif")).GetFullPath();
    struct Case
    {
        wxArrayString names;
        const char* what;
    };
    const Case kRefused[] = {
        {wxArrayString(), "nothing"},
        {[&]
         {
             wxArrayString two;
             two.Add(m_source);
             two.Add(m_other);
             return two;
         }(),
         "two folders"},
        {wxArrayString(1, &image), "one image file"},
        {wxArrayString(1, m_dir.File(wxT("gone"))), "a missing folder"},
    };
    Type(m_frame.get(), ID_SOURCE_FOLDER, m_source);
    Type(m_frame.get(), ID_DESTINATION_FOLDER, m_source);
    for (const Case& c : kRefused)
    {
        for (int field : {int(ID_SOURCE_FOLDER), int(ID_DESTINATION_FOLDER)})
        {
            EXPECT_FALSE(Drop(field, c.names)) << c.what << " on field " << field;
            EXPECT_EQ(Field(field)->GetValue(), m_source) << c.what;
            EXPECT_EQ(List()->GetCount(), 3u) << c.what;
        }
    }

    EXPECT_TRUE(Drop(ID_DESTINATION_FOLDER, wxArrayString(1, m_other)));
    EXPECT_EQ(Field(ID_DESTINATION_FOLDER)->GetValue(), m_other);
    EXPECT_EQ(ListEntries(m_frame.get()), Names({"C.jpg", "a.JPG", "b.tif"}));

    List()->Check(1);
    EXPECT_TRUE(Drop(ID_SOURCE_FOLDER, wxArrayString(1, m_other)));
    EXPECT_EQ(Field(ID_SOURCE_FOLDER)->GetValue(), m_other);
    EXPECT_EQ(ListEntries(m_frame.get()), Names({"z.tif"}));
    EXPECT_FALSE(List()->IsChecked(0));
}
