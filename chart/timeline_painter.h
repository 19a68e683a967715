// Drawing of the timeline's two rows from a laid-out pair of cell lists.
#pragma once

#include <QColor>
#include <QFont>

#include "chart/time_scale.h"

class QPainter;
class QPalette;
class QRect;

namespace qmx {

struct TimelinePaintStyle {
    QFont periodFont;     // upper row, bold
    QFont subperiodFont;  // lower row, normal weight
    QColor lineColor;
    QColor textColor;
    QColor backgroundColor;
    int textIndent = 2;   // from a cell's line to its label, in pixels

    // The system colours of the timeline: button shadow for lines (the
    // palette's Dark role, which is what button shadows are drawn with),
    // button text and button face.
    void SetColorsFrom(const QPalette& palette);
};

// Draws into `rect`: the background over all of it, then the upper row
// (periods) from the top to top + H/2 - 1 and the lower row (subperiods) from
// top + H/2 to the bottom. Per cell a vertical line at its x and its label,
// clipped to the space from x + indent to the next cell's x; each row ends in
// a horizontal line along its last pixel row. Cell x counts from rect's left
// edge. Lines follow the raster rules of the platform the chart was designed
// on: a line excludes its end point. The painter's state is restored.
void PaintTimeline(QPainter& painter, const QRect& rect, const TimelineCells& cells, const TimelinePaintStyle& style);

}  // namespace qmx
