// A writer killed between creating its temporary file and the rename leaves
// the temporary behind; the next write into that folder must remove it, and
// nothing else: not another program's temporaries, not a live writer's, not
// a link, not a folder, not a file of another user.

#include "platform/ReplaceFileContents.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/filename.h>

#include <algorithm>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

std::string Narrow(const wxString& path)
{
    return std::string(path.fn_str());
}

bool MakeFile(const std::string& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && written;
}

bool Replace(const wxString& path, const std::string& bytes)
{
    wxString error;
    const bool ok = ReplaceFileContents(path, bytes.data(), bytes.size(), error);
    EXPECT_TRUE(ok) << error;
    return ok;
}

TEST(StaleTemporaries, TheFirstWriteIntoAFolderRemovesOnlyOurDeadWritersTemporaries)
{
    TempDir folder;
    const std::string dir = Narrow(folder.Path());
    struct Entry
    {
        const char* name;
        bool removed;
    };
    const Entry kEntries[] = {
        {".photo.jpg.pixmora-a1B2c3", true},
        {".other.tif.pixmora-ZZZZZZ", true},
        {".ünïcødé.jpg.pixmora-000000", true},
        {".photo.jpg.A1b2C3", false},          // rsync's pattern
        {"photo.jpg.pixmora-a1B2c3", false},   // not hidden
        {".photo.jpg.pixmora-a1B2c", false},   // five random characters
        {".photo.jpg.pixmora-a1B2c3d", false}, // seven
        {".photo.jpg.pixmora-a1B2c!", false},
        {"..pixmora-a1B2c3", false}, // no name before the mark
        {"photo.jpg", false},
    };
    for (const Entry& entry : kEntries)
        ASSERT_TRUE(MakeFile(dir + "/" + entry.name, "left over"));

    // What a sweep must never take although it is named like ours.
    const std::string live = ".live.jpg.pixmora-LiVe00";
    ASSERT_TRUE(MakeFile(dir + "/" + live, "being written"));
    const int liveFd = ::open((dir + "/" + live).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(liveFd, 0);
    ASSERT_EQ(::flock(liveFd, LOCK_EX), 0);

    ASSERT_TRUE(wxFileName::Mkdir(folder.File(wxT("elsewhere"))));
    const wxString elsewhere = folder.Path() + wxT("/elsewhere/.kept.jpg.pixmora-Other1");
    ASSERT_TRUE(WriteFileBytes(elsewhere, "in another folder"));
    const std::string link = ".link.jpg.pixmora-LiNk00";
    ASSERT_EQ(::symlink("elsewhere/.kept.jpg.pixmora-Other1", (dir + "/" + link).c_str()), 0);
    const std::string subfolder = ".dir.jpg.pixmora-DiR000";
    ASSERT_TRUE(wxFileName::Mkdir(folder.File(wxString::FromUTF8(subfolder))));

    std::vector<std::string> expected = {"elsewhere", link, live, subfolder};
    for (const Entry& entry : kEntries)
    {
        if (!entry.removed)
            expected.push_back(entry.name);
    }
    std::sort(expected.begin(), expected.end());

    EXPECT_TRUE(Replace(folder.File(wxT("new.jpg")), "new"));
    expected.push_back("new.jpg");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderEntries(folder.Path()), expected);
    EXPECT_EQ(ReadFileBytes(elsewhere), "in another folder");
    EXPECT_EQ(ReadFileBytes(folder.File(wxString::FromUTF8(live.c_str()))), "being written");
    ::close(liveFd);
}

TEST(StaleTemporaries, AnotherUsersFileNamedLikeOursIsKept)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a file to another user";
    TempDir folder;
    const wxString foreign = folder.File(wxT(".theirs.jpg.pixmora-NoBoDy"));
    ASSERT_TRUE(WriteFileBytes(foreign, "someone else's"));
    ASSERT_EQ(::chown(Narrow(foreign).c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(Narrow(folder.Path()).c_str(), 0777), 0);

    // The sweep runs as that other user: a child drops to uid 65534, writes
    // into the folder and reports whether the write worked.
    const wxString mine = folder.File(wxT(".mine.jpg.pixmora-RoOt00"));
    ASSERT_TRUE(WriteFileBytes(mine, "root's"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        wxString error;
        const std::string bytes = "new";
        ::_exit(ReplaceFileContents(folder.File(wxT("new.jpg")), bytes.data(), bytes.size(), error)
                    ? 0
                    : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(FolderEntries(folder.Path()),
              (std::vector<std::string>{".mine.jpg.pixmora-RoOt00", "new.jpg"}));
}

TEST(StaleTemporaries, ATemporaryOfAWriterKilledMidWayIsGoneAfterTheNextWrite)
{
    TempDir folder;
    const wxString path = folder.File(wxT("photo.jpg"));
    ASSERT_TRUE(WriteFileBytes(path, "old"));
    // A child process takes the lock on a temporary as a writer would and
    // dies by SIGKILL before its rename.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const std::string stale = Narrow(folder.Path()) + "/.photo.jpg.pixmora-KiLlEd";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        const int fd = ::open(stale.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::write(fd, "half", 4) != 4)
            ::_exit(1);
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    ::close(ready[0]);

    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(FolderEntries(folder.Path()),
              (std::vector<std::string>{".photo.jpg.pixmora-KiLlEd", "photo.jpg"}));

    EXPECT_TRUE(Replace(path, "new"));
    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"photo.jpg"});
}

} // namespace
