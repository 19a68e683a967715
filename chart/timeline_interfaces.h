// The timeline pane's interfaces: the automation interface ITimelinePane, its
// outgoing events, and the private interfaces through which the Gantt chart
// pane subscribes to those events and walks the current cell lists.
#pragma once

#include "automation/types.h"
#include "automation/unknown.h"

class QPainter;

// The pane's class, created by ProgID (the version-independent one is the
// usual name).
inline constexpr CLSID CLSID_QMXTimelinePane = qmx::MakeGuid("{02C4AC89-4B76-4260-8E85-BB0600CA5EF1}");
inline constexpr const char* kTimelinePaneProgId = "QMXGanttChart.TimelinePane.1";
inline constexpr const char* kTimelinePaneVersionIndependentProgId = "QMXGanttChart.TimelinePane";

// Kind of the large unit shown in the timeline's upper row.
enum QMXTimelinePeriodType : LONG {
    ptWeek = 0,
    ptMonth = 1,
    ptYear = 2,
};

// Kind of the small unit shown in the timeline's lower row.
enum QMXTimelineSubperiodType : LONG {
    stDay = 0,
    stWeek = 1,
    stMonth = 2,
};

// The two-row time header above the chart, owner of the chart's time scale.
// Getters answer E_POINTER for a null out-pointer. A put of PeriodType
// outside ptWeek..ptYear, of PeriodCount below 1, or of a StartDate that is
// not a finite date, answers E_INVALIDARG and changes nothing; so does any
// put or move whose view would leave the calendar (years 100 to 9999).
struct ITimelinePane : IUnknown {
    QMX_INTERFACE_ID("{79DBBDE0-4B46-45B0-B389-4F26327C4E6B}");

    virtual HRESULT put_PeriodType(QMXTimelinePeriodType newVal) = 0;
    virtual HRESULT get_PeriodType(QMXTimelinePeriodType* pVal) = 0;
    virtual HRESULT put_PeriodCount(LONG newVal) = 0;
    virtual HRESULT get_PeriodCount(LONG* pVal) = 0;
    // Stored exactly as given, time of day included; raises StartDateChanged
    // when the value changes.
    virtual HRESULT put_StartDate(DATE newVal) = 0;
    virtual HRESULT get_StartDate(DATE* pVal) = 0;
    // Derived by the layout: first and last visible day, kind of subperiod.
    virtual HRESULT get_ViewStartDate(DATE* pVal) = 0;
    virtual HRESULT get_ViewEndDate(DATE* pVal) = 0;
    virtual HRESULT get_SubperiodType(QMXTimelineSubperiodType* pVal) = 0;
    // Move the start by whole periods / subperiods through put_StartDate.
    virtual HRESULT ChangeStartPeriod(LONG nDelta) = 0;
    virtual HRESULT ChangeStartSubperiod(LONG nDelta) = 0;
    // Printing. The device context is the painter of the print job (a
    // QPainter open on the printer or PDF writer); the rectangle of Print is
    // in millimetres.
    virtual HRESULT PreparePrinting(QPainter* hDC) = 0;
    virtual HRESULT EndPrinting() = 0;
    virtual HRESULT Print(QPainter* hDC, LONG left, LONG top, LONG right, LONG bottom) = 0;
};

inline constexpr LONG DISPID_TIMELINEPANE_STARTDATECHANGED = 1;

// Outgoing events of the timeline pane.
struct _ITimelinePaneEvents : IUnknown {
    QMX_INTERFACE_ID("{2D8D95AA-7638-4963-A634-5E6DCE4295F5}");

    // dispid DISPID_TIMELINEPANE_STARTDATECHANGED; raised after the layout
    // for the new start is complete, so handlers read consistent view dates.
    virtual HRESULT StartDateChanged() = 0;
};

// The connection point of _ITimelinePaneEvents, answered by the pane object.
// Sinks are held with a reference until Unadvise (or the pane's end) and
// called synchronously in the order they were advised.
struct ITimelinePaneEventSource : IUnknown {
    QMX_INTERFACE_ID("{25CEB411-D67F-4F93-ABF4-D2016F45FF61}");

    // E_POINTER for a null sink or cookie pointer.
    virtual HRESULT Advise(_ITimelinePaneEvents* pSink, DWORD* pdwCookie) = 0;
    // CONNECT_E_NOCONNECTION for an unknown cookie.
    virtual HRESULT Unadvise(DWORD dwCookie) = 0;
};

// Walks the period cells of the current layout, end marker included.
struct ITimelinePeriodCells : IUnknown {
    QMX_INTERFACE_ID("{95C28E4D-923C-4DEF-B4B5-513D7ADD22CE}");

    // Selects the screen list (false) or the printing list (true) and
    // rewinds to its first cell.
    virtual HRESULT Reset(bool printing) = 0;
    // The next cell's x in pixels; S_FALSE (x untouched) after the last.
    virtual HRESULT Next(LONG* x) = 0;
};

// Walks the subperiod cells of the current layout, end marker included.
struct ITimelineSubperiodCells : IUnknown {
    QMX_INTERFACE_ID("{1CAB7ED4-1792-4877-AD7B-35AD4736E31A}");

    virtual HRESULT Reset(bool printing) = 0;
    // The next cell's x and, by SubperiodType, its day of week (stDay,
    // Monday = 1), the day of month of its Monday (stWeek) or its month
    // (stMonth); S_FALSE after the last.
    virtual HRESULT Next(LONG* x, LONG* value) = 0;
};
