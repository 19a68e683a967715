// Pixel geometry of the chart pane: the date-to-x mapping, the bar shapes of
// the three bar kinds and the progress band. Pure functions on integers that
// follow the drawing rules of the pane: a rectangle covers left..right-1 and
// top..bottom-1, a line covers its start but not its end point.
#pragma once

#include <vector>

#include "automation/types.h"

namespace qmx {

struct PixelPoint {
    LONG x = 0;
    LONG y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Right and bottom edges are exclusive.
struct PixelRect {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
    bool IsEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A line from `from` to `to` that covers `from` and excludes `to`.
struct LineSegment {
    PixelPoint from;
    PixelPoint to;
    friend bool operator==(const LineSegment&, const LineSegment&) = default;
};

// Sizes of the chart's shapes. The screen uses these defaults; printing
// scales them to the device.
struct ChartMetrics {
    LONG barHeight = 12;        // normal bar
    LONG bandHeight = 4;        // progress band
    LONG summaryHeight = 6;     // summary bar, two lines and the brackets
    LONG summaryLineCount = 2;  // thickness of the summary bar's line
    LONG bracketSize = 6;       // width and height of a summary bracket
    LONG milestoneHalf = 4;     // half width and half height of the diamond
    LONG arrowStub = 8;         // first and last leg of a link's path
    LONG headLength = 5;        // arrow head: this many lines across the path, from the tip back
    LONG headHalfWidth = 4;     // half the width of the head's last line (the screen's 9-pixel line)
    LONG labelGap = 10;         // from a bar's right end to its label
    LONG rangeTextGap = 2;      // from a project range line to its date
};

enum class BarKind { Normal, Summary, Milestone };

// Summary wins over milestone.
BarKind BarKindOf(bool isSummary, bool isMilestone);

// The vertical extent and the two x ends of a laid-out task.
struct ItemBox {
    LONG left = 0;
    LONG right = 0;
    LONG top = 0;
    LONG bottom = 0;
};

// Coordinates far outside any screen are clamped to this, so that arithmetic
// on them never overflows; a clamped bar still spans the whole visible area.
inline constexpr LONG kFarCoordinate = 1 << 28;

// The inverse of the time scale's DateToX, for the area from left to right:
// viewStart + (viewEnd - viewStart + 1) x (x - left) / (right - left).
DATE XToDate(LONG x, LONG left, LONG right, DATE viewStart, DATE viewEnd);

// A date's x in the area from left to right by the time scale's DateToX,
// clamped to kFarCoordinate around left.
LONG ChartX(DATE date, LONG left, LONG right, DATE viewStart, DATE viewEnd);

// Left and Right of a task: its dates mapped to x by the time scale
// (DateToX), each clamped to kFarCoordinate around left, Right at least
// Left + 1.
struct BarEnds {
    LONG left = 0;
    LONG right = 0;
};
BarEnds BarEndsFor(DATE start, DATE end, LONG left, LONG right, DATE viewStart, DATE viewEnd);

// The middle row of an item: Top + H / 2.
LONG RowCentre(const ItemBox& item);

PixelRect NormalBarRect(const ItemBox& item, const ChartMetrics& m = {});
PixelRect SummaryBarRect(const ItemBox& item, const ChartMetrics& m = {});
// The diamond's square: Left - 4 .. Left + 5, centre - 4 .. centre + 5.
PixelRect MilestoneRect(const ItemBox& item, const ChartMetrics& m = {});
// The rectangle a link attaches to, by bar kind.
PixelRect BarRect(BarKind kind, const ItemBox& item, const ChartMetrics& m = {});

// The progress band of a normal bar, from Left + 1 to
// Left + 1 + (Right - Left - 2) x percent / 100; empty at 0 % and on bars
// too narrow to have an inside.
PixelRect ProgressBand(const ItemBox& item, LONG percentComplete, const ChartMetrics& m = {});

// 0.30 R + 0.45 G + 0.25 B > 55: a light colour, which takes the dark band.
bool IsLightColor(COLORREF color);

// The lines of a summary bar: the bar's rows and the two downward brackets.
std::vector<LineSegment> SummaryBarLines(const ItemBox& item, const ChartMetrics& m = {});
// The horizontal lines of a milestone diamond, widths 1, 3, ..., 9, ..., 1.
std::vector<LineSegment> MilestoneLines(const ItemBox& item, const ChartMetrics& m = {});

}  // namespace qmx
