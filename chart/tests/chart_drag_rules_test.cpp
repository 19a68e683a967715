// The rules of dragging on the chart as pure functions: hit zones, the
// percent a drag tracks, the feedback outlines, snapping, the dates a drag
// lands on, the tooltip texts, the key codes and the cursor pictures.

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include <QBitmap>
#include <QLocale>

#include "automation/date_time.h"
#include "chart/chart_drag.h"
#include "chart/drag_cursors.h"
#include "chart/drag_snapping.h"
#include "chart/tests/chart_test_support.h"
#include "chart/virtual_keys.h"

namespace qmx {
namespace {

using testing::Day;

// A row 8..26 (normal bar 11..23, summary 14..20, milestone square around
// the centre 17) with a bar from 100 to 300: inner width 198.
constexpr ItemBox kBar{100, 300, 8, 26};

TEST(ChartDragRules, RowsStartBelowTheTopMargin)
{
    struct Row {
        LONG y, rowHeight, row;
    };
    const Row rows[] = {{7, 18, -1}, {8, 18, 0}, {25, 18, 0}, {26, 18, 1}, {8 + 18 * 40, 18, 40}, {100, 0, -1}};
    for (const Row& r : rows) EXPECT_EQ(RowAt(r.y, 8, r.rowHeight), r.row) << r.y;
}

TEST(ChartDragRules, HitZonesInTheirOrder)
{
    struct Row {
        BarKind kind;
        ItemBox box;
        LONG percent, x, y;
        HitZone zone;
    };
    constexpr ItemBox narrow{100, 102, 8, 26};
    constexpr ItemBox milestone{200, 201, 8, 26};
    const Row rows[] = {
        // Normal bar, mark at 101 + 198 x 40 / 100 = 180.
        {BarKind::Normal, kBar, 40, 298, 9, HitZone::End},  // zones hold at any height in the row
        {BarKind::Normal, kBar, 40, 302, 20, HitZone::End},
        {BarKind::Normal, kBar, 40, 303, 17, HitZone::None},
        {BarKind::Normal, kBar, 40, 180, 9, HitZone::Percent},
        {BarKind::Normal, kBar, 40, 178, 17, HitZone::Percent},
        {BarKind::Normal, kBar, 40, 182, 17, HitZone::Percent},
        {BarKind::Normal, kBar, 40, 177, 17, HitZone::Bar},
        {BarKind::Normal, kBar, 40, 183, 17, HitZone::Bar},
        {BarKind::Normal, kBar, 40, 150, 10, HitZone::None},  // above the bar, away from the zones
        {BarKind::Normal, kBar, 40, 150, 11, HitZone::Bar},
        {BarKind::Normal, kBar, 40, 150, 22, HitZone::Bar},
        {BarKind::Normal, kBar, 40, 150, 23, HitZone::None},
        {BarKind::Normal, kBar, 40, 99, 17, HitZone::None},
        // At 100 % the mark (299) lies in the end zone: the end wins.
        {BarKind::Normal, kBar, 100, 299, 17, HitZone::End},
        {BarKind::Normal, kBar, 100, 297, 17, HitZone::Percent},
        // At 0 % the mark is at 101.
        {BarKind::Normal, kBar, 0, 99, 17, HitZone::Percent},
        // Too narrow for an inside: no percent zone, the end covers it.
        {BarKind::Normal, narrow, 50, 100, 17, HitZone::End},
        {BarKind::Normal, narrow, 50, 99, 17, HitZone::None},  // 2 from where the mark would be
        // Summary: no zones, only its 6-pixel bar.
        {BarKind::Summary, kBar, 40, 299, 17, HitZone::Bar},
        {BarKind::Summary, kBar, 40, 300, 17, HitZone::None},
        {BarKind::Summary, kBar, 40, 180, 13, HitZone::None},
        {BarKind::Summary, kBar, 40, 180, 14, HitZone::Bar},
        {BarKind::Summary, kBar, 40, 180, 20, HitZone::None},
        // Milestone: the square 196..205 x 13..22, no end zone at Right.
        {BarKind::Milestone, milestone, 0, 196, 13, HitZone::Bar},
        {BarKind::Milestone, milestone, 0, 204, 21, HitZone::Bar},
        {BarKind::Milestone, milestone, 0, 205, 17, HitZone::None},
        {BarKind::Milestone, milestone, 0, 200, 12, HitZone::None},
        {BarKind::Milestone, milestone, 0, 201, 9, HitZone::None},
    };
    for (std::size_t n = 0; n < std::size(rows); ++n) {
        const Row& r = rows[n];
        EXPECT_EQ(HitTestBar(r.kind, r.box, r.percent, r.x, r.y), r.zone) << "row " << n;
    }
}

TEST(ChartDragRules, PercentFollowsThePointerRoundedAndClamped)
{
    struct Row {
        ItemBox box;
        LONG percent, pressX, x, tracked;
    };
    const Row rows[] = {
        {kBar, 40, 180, 180, 40},   // 79 x 100 / 198 = 39.9
        {kBar, 40, 180, 200, 50},   // 99 x 100 / 198
        {kBar, 40, 180, 181, 40},   // 40.4
        {kBar, 40, 180, 182, 41},   // 40.9
        {kBar, 40, 180, 0, 0},
        {kBar, 40, 180, 1000, 100},
        {kBar, 0, 101, 100, 0},     // -0.5 rounds up to 0
        {{100, 102, 8, 26}, 30, 101, 150, 30},  // no inside: unchanged
    };
    for (const Row& r : rows) EXPECT_EQ(TrackedPercent(r.box, r.percent, r.pressX, r.x), r.tracked) << r.x;
    EXPECT_EQ(PercentMarkX(kBar, 40), 180);
    EXPECT_EQ(PercentMarkX(kBar, 100), 299);
}

TEST(ChartDragRules, OutlinesShiftTheBarOrItsEnd)
{
    EXPECT_EQ(MoveOutline(BarKind::Normal, kBar, 30), (PixelRect{130, 11, 330, 23}));
    EXPECT_EQ(MoveOutline(BarKind::Milestone, {200, 201, 8, 26}, -5), (PixelRect{191, 13, 200, 22}));
    EXPECT_EQ(ResizeOutline(kBar, 20), (PixelRect{100, 11, 320, 23}));
    EXPECT_EQ(ResizeOutline(kBar, -150), (PixelRect{100, 11, 150, 23}));
    EXPECT_EQ(ResizeOutline(kBar, -250), (PixelRect{100, 11, 101, 23}));  // never left of Left + 1
}

TEST(ChartDragRules, SnappingBySubperiodKind)
{
    const DATE june15 = Day(2005, 6, 15);
    struct Row {
        DATE date;
        QMXTimelineSubperiodType type;
        bool fine;
        DATE snapped;
    };
    const Row rows[] = {
        {june15 + 0.3, stDay, false, june15},
        {june15 + 0.5, stDay, false, june15 + 1},
        {june15 + 0.3, stDay, true, june15 + 0.25},     // 7.2 h: 6 h
        {june15 + 0.32, stDay, true, june15 + 0.375},   // 7.68 h: 9 h
        {june15 + 0.99, stDay, true, june15 + 1},
        {june15 + 0.3, stWeek, false, june15},
        {june15 + 0.7, stWeek, true, june15 + 1},      // no finer grain under weeks
        {june15 + 0.7, stMonth, true, june15 + 1},
        // June has 30 days: the 1st and 1 July lie 15 days either side of 16 June.
        {Day(2005, 6, 15) + 0.5, stMonth, false, Day(2005, 6, 1)},
        {Day(2005, 6, 16), stMonth, false, Day(2005, 6, 1)},  // a tie keeps the month
        {Day(2005, 6, 16) + 0.5, stMonth, false, Day(2005, 7, 1)},
        {Day(2005, 12, 17) + 0.5, stMonth, false, Day(2006, 1, 1)},
        {Day(2004, 2, 15) + 0.5, stMonth, false, Day(2004, 2, 1)},  // 29 days: 14.5 either way, a tie
        {3.5e6 + 0.4, stMonth, false, 3.5e6},  // beyond the calendar: the nearest day
    };
    for (std::size_t n = 0; n < std::size(rows); ++n) {
        const Row& r = rows[n];
        EXPECT_EQ(SnapDraggedDate(r.date, r.type, r.fine), r.snapped) << "row " << n;
    }
}

TEST(ChartDragRules, DraggedDatesMapTheMovedEdge)
{
    // A week of 700 pixels: 100 pixels a day.
    const DATE monday = Day(2005, 6, 13);
    const DragFrame frame{700, monday, monday + 6, stDay};
    EXPECT_EQ(DraggedDate(100, 150, 190, frame, false), monday + 1);    // 1.4 days
    EXPECT_EQ(DraggedDate(100, 150, 220, frame, false), monday + 2);    // 1.7 days
    EXPECT_EQ(DraggedDate(100, 150, 220, frame, true), monday + 1.75);
    EXPECT_EQ(DraggedDate(300, 300, 20, frame, false), monday);         // 0.2 days
    // Far beyond the view the arithmetic stays finite.
    EXPECT_GT(DraggedDate(kFarCoordinate, 0, kFarCoordinate, frame, false), monday + 1e6);
}

TEST(ChartDragRules, TooltipTexts)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const DATE june14 = Day(2005, 6, 14);
    EXPECT_EQ(TooltipRangeText(june14 + 0.375, june14 + 2.375, stDay), "6/14/05 + 9h ... 6/16/05 + 9h");
    EXPECT_EQ(TooltipRangeText(june14, june14 + 2, stDay), "6/14/05 + 0h ... 6/16/05 + 0h");
    EXPECT_EQ(TooltipRangeText(june14 + 0.375, june14 + 2, stWeek), "6/14/05 ... 6/16/05");
    EXPECT_EQ(TooltipDateText(june14 + 0.99, stDay), "6/14/05 + 21h");  // eighths truncated
    EXPECT_EQ(TooltipDateText(june14 + 0.99, stMonth), "6/14/05");
    EXPECT_EQ(TooltipPercentText(40), "40 %");
    EXPECT_EQ(TooltipPercentText(0), "0 %");
    EXPECT_EQ(TooltipPercentText(100), "100 %");
    QLocale::setDefault(saved);
}

TEST(ChartDragRules, QtKeysAsVirtualKeyCodes)
{
    struct Row {
        int key;
        Qt::KeyboardModifiers modifiers;
        LONG code;  // 0: none
        LONG data;
    };
    const Qt::KeyboardModifiers none;
    const Row rows[] = {
        {Qt::Key_Shift, Qt::ShiftModifier, 16, 1},
        {Qt::Key_Return, none, 13, 1},
        {Qt::Key_Enter, Qt::KeypadModifier, 13, 1},
        {Qt::Key_Insert, none, 45, 0x01000001},
        {Qt::Key_Delete, none, 46, 0x01000001},
        {Qt::Key_Delete, Qt::KeypadModifier, 46, 1},  // the keypad's Del is not extended
        {Qt::Key_F2, none, 113, 1},
        {Qt::Key_F24, none, 135, 1},
        {Qt::Key_Left, none, 37, 0x01000001},
        {Qt::Key_Up, none, 38, 0x01000001},
        {Qt::Key_Right, none, 39, 0x01000001},
        {Qt::Key_Down, Qt::ControlModifier, 40, 0x01000001},
        {Qt::Key_Home, none, 36, 0x01000001},
        {Qt::Key_End, none, 35, 0x01000001},
        {Qt::Key_PageUp, none, 33, 0x01000001},
        {Qt::Key_PageDown, none, 34, 0x01000001},
        {Qt::Key_Minus, Qt::KeypadModifier | Qt::ControlModifier, 109, 1},
        {Qt::Key_5, Qt::KeypadModifier, 101, 1},
        {Qt::Key_5, none, 0x35, 1},
        {Qt::Key_A, Qt::ControlModifier, 0x41, 1},
        {Qt::Key_Escape, none, 27, 1},
        {Qt::Key_Minus, none, 0, 0},  // no code here for the main keyboard's minus
        {Qt::Key_Eacute, none, 0, 0},
    };
    for (const Row& r : rows) {
        const auto code = VirtualKeyOf(r.key, r.modifiers);
        if (r.code == 0) {
            EXPECT_FALSE(code) << r.key;
            continue;
        }
        EXPECT_EQ(code.value_or(0), r.code) << r.key;
        EXPECT_EQ(KeyDataOf(r.key, r.modifiers, false), r.data) << r.key;
    }
    EXPECT_EQ(KeyDataOf(Qt::Key_Shift, Qt::ShiftModifier, true), 0x40000001);

    EXPECT_EQ(MouseKeyState(Qt::LeftButton, Qt::NoModifier), 1);
    EXPECT_EQ(MouseKeyState(Qt::LeftButton, Qt::ShiftModifier), 5);
    EXPECT_EQ(MouseKeyState(Qt::LeftButton, Qt::ControlModifier), 9);
    EXPECT_EQ(MouseKeyState(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton,
                            Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier),
              0x1F);
}

TEST(ChartDragRules, CursorPicturesAreCentredMonochrome)
{
    testing::EnsureApplication();
    for (int id : {IDC_DRAG_MOVE, IDC_DRAG_RESIZE, IDC_DRAG_PERCENT}) {
        const char* const* rows = DragCursorPicture(id);
        ASSERT_NE(rows, nullptr) << id;
        int black = 0;
        for (int y = 0; y < 32; ++y) {
            ASSERT_EQ(std::strlen(rows[y]), 32u) << id << " row " << y;
            for (int x = 0; x < 32; ++x) {
                ASSERT_NE(std::strchr("#o.", rows[y][x]), nullptr) << id;
                black += rows[y][x] == '#' ? 1 : 0;
            }
        }
        EXPECT_GT(black, 30) << id;
        const auto cursor = LoadDragCursor(id);
        ASSERT_TRUE(cursor) << id;
        EXPECT_EQ(cursor->shape(), Qt::BitmapCursor);
        EXPECT_EQ(cursor->hotSpot(), QPoint(16, 16));
        const QImage shape = cursor->bitmap().toImage();
        const QImage mask = cursor->mask().toImage();
        ASSERT_EQ(shape.size(), QSize(32, 32));
        // Black where the picture is black; the mask also covers the white rim.
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                EXPECT_EQ(QColor(shape.pixel(x, y)) == Qt::black, rows[y][x] == '#') << id << " " << x << "," << y;
                EXPECT_EQ(QColor(mask.pixel(x, y)) == Qt::black, rows[y][x] != '.') << id << " " << x << "," << y;
            }
    }
    EXPECT_EQ(DragCursorPicture(207), nullptr);
    EXPECT_FALSE(LoadDragCursor(203));
}

}  // namespace
}  // namespace qmx
