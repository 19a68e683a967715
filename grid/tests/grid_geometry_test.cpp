// The grid's geometry, its cell storage and the conversions of persisted
// values, as pure functions checked against values worked out by hand.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "grid/grid_data.h"
#include "grid/grid_geometry.h"
#include "grid/grid_persistence.h"

namespace qmx {
namespace {

GridMetrics Make(LONG width, LONG height, LONG rowHeight, LONG border, LONG topRow, LONG rows,
                 const std::vector<LONG>& widths)
{
    GridMetrics m;
    m.clientWidth = width;
    m.clientHeight = height;
    m.rowHeight = rowHeight;
    m.border = border;
    m.topRow = topRow;
    m.rowCount = rows;
    m.colWidths = widths;
    return m;
}

TEST(GridGeometry, PageAndVisiblePositions)
{
    struct Row {
        LONG height, rowHeight, border;
        LONG usable, page, positions;
    };
    const Row rows[] = {
        {100, 20, 0, 80, 4, 4},   // whole rows only
        {105, 20, 0, 85, 4, 5},   // a fifth, partly visible position
        {100, 20, 1, 78, 3, 4},   // the border takes a pixel at the top and the bottom
        {20, 20, 0, 0, 0, 0},     // just the header
        {10, 20, 0, -10, 0, 0},   // not even that
        {100, 0, 0, 100, 0, 0},   // no row height: no rows, no division
    };
    const std::vector<LONG> widths{40};
    for (const Row& r : rows) {
        const GridMetrics m = Make(100, r.height, r.rowHeight, r.border, 0, 0, widths);
        EXPECT_EQ(UsableHeight(m), r.usable) << r.height;
        EXPECT_EQ(PageRows(m), r.page) << r.height;
        EXPECT_EQ(VisibleRowPositions(m), r.positions) << r.height;
    }
}

TEST(GridGeometry, MaxTopRow)
{
    struct Row {
        LONG rows, page, expected;
    };
    const Row rows[] = {
        {10, 4, 6}, {5, 4, 1}, {4, 4, 0}, {3, 4, 0}, {0, 4, 0},
        // With no whole row on the page, the last row is still reachable.
        {10, 0, 9}, {1, 0, 0}, {0, 0, 0},
    };
    for (const Row& r : rows) EXPECT_EQ(MaxTopRow(r.rows, r.page), r.expected) << r.rows << " " << r.page;
}

TEST(GridGeometry, CellRectangles)
{
    const std::vector<LONG> widths{30, 50, 40};
    const std::vector<LONG> wide{60, 40, 10};
    struct Row {
        GridMetrics m;
        LONG row, col;
        std::optional<GridRect> expected;
    };
    const Row rows[] = {
        {Make(100, 105, 20, 0, 2, 10, widths), 2, 0, GridRect{0, 20, 30, 40}},
        {Make(100, 105, 20, 0, 2, 10, widths), 3, 1, GridRect{30, 40, 80, 60}},
        // Starts inside the client, ends outside it.
        {Make(100, 105, 20, 0, 2, 10, widths), 2, 2, GridRect{80, 20, 120, 40}},
        // The last, partly visible position.
        {Make(100, 105, 20, 0, 2, 10, widths), 6, 0, GridRect{0, 100, 30, 120}},
        {Make(100, 105, 20, 0, 2, 10, widths), 7, 0, std::nullopt},
        {Make(100, 105, 20, 0, 2, 10, widths), 1, 0, std::nullopt},
        {Make(100, 105, 20, 0, 2, 10, widths), 2, 3, std::nullopt},
        {Make(100, 105, 20, 0, 2, 10, widths), 2, -1, std::nullopt},
        // A column whose left edge is the client width is off the screen.
        {Make(100, 105, 20, 0, 0, 10, wide), 0, 2, std::nullopt},
        {Make(100, 105, 20, 1, 2, 10, widths), 2, 0, GridRect{1, 21, 31, 41}},
        {Make(100, 105, 20, 1, 2, 10, widths), 3, 1, GridRect{31, 41, 81, 61}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(CellRect(r.m, r.row, r.col), r.expected) << r.row << "," << r.col << " border " << r.m.border;
    }
    EXPECT_EQ(HeaderRect(Make(100, 105, 20, 1, 2, 10, widths), 1), (GridRect{31, 1, 81, 21}));
    EXPECT_EQ(HeaderRect(Make(100, 105, 20, 0, 2, 10, wide), 2), std::nullopt);
}

TEST(GridGeometry, HitTest)
{
    const std::vector<LONG> widths{30, 50, 40};
    const GridMetrics m = Make(200, 105, 20, 0, 2, 10, widths);
    const GridMetrics few = Make(200, 105, 20, 0, 2, 3, widths);
    const GridMetrics bordered = Make(200, 105, 20, 1, 2, 10, widths);
    struct Row {
        const GridMetrics* m;
        LONG x, y;
        std::optional<GridCell> expected;
    };
    const Row rows[] = {
        {&m, 10, 5, std::nullopt},       // header
        {&m, 10, 19, std::nullopt},      // header's last pixel row
        {&m, 10, 20, GridCell{2, 0}},    // first row below it is the top row
        {&m, 10, 39, GridCell{2, 0}},
        {&m, 10, 40, GridCell{3, 0}},
        {&m, 0, 25, GridCell{2, 0}},
        {&m, 30, 25, GridCell{2, 0}},    // a column's right boundary belongs to it
        {&m, 31, 25, GridCell{2, 1}},
        {&m, 80, 25, GridCell{2, 1}},
        {&m, 120, 25, GridCell{2, 2}},
        {&m, 121, 25, std::nullopt},     // right of the last column
        {&m, 10, -5, std::nullopt},
        {&few, 10, 30, GridCell{2, 0}},
        {&few, 10, 40, std::nullopt},    // below the last row
        {&bordered, 31, 21, GridCell{2, 0}},
        {&bordered, 32, 20, std::nullopt},
        {&bordered, 32, 21, GridCell{2, 1}},
    };
    for (const Row& r : rows) EXPECT_EQ(HitTest(*r.m, r.x, r.y), r.expected) << r.x << "," << r.y;
}

TEST(GridGeometry, TopRowShowing)
{
    struct Row {
        LONG row, top, page, expected;
    };
    const Row rows[] = {
        {3, 5, 4, 3},   // above: it becomes the top row
        {5, 5, 4, 5}, {8, 5, 4, 5},  // on the page: no scrolling
        {9, 5, 4, 6}, {20, 5, 4, 17},  // below: it becomes the last row of the page
        {7, 5, 0, 7}, {5, 5, 0, 5}, {4, 5, 0, 4},  // no whole row: it becomes the top row
    };
    for (const Row& r : rows) EXPECT_EQ(TopRowShowing(r.row, r.top, r.page), r.expected) << r.row;
}

TEST(GridGeometry, ColumnSpans)
{
    const std::vector<LONG> widths{30, 50, 40};
    EXPECT_EQ(VisibleColumnSpans(Make(100, 50, 20, 0, 0, 0, widths)),
              (std::vector<ColumnSpan>{{0, 30}, {30, 80}, {80, 120}}));
    EXPECT_EQ(VisibleColumnSpans(Make(80, 50, 20, 0, 0, 0, widths)), (std::vector<ColumnSpan>{{0, 30}, {30, 80}}));
    EXPECT_EQ(VisibleColumnSpans(Make(100, 50, 20, 1, 0, 0, widths)),
              (std::vector<ColumnSpan>{{1, 31}, {31, 81}, {81, 121}}));
    EXPECT_EQ(ColumnsRight(Make(100, 50, 20, 0, 0, 0, widths)), 120);

    // Widths near the 32-bit limit neither overflow nor reach the screen.
    const LONG huge = std::numeric_limits<LONG>::max();
    const std::vector<LONG> hugeWidths{huge, huge};
    const GridMetrics m = Make(100, 50, 20, 0, 0, 1, hugeWidths);
    EXPECT_EQ(VisibleColumnSpans(m), (std::vector<ColumnSpan>{{0, kGridFarRight}}));
    EXPECT_EQ(ColumnsRight(m), kGridFarRight);
    EXPECT_EQ(CellRect(m, 0, 1), std::nullopt);
    EXPECT_EQ(HitTest(m, 99, 25), (GridCell{0, 0}));
}

TEST(GridData, ColumnsAndRowsKeepCells)
{
    GridData data;
    ASSERT_EQ(data.SetColCount(2), S_OK);
    ASSERT_EQ(data.InsertRow(0), S_OK);
    ASSERT_EQ(data.InsertRow(1), S_OK);
    data.SetText(0, 1, u"a");
    data.SetData(1, 0, 7);
    data.SetColWidth(1, 90);

    ASSERT_EQ(data.SetColCount(4), S_OK);
    EXPECT_EQ(data.ColWidths(), (std::vector<LONG>{40, 90, 40, 40}));
    EXPECT_EQ(data.Text(0, 1), u"a");
    EXPECT_EQ(data.Data(1, 0), 7);
    EXPECT_EQ(data.Text(1, 3), u"");
    EXPECT_EQ(data.Data(1, 3), 0);

    ASSERT_EQ(data.InsertRow(1), S_OK);  // between the two
    EXPECT_EQ(data.RowCount(), 3);
    EXPECT_EQ(data.Data(1, 0), 0);
    EXPECT_EQ(data.Data(2, 0), 7);

    ASSERT_EQ(data.SetColCount(1), S_OK);
    EXPECT_FALSE(data.IsCell(0, 1));
    ASSERT_EQ(data.SetColCount(2), S_OK);
    EXPECT_EQ(data.Text(0, 1), u"");  // a column removed and added again is new
    EXPECT_EQ(data.SetColCount(-1), E_INVALIDARG);
}

TEST(GridPersistence, PropertyValues)
{
    struct BoolRow {
        VARIANT value;
        std::optional<bool> expected;
    };
    const BoolRow bools[] = {
        {VARIANT(true), true}, {VARIANT(false), false},
        {VARIANT(std::int32_t{0}), false}, {VARIANT(std::int32_t{-1}), true}, {VARIANT(std::int32_t{5}), true},
        {VARIANT(0.0), false}, {VARIANT(2.5), true}, {VARIANT(std::nan("")), std::nullopt},
        {VARIANT(BSTR(u"TRUE")), true}, {VARIANT(BSTR(u"False")), false}, {VARIANT(BSTR(u"-1")), true},
        {VARIANT(BSTR(u"0")), false}, {VARIANT(BSTR(u"yes")), std::nullopt}, {VARIANT(BSTR()), std::nullopt},
        {VARIANT(), std::nullopt},
    };
    for (std::size_t i = 0; i < std::size(bools); ++i) EXPECT_EQ(PropertyToBool(bools[i].value), bools[i].expected) << i;

    struct LongRow {
        VARIANT value;
        std::optional<LONG> expected;
    };
    const LongRow longs[] = {
        {VARIANT(std::int32_t{3}), 3}, {VARIANT(4.0), 4}, {VARIANT(4.5), std::nullopt},
        {VARIANT(1e10), std::nullopt}, {VARIANT(std::numeric_limits<double>::infinity()), std::nullopt},
        {VARIANT(BSTR(u"12")), 12}, {VARIANT(BSTR(u"-7")), -7}, {VARIANT(BSTR(u"+8")), 8},
        {VARIANT(BSTR(u"")), std::nullopt}, {VARIANT(BSTR(u"-")), std::nullopt}, {VARIANT(BSTR(u"1x")), std::nullopt},
        {VARIANT(BSTR(u" 1")), std::nullopt}, {VARIANT(BSTR(u"2147483647")), 2147483647},
        {VARIANT(BSTR(u"2147483648")), std::nullopt}, {VARIANT(BSTR(u"-2147483648")), std::numeric_limits<LONG>::min()},
        {VARIANT(BSTR(u"99999999999999999999")), std::nullopt}, {VARIANT(true), std::nullopt}, {VARIANT(), std::nullopt},
    };
    for (std::size_t i = 0; i < std::size(longs); ++i) EXPECT_EQ(PropertyToLong(longs[i].value), longs[i].expected) << i;
}

}  // namespace
}  // namespace qmx
