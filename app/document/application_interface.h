// The automation interface of the display application that host
// applications call, and its class identity.
#pragma once

#include "automation/types.h"
#include "automation/unknown.h"
#include "automation/variant.h"

inline constexpr CLSID CLSID_QMXGanttDisplayApplication = qmx::MakeGuid("{F11FA755-D185-4670-A20D-A3C59ED7DB35}");
inline constexpr const char* kDisplayApplicationProgId = "QMXGanttDisplay.Application.1";
inline constexpr const char* kDisplayApplicationVersionIndependentProgId = "QMXGanttDisplay.Application";

// Dispatch ids of IApplication.
inline constexpr LONG DISPID_APPLICATION_CONNECT = 0x60020000;
inline constexpr LONG DISPID_APPLICATION_DISCONNECT = 0x60020001;
inline constexpr LONG DISPID_APPLICATION_VISIBLE = 0x60020002;
inline constexpr LONG DISPID_APPLICATION_HWND = 0x60020004;
inline constexpr LONG DISPID_APPLICATION_QUIT = 0x60020005;

struct IApplication : IUnknown {
    QMX_INTERFACE_ID("{3D4859E9-3F40-471F-B37E-90C1BF87D1A4}");

    // Hands the host's automation object to the first adapter that serves
    // bsHostAppId and enters hosted mode. A failure when no adapter serves
    // the host; only HostWindow is changed then.
    virtual HRESULT Connect(IUnknown* pHostApp, const BSTR& bsHostAppId, LONG hwndHost,
                            const VARIANT& varAdditional) = 0;
    // Drops the host and returns to stand-alone mode; the plan stays shown.
    virtual HRESULT Disconnect() = 0;
    // VARIANT_TRUE when the main window exists and is visible.
    virtual HRESULT get_Visible(VARIANT_BOOL* pvbVisible) = 0;
    // VARIANT_TRUE shows the main window (creating it if needed); any other
    // value cancels an open modal dialog and hides it.
    virtual HRESULT put_Visible(VARIANT_BOOL vbVisible) = 0;
    // The main window's native id, 0 when there is none.
    virtual HRESULT get_Hwnd(LONG* phWnd) = 0;
    // Runs the exit sequence.
    virtual HRESULT Quit() = 0;
};
