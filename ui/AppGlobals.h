#pragma once

#include <wx/string.h>

/// The application's name and version, shared by the About dialog, the Exif
/// software name and the captions of the message boxes.
extern const wxString AppTitle;
extern const wxString AppVersion;

/// Modal error box with an OK button, captioned with the application's title.
void ShowError(const wxString& message);

/// Modal Yes/No question with No as the default; true only for Yes.
bool AskYesNo(const wxString& question);

/// Decimal text of n, without grouping.
wxString IntToString(int n);
