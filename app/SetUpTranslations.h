#pragma once

class wxString;

/// Shows the window in the user's language: sets the C library's locale from
/// the environment and loads the catalogue "pixmora" for the language that
/// LANGUAGE, LC_ALL, LC_MESSAGES or LANG names. The catalogues are looked up
/// beside the program at executablePath: PREFIX/share/locale once installed
/// (the program in PREFIX/bin), the build tree's own locale folder before.
/// With no catalogue for the language the texts stay English.
void SetUpTranslations(const wxString& executablePath);
