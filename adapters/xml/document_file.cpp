#include "adapters/xml/document_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

#include "automation/files/file_descriptor.h"
#include "automation/files/file_saver.h"

namespace qmx::xml {

namespace {

using files::SystemError;

std::optional<std::string> RealPath(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return std::nullopt;
    std::string result(real);
    std::free(real);
    return result;
}

// The absolute path of the file itself (symbolic links resolved); for a file
// that does not exist yet, its resolved folder and its name.
std::optional<std::string> ResolvedPath(const std::string& path, std::string* why)
{
    if (const auto real = RealPath(path)) return real;
    if (errno != ENOENT) {
        *why = SystemError(path);
        return std::nullopt;
    }
    const std::string name = files::NameOf(path);
    if (name.empty() || name == "." || name == "..") {
        *why = path + ": not a file name";
        return std::nullopt;
    }
    const std::string folder = files::FolderOf(path);
    const auto realFolder = RealPath(folder);
    if (!realFolder) {
        *why = SystemError(folder);
        return std::nullopt;
    }
    return (*realFolder == "/" ? "" : *realFolder) + "/" + name;
}

// The write bits of the file's mode (access() would say what this process
// may do, which for a privileged user is everything).
constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;

// Checks an existing file for reading and writing; its mode on success.
std::optional<mode_t> CheckWritable(const std::string& path, std::string* why)
{
    struct stat info {};
    const files::FileDescriptor fd = files::OpenRegularFile(path, O_RDWR, &info, why);
    if (!fd) return std::nullopt;
    if ((info.st_mode & kAnyWrite) == 0) {
        *why = path + ": the file is read-only";
        return std::nullopt;
    }
    return info.st_mode;
}

}  // namespace

std::string CDocumentFile::LockPathFor(const std::string& path) { return files::SiblingPath(path, ".", ".lock"); }

CDocumentFile::CDocumentFile(std::string path) : path_(std::move(path)), lock_(LockPathFor(path_)) {}

CDocumentFile::~CDocumentFile() = default;

std::unique_ptr<CDocumentFile> CDocumentFile::Open(const std::string& path, bool mayCreate, std::string* why)
{
    std::string reason;
    std::string& text = why ? *why : reason;
    if (path.empty()) {
        text = "No file name given";
        return nullptr;
    }
    const auto resolved = ResolvedPath(path, &text);
    if (!resolved) return nullptr;
    std::optional<mode_t> mode;
    struct stat info {};
    if (::stat(resolved->c_str(), &info) == 0) {
        mode = CheckWritable(*resolved, &text);
        if (!mode) return nullptr;
    } else if (errno != ENOENT || !mayCreate) {
        text = SystemError(path);
        return nullptr;
    } else {
        mode = files::NewFileMode();
    }
    // The lock only after the checks: a file that cannot be used never
    // takes over anybody's lock.
    std::unique_ptr<CDocumentFile> file(new CDocumentFile(*resolved));
    switch (file->lock_.TryLock(*mode)) {
    case files::CLockFile::Result::Locked: return file;
    case files::CLockFile::Result::HeldByOther:
        text = "The file is in use by " + file->lock_.Holder().Describe() + ".\nLock file: " + file->lock_.Path();
        return nullptr;
    case files::CLockFile::Result::Failed: text = file->lock_.Failure(); return nullptr;
    }
    return nullptr;
}

std::unique_ptr<CDocumentFile> CDocumentFile::OpenExisting(const std::string& path, std::string* why)
{
    return Open(path, false, why);
}

std::unique_ptr<CDocumentFile> CDocumentFile::Create(const std::string& path, std::string* why)
{
    return Open(path, true, why);
}

bool CDocumentFile::IsSameFile(const std::string& path) const
{
    std::string ignored;
    if (path.empty()) return false;
    const auto resolved = ResolvedPath(path, &ignored);
    return resolved && *resolved == path_;
}

HRESULT CDocumentFile::Read(const std::function<HRESULT(const ReadFunction&)>& consume, std::string* why) const
{
    std::string reason;
    const files::FileDescriptor fd = files::OpenRegularFile(path_, O_RDONLY, nullptr, why ? why : &reason);
    if (!fd) return E_FAIL;
    const ReadFunction read = [&fd](char* buffer, int size) {
        for (;;) {
            const ssize_t got = ::read(fd.Get(), buffer, static_cast<std::size_t>(size));
            if (got >= 0 || errno != EINTR) return static_cast<int>(got);
        }
    };
    return consume(read);
}

CDocumentFile::WriteResult CDocumentFile::Replace(const std::function<HRESULT(const WriteFunction&)>& produce,
                                                   std::string* why) const
{
    const files::CFileSaver::Result result = files::CFileSaver(path_).Save(produce);
    if (why) *why = result.why;
    switch (result.outcome) {
    case files::CFileSaver::Outcome::Saved: return WriteResult::Written;
    case files::CFileSaver::Outcome::CannotCreate: return WriteResult::CannotCreate;
    case files::CFileSaver::Outcome::OutOfMemory: return WriteResult::OutOfMemory;
    case files::CFileSaver::Outcome::Failed: break;
    }
    return WriteResult::Failed;
}

}  // namespace qmx::xml
