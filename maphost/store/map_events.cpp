#include "maphost/store/map_events.h"

#include <algorithm>

#include "maphost/store/map_support.h"

namespace qmx::map {

MapEventData::MapEventData(LONG kind, LONG phase, IMmDocument* document, LONG objectType, IUnknown* object)
    : kind_(kind), phase_(phase), document_(document), objectType_(objectType), object_(object)
{
}

HRESULT MapEventData::get_Kind(LONG* pKind)
{
    if (!pKind) return E_POINTER;
    *pKind = kind_;
    return S_OK;
}

HRESULT MapEventData::get_Phase(LONG* pPhase)
{
    if (!pPhase) return E_POINTER;
    *pPhase = phase_;
    return S_OK;
}

HRESULT MapEventData::get_Document(IMmDocument** ppDocument)
{
    if (!ppDocument) return E_POINTER;
    return document_.CopyTo(ppDocument);
}

HRESULT MapEventData::get_ObjectType(LONG* pType)
{
    if (!pType) return E_POINTER;
    *pType = objectType_;
    return S_OK;
}

HRESULT MapEventData::get_Object(IUnknown** ppObject)
{
    if (!ppObject) return E_POINTER;
    return object_.CopyTo(ppObject);
}

MapEventSubscription::MapEventSubscription(MapEventManager* manager, LONG mask) : manager_(manager), mask_(mask) {}

HRESULT MapEventSubscription::get_ConnectionPoint(IMmConnectionPoint** ppPoint)
{
    if (!ppPoint) return E_POINTER;
    return point_.QueryInterface(IMmConnectionPoint::iid, reinterpret_cast<void**>(ppPoint));
}

HRESULT MapEventSubscription::get_Mask(LONG* pMask)
{
    if (!pMask) return E_POINTER;
    *pMask = mask_;
    return S_OK;
}

HRESULT MapEventSubscription::Unregister()
{
    if (!manager_) return S_FALSE;
    ComPtr<MapEventSubscription> self(this);  // the manager drops its reference
    MapEventManager* manager = manager_;
    manager_ = nullptr;
    manager->Remove(this);
    Sinks().UnadviseAll();
    return S_OK;
}

MapEventManager::~MapEventManager()
{
    for (auto& s : subscriptions_) s->Detach();
}

HRESULT MapEventManager::Register(LONG classOrMask, LONG, LONG, LONG, IMmEventSubscription** ppSubscription)
{
    if (!ppSubscription) return E_POINTER;
    *ppSubscription = nullptr;
    if (classOrMask == 0) return Fail(E_INVALIDARG, IMmEventManager::iid, "The event mask is empty.");
    ComPtr<MapEventSubscription> subscription = MakeObject<MapEventSubscription>(this, classOrMask);
    if (!subscription) return E_OUTOFMEMORY;
    subscriptions_.push_back(subscription);
    *ppSubscription = subscription.Detach();
    return S_OK;
}

void MapEventManager::Fire(LONG kind, LONG phase, IMmDocument* document, LONG objectType, IUnknown* object)
{
    if (!HasListeners(kind)) return;
    ComPtr<MapEventData> data = MakeObject<MapEventData>(kind, phase, document, objectType, object);
    if (!data) return;
    // A sink may register or unregister while the event runs: walk a copy.
    const std::vector<ComPtr<MapEventSubscription>> current = subscriptions_;
    for (const auto& s : current) {
        if ((s->Mask() & kind) == 0 || !s->IsRegistered()) continue;  // unregistered by an earlier sink
        s->Sinks().Fire([&](IMmEventSink* sink) { sink->OnEvent(static_cast<IMmEventData*>(data.Get())); });
    }
}

void MapEventManager::Remove(MapEventSubscription* subscription)
{
    std::erase_if(subscriptions_, [&](const ComPtr<MapEventSubscription>& s) { return s.Get() == subscription; });
}

bool MapEventManager::HasListeners(LONG kind) const
{
    return std::any_of(subscriptions_.begin(), subscriptions_.end(),
                       [&](const auto& s) { return (s->Mask() & kind) != 0 && s->Sinks().Count() > 0; });
}

}  // namespace qmx::map
