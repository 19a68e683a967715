// Test helper: an event sink that records every map event it hears as
// "kind/phase:text of the topic (or name of the map)", and can run an action
// inside an event.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "automation/bstr.h"
#include "automation/com_object.h"
#include "maphost/api/map_interfaces.h"

namespace qmx::map::testing {

class EventRecorder final : public ComObject<IMmEventSink> {
public:
    HRESULT OnEvent(IUnknown* pEvent) override
    {
        ComPtr<IMmEventData> data;
        if (FAILED(pEvent->QueryInterface(IMmEventData::iid, reinterpret_cast<void**>(data.ReleaseAndGetAddressOf()))))
            return E_NOINTERFACE;
        LONG kind = 0, phase = 0, type = 0;
        data->get_Kind(&kind);
        data->get_Phase(&phase);
        data->get_ObjectType(&type);
        ComPtr<IUnknown> object;
        data->get_Object(object.ReleaseAndGetAddressOf());
        BSTR label;
        ComPtr<IMmTopic> topic;
        ComPtr<IMmDocument> document;
        if (object && SUCCEEDED(object.As(&topic))) topic->get_Text(&label);
        else if (object && SUCCEEDED(object.As(&document))) document->get_Name(&label);
        events.push_back(std::to_string(kind) + "/" + std::to_string(phase) + ":" + BstrToUtf8(label));
        if (onEvent) onEvent(data.Get());
        return S_OK;
    }

    std::vector<std::string> events;
    std::function<void(IMmEventData*)> onEvent;
};

// Registers a recorder for the mask; the subscription ends with the object.
struct Subscription {
    Subscription(IMmApplication* application, LONG mask)
    {
        ComPtr<IMmEventManager> manager;
        application->get_EventManager(manager.ReleaseAndGetAddressOf());
        manager->Register(mask, -1, -1, 0, subscription.ReleaseAndGetAddressOf());
        ComPtr<IMmConnectionPoint> point;
        subscription->get_ConnectionPoint(point.ReleaseAndGetAddressOf());
        recorder = MakeObject<EventRecorder>();
        point->Advise(recorder.Get(), &cookie);
    }
    ~Subscription()
    {
        if (subscription) subscription->Unregister();
    }
    std::vector<std::string>& events() { return recorder->events; }

    ComPtr<IMmEventSubscription> subscription;
    ComPtr<EventRecorder> recorder;
    DWORD cookie = 0;
};

}  // namespace qmx::map::testing
