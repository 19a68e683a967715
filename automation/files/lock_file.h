// A cooperative lock file beside a document, in the format and with the
// locking of QLockFile, so that programs built on it and this class honour
// each other: the file is created exclusively, holds an flock() while it is
// held, and reads "pid\nprogram\nhost\nmachine id\nboot id\n".
//
// An existing lock is taken over when it is stale: its holder's flock() is
// gone and it names a process of this machine (and this boot) that has
// ended, or it is empty, garbled or unreadable (after a short grace that
// lets its creator finish writing it). A lock of another machine is never
// taken over: whether its process lives cannot be known from here.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <string>

#include "automation/files/file_descriptor.h"

namespace qmx::files {

struct LockHolder {
    bool known = false;  // false: the lock file said nothing readable
    long long pid = 0;
    std::string program;
    std::string host;
    std::time_t since = 0;  // when the lock file was last written

    // "qmxgantt (process 4242 on host vm) since 2026-12-08 06:03:00"
    std::string Describe() const;
};

class CLockFile {
public:
    explicit CLockFile(std::string path) : path_(std::move(path)) {}
    ~CLockFile() { Unlock(); }
    CLockFile(const CLockFile&) = delete;
    CLockFile& operator=(const CLockFile&) = delete;

    enum class Result { Locked, HeldByOther, Failed };
    // Creates the lock file with the permission bits `mode` (those of the
    // document it guards, read and write for its owner at least). Never
    // waits. HeldByOther: Holder() tells who; Failed: Failure() tells why.
    Result TryLock(mode_t mode);
    void Unlock();

    const std::string& Path() const { return path_; }
    bool IsLocked() const { return static_cast<bool>(fd_); }
    const LockHolder& Holder() const { return holder_; }
    const std::string& Failure() const { return failure_; }

    // How long a lock file that says nothing readable counts as still being
    // written by its creator.
    static constexpr int kGraceSeconds = 2;

private:
    enum class Verdict { Stale, Held, Vanished, Failed };
    Verdict Inspect();

    std::string path_;
    FileDescriptor fd_;
    LockHolder holder_;
    std::string failure_;
};

}  // namespace qmx::files
