#include "platform/ReplaceFileContents.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include <fcntl.h>
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
    std::string pattern = folder + "/." + NameOf(target) + ".XXXXXX";
    FileDescriptor file(::mkostemp(&pattern[0], O_CLOEXEC));
    if (file.Get() < 0)
    {
        error = Reason("can't create a temporary file");
        return false;
    }
    TemporaryFile temporary(pattern);

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
