#pragma once

// Drives a real MainFrame the way a user does: through its controls' own
// events.

#include "tests/support/TestSupport.h"
#include "ui/MainFrame.h"

#include <wx/window.h>

/// A shown main window as the application makes it.
MainFrame* MakeFrame();

/// The frame's control of that id, of the expected type (fails the test
/// and returns null otherwise).
template <class T> T* Control(wxWindow* frame, int id)
{
    T* control = dynamic_cast<T*>(wxWindow::FindWindowById(id, frame));
    EXPECT_NE(control, nullptr) << "no control with id " << id;
    return control;
}

/// A click on the frame's button of that id.
void Click(wxWindow* frame, int id);

/// Types text into a field of the frame, raising its text events.
void Type(wxWindow* frame, int id, const wxString& text);

/// The file list's entries in order.
wxArrayString ListEntries(wxWindow* frame);
