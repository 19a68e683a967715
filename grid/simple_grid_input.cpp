// The grid's keyboard, mouse, wheel and scroll-bar handling.

#include <algorithm>
#include <cstdint>

#include <QAbstractSlider>

#include "grid/simple_grid_control.h"

namespace qmx {

namespace {

LONG ClampToLong(std::int64_t value)
{
    return static_cast<LONG>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

bool QMXSimpleGridControl::OnKeyDown(int key, bool ctrl)
{
    const LONG page = PageRows(Metrics());
    const LONG rows = data_.RowCount();
    switch (key) {
    case Qt::Key_Up:
        if (ctrl) {
            SetTopRow(ClampToLong(std::int64_t(topRow_) - 1));
        } else if (selectedRow_ > 0) {
            SelectRow(selectedRow_ - 1);
        }
        return true;
    case Qt::Key_Down:
        if (ctrl) {
            SetTopRow(ClampToLong(std::int64_t(topRow_) + 1));
        } else if (selectedRow_ + 1 < rows) {
            SelectRow(selectedRow_ + 1);
        }
        return true;
    case Qt::Key_Left:
        if (selectedCol_ > 0) put_SelectedCol(selectedCol_ - 1);
        MakeSelectedRowVisible();
        return true;
    case Qt::Key_Right:
        if (selectedCol_ + 1 < data_.ColCount()) put_SelectedCol(selectedCol_ + 1);
        MakeSelectedRowVisible();
        return true;
    case Qt::Key_PageUp:
        SelectRow(selectedRow_ >= page ? selectedRow_ - page : 0);
        return true;
    case Qt::Key_PageDown:
        SelectRow(ClampToLong(std::min<std::int64_t>(std::int64_t(selectedRow_) + page, rows - 1)));
        return true;
    case Qt::Key_Home:
        if (data_.ColCount() > 0) put_SelectedCol(0);
        if (ctrl) SelectRow(0);
        return true;
    case Qt::Key_End:
        if (data_.ColCount() > 0) put_SelectedCol(data_.ColCount() - 1);
        if (ctrl) SelectRow(rows - 1);
        return true;
    case Qt::Key_F2:
        if (selectedRow_ >= 0 && editable_) OpenEditor();
        return true;
    default:
        return false;
    }
}

void QMXSimpleGridControl::OnLeftButtonDown(QPoint point)
{
    if (openEditor_ == GridEditorKind::None) {
        if (window_) window_->setFocus(Qt::MouseFocusReason);
    } else {
        // A click anywhere first closes the editor, keeping its value; the
        // host may keep it open, and then the click does nothing more.
        CloseEditor(VARIANT_TRUE);
        if (openEditor_ != GridEditorKind::None) return;
    }
    const std::optional<GridCell> hit = HitTest(Metrics(), point.x(), point.y());
    if (!hit) return;
    if (hit->row != selectedRow_ || hit->col != selectedCol_) {
        put_SelectedRow(hit->row);
        put_SelectedCol(hit->col);
    } else if (editable_) {
        OpenEditor();
    }
}

void QMXSimpleGridControl::OnLeftButtonDblClk(QPoint point)
{
    if (!editable_) {
        Fire([](_ISimpleGridControlEvents* sink) { return sink->OnLButtonDblClk(); });
        return;
    }
    if (HitTest(Metrics(), point.x(), point.y())) OpenEditor();
}

void QMXSimpleGridControl::OnRightButtonDown(QPoint point)
{
    if (openEditor_ != GridEditorKind::None) return;
    if (const std::optional<GridCell> hit = HitTest(Metrics(), point.x(), point.y())) {
        put_SelectedRow(hit->row);
        put_SelectedCol(hit->col);
    }
}

void QMXSimpleGridControl::OnContextMenu(QPoint globalPoint, bool fromKeyboard)
{
    if (!window_) return;
    QPoint point = globalPoint;
    if (fromKeyboard) {
        // The bottom-left corner of the selected cell, or the client area's
        // top-left corner when nothing is selected; nothing while the
        // selected cell is off the screen.
        QPoint client(0, 0);
        if (selectedRow_ >= 0) {
            const std::optional<GridRect> cell =
                data_.IsCell(selectedRow_, selectedCol_) ? CellRect(Metrics(), selectedRow_, selectedCol_)
                                                         : std::nullopt;
            if (!cell) return;
            client = QPoint(cell->left, cell->bottom);
        }
        point = window_->mapToGlobal(client + window_->ClientOrigin());
    }
    const LONG x = point.x();
    const LONG y = point.y();
    Fire([&](_ISimpleGridControlEvents* sink) { return sink->ContextMenu(x, y); });
}

void QMXSimpleGridControl::OnWheelNotches(int notches)
{
    // Upwards for a positive turn.
    SetTopRow(ClampToLong(std::int64_t(topRow_) - notches));
}

void QMXSimpleGridControl::OnScrollAction(int action, int trackedPosition)
{
    const LONG page = PageRows(Metrics());
    std::int64_t top = topRow_;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        top -= 1;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        top += 1;
        break;
    case QAbstractSlider::SliderPageStepSub:
        top -= page;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        top += page;
        break;
    case QAbstractSlider::SliderMove:
        top = trackedPosition;
        break;
    case QAbstractSlider::SliderToMinimum:
        top = 0;
        break;
    case QAbstractSlider::SliderToMaximum:
        top = MaxTopRow(data_.RowCount(), page);
        break;
    default:
        break;
    }
    SetTopRow(ClampToLong(top));
    // The bar shows where the grid is, whatever the request asked for.
    if (window_) window_->SetScrollState(MaxTopRow(data_.RowCount(), page), page, topRow_);
}

}  // namespace qmx
