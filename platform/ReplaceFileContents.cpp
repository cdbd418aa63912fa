#include "platform/ReplaceFileContents.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    /// Closes now and reports the result: a failed close can be the first
    /// sign of a failed write on some file systems.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

/// Removes the temporary file unless it has become the output.
class TemporaryFile
{
public:
    explicit TemporaryFile(std::string path) : m_path(std::move(path)) {}
    ~TemporaryFile()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& Path() const { return m_path; }
    void Keep() { m_path.clear(); }

private:
    std::string m_path;
};

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

/// Follows symbolic links at path (also dangling ones, whose target is then
/// created) to the name of the file to replace.
bool ResolveLinks(std::string& path)
{
    for (int hops = 0; hops < 40; ++hops)
    {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), &target[0], target.size());
        if (length < 0)
            return false;
        target.resize(static_cast<size_t>(length));
        path = target[0] == '/' ? target : FolderOf(path) + "/" + target;
    }
    errno = ELOOP;
    return false;
}

/// Only root can give the file to another owner; a group change may still
/// work. Either way the permission bits are set from the old file after this.
void KeepOwner(int fd, const struct stat& existing)
{
    if (::fchown(fd, existing.st_uid, existing.st_gid) == 0)
        return;
    if (::fchown(fd, static_cast<uid_t>(-1), existing.st_gid) == 0)
        return;
}

// A temporary file is ".NAME" + kTemporaryMark + six characters of
// mkostemp's alphabet. The mark keeps the sweep below away from the
// temporaries of other programs (rsync's are ".NAME.XXXXXX").
const char kTemporaryMark[] = ".pixmora-";
const size_t kRandomLength = 6;

bool IsOurTemporaryName(const std::string& name)
{
    const size_t markLength = sizeof kTemporaryMark - 1;
    if (name.size() < 2 + markLength + kRandomLength || name[0] != '.')
        return false;
    const size_t mark = name.size() - kRandomLength - markLength;
    if (mark < 2 || name.compare(mark, markLength, kTemporaryMark) != 0)
        return false;
    for (size_t i = name.size() - kRandomLength; i < name.size(); ++i)
    {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

/// A file this user may have made: root's writers give a temporary the
/// owner of the file it replaces.
bool IsSweepable(const struct stat& info)
{
    return S_ISREG(info.st_mode) && (info.st_uid == ::geteuid() || ::geteuid() == 0);
}

struct DirectoryCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};

/// Removes the temporaries that writers killed before their rename left in
/// folder. A writer holds an exclusive lock on its temporary until the
/// rename, and the system drops the lock when the writer dies however it
/// dies: a temporary that can be locked has no writer left. Only regular
/// files of this user named like ours are touched, never through a link.
void RemoveStaleTemporaries(const std::string& folder)
{
    const std::unique_ptr<DIR, DirectoryCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return;
    const int folderFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get()))
    {
        const std::string name = entry->d_name;
        if (!IsOurTemporaryName(name))
            continue;
        FileDescriptor file(
            ::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat opened;
        if (file.Get() < 0 || ::fstat(file.Get(), &opened) != 0 || !IsSweepable(opened) ||
            ::flock(file.Get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        // The name must still be the file that was locked.
        struct stat named;
        if (::fstatat(folderFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
            ::unlinkat(folderFd, name.c_str(), 0);
    }
}

/// Sweeps each folder once per process, before the first temporary file
/// goes there: leftovers come from processes that have died, and a batch of
/// many files into one folder reads the folder once, not once per file.
void RemoveStaleTemporariesOnce(const std::string& folder)
{
    static std::mutex mutex;
    static std::set<std::string> swept;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!swept.insert(folder).second)
            return;
    }
    RemoveStaleTemporaries(folder);
}

/// Creates and locks a new temporary file for target in folder; on success
/// path names it. A sweep of another process may unlink the file between
/// its creation and the lock; a fresh one is made then.
int CreateLockedTemporary(const std::string& folder, const std::string& target, std::string& path)
{
    for (int attempt = 0; attempt < 10; ++attempt)
    {
        path = folder + "/." + NameOf(target) + kTemporaryMark + std::string(kRandomLength, 'X');
        FileDescriptor file(::mkostemp(&path[0], O_CLOEXEC));
        if (file.Get() < 0)
            return -1;
        struct stat info;
        if (::flock(file.Get(), LOCK_EX) != 0 || ::fstat(file.Get(), &info) != 0)
        {
            const int saved = errno;
            ::unlink(path.c_str());
            errno = saved;
            return -1;
        }
        if (info.st_nlink > 0)
            return file.Release();
    }
    errno = EAGAIN;
    return -1;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0)
    {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

wxString Reason(const char* what)
{
    return wxString::Format(wxT("%s (%s)"), what, wxString::FromUTF8(std::strerror(errno)));
}

} // namespace

bool ReplaceFileContents(const wxString& path, const void* data, std::size_t size, wxString& error)
{
    const wxScopedCharBuffer narrow = path.fn_str();
    if (!narrow.data() || narrow.length() == 0)
    {
        error = wxT("the file name cannot be converted");
        return false;
    }
    std::string target(narrow.data(), narrow.length());
    if (!ResolveLinks(target))
    {
        error = Reason("can't follow the symbolic link");
        return false;
    }

    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
    {
        error = wxT("it is not a regular file");
        return false;
    }

    const std::string folder = FolderOf(target);
    RemoveStaleTemporariesOnce(folder);
    std::string temporaryPath;
    FileDescriptor file(CreateLockedTemporary(folder, target, temporaryPath));
    if (file.Get() < 0)
    {
        error = Reason("can't create a temporary file");
        return false;
    }
    TemporaryFile temporary(temporaryPath);
    // Keeps the lock past the close below and until the rename is done.
    const FileDescriptor lockHolder(::fcntl(file.Get(), F_DUPFD_CLOEXEC, 0));
    if (lockHolder.Get() < 0)
    {
        error = Reason("can't create a temporary file");
        return false;
    }

    if (exists)
        KeepOwner(file.Get(), existing);
    const mode_t mode = exists ? (existing.st_mode & 07777) : NewFileMode();
    if (::fchmod(file.Get(), mode) != 0)
    {
        error = Reason("can't set the file's permissions");
        return false;
    }
    if (!WriteAll(file.Get(), static_cast<const char*>(data), size))
    {
        error = Reason("writing failed");
        return false;
    }
    if (::fsync(file.Get()) != 0)
    {
        error = Reason("flushing to disk failed");
        return false;
    }
    if (!file.Close())
    {
        error = Reason("writing failed");
        return false;
    }
    if (::rename(temporary.Path().c_str(), target.c_str()) != 0)
    {
        error = Reason("can't replace the file");
        return false;
    }
    temporary.Keep();

    // The rename is only durable once the folder is flushed too; a file
    // system that cannot flush folders has nothing more to offer.
    FileDescriptor folderHandle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderHandle.Get() >= 0)
        ::fsync(folderHandle.Get());
    return true;
}
