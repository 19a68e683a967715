#include "chart/pixel_canvas.h"

#include <algorithm>
#include <cstdlib>

#include <QPainter>

namespace qmx {

PixelCanvas::PixelCanvas(QPainter& painter, const QRect& bounds) : painter_(painter), bounds_(bounds) {}

void PixelCanvas::FillRect(const PixelRect& rect, const QColor& color)
{
    // Clipped before it becomes a QRect, so far coordinates cannot overflow.
    const LONG left = std::max(rect.left, LONG(bounds_.left()));
    const LONG top = std::max(rect.top, LONG(bounds_.top()));
    const LONG right = std::min(rect.right, LONG(bounds_.left() + bounds_.width()));
    const LONG bottom = std::min(rect.bottom, LONG(bounds_.top() + bounds_.height()));
    if (right <= left || bottom <= top) return;
    painter_.fillRect(QRect(left, top, right - left, bottom - top), color);
}

void PixelCanvas::Line(const LineSegment& line, const QColor& color)
{
    const PixelPoint a = line.from;
    const PixelPoint b = line.to;
    if (a.y == b.y) {
        if (b.x > a.x) FillRect({a.x, a.y, b.x, a.y + 1}, color);
        else if (b.x < a.x) FillRect({b.x + 1, a.y, a.x + 1, a.y + 1}, color);
        return;
    }
    if (a.x == b.x) {
        if (b.y > a.y) FillRect({a.x, a.y, a.x + 1, b.y}, color);
        else FillRect({a.x, b.y + 1, a.x + 1, a.y + 1}, color);
        return;
    }
    // Slanted lines (none of the chart's shapes has one): Bresenham's
    // steps, end point excluded.
    const LONG dx = std::abs(b.x - a.x);
    const LONG dy = -std::abs(b.y - a.y);
    const LONG sx = a.x < b.x ? 1 : -1;
    const LONG sy = a.y < b.y ? 1 : -1;
    LONG err = dx + dy;
    PixelPoint p = a;
    while (!(p == b)) {
        FillRect({p.x, p.y, p.x + 1, p.y + 1}, color);
        const LONG e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            p.x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            p.y += sy;
        }
    }
}

void PixelCanvas::FramedRect(const PixelRect& rect, const QColor& pen, const QColor& brush)
{
    if (rect.IsEmpty()) return;
    FillRect({rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1}, brush);
    FrameRect(rect, pen);
}

void PixelCanvas::FrameRect(const PixelRect& rect, const QColor& pen)
{
    if (rect.IsEmpty()) return;
    FillRect({rect.left, rect.top, rect.right, rect.top + 1}, pen);
    FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, pen);
    FillRect({rect.left, rect.top, rect.left + 1, rect.bottom}, pen);
    FillRect({rect.right - 1, rect.top, rect.right, rect.bottom}, pen);
}

void PixelCanvas::DottedVerticalLine(LONG x, LONG y0, LONG y1, const QColor& color)
{
    constexpr LONG kRun = 3;
    // Only the runs inside the bounds are visited.
    LONG y = y0;
    const LONG firstVisible = std::max(y0, LONG(bounds_.top()));
    if (firstVisible > y) y += (firstVisible - y) / (2 * kRun) * (2 * kRun);
    const LONG end = std::min(y1, LONG(bounds_.top() + bounds_.height()));
    for (; y < end; y += 2 * kRun) FillRect({x, y, x + 1, std::min(y + kRun, y1)}, color);
}

}  // namespace qmx
