#include "adapters/xml/document_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <new>

namespace qmx::xml {

namespace {

// The canonical path where the file exists (links resolved), else the
// cleaned absolute path.
QString ResolvedPath(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

// The write bits of the file's mode (WriteUser would say what this process
// may do, which for a privileged user is everything).
constexpr QFileDevice::Permissions kAnyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

// An existing regular file that this process can open for writing and that
// is not marked read-only.
bool IsWritableFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || (info.permissions() & kAnyWrite) == 0) return false;
    QFile file(path);
    return file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
}

}  // namespace

QString CDocumentFile::LockPathFor(const QString& path)
{
    const QFileInfo info(path);
    return info.dir().filePath(QStringLiteral(".") + info.fileName() + QStringLiteral(".lock"));
}

CDocumentFile::CDocumentFile(QString path) : path_(std::move(path)), lock_(LockPathFor(path_))
{
    // Never stale by age: a document may stay open for days. A lock whose
    // process has ended is still recognised as stale and taken over.
    lock_.setStaleLockTime(0);
}

CDocumentFile::~CDocumentFile() = default;

bool CDocumentFile::Lock() { return lock_.tryLock(0); }

std::unique_ptr<CDocumentFile> CDocumentFile::OpenExisting(const QString& path)
{
    if (path.isEmpty()) return nullptr;
    std::unique_ptr<CDocumentFile> file(new CDocumentFile(ResolvedPath(path)));
    if (!QFileInfo(file->path_).isFile() || !file->Lock() || !IsWritableFile(file->path_)) return nullptr;
    return file;
}

std::unique_ptr<CDocumentFile> CDocumentFile::Create(const QString& path)
{
    if (path.isEmpty()) return nullptr;
    std::unique_ptr<CDocumentFile> file(new CDocumentFile(ResolvedPath(path)));
    const QFileInfo info(file->path_);
    if (info.exists() && !info.isFile()) return nullptr;
    if (!file->Lock()) return nullptr;
    if (info.exists() && !IsWritableFile(file->path_)) return nullptr;
    return file;
}

bool CDocumentFile::IsSameFile(const QString& path) const { return !path.isEmpty() && ResolvedPath(path) == path_; }

HRESULT CDocumentFile::Read(const std::function<HRESULT(const ReadFunction&)>& consume) const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return E_FAIL;
    const ReadFunction read = [&file](char* buffer, int size) { return static_cast<int>(file.read(buffer, size)); };
    return consume(read);
}

CDocumentFile::WriteResult CDocumentFile::Replace(const std::function<HRESULT(const WriteFunction&)>& produce) const
{
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) return WriteResult::CannotCreate;
    const WriteFunction write = [&file](const char* data, std::size_t size) {
        return file.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
    };
    HRESULT hr = E_FAIL;
    try {
        hr = produce(write);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    }
    if (FAILED(hr)) {
        file.cancelWriting();
        return hr == E_OUTOFMEMORY ? WriteResult::OutOfMemory : WriteResult::Failed;
    }
    // Flushes, then renames over the document; on failure the temporary
    // file goes and the document stays as it was.
    return file.commit() ? WriteResult::Written : WriteResult::Failed;
}

}  // namespace qmx::xml
