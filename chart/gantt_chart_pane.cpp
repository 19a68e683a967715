#include "chart/gantt_chart_pane.h"

#include <algorithm>
#include <cstdint>

#include <QApplication>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>

#include "automation/date_time.h"
#include "automation/runtime/activation.h"
#include "chart/chart_control_interfaces.h"
#include "chart/chart_strings.h"
#include "chart/handler_tracker.h"
#include "chart/view_settings.h"

namespace qmx {

namespace {

// "MS Shell Dlg 2" at a 10-pixel character height: the application's default
// UI font at that size.
QFont ChartFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(10);
    font.setWeight(QFont::Normal);
    return font;
}

// What the scroll bar reports back after it was given a state: the range
// at least one unit, the page at most the range, the position within
// minimum..maximum - page + 1. Scroll units are days of the calendar; a range
// beyond it (from a view-settings string) names no day and is cut to it,
// which also keeps the bar's own arithmetic (range plus page) within an int.
ScrollState Normalised(ScrollState s)
{
    constexpr LONG kFirstDay = LONG(kMinDate);
    constexpr LONG kLastDay = LONG(kMaxDate);
    s.minimum = std::clamp(s.minimum, kFirstDay, kLastDay);
    s.maximum = std::clamp(s.maximum, kFirstDay, kLastDay);
    s.maximum = std::max(s.maximum, s.minimum);
    const std::int64_t span = std::int64_t(s.maximum) - s.minimum + 1;
    s.page = static_cast<LONG>(std::clamp<std::int64_t>(s.page, 0, span));
    const std::int64_t last = std::max<std::int64_t>(std::int64_t(s.maximum) - std::max(s.page - 1, 0), s.minimum);
    s.position = static_cast<LONG>(std::clamp<std::int64_t>(s.position, s.minimum, last));
    return s;
}

}  // namespace

// ---------------------------------------------------------------- timeline sink

// Listens to the timeline pane for the chart pane. A separate object, so
// that the timeline's reference to its sink does not keep the pane alive.
class QMXGanttChartPane::TimelineSink final : public ComObject<_ITimelinePaneEvents> {
public:
    explicit TimelineSink(QMXGanttChartPane* pane) : pane_(pane) {}
    void Disconnect() { pane_ = nullptr; }

    HRESULT StartDateChanged() override
    {
        if (pane_) pane_->OnTimelineStartDateChanged();
        return S_OK;
    }

private:
    QMXGanttChartPane* pane_;
};

// ---------------------------------------------------------------- window

GanttChartPaneWindow::GanttChartPaneWindow(QMXGanttChartPane* pane, QWidget* parent)
    : QWidget(parent), pane_(pane), scrollBar_(new QScrollBar(Qt::Horizontal, this))
{
    // Painting covers the whole chart area: no background erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Hit testing runs on every pointer move, as the cursor is chosen there;
    // a click gives the pane the keyboard.
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    QObject::connect(scrollBar_, &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (pane_) pane_->OnScrollAction(action);
    });
    // The pane may end inside a handler of the window or of a child (a sink
    // letting it go from the event a scroll-bar click raised).
    HandlerTracker::Watch(this);
}

GanttChartPaneWindow::~GanttChartPaneWindow()
{
    if (pane_) pane_->OnWindowDestroyed();
}

QRect GanttChartPaneWindow::ClientRect() const
{
    return QRect(0, 0, width(), std::max(0, height() - scrollBar_->sizeHint().height()));
}

void GanttChartPaneWindow::paintEvent(QPaintEvent* e)
{
    QPainter painter(this);
    if (pane_) {
        pane_->PaintWindow(painter, e->rect());
    } else {
        painter.fillRect(rect(), palette().window());
    }
}

void GanttChartPaneWindow::resizeEvent(QResizeEvent* e)
{
    const QRect client = ClientRect();
    scrollBar_->setGeometry(0, client.height(), width(), height() - client.height());
    if (pane_) pane_->OnWindowResized(e->size().width(), e->size().height());
}

void GanttChartPaneWindow::mousePressEvent(QMouseEvent* e)
{
    if (pane_) pane_->OnMousePress(*e);
}

void GanttChartPaneWindow::mouseMoveEvent(QMouseEvent* e)
{
    if (pane_) pane_->OnMouseMove(*e);
}

void GanttChartPaneWindow::mouseReleaseEvent(QMouseEvent* e)
{
    if (pane_) pane_->OnMouseRelease(*e);
}

void GanttChartPaneWindow::mouseDoubleClickEvent(QMouseEvent* e)
{
    // Not passed on as a press: a double click is a message of its own.
    if (pane_) pane_->OnMouseDoubleClick(*e);
}

void GanttChartPaneWindow::keyPressEvent(QKeyEvent* e)
{
    if (pane_) pane_->OnKeyPress(*e);
}

void GanttChartPaneWindow::keyReleaseEvent(QKeyEvent* e)
{
    if (pane_) pane_->OnKeyRelease(*e);
}

void GanttChartPaneWindow::wheelEvent(QWheelEvent* e)
{
    if (pane_) pane_->OnWheel(*e);
}

void GanttChartPaneWindow::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    if (pane_) pane_->OnDragInterrupted();
}

void GanttChartPaneWindow::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    if (pane_) pane_->OnDragInterrupted();
}

// ---------------------------------------------------------------- control

QMXGanttChartPane::QMXGanttChartPane() : chartFont_(ChartFont()) {}

QMXGanttChartPane::~QMXGanttChartPane()
{
    DisconnectTimeline();
    events_.UnadviseAll();
    if (GanttChartPaneWindow* window = window_.data()) {
        window->Detach();
        DeleteWindowWhenIdle(window);
    }
}

ClassInfo QMXGanttChartPane::Registration()
{
    return ClassInfo{CLSID_QMXGanttChartPane, kGanttChartPaneProgId, kGanttChartPaneVersionIndependentProgId,
                     "QMXGanttChartPane Class"};
}

HRESULT QMXGanttChartPane::SetGanttChartControl(IGanttChartControl* pControl)
{
    control_ = pControl;
    if (!control_) {
        screen_.Clear();
        printing_.Clear();
    }
    Repaint();
    return S_OK;
}

HRESULT QMXGanttChartPane::put_TimelinePaneVisible(VARIANT_BOOL vbVisible)
{
    const bool visible = vbVisible != VARIANT_FALSE;
    if (visible == timelineVisible_) return S_OK;
    timelineVisible_ = visible;
    if (timelineWindow_) timelineWindow_->setVisible(visible);
    Repaint();
    return S_OK;
}

HRESULT QMXGanttChartPane::get_TimelinePaneVisible(VARIANT_BOOL* pvbVisible)
{
    if (!pvbVisible) return E_POINTER;
    *pvbVisible = ToVariantBool(timelineVisible_);
    return S_OK;
}

HRESULT QMXGanttChartPane::put_TimelineHeight(LONG nHeight)
{
    if (nHeight < 0) return E_INVALIDARG;
    timelineHeight_ = nHeight;
    if (timelineWindow_) timelineWindow_->resize(timelineWindow_->width(), nHeight);
    Repaint();
    return S_OK;
}

HRESULT QMXGanttChartPane::get_TimelineHeight(LONG* pnHeight)
{
    if (!pnHeight) return E_POINTER;
    *pnHeight = timelineWindow_ ? timelineWindow_->height() : timelineHeight_;
    return S_OK;
}

HRESULT QMXGanttChartPane::get_TopMargin(LONG* pnMargin)
{
    if (!pnMargin) return E_POINTER;
    *pnMargin = kTopMargin;
    return S_OK;
}

HRESULT QMXGanttChartPane::ZoomIn()
{
    if (!HasTimeline()) return E_UNEXPECTED;
    const HRESULT hr = ApplyZoomLevel(ZoomedInLevel(zoomLevel_));
    if (FAILED(hr)) return hr;
    ViewRange view;
    if (ReadView(view)) SetScroll(ScrollAfterZoomIn(scroll_, view));
    Repaint();
    return S_OK;
}

HRESULT QMXGanttChartPane::ZoomOut()
{
    if (!HasTimeline()) return E_UNEXPECTED;
    HRESULT hr = ApplyZoomLevel(ZoomedOutLevel(zoomLevel_));
    if (FAILED(hr)) return hr;
    TimeScale scale;
    DATE start = 0;
    hr = ReadScale(scale, start);
    if (FAILED(hr)) return hr;
    SetScroll(ScrollAfterZoomOut(scroll_, scale, start));
    Repaint();
    return S_OK;
}

HRESULT QMXGanttChartPane::AdjustTimeRange(DATE MinDate, DATE MaxDate)
{
    if (!HasTimeline()) return E_UNEXPECTED;
    const std::optional<RangeFit> fit = FitDateRange(MinDate, MaxDate);
    if (!fit) return S_OK;  // no range to fit (an empty project, say)
    HRESULT hr = ApplyScale(fit->zoom.scale);
    if (FAILED(hr)) return hr;
    zoomLevel_ = fit->zoom.level;
    hr = timeline_->put_StartDate(fit->rangeStart);
    if (FAILED(hr)) return hr;
    hr = timeline_->put_StartDate(fit->centredStart);
    if (FAILED(hr)) return hr;
    // A centred view that cuts the range off is moved or widened until the
    // whole range shows.
    if (!(fit->shownZoom.scale == fit->zoom.scale)) {
        hr = ApplyScale(fit->shownZoom.scale);
        if (FAILED(hr)) return hr;
        zoomLevel_ = fit->shownZoom.level;
    }
    hr = timeline_->put_StartDate(fit->shownStart);
    if (FAILED(hr)) return hr;
    hr = ResetScrollRange();
    Repaint();
    return hr;
}

HRESULT QMXGanttChartPane::ResetTimeRange()
{
    if (!HasTimeline()) return E_UNEXPECTED;
    const std::optional<ZoomChoice> week = ZoomLevelForScale(ptWeek, 1);
    if (!week) return E_UNEXPECTED;
    HRESULT hr = ApplyScale(week->scale);
    if (FAILED(hr)) return hr;
    zoomLevel_ = week->level;
    hr = timeline_->put_StartDate(Today());
    if (FAILED(hr)) return hr;
    hr = ResetScrollRange();
    Repaint();
    return hr;
}

HRESULT QMXGanttChartPane::get_CurrentViewSettings(BSTR* pbsSettings)
{
    if (!pbsSettings) return E_POINTER;
    if (!HasTimeline()) return E_UNEXPECTED;
    TimeScale scale;
    ViewSettings settings;
    HRESULT hr = ReadScale(scale, settings.startDate);
    if (FAILED(hr)) return hr;
    settings.periodType = scale.periodType;
    settings.periodCount = scale.periodCount;
    settings.scroll = scroll_;
    *pbsSettings = FormatViewSettings(settings);
    return S_OK;
}

HRESULT QMXGanttChartPane::put_CurrentViewSettings(const BSTR& bsSettings)
{
    const std::optional<ViewSettings> settings = ParseViewSettings(bsSettings);
    if (!settings) return E_INVALIDARG;
    if (!HasTimeline()) return E_UNEXPECTED;
    // In this order, stopping at the first failure; what was applied stays.
    HRESULT hr = timeline_->put_PeriodType(static_cast<QMXTimelinePeriodType>(settings->periodType));
    if (FAILED(hr)) return hr;
    hr = timeline_->put_PeriodCount(settings->periodCount);
    if (FAILED(hr)) return hr;
    hr = timeline_->put_StartDate(settings->startDate);
    if (FAILED(hr)) return hr;
    SetScroll(settings->scroll);
    const std::optional<ZoomChoice> zoom =
        ZoomLevelForScale(static_cast<QMXTimelinePeriodType>(settings->periodType), settings->periodCount);
    if (zoom) {
        hr = ApplyScale(zoom->scale);
        if (FAILED(hr)) return hr;
        zoomLevel_ = zoom->level;
    }
    Repaint();
    return S_OK;
}

HRESULT QMXGanttChartPane::Advise(_IGanttChartPaneEvents* pSink, DWORD* pdwCookie)
{
    return events_.Advise(pSink, pdwCookie);
}

HRESULT QMXGanttChartPane::Unadvise(DWORD dwCookie) { return events_.Unadvise(dwCookie); }

HRESULT QMXGanttChartPane::CreateControlWindow(QWidget* parent, QWidget** ppWindow)
{
    if (!ppWindow) return E_POINTER;
    *ppWindow = nullptr;
    if (window_) {
        window_->setParent(parent);
        *ppWindow = window_;
        return S_OK;
    }
    auto* window = new GanttChartPaneWindow(this, parent);
    const HRESULT hr = CreateTimeline(window);
    if (FAILED(hr)) {
        window->Detach();
        delete window;
        return hr;
    }
    window_ = window;
    LoadDragResources(window);
    ResetScrollRange();
    *ppWindow = window;
    return S_OK;
}

HRESULT QMXGanttChartPane::GetControlWindow(QWidget** ppWindow)
{
    if (!ppWindow) return E_POINTER;
    *ppWindow = window_;
    return window_ ? S_OK : S_FALSE;
}

HRESULT QMXGanttChartPane::CreateTimeline(GanttChartPaneWindow* window)
{
    DisconnectTimeline();
    timeline_ = nullptr;
    timelineControl_ = nullptr;
    timelineEvents_ = nullptr;

    ComPtr<IWidgetControl> control;
    HRESULT hr = CreateInstance(kTimelinePaneVersionIndependentProgId, &control);
    if (FAILED(hr)) return hr;
    ComPtr<ITimelinePane> timeline;
    ComPtr<ITimelinePaneEventSource> events;
    if (FAILED(hr = control.As(&timeline)) || FAILED(hr = control.As(&events))) return hr;
    QWidget* timelineWindow = nullptr;
    hr = control->CreateControlWindow(window, &timelineWindow);
    if (FAILED(hr)) return hr;
    if (!timelineWindow) return E_FAIL;

    ComPtr<TimelineSink> sink = MakeObject<TimelineSink>(this);
    if (!sink) return E_OUTOFMEMORY;
    DWORD cookie = 0;
    hr = events->Advise(sink.Get(), &cookie);
    if (FAILED(hr)) return hr;

    timelineControl_ = control;
    timeline_ = timeline;
    timelineEvents_ = events;
    timelineSink_ = sink;
    timelineCookie_ = cookie;
    timelineWindow_ = timelineWindow;
    timelineWindow->setGeometry(0, 0, window->width(), timelineHeight_);
    timelineWindow->setVisible(timelineVisible_);
    return S_OK;
}

void QMXGanttChartPane::DisconnectTimeline()
{
    if (timelineEvents_ && timelineCookie_ != 0) timelineEvents_->Unadvise(timelineCookie_);
    timelineCookie_ = 0;
    if (timelineSink_) timelineSink_->Disconnect();
    timelineSink_ = nullptr;
}

HRESULT QMXGanttChartPane::ReadScale(TimeScale& scale, DATE& startDate) const
{
    HRESULT hr = timeline_->get_PeriodType(&scale.periodType);
    if (SUCCEEDED(hr)) hr = timeline_->get_PeriodCount(&scale.periodCount);
    if (SUCCEEDED(hr)) hr = timeline_->get_StartDate(&startDate);
    return hr;
}

HRESULT QMXGanttChartPane::ApplyScale(const TimeScale& scale)
{
    const HRESULT hr = timeline_->put_PeriodType(scale.periodType);
    if (FAILED(hr)) return hr;
    return timeline_->put_PeriodCount(scale.periodCount);
}

HRESULT QMXGanttChartPane::ApplyZoomLevel(LONG level)
{
    // A level whose scale the timeline refuses (a view beyond the calendar)
    // is not taken.
    const HRESULT hr = ApplyScale(ScaleForZoomLevel(level));
    if (SUCCEEDED(hr)) zoomLevel_ = level;
    return hr;
}

HRESULT QMXGanttChartPane::ResetScrollRange()
{
    if (!HasTimeline()) return E_UNEXPECTED;
    TimeScale scale;
    DATE start = 0;
    const HRESULT hr = ReadScale(scale, start);
    if (FAILED(hr)) return hr;
    SetScroll(ScrollForReset(scale, start));
    ViewRange view;
    ReadView(view);
    return S_OK;
}

void QMXGanttChartPane::SynchroniseScroll()
{
    ViewRange view;
    if (!ReadView(view)) return;
    SetScroll(ScrollAfterStartChange(scroll_, view.viewStart));
}

void QMXGanttChartPane::SetScroll(const ScrollState& state)
{
    scroll_ = Normalised(state);
    if (!window_) return;
    // Setting the bar is no scroll command.
    QScrollBar* bar = window_->ScrollBar();
    const QSignalBlocker quiet(bar);
    bar->setRange(scroll_.minimum, scroll_.maximum - std::max(scroll_.page - 1, 0));
    bar->setPageStep(scroll_.page);
    bar->setValue(scroll_.position);
}

bool QMXGanttChartPane::ReadView(ViewRange& view)
{
    DATE start = 0;
    DATE end = 0;
    if (!timeline_ || FAILED(timeline_->get_ViewStartDate(&start)) || FAILED(timeline_->get_ViewEndDate(&end)))
        return false;
    view.viewStart = start;
    view.viewEnd = end;
    // The view copies follow every read.
    viewStart_ = start;
    viewEnd_ = end;
    return true;
}

ChartBackdrop QMXGanttChartPane::MakeBackdrop(const ViewRange& view, LONG width, bool printing)
{
    ChartBackdrop backdrop;
    ComPtr<ITimelinePeriodCells> periods;
    if (SUCCEEDED(timeline_.As(&periods)) && SUCCEEDED(periods->Reset(printing))) {
        LONG x = 0;
        while (periods->Next(&x) == S_OK) backdrop.periodXs.push_back(x);
    }
    QMXTimelineSubperiodType subperiodType = stWeek;
    ComPtr<ITimelineSubperiodCells> subperiods;
    if (SUCCEEDED(timeline_->get_SubperiodType(&subperiodType)) && subperiodType == stDay &&
        SUCCEEDED(timeline_.As(&subperiods)) && SUCCEEDED(subperiods->Reset(printing))) {
        DayCell cell;
        while (subperiods->Next(&cell.x, &cell.dayOfWeek) == S_OK) backdrop.dayCells.push_back(cell);
    }
    DATE first = 0;
    DATE last = 0;
    if (SUCCEEDED(control_->get_MinDate(&first)) && SUCCEEDED(control_->get_MaxDate(&last)) && last > first) {
        backdrop.projectRange = ProjectRangeMarks{ChartX(first, 0, width, view.viewStart, view.viewEnd),
                                                  ChartX(last, 0, width, view.viewStart, view.viewEnd),
                                                  LocaleDateText(first), LocaleDateText(last)};
    }
    return backdrop;
}

QRect QMXGanttChartPane::ChartArea() const
{
    if (!window_) return {};
    const QRect client = window_->ClientRect();
    const int top = timelineVisible_ && timelineWindow_ ? timelineWindow_->height() : 0;
    return QRect(0, top, client.width(), client.height() - top);
}

bool QMXGanttChartPane::LayOutScreen(ViewRange& view)
{
    if (!window_ || !control_ || !timeline_) return false;
    const QRect area = ChartArea();
    if (!ReadView(view)) return false;
    // Only what can show: hit testing reads the rows in view alone.
    const LayoutFrame frame{area.width(), area.height(), view.viewStart, view.viewEnd, kTopMargin, true};
    return SUCCEEDED(LayOutChart(control_, frame, screen_));
}

QImage QMXGanttChartPane::RenderChartArea()
{
    ViewRange view;
    const QRect area = ChartArea();
    if (!LayOutScreen(view) || area.isEmpty()) return {};

    // Drawn off screen and copied in one step, so a repaint never flickers.
    QImage image(area.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    PaintChart(painter, area.size(), MakeBackdrop(view, area.width()), screen_, chartFont_);
    return image;
}

void QMXGanttChartPane::PaintWindow(QPainter& painter, const QRect& exposed)
{
    if (PaintDragFeedback(painter, exposed)) return;
    shownChart_ = RenderChartArea();
    if (!shownChart_.isNull()) {
        painter.drawImage(ChartArea().topLeft(), shownChart_);
        RedrawDragFeedback(painter);
    } else if (window_) {
        // Nothing attached: the area stays empty.
        painter.fillRect(ChartArea(), window_->palette().base());
    }
}

void QMXGanttChartPane::OnWindowResized(int width, int height)
{
    if (width == 0 || height == 0 || !timelineWindow_) return;
    timelineWindow_->setGeometry(0, 0, width, timelineHeight_);
}

void QMXGanttChartPane::OnScrollAction(int action)
{
    if (!HasTimeline()) return;
    ComPtr<QMXGanttChartPane> keepAlive(this);  // a sink may drop its last reference
    bool handled = true;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: timeline_->ChangeStartSubperiod(-1); break;
    case QAbstractSlider::SliderSingleStepAdd: timeline_->ChangeStartSubperiod(1); break;
    case QAbstractSlider::SliderPageStepSub: timeline_->ChangeStartPeriod(-1); break;
    case QAbstractSlider::SliderPageStepAdd: timeline_->ChangeStartPeriod(1); break;
    case QAbstractSlider::SliderMove:
        timeline_->put_StartDate(DATE(window_ ? window_->ScrollBar()->sliderPosition() : scroll_.position));
        break;
    default: handled = false; break;
    }
    if (!handled) {
        // The bar moves only as the view does.
        SetScroll(scroll_);
        return;
    }
    SynchroniseScroll();
    Repaint();
    events_.Fire([](_IGanttChartPaneEvents* sink) { sink->TimeRangeChanged(); });
}

void QMXGanttChartPane::OnWindowDestroyed()
{
    DisconnectTimeline();
    window_ = nullptr;
}

void QMXGanttChartPane::OnTimelineStartDateChanged()
{
    SynchroniseScroll();
    Repaint();
}

void QMXGanttChartPane::Repaint()
{
    if (window_) window_->update();
}

}  // namespace qmx
