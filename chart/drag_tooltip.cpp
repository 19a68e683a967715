#include "chart/drag_tooltip.h"

#include <QStyle>
#include <QToolTip>

namespace qmx {

DragTooltip::DragTooltip(QWidget* owner) : QLabel(owner, Qt::ToolTip | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("qmx_drag_tooltip"));
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setPalette(QToolTip::palette());
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(2);
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void DragTooltip::Activate(const QPoint& screenPosition, const QString& text)
{
    active_ = true;
    Refresh(text);
    move(screenPosition);
    show();
}

void DragTooltip::TrackPosition(const QPoint& screenPosition)
{
    if (active_ && pos() != screenPosition) move(screenPosition);
}

void DragTooltip::Refresh(const QString& text)
{
    if (text == this->text()) return;
    setText(text);
    resize(sizeHint());
}

void DragTooltip::Deactivate()
{
    active_ = false;
    hide();
}

}  // namespace qmx
