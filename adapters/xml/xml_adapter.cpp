#include "adapters/xml/xml_adapter.h"

#include <array>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "adapters/contract/doc_type_list.h"
#include "adapters/xml/document_file.h"
#include "adapters/xml/project_reader.h"
#include "adapters/xml/project_writer.h"
#include "automation/bstr.h"
#include "automation/error_info.h"
#include "automation/file_name.h"

namespace qmx::xml {

namespace {

constexpr std::array<DocType, 2> kDocTypes{{
    {"QMXG document", "QMXG document (*.qmxg)", "qmxg"},
    {"XML document", "XML document (*.xml)", "xml"},
}};

constexpr const char* kOpenFailed = "Failed to open specified file.";
constexpr const char* kSaveFailed = "Failed to save document.";

HRESULT Report(HRESULT hr, const char* message, const std::string& why = {})
{
    // The reason names files: their bytes stay as they are (file_name.h).
    BSTR description = Utf8ToBstr(message);
    if (!why.empty()) description += u'\n' + FileNameToBstr(why);
    return ReportError(hr, IGanttAdapter::iid, Utf8ToBstr(kAdapterName), description);
}

HRESULT Answer(VARIANT_BOOL* out, bool value)
{
    if (!out) return E_POINTER;
    *out = ToVariantBool(value);
    return S_OK;
}

// The file-system name of a file name; for a string that names no file
// (U+0000 in it, say) the reason instead.
std::optional<std::string> ToFileName(const BSTR& name, std::string* why)
{
    auto path = BstrToFileName(name);
    if (!path) *why = "The name holds characters that no file name can hold.";
    return path;
}

// A name whose last part is empty, "." or ".." can only be a folder, even
// where the file system would resolve it to a file ("plan.xml/" is
// "plan.xml" to some calls); it is refused before any file is touched,
// with what is wrong. Null for a name that may be a file.
const char* FolderNameProblem(const BSTR& name)
{
    const std::size_t slash = name.rfind(u'/');
    const std::u16string_view last = slash == BSTR::npos ? std::u16string_view(name)
                                                         : std::u16string_view(name).substr(slash + 1);
    if (slash != BSTR::npos && last.empty()) return "The name ends with \"/\": it names a folder, not a file.";
    if (last == u"." || last == u"..") return "The name ends with \".\" or \"..\": it names a folder, not a file.";
    return nullptr;
}

// "Failed to open specified file." for a name that cannot be a document.
HRESULT CheckFileName(const BSTR& name)
{
    const char* problem = FolderNameProblem(name);
    if (!problem) return S_OK;
    return Report(E_FAIL, kOpenFailed, problem);
}

// File operations turn an out-of-memory condition into E_OUTOFMEMORY and
// anything else unexpected into E_FAIL.
template <class Operation>
HRESULT Guarded(Operation&& operation)
{
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace

CXmlAdapter::CXmlAdapter() = default;
CXmlAdapter::~CXmlAdapter() = default;

HRESULT CXmlAdapter::get_DocIsOpened(VARIANT_BOOL* pvbOpened) { return Answer(pvbOpened, opened_); }
HRESULT CXmlAdapter::get_IsModified(VARIANT_BOOL* pvbModified) { return Answer(pvbModified, modified_); }
HRESULT CXmlAdapter::get_FileIsNew(VARIANT_BOOL* pvbNew) { return Answer(pvbNew, isNew_); }
HRESULT CXmlAdapter::get_SupportsAutocorrectTaskDates(VARIANT_BOOL* pvbSupports) { return Answer(pvbSupports, true); }
HRESULT CXmlAdapter::get_SupportsMatchColors(VARIANT_BOOL* pvbSupports) { return Answer(pvbSupports, false); }
HRESULT CXmlAdapter::get_SupportsTaskNotes(VARIANT_BOOL* pvbSupports) { return Answer(pvbSupports, true); }

HRESULT CXmlAdapter::get_FileName(BSTR* pbsFileName)
{
    if (!pbsFileName) return E_POINTER;
    *pbsFileName = fileName_;
    return S_OK;
}

HRESULT CXmlAdapter::Connect(IDocumentData* pAppTaskData)
{
    data_ = pAppTaskData;
    return S_OK;
}

HRESULT CXmlAdapter::Disconnect()
{
    data_ = nullptr;
    return S_OK;
}

HRESULT CXmlAdapter::GetName(BSTR* pbsName)
{
    if (!pbsName) return E_INVALIDARG;
    *pbsName = Utf8ToBstr(kAdapterName);
    return S_OK;
}

HRESULT CXmlAdapter::GetDescription(BSTR* pbsDescription)
{
    if (!pbsDescription) return E_INVALIDARG;
    *pbsDescription = Utf8ToBstr("XML document adapter");
    return S_OK;
}

HRESULT CXmlAdapter::GetDocTypes(IAdapterDocTypes** ppDocTypes)
{
    if (!ppDocTypes) return E_INVALIDARG;
    *ppDocTypes = nullptr;
    if (!docTypes_) {
        docTypes_ = MakeObject<CDocTypeList>(std::span<const DocType>(kDocTypes));
        if (!docTypes_) return E_OUTOFMEMORY;
    }
    return docTypes_.CopyTo(ppDocTypes);
}

HRESULT CXmlAdapter::FileNew(LONG)
{
    return Guarded([&] {
        fileName_ = Utf8ToBstr("NewDoc");
        opened_ = true;
        isNew_ = true;
        modified_ = false;
        return S_OK;
    });
}

HRESULT CXmlAdapter::FileOpen(LONG, const BSTR& bsFileName)
{
    return Guarded([&] { return DoFileOpen(bsFileName); });
}

HRESULT CXmlAdapter::DoFileOpen(const BSTR& bsFileName)
{
    modified_ = false;
    if (!data_) return Report(E_UNEXPECTED, "Failed to load document.");
    if (const HRESULT hr = CheckFileName(bsFileName); FAILED(hr)) return hr;
    // Opening the document that is open already reads it through the file
    // this adapter holds; any other file must not be held by anyone.
    std::string why;
    const auto path = ToFileName(bsFileName, &why);
    if (!path) return Report(E_FAIL, kOpenFailed, why);
    std::shared_ptr<CDocumentFile> file;
    if (file_ && file_->IsSameFile(*path))
        file = file_;
    else
        file = CDocumentFile::OpenExisting(*path, &why);
    if (!file) return Report(E_FAIL, kOpenFailed, why);

    // A file that vanished or turned unreadable after the checks above was
    // never read: that is an open failure, and the model stays as it was.
    bool readerRan = false;
    ClearErrorInfo();
    const HRESULT hr = file->Read(
        [this, &readerRan](const ReadFunction& read) {
            readerRan = true;
            return ReadProject(read, data_);
        },
        &why);
    if (!readerRan) return Report(E_FAIL, kOpenFailed, why);
    if (FAILED(hr)) {
        // The reader's description stays for the caller.
        auto error = GetErrorInfo();
        data_->DeleteContents();
        if (error)
            SetErrorInfo(*error);
        else
            Report(E_FAIL, "Failed to load document.");
        return hr == E_OUTOFMEMORY ? E_OUTOFMEMORY : E_FAIL;
    }
    file_ = std::move(file);
    fileName_ = bsFileName;
    opened_ = true;
    isNew_ = false;
    data_->AdjustTimeRange();
    return S_OK;
}

HRESULT CXmlAdapter::WriteProjectTo(const CDocumentFile& file, const char* whenNotCreated)
{
    // The writer's own failing result (a model call's, say) is the answer.
    HRESULT written = S_OK;
    std::string why;
    const auto produce = [this, &written](const WriteFunction& write) { return written = WriteProject(data_, write); };
    switch (file.Replace(produce, &why)) {
    case CDocumentFile::WriteResult::Written: return S_OK;
    case CDocumentFile::WriteResult::CannotCreate: return Report(E_FAIL, whenNotCreated, why);
    case CDocumentFile::WriteResult::OutOfMemory: return Report(E_OUTOFMEMORY, kSaveFailed, why);
    case CDocumentFile::WriteResult::Failed: break;
    }
    return Report(FAILED(written) ? written : E_FAIL, kSaveFailed, why);
}

HRESULT CXmlAdapter::WriteTo(const BSTR& bsFileName, std::shared_ptr<CDocumentFile>* written)
{
    if (!data_) return Report(E_UNEXPECTED, kSaveFailed);
    if (const HRESULT hr = CheckFileName(bsFileName); FAILED(hr)) return hr;
    std::string why;
    const auto path = ToFileName(bsFileName, &why);
    if (!path) return Report(E_FAIL, kOpenFailed, why);
    std::shared_ptr<CDocumentFile> file;
    if (file_ && file_->IsSameFile(*path))
        file = file_;
    else
        file = CDocumentFile::Create(*path, &why);
    if (!file) return Report(E_FAIL, kOpenFailed, why);
    const HRESULT hr = WriteProjectTo(*file, kOpenFailed);
    if (SUCCEEDED(hr) && written) *written = std::move(file);
    return hr;
}

HRESULT CXmlAdapter::FileSave()
{
    return Guarded([&] { return DoFileSave(); });
}

HRESULT CXmlAdapter::DoFileSave()
{
    // A new document has no file of its own yet (a file still held from an
    // earlier document is not it); the application saves it with
    // FileSaveAs. Nothing is written here.
    if (isNew_ || !file_) return Report(E_FAIL, kSaveFailed);
    if (!data_) return Report(E_UNEXPECTED, kSaveFailed);
    const HRESULT hr = WriteProjectTo(*file_, kSaveFailed);
    if (FAILED(hr)) return hr;
    isNew_ = false;
    modified_ = false;
    return S_OK;
}

HRESULT CXmlAdapter::FileSaveAs(const BSTR& bsFileName)
{
    return Guarded([&] { return DoFileSaveAs(bsFileName); });
}

HRESULT CXmlAdapter::DoFileSaveAs(const BSTR& bsFileName)
{
    std::shared_ptr<CDocumentFile> file;
    const HRESULT hr = WriteTo(bsFileName, &file);
    if (FAILED(hr)) return hr;
    file_ = std::move(file);  // the previous file's lock goes
    fileName_ = bsFileName;
    opened_ = true;
    isNew_ = false;
    modified_ = false;
    return S_OK;
}

HRESULT CXmlAdapter::FileExport(LONG, const BSTR& bsFileName)
{
    return Guarded([&] { return DoFileExport(bsFileName); });
}

HRESULT CXmlAdapter::DoFileExport(const BSTR& bsFileName) { return WriteTo(bsFileName, nullptr); }

HRESULT CXmlAdapter::FileClose()
{
    return Guarded([&] {
        if (data_) data_->DeleteContents();
        file_.reset();
        fileName_.clear();
        opened_ = false;
        isNew_ = false;
        modified_ = false;
        return S_OK;
    });
}

// This adapter writes the document only on save: every change just marks it
// modified.
HRESULT CXmlAdapter::MarkModified()
{
    modified_ = true;
    return S_OK;
}

HRESULT CXmlAdapter::FilePropertiesUpdate() { return MarkModified(); }
HRESULT CXmlAdapter::TaskNew(LONG) { return MarkModified(); }
HRESULT CXmlAdapter::TaskDelete(LONG) { return MarkModified(); }
HRESULT CXmlAdapter::TaskMove(LONG) { return MarkModified(); }
HRESULT CXmlAdapter::TaskUpdate(LONG) { return MarkModified(); }
HRESULT CXmlAdapter::TaskDependencyLink(LONG, LONG, QMXDependencyType) { return MarkModified(); }
HRESULT CXmlAdapter::TaskDependencyUnlink(LONG, LONG) { return MarkModified(); }
HRESULT CXmlAdapter::TaskDependencyUpdate(LONG, LONG) { return MarkModified(); }
HRESULT CXmlAdapter::TaskResourceNew(LONG, LONG) { return MarkModified(); }
HRESULT CXmlAdapter::TaskResourceDelete(LONG, LONG) { return MarkModified(); }
HRESULT CXmlAdapter::TaskResourceUpdate(LONG, LONG) { return MarkModified(); }
HRESULT CXmlAdapter::ResourceNew(LONG) { return MarkModified(); }
HRESULT CXmlAdapter::ResourceDelete(LONG) { return MarkModified(); }
HRESULT CXmlAdapter::ResourceUpdate(LONG) { return MarkModified(); }

// The view settings are not kept in this format, and the file is read only
// on open.
HRESULT CXmlAdapter::DocumentViewUpdate() { return S_OK; }
HRESULT CXmlAdapter::Refresh() { return S_OK; }

}  // namespace qmx::xml
