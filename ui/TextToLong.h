#pragma once

#include <wx/string.h>

/// Decimal text to a number as the C library's strtol reads it (leading
/// blanks, a sign, digits; whatever follows is ignored, so "85.7" is 85 in
/// every language), held to the range of a 32-bit int as the settings and
/// the job store numbers.
long TextToLong(const wxString& text);
