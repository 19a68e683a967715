// The grid's geometry as pure functions of its metrics: the header row, the
// page, the rows that can be scrolled to, cell rectangles and hit testing.
// Coordinates are client pixels; a rectangle excludes its right and bottom
// edges.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "automation/types.h"

namespace qmx {

struct GridRect {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;

    friend bool operator==(const GridRect&, const GridRect&) = default;
};

struct GridCell {
    LONG row = 0;
    LONG col = 0;

    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// What the geometry depends on.
struct GridMetrics {
    LONG clientWidth = 0;
    LONG clientHeight = 0;
    LONG rowHeight = 21;       // R; the header row has the same height
    LONG border = 0;           // B: 1 when the grid draws its own border
    LONG topRow = 0;
    LONG rowCount = 0;
    std::span<const LONG> colWidths;  // every width above 0
};

// Cells stop this far right, however wide their columns are.
inline constexpr LONG kGridFarRight = 1 << 24;

// U = H - R - 2B: the height below the header.
LONG UsableHeight(const GridMetrics& m);
// P: the whole rows that fit below the header; 0 when none does.
LONG PageRows(const GridMetrics& m);
// The largest top row: N - P, at most N - 1, never below 0.
LONG MaxTopRow(LONG rowCount, LONG pageRows);
// The row positions shown from topRow on, the last partly visible one
// included: ceil(U / R), 0 when U <= 0.
LONG VisibleRowPositions(const GridMetrics& m);

// The left edge of a column (B + widths before it); the far right for an
// index past the last column.
std::int64_t ColumnLeft(const GridMetrics& m, LONG col);
// The right end of the columns (B + all widths), clamped to kGridFarRight.
LONG ColumnsRight(const GridMetrics& m);

// The horizontal extent of every column whose left edge is inside the client
// width, in one pass over the widths.
struct ColumnSpan {
    LONG left = 0;
    LONG right = 0;

    friend bool operator==(const ColumnSpan&, const ColumnSpan&) = default;
};
std::vector<ColumnSpan> VisibleColumnSpans(const GridMetrics& m);

// The header cell of a column; none when its left edge reaches the client
// width or the column does not exist.
std::optional<GridRect> HeaderRect(const GridMetrics& m, LONG col);
// The cell at (row, col) while its row position is on the screen (rows
// beyond the last row count, so empty positions can be painted); none when
// scrolled out, when its left edge reaches the client width, or when the
// column does not exist.
std::optional<GridRect> CellRect(const GridMetrics& m, LONG row, LONG col);
// The cell under a point: none on the header, below the last row, or right
// of the last column. A column's right boundary belongs to it.
std::optional<GridCell> HitTest(const GridMetrics& m, LONG x, LONG y);

// The top row that shows `row` with the least scrolling: unchanged when the
// row is already within the page.
LONG TopRowShowing(LONG row, LONG topRow, LONG pageRows);

}  // namespace qmx
