// The paths of dependency arrows between two bars, for the four link kinds,
// with the detours around the predecessor's row. Pure geometry: a path is a
// polyline whose last point is not drawn, and a head is a stack of lines
// across the path, one pixel apart, 1, 3, 5, ... pixels wide, the 1-pixel
// line at the tip.
#pragma once

#include <optional>
#include <vector>

#include "chart/chart_geometry.h"

namespace qmx {

enum class HeadDirection { Left, Right, Up, Down };

struct ArrowHead {
    PixelPoint tip;
    HeadDirection direction = HeadDirection::Right;
};

struct ArrowShape {
    std::vector<PixelPoint> path;  // drawn segment by segment, last point excluded
    ArrowHead head;
};

// What a route needs of the two tasks.
struct LinkEnds {
    PixelRect predecessorBar;   // kind-specific bar rectangle of the predecessor
    LONG predecessorCentre = 0; // its row centre
    LONG predecessorRowTop = 0;
    LONG predecessorRowBottom = 0;
    PixelRect successorBar;
    LONG successorCentre = 0;
    LONG successorLeft = 0;     // the successor item's Left (a milestone's centre)
};

// Link kinds with the values of QMXDependencyType.
enum class LinkKind : LONG { StartToStart = 0, StartToFinish = 1, FinishToStart = 2, FinishToFinish = 3 };

// The arrow for a link kind value; nothing for a value outside 0..3.
std::optional<ArrowShape> RouteArrow(LONG kind, const LinkEnds& ends, const ChartMetrics& m = {});

// The lines of an arrow head, the tip line first.
std::vector<LineSegment> ArrowHeadLines(const ArrowHead& head, const ChartMetrics& m = {});

// Every line of an arrow: the path's segments, then the head's lines.
std::vector<LineSegment> ArrowLines(const ArrowShape& arrow, const ChartMetrics& m = {});

// The pixels an arrow may touch (path and head), exclusive right and bottom.
PixelRect ArrowBounds(const ArrowShape& arrow, const ChartMetrics& m = {});

}  // namespace qmx
