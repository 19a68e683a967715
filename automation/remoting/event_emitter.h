// The source side of events across processes: an object implementing a sink
// interface whose every call goes out as a D-Bus signal from the source
// object's path. The source advises it like any local sink.
#pragma once

#include "automation/remoting/interface_face.h"

namespace qmx::remoting {

class EventEmitter final : public Endpoint {
public:
    EventEmitter(QString path, const InterfaceInfo* face);

    HRESULT EndpointQueryInterface(REFIID riid, void** ppv) override;
    ULONG EndpointAddRef() override { return ++refs_; }
    ULONG EndpointRelease() override;
    HRESULT Transmit(const InterfaceInfo& face, const QString& member, const QVariantList& args,
                     QDBusMessage* reply) override;
    // Events are broadcast: no object reference can be counted for them.
    QString Peer() const override { return {}; }

    IUnknown* Sink() { return facet_->AsInterface(); }

private:
    ~EventEmitter();

    QString path_;
    const InterfaceInfo* face_;
    std::unique_ptr<FacetBase> facet_;
    ULONG refs_ = 0;
};

}  // namespace qmx::remoting
