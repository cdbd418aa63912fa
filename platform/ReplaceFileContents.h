#pragma once

#include <wx/string.h>

#include <cstddef>

/// Replaces the file at path with size bytes from data, all or nothing: the
/// bytes go to a new temporary file in the same folder, are flushed to disk
/// and the temporary file is then renamed over path, so that whatever was at
/// path stays untouched unless the new content is complete. An existing
/// file keeps its permission bits; a symbolic link at path keeps pointing
/// where it did and the file it names is replaced.
///
/// The temporary file is named ".NAME.pixmora-XXXXXX" and locked (flock)
/// until the rename. A writer killed before its rename leaves it behind;
/// the first call of a process for a folder removes such leftovers there:
/// files of that pattern, of this user, that no live writer holds locked.
///
/// Returns false with a short reason in error when the file could not be
/// written; no temporary file is left behind then.
bool ReplaceFileContents(const wxString& path, const void* data, std::size_t size, wxString& error);
