#pragma once

#include <wx/strconv.h>

/// The converter the toolkit uses for file names (on GTK the file-name
/// encoding, normally UTF-8). Paths handed to other libraries go through it
/// so that they name the same file the toolkit would open; the locale's
/// converter is left at "C" by the toolkit and fails on any non-ASCII name.
/// Read at each call: the toolkit replaces it while it starts up.
const wxMBConv& FileNameConverter();
