// A document file on disk as the XML adapter holds it. Linux has no share
// modes, so an open document is guarded by a lock file beside it that every
// instance of this system honours (QLockFile, never stale by age; a lock
// left by a process that died is taken over). The content is replaced
// whole and atomically: written to a temporary file beside it, which then
// takes the document's name (QSaveFile), so a failing write never destroys
// the previous content.
#pragma once

#include <QLockFile>
#include <QString>

#include <functional>
#include <memory>

#include "adapters/xml/project_writer.h"
#include "adapters/xml/sax_parser.h"

namespace qmx::xml {

class CDocumentFile {
public:
    // The lock file that guards a document: ".<name>.lock" in its folder.
    static QString LockPathFor(const QString& path);

    // An existing regular file that can be opened for reading and writing
    // and is not marked read-only (no write permission for anyone, which is
    // refused even to a privileged user), not locked by another instance.
    // Null on failure.
    static std::unique_ptr<CDocumentFile> OpenExisting(const QString& path);
    // A file to be written anew: a new file, or an existing regular file as
    // above, not locked by another instance. Null on failure.
    static std::unique_ptr<CDocumentFile> Create(const QString& path);

    ~CDocumentFile();
    CDocumentFile(const CDocumentFile&) = delete;
    CDocumentFile& operator=(const CDocumentFile&) = delete;

    // The absolute path, with symbolic links resolved where the file exists.
    const QString& Path() const { return path_; }
    // Whether both name the same file.
    bool IsSameFile(const QString& path) const;

    // Streams the content to the consumer; E_FAIL when the file cannot be
    // opened.
    HRESULT Read(const std::function<HRESULT(const ReadFunction&)>& consume) const;

    enum class WriteResult { Written, CannotCreate, Failed, OutOfMemory };
    // Replaces the content with what the producer writes. CannotCreate: the
    // temporary file could not be made; Failed: the producer or the output
    // failed. In both cases the previous content (or absence) of the file
    // is untouched and no temporary file is left.
    WriteResult Replace(const std::function<HRESULT(const WriteFunction&)>& produce) const;

private:
    explicit CDocumentFile(QString path);
    bool Lock();

    QString path_;
    QLockFile lock_;
};

}  // namespace qmx::xml
