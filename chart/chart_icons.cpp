#include "chart/chart_icons.h"

#include <QPainter>
#include <QPolygon>

namespace qmx {

namespace {

QPixmap Blank()
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A round marker in the priority's colour with a mark telling the level.
QPixmap PriorityImage(int priority)
{
    static const QColor kFill[] = {QColor(255, 255, 255), QColor(96, 160, 255), QColor(64, 176, 64),
                                   QColor(224, 48, 32)};
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(kFill[priority]);
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    p.setPen(QPen(priority == 0 ? QColor(128, 128, 128) : QColor(255, 255, 255), 1.6));
    switch (priority) {
    case 1:  // low: an arrow down
        p.drawLine(QPointF(8, 5), QPointF(8, 11));
        p.drawLine(QPointF(5.5, 8.5), QPointF(8, 11));
        p.drawLine(QPointF(10.5, 8.5), QPointF(8, 11));
        break;
    case 2:  // normal: a dot
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(6.5, 6.5, 3, 3));
        break;
    case 3:  // high: an exclamation mark
        p.drawLine(QPointF(8, 4.5), QPointF(8, 9));
        p.drawPoint(QPointF(8, 11.5));
        break;
    default:
        break;
    }
    return pixmap;
}

QPixmap MilestoneImage()
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0, 0, 0));
    p.setBrush(QColor(32, 32, 32));
    p.drawPolygon(QPolygonF({QPointF(8, 2), QPointF(14, 8), QPointF(8, 14), QPointF(2, 8)}));
    return pixmap;
}

QPixmap SummaryImage()
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.fillRect(1, 3, 14, 3, QColor(0, 0, 0));
    p.fillRect(1, 6, 2, 3, QColor(0, 0, 0));
    p.fillRect(13, 6, 2, 3, QColor(0, 0, 0));
    p.fillRect(4, 10, 6, 3, QColor(96, 160, 255));
    p.fillRect(8, 13, 6, 2, QColor(96, 160, 255));
    return pixmap;
}

QPixmap TasksTabImage()
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.fillRect(1, 2, 8, 3, QColor(64, 112, 208));
    p.fillRect(5, 7, 8, 3, QColor(64, 112, 208));
    p.fillRect(9, 12, 6, 3, QColor(64, 112, 208));
    return pixmap;
}

QPixmap ResourcesTabImage()
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(64, 112, 208));
    p.drawEllipse(QRectF(5, 1.5, 6, 6));
    p.drawRoundedRect(QRectF(2.5, 8.5, 11, 6.5), 3, 3);
    return pixmap;
}

}  // namespace

QPixmap TaskTreeImage(int index)
{
    static const QPixmap kImages[kTreeImageCount] = {PriorityImage(0), PriorityImage(1), PriorityImage(2),
                                                     PriorityImage(3), MilestoneImage(), SummaryImage()};
    if (index < 0 || index >= kTreeImageCount) return QPixmap();
    return kImages[index];
}

QPixmap TabImage(int index)
{
    static const QPixmap kImages[2] = {TasksTabImage(), ResourcesTabImage()};
    if (index < 0 || index > 1) return QPixmap();
    return kImages[index];
}

}  // namespace qmx
