#pragma once

#include "platform/FileNameConverter.h"

#include <wx/string.h>

#include <string>

/// Narrow text for the metadata library. The default converter is the one
/// the toolkit uses for file names, so every path the toolkit opens converts
/// to the same bytes. Returns an empty string when text is empty or cannot be
/// converted exactly.
std::string ToStdString(const wxString& text, const wxMBConv& converter = FileNameConverter());
