// The adapter's two event sinks: each answers one subscription of the
// map application's event manager and passes the event on to the adapter.
// The sink does not count its adapter; the adapter cuts the link before it
// goes.
#pragma once

#include <functional>

#include "automation/com_object.h"
#include "maphost/api/map_interfaces.h"

namespace qmx::mm {

class CEventSink final : public ComObject<IMmEventSink> {
public:
    using Handler = std::function<void(IUnknown*)>;
    explicit CEventSink(Handler handler) : handler_(std::move(handler)) {}

    HRESULT OnEvent(IUnknown* pEvent) override
    {
        if (handler_) {
            // The handler may cut the link while it runs.
            const Handler handler = handler_;
            handler(pEvent);
        }
        return S_OK;
    }
    void Cut() { handler_ = nullptr; }

private:
    Handler handler_;
};

}  // namespace qmx::mm
