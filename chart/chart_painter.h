// Drawing of the chart area from a layout: background, weekend columns,
// period grid, project range, dependency arrows, then bars and labels. Only
// what can show inside the area is drawn: bars by binary search on the rows,
// arrows culled by their extent.
#pragma once

#include <optional>
#include <vector>

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include "chart/chart_geometry.h"

class QPainter;

namespace qmx {

class ChartLayout;
class PixelCanvas;

// The chart's pens and brushes.
namespace chart_colors {
inline const QColor kBackground{255, 255, 255};
inline const QColor kWeekendFill{224, 224, 224};
inline const QColor kWeekendEdge{192, 192, 192};
inline const QColor kGrid{128, 128, 128};
inline const QColor kProjectRange{0, 0, 255};
inline const QColor kLink{128, 128, 255};
inline const QColor kOutline{0, 0, 0};  // bar outline, summary bars, milestones
inline const QColor kDarkProgress{0, 0, 0};
inline const QColor kLightProgress{192, 192, 192};
inline const QColor kText{0, 0, 0};
}  // namespace chart_colors

QColor ToQColor(COLORREF color);

struct DayCell {
    LONG x = 0;
    LONG dayOfWeek = 0;  // 1..7, Monday = 1
};

// The project's first and last day as lines with their dates.
struct ProjectRangeMarks {
    LONG firstX = 0;
    LONG lastX = 0;
    QString firstText;
    QString lastText;
};

// What the chart draws besides the tasks: the timeline's cells and the
// project range. Cell lists include their end markers.
struct ChartBackdrop {
    std::vector<LONG> periodXs;
    std::vector<DayCell> dayCells;  // only under day subperiods, else empty
    std::optional<ProjectRangeMarks> projectRange;
};

// Paints the chart area of the given size at the painter's origin.
void PaintChart(QPainter& painter, QSize area, const ChartBackdrop& backdrop, const ChartLayout& layout,
                const QFont& font, const ChartMetrics& metrics = {});

// A part of a taller layout to paint (a printed page): `area` in the
// layout's coordinates, the backdrop drawn over its height. Only the items
// whose Top lies in barTop..barBottom - 1 get bars and labels, and only the
// links listed (indexes into the layout's links) are drawn, or all of them
// without a list.
struct ChartPaintScope {
    QRect area;
    LONG barTop = 0;
    LONG barBottom = 0;
    const std::vector<std::size_t>* links = nullptr;
};
void PaintChartPart(QPainter& painter, const ChartPaintScope& scope, const ChartBackdrop& backdrop,
                    const ChartLayout& layout, const QFont& font, const ChartMetrics& metrics);

// A normal bar: outlined, filled with its colour, and its progress band.
void PaintNormalBar(PixelCanvas& canvas, const ItemBox& item, COLORREF color, LONG percentComplete,
                    const ChartMetrics& metrics = {});

// The label text of a normal or summary bar: "[40%] label", or the label
// alone at 0 %.
QString BarLabelText(LONG percentComplete, const QString& label);

}  // namespace qmx
