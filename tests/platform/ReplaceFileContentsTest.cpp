#include "platform/ReplaceFileContents.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/filename.h>

#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

std::string Narrow(const wxString& path)
{
    return std::string(path.fn_str());
}

mode_t ModeOf(const wxString& path)
{
    struct stat info;
    return ::stat(Narrow(path).c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

std::string Replace(const wxString& path, const std::string& bytes, wxString* error = nullptr)
{
    wxString reason;
    const bool ok = ReplaceFileContents(path, bytes.data(), bytes.size(), reason);
    if (error)
        *error = reason;
    return ok ? "ok" : "failed";
}

TEST(ReplaceFileContents, CreatesANewFileWithTheUsualPermissions)
{
    TempDir folder;
    const wxString path = folder.File(wxT("new.jpg"));
    const mode_t mask = ::umask(022);
    EXPECT_EQ(Replace(path, "fresh bytes"), "ok");
    ::umask(mask);
    EXPECT_EQ(ReadFileBytes(path), "fresh bytes");
    EXPECT_EQ(ModeOf(path), 0644u);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"new.jpg"});
}

TEST(ReplaceFileContents, ReplacesAnExistingFileKeepingItsPermissionBits)
{
    const mode_t modes[] = {0600, 0640, 0604, 0755, 0444};
    for (mode_t mode : modes)
    {
        TempDir folder;
        const wxString path = folder.File(wxT("photo.jpg"));
        ASSERT_TRUE(WriteFileBytes(path, std::string(5000, 'o')));
        ASSERT_EQ(::chmod(Narrow(path).c_str(), mode), 0);
        EXPECT_EQ(Replace(path, "new"), "ok") << std::oct << mode;
        EXPECT_EQ(ReadFileBytes(path), "new");
        EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"photo.jpg"});
    }
}

TEST(ReplaceFileContents, ASymbolicLinkKeepsPointingAtTheReplacedFile)
{
    struct Case
    {
        const char* name;
        const char* linkTarget;
        const char* replacedFile;
        bool targetExists;
    };
    const Case cases[] = {
        {"relative link", "real/photo.jpg", "real/photo.jpg", true},
        {"link to a link", "chain.jpg", "real/photo.jpg", true},
        {"dangling link", "real/later.jpg", "real/later.jpg", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TempDir folder;
        ASSERT_TRUE(wxFileName::Mkdir(folder.File(wxT("real"))));
        const wxString real = folder.Path() + wxT("/real/photo.jpg");
        ASSERT_TRUE(WriteFileBytes(real, "old"));
        ASSERT_EQ(::chmod(Narrow(real).c_str(), 0640), 0);
        ASSERT_EQ(::symlink("real/photo.jpg", Narrow(folder.File(wxT("chain.jpg"))).c_str()), 0);
        const wxString link = folder.File(wxT("link.jpg"));
        ASSERT_EQ(::symlink(c.linkTarget, Narrow(link).c_str()), 0);

        EXPECT_EQ(Replace(link, "new"), "ok");

        struct stat info;
        ASSERT_EQ(::lstat(Narrow(link).c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode));
        const wxString replaced = folder.Path() + wxT("/") + wxString::FromUTF8(c.replacedFile);
        EXPECT_EQ(ReadFileBytes(replaced), "new");
        if (c.targetExists)
        {
            EXPECT_EQ(ModeOf(replaced), 0640u);
        }
        EXPECT_EQ(FolderEntries(folder.Path()),
                  (std::vector<std::string>{"chain.jpg", "link.jpg", "real"}));
        EXPECT_EQ(FolderEntries(folder.File(wxT("real"))).size(), c.targetExists ? 1u : 2u);
    }
}

TEST(ReplaceFileContents, AFolderAtThePathIsLeftAlone)
{
    TempDir folder;
    const wxString path = folder.File(wxT("album.jpg"));
    ASSERT_TRUE(wxFileName::Mkdir(path));
    wxString error;
    EXPECT_EQ(Replace(path, "bytes", &error), "failed");
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(wxDirExists(path));
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"album.jpg"});
}

/// A file system mounted for one test and unmounted after it; Ok() is false
/// when this process may not mount (not root, or no capability for it).
class ScopedMount
{
public:
    ScopedMount(const wxString& where, const char* source, const char* type, unsigned long flags,
                const char* options)
        : m_where(Narrow(where))
    {
        m_mounted = ::geteuid() == 0 && ::mount(source, m_where.c_str(), type, flags, options) == 0;
    }
    ~ScopedMount()
    {
        if (m_mounted)
            ::umount2(m_where.c_str(), MNT_DETACH);
    }
    bool Ok() const { return m_mounted; }
    bool Remount(unsigned long flags)
    {
        return ::mount(nullptr, m_where.c_str(), nullptr, MS_REMOUNT | flags, nullptr) == 0;
    }

private:
    std::string m_where;
    bool m_mounted = false;
};

TEST(ReplaceFileContents, AFullDiskLeavesTheOriginalAndNoTemporaryFile)
{
    TempDir folder;
    ScopedMount disk(folder.Path(), "tmpfs", "tmpfs", 0, "size=1m");
    if (!disk.Ok())
        GTEST_SKIP() << "needs root to mount a 1 MiB tmpfs";
    const wxString path = folder.File(wxT("photo.jpg"));
    const std::string original(300 * 1024, 'o');
    ASSERT_TRUE(WriteFileBytes(path, original));

    wxString error;
    EXPECT_EQ(Replace(path, std::string(900 * 1024, 'n'), &error), "failed");
    EXPECT_TRUE(error.Contains(wxT("No space left on device"))) << error;
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"photo.jpg"});
}

TEST(ReplaceFileContents, AReadOnlyFolderLeavesTheOriginalAndNoTemporaryFile)
{
    TempDir folder;
    const wxString path = folder.File(wxT("photo.jpg"));
    ASSERT_TRUE(WriteFileBytes(path, "original"));
    // Root ignores permission bits: only a read-only mount stops it.
    ScopedMount readOnly(folder.Path(), Narrow(folder.Path()).c_str(), nullptr, MS_BIND, nullptr);
    if (::geteuid() == 0)
    {
        if (!readOnly.Ok() || !readOnly.Remount(MS_BIND | MS_RDONLY))
            GTEST_SKIP() << "running as root without the right to make a read-only bind mount";
    }
    else
        ASSERT_EQ(::chmod(Narrow(folder.Path()).c_str(), 0555), 0);

    wxString error;
    EXPECT_EQ(Replace(path, "replacement", &error), "failed");
    EXPECT_FALSE(error.empty());
    ::chmod(Narrow(folder.Path()).c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(path), "original");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"photo.jpg"});
}

TEST(ReplaceFileContents, AWriteFailingPartWayLeavesTheOriginalAndNoTemporaryFile)
{
    TempDir folder;
    const wxString path = folder.File(wxT("photo.jpg"));
    const std::string original(40000, 'o');
    ASSERT_TRUE(WriteFileBytes(path, original));

    wxString error;
    {
        FileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.Ok());
        EXPECT_EQ(Replace(path, std::string(200 * 1024, 'n'), &error), "failed");
    }
    EXPECT_TRUE(error.Contains(wxT("File too large"))) << error;
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"photo.jpg"});
}

} // namespace
