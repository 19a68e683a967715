#include "chart/arrow_routing.h"

#include <algorithm>

namespace qmx {

namespace {

// The row edge a detour runs along: the bottom row of the predecessor's row
// when the successor lies below, else its top row.
LONG DetourRow(const LinkEnds& e)
{
    return e.predecessorCentre < e.successorCentre ? e.predecessorRowBottom - 1 : e.predecessorRowTop;
}

ArrowShape StartToStart(const LinkEnds& e, const ChartMetrics& m)
{
    const PixelRect& p = e.predecessorBar;
    const PixelRect& s = e.successorBar;
    const LONG stubX = std::min(p.left, s.left) - m.arrowStub;
    return {{{p.left - 1, e.predecessorCentre}, {stubX, e.predecessorCentre}, {stubX, e.successorCentre},
             {s.left, e.successorCentre}},
            {{s.left - 1, e.successorCentre}, HeadDirection::Right}};
}

ArrowShape StartToFinish(const LinkEnds& e, const ChartMetrics& m)
{
    const PixelRect& p = e.predecessorBar;
    const PixelRect& s = e.successorBar;
    ArrowShape arrow;
    LONG stubX = p.left - m.arrowStub;
    arrow.path = {{p.left - 1, e.predecessorCentre}, {stubX, e.predecessorCentre}};
    const LONG clear = s.right + m.arrowStub - 1;
    if (stubX < clear) {
        const LONG detourY = DetourRow(e);
        arrow.path.push_back({stubX, detourY});
        arrow.path.push_back({clear, detourY});
        stubX = clear;
    }
    arrow.path.push_back({stubX, e.successorCentre});
    arrow.path.push_back({s.right - 1, e.successorCentre});
    arrow.head = {{s.right, e.successorCentre}, HeadDirection::Left};
    return arrow;
}

ArrowShape FinishToStart(const LinkEnds& e, const ChartMetrics& m)
{
    const PixelRect& p = e.predecessorBar;
    const PixelRect& s = e.successorBar;
    ArrowShape arrow;
    const LONG dropX = std::max(p.right + m.arrowStub - 1, e.successorLeft);
    arrow.path = {{p.right, e.predecessorCentre}, {dropX, e.predecessorCentre}};
    if (dropX >= e.successorLeft + m.arrowStub) {
        // The successor starts too far left for a straight drop: go round
        // along the edge of the predecessor's row.
        const LONG detourY = DetourRow(e);
        const LONG approachX = s.left - m.arrowStub;
        arrow.path.push_back({dropX, detourY});
        arrow.path.push_back({approachX, detourY});
        arrow.path.push_back({approachX, e.successorCentre});
        arrow.path.push_back({s.left, e.successorCentre});
        arrow.head = {{s.left - 1, e.successorCentre}, HeadDirection::Right};
    } else if (e.predecessorCentre < e.successorCentre) {
        arrow.path.push_back({dropX, s.top});
        arrow.head = {{dropX, s.top - 1}, HeadDirection::Down};
    } else {
        arrow.path.push_back({dropX, s.bottom});
        arrow.head = {{dropX, s.bottom}, HeadDirection::Up};
    }
    return arrow;
}

ArrowShape FinishToFinish(const LinkEnds& e, const ChartMetrics& m)
{
    const PixelRect& p = e.predecessorBar;
    const PixelRect& s = e.successorBar;
    const LONG stubX = std::max(p.right, s.right) + m.arrowStub - 1;
    return {{{p.right, e.predecessorCentre}, {stubX, e.predecessorCentre}, {stubX, e.successorCentre},
             {s.right - 1, e.successorCentre}},
            {{s.right, e.successorCentre}, HeadDirection::Left}};
}

}  // namespace

std::optional<ArrowShape> RouteArrow(LONG kind, const LinkEnds& ends, const ChartMetrics& m)
{
    switch (kind) {
    case LONG(LinkKind::StartToStart): return StartToStart(ends, m);
    case LONG(LinkKind::StartToFinish): return StartToFinish(ends, m);
    case LONG(LinkKind::FinishToStart): return FinishToStart(ends, m);
    case LONG(LinkKind::FinishToFinish): return FinishToFinish(ends, m);
    default: return std::nullopt;
    }
}

std::vector<LineSegment> ArrowHeadLines(const ArrowHead& head, const ChartMetrics& m)
{
    std::vector<LineSegment> lines;
    lines.reserve(std::size_t(std::max(m.headLength, LONG(0))));
    const PixelPoint t = head.tip;
    // The head widens evenly from the tip to its last line; on screen one
    // pixel each side per line.
    const LONG steps = std::max(m.headLength - 1, LONG(1));
    for (LONG k = 0; k < m.headLength; ++k) {
        const LONG h = k * std::max(m.headHalfWidth, LONG(0)) / steps;
        switch (head.direction) {
        case HeadDirection::Right: lines.push_back({{t.x - k, t.y - h}, {t.x - k, t.y + h + 1}}); break;
        case HeadDirection::Left: lines.push_back({{t.x + k, t.y - h}, {t.x + k, t.y + h + 1}}); break;
        case HeadDirection::Down: lines.push_back({{t.x - h, t.y - k}, {t.x + h + 1, t.y - k}}); break;
        case HeadDirection::Up: lines.push_back({{t.x - h, t.y + k}, {t.x + h + 1, t.y + k}}); break;
        }
    }
    return lines;
}

std::vector<LineSegment> ArrowLines(const ArrowShape& arrow, const ChartMetrics& m)
{
    std::vector<LineSegment> lines;
    for (std::size_t i = 1; i < arrow.path.size(); ++i) lines.push_back({arrow.path[i - 1], arrow.path[i]});
    const std::vector<LineSegment> head = ArrowHeadLines(arrow.head, m);
    lines.insert(lines.end(), head.begin(), head.end());
    return lines;
}

PixelRect ArrowBounds(const ArrowShape& arrow, const ChartMetrics& m)
{
    const LONG reach = std::max({m.headLength, m.headHalfWidth + 1, LONG(1)});
    PixelRect box{arrow.head.tip.x - reach, arrow.head.tip.y - reach, arrow.head.tip.x + reach + 1,
                  arrow.head.tip.y + reach + 1};
    for (const PixelPoint& p : arrow.path) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x + 1);
        box.bottom = std::max(box.bottom, p.y + 1);
    }
    return box;
}

}  // namespace qmx
