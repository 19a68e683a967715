// The splitter control's interfaces: ISplitter and its outgoing events.
#pragma once

#include "automation/guid.h"
#include "automation/unknown.h"

inline constexpr CLSID CLSID_QMXSplitter = qmx::MakeGuid("{6494EEA9-0F6F-4627-8107-D588C5761227}");
inline constexpr const char* kSplitterProgId = "QMXGanttChart.Splitter.1";
inline constexpr const char* kSplitterVersionIndependentProgId = "QMXGanttChart.Splitter";

struct ISplitter : IUnknown {
    QMX_INTERFACE_ID("{E187C87A-D5C8-42C6-A391-C135646599C7}");

    // The native window id of the splitter's window, 0 while it has none.
    virtual HRESULT get_Hwnd(LONG* pHwnd) = 0;
    virtual HRESULT put_BorderVisible(VARIANT_BOOL vbVisible) = 0;
    virtual HRESULT get_BorderVisible(VARIANT_BOOL* pvbVisible) = 0;
};

// Dispatch ids of _ISplitterEvents.
enum SplitterEventDispId : LONG {
    DISPID_SPLITTER_BEFOREMOVE = 1,
    DISPID_SPLITTER_AFTERMOVE = 2,
};

struct _ISplitterEvents : IUnknown {
    QMX_INTERFACE_ID("{6B42B588-0863-458A-90FF-37A03944534A}");

    // A drag step of *pnDelta pixels is about to be applied; the sink may
    // change it, and 0 cancels the step.
    virtual HRESULT BeforeMove(LONG* pnDelta) = 0;
    // The step is over (also after a cancelled one).
    virtual HRESULT AfterMove() = 0;
};

// The connection point of _ISplitterEvents, answered by the splitter object.
struct ISplitterEventSource : IUnknown {
    QMX_INTERFACE_ID("{29479F57-890E-44CA-87A5-E3C0FE7794ED}");

    // E_POINTER for a null sink or cookie pointer.
    virtual HRESULT Advise(_ISplitterEvents* pSink, DWORD* pdwCookie) = 0;
    // CONNECT_E_NOCONNECTION for an unknown cookie.
    virtual HRESULT Unadvise(DWORD dwCookie) = 0;
};
