#pragma once

#include <wx/iconbndl.h>

/// The executable's icon resource of the given name, as a bundle of its
/// images; an empty bundle for an unknown name.
wxIconBundle LoadIconResource(const wxString& name);
