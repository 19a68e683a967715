#include "maphost/remote/event_routes.h"

#include <QDBusMessage>
#include <QObject>
#include <QTimer>
#include <map>

#include "automation/com_object.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/object_proxy.h"
#include "maphost/api/map_codes.h"
#include "maphost/remote/map_event_signals.h"

namespace qmx::map {

namespace {

// An event rebuilt from its signal.
class RemoteEventData final : public ComObject<IMmEventData> {
public:
    RemoteEventData(LONG kind, LONG phase, LONG objectType, IMmDocument* document, IUnknown* object)
        : kind_(kind), phase_(phase), objectType_(objectType), document_(document), object_(object)
    {
    }
    HRESULT get_Kind(LONG* pKind) override { return Give(pKind, kind_); }
    HRESULT get_Phase(LONG* pPhase) override { return Give(pPhase, phase_); }
    HRESULT get_ObjectType(LONG* pType) override { return Give(pType, objectType_); }
    HRESULT get_Document(IMmDocument** ppDocument) override
    {
        if (!ppDocument) return E_POINTER;
        return document_.CopyTo(ppDocument);
    }
    HRESULT get_Object(IUnknown** ppObject) override
    {
        if (!ppObject) return E_POINTER;
        return object_.CopyTo(ppObject);
    }

private:
    static HRESULT Give(LONG* target, LONG value)
    {
        if (!target) return E_POINTER;
        *target = value;
        return S_OK;
    }

    LONG kind_, phase_, objectType_;
    ComPtr<IMmDocument> document_;
    ComPtr<IUnknown> object_;
};

// The sinks of this process on one remote connection point, by the cookies
// the host gave them.
class EventDispatcher final : public ComObject<IMmEventSignals> {
public:
    HRESULT OnMapEvent(DWORD cookie, LONG kind, LONG phase, LONG objectType, IMmDocument* pDocument,
                       IMmTopic* pTopic) override
    {
        auto it = sinks_.find(cookie);
        if (it == sinks_.end()) return S_OK;  // unadvised while the event was on its way
        const ComPtr<IMmEventSink> sink = it->second;
        IUnknown* object = objectType == kObjectDocument ? static_cast<IUnknown*>(pDocument)
                                                         : static_cast<IUnknown*>(pTopic);
        ComPtr<RemoteEventData> data = MakeObject<RemoteEventData>(kind, phase, objectType, pDocument, object);
        if (!data) return E_OUTOFMEMORY;
        return sink->OnEvent(static_cast<IMmEventData*>(data.Get()));
    }

    void Add(DWORD cookie, ComPtr<IMmEventSink> sink) { sinks_[cookie] = std::move(sink); }
    bool Remove(DWORD cookie) { return sinks_.erase(cookie) != 0; }
    void Clear() { sinks_.clear(); }
    bool Has(DWORD cookie) const { return sinks_.count(cookie) != 0; }
    bool Empty() const { return sinks_.empty(); }
    std::size_t Count() const { return sinks_.size(); }

private:
    std::map<DWORD, ComPtr<IMmEventSink>> sinks_;
};

struct Route {
    std::uint32_t subscription = 0;
    ComPtr<EventDispatcher> dispatcher;
};

// Routes by "bus path" of the connection point.
std::map<QString, Route>& Routes()
{
    static auto* routes = new std::map<QString, Route>;  // lives as long as the process
    return *routes;
}

QString RouteKey(const QString& bus, const QString& path) { return bus + QLatin1Char(' ') + path; }

void DropRoute(const QString& key)
{
    auto it = Routes().find(key);
    if (it == Routes().end()) return;
    Route route = std::move(it->second);
    Routes().erase(it);
    remoting::Apartment::Instance().Unsubscribe(route.subscription);
}

// Signals sent before the host's answer may still wait to be delivered:
// they are taken (their references released) before the subscription ends,
// unless a sink was advised again meanwhile.
void DropWhenDrained(const QString& key)
{
    QTimer::singleShot(0, &remoting::Apartment::Instance(), [key] {
        auto route = Routes().find(key);
        if (route != Routes().end() && route->second.dispatcher->Empty()) DropRoute(key);
    });
}

void WatchPeers()
{
    static bool watching = false;
    if (watching) return;
    watching = true;
    remoting::Apartment& apartment = remoting::Apartment::Instance();
    QObject::connect(&apartment, &remoting::Apartment::PeerLeft, &apartment, [](const QString& bus) {
        const QString prefix = bus + QLatin1Char(' ');
        QStringList gone;
        for (const auto& [key, route] : Routes()) {
            if (key.startsWith(prefix)) gone << key;
        }
        for (const QString& key : gone) DropRoute(key);
    });
}

ComPtr<remoting::IRemoteObject> RemoteOf(IUnknown* proxy)
{
    ComPtr<remoting::IRemoteObject> remote;
    QueryTo(proxy, remote.ReleaseAndGetAddressOf());
    return remote;
}

}  // namespace

HRESULT MmConnectionPointProxy::Advise(IUnknown* pSink, DWORD* pdwCookie)
{
    if (!pSink || !pdwCookie) return E_POINTER;
    *pdwCookie = 0;
    ComPtr<IMmEventSink> sink;
    if (FAILED(QueryTo(pSink, sink.ReleaseAndGetAddressOf()))) QMX_REMOTE_CALL(Advise, pSink, pdwCookie);

    const ComPtr<remoting::IRemoteObject> remote = RemoteOf(static_cast<IMmConnectionPoint*>(this));
    if (!remote) return E_UNEXPECTED;
    const QString key = RouteKey(remote->RemoteBus(), remote->RemotePath());
    WatchPeers();
    // Subscribed before the host advises, so that no event is missed.
    if (Routes().count(key) == 0) {
        Route route;
        route.dispatcher = MakeObject<EventDispatcher>();
        if (!route.dispatcher) return E_OUTOFMEMORY;
        RETURN_IF_FAILED(remoting::Apartment::Instance().Subscribe(static_cast<IMmConnectionPoint*>(this),
                                                                  IMmEventSignals::iid, route.dispatcher.Get(),
                                                                  &route.subscription));
        Routes().emplace(key, std::move(route));
    }
    const ComPtr<EventDispatcher> dispatcher = Routes()[key].dispatcher;

    QDBusMessage reply;
    HRESULT hr = Owner()->Transmit(*Info(), QStringLiteral("AdviseEvents"), {}, &reply);
    DWORD cookie = 0;
    if (SUCCEEDED(hr)) {
        const QVariantList out = reply.arguments();
        if (reply.signature() != QLatin1String("iu")) {
            hr = RPC_E_INVALID_DATA;
        } else {
            hr = HRESULT(out[0].toInt());
            cookie = out[1].toUInt();
        }
    }
    if (SUCCEEDED(hr)) {
        dispatcher->Add(cookie, sink);
        *pdwCookie = cookie;
    } else if (dispatcher->Empty()) {
        DropRoute(key);
    }
    return hr;
}

HRESULT MmConnectionPointProxy::Unadvise(DWORD dwCookie)
{
    const ComPtr<remoting::IRemoteObject> remote = RemoteOf(static_cast<IMmConnectionPoint*>(this));
    const QString key = remote ? RouteKey(remote->RemoteBus(), remote->RemotePath()) : QString();
    auto it = Routes().find(key);
    if (it == Routes().end() || !it->second.dispatcher->Has(dwCookie)) QMX_REMOTE_CALL(Unadvise, dwCookie);

    const ComPtr<EventDispatcher> dispatcher = it->second.dispatcher;
    // Once the host answers it sends nothing more for the cookie.
    const HRESULT hr = this->Call("Unadvise", &Interface::Unadvise, dwCookie);
    dispatcher->Remove(dwCookie);
    if (dispatcher->Empty()) DropWhenDrained(key);
    return hr == RPC_E_DISCONNECTED ? S_OK : hr;
}

HRESULT MmEventSubscriptionProxy::Unregister()
{
    // Only when some sink of this process may hear the registration.
    ComPtr<IMmConnectionPoint> point;
    if (!Routes().empty()) get_ConnectionPoint(point.ReleaseAndGetAddressOf());
    const HRESULT hr = this->Call("Unregister", &Interface::Unregister);
    if (const ComPtr<remoting::IRemoteObject> remote = point ? RemoteOf(point.Get()) : nullptr) {
        const QString key = RouteKey(remote->RemoteBus(), remote->RemotePath());
        if (auto it = Routes().find(key); it != Routes().end()) {
            it->second.dispatcher->Clear();
            DropWhenDrained(key);
        }
    }
    return hr;
}

std::size_t RemoteEventSinkCount()
{
    std::size_t count = 0;
    for (const auto& [key, route] : Routes()) count += route.dispatcher->Count();
    return count;
}

}  // namespace qmx::map
