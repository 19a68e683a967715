#include "chart/timeline_pane.h"

#include <algorithm>
#include <limits>

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include "automation/date_time.h"
#include "chart/handler_tracker.h"

namespace qmx {

namespace {

// The application's default UI font at an 11-pixel character height.
QFont TimelineFont(bool bold)
{
    QFont font = QApplication::font();
    font.setPixelSize(11);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

}  // namespace

// ---------------------------------------------------------------- window

TimelineWindow::TimelineWindow(QMXTimelinePane* pane, QWidget* parent) : QWidget(parent), pane_(pane)
{
    // Painting covers the whole window: no background erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The pane takes the focus on a left click only (see mousePressEvent).
    setFocusPolicy(Qt::NoFocus);
    // The pane may end inside one of the window's handlers (a sink letting
    // it go from the event the wheel raised).
    HandlerTracker::Watch(this);
}

void TimelineWindow::paintEvent(QPaintEvent*)
{
    if (!pane_) return;
    QPainter painter(this);
    pane_->PaintWindow(painter, rect());
}

void TimelineWindow::resizeEvent(QResizeEvent* e)
{
    if (!pane_) return;
    pane_->OnWindowResized(e->size().width(), e->size().height());
}

void TimelineWindow::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(e);
}

void TimelineWindow::wheelEvent(QWheelEvent* e)
{
    if (!pane_) return;
    pane_->OnWheel(e->angleDelta().y());
    e->accept();
}

// ---------------------------------------------------------------- control

QMXTimelinePane::QMXTimelinePane()
    : startDate_(Today()), words_(TimelineWords::Load()), screenWidth_(std::numeric_limits<LONG>::max())
{
    style_.periodFont = TimelineFont(true);
    style_.subperiodFont = TimelineFont(false);
    style_.SetColorsFrom(QApplication::palette());
    // Today always has a view; should the clock be broken, start at the
    // epoch rather than without one.
    std::optional<ViewRange> view = ComputeViewRange(scale_, startDate_);
    if (!view) {
        startDate_ = 0;
        view = ComputeViewRange(scale_, startDate_);
    }
    view_ = *view;
    LayoutScreen(LabelMode::Decide, ClientWidth());
}

QMXTimelinePane::~QMXTimelinePane()
{
    events_.UnadviseAll();
    if (TimelineWindow* window = window_.data()) {
        window->Detach();
        // Not under one of the window's own handlers.
        DeleteWindowWhenIdle(window);
    }
}

ClassInfo QMXTimelinePane::Registration()
{
    return ClassInfo{CLSID_QMXTimelinePane, kTimelinePaneProgId, kTimelinePaneVersionIndependentProgId,
                     "QMXTimelinePane Class"};
}

LONG QMXTimelinePane::ClientWidth() const { return window_ ? window_->width() : 0; }

void QMXTimelinePane::LayoutScreen(LabelMode mode, LONG width)
{
    const QFontMetrics metrics(style_.subperiodFont);
    LayoutTimeline(scale_, view_, width, words_, mode, screenWidth_,
                   [&metrics](const QString& text) { return metrics.horizontalAdvance(text); }, screen_);
    screenWidth_ = width;
}

void QMXTimelinePane::FollowWindowSize()
{
    if (window_ && window_->width() > 0 && window_->height() > 0 && window_->width() != screenWidth_)
        LayoutScreen(LabelMode::Resize, window_->width());
}

void QMXTimelinePane::Redraw()
{
    if (window_) window_->update();
}

void QMXTimelinePane::FireStartDateChanged()
{
    events_.Fire([](_ITimelinePaneEvents* sink) { sink->StartDateChanged(); });
}

HRESULT QMXTimelinePane::Apply(const TimeScale& scale, DATE startDate)
{
    const std::optional<ViewRange> view = ComputeViewRange(scale, startDate);
    if (!view) return E_INVALIDARG;
    scale_ = scale;
    startDate_ = startDate;
    view_ = *view;
    LayoutScreen(LabelMode::Decide, ClientWidth());
    return S_OK;
}

HRESULT QMXTimelinePane::put_PeriodType(QMXTimelinePeriodType newVal)
{
    if (newVal == scale_.periodType) return S_OK;
    if (!IsValidPeriodType(newVal)) return E_INVALIDARG;
    const HRESULT hr = Apply({newVal, scale_.periodCount}, startDate_);
    if (SUCCEEDED(hr)) Redraw();
    return hr;
}

HRESULT QMXTimelinePane::get_PeriodType(QMXTimelinePeriodType* pVal)
{
    if (!pVal) return E_POINTER;
    *pVal = scale_.periodType;
    return S_OK;
}

HRESULT QMXTimelinePane::put_PeriodCount(LONG newVal)
{
    if (newVal == scale_.periodCount) return S_OK;
    if (newVal <= 0) return E_INVALIDARG;
    const HRESULT hr = Apply({scale_.periodType, newVal}, startDate_);
    if (SUCCEEDED(hr)) Redraw();
    return hr;
}

HRESULT QMXTimelinePane::get_PeriodCount(LONG* pVal)
{
    if (!pVal) return E_POINTER;
    *pVal = scale_.periodCount;
    return S_OK;
}

HRESULT QMXTimelinePane::put_StartDate(DATE newVal)
{
    if (newVal == startDate_) return S_OK;
    const HRESULT hr = Apply(scale_, newVal);
    if (FAILED(hr)) return hr;
    const ComPtr<ITimelinePane> alive(this);  // a sink may release the pane
    FireStartDateChanged();
    Redraw();
    return S_OK;
}

HRESULT QMXTimelinePane::get_StartDate(DATE* pVal)
{
    if (!pVal) return E_POINTER;
    *pVal = startDate_;
    return S_OK;
}

HRESULT QMXTimelinePane::get_ViewStartDate(DATE* pVal)
{
    if (!pVal) return E_POINTER;
    *pVal = view_.viewStart;
    return S_OK;
}

HRESULT QMXTimelinePane::get_ViewEndDate(DATE* pVal)
{
    if (!pVal) return E_POINTER;
    *pVal = view_.viewEnd;
    return S_OK;
}

HRESULT QMXTimelinePane::get_SubperiodType(QMXTimelineSubperiodType* pVal)
{
    if (!pVal) return E_POINTER;
    *pVal = view_.subperiodType;
    return S_OK;
}

HRESULT QMXTimelinePane::ChangeStartPeriod(LONG nDelta)
{
    const std::optional<DATE> moved = StartMovedByPeriods(scale_, startDate_, nDelta);
    if (!moved) return E_INVALIDARG;
    const ComPtr<ITimelinePane> alive(this);
    const HRESULT hr = put_StartDate(*moved);
    // Raised once more, also when the start did not change.
    if (SUCCEEDED(hr)) FireStartDateChanged();
    return hr;
}

HRESULT QMXTimelinePane::ChangeStartSubperiod(LONG nDelta)
{
    if (nDelta == 0) return S_OK;
    const std::optional<DATE> moved = StartMovedBySubperiods(view_, nDelta);
    if (!moved) return E_INVALIDARG;
    return put_StartDate(*moved);
}

HRESULT QMXTimelinePane::PreparePrinting(QPainter* hDC)
{
    if (!hDC) return E_POINTER;
    printScale_ = DeviceScale::Of(hDC->device());
    if (!printScale_) return E_FAIL;
    const int fontPixels = std::max(1, int(printScale_->Y(page_layout::kTimelineFontHeight)));
    printStyle_.periodFont = TimelineFont(true);
    printStyle_.periodFont.setPixelSize(fontPixels);
    printStyle_.subperiodFont = TimelineFont(false);
    printStyle_.subperiodFont.setPixelSize(fontPixels);
    printStyle_.SetColorsFrom(QApplication::palette());
    printStyle_.textIndent = int(printScale_->X(page_layout::kTimelineTextIndent));
    printing_ = TimelineCells{};
    return S_OK;
}

HRESULT QMXTimelinePane::EndPrinting()
{
    printScale_.reset();
    printStyle_ = TimelinePaintStyle{};
    printing_ = TimelineCells{};
    return S_OK;
}

HRESULT QMXTimelinePane::Print(QPainter* hDC, LONG left, LONG top, LONG right, LONG bottom)
{
    if (!hDC) return E_POINTER;
    if (!printScale_) return E_UNEXPECTED;
    const QRect rect(QPoint(int(printScale_->X(left)), int(printScale_->Y(top))),
                     QPoint(int(printScale_->X(right)) - 1, int(printScale_->Y(bottom)) - 1));
    if (rect.isEmpty()) return S_OK;
    // The strip's own layout, its labels measured on the device.
    const QFontMetrics metrics(printStyle_.subperiodFont, hDC->device());
    LayoutTimeline(scale_, view_, rect.width(), words_, LabelMode::Decide, rect.width(),
                   [&metrics](const QString& text) { return metrics.horizontalAdvance(text); }, printing_);
    hDC->save();
    hDC->setClipRect(rect, Qt::IntersectClip);
    PaintTimeline(*hDC, rect, printing_, printStyle_);
    hDC->setRenderHint(QPainter::Antialiasing, false);
    hDC->setPen(QPen(printStyle_.lineColor, 0));
    hDC->setBrush(Qt::NoBrush);
    hDC->drawRect(rect.adjusted(0, 0, -1, -1));
    hDC->restore();
    return S_OK;
}

HRESULT QMXTimelinePane::CreateControlWindow(QWidget* parent, QWidget** ppWindow)
{
    if (!ppWindow) return E_POINTER;
    *ppWindow = nullptr;
    if (window_) {
        if (window_->parentWidget() != parent) window_->setParent(parent);
        *ppWindow = window_.data();
        return S_OK;
    }
    window_ = new (std::nothrow) TimelineWindow(this, parent);
    if (!window_) return E_OUTOFMEMORY;
    style_.SetColorsFrom(window_->palette());
    LayoutScreen(LabelMode::Decide, ClientWidth());
    *ppWindow = window_.data();
    return S_OK;
}

HRESULT QMXTimelinePane::GetControlWindow(QWidget** ppWindow)
{
    if (!ppWindow) return E_POINTER;
    *ppWindow = window_.data();
    return window_ ? S_OK : S_FALSE;
}

HRESULT QMXTimelinePane::Advise(_ITimelinePaneEvents* pSink, DWORD* pdwCookie)
{
    return events_.Advise(pSink, pdwCookie);
}

HRESULT QMXTimelinePane::Unadvise(DWORD dwCookie) { return events_.Unadvise(dwCookie); }

HRESULT QMXTimelinePane::ResetPeriodCells(bool printing)
{
    if (!printing) FollowWindowSize();
    periodCursorPrinting_ = printing;
    periodCursor_ = 0;
    return S_OK;
}

HRESULT QMXTimelinePane::NextPeriodCell(LONG* x)
{
    if (!x) return E_POINTER;
    const auto& cells = Cells(periodCursorPrinting_).periods;
    if (periodCursor_ >= cells.size()) return S_FALSE;
    *x = cells[periodCursor_++].x;
    return S_OK;
}

HRESULT QMXTimelinePane::ResetSubperiodCells(bool printing)
{
    if (!printing) FollowWindowSize();
    subperiodCursorPrinting_ = printing;
    subperiodCursor_ = 0;
    return S_OK;
}

HRESULT QMXTimelinePane::NextSubperiodCell(LONG* x, LONG* value)
{
    if (!x || !value) return E_POINTER;
    const auto& cells = Cells(subperiodCursorPrinting_).subperiods;
    if (subperiodCursor_ >= cells.size()) return S_FALSE;
    const SubperiodCell& cell = cells[subperiodCursor_++];
    *x = cell.x;
    switch (view_.subperiodType) {
    case stDay:
        *value = cell.dayOfWeek;
        break;
    case stWeek:
        *value = cell.dayOfMonth;
        break;
    case stMonth:
        *value = cell.month;
        break;
    }
    return S_OK;
}

void QMXTimelinePane::OnWindowResized(int width, int height)
{
    if (width > 0 && height > 0) LayoutScreen(LabelMode::Resize, width);
}

void QMXTimelinePane::PaintWindow(QPainter& painter, const QRect& rect)
{
    FollowWindowSize();
    style_.SetColorsFrom(window_ ? window_->palette() : QApplication::palette());
    PaintTimeline(painter, rect, screen_, style_);
}

void QMXTimelinePane::OnWheel(int delta)
{
    // Away from the user (positive) moves to earlier dates.
    ChangeStartSubperiod(-(delta / 120));
}

}  // namespace qmx
