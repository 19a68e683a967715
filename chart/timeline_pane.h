// QMXTimelinePane: the two-row time header above the Gantt chart and the
// owner of the chart's time scale, as a windowed control.
#pragma once

#include <cstddef>
#include <optional>

#include <QPointer>
#include <QWidget>

#include "automation/com_object.h"
#include "automation/event_source.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/widget_control.h"
#include "chart/print_geometry.h"
#include "chart/time_scale.h"
#include "chart/timeline_interfaces.h"
#include "chart/timeline_painter.h"

namespace qmx {

class QMXTimelinePane;

namespace detail {

// ITimelinePeriodCells and ITimelineSubperiodCells both have a Reset(bool);
// these give each its own cursor on the one object.
struct TimelinePeriodCellsPart : ITimelinePeriodCells {
    HRESULT Reset(bool printing) final { return ResetPeriodCells(printing); }
    HRESULT Next(LONG* x) final { return NextPeriodCell(x); }
    virtual HRESULT ResetPeriodCells(bool printing) = 0;
    virtual HRESULT NextPeriodCell(LONG* x) = 0;

protected:
    ~TimelinePeriodCellsPart() = default;
};

struct TimelineSubperiodCellsPart : ITimelineSubperiodCells {
    HRESULT Reset(bool printing) final { return ResetSubperiodCells(printing); }
    HRESULT Next(LONG* x, LONG* value) final { return NextSubperiodCell(x, value); }
    virtual HRESULT ResetSubperiodCells(bool printing) = 0;
    virtual HRESULT NextSubperiodCell(LONG* x, LONG* value) = 0;

protected:
    ~TimelineSubperiodCellsPart() = default;
};

}  // namespace detail

// The pane's window: forwards creation-time layout, resizes, painting, clicks
// and the wheel to its control. It never outlives its control's interest:
// the control detaches it before letting it go.
class TimelineWindow final : public QWidget {
public:
    TimelineWindow(QMXTimelinePane* pane, QWidget* parent);

    void Detach() { pane_ = nullptr; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    QMXTimelinePane* pane_;
};

// The timeline pane control. Besides ITimelinePane it answers:
// - IWidgetControl, to make its window inside the host's;
// - ITimelinePaneEventSource, the connection point of _ITimelinePaneEvents;
// - ITimelinePeriodCells and ITimelineSubperiodCells, the walkers over the
//   screen or printing cell lists.
// Layout runs on every successful put, on window creation and when the
// window gets a non-empty new size, never while painting. Printing lays out
// its own cell lists (with their own label form) for the printed strip, so
// the screen's lists, label form and remembered width never change.
class QMXTimelinePane final
    : public ComObject<ITimelinePane, IWidgetControl, ITimelinePaneEventSource, detail::TimelinePeriodCellsPart,
                       detail::TimelineSubperiodCellsPart> {
public:
    QMXTimelinePane();

    static ClassInfo Registration();

    // ITimelinePane
    HRESULT put_PeriodType(QMXTimelinePeriodType newVal) override;
    HRESULT get_PeriodType(QMXTimelinePeriodType* pVal) override;
    HRESULT put_PeriodCount(LONG newVal) override;
    HRESULT get_PeriodCount(LONG* pVal) override;
    HRESULT put_StartDate(DATE newVal) override;
    HRESULT get_StartDate(DATE* pVal) override;
    HRESULT get_ViewStartDate(DATE* pVal) override;
    HRESULT get_ViewEndDate(DATE* pVal) override;
    HRESULT get_SubperiodType(QMXTimelineSubperiodType* pVal) override;
    HRESULT ChangeStartPeriod(LONG nDelta) override;
    HRESULT ChangeStartSubperiod(LONG nDelta) override;
    HRESULT PreparePrinting(QPainter* hDC) override;
    HRESULT EndPrinting() override;
    HRESULT Print(QPainter* hDC, LONG left, LONG top, LONG right, LONG bottom) override;

    // IWidgetControl
    HRESULT CreateControlWindow(QWidget* parent, QWidget** ppWindow) override;
    HRESULT GetControlWindow(QWidget** ppWindow) override;

    // ITimelinePaneEventSource
    HRESULT Advise(_ITimelinePaneEvents* pSink, DWORD* pdwCookie) override;
    HRESULT Unadvise(DWORD dwCookie) override;

    // ITimelinePeriodCells, ITimelineSubperiodCells
    HRESULT ResetPeriodCells(bool printing) override;
    HRESULT NextPeriodCell(LONG* x) override;
    HRESULT ResetSubperiodCells(bool printing) override;
    HRESULT NextSubperiodCell(LONG* x, LONG* value) override;

    // From the window.
    void OnWindowResized(int width, int height);
    void PaintWindow(QPainter& painter, const QRect& rect);
    void OnWheel(int delta);

private:
    ~QMXTimelinePane() override;

    // Takes a new scale and start when their view exists; E_INVALIDARG and
    // no change otherwise.
    HRESULT Apply(const TimeScale& scale, DATE startDate);
    // Lays out the screen cell lists for the given width and remembers it.
    void LayoutScreen(LabelMode mode, LONG width);
    // The window's width, 0 without a window.
    LONG ClientWidth() const;
    // Brings the screen layout up to the window's size. Qt delivers the
    // resize of a hidden widget only when it is shown; the layout must
    // follow every size change at once, as the chart pane reads the cells.
    void FollowWindowSize();
    void FireStartDateChanged();
    void Redraw();
    const TimelineCells& Cells(bool printing) const { return printing ? printing_ : screen_; }

    TimeScale scale_;
    DATE startDate_ = 0;
    ViewRange view_;
    TimelineWords words_;
    TimelinePaintStyle style_;
    TimelineCells screen_;
    TimelineCells printing_;
    std::optional<DeviceScale> printScale_;  // between PreparePrinting and EndPrinting
    TimelinePaintStyle printStyle_;
    LONG screenWidth_;  // of the last screen layout
    QPointer<TimelineWindow> window_;
    EventSource<_ITimelinePaneEvents> events_;

    bool periodCursorPrinting_ = false;
    std::size_t periodCursor_ = 0;
    bool subperiodCursorPrinting_ = false;
    std::size_t subperiodCursor_ = 0;
};

}  // namespace qmx
