#include "automation/files/lock_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <fstream>
#include <vector>

namespace qmx::files {

namespace {

// The first line of a small system file, without its line feed.
std::string FirstLine(const char* path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string MachineId()
{
    std::string id = FirstLine("/etc/machine-id");
    return id.empty() ? FirstLine("/var/lib/dbus/machine-id") : id;
}

std::string BootId() { return FirstLine("/proc/sys/kernel/random/boot_id"); }

std::string HostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

// The file name of the program a process runs, as /proc shows it.
std::string ProgramOf(long long pid)
{
    char buffer[PATH_MAX];
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer);
    if (length <= 0) return {};
    std::string program(buffer, static_cast<std::size_t>(length));
    const std::string deleted = " (deleted)";
    if (program.size() > deleted.size() && program.ends_with(deleted)) program.resize(program.size() - deleted.size());
    return NameOf(program);
}

struct LockContent {
    bool valid = false;
    long long pid = 0;
    std::string program;
    std::string host;
    std::string machineId;
    std::string bootId;
};

LockContent Parse(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < 5) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) break;  // a line without its feed is unfinished
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    LockContent content;
    if (lines.empty()) return content;
    const std::string& pid = lines[0];
    const auto [end, error] = std::from_chars(pid.data(), pid.data() + pid.size(), content.pid);
    content.valid = error == std::errc() && end == pid.data() + pid.size() && content.pid > 0 && content.pid <= INT_MAX;
    if (lines.size() > 1) content.program = lines[1];
    if (lines.size() > 2) content.host = lines[2];
    if (lines.size() > 3) content.machineId = lines[3];
    if (lines.size() > 4) content.bootId = lines[4];
    return content;
}

bool OnThisMachine(const LockContent& content)
{
    if (!content.machineId.empty()) {
        const std::string ours = MachineId();
        if (!ours.empty()) return content.machineId == ours;
    }
    return content.host.empty() || content.host == HostName();
}

bool ProcessRuns(const LockContent& content)
{
    if (::kill(static_cast<pid_t>(content.pid), 0) == -1 && errno == ESRCH) return false;
    // A process number that came round again runs another program.
    const std::string running = ProgramOf(content.pid);
    return running.empty() || content.program.empty() || running == NameOf(content.program);
}

std::string Contents()
{
    const long long pid = ::getpid();
    return std::to_string(pid) + '\n' + ProgramOf(pid) + '\n' + HostName() + '\n' + MachineId() + '\n' + BootId() +
           '\n';
}

}  // namespace

std::string LockHolder::Describe() const
{
    std::string text = known ? program.empty() ? std::string("a program") : program : std::string("another program");
    if (known) text += " (process " + std::to_string(pid) + (host.empty() ? "" : " on host " + host) + ")";
    if (since != 0) {
        std::tm local{};
        char when[32] = {};
        if (::localtime_r(&since, &local) && std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local))
            text += std::string(" since ") + when;
    }
    return text;
}

CLockFile::Result CLockFile::TryLock(mode_t mode)
{
    holder_ = {};
    failure_.clear();
    if (fd_) return Result::Locked;
    // A stale lock is removed and the creation tried again; a lock that
    // keeps coming back is someone else's.
    for (int attempt = 0; attempt < 3; ++attempt) {
        FileDescriptor fd(::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd) {
            const std::string contents = Contents();
            if (::fchmod(fd.Get(), (mode & 0666) | S_IRUSR | S_IWUSR) != 0 || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 ||
                !WriteAll(fd.Get(), contents.data(), contents.size())) {
                failure_ = SystemError(path_);
                fd.Close();
                ::unlink(path_.c_str());
                return Result::Failed;
            }
            ::fdatasync(fd.Get());
            fd_ = std::move(fd);
            return Result::Locked;
        }
        if (errno != EEXIST) {
            failure_ = "Cannot create the lock file " + SystemError(path_);
            return Result::Failed;
        }
        switch (Inspect()) {
        case Verdict::Held: return Result::HeldByOther;
        case Verdict::Failed: return Result::Failed;
        case Verdict::Stale:
        case Verdict::Vanished: break;
        }
    }
    holder_ = {};
    return Result::HeldByOther;
}

CLockFile::Verdict CLockFile::Inspect()
{
    struct stat info {};
    if (::lstat(path_.c_str(), &info) != 0) {
        if (errno == ENOENT) return Verdict::Vanished;
        failure_ = SystemError(path_);
        return Verdict::Failed;
    }
    holder_ = {};
    holder_.since = info.st_mtime;

    // What cannot be opened or is no regular file is unreadable: stale. A
    // live holder keeps its flock() on the file.
    std::string text;
    FileDescriptor fd;
    if (S_ISREG(info.st_mode)) fd = FileDescriptor(::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd) {
        struct stat opened {};
        if (::fstat(fd.Get(), &opened) != 0 || opened.st_dev != info.st_dev || opened.st_ino != info.st_ino)
            return Verdict::Vanished;  // replaced meanwhile: look again
        const bool flocked = ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        char buffer[4096];
        const ssize_t got = ::pread(fd.Get(), buffer, sizeof buffer, 0);
        if (got > 0) text.assign(buffer, static_cast<std::size_t>(got));
        const LockContent content = Parse(text);
        if (content.valid) {
            holder_.known = true;
            holder_.pid = content.pid;
            holder_.program = content.program;
            holder_.host = content.host;
        }
        if (flocked) return Verdict::Held;
        if (content.valid) {
            if (!OnThisMachine(content)) return Verdict::Held;
            const bool sameBoot = content.bootId.empty() || content.bootId == BootId();
            if (sameBoot && ProcessRuns(content)) return Verdict::Held;
        } else if (std::time(nullptr) - info.st_mtime < kGraceSeconds && std::time(nullptr) >= info.st_mtime) {
            return Verdict::Held;  // its creator may still be writing it
        }
    } else if (S_ISDIR(info.st_mode)) {
        failure_ = path_ + ": the lock file is a folder";
        return Verdict::Failed;
    }
    // Stale. Remove it only while it is still the file judged (the flock()
    // taken above keeps other takers of the same file out meanwhile).
    struct stat now {};
    if (::lstat(path_.c_str(), &now) != 0) return Verdict::Vanished;
    if (now.st_dev != info.st_dev || now.st_ino != info.st_ino) return Verdict::Vanished;
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
        failure_ = "Cannot remove the stale lock file " + SystemError(path_);
        return Verdict::Failed;
    }
    return Verdict::Stale;
}

void CLockFile::Unlock()
{
    if (!fd_) return;
    // Only while the name is still ours: whoever judged it stale and made
    // a lock of their own keeps that one.
    struct stat held {};
    struct stat named {};
    if (::fstat(fd_.Get(), &held) == 0 && ::lstat(path_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino)
        ::unlink(path_.c_str());
    fd_.Close();
}

}  // namespace qmx::files
