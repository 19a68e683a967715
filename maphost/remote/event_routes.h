// The subscriber's side of map events across processes. Advising an event
// sink on a connection point of another process asks that process to advise
// an emitter for this one (the wire method AdviseEvents) and subscribes to
// its signals; each signal is handed to the sink as an IMmEventData rebuilt
// from its values, with the topic and the document as proxies. Every sink
// of this process on one connection point shares one subscription.
#pragma once

#include "automation/remoting/interface_face.h"
#include "maphost/api/map_interfaces.h"

namespace qmx::map {

class MmConnectionPointProxy final : public remoting::Facet<IMmConnectionPoint> {
public:
    using Facet::Facet;
    // An IMmEventSink becomes a signal subscription; any other sink (a
    // command's) travels as an object reference and is called back.
    HRESULT Advise(IUnknown* pSink, DWORD* pdwCookie) override;
    // Ends the sink's subscription, or hands the cookie on.
    HRESULT Unadvise(DWORD dwCookie) override;
};

class MmEventSubscriptionProxy final : public remoting::Facet<IMmEventSubscription> {
public:
    using Facet::Facet;
    HRESULT get_ConnectionPoint(IMmConnectionPoint** ppPoint) override
    {
        QMX_REMOTE_CALL(get_ConnectionPoint, ppPoint);
    }
    HRESULT get_Mask(LONG* pMask) override { QMX_REMOTE_CALL(get_Mask, pMask); }
    // The registration's sinks of this process hear nothing more either.
    HRESULT Unregister() override;
};

// Sinks advised through proxies of this process that still hear events
// (for tests).
std::size_t RemoteEventSinkCount();

}  // namespace qmx::map
