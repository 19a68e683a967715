#include "automation/files/file_descriptor.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qmx::files {

FileDescriptor::~FileDescriptor() { Close(); }

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

bool FileDescriptor::Close()
{
    if (fd_ < 0) return true;
    const int fd = fd_;
    fd_ = -1;
    // Linux releases the descriptor even when close fails; never retry.
    return ::close(fd) == 0 || errno == EINTR;
}

std::string SystemError(const std::string& path) { return SystemError(path, errno); }

std::string SystemError(const std::string& path, int error) { return path + ": " + std::strerror(error); }

FileDescriptor OpenRegularFile(const std::string& path, int access, struct stat* info, std::string* why,
                               bool noFollow)
{
    const int flags = access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0);
    FileDescriptor fd(::open(path.c_str(), flags));
    if (!fd) {
        if (why) *why = SystemError(path);
        return {};
    }
    struct stat own {};
    struct stat& st = info ? *info : own;
    if (::fstat(fd.Get(), &st) != 0) {
        if (why) *why = SystemError(path);
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        if (why) *why = path + ": not a regular file";
        return {};
    }
    const int status = ::fcntl(fd.Get(), F_GETFL);
    if (status == -1 || ::fcntl(fd.Get(), F_SETFL, status & ~O_NONBLOCK) == -1) {
        if (why) *why = SystemError(path);
        return {};
    }
    return fd;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CopyContent(int from, int to)
{
    if (::lseek(from, 0, SEEK_SET) != 0 || ::lseek(to, 0, SEEK_SET) != 0) return false;
    char buffer[64 * 1024];
    off_t total = 0;
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) break;
        if (!WriteAll(to, buffer, static_cast<std::size_t>(got))) return false;
        total += got;
    }
    return ::ftruncate(to, total) == 0;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SiblingPath(const std::string& path, const std::string& prefix, const std::string& suffix)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return folder + prefix + NameOf(path) + suffix;
}

}  // namespace qmx::files
