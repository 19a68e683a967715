// Drawing on a QPainter with the pixel rules the chart's geometry assumes:
// a filled rectangle covers left..right-1 and top..bottom-1, a line covers
// its start point but not its end point, a framed rectangle has its outline
// on the outermost pixels inside those bounds. Everything is drawn as whole
// pixels, so the result does not depend on antialiasing or pen settings.
#pragma once

#include <QColor>
#include <QRect>

#include "chart/chart_geometry.h"

class QPainter;

namespace qmx {

class PixelCanvas {
public:
    // Drawing is limited to `bounds` (the target's size, say).
    PixelCanvas(QPainter& painter, const QRect& bounds);

    void FillRect(const PixelRect& rect, const QColor& color);
    void Line(const LineSegment& line, const QColor& color);
    void Line(PixelPoint from, PixelPoint to, const QColor& color) { Line(LineSegment{from, to}, color); }
    // The outline of a rectangle alone, on its outermost pixels.
    void FrameRect(const PixelRect& rect, const QColor& pen);
    // A rectangle outlined in `pen` and filled with `brush` inside the outline.
    void FramedRect(const PixelRect& rect, const QColor& pen, const QColor& brush);
    // A vertical dotted line from y0 to y1 (excluded): runs of three pixels
    // on and three off, starting with a run at y0.
    void DottedVerticalLine(LONG x, LONG y0, LONG y1, const QColor& color);

private:
    QPainter& painter_;
    QRect bounds_;
};

}  // namespace qmx
