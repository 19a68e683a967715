// QMXGanttChartPane: the chart half of the tasks view. It hosts the timeline
// pane along its top edge, owns the horizontal scroll bar and the zoom level
// that drive the time scale, and draws one stripe per visible task of the
// attached control: bars, links, weekends, period grid and project range.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QCursor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include "automation/com_object.h"
#include "automation/event_source.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/widget_control.h"
#include "chart/chart_layout.h"
#include "chart/chart_painter.h"
#include "chart/drag_state.h"
#include "chart/print_geometry.h"
#include "chart/gantt_chart_pane_interfaces.h"
#include "chart/time_scale.h"
#include "chart/timeline_interfaces.h"

class QKeyEvent;
class QMouseEvent;
class QScrollBar;
class QWheelEvent;

namespace qmx {

class DragTooltip;
class QMXGanttChartPane;

// The pane's window: a scroll bar along the bottom, the timeline window along
// the top, the chart area between them. Forwards painting, resizing and
// scroll-bar actions to its control.
class GanttChartPaneWindow final : public QWidget {
public:
    GanttChartPaneWindow(QMXGanttChartPane* pane, QWidget* parent);
    ~GanttChartPaneWindow() override;

    // The control is ending: forget it.
    void Detach() { pane_ = nullptr; }

    QScrollBar* ScrollBar() const { return scrollBar_; }
    // The window without the scroll bar (the client area of the pane).
    QRect ClientRect() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    QMXGanttChartPane* pane_;
    QScrollBar* scrollBar_;
};

// The control object. Besides IGanttChartPane it answers IWidgetControl and
// IGanttChartPaneEventSource. The window, and with it the timeline pane, is
// made by CreateControlWindow; the time-scale methods need it and answer
// E_UNEXPECTED before. Printing (gantt_chart_pane_printing.cpp) lays out
// one stripe per visible task into a layout of its own, so the screen's
// layout never changes for it. Mouse and keyboard handling (dragging bars, clicks, keys, the
// wheel) lives in chart_pane_interaction.cpp.
class QMXGanttChartPane final : public ComObject<IGanttChartPane, IGanttChartPaneEventSource, IWidgetControl> {
public:
    QMXGanttChartPane();

    static ClassInfo Registration();

    static constexpr LONG kTopMargin = 8;
    static constexpr LONG kDefaultTimelineHeight = 32;

    // IGanttChartPane
    HRESULT SetGanttChartControl(IGanttChartControl* pControl) override;
    HRESULT put_TimelinePaneVisible(VARIANT_BOOL vbVisible) override;
    HRESULT get_TimelinePaneVisible(VARIANT_BOOL* pvbVisible) override;
    HRESULT put_TimelineHeight(LONG nHeight) override;
    HRESULT get_TimelineHeight(LONG* pnHeight) override;
    HRESULT get_TopMargin(LONG* pnMargin) override;
    HRESULT ZoomIn() override;
    HRESULT ZoomOut() override;
    HRESULT AdjustTimeRange(DATE MinDate, DATE MaxDate) override;
    HRESULT ResetTimeRange() override;
    HRESULT get_CurrentViewSettings(BSTR* pbsSettings) override;
    HRESULT put_CurrentViewSettings(const BSTR& bsSettings) override;
    HRESULT PreparePrinting(QPainter* hDC, LONG nTaskStripeHeight, LONG nTopMargin) override;
    HRESULT EndPrinting() override;
    HRESULT PrintTimelinePane(QPainter* hDC, LONG left, LONG top, LONG right, LONG bottom) override;
    HRESULT PrintChartPane(QPainter* hDC, LONG iFromTask, LONG iToTask, LONG left, LONG top, LONG right,
                           LONG bottom) override;

    // IGanttChartPaneEventSource
    HRESULT Advise(_IGanttChartPaneEvents* pSink, DWORD* pdwCookie) override;
    HRESULT Unadvise(DWORD dwCookie) override;

    // IWidgetControl. Creating the window creates the timeline pane by its
    // ProgID; if that fails, no window is made and the failure is returned.
    HRESULT CreateControlWindow(QWidget* parent, QWidget** ppWindow) override;
    HRESULT GetControlWindow(QWidget** ppWindow) override;

    // The chart area in window coordinates: below the timeline while it is
    // visible, above the scroll bar.
    QRect ChartArea() const;
    // Lays out and draws the chart area as a paint does, into a new image.
    // A null image without a window or an attached control.
    QImage RenderChartArea();
    // The screen layout of the last paint (hit testing reads it).
    const ChartLayout& ScreenLayout() const { return screen_; }
    const ScrollState& Scroll() const { return scroll_; }
    LONG ZoomLevel() const { return zoomLevel_; }

    // From the window and the timeline's event sink. `exposed` is the part
    // of the window to paint.
    void PaintWindow(QPainter& painter, const QRect& exposed);
    void OnWindowResized(int width, int height);
    void OnScrollAction(int action);
    void OnWindowDestroyed();
    void OnTimelineStartDateChanged();
    // Mouse, keyboard and focus, from the window (chart_pane_interaction.cpp).
    void OnMousePress(const QMouseEvent& e);
    void OnMouseMove(const QMouseEvent& e);
    void OnMouseRelease(const QMouseEvent& e);
    void OnMouseDoubleClick(const QMouseEvent& e);
    void OnKeyPress(const QKeyEvent& e);
    void OnKeyRelease(const QKeyEvent& e);
    void OnWheel(const QWheelEvent& e);
    // The window lost the keyboard focus or was hidden: as losing the mouse
    // capture, any drag ends with nothing changed.
    void OnDragInterrupted();

private:
    class TimelineSink;

    ~QMXGanttChartPane() override;

    HRESULT CreateTimeline(GanttChartPaneWindow* window);
    void DisconnectTimeline();
    // The time-scale methods need the timeline pane.
    bool HasTimeline() const { return bool(timeline_); }
    HRESULT ReadScale(TimeScale& scale, DATE& startDate) const;
    // Puts PeriodType, then PeriodCount on the timeline.
    HRESULT ApplyScale(const TimeScale& scale);
    HRESULT ApplyZoomLevel(LONG level);
    // Scroll bar reset from the timeline's current scale and start.
    HRESULT ResetScrollRange();
    // After a start change: stretch the range to the view and move there.
    void SynchroniseScroll();
    void SetScroll(const ScrollState& state);
    // The view's first and last day, read from the timeline.
    bool ReadView(ViewRange& view);
    // With `printing`, the grid and weekends come from the timeline's
    // printing cells.
    ChartBackdrop MakeBackdrop(const ViewRange& view, LONG width, bool printing = false);
    // Lays out the screen for the chart area; false without window, control
    // or timeline, or when the control cannot list its tasks.
    bool LayOutScreen(ViewRange& view);
    void Repaint();

    // Dragging (chart_pane_interaction.cpp).
    void LoadDragResources(GanttChartPaneWindow* window);
    void HitTest(const QPoint& position);
    bool HoveredTaskIsValid() const;
    void ShowCursor(int resourceId);
    bool DragFrameOf(DragFrame& frame);
    bool ViewMovedDuringDrag();
    void TakeRowSnapshot();
    // The feedback of the current drag: the row snapshot with the outline,
    // or the bar at the tracked percent; DrawFeedback also shows it.
    void ComposeFeedback();
    void DrawFeedback();
    // Shows the snapshot again.
    void RestoreRow();
    void ApplyDrop(LONG x, bool fine);
    // Button up, capture and drag mode cleared, tooltip hidden; with
    // `restore` the row is shown as it was before the drag.
    void EndDrag(bool restore);
    QString DragTooltipText() const;
    void ActivateTooltip(const QPoint& windowPosition);
    void TrackTooltip(const QPoint& windowPosition);
    void RefreshTooltip();
    // A paint of the feedback's own rectangle shows the feedback alone; true
    // when `exposed` was painted so.
    bool PaintDragFeedback(QPainter& painter, const QRect& exposed);
    // After the chart was drawn afresh during a drag: the snapshot is taken
    // again and the feedback drawn over the new picture.
    void RedrawDragFeedback(QPainter& painter);

    IGanttChartControl* control_ = nullptr;  // the control owns the pane
    bool timelineVisible_ = true;
    LONG timelineHeight_ = kDefaultTimelineHeight;
    LONG zoomLevel_ = 0;
    ScrollState scroll_;
    DATE viewStart_ = 0;  // copies of the timeline's view, refreshed with the scroll bar
    DATE viewEnd_ = 0;
    ChartLayout screen_;
    ChartLayout printing_;
    // Printing, between PreparePrinting and EndPrinting (lengths in
    // millimetres where not said otherwise).
    struct PrintState {
        DeviceScale scale;
        LONG stripeHeight = 0;
        LONG topMargin = 0;
        ViewRange view;
        ChartMetrics metrics;
        QFont labelFont;
        LONG mappedWidth = -1;  // pixels the items' Left and Right were mapped for
        LONG bandHeight = 1;    // pixels of one band of the link index
        std::vector<std::vector<std::size_t>> linkBands;  // links reaching into each band
        std::vector<std::uint64_t> linkStamp;             // the last page a link was taken for
        std::uint64_t page = 0;
    };
    std::optional<PrintState> print_;
    // Top of a printed row in device pixels: `mm` below the first stripe's top.
    LONG PrintY(double mm) const { return print_->scale.Y(mm); }
    void IndexPrintedLinks();
    std::vector<std::size_t> PrintedLinksIn(LONG top, LONG bottom);
    QFont chartFont_;

    ComPtr<ITimelinePane> timeline_;
    ComPtr<IWidgetControl> timelineControl_;
    ComPtr<ITimelinePaneEventSource> timelineEvents_;
    ComPtr<TimelineSink> timelineSink_;
    DWORD timelineCookie_ = 0;
    QPointer<QWidget> timelineWindow_;
    QPointer<GanttChartPaneWindow> window_;
    EventSource<_IGanttChartPaneEvents> events_;

    // Interaction.
    DragState drag_;
    QImage shownChart_;  // the chart area as last drawn on the window: the source of row snapshots
    QPointer<DragTooltip> tooltip_;
    QCursor moveCursor_;
    QCursor resizeCursor_;
    QCursor percentCursor_;
    int shownCursor_ = 0;  // resource ID of the cursor shown, 0 for the default
    bool altHeld_ = false;
    int wheelDelta_ = 0;  // wheel travel not yet turned into whole notches
};

}  // namespace qmx
