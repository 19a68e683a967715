// The proxy of a remote object: one identity (IUnknown) per (bus name,
// object path) in a process, with a facet per interface it was asked for.
// It holds the references the owner counted for this process and gives them
// back when its own last reference goes.
#pragma once

#include <QString>
#include <map>
#include <memory>
#include <set>

#include "automation/remoting/interface_face.h"

namespace qmx::remoting {

// Answered by proxies only, locally: where the object really lives.
struct IRemoteObject : IUnknown {
    QMX_INTERFACE_ID("{6A0C1E77-2B1F-4C55-9E1D-5D1A7F0B3C21}");
    virtual QString RemoteBus() const = 0;
    virtual QString RemotePath() const = 0;
};

class ObjectProxy final : public IRemoteObject, public Endpoint {
public:
    ObjectProxy(QString bus, QString path) : bus_(std::move(bus)), path_(std::move(path)) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;

    QString RemoteBus() const override { return bus_; }
    QString RemotePath() const override { return path_; }

    HRESULT EndpointQueryInterface(REFIID riid, void** ppv) override { return QueryInterface(riid, ppv); }
    ULONG EndpointAddRef() override { return AddRef(); }
    ULONG EndpointRelease() override { return Release(); }
    HRESULT Transmit(const InterfaceInfo& face, const QString& member, const QVariantList& args,
                     QDBusMessage* reply) override;
    QString Peer() const override { return bus_; }

    void AddRemoteRef() { ++remoteRefs_; }
    // The facet of an interface the sender named in the call's types: made
    // without asking the remote object.
    HRESULT TypedFacet(REFIID riid, void** ppv);

private:
    ~ObjectProxy();
    HRESULT Facet(REFIID riid, bool askRemote, void** ppv);

    QString bus_, path_;
    ULONG refs_ = 0;
    std::uint32_t remoteRefs_ = 0;
    std::map<IID, std::unique_ptr<FacetBase>> facets_;
    std::set<IID> refused_;
};

}  // namespace qmx::remoting
