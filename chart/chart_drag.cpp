#include "chart/chart_drag.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "automation/date_time.h"
#include "chart/chart_strings.h"
#include "chart/drag_snapping.h"

namespace qmx {

namespace {

// Differences of far-clamped coordinates stay within 2^29, but the products
// below need 64 bits.
LONG InnerWidth(const ItemBox& item) { return item.right - item.left - 2; }

bool Within(LONG value, LONG centre) { return std::abs(std::int64_t(value) - centre) <= kZoneReach; }

bool Inside(const PixelRect& r, LONG x, LONG y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

LONG RowAt(LONG y, LONG topMargin, LONG rowHeight)
{
    if (rowHeight <= 0 || y < topMargin) return -1;
    return (y - topMargin) / rowHeight;
}

LONG PercentMarkX(const ItemBox& item, LONG percentComplete)
{
    const std::int64_t inner = std::max<LONG>(InnerWidth(item), 0);
    return item.left + 1 + static_cast<LONG>(inner * std::clamp<LONG>(percentComplete, 0, 100) / 100);
}

bool HasPercentZone(const ItemBox& item) { return InnerWidth(item) > 0; }

HitZone HitTestBar(BarKind kind, const ItemBox& item, LONG percentComplete, LONG x, LONG y, const ChartMetrics& m)
{
    if (kind == BarKind::Normal) {
        if (Within(x, item.right)) return HitZone::End;
        if (HasPercentZone(item) && Within(x, PercentMarkX(item, percentComplete))) return HitZone::Percent;
    }
    return Inside(BarRect(kind, item, m), x, y) ? HitZone::Bar : HitZone::None;
}

LONG TrackedPercent(const ItemBox& item, LONG percentComplete, LONG pressX, LONG x)
{
    const std::int64_t inner = InnerWidth(item);
    if (inner <= 0) return std::clamp<LONG>(percentComplete, 0, 100);
    const std::int64_t markOffset = inner * std::clamp<LONG>(percentComplete, 0, 100) / 100;
    const double percent = double(markOffset + (std::int64_t(x) - pressX)) * 100.0 / double(inner);
    return static_cast<LONG>(std::clamp(std::floor(percent + 0.5), 0.0, 100.0));
}

PixelRect MoveOutline(BarKind kind, const ItemBox& item, LONG dx, const ChartMetrics& m)
{
    PixelRect r = BarRect(kind, item, m);
    r.left += dx;
    r.right += dx;
    return r;
}

PixelRect ResizeOutline(const ItemBox& item, LONG dx, const ChartMetrics& m)
{
    PixelRect r = NormalBarRect(item, m);
    r.right = std::max(r.right + dx, item.left + 1);
    return r;
}

DATE DraggedDate(LONG edge, LONG pressX, LONG x, const DragFrame& frame, bool fine)
{
    const LONG moved = static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t(edge) + x - pressX,
                                                                  -2 * std::int64_t(kFarCoordinate),
                                                                  2 * std::int64_t(kFarCoordinate)));
    return SnapDraggedDate(XToDate(moved, 0, frame.width, frame.viewStart, frame.viewEnd), frame.subperiodType,
                           fine);
}

QString TooltipDateText(DATE date, QMXTimelineSubperiodType subperiodType)
{
    QString text = LocaleDateText(date);
    if (subperiodType == stDay) {
        const int hours = static_cast<int>(TimeOfDay(date) * 8.0) * 3;
        text += QStringLiteral(" + %1h").arg(hours);
    }
    return text;
}

QString TooltipRangeText(DATE start, DATE end, QMXTimelineSubperiodType subperiodType)
{
    return TooltipDateText(start, subperiodType) + QStringLiteral(" ... ") + TooltipDateText(end, subperiodType);
}

QString TooltipPercentText(LONG percent) { return QStringLiteral("%1 %").arg(percent); }

}  // namespace qmx
