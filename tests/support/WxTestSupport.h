#pragma once

// Helpers for tests that run inside the toolkit started by WxTestMain.cpp.

#include <gtest/gtest.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

/// Reports wxTEST_DIALOG's failures (an unexpected or a missing dialog)
/// through GoogleTest instead of a wx assertion.
class GTestModalHook : public wxTestingModalHook
{
public:
    GTestModalHook(const char* file, int line, const char* func)
        : wxTestingModalHook(file, line, func), m_file(file), m_line(line)
    {
    }

protected:
    void ReportFailure(const wxString& message) override
    {
        ADD_FAILURE_AT(m_file ? m_file : __FILE__, m_line) << message.utf8_string();
    }

private:
    const char* m_file;
    int m_line;
};

#undef wxTEST_DIALOG_HOOK_CLASS
#define wxTEST_DIALOG_HOOK_CLASS GTestModalHook

/// Expects a message box with exactly this text and answers it with the
/// given button id (wxID_OK, wxID_YES, wxID_NO). The stock expectation for
/// wxMessageDialog does not look at the text.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage>
{
public:
    ExpectMessage(const wxString& message, int answer = wxID_OK)
        : m_message(message), m_answer(answer)
    {
    }

protected:
    int OnInvoked(wxMessageDialog* dialog) const override
    {
        EXPECT_EQ(dialog->GetMessage().utf8_string(), m_message.utf8_string());
        return m_answer;
    }

    wxString GetDefaultDescription() const override
    {
        return wxString::Format(wxT("message box \"%s\""), m_message);
    }

private:
    wxString m_message;
    int m_answer;
};

/// Expects a message box, keeps its text in *message and answers OK: for
/// reports whose exact wording the test does not pin down.
class KeepMessage : public wxExpectModalBase<wxMessageDialog, KeepMessage>
{
public:
    explicit KeepMessage(wxString* message) : m_message(message) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override
    {
        *m_message = dialog->GetMessage();
        return wxID_OK;
    }

private:
    wxString* m_message;
};
