#include "automation/files/file_saver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <vector>

#include "automation/files/file_descriptor.h"

namespace qmx::files {

namespace {

// A file made with mkostemp beside the target (the suffix ends in
// "XXXXXX"), removed unless kept.
class SiblingFile {
public:
    SiblingFile(const std::string& target, const char* prefix, const char* suffix)
    {
        std::string pattern = SiblingPath(target, prefix, suffix);
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        fd_ = FileDescriptor(::mkostemp(name.data(), O_CLOEXEC));
        if (fd_) path_.assign(name.data());
        else error_ = errno;
    }
    ~SiblingFile()
    {
        fd_.Close();
        if (!path_.empty() && !keep_) ::unlink(path_.c_str());
    }
    SiblingFile(const SiblingFile&) = delete;
    SiblingFile& operator=(const SiblingFile&) = delete;

    explicit operator bool() const { return static_cast<bool>(fd_); }
    int Fd() const { return fd_.Get(); }
    const std::string& Path() const { return path_; }
    int Error() const { return error_; }
    // Renamed away or to be kept: not removed.
    void Keep() { keep_ = true; }
    bool Close() { return fd_.Close(); }

private:
    FileDescriptor fd_;
    std::string path_;
    int error_ = 0;
    bool keep_ = false;
};

// Gives `to` every extended attribute of `from` (ACLs included). False when
// one cannot be copied.
bool CopyExtendedAttributes(int from, int to)
{
    ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size < 0) return errno == ENOTSUP;  // a file system without them has none to lose
    std::vector<char> names(static_cast<std::size_t>(size));
    size = ::flistxattr(from, names.data(), names.size());
    if (size < 0) return false;
    for (std::size_t i = 0; i < static_cast<std::size_t>(size);) {
        const char* name = names.data() + i;
        i += std::char_traits<char>::length(name) + 1;
        const ssize_t length = ::fgetxattr(from, name, nullptr, 0);
        if (length < 0) return false;
        std::vector<char> value(static_cast<std::size_t>(length));
        const ssize_t got = ::fgetxattr(from, name, value.data(), value.size());
        if (got < 0 || ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0) != 0) return false;
    }
    return true;
}

// Whether the new file can become the old one: same owner, group, extended
// attributes and permission bits, and no other name for the old content.
bool GiveAttributes(int target, const struct stat& info, int temporary)
{
    if (info.st_nlink > 1) return false;
    // The owner first (a change of owner clears some bits and attributes),
    // then the attributes, then the mode (which an ACL would have changed).
    return ::fchown(temporary, info.st_uid, info.st_gid) == 0 && CopyExtendedAttributes(target, temporary) &&
           ::fchmod(temporary, info.st_mode & 07777) == 0;
}

void SyncFolder(const std::string& path)
{
    FileDescriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) ::fsync(folder.Get());
}

}  // namespace

CFileSaver::Result CFileSaver::Save(const std::function<HRESULT(const ByteSink&)>& produce) const
{
    Result result;
    struct stat info {};
    FileDescriptor target;
    bool exists = false;
    if (::lstat(path_.c_str(), &info) == 0) {
        target = OpenRegularFile(path_, O_RDWR, &info, &result.why, true);
        if (!target) return result;
        exists = true;
    } else if (errno != ENOENT) {
        result.why = SystemError(path_);
        return result;
    }

    SiblingFile temporary(path_, ".", ".save-XXXXXX");
    if (!temporary) {
        result.outcome = Outcome::CannotCreate;
        result.why = "Cannot create a temporary file beside " + SystemError(path_, temporary.Error());
        return result;
    }
    result.inPlace = exists && !GiveAttributes(target.Get(), info, temporary.Fd());
    if (!exists) ::fchmod(temporary.Fd(), NewFileMode());

    int writeError = 0;
    const ByteSink write = [&](const char* data, std::size_t size) {
        if (WriteAll(temporary.Fd(), data, size)) return true;
        writeError = errno;
        return false;
    };
    try {
        result.produced = produce(write);
    } catch (const std::bad_alloc&) {
        result.outcome = Outcome::OutOfMemory;
        return result;
    }
    if (FAILED(result.produced)) {
        if (writeError) result.why = SystemError(path_, writeError);
        return result;
    }
    if (::fsync(temporary.Fd()) != 0) {
        result.why = SystemError(path_);
        return result;
    }

    if (!result.inPlace) {
        if (!temporary.Close() || ::rename(temporary.Path().c_str(), path_.c_str()) != 0) {
            result.why = SystemError(path_);
            return result;
        }
        temporary.Keep();
        SyncFolder(path_);
        result.outcome = Outcome::Saved;
        return result;
    }

    // In place: a complete backup of the old content first.
    SiblingFile backup(path_, "", ".backup-XXXXXX");
    if (!backup) {
        result.why = "Cannot create a backup beside " + SystemError(path_, backup.Error());
        return result;
    }
    if (!CopyContent(target.Get(), backup.Fd()) || ::fsync(backup.Fd()) != 0) {
        result.why = "Cannot write the backup " + SystemError(backup.Path());
        return result;
    }
    if (CopyContent(temporary.Fd(), target.Get()) && ::fsync(target.Get()) == 0) {
        result.outcome = Outcome::Saved;
        return result;
    }
    result.why = SystemError(path_);
    if (!(CopyContent(backup.Fd(), target.Get()) && ::fsync(target.Get()) == 0)) {
        backup.Keep();
        result.why += "\nThe previous content is kept in " + backup.Path();
    }
    return result;
}

}  // namespace qmx::files
