// A test add-in the map host program loads in the tests of the road across
// processes: the user's hand inside the host. When the central topic of a
// map is renamed to "edit in the host", it edits that map in the host
// itself, the way a user would, once the call that renamed the topic has
// been answered (once per run): the top-level topic "Host edits me" becomes "edited in the
// host" at 80 percent complete, and the top-level topic "added in the host"
// is added.
#include <QTimer>

#include "automation/class_factory.h"
#include "automation/runtime/component_exports.h"
#include "maphost/api/map_codes.h"
#include "maphost/api/map_interfaces.h"

namespace {

using namespace qmx;

constexpr CLSID kClsid = MakeGuid("{8E2B6C4A-1D3F-4B7A-9C52-0F6E4D2A8B31}");

BSTR TextOf(IMmTopic* topic)
{
    BSTR text;
    topic->get_Text(&text);
    return text;
}

void EditMap(IMmDocument* document)
{
    ComPtr<IMmTopic> central;
    ComPtr<IMmTopics> topics;
    if (FAILED(document->get_CentralTopic(central.ReleaseAndGetAddressOf())) || !central) return;
    if (FAILED(central->get_SubTopics(VARIANT_FALSE, topics.ReleaseAndGetAddressOf())) || !topics) return;
    LONG count = 0;
    topics->get_Count(&count);
    for (LONG i = 1; i <= count; ++i) {
        ComPtr<IMmTopic> topic;
        if (FAILED(topics->Item(i, topic.ReleaseAndGetAddressOf())) || TextOf(topic.Get()) != u"Host edits me")
            continue;
        topic->put_Text(u"edited in the host");
        ComPtr<IMmTaskInfo> info;
        if (SUCCEEDED(topic->get_TaskInfo(info.ReleaseAndGetAddressOf())) && info) info->put_PercentComplete(80);
        break;
    }
    ComPtr<IMmTopic> added;
    central->AddSubTopic(u"added in the host", added.ReleaseAndGetAddressOf());
}

class HostEditor final : public ComObject<IDTExtensibility2, IMmEventSink> {
public:
    HRESULT OnConnection(IUnknown* pApplication, LONG, IUnknown*, const std::vector<VARIANT>&) override
    {
        ComPtr<IMmApplication> application;
        RETURN_IF_FAILED(QueryTo(pApplication, application.ReleaseAndGetAddressOf()));
        ComPtr<IMmEventManager> events;
        RETURN_IF_FAILED(application->get_EventManager(events.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(events->Register(map::kEventTopicChanged, -1, -1, 0, subscription_.ReleaseAndGetAddressOf()));
        ComPtr<IMmConnectionPoint> point;
        RETURN_IF_FAILED(subscription_->get_ConnectionPoint(point.ReleaseAndGetAddressOf()));
        return point->Advise(static_cast<IMmEventSink*>(this), &cookie_);
    }
    HRESULT OnDisconnection(LONG, const std::vector<VARIANT>&) override
    {
        if (subscription_) {
            ComPtr<IMmConnectionPoint> point;
            if (SUCCEEDED(subscription_->get_ConnectionPoint(point.ReleaseAndGetAddressOf())) && point)
                point->Unadvise(cookie_);
            subscription_->Unregister();
            subscription_ = nullptr;
        }
        return S_OK;
    }
    HRESULT OnAddInsUpdate(const std::vector<VARIANT>&) override { return S_OK; }
    HRESULT OnStartupComplete(const std::vector<VARIANT>&) override { return S_OK; }
    HRESULT OnBeginShutdown(const std::vector<VARIANT>&) override { return S_OK; }

    HRESULT OnEvent(IUnknown* pEvent) override
    {
        ComPtr<IMmEventData> event;
        if (FAILED(QueryTo(pEvent, event.ReleaseAndGetAddressOf()))) return S_OK;
        LONG phase = 0, type = 0;
        event->get_Phase(&phase);
        event->get_ObjectType(&type);
        if (phase != map::kPhaseAfter || type != map::kObjectTopic) return S_OK;
        ComPtr<IUnknown> object;
        ComPtr<IMmTopic> topic;
        event->get_Object(object.ReleaseAndGetAddressOf());
        if (FAILED(QueryTo(object.Get(), topic.ReleaseAndGetAddressOf()))) return S_OK;
        VARIANT_BOOL central = VARIANT_FALSE;
        topic->get_IsCentralTopic(&central);
        if (central == VARIANT_FALSE || TextOf(topic.Get()) != u"edit in the host" || done_) return S_OK;
        done_ = true;
        ComPtr<IMmDocument> document;
        if (FAILED(event->get_Document(document.ReleaseAndGetAddressOf())) || !document) return S_OK;
        // Not inside the call that caused the event: the user edits later.
        QTimer::singleShot(0, [document] { EditMap(document.Get()); });
        return S_OK;
    }

private:
    ComPtr<IMmEventSubscription> subscription_;
    DWORD cookie_ = 0;
    bool done_ = false;  // once per run: later changes of the central topic do not count
};

}  // namespace

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    if (!rclsid || !riid || !ppv) return E_POINTER;
    return qmx::GetClassObjectFor<HostEditor>(*rclsid, kClsid, *riid, ppv);
}
