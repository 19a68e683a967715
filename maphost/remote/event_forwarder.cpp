#include "maphost/remote/event_forwarder.h"

#include <QObject>
#include <map>

#include "automation/com_object.h"
#include "automation/remoting/apartment.h"
#include "maphost/api/map_codes.h"
#include "maphost/remote/map_event_signals.h"

namespace qmx::map {

namespace {

class EventForwarder;

// The forwarders of each subscribing process, to unadvise them when it
// leaves. Entries are removed by the forwarders' destructors.
std::multimap<QString, EventForwarder*>& Forwarders()
{
    static auto* table = new std::multimap<QString, EventForwarder*>;  // lives as long as the process
    return *table;
}

class EventForwarder final : public ComObject<IMmEventSink> {
public:
    EventForwarder(ComPtr<IMmConnectionPoint> point, ComPtr<IMmEventSignals> emitter, QString peer)
        : point_(std::move(point)), emitter_(std::move(emitter)), peer_(std::move(peer))
    {
        Forwarders().emplace(peer_, this);
    }
    ~EventForwarder() override
    {
        auto& table = Forwarders();
        for (auto [it, end] = table.equal_range(peer_); it != end; ++it) {
            if (it->second == this) {
                table.erase(it);
                break;
            }
        }
    }

    HRESULT OnEvent(IUnknown* pEvent) override
    {
        ComPtr<IMmEventData> data;
        if (!pEvent || FAILED(QueryTo(pEvent, data.ReleaseAndGetAddressOf()))) return E_INVALIDARG;
        LONG kind = 0, phase = 0, type = 0;
        ComPtr<IMmDocument> document;
        ComPtr<IUnknown> object;
        ComPtr<IMmTopic> topic;
        data->get_Kind(&kind);
        data->get_Phase(&phase);
        data->get_ObjectType(&type);
        data->get_Document(document.ReleaseAndGetAddressOf());
        if (type == kObjectTopic && SUCCEEDED(data->get_Object(object.ReleaseAndGetAddressOf())) && object) {
            QueryTo(object.Get(), topic.ReleaseAndGetAddressOf());
        }
        ComPtr<IMmEventSignals> emitter = emitter_;  // the subscriber may unadvise meanwhile
        if (kind & kEventTopicMask) return emitter->OnMapEvent(cookie_, kind, phase, type, document.Get(), topic.Get());
        const remoting::Apartment::NobodyCalling nobody;
        return emitter->OnMapEvent(cookie_, kind, phase, type, document.Get(), topic.Get());
    }

    void SetCookie(DWORD cookie) { cookie_ = cookie; }
    // Ends the forwarding; the connection point drops this sink.
    void Unadvise() const
    {
        const ComPtr<IMmConnectionPoint> point = point_;
        point->Unadvise(cookie_);
    }

private:
    ComPtr<IMmConnectionPoint> point_;
    ComPtr<IMmEventSignals> emitter_;
    QString peer_;
    DWORD cookie_ = 0;
};

void WatchPeers()
{
    static bool watching = false;
    if (watching) return;
    watching = true;
    remoting::Apartment& apartment = remoting::Apartment::Instance();
    QObject::connect(&apartment, &remoting::Apartment::PeerLeft, &apartment, [](const QString& bus) {
        std::vector<ComPtr<EventForwarder>> leaving;
        for (auto [it, end] = Forwarders().equal_range(bus); it != end; ++it) leaving.emplace_back(it->second);
        for (const auto& forwarder : leaving) forwarder->Unadvise();
    });
}

HRESULT AdviseFor(IMmConnectionPoint* point, const QString& peer, DWORD* cookie)
{
    *cookie = 0;
    if (peer.isEmpty()) return E_INVALIDARG;
    WatchPeers();
    ComPtr<IMmEventSignals> emitter;
    RETURN_IF_FAILED(remoting::Apartment::Instance().CreateEventEmitter(
        point, IMmEventSignals::iid, reinterpret_cast<void**>(emitter.ReleaseAndGetAddressOf()), peer));
    ComPtr<EventForwarder> forwarder = MakeObject<EventForwarder>(ComPtr<IMmConnectionPoint>(point), emitter, peer);
    if (!forwarder) return E_OUTOFMEMORY;
    RETURN_IF_FAILED(point->Advise(static_cast<IMmEventSink*>(forwarder.Get()), cookie));
    forwarder->SetCookie(*cookie);
    return S_OK;
}

bool ServeAdviseEvents(void* object, const QVariantList& args, int first, const remoting::Context& context,
                       QVariantList& reply)
{
    if (args.size() != first) return false;
    DWORD cookie = 0;
    const HRESULT hr = AdviseFor(static_cast<IMmConnectionPoint*>(object), context.peer, &cookie);
    reply << QVariant::fromValue<qint32>(hr) << QVariant::fromValue<quint32>(cookie);
    return true;
}

}  // namespace

remoting::MethodInfo AdviseEventsMethod()
{
    return remoting::MethodInfo{QStringLiteral("AdviseEvents"), QString(), &ServeAdviseEvents};
}

std::size_t ForwardedEventSinkCount() { return Forwarders().size(); }

}  // namespace qmx::map
