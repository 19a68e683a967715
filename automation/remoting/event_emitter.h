// The source side of events across processes: an object implementing a sink
// interface whose every call goes out as a D-Bus signal from the source
// object's path. The source advises it like any local sink.
//
// A broadcast emitter (no peer) reaches every subscriber; its events carry
// values only. An emitter for one peer sends its signals to that process
// alone, so object arguments travel as references counted for it, and it
// drops the events that peer's own calls cause (they would be dropped on
// arrival, with their references).
#pragma once

#include "automation/remoting/interface_face.h"

namespace qmx::remoting {

class EventEmitter final : public Endpoint {
public:
    EventEmitter(QString path, const InterfaceInfo* face, QString peer = {});

    HRESULT EndpointQueryInterface(REFIID riid, void** ppv) override;
    ULONG EndpointAddRef() override { return ++refs_; }
    ULONG EndpointRelease() override;
    HRESULT Transmit(const InterfaceInfo& face, const QString& member, const QVariantList& args,
                     QDBusMessage* reply) override;
    // Empty for a broadcast (no object reference can be counted for it) and
    // for an event that will be dropped (none is counted in vain).
    QString Peer() const override { return Dropped() ? QString() : peer_; }

    IUnknown* Sink() { return facet_->AsInterface(); }

private:
    ~EventEmitter();
    // An event for a peer that is gone or whose own call caused it.
    bool Dropped() const;

    QString path_;
    const InterfaceInfo* face_;
    QString peer_;
    std::unique_ptr<FacetBase> facet_;
    ULONG refs_ = 0;
};

}  // namespace qmx::remoting
