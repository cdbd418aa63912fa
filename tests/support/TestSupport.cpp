#include "tests/support/TestSupport.h"

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/pixmora-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "cannot create a temporary folder from " << pattern;
    m_path = wxString::FromUTF8(pattern.c_str());
}

TempDir::~TempDir()
{
    if (!m_path.empty() && wxDirExists(m_path))
        wxFileName::Rmdir(m_path, wxPATH_RMDIR_RECURSIVE);
}

wxString TempDir::File(const wxString& name) const
{
    return wxFileName(m_path, name).GetFullPath();
}

wxString SharedImagesDir()
{
    const wxString dir = wxString::FromUTF8(PIXMORA_SHARED_IMAGES);
    return wxDirExists(dir) ? dir : wxString();
}

std::string ReadFileBytes(const wxString& path)
{
    std::ifstream in(path.utf8_str().data(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool WriteFileBytes(const wxString& path, const std::string& bytes)
{
    std::ofstream out(path.utf8_str().data(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

void MakeFiles(const wxString& dir, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        ASSERT_TRUE(WriteFileBytes(wxFileName(dir, wxString::FromUTF8(name)).GetFullPath(), "x"));
}

std::vector<std::string> FolderEntries(const wxString& folder)
{
    // readdir rather than wxDir: names exactly as stored, and no log
    // message for a missing folder to land in a test's recorded log.
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.fn_str()))
    {
        while (const dirent* entry = ::readdir(dir))
        {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}
