#include "maphost/store/map_application.h"

#include <algorithm>

#include "automation/file_name.h"
#include "maphost/api/map_factory.h"
#include "maphost/store/map_formats.h"
#include "maphost/store/map_support.h"

namespace qmx::map {


// ---- Documents collection ----

MapDocuments::MapDocuments(MapApplication* application)
    : EmbeddedObject(static_cast<IMmApplication*>(application)), application_(application) {}

HRESULT MapDocuments::get_Count(LONG* pCount)
{
    if (!pCount) return E_POINTER;
    *pCount = static_cast<LONG>(application_->Documents().size());
    return S_OK;
}

HRESULT MapDocuments::Item(LONG index, IMmDocument** ppDocument)
{
    if (!ppDocument) return E_POINTER;
    *ppDocument = nullptr;
    const auto& documents = application_->Documents();
    if (index < 1 || static_cast<std::size_t>(index) > documents.size())
        return Fail(E_INVALIDARG, IMmDocuments::iid, "The document index is out of range.");
    return HandOut(documents[index - 1], ppDocument);
}

HRESULT MapDocuments::Add(LONG, IMmDocument** ppDocument)
{
    if (!ppDocument) return E_POINTER;
    *ppDocument = nullptr;
    ComPtr<MapDocument> document;
    const HRESULT hr = application_->NewDocument(&document);
    if (FAILED(hr)) return hr;
    return HandOut(document, ppDocument);
}

HRESULT MapDocuments::Open(const BSTR& fileName, const BSTR&, VARIANT_BOOL readOnly, IMmDocument** ppDocument)
{
    if (!ppDocument) return E_POINTER;
    *ppDocument = nullptr;
    const std::optional<std::string> path = BstrToFileName(fileName);
    if (!path || path->empty()) return Fail(E_INVALIDARG, IMmDocuments::iid, "The file name is not valid.");
    ComPtr<MapDocument> document;
    const HRESULT hr = application_->OpenDocument(*path, readOnly != VARIANT_FALSE, &document);
    if (FAILED(hr)) return hr;
    return HandOut(document, ppDocument);
}

// ---- Application ----

MapApplication::MapApplication()
    : events_(MakeObject<MapEventManager>()),
      commands_(MakeObject<MapCommands>()),
      userInterfaces_(MakeObject<MapUserInterfaces>())
{
}

MapApplication::~MapApplication()
{
    // Clients may still hold documents and topics: they leave the map.
    for (auto& document : documents_) document->Detach();
}

HRESULT MapApplication::get_Documents(VARIANT_BOOL, IMmDocuments** ppDocuments)
{
    if (!ppDocuments) return E_POINTER;
    *ppDocuments = &documentsObject_;
    documentsObject_.AddRef();
    return S_OK;
}

HRESULT MapApplication::get_ActiveDocument(IMmDocument** ppDocument)
{
    if (!ppDocument) return E_POINTER;
    *ppDocument = active_;
    if (!active_) return S_FALSE;
    active_->AddRef();
    return S_OK;
}

HRESULT MapApplication::get_EventManager(IMmEventManager** ppManager) { return HandOut(events_, ppManager); }
HRESULT MapApplication::get_Commands(IMmCommands** ppCommands) { return HandOut(commands_, ppCommands); }
HRESULT MapApplication::get_UserInterfaces(IMmUserInterfaces** ppItems) { return HandOut(userInterfaces_, ppItems); }

HRESULT MapApplication::get_MainWindowHandle(std::int64_t* pHandle)
{
    if (!pHandle) return E_POINTER;
    *pHandle = windowHandle_;
    return S_OK;
}

HRESULT MapApplication::get_Visible(VARIANT_BOOL* pVisible)
{
    if (!pVisible) return E_POINTER;
    *pVisible = ToVariantBool(visibility_.get && visibility_.get());
    return S_OK;
}

HRESULT MapApplication::put_Visible(VARIANT_BOOL visible)
{
    if (!visibility_.set) return Fail(E_FAIL, IMmApplicationWindow::iid, "The map host has no window to show.");
    visibility_.set(visible != VARIANT_FALSE);
    return S_OK;
}

HRESULT MapApplication::NewDocument(ComPtr<MapDocument>* pDocument)
{
    const std::string name = "Map" + std::to_string(++lastMapNumber_);
    ComPtr<MapDocument> document = MakeObject<MapDocument>(this, BSTR(name.begin(), name.end()));
    if (!document || !document->Central()) return E_OUTOFMEMORY;
    documents_.push_back(document);
    Activate(document.Get());
    *pDocument = document;
    return S_OK;
}

HRESULT MapApplication::OpenDocument(const std::string& path, bool readOnly, ComPtr<MapDocument>* pDocument)
{
    const std::string canonical = CanonicalPath(path);
    for (const auto& open : documents_) {
        if (!open->FilePath().empty() && CanonicalPath(open->FilePath()) == canonical) {
            Activate(open.Get());
            *pDocument = open;
            return S_OK;
        }
    }
    MapSnapshot snapshot;
    if (const auto error = ReadMapAnyFormat(canonical, &snapshot)) return Fail(error->hr, IMmDocuments::iid, error->message);
    ComPtr<MapDocument> document = MakeObject<MapDocument>(this, BSTR());
    if (!document) return E_OUTOFMEMORY;
    document->Load(std::move(snapshot));
    document->SetFile(canonical, readOnly);
    documents_.push_back(document);
    Activate(document.Get());
    *pDocument = document;
    return S_OK;
}

void MapApplication::Activate(MapDocument* document)
{
    if (document == active_ || document->IsClosed()) return;
    active_ = document;
    ComPtr<MapDocument> held(document);
    FireDocumentEvent(kEventDocumentActivated, document);
}

void MapApplication::CloseDocument(MapDocument* document)
{
    const auto found = std::find_if(documents_.begin(), documents_.end(),
                                    [&](const auto& d) { return d.Get() == document; });
    if (found == documents_.end()) return;
    ComPtr<MapDocument> held = *found;
    const std::size_t index = static_cast<std::size_t>(found - documents_.begin());
    documents_.erase(found);
    const bool wasActive = active_ == document;
    if (wasActive) active_ = nullptr;
    document->Detach();
    FireDocumentEvent(kEventDocumentClosedWhileHeld, document);
    FireDocumentEvent(kEventDocumentClosed, document);
    // The map beside it becomes active, unless a sink activated one.
    if (wasActive && !active_ && !documents_.empty())
        Activate(documents_[std::min(index, documents_.size() - 1)].Get());
}

void MapApplication::FireDocumentEvent(LONG kind, MapDocument* document)
{
    events_->Fire(kind, kPhaseAfter, document, kObjectDocument, static_cast<IMmDocument*>(document));
}

HRESULT CreateInProcessApplication(IMmApplication** ppApplication)
{
    if (!ppApplication) return E_POINTER;
    ComPtr<MapApplication> application = MakeObject<MapApplication>();
    if (!application) return E_OUTOFMEMORY;
    *ppApplication = application.Detach();
    return S_OK;
}

}  // namespace qmx::map
