#include "tests/support/RecordingLog.h"
#include "tests/support/WxTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AppGlobals.h"
#include <wx/app.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/log.h>
#include <wx/radiobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <functional>
#include <vector>

namespace
{

const wxString kSameFolder =
    wxT("The source and destination folders are the same: the program will overwite the original "
        "images. Are you sure that you want to overwrite them?");
const wxString kOutputsExist = wxT("One or more output files already exist and will be "
                                   "overwritten. Are you sure that you want to overwrite them?");
const wxString kStopQuestion = wxT("Do you want to stop resizing?");
const wxString kQualityMessage =
    wxT("The JPEG quality value is not correct. You must type a number between 0 and 100: a lower "
        "number means smaller file and lower image quality, a higher number means larger file "
        "and higher image quality.");

/// What the window looked like and passed when the job was called.
struct JobCall
{
    wxString source;
    wxString output;
    int value;
    int dimension;
    int interpolator;
    int jpegQuality;
    wxString counter;
    int gauge;
    wxString button;
    bool inputsDisabled;
};

const int kInputIds[] = {ID_NEW_SIZE,           ID_VALUE,          ID_INTERPOLATOR,
                         ID_JPEG_QUALITY,       wxID_HELP,         ID_CLEAR_ALL,
                         ID_SELECT_ALL,         ID_FILE_LIST,      ID_SOURCE_FOLDER,
                         ID_DESTINATION_FOLDER, ID_SAME_AS_SOURCE, ID_SOURCE_BROWSE,
                         ID_DESTINATION_BROWSE, ID_SAVE_TO_JPEG};

class MainFrameBatch : public testing::Test
{
public:
    void SetUp() override
    {
        m_frame = MakeFrame();
        m_source = m_dir.File(wxT("source"));
        m_destination = m_dir.File(wxT("destination"));
        // Case tables start afresh in the same folders.
        ASSERT_TRUE(wxDirExists(m_source) || wxMkdir(m_source));
        ASSERT_TRUE(wxDirExists(m_destination) || wxMkdir(m_destination));
        MakeFiles(m_source, {"a.jpg", "b.tif", "c.JPG"});
        m_frame->SetFileJob(
            [this](const wxString& source, const wxString& output, const ResizeRequest& request,
                   const StopCheck& shouldStop)
            {
                m_calls.push_back(
                    {source, output, request.value, static_cast<int>(request.dimension),
                     static_cast<int>(request.interpolator), request.jpegQuality,
                     Counter()->GetLabel(), Gauge()->GetValue(),
                     Control<wxButton>(m_frame, ID_RESIZE)->GetLabel(), AllInputsDisabled()});
                if (m_duringJob)
                    m_duringJob(static_cast<int>(m_calls.size()));
                ResizeResult result;
                // What the engine does at its next block of rows.
                if (shouldStop())
                    result.status = ResizeResult::Status::Stopped;
                else
                    result.status = m_result ? m_result(static_cast<int>(m_calls.size()))
                                             : ResizeResult::Status::Written;
                return result;
            });
        Type(m_frame, ID_SOURCE_FOLDER, m_source);
        Type(m_frame, ID_DESTINATION_FOLDER, m_destination);
        Type(m_frame, ID_VALUE, wxT("100"));
        Click(m_frame, ID_SELECT_ALL);
    }

    void TearDown() override
    {
        if (m_frame)
            delete m_frame.get();
    }

    wxStaticText* Counter()
    {
        return dynamic_cast<wxStaticText*>(
            wxWindow::FindWindowById(ID_GAUGE, m_frame)->GetNextSibling());
    }
    wxGauge* Gauge() { return Control<wxGauge>(m_frame, ID_GAUGE); }
    wxCheckListBox* List() { return Control<wxCheckListBox>(m_frame, ID_FILE_LIST); }

    bool AllInputsDisabled()
    {
        for (int id : kInputIds)
        {
            if (wxWindow::FindWindowById(id, m_frame)->IsThisEnabled())
                return false;
        }
        return true;
    }

    void ExpectIdle()
    {
        EXPECT_EQ(Control<wxButton>(m_frame, ID_RESIZE)->GetLabel(), wxT("Resize"));
        EXPECT_EQ(Counter()->GetLabel(), wxT(""));
        EXPECT_EQ(Gauge()->GetValue(), 0);
        for (int id : kInputIds)
            EXPECT_TRUE(wxWindow::FindWindowById(id, m_frame)->IsThisEnabled()) << id;
    }

    wxString In(const wxString& dir, const char* name)
    {
        return wxFileName(dir, wxString::FromUTF8(name)).GetFullPath();
    }

    // Public: the case tables below spoil the window through the fixture.

    TempDir m_dir;
    wxString m_source;
    wxString m_destination;
    wxWeakRef<MainFrame> m_frame;
    std::vector<JobCall> m_calls;
    std::function<void(int call)> m_duringJob;
    std::function<ResizeResult::Status(int call)> m_result;
};

} // namespace

TEST_F(MainFrameBatch, ChecksStopAtTheFirstProblemAndChangeNothing)
{
    struct Case
    {
        const char* what;
        std::function<void(MainFrameBatch&)> spoil;
        wxString message;
    };
    auto text = [](int id, const char* value)
    { return [=](MainFrameBatch& t) { Type(t.m_frame, id, wxString::FromUTF8(value)); }; };
    const Case kCases[] = {
        // Everything else wrong too: only the first problem is told.
        {"empty source",
         [](MainFrameBatch& t)
         {
             Type(t.m_frame, ID_SOURCE_FOLDER, wxT(""));
             Click(t.m_frame, ID_CLEAR_ALL);
             Type(t.m_frame, ID_VALUE, wxT(""));
         },
         wxT("You must select a source folder")},
        {"missing source",
         [](MainFrameBatch& t)
         {
             Type(t.m_frame, ID_SOURCE_FOLDER, t.m_source + wxT("-gone"));
             Type(t.m_frame, ID_DESTINATION_FOLDER, wxT(""));
         },
         wxT("The source folder does not exist")},
        {"empty destination", text(ID_DESTINATION_FOLDER, ""),
         wxT("You must select a destination folder")},
        {"missing destination",
         [](MainFrameBatch& t)
         { Type(t.m_frame, ID_DESTINATION_FOLDER, t.m_destination + wxT("-gone")); },
         wxT("The destination folder does not exist")},
        {"nothing ticked", [](MainFrameBatch& t) { Click(t.m_frame, ID_CLEAR_ALL); },
         wxT("You must select some files to resize")},
        {"empty value", text(ID_VALUE, ""), wxT("You must type a value")},
        {"empty quality", text(ID_JPEG_QUALITY, ""), wxT("You must type a JPEG quality value")},
        {"quality 101", text(ID_JPEG_QUALITY, "101"), kQualityMessage},
        {"quality -1", text(ID_JPEG_QUALITY, "-1"), kQualityMessage},
        // Past a 32-bit int: must not wrap round into the range.
        {"quality 4294967381", text(ID_JPEG_QUALITY, "4294967381"), kQualityMessage},
    };
    for (const Case& c : kCases)
    {
        SetUp();
        c.spoil(*this);
        const wxArrayString entries = ListEntries(m_frame);
        wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(c.message));
        EXPECT_TRUE(m_calls.empty()) << c.what;
        EXPECT_EQ(ListEntries(m_frame), entries) << c.what;
        ExpectIdle();
        TearDown();
        m_calls.clear();
    }
}

TEST_F(MainFrameBatch, QualityBoundsPassAndDecimalsAreCut)
{
    struct Case
    {
        const char* text;
        int passed;
    };
    const Case kCases[] = {{"0", 0}, {"100", 100}, {"85.7", 85}, {" 42", 42}};
    for (const Case& c : kCases)
    {
        m_calls.clear();
        Type(m_frame, ID_JPEG_QUALITY, wxString::FromUTF8(c.text));
        Click(m_frame, ID_RESIZE);
        ASSERT_EQ(m_calls.size(), 3u) << c.text;
        EXPECT_EQ(m_calls[0].jpegQuality, c.passed) << c.text;
    }
}

TEST_F(MainFrameBatch, RunsTickedFilesInListOrderWithProgress)
{
    List()->Check(1, false); // b.tif
    Control<wxRadioBox>(m_frame, ID_NEW_SIZE)->SetSelection(3);
    Control<wxRadioBox>(m_frame, ID_INTERPOLATOR)->SetSelection(2);
    Type(m_frame, ID_VALUE, wxT("640px"));
    // The value is read again for every file.
    m_duringJob = [this](int call)
    {
        if (call == 1)
            Control<wxTextCtrl>(m_frame, ID_VALUE)->ChangeValue(wxT("320"));
    };
    Click(m_frame, ID_RESIZE);

    ASSERT_EQ(m_calls.size(), 2u);
    EXPECT_EQ(m_calls[0].source, In(m_source, "a.jpg"));
    EXPECT_EQ(m_calls[0].output, In(m_destination, "a.jpg"));
    EXPECT_EQ(m_calls[1].source, In(m_source, "c.JPG"));
    EXPECT_EQ(m_calls[1].output, In(m_destination, "c.JPG"));
    EXPECT_EQ(m_calls[0].value, 640);
    EXPECT_EQ(m_calls[1].value, 320);
    for (const JobCall& call : m_calls)
    {
        EXPECT_EQ(call.dimension, 3);
        EXPECT_EQ(call.interpolator, 2);
        EXPECT_EQ(call.jpegQuality, 85);
        EXPECT_EQ(call.button, wxT("Stop"));
        EXPECT_TRUE(call.inputsDisabled);
    }
    EXPECT_EQ(m_calls[0].counter, wxT("0/2"));
    EXPECT_EQ(m_calls[0].gauge, 0);
    EXPECT_EQ(m_calls[1].counter, wxT("1/2"));
    EXPECT_EQ(m_calls[1].gauge, 1);
    EXPECT_EQ(Gauge()->GetRange(), 2);
    ExpectIdle();
}

TEST_F(MainFrameBatch, EachChoiceReachesTheJobAsItsNamedValue)
{
    // The radio indexes, the stored numbers and the job's enumerations are
    // one and the same: a reordered label would change the meaning.
    struct Case
    {
        int id;
        const wxChar* label;
        int value;
    };
    const Case kCases[] = {
        {ID_NEW_SIZE, wxT("Width"), static_cast<int>(ResizeDimension::Width)},
        {ID_NEW_SIZE, wxT("Height"), static_cast<int>(ResizeDimension::Height)},
        {ID_NEW_SIZE, wxT("Longer side"), static_cast<int>(ResizeDimension::LongerSide)},
        {ID_NEW_SIZE, wxT("Shorter side"), static_cast<int>(ResizeDimension::ShorterSide)},
        {ID_NEW_SIZE, wxT("Percent"), static_cast<int>(ResizeDimension::Percent)},
        {ID_INTERPOLATOR, wxT("Smoother"), static_cast<int>(InterpolatorSetting::Smoother)},
        {ID_INTERPOLATOR, wxT("Normal"), static_cast<int>(InterpolatorSetting::Normal)},
        {ID_INTERPOLATOR, wxT("Sharper"), static_cast<int>(InterpolatorSetting::Sharper)},
    };
    Click(m_frame, ID_CLEAR_ALL);
    List()->Check(0);
    // The fake job writes nothing; an existing output asks the same question
    // every time.
    MakeFiles(m_destination, {"a.jpg"});
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(wxString(c.label).utf8_string());
        wxRadioBox* radio = Control<wxRadioBox>(m_frame, c.id);
        const int index = radio->FindString(c.label);
        ASSERT_NE(index, wxNOT_FOUND);
        radio->SetSelection(index);
        m_calls.clear();
        wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(kOutputsExist, wxID_YES));
        ASSERT_EQ(m_calls.size(), 1u);
        EXPECT_EQ(c.id == ID_NEW_SIZE ? m_calls[0].dimension : m_calls[0].interpolator, c.value);
    }
}

TEST_F(MainFrameBatch, SaveToJpegRenamesTheOutputOnly)
{
    MakeFiles(m_source, {"IMG_01.JPG", "photo.tif"});
    Type(m_frame, ID_SOURCE_FOLDER, m_source);
    Click(m_frame, ID_SELECT_ALL);
    Control<wxCheckBox>(m_frame, ID_SAVE_TO_JPEG)->SetValue(true);
    Click(m_frame, ID_RESIZE);
    std::vector<wxString> outputs;
    for (const JobCall& call : m_calls)
        outputs.push_back(wxFileName(call.output).GetFullName());
    // Listed as IMG_01.JPG, a.jpg, b.tif, c.JPG, photo.tif.
    EXPECT_EQ(outputs, (std::vector<wxString>{wxT("IMG_01.jpg"), wxT("a.jpg"), wxT("b.jpg"),
                                              wxT("c.jpg"), wxT("photo.jpg")}));
    EXPECT_EQ(m_calls[2].source, In(m_source, "b.tif"));
}

TEST_F(MainFrameBatch, FolderTextsAreComparedAsTyped)
{
    // One separator more: not the same folder, but every output exists.
    Type(m_frame, ID_DESTINATION_FOLDER, m_source + wxT("/"));
    wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(kOutputsExist, wxID_NO));
    EXPECT_TRUE(m_calls.empty());

    wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(kOutputsExist, wxID_YES));
    ASSERT_EQ(m_calls.size(), 3u);
    EXPECT_EQ(m_calls[0].output, In(m_source, "a.jpg")) << "separator doubled";
}

TEST_F(MainFrameBatch, OverwriteQuestionsComeInOrderAndNoEndsTheRun)
{
    Type(m_frame, ID_DESTINATION_FOLDER, m_source);
    wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(kSameFolder, wxID_NO));
    EXPECT_TRUE(m_calls.empty());

    wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(kSameFolder, wxID_YES),
                  ExpectMessage(kOutputsExist, wxID_NO));
    EXPECT_TRUE(m_calls.empty());
    ExpectIdle();

    wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(kSameFolder, wxID_YES),
                  ExpectMessage(kOutputsExist, wxID_YES));
    EXPECT_EQ(m_calls.size(), 3u);
}

TEST_F(MainFrameBatch, SameFolderTiffToJpegAsksOnlyTheFirstQuestion)
{
    Type(m_frame, ID_DESTINATION_FOLDER, m_source);
    Click(m_frame, ID_CLEAR_ALL);
    List()->Check(1); // b.tif, and no b.jpg beside it
    Control<wxCheckBox>(m_frame, ID_SAVE_TO_JPEG)->SetValue(true);
    wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(kSameFolder, wxID_YES));
    ASSERT_EQ(m_calls.size(), 1u);
    EXPECT_EQ(m_calls[0].output, In(m_source, "b.jpg"));
}

TEST_F(MainFrameBatch, ConfirmedStopEndsTheRunAfterTheCurrentFile)
{
    m_duringJob = [this](int call)
    {
        if (call == 2)
            Click(m_frame, ID_RESIZE); // "Stop", handled during the engine's yield
    };
    wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(kStopQuestion, wxID_YES));
    EXPECT_EQ(m_calls.size(), 2u) << "the third file was started";
    ExpectIdle();
}

TEST_F(MainFrameBatch, StopAnsweredNoCompletesTheRun)
{
    m_duringJob = [this](int call)
    {
        if (call == 2)
            Click(m_frame, ID_RESIZE);
    };
    wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(kStopQuestion, wxID_NO));
    EXPECT_EQ(m_calls.size(), 3u);
    ExpectIdle();
}

TEST_F(MainFrameBatch, FailuresAreCountedAndReportedOnceAfterTheRun)
{
    RecordingLog capture;
    m_result = [this](int call)
    {
        if (call == 3)
            return ResizeResult::Status::Written;
        wxLogError(wxT("Cannot read '%s'."), m_calls.back().source);
        return ResizeResult::Status::NotWritten;
    };
    const wxString report = wxT("These files could not be resized:\n") + In(m_source, "a.jpg") +
                            wxT("\n") + In(m_source, "b.tif") + wxT("\n\nCannot read '") +
                            In(m_source, "a.jpg") + wxT("'.\nCannot read '") +
                            In(m_source, "b.tif") + wxT("'.");
    wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(report));
    wxLogWarning(wxT("after the run"));

    ASSERT_EQ(m_calls.size(), 3u);
    EXPECT_EQ(m_calls[1].counter, wxT("1/3 (1 failed)"));
    EXPECT_EQ(m_calls[2].counter, wxT("2/3 (2 failed)"));
    // The errors went into the one box only; the log target is back.
    EXPECT_EQ(capture.Texts(), std::vector<wxString>{wxT("after the run")});
    ExpectIdle();
}

TEST_F(MainFrameBatch, AnOutputWrittenWithoutExifIsNotCalledFailed)
{
    m_result = [this](int call)
    {
        if (call != 2)
            return ResizeResult::Status::Written;
        wxLogError(wxT("Can't read the metadata of '%s'."), m_calls.back().source);
        return ResizeResult::Status::WrittenWithoutExif;
    };
    // Only the job's own line: the file is not listed as not resized.
    const wxString report = wxT("Can't read the metadata of '") + In(m_source, "b.tif") + wxT("'.");
    wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(report));
    ASSERT_EQ(m_calls.size(), 3u);
    EXPECT_EQ(m_calls[2].counter, wxT("2/3"));
    ExpectIdle();
}

TEST_F(MainFrameBatch, CloseDuringARunWaitsForTheRunAndTheUsersAnswer)
{
    struct Case
    {
        bool force;
        int answer;
        size_t files;
        bool closed;
    };
    const Case kCases[] = {
        {false, wxID_YES, 2, true},
        {false, wxID_NO, 3, false},
        // A close that cannot be refused still waits for the run to end.
        {true, wxID_NO, 3, true},
    };
    for (const Case& c : kCases)
    {
        SetUp();
        m_calls.clear();
        bool aliveAfterClose = false;
        m_duringJob = [&](int call)
        {
            if (call != 2)
                return;
            m_frame->Close(c.force);
            wxTheApp->ProcessIdle();
            aliveAfterClose = m_frame && !m_frame->IsBeingDeleted();
        };
        wxTEST_DIALOG(Click(m_frame, ID_RESIZE), ExpectMessage(kStopQuestion, c.answer));
        EXPECT_TRUE(aliveAfterClose) << "destroyed under the run, force " << c.force;
        EXPECT_EQ(m_calls.size(), c.files) << "force " << c.force;
        wxTheApp->ProcessIdle();
        EXPECT_EQ(!m_frame, c.closed) << "force " << c.force << " answer " << c.answer;
        TearDown();
    }
}
