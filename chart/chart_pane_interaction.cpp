// The chart pane's mouse and keyboard handling: the hit test run on every
// pointer move (where the cursor is chosen), dragging a bar to move it, its
// end to resize it and its percent mark to set its progress, with outline
// feedback and the tracking tooltip; clicks, double clicks, keys and the
// wheel reported to the container.
//
// Qt's counterparts of the mouse capture: the window holds the mouse from a
// press to its release (Qt's implicit grab); losing the keyboard focus,
// being hidden, or Escape stand for losing the capture and end any drag
// with nothing changed.

#include <cstdlib>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "chart/drag_cursors.h"
#include "chart/drag_snapping.h"
#include "chart/drag_tooltip.h"
#include "chart/gantt_chart_pane.h"
#include "chart/pixel_canvas.h"
#include "chart/virtual_keys.h"

namespace qmx {

namespace {

constexpr int kWheelNotch = 120;  // wheel delta of one notch

bool IsValidTask(ITask* task)
{
    VARIANT_BOOL valid = VARIANT_FALSE;
    return task && SUCCEEDED(task->get_IsValid(&valid)) && valid != VARIANT_FALSE;
}

// The part of r inside the chart area (0, 0, width, height), as a QRect;
// clamped first, so that far coordinates cannot overflow.
QRect ClippedToArea(const PixelRect& r, const QSize& area)
{
    const LONG left = std::max<LONG>(r.left, 0);
    const LONG top = std::max<LONG>(r.top, 0);
    const LONG right = std::min<LONG>(r.right, area.width());
    const LONG bottom = std::min<LONG>(r.bottom, area.height());
    if (right <= left || bottom <= top) return {};
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace

void QMXGanttChartPane::LoadDragResources(GanttChartPaneWindow* window)
{
    if (const auto cursor = LoadDragCursor(IDC_DRAG_MOVE)) moveCursor_ = *cursor;
    if (const auto cursor = LoadDragCursor(IDC_DRAG_RESIZE)) resizeCursor_ = *cursor;
    if (const auto cursor = LoadDragCursor(IDC_DRAG_PERCENT)) percentCursor_ = *cursor;
    tooltip_ = new DragTooltip(window);
}

// ---------------------------------------------------------------- hit test

void QMXGanttChartPane::HitTest(const QPoint& position)
{
    drag_.hoveredTask = nullptr;
    drag_.hoveredItem = TaskItem();
    drag_.endZone = false;
    drag_.percentZone = false;
    if (!window_ || !control_) {
        ShowCursor(0);
        return;
    }
    const QRect area = ChartArea();
    const LONG x = position.x();
    const LONG y = position.y() - area.top();
    if (x < 0 || x >= area.width() || y < kTopMargin || y >= area.height()) {
        ShowCursor(0);
        return;
    }
    ViewRange view;
    if (screen_.RowHeight() <= 0) LayOutScreen(view);
    LONG row = RowAt(y, kTopMargin, screen_.RowHeight());
    if (row >= LONG(screen_.Rows().size())) {
        // The area grew since the last paint.
        LayOutScreen(view);
        row = RowAt(y, kTopMargin, screen_.RowHeight());
    }
    ITask* task = row >= 0 && row < LONG(screen_.Rows().size()) ? screen_.Rows()[std::size_t(row)] : nullptr;
    const TaskItem* item = task ? screen_.Find(task) : nullptr;
    if (!item) {
        ShowCursor(0);
        return;
    }
    const HitZone zone = HitTestBar(item->Kind(), item->Box(), item->PercentComplete, x, y);
    if (zone != HitZone::None) {
        drag_.hoveredTask = item->task;
        drag_.hoveredItem = *item;
        drag_.endZone = zone == HitZone::End;
        drag_.percentZone = zone == HitZone::Percent;
    }
    ShowCursor(zone == HitZone::End ? IDC_DRAG_RESIZE : zone == HitZone::Percent ? IDC_DRAG_PERCENT : 0);
}

bool QMXGanttChartPane::HoveredTaskIsValid() const { return IsValidTask(drag_.hoveredTask.Get()); }

void QMXGanttChartPane::ShowCursor(int resourceId)
{
    if (!window_ || resourceId == shownCursor_) return;
    shownCursor_ = resourceId;
    switch (resourceId) {
    case IDC_DRAG_MOVE: window_->setCursor(moveCursor_); break;
    case IDC_DRAG_RESIZE: window_->setCursor(resizeCursor_); break;
    case IDC_DRAG_PERCENT: window_->setCursor(percentCursor_); break;
    default: window_->unsetCursor(); break;
    }
}

// ---------------------------------------------------------------- mouse

void QMXGanttChartPane::OnMousePress(const QMouseEvent& e)
{
    if (e.button() != Qt::LeftButton) return;
    ComPtr<QMXGanttChartPane> keepAlive(this);  // a sink may drop its last reference
    altHeld_ = e.modifiers().testFlag(Qt::AltModifier);
    const QPoint position = e.position().toPoint();
    // The cursor is chosen for the press point before the press is handled.
    if (!drag_.buttonDown) HitTest(position);
    drag_.pressX = drag_.lastX = position.x();
    if (!HoveredTaskIsValid() || !DragFrameOf(drag_.frame)) return;
    drag_.buttonDown = true;
    if (drag_.endZone) {
        drag_.mode = DragMode::ResizeEnd;
        TakeRowSnapshot();
    } else if (!drag_.percentZone) {
        const ComPtr<ITask> task = drag_.hoveredTask;
        const LONG keys = MouseKeyState(e.buttons(), e.modifiers());
        events_.Fire([&](_IGanttChartPaneEvents* sink) { sink->TaskLButtonDown(task.Get(), keys); });
        return;  // a move may start later
    } else {
        drag_.trackedPercent = drag_.hoveredItem.PercentComplete;
        drag_.mode = DragMode::Percent;
        TakeRowSnapshot();  // to show the bar as it was if the drag is given up
    }
    ActivateTooltip(position);
}

void QMXGanttChartPane::OnMouseMove(const QMouseEvent& e)
{
    altHeld_ = e.modifiers().testFlag(Qt::AltModifier);
    const QPoint position = e.position().toPoint();
    if (!drag_.buttonDown) {
        HitTest(position);
        return;
    }
    if (!HoveredTaskIsValid()) return;
    if (drag_.mode != DragMode::None && ViewMovedDuringDrag()) {
        EndDrag(true);
        return;
    }
    const LONG x = position.x();
    switch (drag_.mode) {
    case DragMode::ResizeEnd:
        if (x == drag_.lastX) break;
        drag_.lastX = x;
        DrawFeedback();
        break;
    case DragMode::Percent:
        if (x == drag_.lastX) break;
        drag_.lastX = x;
        drag_.trackedPercent =
            TrackedPercent(drag_.hoveredItem.Box(), drag_.hoveredItem.PercentComplete, drag_.pressX, x);
        DrawFeedback();
        break;
    case DragMode::None:
    case DragMode::Move:
        if (drag_.hoveredItem.Kind() == BarKind::Summary || x == drag_.lastX) return;
        drag_.lastX = x;
        if (drag_.mode == DragMode::None) {
            if (std::abs(x - drag_.pressX) <= kMoveThreshold) return;
            drag_.mode = DragMode::Move;
            TakeRowSnapshot();
            ActivateTooltip(position);
        }
        DrawFeedback();
        ShowCursor(IDC_DRAG_MOVE);
        break;
    }
    TrackTooltip(position);
}

void QMXGanttChartPane::OnMouseRelease(const QMouseEvent& e)
{
    if (e.button() != Qt::LeftButton) return;
    ComPtr<QMXGanttChartPane> keepAlive(this);
    altHeld_ = e.modifiers().testFlag(Qt::AltModifier);
    if (!drag_.buttonDown) return;
    if (HoveredTaskIsValid() && !ViewMovedDuringDrag()) {
        ApplyDrop(e.position().toPoint().x(), altHeld_);
        EndDrag(false);
    } else {
        EndDrag(true);
    }
}

void QMXGanttChartPane::ApplyDrop(LONG x, bool fine)
{
    const ComPtr<ITask> task = drag_.hoveredTask;
    const TaskItem& item = drag_.hoveredItem;
    bool changed = false;
    switch (drag_.mode) {
    case DragMode::Move: {
        RestoreRow();
        const DATE start = DraggedDate(item.Left, drag_.pressX, x, drag_.frame, fine);
        DATE current = 0;
        if (SUCCEEDED(task->get_StartDate(&current)) && start != current) {
            task->SetStartEndDate(start);
            changed = true;
        }
        break;
    }
    case DragMode::ResizeEnd: {
        RestoreRow();
        const DATE end = DraggedDate(item.Right, drag_.pressX, x, drag_.frame, fine);
        DATE currentStart = 0;
        DATE currentEnd = 0;
        if (SUCCEEDED(task->get_StartDate(&currentStart)) && SUCCEEDED(task->get_EndDate(&currentEnd)) &&
            end != currentEnd && !(end < currentStart)) {
            task->put_EndDate(end);
            changed = true;
        }
        break;
    }
    case DragMode::Percent:
        task->put_PercentComplete(drag_.trackedPercent);
        changed = true;
        break;
    case DragMode::None: break;
    }
    // Failures of the setters are not reported; the event follows the call.
    if (changed) events_.Fire([&](_IGanttChartPaneEvents* sink) { sink->TaskChanged(task.Get()); });
}

void QMXGanttChartPane::OnMouseDoubleClick(const QMouseEvent& e)
{
    if (e.button() != Qt::LeftButton) return;
    ComPtr<QMXGanttChartPane> keepAlive(this);
    if (!drag_.buttonDown) HitTest(e.position().toPoint());
    if (!HoveredTaskIsValid()) return;
    const ComPtr<ITask> task = drag_.hoveredTask;
    events_.Fire([&](_IGanttChartPaneEvents* sink) { sink->TaskLButtonDblClk(task.Get()); });
}

void QMXGanttChartPane::OnDragInterrupted()
{
    if (drag_.buttonDown) EndDrag(true);
}

void QMXGanttChartPane::EndDrag(bool restore)
{
    const bool hadFeedback = !drag_.feedback.isNull();
    drag_.buttonDown = false;
    drag_.mode = DragMode::None;
    drag_.endZone = false;
    drag_.percentZone = false;
    drag_.feedback = QImage();
    if (tooltip_) tooltip_->Deactivate();
    if (restore && hadFeedback) RestoreRow();
    drag_.snapshot = QImage();
    drag_.feedback = QImage();
}

// ---------------------------------------------------------------- keyboard and wheel

void QMXGanttChartPane::OnKeyPress(const QKeyEvent& e)
{
    ComPtr<QMXGanttChartPane> keepAlive(this);
    if (e.key() == Qt::Key_Alt) {
        // A system key: no KeyDown, but it changes the snapping.
        altHeld_ = true;
        RefreshTooltip();
        return;
    }
    if (e.modifiers().testFlag(Qt::AltModifier)) return;  // system keys are not reported
    if (e.key() == Qt::Key_Escape) OnDragInterrupted();
    const std::optional<LONG> key = VirtualKeyOf(e.key(), e.modifiers());
    if (!key) return;
    const LONG data = KeyDataOf(e.key(), e.modifiers(), e.isAutoRepeat());
    events_.Fire([&](_IGanttChartPaneEvents* sink) { sink->KeyDown(*key, data); });
}

void QMXGanttChartPane::OnKeyRelease(const QKeyEvent& e)
{
    if (e.key() != Qt::Key_Alt) return;
    altHeld_ = false;
    RefreshTooltip();
}

void QMXGanttChartPane::OnWheel(const QWheelEvent& e)
{
    if (!HasTimeline()) return;
    ComPtr<QMXGanttChartPane> keepAlive(this);
    // Fine-grained wheels send parts of a notch: they add up to whole ones.
    wheelDelta_ += e.angleDelta().y();
    const int notches = wheelDelta_ / -kWheelNotch;
    if (notches == 0) return;
    wheelDelta_ += notches * kWheelNotch;
    timeline_->ChangeStartSubperiod(notches);
    events_.Fire([](_IGanttChartPaneEvents* sink) { sink->TimeRangeChanged(); });
}

// ---------------------------------------------------------------- feedback

bool QMXGanttChartPane::DragFrameOf(DragFrame& frame)
{
    ViewRange view;
    QMXTimelineSubperiodType subperiodType = stDay;
    if (!window_ || !ReadView(view) || FAILED(timeline_->get_SubperiodType(&subperiodType))) return false;
    frame.width = ChartArea().width();
    frame.viewStart = view.viewStart;
    frame.viewEnd = view.viewEnd;
    frame.subperiodType = subperiodType;
    return true;
}

bool QMXGanttChartPane::ViewMovedDuringDrag()
{
    DragFrame now;
    return !DragFrameOf(now) || now.width != drag_.frame.width || now.viewStart != drag_.frame.viewStart ||
           now.viewEnd != drag_.frame.viewEnd || now.subperiodType != drag_.frame.subperiodType;
}

void QMXGanttChartPane::TakeRowSnapshot()
{
    const QRect area = ChartArea();
    if (shownChart_.size() != area.size()) shownChart_ = RenderChartArea();
    const TaskItem& item = drag_.hoveredItem;
    const QRect row = ClippedToArea({0, item.Top, area.width(), item.Bottom}, area.size());
    if (shownChart_.isNull() || row.isEmpty()) {
        drag_.snapshot = QImage();
        return;
    }
    drag_.snapshot = shownChart_.copy(row);
    drag_.snapshotRect = row.translated(area.topLeft());
}

void QMXGanttChartPane::ComposeFeedback()
{
    const QRect area = ChartArea();
    const TaskItem& item = drag_.hoveredItem;
    if (drag_.mode == DragMode::Percent) {
        // The bar alone, at the tracked percent.
        const QRect bar = ClippedToArea(NormalBarRect(item.Box()), area.size());
        if (bar.isEmpty()) return;
        QImage image(bar.size(), QImage::Format_RGB32);
        {
            QPainter painter(&image);
            painter.translate(-bar.topLeft());
            PixelCanvas canvas(painter, bar);
            PaintNormalBar(canvas, item.Box(), item.Color, drag_.trackedPercent);
        }
        drag_.feedback = std::move(image);
        drag_.feedbackRect = bar.translated(area.topLeft());
        return;
    }
    // The row as it was, and one outline over it.
    if (drag_.snapshot.isNull()) return;
    const LONG dx = drag_.lastX - drag_.pressX;
    PixelRect outline = drag_.mode == DragMode::ResizeEnd ? ResizeOutline(item.Box(), dx)
                                                          : MoveOutline(item.Kind(), item.Box(), dx);
    const LONG top = drag_.snapshotRect.top() - area.top();
    outline.top -= top;
    outline.bottom -= top;
    QImage frame = drag_.snapshot;
    {
        QPainter painter(&frame);
        PixelCanvas canvas(painter, frame.rect());
        canvas.FrameRect(outline, chart_colors::kOutline);
    }
    drag_.feedback = std::move(frame);
    drag_.feedbackRect = drag_.snapshotRect;
}

void QMXGanttChartPane::DrawFeedback()
{
    ComposeFeedback();
    // Drawn at once, and only the feedback's rectangle.
    if (window_ && !drag_.feedback.isNull()) window_->repaint(drag_.feedbackRect);
}

void QMXGanttChartPane::RestoreRow()
{
    if (drag_.snapshot.isNull()) return;
    drag_.feedback = drag_.snapshot;
    drag_.feedbackRect = drag_.snapshotRect;
    if (window_) window_->repaint(drag_.feedbackRect);
    drag_.feedback = QImage();
}

bool QMXGanttChartPane::PaintDragFeedback(QPainter& painter, const QRect& exposed)
{
    if (drag_.feedback.isNull() || !drag_.feedbackRect.contains(exposed)) return false;
    painter.drawImage(drag_.feedbackRect.topLeft(), drag_.feedback);
    return true;
}

void QMXGanttChartPane::RedrawDragFeedback(QPainter& painter)
{
    if (drag_.feedback.isNull() || drag_.snapshot.isNull()) return;
    const QRect area = ChartArea();
    const QRect row = drag_.snapshotRect.translated(-area.topLeft());
    if (!QRect(QPoint(0, 0), shownChart_.size()).contains(row)) return;
    drag_.snapshot = shownChart_.copy(row);
    ComposeFeedback();
    painter.drawImage(drag_.feedbackRect.topLeft(), drag_.feedback);
}

// ---------------------------------------------------------------- tooltip

QString QMXGanttChartPane::DragTooltipText() const
{
    const TaskItem& item = drag_.hoveredItem;
    const DragFrame& frame = drag_.frame;
    switch (drag_.mode) {
    case DragMode::Move: {
        const DATE start = DraggedDate(item.Left, drag_.pressX, drag_.lastX, frame, altHeld_);
        return TooltipRangeText(start, start + (item.EndDate - item.StartDate), frame.subperiodType);
    }
    case DragMode::ResizeEnd: {
        const DATE start = SnapDraggedDate(item.StartDate, frame.subperiodType, true);
        const DATE end = DraggedDate(item.Right, drag_.pressX, drag_.lastX, frame, altHeld_);
        return TooltipRangeText(start, end, frame.subperiodType);
    }
    case DragMode::Percent:
    case DragMode::None: break;
    }
    return TooltipPercentText(drag_.trackedPercent);
}

void QMXGanttChartPane::ActivateTooltip(const QPoint& windowPosition)
{
    if (!tooltip_ || !window_) return;
    drag_.tooltipText = DragTooltipText();
    tooltip_->Activate(window_->mapToGlobal(windowPosition) + QPoint(kTooltipOffsetX, 0), drag_.tooltipText);
}

void QMXGanttChartPane::TrackTooltip(const QPoint& windowPosition)
{
    if (!tooltip_ || !window_ || !tooltip_->IsActive()) return;
    tooltip_->TrackPosition(window_->mapToGlobal(windowPosition) + QPoint(kTooltipOffsetX, 0));
    RefreshTooltip();
}

void QMXGanttChartPane::RefreshTooltip()
{
    if (!tooltip_ || !tooltip_->IsActive()) return;
    drag_.tooltipText = DragTooltipText();
    tooltip_->Refresh(drag_.tooltipText);
}

}  // namespace qmx
