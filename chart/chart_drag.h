// The rules of dragging on the chart, as pure functions on pixels and dates:
// which zone of a bar the pointer is on, where the percent mark lies and
// where a percent drag takes it, the outlines drawn while moving or
// resizing, the dates a drag lands on, and the tooltip's texts. The pane's
// event handlers (chart_pane_interaction.cpp) keep the state and call these.
#pragma once

#include <functional>

#include <QString>

#include "automation/types.h"
#include "chart/chart_geometry.h"
#include "chart/timeline_interfaces.h"

namespace qmx {

// What a drag does; the values are the pane's mode numbers.
enum class DragMode : int { None = 0, Move = 1, ResizeEnd = 2, Percent = 3 };

// Where on a bar the pointer is.
enum class HitZone { None, Bar, End, Percent };

// Reach of the end and percent zones either side of their x.
inline constexpr LONG kZoneReach = 2;
// A press becomes a move after more than this many pixels of travel.
inline constexpr LONG kMoveThreshold = 3;
// The tooltip sits this far right of the pointer.
inline constexpr LONG kTooltipOffsetX = 15;

// The row of the row index at y (chart-area pixels): (y - top margin) / row
// height; -1 above the top margin or without a row height.
LONG RowAt(LONG y, LONG topMargin, LONG rowHeight);

// x of a normal bar's percent mark: Left + 1 + (Right - Left - 2) x percent / 100.
LONG PercentMarkX(const ItemBox& item, LONG percentComplete);
// Bars less than 3 pixels wide have no inside and so no percent zone.
bool HasPercentZone(const ItemBox& item);

// The zone under (x, y) for an item in the pointer's row. Normal bars, at
// any height within the row: the end zone (|x - Right| <= 2) first, then the
// percent zone (|x - mark| <= 2). Otherwise the bar when (x, y) lies inside
// the bar rectangle of its kind (normal 12 pixels high, summary 6, the
// milestone's 9 x 9 square).
HitZone HitTestBar(BarKind kind, const ItemBox& item, LONG percentComplete, LONG x, LONG y,
                   const ChartMetrics& m = {});

// The percent a percent drag shows with the pointer at x after a press at
// pressX: ((percent x e / 100) + x - pressX) x 100 / e with e = Right - Left
// - 2, rounded to the nearest and clamped to 0..100. The item's own percent
// for a bar without inside.
LONG TrackedPercent(const ItemBox& item, LONG percentComplete, LONG pressX, LONG x);

// The outline drawn while moving: the bar rectangle of its kind shifted by dx.
PixelRect MoveOutline(BarKind kind, const ItemBox& item, LONG dx, const ChartMetrics& m = {});
// The outline drawn while resizing: the normal bar with its right edge moved
// by dx, never left of Left + 1.
PixelRect ResizeOutline(const ItemBox& item, LONG dx, const ChartMetrics& m = {});

// The chart area's width and the view a drag maps pixels to dates with.
struct DragFrame {
    LONG width = 0;
    DATE viewStart = 0;
    DATE viewEnd = 0;
    QMXTimelineSubperiodType subperiodType = stDay;
};

// The snapped date of the pixel edge (Left for a move, Right for a resize)
// moved by x - pressX.
DATE DraggedDate(LONG edge, LONG pressX, LONG x, const DragFrame& frame, bool fine);

// A date as the tooltip writes it: the date part in the user's locale, and
// under day subperiods " + %dh" with the hours of its time of day (eighths of
// the day, truncated, times 3).
QString TooltipDateText(DATE date, QMXTimelineSubperiodType subperiodType);
// "start ... end".
QString TooltipRangeText(DATE start, DATE end, QMXTimelineSubperiodType subperiodType);
// "%d %%": 40 gives "40 %".
QString TooltipPercentText(LONG percent);

}  // namespace qmx
