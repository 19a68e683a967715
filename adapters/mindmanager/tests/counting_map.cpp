#include "adapters/mindmanager/tests/counting_map.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "automation/com_object.h"
#include "automation/remoting/object_proxy.h"
#include "automation/remoting/remote_results.h"

namespace qmx::mm::testing {

long CallCounter::Total() const
{
    long total = 0;
    for (const auto& [name, count] : calls_) total += count;
    return total;
}

long CallCounter::Of(const std::string& method) const
{
    const auto found = calls_.find(method);
    return found == calls_.end() ? 0 : found->second;
}

long CallCounter::Starting(const std::string& prefix) const
{
    long total = 0;
    for (const auto& [name, count] : calls_)
        if (name.compare(0, prefix.size(), prefix) == 0) total += count;
    return total;
}

void CallCounter::Reset()
{
    calls_.clear();
    released_ = 0;
}

std::string CallCounter::Report() const
{
    std::vector<std::pair<std::string, long>> sorted(calls_.begin(), calls_.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::ostringstream out;
    for (const auto& [name, count] : sorted) out << name << ' ' << count << '\n';
    out << "released " << released_ << '\n';
    return out.str();
}

namespace {

// Answered by wrappers only: the object they stand for.
struct ICountedObject : IUnknown {
    QMX_INTERFACE_ID("{2F6B7C1E-93A4-4E0B-8D51-6C7E2A9F4B10}");
    virtual IUnknown* InnerIdentity() const = 0;
};

class CountedObject;

// What every wrapper shares: the counter and the table of wrappers by the
// identity of the object they wrap.
struct Context {
    std::shared_ptr<CallCounter> counter;
    std::unordered_map<IUnknown*, CountedObject*> objects;
    // Calls through wrappers under way: the events they cause are left out,
    // as a subscription across processes leaves out those of its own calls.
    int callDepth = 0;
    // The wrapped application is a proxy: its events are filtered already.
    bool remote = false;

    // A wrapper of `inner` answering I (null when I is not wrapped: the
    // inner object is then handed out as it is).
    template <class I>
    I* Wrap(const std::shared_ptr<Context>& self, I* inner);
    ComPtr<IUnknown> WrapIdentity(const std::shared_ptr<Context>& self, IUnknown* inner);
};

class FacetBase {
public:
    virtual ~FacetBase() = default;
    virtual IUnknown* Interface() = 0;
    virtual IUnknown* InnerInterface() = 0;
};

std::unique_ptr<FacetBase> MakeFacet(REFIID riid, CountedObject* owner, IUnknown* innerInterface);

// One wrapped object: its identity, with a facet per interface asked for.
class CountedObject final : public ICountedObject {
public:
    CountedObject(std::shared_ptr<Context> context, ComPtr<IUnknown> identity)
        : context_(std::move(context)), identity_(std::move(identity))
    {
        context_->objects[identity_.Get()] = this;
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == ICountedObject::iid) {
            *ppv = static_cast<ICountedObject*>(this);
            AddRef();
            return S_OK;
        }
        if (riid == remoting::IRemoteObject::iid) return identity_->QueryInterface(riid, ppv);  // local, as a proxy's
        if (FacetBase* facet = Find(riid)) {
            *ppv = facet->Interface();
            AddRef();
            return S_OK;
        }
        if (refused_.count(riid)) return E_NOINTERFACE;
        if (context_->counter->Disconnected()) return RPC_E_DISCONNECTED;
        // A proxy asks the remote object once and keeps the answer.
        context_->counter->Count("IUnknown", "QueryInterface");
        ComPtr<IUnknown> inner;
        const HRESULT hr = identity_->QueryInterface(riid, reinterpret_cast<void**>(inner.ReleaseAndGetAddressOf()));
        if (FAILED(hr) || !inner) {
            refused_.insert(riid);
            return FAILED(hr) ? hr : E_NOINTERFACE;
        }
        FacetBase* facet = Add(riid, inner.Get());
        if (!facet) {
            refused_.insert(riid);
            return E_NOINTERFACE;
        }
        *ppv = facet->Interface();
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override
    {
        const ULONG left = --refs_;
        if (left == 0) {
            context_->counter->CountRelease();
            delete this;
        }
        return left;
    }
    IUnknown* InnerIdentity() const override { return identity_.Get(); }

    // The facet of an interface the map named in its answer's type: made
    // without asking. Null when the interface is not wrapped.
    IUnknown* Typed(REFIID riid, IUnknown* innerInterface)
    {
        FacetBase* facet = Find(riid);
        if (!facet) facet = Add(riid, innerInterface);
        return facet ? facet->Interface() : nullptr;
    }
    IUnknown* InnerOf(REFIID riid)
    {
        FacetBase* facet = Find(riid);
        return facet ? facet->InnerInterface() : nullptr;
    }

    Context& Shared() { return *context_; }
    const std::shared_ptr<Context>& SharedPtr() const { return context_; }
    void Count(const char* face, const char* method) { context_->counter->Count(face, method); }
    bool Disconnected() const { return context_->counter->Disconnected(); }

private:
    ~CountedObject() { context_->objects.erase(identity_.Get()); }

    FacetBase* Find(REFIID riid)
    {
        const auto found = facets_.find(riid);
        return found == facets_.end() ? nullptr : found->second.get();
    }
    FacetBase* Add(REFIID riid, IUnknown* innerInterface)
    {
        std::unique_ptr<FacetBase> facet = MakeFacet(riid, this, innerInterface);
        if (!facet) return nullptr;
        return facets_.emplace(riid, std::move(facet)).first->second.get();
    }

    std::shared_ptr<Context> context_;
    ComPtr<IUnknown> identity_;
    ULONG refs_ = 0;
    std::map<IID, std::unique_ptr<FacetBase>> facets_;
    std::set<IID> refused_;
};

template <class I>
I* Context::Wrap(const std::shared_ptr<Context>& self, I* inner)
{
    ComPtr<IUnknown> identity;
    if (FAILED(inner->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.ReleaseAndGetAddressOf()))))
        return nullptr;
    const auto found = objects.find(identity.Get());
    CountedObject* object = found != objects.end() ? found->second : new CountedObject(self, identity);
    ComPtr<CountedObject> keep(object);
    IUnknown* facet = object->Typed(I::iid, inner);
    if (!facet) return nullptr;
    facet->AddRef();
    return static_cast<I*>(facet);
}

ComPtr<IUnknown> Context::WrapIdentity(const std::shared_ptr<Context>& self, IUnknown* inner)
{
    ComPtr<IUnknown> identity;
    if (!inner ||
        FAILED(inner->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.ReleaseAndGetAddressOf()))))
        return nullptr;
    const auto found = objects.find(identity.Get());
    CountedObject* object = found != objects.end() ? found->second : new CountedObject(self, identity);
    return ComPtr<IUnknown>(static_cast<ICountedObject*>(object));
}

// The object a wrapper stands for, as interface I; any other object as it is.
template <class I>
I* Unwrapped(I* p)
{
    if (!p) return p;
    ComPtr<ICountedObject> counted;
    if (FAILED(p->QueryInterface(ICountedObject::iid, reinterpret_cast<void**>(counted.ReleaseAndGetAddressOf()))))
        return p;
    auto* object = static_cast<CountedObject*>(counted.Get());
    IUnknown* inner = object->InnerOf(I::iid);
    return inner ? static_cast<I*>(inner) : p;
}

template <class T>
T Inbound(T value)
{
    if constexpr (std::is_pointer_v<T> && std::is_base_of_v<IUnknown, std::remove_cv_t<std::remove_pointer_t<T>>>)
        return Unwrapped(value);
    else
        return value;
}

// An interface received from the map as a facet of its wrapper.
template <class Face>
class Facet : public Face, public FacetBase {
public:
    Facet(CountedObject* owner, IUnknown* inner, const char* name)
        : owner_(owner), inner_(static_cast<Face*>(inner)), name_(name)
    {
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override { return owner_->QueryInterface(riid, ppv); }
    ULONG AddRef() override { return owner_->AddRef(); }
    ULONG Release() override { return owner_->Release(); }
    IUnknown* Interface() override { return static_cast<Face*>(this); }
    IUnknown* InnerInterface() override { return inner_.Get(); }

protected:
    template <class T>
    void Outbound(T&)
    {
    }
    template <class J>
        requires std::is_base_of_v<IUnknown, J>
    void Outbound(J**& pp)
    {
        if (!pp || !*pp) return;
        J* inner = *pp;
        if constexpr (std::is_same_v<J, IUnknown>) {
            *pp = owner_->Shared().WrapIdentity(owner_->SharedPtr(), inner).Detach();
            inner->Release();
        } else if (J* wrapped = owner_->Shared().Wrap(owner_->SharedPtr(), inner)) {
            *pp = wrapped;
            inner->Release();
        }
    }

    template <class... P, class... A>
    HRESULT Call(const char* method, HRESULT (Face::*member)(P...), A... args)
    {
        owner_->Count(name_, method);
        if (owner_->Disconnected()) return RPC_E_DISCONNECTED;
        ++owner_->Shared().callDepth;
        const HRESULT hr = (inner_.Get()->*member)(Inbound<A>(args)...);
        --owner_->Shared().callDepth;
        (Outbound(args), ...);
        return hr;
    }

    CountedObject* owner_;
    ComPtr<Face> inner_;
    const char* name_;
};

#define QMX_COUNTED(Method, ...) return Call(#Method, &FaceType::Method, __VA_ARGS__)
#define QMX_COUNTED0(Method) return Call(#Method, &FaceType::Method)

class ApplicationFacet final : public Facet<IMmApplication> {
public:
    using FaceType = IMmApplication;
    ApplicationFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmApplication") {}
    HRESULT get_Documents(VARIANT_BOOL f, IMmDocuments** pp) override { QMX_COUNTED(get_Documents, f, pp); }
    HRESULT get_ActiveDocument(IMmDocument** pp) override { QMX_COUNTED(get_ActiveDocument, pp); }
    HRESULT get_EventManager(IMmEventManager** pp) override { QMX_COUNTED(get_EventManager, pp); }
    HRESULT get_Commands(IMmCommands** pp) override { QMX_COUNTED(get_Commands, pp); }
    HRESULT get_UserInterfaces(IMmUserInterfaces** pp) override { QMX_COUNTED(get_UserInterfaces, pp); }
    HRESULT get_MainWindowHandle(std::int64_t* p) override { QMX_COUNTED(get_MainWindowHandle, p); }
};

class DocumentsFacet final : public Facet<IMmDocuments> {
public:
    using FaceType = IMmDocuments;
    DocumentsFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmDocuments") {}
    HRESULT get_Count(LONG* p) override { QMX_COUNTED(get_Count, p); }
    HRESULT Item(LONG i, IMmDocument** pp) override { QMX_COUNTED(Item, i, pp); }
    HRESULT Add(LONG f, IMmDocument** pp) override { QMX_COUNTED(Add, f, pp); }
    HRESULT Open(const BSTR& n, const BSTR& w, VARIANT_BOOL r, IMmDocument** pp) override
    {
        QMX_COUNTED(Open, n, w, r, pp);
    }
};

class DocumentFacet final : public Facet<IMmDocument> {
public:
    using FaceType = IMmDocument;
    DocumentFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmDocument") {}
    HRESULT get_CentralTopic(IMmTopic** pp) override { QMX_COUNTED(get_CentralTopic, pp); }
    HRESULT get_FullName(BSTR* p) override { QMX_COUNTED(get_FullName, p); }
    HRESULT get_Name(BSTR* p) override { QMX_COUNTED(get_Name, p); }
    HRESULT get_IsModified(VARIANT_BOOL* p) override { QMX_COUNTED(get_IsModified, p); }
    HRESULT put_IsModified(VARIANT_BOOL v) override { QMX_COUNTED(put_IsModified, v); }
    HRESULT get_IsReadOnly(VARIANT_BOOL* p) override { QMX_COUNTED(get_IsReadOnly, p); }
    HRESULT Save() override { QMX_COUNTED0(Save); }
    HRESULT SaveAs(const BSTR& n, LONG f) override { QMX_COUNTED(SaveAs, n, f); }
    HRESULT get_Properties(IMmDocumentProperties** pp) override { QMX_COUNTED(get_Properties, pp); }
    HRESULT get_Range(LONG k, LONG f, IMmRange** pp) override { QMX_COUNTED(get_Range, k, f, pp); }
    HRESULT Activate() override { QMX_COUNTED0(Activate); }
    HRESULT Close() override { QMX_COUNTED0(Close); }
};

class PropertiesFacet final : public Facet<IMmDocumentProperties> {
public:
    using FaceType = IMmDocumentProperties;
    PropertiesFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmDocumentProperties") {}
    HRESULT get_Description(BSTR* p) override { QMX_COUNTED(get_Description, p); }
    HRESULT put_Description(const BSTR& t) override { QMX_COUNTED(put_Description, t); }
};

class RangeFacet final : public Facet<IMmRange> {
public:
    using FaceType = IMmRange;
    RangeFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmRange") {}
    HRESULT get_Count(LONG* p) override { QMX_COUNTED(get_Count, p); }
    HRESULT TopicByGuid(const BSTR& g, IMmTopic** pp) override { QMX_COUNTED(TopicByGuid, g, pp); }
};

class TopicTreeFacet final : public Facet<IMmTopicTree> {
public:
    using FaceType = IMmTopicTree;
    TopicTreeFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmTopicTree") {}
    HRESULT ReadTree(const BSTR& n, const BSTR& a, IMmTreeReader** pp) override { QMX_COUNTED(ReadTree, n, a, pp); }
    HRESULT SetAttributes(const BSTR& n, const BSTR& e, LONG* p) override
    {
        if (owner_->Shared().counter->refuseBulkWrites) {
            owner_->Count("IMmTopicTree", "SetAttributes");
            return E_NOTIMPL;
        }
        QMX_COUNTED(SetAttributes, n, e, p);
    }
};

class TreeReaderFacet final : public Facet<IMmTreeReader> {
public:
    using FaceType = IMmTreeReader;
    TreeReaderFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmTreeReader") {}
    HRESULT Next(LONG n, BSTR* p) override
    {
        HRESULT hr = Call("Next", &FaceType::Next, n, p);
        if (const auto& filter = owner_->Shared().counter->chunkFilter; filter && p) filter(&hr, p);
        return hr;
    }
};

class TopicFacet final : public Facet<IMmTopic> {
public:
    using FaceType = IMmTopic;
    TopicFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmTopic") {}
    HRESULT get_Guid(BSTR* p) override { QMX_COUNTED(get_Guid, p); }
    HRESULT get_Text(BSTR* p) override { QMX_COUNTED(get_Text, p); }
    HRESULT put_Text(const BSTR& t) override { QMX_COUNTED(put_Text, t); }
    HRESULT get_SubTopics(VARIANT_BOOL f, IMmTopics** pp) override { QMX_COUNTED(get_SubTopics, f, pp); }
    HRESULT AddSubTopic(const BSTR& t, IMmTopic** pp) override { QMX_COUNTED(AddSubTopic, t, pp); }
    HRESULT Delete() override { QMX_COUNTED0(Delete); }
    HRESULT get_TaskInfo(IMmTaskInfo** pp) override { QMX_COUNTED(get_TaskInfo, pp); }
    HRESULT get_Attributes(const BSTR& n, IMmAttributes** pp) override { QMX_COUNTED(get_Attributes, n, pp); }
    HRESULT get_FillColor(DWORD* p) override { QMX_COUNTED(get_FillColor, p); }
    HRESULT put_FillColor(DWORD c) override { QMX_COUNTED(put_FillColor, c); }
    HRESULT get_HasFillColor(VARIANT_BOOL* p) override { QMX_COUNTED(get_HasFillColor, p); }
    HRESULT ClearFillColor() override { QMX_COUNTED0(ClearFillColor); }
    HRESULT get_Collapsed(VARIANT_BOOL* p) override { QMX_COUNTED(get_Collapsed, p); }
    HRESULT put_Collapsed(VARIANT_BOOL v) override { QMX_COUNTED(put_Collapsed, v); }
    HRESULT get_IsCentralTopic(VARIANT_BOOL* p) override { QMX_COUNTED(get_IsCentralTopic, p); }
    HRESULT get_IsFloating(VARIANT_BOOL* p) override { QMX_COUNTED(get_IsFloating, p); }
    HRESULT put_IsFloating(VARIANT_BOOL v) override { QMX_COUNTED(put_IsFloating, v); }
    HRESULT get_IsCallout(VARIANT_BOOL* p) override { QMX_COUNTED(get_IsCallout, p); }
    HRESULT put_IsCallout(VARIANT_BOOL v) override { QMX_COUNTED(put_IsCallout, v); }
    HRESULT get_ParentTopic(IMmTopic** pp) override { QMX_COUNTED(get_ParentTopic, pp); }
    HRESULT get_Document(IMmDocument** pp) override { QMX_COUNTED(get_Document, pp); }
};

class TopicsFacet final : public Facet<IMmTopics> {
public:
    using FaceType = IMmTopics;
    TopicsFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmTopics") {}
    HRESULT get_Count(LONG* p) override { QMX_COUNTED(get_Count, p); }
    HRESULT Item(LONG i, IMmTopic** pp) override { QMX_COUNTED(Item, i, pp); }
    HRESULT Insert(IMmTopic* t, LONG p) override { QMX_COUNTED(Insert, t, p); }
};

class TaskInfoFacet final : public Facet<IMmTaskInfo> {
public:
    using FaceType = IMmTaskInfo;
    TaskInfoFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmTaskInfo") {}
    HRESULT get_Priority(LONG* p) override { QMX_COUNTED(get_Priority, p); }
    HRESULT put_Priority(LONG v) override { QMX_COUNTED(put_Priority, v); }
    HRESULT get_StartDate(DATE* p) override { QMX_COUNTED(get_StartDate, p); }
    HRESULT put_StartDate(DATE v) override { QMX_COUNTED(put_StartDate, v); }
    HRESULT get_DueDate(DATE* p) override { QMX_COUNTED(get_DueDate, p); }
    HRESULT put_DueDate(DATE v) override { QMX_COUNTED(put_DueDate, v); }
    HRESULT get_DurationHours(double* p) override { QMX_COUNTED(get_DurationHours, p); }
    HRESULT put_DurationHours(double v) override { QMX_COUNTED(put_DurationHours, v); }
    HRESULT get_DurationUnit(LONG* p) override { QMX_COUNTED(get_DurationUnit, p); }
    HRESULT put_DurationUnit(LONG v) override { QMX_COUNTED(put_DurationUnit, v); }
    HRESULT get_PercentComplete(LONG* p) override { QMX_COUNTED(get_PercentComplete, p); }
    HRESULT put_PercentComplete(LONG v) override { QMX_COUNTED(put_PercentComplete, v); }
    HRESULT get_Resources(BSTR* p) override { QMX_COUNTED(get_Resources, p); }
    HRESULT put_Resources(const BSTR& v) override { QMX_COUNTED(put_Resources, v); }
};

class AttributesFacet final : public Facet<IMmAttributes> {
public:
    using FaceType = IMmAttributes;
    AttributesFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmAttributes") {}
    HRESULT GetAttributeValue(const BSTR& n, BSTR* p) override { QMX_COUNTED(GetAttributeValue, n, p); }
    HRESULT SetAttributeValue(const BSTR& n, const BSTR& v) override { QMX_COUNTED(SetAttributeValue, n, v); }
    HRESULT DeleteAttribute(const BSTR& n) override { QMX_COUNTED(DeleteAttribute, n); }
    HRESULT get_Count(LONG* p) override { QMX_COUNTED(get_Count, p); }
    HRESULT get_Name(LONG i, BSTR* p) override { QMX_COUNTED(get_Name, i, p); }
};

class EventManagerFacet final : public Facet<IMmEventManager> {
public:
    using FaceType = IMmEventManager;
    EventManagerFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmEventManager") {}
    HRESULT Register(LONG m, LONG t, LONG p, LONG f, IMmEventSubscription** pp) override
    {
        QMX_COUNTED(Register, m, t, p, f, pp);
    }
};

class SubscriptionFacet final : public Facet<IMmEventSubscription> {
public:
    using FaceType = IMmEventSubscription;
    SubscriptionFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmEventSubscription") {}
    HRESULT get_ConnectionPoint(IMmConnectionPoint** pp) override { QMX_COUNTED(get_ConnectionPoint, pp); }
    HRESULT get_Mask(LONG* p) override { QMX_COUNTED(get_Mask, p); }
    HRESULT Unregister() override { QMX_COUNTED0(Unregister); }
};

class EventDataFacet final : public Facet<IMmEventData> {
public:
    using FaceType = IMmEventData;
    EventDataFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmEventData") {}
    HRESULT get_Kind(LONG* p) override { QMX_COUNTED(get_Kind, p); }
    HRESULT get_Phase(LONG* p) override { QMX_COUNTED(get_Phase, p); }
    HRESULT get_Document(IMmDocument** pp) override { QMX_COUNTED(get_Document, pp); }
    HRESULT get_ObjectType(LONG* p) override { QMX_COUNTED(get_ObjectType, p); }
    HRESULT get_Object(IUnknown** pp) override { QMX_COUNTED(get_Object, pp); }
};

// The adapter's sink as the map sees it: events arrive wrapped.
class SinkRelay final : public ComObject<IMmEventSink> {
public:
    SinkRelay(std::shared_ptr<Context> context, ComPtr<IMmEventSink> sink)
        : context_(std::move(context)), sink_(std::move(sink))
    {
    }
    HRESULT OnEvent(IUnknown* pEvent) override
    {
        if (context_->callDepth > 0 && !context_->remote) return S_OK;
        const ComPtr<IUnknown> event = context_->WrapIdentity(context_, pEvent);
        return sink_->OnEvent(event.Get());
    }

private:
    std::shared_ptr<Context> context_;
    ComPtr<IMmEventSink> sink_;
};

class ConnectionPointFacet final : public Facet<IMmConnectionPoint> {
public:
    using FaceType = IMmConnectionPoint;
    ConnectionPointFacet(CountedObject* o, IUnknown* i) : Facet(o, i, "IMmConnectionPoint") {}
    HRESULT Advise(IUnknown* pSink, DWORD* pdwCookie) override
    {
        owner_->Count(name_, "Advise");
        if (owner_->Disconnected()) return RPC_E_DISCONNECTED;
        ComPtr<IMmEventSink> sink;
        if (pSink) pSink->QueryInterface(IMmEventSink::iid, reinterpret_cast<void**>(sink.ReleaseAndGetAddressOf()));
        if (!sink) return inner_->Advise(pSink, pdwCookie);
        const auto relay = MakeObject<SinkRelay>(owner_->SharedPtr(), sink);
        return inner_->Advise(static_cast<IMmEventSink*>(relay.Get()), pdwCookie);
    }
    HRESULT Unadvise(DWORD c) override { QMX_COUNTED(Unadvise, c); }
};

#undef QMX_COUNTED
#undef QMX_COUNTED0

template <class F>
std::unique_ptr<FacetBase> Make(CountedObject* owner, IUnknown* inner)
{
    return std::make_unique<F>(owner, inner);
}

std::unique_ptr<FacetBase> MakeFacet(REFIID riid, CountedObject* owner, IUnknown* inner)
{
    using Maker = std::unique_ptr<FacetBase> (*)(CountedObject*, IUnknown*);
    static const std::map<IID, Maker> makers = {
        {IMmApplication::iid, &Make<ApplicationFacet>},
        {IMmDocuments::iid, &Make<DocumentsFacet>},
        {IMmDocument::iid, &Make<DocumentFacet>},
        {IMmDocumentProperties::iid, &Make<PropertiesFacet>},
        {IMmRange::iid, &Make<RangeFacet>},
        {IMmTopic::iid, &Make<TopicFacet>},
        {IMmTopics::iid, &Make<TopicsFacet>},
        {IMmTaskInfo::iid, &Make<TaskInfoFacet>},
        {IMmAttributes::iid, &Make<AttributesFacet>},
        {IMmEventManager::iid, &Make<EventManagerFacet>},
        {IMmEventSubscription::iid, &Make<SubscriptionFacet>},
        {IMmConnectionPoint::iid, &Make<ConnectionPointFacet>},
        {IMmEventData::iid, &Make<EventDataFacet>},
        {IMmTopicTree::iid, &Make<TopicTreeFacet>},
        {IMmTreeReader::iid, &Make<TreeReaderFacet>},
    };
    if (riid == IMmTopicTree::iid && owner->Shared().counter->TreeReaderHidden()) return nullptr;
    const auto found = makers.find(riid);
    return found == makers.end() ? nullptr : found->second(owner, inner);
}

}  // namespace

ComPtr<IMmApplication> CountingApplication(IMmApplication* inner, std::shared_ptr<CallCounter> counter)
{
    if (!inner || !counter) return nullptr;
    auto context = std::make_shared<Context>();
    context->counter = std::move(counter);
    ComPtr<remoting::IRemoteObject> remote;
    context->remote = SUCCEEDED(inner->QueryInterface(remoting::IRemoteObject::iid,
                                                      reinterpret_cast<void**>(remote.ReleaseAndGetAddressOf())));
    ComPtr<IMmApplication> wrapped;
    wrapped.Attach(context->Wrap(context, inner));
    return wrapped;
}

}  // namespace qmx::mm::testing
