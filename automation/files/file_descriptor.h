// An open file descriptor and the few system calls around it that the
// document files need, with the reasons of failures as text for the user.
// Paths are file-system bytes (see automation/file_name.h).
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>

namespace qmx::files {

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Closes now; false when the close reported an error (a write that
    // failed late, on a network file system for one).
    bool Close();

private:
    int fd_ = -1;
};

// "<path>: <system message>" for the current errno, or for `error`.
std::string SystemError(const std::string& path);
std::string SystemError(const std::string& path, int error);

// Opens an existing regular file (access O_RDONLY, O_WRONLY or O_RDWR) and
// never blocks on anything else: the open itself does not wait (a FIFO, a
// device), what was opened is checked on the descriptor, and only a regular
// file is handed out, in blocking mode. A symbolic link is followed unless
// `noFollow`. On failure the reason goes to `why` and the result is closed.
FileDescriptor OpenRegularFile(const std::string& path, int access, struct stat* info, std::string* why,
                               bool noFollow = false);

// The permission bits a new file gets: 0666 less the process's creation
// mask (read by setting it and back at once: call from one thread only).
mode_t NewFileMode();

// Writes all bytes, resuming after interruptions and short writes.
bool WriteAll(int fd, const char* data, std::size_t size);
// Copies from the start of `from` to the start of `to` and cuts `to` to the
// copied length.
bool CopyContent(int from, int to);

// The folder part and the last part of a path ("." and "name" for "name").
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// A sibling of the file: "<folder>/<prefix><name><suffix>".
std::string SiblingPath(const std::string& path, const std::string& prefix, const std::string& suffix);

}  // namespace qmx::files
