#include "adapters/mindmanager/mm5_adapter.h"

#include <array>
#include <new>

#include "adapters/contract/adapter_site.h"
#include "adapters/contract/doc_type_list.h"
#include "adapters/mindmanager/event_sink.h"
#include "adapters/mindmanager/topic_values.h"
#include "automation/bstr.h"
#include "automation/error_info.h"
#include "automation/remoting/object_proxy.h"
#include "automation/remoting/remote_results.h"
#include "maphost/api/map_codes.h"
#include "maphost/remote/map_faces.h"

namespace qmx::mm {

namespace {

constexpr std::array<DocType, 1> kDocTypes{{
    {"MindManagerX5 map", "MindManagerX5 map (*.mmap)", "mmap"},
}};

constexpr LONG kHostedDocumentMask = map::kEventDocumentActivated + map::kEventDocumentClosed;        // 384
constexpr LONG kOwnDocumentMask = map::kEventDocumentNameChanged + map::kEventDocumentClosedWhileHeld;  // 96

HRESULT Answer(VARIANT_BOOL* out, bool value)
{
    if (!out) return E_POINTER;
    *out = ToVariantBool(value);
    return S_OK;
}

bool SameObject(IUnknown* a, IUnknown* b)
{
    if (!a || !b) return false;
    ComPtr<IUnknown> ia, ib;
    a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ia.ReleaseAndGetAddressOf()));
    b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ib.ReleaseAndGetAddressOf()));
    return ia && ia == ib;  // identity is the IUnknown pointer
}

// The object's interface I, or null.
template <class I>
ComPtr<I> Query(IUnknown* object)
{
    ComPtr<I> result;
    if (object) object->QueryInterface(I::iid, reinterpret_cast<void**>(result.ReleaseAndGetAddressOf()));
    return result;
}

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

CMm5Adapter::CMm5Adapter() : launcher_(LocalServerLauncher()) {}

CMm5Adapter::~CMm5Adapter()
{
    UnregisterSinks();
    sync_.SetDocument(nullptr);
    application_ = nullptr;
}

HRESULT CMm5Adapter::get_DocIsOpened(VARIANT_BOOL* pvbOpened) { return Answer(pvbOpened, sync_.Document() != nullptr); }

HRESULT CMm5Adapter::get_IsModified(VARIANT_BOOL* pvbModified)
{
    if (!pvbModified) return E_POINTER;
    *pvbModified = VARIANT_FALSE;
    if (IMmDocument* document = sync_.Document()) {
        VARIANT_BOOL modified = VARIANT_FALSE;
        if (SUCCEEDED(document->get_IsModified(&modified))) *pvbModified = ToVariantBool(modified != VARIANT_FALSE);
    }
    return S_OK;
}

HRESULT CMm5Adapter::get_FileName(BSTR* pbsFileName)
{
    if (!pbsFileName) return E_POINTER;
    pbsFileName->clear();
    IMmDocument* document = sync_.Document();
    if (!document) return S_OK;
    RETURN_IF_FAILED(document->get_FullName(pbsFileName));
    // A map never saved has no path; its shown name stands in.
    if (pbsFileName->empty()) document->get_Name(pbsFileName);
    return S_OK;
}

HRESULT CMm5Adapter::get_FileIsNew(VARIANT_BOOL* pvbNew) { return Answer(pvbNew, isNew_); }
HRESULT CMm5Adapter::get_SupportsAutocorrectTaskDates(VARIANT_BOOL* pvbSupports) { return Answer(pvbSupports, true); }
HRESULT CMm5Adapter::get_SupportsMatchColors(VARIANT_BOOL* pvbSupports) { return Answer(pvbSupports, true); }
HRESULT CMm5Adapter::get_SupportsTaskNotes(VARIANT_BOOL* pvbSupports) { return Answer(pvbSupports, false); }

HRESULT CMm5Adapter::Connect(IDocumentData* pAppTaskData)
{
    sync_.SetDocumentData(pAppTaskData);
    return S_OK;
}

HRESULT CMm5Adapter::Disconnect()
{
    sync_.SetDocumentData(nullptr);
    return DisconnectHostApp();
}

HRESULT CMm5Adapter::GetName(BSTR* pbsName)
{
    if (!pbsName) return E_INVALIDARG;
    *pbsName = Utf8ToBstr(kMm5AdapterName);
    return S_OK;
}

HRESULT CMm5Adapter::GetDescription(BSTR* pbsDescription)
{
    if (!pbsDescription) return E_INVALIDARG;
    *pbsDescription = Utf8ToBstr("MindManagerX5 document adapter");
    return S_OK;
}

HRESULT CMm5Adapter::GetDocTypes(IAdapterDocTypes** ppDocTypes)
{
    if (!ppDocTypes) return E_INVALIDARG;
    *ppDocTypes = nullptr;
    if (!docTypes_) {
        docTypes_ = MakeObject<CDocTypeList>(std::span<const DocType>(kDocTypes));
        if (!docTypes_) return E_OUTOFMEMORY;
    }
    return docTypes_.CopyTo(ppDocTypes);
}

HRESULT CMm5Adapter::Launch()
{
    if (application_) return S_OK;
    ComPtr<IMmApplication> application;
    HRESULT hr = launcher_ ? launcher_(application.ReleaseAndGetAddressOf()) : E_FAIL;
    if (SUCCEEDED(hr) && !application) hr = E_FAIL;
    if (FAILED(hr))
        return ReportError(hr, IGanttAdapter::iid, Utf8ToBstr(kMm5AdapterName),
                           Utf8ToBstr("Failed to launch MindManagerX5"));
    SetApplication(application);
    return RegisterSinks();
}

void CMm5Adapter::SetApplication(ComPtr<IMmApplication> application)
{
    application_ = std::move(application);
    remote_ = application_ && Query<remoting::IRemoteObject>(application_.Get());
}

void CMm5Adapter::ReleaseDocument()
{
    sync_.SetDocument(nullptr);
    deferredEvents_.clear();
}

HRESULT CMm5Adapter::FileNew(LONG)
{
    return Guarded([&] {
        ReleaseDocument();
        RETURN_IF_FAILED(Launch());
        ComPtr<IMmDocuments> documents;
        RETURN_IF_FAILED(application_->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf()));
        if (!documents) return E_FAIL;
        ComPtr<IMmDocument> document;
        RETURN_IF_FAILED(documents->Add(0, document.ReleaseAndGetAddressOf()));
        if (!document) return E_FAIL;
        sync_.SetDocument(document.Get());
        isNew_ = true;
        return S_OK;
    });
}

HRESULT CMm5Adapter::FileOpen(LONG, const BSTR& bsFileName)
{
    return Guarded([&] {
        ReleaseDocument();
        RETURN_IF_FAILED(Launch());
        ComPtr<IMmDocuments> documents;
        RETURN_IF_FAILED(application_->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf()));
        if (!documents) return E_FAIL;
        ComPtr<IMmDocument> document;
        RETURN_IF_FAILED(documents->Open(bsFileName, BSTR(), VARIANT_FALSE, document.ReleaseAndGetAddressOf()));
        if (!document) return E_FAIL;
        sync_.SetDocument(document.Get());
        isNew_ = false;
        const HRESULT hr = sync_.Load();
        if (FAILED(hr)) {
            // What was read goes; the map stays open in the application.
            if (IDocumentData* data = sync_.DocumentData()) data->DeleteContents();
            ReleaseDocument();
        }
        ApplyDeferredEvents();
        return hr;
    });
}

HRESULT CMm5Adapter::FileSave()
{
    IMmDocument* document = sync_.Document();
    if (!document) return S_FALSE;
    RETURN_IF_FAILED(document->Save());
    isNew_ = false;
    return S_OK;
}

HRESULT CMm5Adapter::FileSaveAs(const BSTR& bsFileName)
{
    IMmDocument* document = sync_.Document();
    if (!document) return S_FALSE;
    RETURN_IF_FAILED(document->SaveAs(bsFileName, map::kFormatMap));
    isNew_ = false;
    return S_OK;
}

HRESULT CMm5Adapter::FileExport(LONG, const BSTR&) { return E_NOTIMPL; }

HRESULT CMm5Adapter::FileClose()
{
    isNew_ = false;
    if (IDocumentData* data = sync_.DocumentData()) data->DeleteContents();
    ReleaseDocument();
    return S_OK;
}

template <class Write>
HRESULT CMm5Adapter::Forward(Write&& write)
{
    if (!sync_.Document() || !sync_.DocumentData()) return S_FALSE;
    const HRESULT hr = Guarded(std::forward<Write>(write));
    // A change that cannot reach the map any more must not look written.
    if (hr == RPC_E_DISCONNECTED) HostLost();
    ApplyDeferredEvents();
    return hr;
}

void CMm5Adapter::HostLost()
{
    const ComPtr<CMm5Adapter> keep(this);
    // Every call to the vanished process fails at once; nothing waits.
    UnregisterSinks();
    SetApplication(nullptr);
    ReleaseDocument();
    isNew_ = false;
    IDocumentData* data = sync_.DocumentData();
    if (!data) return;
    // As when the map is closed in the application: the plan was the map's.
    data->DeleteContents();
    if (const ComPtr<IAdapterSite> site = Query<IAdapterSite>(data)) site->DocumentClosed();
}

HRESULT CMm5Adapter::FilePropertiesUpdate()
{
    return Forward([&] { return sync_.FilePropertiesUpdate(); });
}
HRESULT CMm5Adapter::TaskNew(LONG id)
{
    return Forward([&] { return sync_.TaskNew(id); });
}
HRESULT CMm5Adapter::TaskDelete(LONG id)
{
    return Forward([&] { return sync_.TaskDelete(id); });
}
HRESULT CMm5Adapter::TaskMove(LONG id)
{
    return Forward([&] { return sync_.TaskMove(id); });
}
HRESULT CMm5Adapter::TaskUpdate(LONG id)
{
    return Forward([&] { return sync_.TaskUpdate(id); });
}
HRESULT CMm5Adapter::TaskDependencyLink(LONG source, LONG dependent, QMXDependencyType)
{
    return Forward([&] { return sync_.TaskLinksChanged(source, dependent); });
}
HRESULT CMm5Adapter::TaskDependencyUnlink(LONG source, LONG dependent)
{
    return Forward([&] { return sync_.TaskLinksChanged(source, dependent); });
}
HRESULT CMm5Adapter::TaskDependencyUpdate(LONG source, LONG dependent)
{
    return Forward([&] { return sync_.TaskLinksChanged(source, dependent); });
}
HRESULT CMm5Adapter::TaskResourceNew(LONG task, LONG resource)
{
    return Forward([&] { return sync_.TaskResourceNew(task, resource); });
}
HRESULT CMm5Adapter::TaskResourceDelete(LONG task, LONG resource)
{
    return Forward([&] { return sync_.TaskResourceDelete(task, resource); });
}
HRESULT CMm5Adapter::TaskResourceUpdate(LONG task, LONG)
{
    return Forward([&] { return sync_.TaskResourceUpdate(task); });
}
HRESULT CMm5Adapter::ResourceNew(LONG id)
{
    return Forward([&] { return sync_.ResourceNew(id); });
}
HRESULT CMm5Adapter::ResourceDelete(LONG id)
{
    return Forward([&] { return sync_.ResourceDelete(id); });
}
HRESULT CMm5Adapter::ResourceUpdate(LONG id)
{
    return Forward([&] { return sync_.ResourceUpdate(id); });
}
HRESULT CMm5Adapter::DocumentViewUpdate()
{
    return Forward([&] { return sync_.DocumentViewUpdate(); });
}
HRESULT CMm5Adapter::Refresh()
{
    return Forward([&] { return sync_.Load(); });
}

HRESULT CMm5Adapter::SupportsHostApp(const BSTR& bsHostAppId, VARIANT_BOOL* pvbSupports)
{
    return Answer(pvbSupports, bsHostAppId == Utf8ToBstr(map::kHostIdentifier));
}

HRESULT CMm5Adapter::ConnectHostApp(IUnknown* pHostApp, const BSTR&, const VARIANT&)
{
    return Guarded([&] {
        DisconnectHostApp();
        hosted_ = true;
        map::RegisterMapFaces();  // a host in another process hands a proxy
        if (!pHostApp) return E_POINTER;
        ComPtr<IMmApplication> application;
        RETURN_IF_FAILED(pHostApp->QueryInterface(IMmApplication::iid,
                                                  reinterpret_cast<void**>(application.ReleaseAndGetAddressOf())));
        SetApplication(application);
        ComPtr<IMmDocument> document;
        RETURN_IF_FAILED(application_->get_ActiveDocument(document.ReleaseAndGetAddressOf()));
        sync_.SetDocument(document.Get());
        isNew_ = false;
        RETURN_IF_FAILED(RegisterSinks());
        const HRESULT hr = document ? sync_.Load() : S_OK;
        ApplyDeferredEvents();
        return hr;
    });
}

HRESULT CMm5Adapter::DisconnectHostApp()
{
    UnregisterSinks();
    SetApplication(nullptr);
    ReleaseDocument();
    hosted_ = false;
    return S_OK;
}

HRESULT CMm5Adapter::Subscribe(IMmEventManager* manager, LONG mask, bool topics, Subscription* out)
{
    ComPtr<IMmEventSubscription> subscription;
    RETURN_IF_FAILED(manager->Register(mask, -1, -1, 0, subscription.ReleaseAndGetAddressOf()));
    if (!subscription) return E_FAIL;
    ComPtr<IMmConnectionPoint> point;
    RETURN_IF_FAILED(subscription->get_ConnectionPoint(point.ReleaseAndGetAddressOf()));
    if (!point) return E_FAIL;
    auto sink = MakeObject<CEventSink>([this, topics](IUnknown* event) {
        if (topics)
            OnTopicEvent(event);
        else
            OnDocumentEvent(event);
    });
    if (!sink) return E_OUTOFMEMORY;
    DWORD cookie = 0;
    if (const HRESULT hr = point->Advise(static_cast<IMmEventSink*>(sink.Get()), &cookie); FAILED(hr)) {
        subscription->Unregister();
        return hr;
    }
    out->subscription = subscription;
    out->sink = sink;
    out->cookie = cookie;
    return S_OK;
}

HRESULT CMm5Adapter::RegisterSinks()
{
    UnregisterSinks();
    ComPtr<IMmEventManager> manager;
    RETURN_IF_FAILED(application_->get_EventManager(manager.ReleaseAndGetAddressOf()));
    if (!manager) return E_FAIL;
    RETURN_IF_FAILED(Subscribe(manager.Get(), map::kEventTopicMask, true, &topicEvents_));
    return Subscribe(manager.Get(), hosted_ ? kHostedDocumentMask : kOwnDocumentMask, false, &documentEvents_);
}

void CMm5Adapter::UnregisterSinks()
{
    for (Subscription* s : {&topicEvents_, &documentEvents_}) {
        if (s->sink) s->sink->Cut();
        if (s->subscription) {
            ComPtr<IMmConnectionPoint> point;
            if (SUCCEEDED(s->subscription->get_ConnectionPoint(point.ReleaseAndGetAddressOf())) && point)
                point->Unadvise(s->cookie);
            s->subscription->Unregister();
        }
        *s = {};
    }
}

bool CMm5Adapter::IsHeldDocument(IUnknown* document) const { return SameObject(document, sync_.Document()); }

void CMm5Adapter::OnTopicEvent(IUnknown* pEvent)
{
    if (!sync_.Document()) return;
    const ComPtr<IMmEventData> data = Query<IMmEventData>(pEvent);
    if (!data) return;
    TopicEvent event;
    data->get_Kind(&event.kind);
    data->get_Phase(&event.phase);
    const bool handled = ((event.kind == map::kEventTopicAdded || event.kind == map::kEventTopicChanged) &&
                          event.phase == map::kPhaseAfter) ||
                         (event.kind == map::kEventTopicDeleted && event.phase == map::kPhaseBefore);
    if (!handled) return;
    LONG type = 0;
    if (FAILED(data->get_ObjectType(&type)) || type != map::kObjectTopic) return;
    if (sync_.Memory().writeDepth > 0) {
        // In one process an event that comes while the adapter writes is
        // caused by the write. Across processes the events of the adapter's
        // own calls never arrive, so this one is somebody else's change, made
        // while a write waited for its reply: it is applied once the write
        // is done, never dropped.
        if (!remote_) return;
    }
    if (FAILED(data->get_Document(event.document.ReleaseAndGetAddressOf())) ||
        !IsHeldDocument(event.document.Get()))
        return;
    ComPtr<IUnknown> object;
    if (FAILED(data->get_Object(object.ReleaseAndGetAddressOf()))) return;
    event.topic = Query<IMmTopic>(object.Get());
    if (!event.topic) return;
    deferredEvents_.push_back(std::move(event));
    ApplyDeferredEvents();
}

void CMm5Adapter::ApplyDeferredEvents()
{
    const ComPtr<CMm5Adapter> keep(this);  // a handler may drop the last outside reference
    while (!deferredEvents_.empty() && sync_.Memory().writeDepth == 0) {
        const TopicEvent event = std::move(deferredEvents_.front());
        deferredEvents_.pop_front();
        if (!sync_.Document() || !IsHeldDocument(event.document.Get())) continue;
        IMmTopic* topic = event.topic.Get();
        if (IsSpecialTopic(topic)) continue;
        try {
            switch (event.kind) {
            case map::kEventTopicAdded: sync_.TopicAdded(topic); break;
            case map::kEventTopicChanged: sync_.TopicChanged(topic); break;
            case map::kEventTopicDeleted: sync_.TopicDeleting(topic); break;
            default: break;
            }
        } catch (...) {
            // An event has no caller to answer; what could not be applied stays.
        }
    }
}

void CMm5Adapter::OnDocumentEvent(IUnknown* pEvent)
{
    const ComPtr<IMmEventData> data = Query<IMmEventData>(pEvent);
    if (!data) return;
    LONG kind = 0;
    data->get_Kind(&kind);
    ComPtr<IUnknown> object;
    if (FAILED(data->get_Object(object.ReleaseAndGetAddressOf()))) return;
    const ComPtr<IMmDocument> document = Query<IMmDocument>(object.Get());
    if (!document) return;
    ComPtr<CMm5Adapter> keep(this);
    IDocumentData* documentData = sync_.DocumentData();
    const ComPtr<IAdapterSite> site = Query<IAdapterSite>(documentData);
    try {
        switch (kind) {
        case map::kEventDocumentNameChanged:
            if (IsHeldDocument(document.Get()) && site) site->DocumentNameChanged();
            break;
        case map::kEventDocumentClosedWhileHeld:
            if (!IsHeldDocument(document.Get())) break;
            // The map is gone: nothing of it stays held or shown.
            ReleaseDocument();
            isNew_ = false;
            if (documentData) documentData->DeleteContents();
            if (site) site->DocumentClosed();
            break;
        case map::kEventDocumentActivated:
            if (IsHeldDocument(document.Get())) break;
            sync_.SetDocument(document.Get());
            isNew_ = false;
            if (documentData && FAILED(sync_.Load())) documentData->DeleteContents();
            ApplyDeferredEvents();
            break;
        case map::kEventDocumentClosed:
            if (!IsHeldDocument(document.Get())) break;
            ReleaseDocument();
            if (documentData) documentData->DeleteContents();
            break;
        default: break;
        }
    } catch (...) {
    }
}

}  // namespace qmx::mm
