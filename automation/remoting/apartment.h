// The remoting of one process: its connection to the session bus, the local
// objects it has handed out to other processes, the proxies it holds for
// theirs, and the events between them.
//
// Calls arrive and are made on the one thread of the process. A call waiting
// for its reply runs a nested event loop that keeps serving incoming calls,
// as a single-threaded apartment does, so a callee may call back into its
// caller without deadlock.
#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <unordered_map>
#include <vector>

#include "automation/class_factory.h"
#include "automation/remoting/interface_face.h"

class QDBusPendingCall;
class QDBusServiceWatcher;

namespace qmx::remoting {

class ObjectProxy;

// The time a call may wait for its reply; a vanished peer fails it at once.
inline constexpr int kCallTimeoutMs = 120000;

// How often a call waiting for its reply looks whether the reply has come,
// whatever becomes of the notice that it has.
inline constexpr int kReplyCheckMs = 200;

// How long a started server waits for its client to ask for the object.
inline constexpr int kUnclaimedServerMs = 60000;

inline constexpr const char* kRemotingPath = "/org/qmx/remoting";
inline constexpr const char* kRemotingInterface = "org.qmx.Remoting";
inline constexpr const char* kObjectInterface = "org.qmx.Remoting.Object";

class Apartment final : public QDBusVirtualObject {
    Q_OBJECT
public:
    // The apartment of this process on the session bus; needs a
    // QCoreApplication. Not connected when there is no session bus.
    static Apartment& Instance();

    bool IsConnected() const { return connected_; }
    QString UniqueName() const { return uniqueName_; }
    QDBusConnection Connection() const { return connection_; }

    // Object references across the bus (see wire_codec.h).
    WireObject Marshal(IUnknown* object, const QString& peer);
    HRESULT Unmarshal(const WireObject& wire, REFIID riid, void** ppv);

    // Sends a method call and waits for its reply, serving incoming calls.
    // D-Bus errors become results: RPC_E_DISCONNECTED for a peer or object
    // that is gone, RPC_E_TIMEOUT, E_NOINTERFACE, E_INVALIDARG,
    // RPC_E_SERVERFAULT.
    HRESULT Call(const QDBusMessage& call, QDBusMessage* reply);
    // The time limit of Call, kCallTimeoutMs unless set (tests set a short
    // one); a value below 1 ms restores the default.
    void SetCallTimeout(int ms) { callTimeoutMs_ = ms > 0 ? ms : kCallTimeoutMs; }
    int CallTimeout() const { return callTimeoutMs_; }
    bool PeerGone(const QString& bus) const { return gone_.count(bus) != 0; }

    // Server side: answers CreateInstance once under busName through the
    // factory, then gives the name up (single use).
    bool ServeClassObject(IClassFactory* factory, const QString& busName);
    // Called when the last object held for other processes is released (by
    // them, or because they vanished).
    void SetLastReleaseHandler(std::function<void()> handler) { lastRelease_ = std::move(handler); }
    // Drops every reference other processes hold on local objects: their
    // later calls fail as calls to a disconnected object.
    void DisconnectAll();
    // Local objects that other processes hold.
    std::size_t HeldObjects() const;
    // The unique bus name of the process whose call is being served, empty
    // when none.
    QString CurrentCaller() const { return callers_.empty() ? QString() : callers_.back(); }

    // Serves the calls made within it as if nobody were calling: events they
    // raise are not taken for the results of some peer's own call.
    class NobodyCalling {
    public:
        NobodyCalling() { Instance().callers_.push_back(QString()); }
        ~NobodyCalling() { Instance().callers_.pop_back(); }
        NobodyCalling(const NobodyCalling&) = delete;
        NobodyCalling& operator=(const NobodyCalling&) = delete;
    };

    // Events. An emitter implements the sink interface on the source's side:
    // each call becomes a signal from the source's path, tagged with the
    // caller being served. A subscription delivers the signals of a proxy's
    // object to a local sink, dropping those caused by this process's calls.
    // An emitter for one peer sends to that peer only and counts the object
    // arguments for it (event_emitter.h).
    HRESULT CreateEventEmitter(IUnknown* source, REFIID sinkIid, void** ppv, const QString& peer = {});
    HRESULT Subscribe(IUnknown* sourceProxy, REFIID sinkIid, IUnknown* sink, std::uint32_t* cookie);
    HRESULT Unsubscribe(std::uint32_t cookie);

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

    // Used by proxies and emitters.
    void ForgetProxy(ObjectProxy* proxy, std::uint32_t remoteRefs);
    QString PinPath(IUnknown* identity);
    void Unpin(const QString& path);
    void Emit(const QString& path, const InterfaceInfo& face, const QString& member, const QVariantList& args,
              const QString& peer = {});

Q_SIGNALS:
    // A peer this process exported to or imported from left the bus; its
    // references are dropped already.
    void PeerLeft(const QString& bus);

private Q_SLOTS:
    void DeliverSignal(const QDBusMessage& message);

private:
    struct Export {
        IUnknown* identity = nullptr;
        ComPtr<IUnknown> held;  // set while some peer holds a reference
        std::map<QString, std::uint32_t> refs;
        int pins = 0;
    };
    struct Subscription {
        std::uint32_t cookie;
        QString bus, path;
        const InterfaceInfo* face;
        ComPtr<IUnknown> sink;
        void* sinkInterface;
    };

    Apartment();
    void Watch(const QString& bus);
    void PeerVanished(const QString& bus);
    // Serves incoming messages until the call has its reply (or error).
    QDBusMessage WaitForReply(const QDBusPendingCall& pending);
    // Drops released entries; the objects are released by the caller after
    // the table is consistent again.
    void Settle(const QString& path, std::vector<ComPtr<IUnknown>>& dropped);
    void AfterRelease(std::size_t heldBefore);
    void DeliverOne(const QDBusMessage& message);
    void Release(const QString& peer, const QString& path, quint32 count);
    void ReleasePostponed();
    void ServeControl(const QDBusMessage& message);
    void ServeObject(const QDBusMessage& message);
    void Reply(const QDBusMessage& message, const QVariantList& args);
    void Fail(const QDBusMessage& message, const QString& name, const QString& text);
    QString SignalKey(const Subscription& s, const QString& member) const;

    QDBusConnection connection_;
    bool connected_ = false;
    QString uniqueName_;
    QDBusServiceWatcher* watcher_ = nullptr;
    std::set<QString> watched_;
    std::set<QString> gone_;

    std::map<QString, Export> exports_;
    std::unordered_map<IUnknown*, QString> pathOf_;
    std::uint64_t nextPath_ = 0;
    std::map<QString, ObjectProxy*> proxies_;  // "bus path"

    ComPtr<IClassFactory> factory_;
    QString activationName_;
    std::function<void()> lastRelease_;
    QStringList callers_;
    int callTimeoutMs_ = kCallTimeoutMs;

    struct PostponedRelease {
        QString peer, path;
        quint32 count;
    };
    int waitingCalls_ = 0;
    std::vector<PostponedRelease> postponedReleases_;

    std::vector<Subscription> subscriptions_;
    // Signals that arrived while a sink was being called (its calls serve
    // incoming messages): delivered after it, in order.
    std::deque<QDBusMessage> pendingSignals_;
    bool delivering_ = false;
    std::map<QString, int> signalConnections_;
    std::uint32_t nextCookie_ = 0;
};

}  // namespace qmx::remoting
