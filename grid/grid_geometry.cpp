#include "grid/grid_geometry.h"

#include <algorithm>

namespace qmx {

namespace {

LONG FloorDiv(std::int64_t a, LONG b) { return static_cast<LONG>(a >= 0 ? a / b : -((-a + b - 1) / b)); }

}  // namespace

LONG UsableHeight(const GridMetrics& m)
{
    const std::int64_t u = std::int64_t(m.clientHeight) - m.rowHeight - 2 * std::int64_t(m.border);
    return static_cast<LONG>(std::clamp<std::int64_t>(u, INT32_MIN, INT32_MAX));
}

LONG PageRows(const GridMetrics& m)
{
    const LONG u = UsableHeight(m);
    if (u <= 0 || m.rowHeight <= 0) return 0;
    return u / m.rowHeight;
}

LONG MaxTopRow(LONG rowCount, LONG pageRows)
{
    const std::int64_t top = std::int64_t(rowCount) - pageRows;
    if (top <= 0) return 0;
    return static_cast<LONG>(std::min<std::int64_t>(top, rowCount - 1));
}

LONG VisibleRowPositions(const GridMetrics& m)
{
    const LONG u = UsableHeight(m);
    if (u <= 0 || m.rowHeight <= 0) return 0;
    return static_cast<LONG>((std::int64_t(u) + m.rowHeight - 1) / m.rowHeight);
}

std::int64_t ColumnLeft(const GridMetrics& m, LONG col)
{
    std::int64_t x = m.border;
    const LONG count = static_cast<LONG>(m.colWidths.size());
    for (LONG c = 0; c < std::min(col, count); ++c) {
        x += m.colWidths[c];
        if (x >= kGridFarRight) return kGridFarRight;
    }
    return col > count ? kGridFarRight : x;
}

LONG ColumnsRight(const GridMetrics& m)
{
    return static_cast<LONG>(ColumnLeft(m, static_cast<LONG>(m.colWidths.size())));
}

std::vector<ColumnSpan> VisibleColumnSpans(const GridMetrics& m)
{
    std::vector<ColumnSpan> spans;
    std::int64_t x = m.border;
    for (const LONG width : m.colWidths) {
        if (x >= m.clientWidth) break;
        const auto right = std::min<std::int64_t>(x + width, kGridFarRight);
        spans.push_back(ColumnSpan{static_cast<LONG>(x), static_cast<LONG>(right)});
        x = right;
    }
    return spans;
}

namespace {

// The horizontal extent of a column, when its left edge is inside the client.
std::optional<GridRect> SpanOf(const GridMetrics& m, LONG col)
{
    if (col < 0 || col >= static_cast<LONG>(m.colWidths.size())) return std::nullopt;
    const std::int64_t left = ColumnLeft(m, col);
    if (left >= m.clientWidth) return std::nullopt;
    GridRect r;
    r.left = static_cast<LONG>(left);
    r.right = static_cast<LONG>(std::min<std::int64_t>(left + m.colWidths[col], kGridFarRight));
    return r;
}

}  // namespace

std::optional<GridRect> HeaderRect(const GridMetrics& m, LONG col)
{
    std::optional<GridRect> r = SpanOf(m, col);
    if (!r) return std::nullopt;
    r->top = m.border;
    r->bottom = m.border + m.rowHeight;
    return r;
}

std::optional<GridRect> CellRect(const GridMetrics& m, LONG row, LONG col)
{
    if (m.rowHeight <= 0) return std::nullopt;
    const std::int64_t position = std::int64_t(row) - m.topRow;
    if (position < 0 || position >= VisibleRowPositions(m)) return std::nullopt;
    std::optional<GridRect> r = SpanOf(m, col);
    if (!r) return std::nullopt;
    r->top = static_cast<LONG>(m.rowHeight * (position + 1) + m.border);
    r->bottom = r->top + m.rowHeight;
    return r;
}

std::optional<GridCell> HitTest(const GridMetrics& m, LONG x, LONG y)
{
    if (m.rowHeight <= 0) return std::nullopt;
    const LONG position = FloorDiv(std::int64_t(y) - m.border, m.rowHeight);
    if (position <= 0) return std::nullopt;
    const std::int64_t row = std::int64_t(position) + m.topRow - 1;
    if (row >= m.rowCount) return std::nullopt;
    std::int64_t sum = m.border;
    for (LONG c = 0; c < static_cast<LONG>(m.colWidths.size()); ++c) {
        sum += m.colWidths[c];
        if (sum >= x) return GridCell{static_cast<LONG>(row), c};
    }
    return std::nullopt;
}

LONG TopRowShowing(LONG row, LONG topRow, LONG pageRows)
{
    if (row < topRow) return row;
    if (pageRows <= 0) return row;
    if (std::int64_t(row) >= std::int64_t(topRow) + pageRows) return row - pageRows + 1;
    return topRow;
}

}  // namespace qmx
