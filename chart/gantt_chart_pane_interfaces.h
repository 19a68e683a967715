// The Gantt chart pane's interfaces: IGanttChartPane, its outgoing events and
// the connection point for them.
#pragma once

#include "automation/guid.h"
#include "automation/types.h"
#include "automation/unknown.h"

class QPainter;
struct IGanttChartControl;
struct ITask;

inline constexpr CLSID CLSID_QMXGanttChartPane = qmx::MakeGuid("{3C568136-BE3C-4EB6-A7A0-38D6B328B81E}");
inline constexpr const char* kGanttChartPaneProgId = "QMXGanttChart.GanttChartPane.1";
inline constexpr const char* kGanttChartPaneVersionIndependentProgId = "QMXGanttChart.GanttChartPane";

// The chart half of the tasks view: bars, links, weekends and grid under the
// timeline pane, which it hosts along its top edge.
struct IGanttChartPane : IUnknown {
    QMX_INTERFACE_ID("{AE4C911D-1B01-4732-B468-4DF437FA8410}");

    // The control the pane reads the project from; not reference-counted,
    // as the control owns the pane. Nothing is laid out or drawn before.
    virtual HRESULT SetGanttChartControl(IGanttChartControl* pControl) = 0;
    virtual HRESULT put_TimelinePaneVisible(VARIANT_BOOL vbVisible) = 0;
    virtual HRESULT get_TimelinePaneVisible(VARIANT_BOOL* pvbVisible) = 0;
    virtual HRESULT put_TimelineHeight(LONG nHeight) = 0;
    // The timeline window's actual height.
    virtual HRESULT get_TimelineHeight(LONG* pnHeight) = 0;
    // Added to every row position taken from the task tree (8).
    virtual HRESULT get_TopMargin(LONG* pnMargin) = 0;
    // One step down or up the zoom ladder.
    virtual HRESULT ZoomIn() = 0;
    virtual HRESULT ZoomOut() = 0;
    // Fits the scale to the date range and centres the range in the view.
    virtual HRESULT AdjustTimeRange(DATE MinDate, DATE MaxDate) = 0;
    // One week from today.
    virtual HRESULT ResetTimeRange() = 0;
    // The view-settings string (see view_settings.h).
    virtual HRESULT get_CurrentViewSettings(BSTR* pbsSettings) = 0;
    virtual HRESULT put_CurrentViewSettings(const BSTR& bsSettings) = 0;
    // Printing; the device context is the painter of the print job, the
    // stripe height, top margin and rectangles are in millimetres.
    virtual HRESULT PreparePrinting(QPainter* hDC, LONG nTaskStripeHeight, LONG nTopMargin) = 0;
    virtual HRESULT EndPrinting() = 0;
    virtual HRESULT PrintTimelinePane(QPainter* hDC, LONG left, LONG top, LONG right, LONG bottom) = 0;
    virtual HRESULT PrintChartPane(QPainter* hDC, LONG iFromTask, LONG iToTask, LONG left, LONG top, LONG right,
                                   LONG bottom) = 0;
};

// Dispatch ids of _IGanttChartPaneEvents.
inline constexpr LONG DISPID_GANTTCHARTPANE_TASKLBUTTONDOWN = 1;
inline constexpr LONG DISPID_GANTTCHARTPANE_TASKLBUTTONDBLCLK = 2;
inline constexpr LONG DISPID_GANTTCHARTPANE_KEYDOWN = 3;
inline constexpr LONG DISPID_GANTTCHARTPANE_TASKCHANGED = 4;
inline constexpr LONG DISPID_GANTTCHARTPANE_TIMERANGECHANGED = 5;

struct _IGanttChartPaneEvents : IUnknown {
    QMX_INTERFACE_ID("{2FEC0B84-1ACE-4A74-A2B8-CDD70FF2313D}");

    // Left button pressed on a bar outside its end and percent zones; Keys
    // are the button's key-state flags (Shift 4, Control 8).
    virtual HRESULT TaskLButtonDown(ITask* pTask, LONG Keys) = 0;
    virtual HRESULT TaskLButtonDblClk(ITask* pTask) = 0;
    virtual HRESULT KeyDown(LONG lKey, LONG lOptions) = 0;
    // A drag on the chart changed the task.
    virtual HRESULT TaskChanged(ITask* pTask) = 0;
    // The view moved through the scroll bar or the mouse wheel.
    virtual HRESULT TimeRangeChanged() = 0;
};

// The connection point of _IGanttChartPaneEvents, answered by the pane object.
struct IGanttChartPaneEventSource : IUnknown {
    QMX_INTERFACE_ID("{A44AE625-3376-452A-A442-11261112FACF}");

    // E_POINTER for a null sink or cookie pointer.
    virtual HRESULT Advise(_IGanttChartPaneEvents* pSink, DWORD* pdwCookie) = 0;
    // CONNECT_E_NOCONNECTION for an unknown cookie.
    virtual HRESULT Unadvise(DWORD dwCookie) = 0;
};
