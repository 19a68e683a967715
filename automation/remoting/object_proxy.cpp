#include "automation/remoting/object_proxy.h"

#include <QDBusMessage>

#include "automation/remoting/apartment.h"

namespace qmx::remoting {

ObjectProxy::~ObjectProxy() = default;

ULONG ObjectProxy::Release()
{
    const ULONG left = --refs_;
    if (left == 0) {
        Apartment::Instance().ForgetProxy(this, remoteRefs_);
        delete this;
    }
    return left;
}

HRESULT ObjectProxy::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IRemoteObject::iid) {
        *ppv = static_cast<IRemoteObject*>(this);
        AddRef();
        return S_OK;
    }
    return Facet(riid, true, ppv);
}

HRESULT ObjectProxy::TypedFacet(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown) return QueryInterface(riid, ppv);
    return Facet(riid, false, ppv);
}

HRESULT ObjectProxy::Facet(REFIID riid, bool askRemote, void** ppv)
{
    *ppv = nullptr;
    if (auto it = facets_.find(riid); it != facets_.end()) {
        *ppv = it->second->AsInterface();
        AddRef();
        return S_OK;
    }
    const InterfaceInfo* face = FindInterface(riid);
    if (!face || refused_.count(riid)) return E_NOINTERFACE;
    if (askRemote) {
        ComPtr<IUnknown> keep(static_cast<IRemoteObject*>(this));  // the call may run anything meanwhile
        QDBusMessage call = QDBusMessage::createMethodCall(bus_, path_, QLatin1String(kObjectInterface),
                                                           QStringLiteral("QueryInterface"));
        call << QString::fromStdString(GuidToString(riid));
        QDBusMessage reply;
        const HRESULT sent = Apartment::Instance().Call(call, &reply);
        if (FAILED(sent)) return sent;
        if (reply.signature() != QLatin1String("i")) return RPC_E_INVALID_DATA;
        const HRESULT answer = reply.arguments().at(0).toInt();
        if (FAILED(answer)) {
            if (answer == E_NOINTERFACE) refused_.insert(riid);
            return answer;
        }
        if (auto it = facets_.find(riid); it != facets_.end()) {  // made during the call
            *ppv = it->second->AsInterface();
            AddRef();
            return S_OK;
        }
    }
    std::unique_ptr<FacetBase> facet(face->makeFacet(this, face));
    *ppv = facet->AsInterface();
    facets_.emplace(riid, std::move(facet));
    AddRef();
    return S_OK;
}

HRESULT ObjectProxy::Transmit(const InterfaceInfo& face, const QString& member, const QVariantList& args,
                              QDBusMessage* reply)
{
    QDBusMessage call = QDBusMessage::createMethodCall(bus_, path_, face.dbusName, member);
    call.setArguments(args);
    return Apartment::Instance().Call(call, reply);
}

}  // namespace qmx::remoting
