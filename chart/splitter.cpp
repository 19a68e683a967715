#include "chart/splitter.h"

#include <cstdint>

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace qmx {

QMXSplitter::QMXSplitter(Orientation orientation) : orientation_(orientation) {}

ClassInfo QMXSplitter::Registration()
{
    return ClassInfo{CLSID_QMXSplitter, kSplitterProgId, kSplitterVersionIndependentProgId, "QMXSplitter Class"};
}

QMXSplitter::~QMXSplitter()
{
    events_.UnadviseAll();
    if (window_) window_->ControlGone();
}

HRESULT QMXSplitter::get_Hwnd(LONG* pHwnd)
{
    if (!pHwnd) return E_POINTER;
    // A native window id where the window has one; Qt's child widgets
    // usually have none and answer 0.
    *pHwnd = window_ ? static_cast<LONG>(static_cast<std::uint32_t>(window_->internalWinId())) : 0;
    return S_OK;
}

HRESULT QMXSplitter::put_BorderVisible(VARIANT_BOOL vbVisible)
{
    borderVisible_ = vbVisible != VARIANT_FALSE;
    if (window_) window_->update();
    return S_OK;
}

HRESULT QMXSplitter::get_BorderVisible(VARIANT_BOOL* pvbVisible)
{
    if (!pvbVisible) return E_POINTER;
    *pvbVisible = ToVariantBool(borderVisible_);
    return S_OK;
}

HRESULT QMXSplitter::Advise(_ISplitterEvents* pSink, DWORD* pdwCookie) { return events_.Advise(pSink, pdwCookie); }

HRESULT QMXSplitter::Unadvise(DWORD dwCookie) { return events_.Unadvise(dwCookie); }

HRESULT QMXSplitter::CreateControlWindow(QWidget* parent, QWidget** ppWindow)
{
    if (!ppWindow) return E_POINTER;
    if (window_) {
        window_->setParent(parent);
    } else {
        window_ = new SplitterWidget(this, parent);
    }
    *ppWindow = window_;
    return S_OK;
}

HRESULT QMXSplitter::GetControlWindow(QWidget** ppWindow)
{
    if (!ppWindow) return E_POINTER;
    *ppWindow = window_;
    return window_ ? S_OK : S_FALSE;
}

void QMXSplitter::DragStep(LONG delta)
{
    if (delta == 0) return;
    ComPtr<QMXSplitter> keepAlive(this);  // a sink may drop its last reference
    events_.Fire([&](_ISplitterEvents* sink) { sink->BeforeMove(&delta); });
    if (delta != 0 && window_) {
        const QPoint step = orientation_ == Orientation::Vertical ? QPoint(delta, 0) : QPoint(0, delta);
        window_->move(window_->pos() + step);
    }
    events_.Fire([](_ISplitterEvents* sink) { sink->AfterMove(); });
}

SplitterWidget::SplitterWidget(QMXSplitter* control, QWidget* parent) : QWidget(parent), control_(control)
{
    // The splitter alone decides its cursor.
    setCursor(control->GetOrientation() == QMXSplitter::Orientation::Vertical ? Qt::SizeHorCursor
                                                                                : Qt::SizeVerCursor);
}

void SplitterWidget::ControlGone()
{
    control_ = nullptr;
    if (inDragStep_) {
        deleteLater();
    } else {
        delete this;
    }
}

LONG SplitterWidget::AxisPosition(const QMouseEvent* event) const
{
    const QPoint p = event->position().toPoint();
    return control_->GetOrientation() == QMXSplitter::Orientation::Vertical ? p.x() : p.y();
}

void SplitterWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (control_ && control_->BorderVisible()) {
        const QBrush face = palette().brush(QPalette::Button);
        qDrawWinButton(&painter, rect(), palette(), false, &face);
    } else {
        painter.fillRect(rect(), palette().brush(QPalette::Button));
    }
}

void SplitterWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !control_) return;
    // Qt grabs the mouse for this widget until the button is released.
    pressPosition_ = AxisPosition(event);
    dragging_ = true;
}

void SplitterWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_ || !control_) return;
    // The window follows the pointer, so the pointer returns to the press
    // position after each applied step: every delta is the travel since the
    // last step.
    const LONG delta = AxisPosition(event) - pressPosition_;
    inDragStep_ = true;
    {
        // A sink may drop the last reference to the control during the step.
        ComPtr<QMXSplitter> control(control_);
        control->DragStep(delta);
    }
    inDragStep_ = false;
}

void SplitterWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) dragging_ = false;
}

}  // namespace qmx
