// A document file on disk as the XML adapter holds it. Linux has no share
// modes, so an open document is guarded by a lock file beside it that every
// instance of this system honours (CLockFile, compatible with QLockFile;
// never stale by age: a lock left by a process that died, or one that says
// nothing readable, is taken over). Saving goes through CFileSaver, which
// keeps the file's owner, group, mode, attributes and links, and never
// destroys the previous content on a failing write.
//
// Paths are the file system's bytes (automation/file_name.h converts); every
// failure comes with a reason for the user in `why`.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "adapters/xml/project_writer.h"
#include "adapters/xml/sax_parser.h"
#include "automation/files/lock_file.h"

namespace qmx::xml {

class CDocumentFile {
public:
    // The lock file that guards a document: ".<name>.lock" in its folder.
    static std::string LockPathFor(const std::string& path);

    // An existing regular file that can be opened for reading and writing
    // and is not marked read-only (no write permission for anyone, which is
    // refused even to a privileged user), not locked by another instance.
    // Null on failure.
    static std::unique_ptr<CDocumentFile> OpenExisting(const std::string& path, std::string* why);
    // A file to be written anew: a new file in an existing folder, or an
    // existing regular file as above, not locked by another instance. Null
    // on failure.
    static std::unique_ptr<CDocumentFile> Create(const std::string& path, std::string* why);

    ~CDocumentFile();
    CDocumentFile(const CDocumentFile&) = delete;
    CDocumentFile& operator=(const CDocumentFile&) = delete;

    // The absolute path, with symbolic links resolved.
    const std::string& Path() const { return path_; }
    // Whether both name the same file.
    bool IsSameFile(const std::string& path) const;

    // Streams the content to the consumer; E_FAIL (with `why`) when the file
    // cannot be opened or is no longer a regular file. Never blocks on a
    // FIFO or a device put in the file's place.
    HRESULT Read(const std::function<HRESULT(const ReadFunction&)>& consume, std::string* why) const;

    enum class WriteResult { Written, CannotCreate, Failed, OutOfMemory };
    // Replaces the content with what the producer writes. CannotCreate: the
    // temporary file could not be made; Failed: the producer or the output
    // failed. In both cases the previous content (or absence) of the file
    // is kept and no temporary file is left.
    WriteResult Replace(const std::function<HRESULT(const WriteFunction&)>& produce, std::string* why) const;

private:
    explicit CDocumentFile(std::string path);
    static std::unique_ptr<CDocumentFile> Open(const std::string& path, bool mayCreate, std::string* why);

    std::string path_;
    files::CLockFile lock_;
};

}  // namespace qmx::xml
