// How a map event travels between processes: as a signal carrying its values
// and references to its document and topic, sent to the subscriber's process
// only (so that the references are counted for it). The receiving side
// rebuilds an IMmEventData from them, so a sink cannot tell a remote event
// from a local one.
#pragma once

#include "automation/remoting/interface_face.h"
#include "maphost/api/map_interfaces.h"

// The signal face of one advised event sink. cookie is the sink's cookie on
// the host's connection point: several sinks of one process on one point
// each hear only their own events. topic is null for a document event,
// whose object is the document.
struct IMmEventSignals : IUnknown {
    QMX_INTERFACE_ID("{10590EE3-81CD-4FCD-BCDB-3DD6D3B82C14}");
    virtual HRESULT OnMapEvent(DWORD cookie, LONG kind, LONG phase, LONG objectType, IMmDocument* pDocument,
                               IMmTopic* pTopic) = 0;
};

namespace qmx::map {

class MmEventSignalsProxy final : public remoting::Facet<IMmEventSignals> {
public:
    using Facet::Facet;
    HRESULT OnMapEvent(DWORD cookie, LONG kind, LONG phase, LONG objectType, IMmDocument* pDocument,
                       IMmTopic* pTopic) override
    {
        QMX_REMOTE_CALL(OnMapEvent, cookie, kind, phase, objectType, pDocument, pTopic);
    }
};

}  // namespace qmx::map
