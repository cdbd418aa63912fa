#pragma once

#include <gtest/gtest.h>
#include <wx/string.h>

#include <initializer_list>
#include <string>
#include <vector>

/// A fresh folder under the system's temporary folder, removed with
/// everything in it when the object goes.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const wxString& Path() const { return m_path; }
    /// Path of a name inside the folder.
    wxString File(const wxString& name) const;

private:
    wxString m_path;
};

/// The folder of real test images shared beside the project, or an empty
/// string when it is not there.
wxString SharedImagesDir();

/// Skips the current test, with a message that says why, when the shared
/// images are absent.
#define PIXMORA_REQUIRE_SHARED_IMAGES()                                                            \
    do                                                                                             \
    {                                                                                              \
        if (SharedImagesDir().empty())                                                             \
            GTEST_SKIP() << "shared test images not found at " PIXMORA_SHARED_IMAGES;              \
    } while (0)

/// Whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const wxString& path);
/// Writes bytes to a file; false when it cannot be written.
bool WriteFileBytes(const wxString& path, const std::string& bytes);

/// Creates small files (a few bytes each) of these names inside dir.
void MakeFiles(const wxString& dir, std::initializer_list<const char*> names);

/// Every name in folder as the file system stores it, hidden files and
/// sub-folders included, sorted: what a writer left behind shows here,
/// temporaries too. Empty when the folder cannot be read.
std::vector<std::string> FolderEntries(const wxString& folder);
