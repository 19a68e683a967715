// The event manager of the map host: registrations by event mask, each with
// a connection point, and the event objects handed to their sinks.
#pragma once

#include <vector>

#include "automation/com_object.h"
#include "automation/event_source.h"
#include "maphost/api/map_interfaces.h"

namespace qmx::map {

// A connection point over an EventSource; the sink is queried for Sink.
template <class Sink>
class MapConnectionPoint final : public EmbeddedObject<IMmConnectionPoint> {
public:
    using EmbeddedObject::EmbeddedObject;
    HRESULT Advise(IUnknown* pSink, DWORD* pdwCookie) override
    {
        if (!pSink || !pdwCookie) return E_POINTER;
        ComPtr<Sink> sink;
        if (FAILED(QueryTo(pSink, sink.ReleaseAndGetAddressOf()))) return E_NOINTERFACE;
        return source_.Advise(sink.Get(), pdwCookie);
    }
    HRESULT Unadvise(DWORD dwCookie) override { return source_.Unadvise(dwCookie); }
    EventSource<Sink>& Source() { return source_; }

private:
    EventSource<Sink> source_;
};

class MapEventData final : public ComObject<IMmEventData> {
public:
    MapEventData(LONG kind, LONG phase, IMmDocument* document, LONG objectType, IUnknown* object);
    HRESULT get_Kind(LONG* pKind) override;
    HRESULT get_Phase(LONG* pPhase) override;
    HRESULT get_Document(IMmDocument** ppDocument) override;
    HRESULT get_ObjectType(LONG* pType) override;
    HRESULT get_Object(IUnknown** ppObject) override;

private:
    LONG kind_;
    LONG phase_;
    ComPtr<IMmDocument> document_;
    LONG objectType_;
    ComPtr<IUnknown> object_;
};

class MapEventManager;

class MapEventSubscription final : public ComObject<IMmEventSubscription> {
public:
    MapEventSubscription(MapEventManager* manager, LONG mask);
    HRESULT get_ConnectionPoint(IMmConnectionPoint** ppPoint) override;
    HRESULT get_Mask(LONG* pMask) override;
    HRESULT Unregister() override;

    LONG Mask() const { return mask_; }
    EventSource<IMmEventSink>& Sinks() { return point_.Source(); }
    void Detach() { manager_ = nullptr; }
    bool IsRegistered() const { return manager_ != nullptr; }

private:
    MapEventManager* manager_;  // null once unregistered
    LONG mask_;
    MapConnectionPoint<IMmEventSink> point_{this};
};

class MapEventManager final : public ComObject<IMmEventManager> {
public:
    ~MapEventManager() override;
    HRESULT Register(LONG classOrMask, LONG objectType, LONG phase, LONG flags,
                     IMmEventSubscription** ppSubscription) override;

    // Hands one event to the sinks of every registration whose mask holds
    // the kind, in the order of registration.
    void Fire(LONG kind, LONG phase, IMmDocument* document, LONG objectType, IUnknown* object);
    void Remove(MapEventSubscription* subscription);
    bool HasListeners(LONG kind) const;

private:
    std::vector<ComPtr<MapEventSubscription>> subscriptions_;
};

}  // namespace qmx::map
