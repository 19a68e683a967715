#include "chart/timeline_painter.h"

#include <QPainter>
#include <QPalette>
#include <QRect>

namespace qmx {

namespace {

// A vertical line from y1 up to, not including, y2.
void VerticalLine(QPainter& painter, int x, int y1, int y2)
{
    if (y2 > y1) painter.drawLine(x, y1, x, y2 - 1);
}

// A horizontal line from x1 up to, not including, x2.
void HorizontalLine(QPainter& painter, int x1, int x2, int y)
{
    if (x2 > x1) painter.drawLine(x1, y, x2 - 1, y);
}

// One row: rowTop is its first pixel row, lineY its last, where the closing
// horizontal line goes; labels are centred in rowTop..lineY - 1.
template <class Cell>
void PaintRow(QPainter& painter, const QRect& rect, const std::vector<Cell>& cells, const QFont& font,
              const TimelinePaintStyle& style, int rowTop, int lineY)
{
    const QPen linePen(style.lineColor, 0);  // cosmetic, one pixel
    const QPen textPen(style.textColor);
    painter.setFont(font);
    const int left = rect.left();
    const int right = rect.left() + rect.width();  // exclusive
    // Cell positions stay within a few widths of the rectangle, so they fit
    // an int. Cells wholly outside the rectangle are skipped: long views
    // hold far more cells than the pane has pixels.
    for (std::size_t i = 0; i + 1 < cells.size(); ++i) {
        const int x = left + int(cells[i].x);
        const int next = left + int(cells[i + 1].x);
        if (x >= left && x < right) {
            painter.setPen(linePen);
            VerticalLine(painter, x, rowTop, lineY);
        }
        const QRect textRect(QPoint(x + style.textIndent, rowTop), QPoint(next - 1, lineY - 1));
        if (textRect.isEmpty() || textRect.right() < left || textRect.left() >= right || cells[i].label.isEmpty())
            continue;
        // Each label is clipped to its cell; a first cell that began left of
        // the pane shows the tail of its label.
        painter.save();
        painter.setClipRect(textRect, Qt::IntersectClip);
        painter.setPen(textPen);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, cells[i].label);
        painter.restore();
    }
    painter.setPen(linePen);
    HorizontalLine(painter, left, right, lineY);
}

}  // namespace

void TimelinePaintStyle::SetColorsFrom(const QPalette& palette)
{
    lineColor = palette.color(QPalette::Active, QPalette::Dark);
    textColor = palette.color(QPalette::Active, QPalette::ButtonText);
    backgroundColor = palette.color(QPalette::Active, QPalette::Button);
}

void PaintTimeline(QPainter& painter, const QRect& rect, const TimelineCells& cells, const TimelinePaintStyle& style)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect, style.backgroundColor);
    painter.setBackgroundMode(Qt::TransparentMode);
    const int h = rect.height();
    const int upperTop = rect.top();
    const int upperLine = rect.top() + h / 2 - 1;
    const int lowerTop = rect.top() + h / 2;
    const int lowerLine = rect.top() + h - 1;
    PaintRow(painter, rect, cells.periods, style.periodFont, style, upperTop, upperLine);
    PaintRow(painter, rect, cells.subperiods, style.subperiodFont, style, lowerTop, lowerLine);
    painter.restore();
}

}  // namespace qmx
