// The host-connection interface of adapters that can serve a host
// application (a program that starts the display application and connects
// it to itself). Adapters without a host answer E_NOINTERFACE for it.
#pragma once

#include "automation/unknown.h"
#include "automation/variant.h"

struct IHostedAdapter : IUnknown {
    QMX_INTERFACE_ID("{091845CF-48AC-4B5D-8E26-FAB5BC44DD57}");

    // VARIANT_TRUE when this adapter serves the host that calls itself
    // bsHostAppId ("MindManager.Application.5").
    virtual HRESULT SupportsHostApp(const BSTR& bsHostAppId, VARIANT_BOOL* pvbSupports) = 0;
    // Takes the host's automation object; from now on the adapter's document
    // is the host's current document.
    virtual HRESULT ConnectHostApp(IUnknown* pHostApp, const BSTR& bsHostAppId, const VARIANT& varAdditional) = 0;
    virtual HRESULT DisconnectHostApp() = 0;
};
