#include "chart/chart_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "chart/time_scale.h"

namespace qmx {

namespace {

DATE DaySpan(DATE viewStart, DATE viewEnd)
{
    const DATE span = viewEnd - viewStart + 1.0;
    return span > 0.0 ? span : 1.0;
}

}  // namespace

BarKind BarKindOf(bool isSummary, bool isMilestone)
{
    if (isSummary) return BarKind::Summary;
    return isMilestone ? BarKind::Milestone : BarKind::Normal;
}

DATE XToDate(LONG x, LONG left, LONG right, DATE viewStart, DATE viewEnd)
{
    if (right == left) return viewStart;
    return viewStart + DaySpan(viewStart, viewEnd) * double(x - left) / double(right - left);
}

LONG ChartX(DATE date, LONG left, LONG right, DATE viewStart, DATE viewEnd)
{
    ViewRange view;
    view.viewStart = viewStart;
    view.viewEnd = viewEnd;
    // Mapped from 0 and moved afterwards, so that a far date saturating the
    // mapping cannot overflow when left is added.
    return left + std::clamp(DateToX(date, view, 0, right - left), -kFarCoordinate, kFarCoordinate);
}

BarEnds BarEndsFor(DATE start, DATE end, LONG left, LONG right, DATE viewStart, DATE viewEnd)
{
    BarEnds ends{ChartX(start, left, right, viewStart, viewEnd), ChartX(end, left, right, viewStart, viewEnd)};
    if (ends.right == ends.left) ends.right = ends.left + 1;
    return ends;
}

LONG RowCentre(const ItemBox& item) { return item.top + (item.bottom - item.top) / 2; }

PixelRect NormalBarRect(const ItemBox& item, const ChartMetrics& m)
{
    const LONG top = item.top + (item.bottom - item.top - m.barHeight) / 2;
    return {item.left, top, item.right, top + m.barHeight};
}

PixelRect SummaryBarRect(const ItemBox& item, const ChartMetrics& m)
{
    const LONG top = item.top + (item.bottom - item.top - m.summaryHeight) / 2;
    return {item.left, top, item.right, top + m.summaryHeight};
}

PixelRect MilestoneRect(const ItemBox& item, const ChartMetrics& m)
{
    const LONG centre = RowCentre(item);
    return {item.left - m.milestoneHalf, centre - m.milestoneHalf, item.left + m.milestoneHalf + 1,
            centre + m.milestoneHalf + 1};
}

PixelRect BarRect(BarKind kind, const ItemBox& item, const ChartMetrics& m)
{
    switch (kind) {
    case BarKind::Summary: return SummaryBarRect(item, m);
    case BarKind::Milestone: return MilestoneRect(item, m);
    case BarKind::Normal: break;
    }
    return NormalBarRect(item, m);
}

PixelRect ProgressBand(const ItemBox& item, LONG percentComplete, const ChartMetrics& m)
{
    const LONG top = item.top + (item.bottom - item.top - m.bandHeight) / 2;
    const LONG left = item.left + 1;
    const LONG inner = item.right - item.left - 2;
    if (inner <= 0) return {left, top, left, top + m.bandHeight};
    // 64-bit product: a far-clamped bar is wider than 2^31 / 100 pixels.
    const LONG width = static_cast<LONG>(std::int64_t(inner) * std::clamp(percentComplete, LONG(0), LONG(100)) / 100);
    return {left, top, left + width, top + m.bandHeight};
}

bool IsLightColor(COLORREF color)
{
    return 0.30 * GetRValue(color) + 0.45 * GetGValue(color) + 0.25 * GetBValue(color) > 55.0;
}

std::vector<LineSegment> SummaryBarLines(const ItemBox& item, const ChartMetrics& m)
{
    const LONG top = SummaryBarRect(item, m).top;
    std::vector<LineSegment> lines;
    lines.reserve(std::size_t(m.summaryLineCount + 2 * m.bracketSize));
    for (LONG k = 0; k < m.summaryLineCount; ++k)
        lines.push_back({{item.left, top + k}, {item.right, top + k}});
    for (LONG k = 0; k < m.bracketSize; ++k) {
        const LONG width = m.bracketSize - k;
        lines.push_back({{item.left, top + k}, {item.left + width, top + k}});
        lines.push_back({{item.right - width, top + k}, {item.right, top + k}});
    }
    return lines;
}

std::vector<LineSegment> MilestoneLines(const ItemBox& item, const ChartMetrics& m)
{
    const LONG centre = RowCentre(item);
    std::vector<LineSegment> lines;
    lines.reserve(std::size_t(2 * m.milestoneHalf + 1));
    for (LONG k = -m.milestoneHalf; k <= m.milestoneHalf; ++k) {
        const LONG half = m.milestoneHalf - std::abs(k);
        lines.push_back({{item.left - half, centre + k}, {item.left + half + 1, centre + k}});
    }
    return lines;
}

}  // namespace qmx
