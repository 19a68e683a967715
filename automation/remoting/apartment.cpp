#include "automation/remoting/apartment.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QDBusServiceWatcher>
#include <QTimer>

#include "automation/remoting/event_emitter.h"
#include "automation/remoting/object_proxy.h"

namespace qmx::remoting {

namespace {

const QString kObjectPrefix = QStringLiteral("/org/qmx/remoting/o");

std::optional<GUID> GuidArgument(const QVariant& value)
{
    if (value.metaType() != QMetaType::fromType<QString>()) return std::nullopt;
    return ParseGuid(value.toString().toStdString());
}

IUnknown* IdentityOf(IUnknown* object)
{
    void* identity = nullptr;
    if (FAILED(object->QueryInterface(IID_IUnknown, &identity))) return nullptr;
    auto* result = static_cast<IUnknown*>(identity);
    result->Release();  // the object is held by the caller
    return result;
}

}  // namespace

WireObject MarshalObject(IUnknown* object, const QString& peer) { return Apartment::Instance().Marshal(object, peer); }

HRESULT UnmarshalObject(const WireObject& wire, REFIID riid, void** ppv)
{
    return Apartment::Instance().Unmarshal(wire, riid, ppv);
}

Apartment& Apartment::Instance()
{
    static Apartment* apartment = new Apartment;  // lives as long as the process
    return *apartment;
}

Apartment::Apartment() : connection_(QDBusConnection::sessionBus())
{
    RegisterWireTypes();
    connected_ = connection_.isConnected();
    if (!connected_) return;
    uniqueName_ = connection_.baseService();
    connection_.registerVirtualObject(QLatin1String(kRemotingPath), this, QDBusConnection::SubPath);
    watcher_ = new QDBusServiceWatcher(QString(), connection_, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, &Apartment::PeerVanished);
}

void Apartment::Watch(const QString& bus)
{
    if (!watcher_ || bus.isEmpty() || !watched_.insert(bus).second) return;
    watcher_->addWatchedService(bus);
}

std::size_t Apartment::HeldObjects() const
{
    std::size_t held = 0;
    for (const auto& [path, entry] : exports_) held += entry.held ? 1 : 0;
    return held;
}

WireObject Apartment::Marshal(IUnknown* object, const QString& peer)
{
    if (!object || peer.isEmpty() || !connected_ || PeerGone(peer)) return {};
    ComPtr<IRemoteObject> remote;
    if (SUCCEEDED(QueryTo(object, remote.ReleaseAndGetAddressOf())) && remote->RemoteBus() == peer) {
        return {remote->RemoteBus(), QDBusObjectPath(remote->RemotePath())};
    }
    IUnknown* identity = IdentityOf(object);
    if (!identity) return {};
    const QString path = PinPath(identity);
    Export& entry = exports_[path];
    --entry.pins;  // PinPath counted a pin; this reference is a peer's
    ++entry.refs[peer];
    entry.held = identity;
    Watch(peer);
    return {uniqueName_, QDBusObjectPath(path)};
}

QString Apartment::PinPath(IUnknown* identity)
{
    auto found = pathOf_.find(identity);
    if (found != pathOf_.end()) {
        ++exports_[found->second].pins;
        return found->second;
    }
    const QString path = kObjectPrefix + QString::number(++nextPath_);
    Export& entry = exports_[path];
    entry.identity = identity;
    entry.pins = 1;
    pathOf_.emplace(identity, path);
    return path;
}

void Apartment::Unpin(const QString& path)
{
    auto it = exports_.find(path);
    if (it == exports_.end()) return;
    --it->second.pins;
    std::vector<ComPtr<IUnknown>> dropped;
    Settle(path, dropped);
}

void Apartment::Settle(const QString& path, std::vector<ComPtr<IUnknown>>& dropped)
{
    auto it = exports_.find(path);
    if (it == exports_.end()) return;
    Export& entry = it->second;
    for (auto ref = entry.refs.begin(); ref != entry.refs.end();) {
        ref = ref->second == 0 ? entry.refs.erase(ref) : std::next(ref);
    }
    if (entry.refs.empty() && entry.held) dropped.push_back(std::move(entry.held));
    if (entry.refs.empty() && entry.pins <= 0) {
        pathOf_.erase(entry.identity);
        exports_.erase(it);
    }
}

void Apartment::AfterRelease(std::size_t heldBefore)
{
    if (heldBefore > 0 && HeldObjects() == 0 && lastRelease_) lastRelease_();
}

HRESULT Apartment::Unmarshal(const WireObject& wire, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (wire.IsNull()) return E_POINTER;
    const QString path = wire.path.path();
    if (wire.bus == uniqueName_) {
        auto it = exports_.find(path);
        if (it == exports_.end() || !it->second.held) return RPC_E_DISCONNECTED;
        return it->second.held->QueryInterface(riid, ppv);
    }
    if (PeerGone(wire.bus)) return RPC_E_DISCONNECTED;
    const QString key = wire.bus + QLatin1Char(' ') + path;
    ObjectProxy* proxy = nullptr;
    if (auto it = proxies_.find(key); it != proxies_.end()) {
        proxy = it->second;
    } else {
        proxy = new ObjectProxy(wire.bus, path);
        proxies_.emplace(key, proxy);
        Watch(wire.bus);
    }
    proxy->AddRemoteRef();
    // Held across the query, so that a proxy that answers nothing still
    // gives its reference back.
    ComPtr<IUnknown> keep(static_cast<IRemoteObject*>(proxy));
    return proxy->TypedFacet(riid, ppv);
}

void Apartment::ForgetProxy(ObjectProxy* proxy, std::uint32_t remoteRefs)
{
    const QString key = proxy->RemoteBus() + QLatin1Char(' ') + proxy->RemotePath();
    if (auto it = proxies_.find(key); it != proxies_.end() && it->second == proxy) proxies_.erase(it);
    if (remoteRefs == 0 || PeerGone(proxy->RemoteBus()) || !connected_) return;
    QDBusMessage release = QDBusMessage::createMethodCall(proxy->RemoteBus(), QLatin1String(kRemotingPath),
                                                          QLatin1String(kRemotingInterface),
                                                          QStringLiteral("ReleaseRefs"));
    release << QVariant::fromValue(QDBusObjectPath(proxy->RemotePath())) << QVariant::fromValue<quint32>(remoteRefs);
    release.setAutoStartService(false);
    connection_.send(release);
}

HRESULT Apartment::Call(const QDBusMessage& call, QDBusMessage* reply)
{
    if (!connected_ || PeerGone(call.service())) return RPC_E_DISCONNECTED;
    QDBusMessage message = call;
    message.setAutoStartService(false);
    ++waitingCalls_;
    const QDBusMessage answer = WaitForReply(connection_.asyncCall(message, callTimeoutMs_));
    if (--waitingCalls_ == 0 && !postponedReleases_.empty()) {
        // After the caller has taken what the reply names.
        QMetaObject::invokeMethod(this, &Apartment::ReleasePostponed, Qt::QueuedConnection);
    }
    if (answer.type() == QDBusMessage::ReplyMessage) {
        *reply = answer;
        return S_OK;
    }
    const QDBusError error(answer);
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::Disconnected:
    case QDBusError::UnknownObject:
        return RPC_E_DISCONNECTED;
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        if (!connection_.interface()->isServiceRegistered(call.service()).value()) {
            PeerVanished(call.service());
            return RPC_E_DISCONNECTED;
        }
        return RPC_E_TIMEOUT;
    case QDBusError::UnknownInterface: return E_NOINTERFACE;
    case QDBusError::InvalidArgs:
    case QDBusError::InvalidSignature: return E_INVALIDARG;
    default:
        if (error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")) return RPC_E_DISCONNECTED;
        return RPC_E_SERVERFAULT;
    }
}

QDBusMessage Apartment::WaitForReply(const QDBusPendingCall& pending)
{
    // The wait runs an event loop of its own, ended by the watcher's
    // signal; the watcher hooks onto the call under its lock, so a reply the
    // connection's thread takes in before the wait begins still ends it. The
    // blocking call of the connection does not: it can miss a reply that
    // comes that early and then waits for ever, the call's time limit being
    // gone with the reply. The check timer ends the wait, whatever happens to
    // the signal, once the call is finished.
    if (!pending.isFinished()) {
        QDBusPendingCallWatcher watcher(pending);
        QEventLoop loop;
        connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        QTimer check;
        connect(&check, &QTimer::timeout, &loop, [&] {
            if (pending.isFinished()) loop.quit();
        });
        check.start(kReplyCheckMs);
        if (!pending.isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    }
    return pending.reply();
}

void Apartment::PeerVanished(const QString& bus)
{
    if (bus.isEmpty() || bus == uniqueName_) return;
    gone_.insert(bus);
    if (watcher_ && watched_.erase(bus)) watcher_->removeWatchedService(bus);
    const std::size_t heldBefore = HeldObjects();
    std::vector<ComPtr<IUnknown>> dropped;
    QStringList touched;
    for (auto& [path, entry] : exports_) {
        if (entry.refs.erase(bus)) touched << path;
    }
    for (const QString& path : touched) Settle(path, dropped);
    dropped.clear();  // may run destructors that call back in
    AfterRelease(heldBefore);
    Q_EMIT PeerLeft(bus);
}

void Apartment::DisconnectAll()
{
    std::vector<ComPtr<IUnknown>> dropped;
    QStringList paths;
    for (auto& [path, entry] : exports_) {
        entry.refs.clear();
        paths << path;
    }
    for (const QString& path : paths) Settle(path, dropped);
    dropped.clear();
}

bool Apartment::ServeClassObject(IClassFactory* factory, const QString& busName)
{
    if (!connected_ || !factory) return false;
    factory_ = factory;
    activationName_ = busName;
    if (!connection_.registerService(busName)) {
        factory_ = nullptr;
        return false;
    }
    // A client that went away between starting this program and asking it
    // leaves nobody to release it: the program ends as after a last release.
    QTimer::singleShot(kUnclaimedServerMs, this, [this] {
        if (factory_ && lastRelease_ && HeldObjects() == 0) lastRelease_();
    });
    return true;
}

bool Apartment::handleMessage(const QDBusMessage& message, const QDBusConnection&)
{
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    if (message.path() == QLatin1String(kRemotingPath)) {
        ServeControl(message);
    } else {
        ServeObject(message);
    }
    return true;
}

QString Apartment::introspect(const QString&) const { return {}; }

void Apartment::Reply(const QDBusMessage& message, const QVariantList& args)
{
    if (message.isReplyRequired()) connection_.send(message.createReply(args));
}

void Apartment::Fail(const QDBusMessage& message, const QString& name, const QString& text)
{
    if (message.isReplyRequired()) connection_.send(message.createErrorReply(name, text));
}

void Apartment::Release(const QString& peer, const QString& path, quint32 count)
{
    auto it = exports_.find(path);
    if (it == exports_.end()) return;
    // Only the peer's own references: a peer cannot release another's.
    auto ref = it->second.refs.find(peer);
    if (ref == it->second.refs.end()) return;
    const std::size_t heldBefore = HeldObjects();
    ref->second -= std::min(ref->second, count);
    std::vector<ComPtr<IUnknown>> dropped;
    Settle(path, dropped);
    dropped.clear();
    AfterRelease(heldBefore);
}

void Apartment::ReleasePostponed()
{
    if (waitingCalls_ > 0) return;  // the next call's end comes back here
    std::vector<PostponedRelease> releases;
    releases.swap(postponedReleases_);
    for (const PostponedRelease& r : releases) Release(r.peer, r.path, r.count);
}

void Apartment::ServeControl(const QDBusMessage& message)
{
    const QString member = message.member();
    if (message.interface() != QLatin1String(kRemotingInterface)) {
        return Fail(message, QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
                    QStringLiteral("No such interface here"));
    }
    const QVariantList args = message.arguments();
    if (member == QLatin1String("ReleaseRefs")) {
        if (message.signature() != QLatin1String("ou")) {
            return Fail(message, QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                        QStringLiteral("ReleaseRefs takes an object path and a count"));
        }
        const QString path = args[0].value<QDBusObjectPath>().path();
        const quint32 count = args[1].toUInt();
        // A release can overtake the reply a call of ours waits for, in
        // which the peer hands back an object of ours it let go of: that
        // object must still be found, so releases wait for our calls.
        if (waitingCalls_ > 0) {
            postponedReleases_.push_back({message.service(), path, count});
            return Reply(message, {});
        }
        Release(message.service(), path, count);
        return Reply(message, {});
    }
    if (member == QLatin1String("CreateInstance")) {
        const auto iid = args.size() == 1 ? GuidArgument(args[0]) : std::nullopt;
        if (message.signature() != QLatin1String("s") || !iid) {
            return Fail(message, QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                        QStringLiteral("CreateInstance takes an interface ID"));
        }
        if (!factory_) {
            return Reply(message, {QVariant::fromValue<qint32>(CLASS_E_CLASSNOTAVAILABLE),
                                   QVariant::fromValue(WireObject{})});
        }
        ComPtr<IUnknown> object;
        const HRESULT hr = factory_->CreateInstance(nullptr, *iid, reinterpret_cast<void**>(object.ReleaseAndGetAddressOf()));
        WireObject wire;
        if (SUCCEEDED(hr) && object) {
            wire = Marshal(object.Get(), message.service());
            // Single use: the next client starts a process of its own.
            factory_ = nullptr;
            connection_.unregisterService(activationName_);
        }
        return Reply(message, {QVariant::fromValue<qint32>(hr), QVariant::fromValue(wire)});
    }
    Fail(message, QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"), QStringLiteral("No such method"));
}

void Apartment::ServeObject(const QDBusMessage& message)
{
    auto it = exports_.find(message.path());
    if (it == exports_.end() || !it->second.held) {
        return Fail(message, QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
                    QStringLiteral("No object at this path"));
    }
    ComPtr<IUnknown> object = it->second.held;  // the call may release the entry
    const QVariantList args = message.arguments();
    if (message.interface() == QLatin1String(kObjectInterface) && message.member() == QLatin1String("QueryInterface")) {
        const auto iid = args.size() == 1 ? GuidArgument(args[0]) : std::nullopt;
        if (message.signature() != QLatin1String("s") || !iid) {
            return Fail(message, QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                        QStringLiteral("QueryInterface takes an interface ID"));
        }
        ComPtr<IUnknown> answer;
        const HRESULT hr = object->QueryInterface(*iid, reinterpret_cast<void**>(answer.ReleaseAndGetAddressOf()));
        return Reply(message, {QVariant::fromValue<qint32>(hr)});
    }
    const InterfaceInfo* face = FindInterface(message.interface());
    void* typed = nullptr;
    if (!face || FAILED(object->QueryInterface(face->iid, &typed))) {
        return Fail(message, QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
                    QStringLiteral("The object does not answer this interface"));
    }
    ComPtr<IUnknown> typedHold;
    typedHold.Attach(static_cast<IUnknown*>(typed));
    const MethodInfo* method = face->Find(message.member());
    if (!method) {
        return Fail(message, QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"), QStringLiteral("No such method"));
    }
    if (message.signature() != method->inSignature) {
        return Fail(message, QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                    QStringLiteral("The method takes the signature ") + method->inSignature);
    }
    QVariantList reply;
    callers_.push_back(message.service());
    const bool served = method->stub(typed, args, 0, Context{message.service()}, reply);
    callers_.pop_back();
    if (!served) {
        return Fail(message, QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                    QStringLiteral("An argument is out of range or names no object"));
    }
    Reply(message, reply);
}

HRESULT Apartment::CreateEventEmitter(IUnknown* source, REFIID sinkIid, void** ppv, const QString& peer)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!source) return E_POINTER;
    const InterfaceInfo* face = FindInterface(sinkIid);
    IUnknown* identity = IdentityOf(source);
    if (!face || !identity) return E_NOINTERFACE;
    auto* emitter = new EventEmitter(PinPath(identity), face, peer);
    return emitter->EndpointQueryInterface(sinkIid, ppv);
}

QString Apartment::SignalKey(const Subscription& s, const QString& member) const
{
    return s.bus + QLatin1Char(' ') + s.path + QLatin1Char(' ') + s.face->dbusName + QLatin1Char(' ') + member;
}

HRESULT Apartment::Subscribe(IUnknown* sourceProxy, REFIID sinkIid, IUnknown* sink, std::uint32_t* cookie)
{
    if (!cookie || !sourceProxy || !sink) return E_POINTER;
    *cookie = 0;
    ComPtr<IRemoteObject> remote;
    if (FAILED(QueryTo(sourceProxy, remote.ReleaseAndGetAddressOf()))) return E_INVALIDARG;
    const InterfaceInfo* face = FindInterface(sinkIid);
    if (!face) return E_NOINTERFACE;
    void* typed = nullptr;
    if (FAILED(sink->QueryInterface(sinkIid, &typed))) return E_NOINTERFACE;
    ComPtr<IUnknown> hold;
    hold.Attach(static_cast<IUnknown*>(typed));
    Subscription s{++nextCookie_, remote->RemoteBus(), remote->RemotePath(), face, hold, typed};
    for (const MethodInfo& method : face->methods) {
        const QString key = SignalKey(s, method.name);
        if (signalConnections_[key]++ == 0) {
            connection_.connect(s.bus, s.path, face->dbusName, method.name, this, SLOT(DeliverSignal(QDBusMessage)));
        }
    }
    *cookie = s.cookie;
    subscriptions_.push_back(std::move(s));
    return S_OK;
}

HRESULT Apartment::Unsubscribe(std::uint32_t cookie)
{
    for (auto it = subscriptions_.begin(); it != subscriptions_.end(); ++it) {
        if (it->cookie != cookie) continue;
        Subscription s = std::move(*it);
        subscriptions_.erase(it);
        for (const MethodInfo& method : s.face->methods) {
            const QString key = SignalKey(s, method.name);
            if (--signalConnections_[key] == 0) {
                signalConnections_.erase(key);
                connection_.disconnect(s.bus, s.path, s.face->dbusName, method.name, this,
                                       SLOT(DeliverSignal(QDBusMessage)));
            }
        }
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

void Apartment::Emit(const QString& path, const InterfaceInfo& face, const QString& member, const QVariantList& args,
                     const QString& peer)
{
    if (!connected_) return;
    QDBusMessage signal = peer.isEmpty() ? QDBusMessage::createSignal(path, face.dbusName, member)
                                         : QDBusMessage::createTargetedSignal(peer, path, face.dbusName, member);
    QVariantList all;
    all << CurrentCaller() << args;
    signal.setArguments(all);
    connection_.send(signal);
}

void Apartment::DeliverSignal(const QDBusMessage& message)
{
    // A sink's calls run a nested event loop; a signal arriving meanwhile
    // waits, so that every sink hears the events in the order they happened.
    pendingSignals_.push_back(message);
    if (delivering_) return;
    delivering_ = true;
    while (!pendingSignals_.empty()) {
        const QDBusMessage next = std::move(pendingSignals_.front());
        pendingSignals_.pop_front();
        DeliverOne(next);
    }
    delivering_ = false;
}

void Apartment::DeliverOne(const QDBusMessage& message)
{
    const QVariantList args = message.arguments();
    if (args.isEmpty() || args[0].metaType() != QMetaType::fromType<QString>()) return;
    // Events caused by this process's own calls have been seen already.
    if (args[0].toString() == uniqueName_) return;
    std::vector<Subscription> matching;
    for (const auto& s : subscriptions_) {
        if (s.bus == message.service() && s.path == message.path() && s.face->dbusName == message.interface()) {
            matching.push_back(s);  // a sink may unsubscribe while it is called
        }
    }
    for (const auto& s : matching) {
        const MethodInfo* method = s.face->Find(message.member());
        if (!method || message.signature() != QLatin1String("s") + method->inSignature) continue;
        QVariantList ignored;
        method->stub(s.sinkInterface, args, 1, Context{message.service()}, ignored);
    }
}

}  // namespace qmx::remoting
