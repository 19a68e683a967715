#include "chart/arrow_routing.h"
#include "chart/chart_geometry.h"

#include <gtest/gtest.h>

namespace qmx {
namespace {

using Path = std::vector<PixelPoint>;

// A predecessor row 8..26 with a normal bar from 100 to 140: bar 11..23,
// centre 17.
constexpr ItemBox kPredecessor{100, 140, 8, 26};

LinkEnds Ends(const ItemBox& p, const ItemBox& s, BarKind sKind = BarKind::Normal)
{
    LinkEnds e;
    e.predecessorBar = NormalBarRect(p);
    e.predecessorCentre = RowCentre(p);
    e.predecessorRowTop = p.top;
    e.predecessorRowBottom = p.bottom;
    e.successorBar = BarRect(sKind, s);
    e.successorCentre = RowCentre(s);
    e.successorLeft = s.left;
    return e;
}

TEST(ChartGeometry, BarShapesFollowTheRowAndKind)
{
    const ItemBox item{100, 140, 8, 26};
    EXPECT_EQ(NormalBarRect(item), (PixelRect{100, 11, 140, 23}));
    EXPECT_EQ(SummaryBarRect(item), (PixelRect{100, 14, 140, 20}));
    EXPECT_EQ(MilestoneRect(item), (PixelRect{96, 13, 105, 22}));
    EXPECT_EQ(BarKindOf(true, true), BarKind::Summary);
    EXPECT_EQ(BarKindOf(false, true), BarKind::Milestone);
    EXPECT_EQ(BarKindOf(false, false), BarKind::Normal);

    // Brackets 6, 5, ..., 1 pixels wide under the two bar rows.
    const auto summary = SummaryBarLines(item);
    ASSERT_EQ(summary.size(), 14u);
    EXPECT_EQ(summary[0], (LineSegment{{100, 14}, {140, 14}}));
    EXPECT_EQ(summary[1], (LineSegment{{100, 15}, {140, 15}}));
    EXPECT_EQ(summary[2], (LineSegment{{100, 14}, {106, 14}}));
    EXPECT_EQ(summary[3], (LineSegment{{134, 14}, {140, 14}}));
    EXPECT_EQ(summary[12], (LineSegment{{100, 19}, {101, 19}}));
    EXPECT_EQ(summary[13], (LineSegment{{139, 19}, {140, 19}}));

    const auto diamond = MilestoneLines(item);
    ASSERT_EQ(diamond.size(), 9u);
    EXPECT_EQ(diamond[0], (LineSegment{{100, 13}, {101, 13}}));
    EXPECT_EQ(diamond[4], (LineSegment{{96, 17}, {105, 17}}));
    EXPECT_EQ(diamond[8], (LineSegment{{100, 21}, {101, 21}}));
}

TEST(ChartGeometry, ProgressBandSpansTheInnerWidthByPercent)
{
    struct Row {
        LONG left, right, percent, bandRight;
    };
    const Row rows[] = {
        {100, 140, 0, 101}, {100, 140, 40, 116}, {100, 140, 100, 139}, {100, 140, 250, 139},
        {100, 101, 100, 101}, {100, 102, 100, 101}, {100, 103, 50, 101}, {100, 104, 50, 102},
        {-kFarCoordinate, kFarCoordinate, 100, kFarCoordinate - 1},
    };
    for (const Row& r : rows) {
        const PixelRect band = ProgressBand({r.left, r.right, 8, 26}, r.percent);
        EXPECT_EQ(band, (PixelRect{r.left + 1, 15, r.bandRight, 19})) << r.left << ".." << r.right << " " << r.percent;
    }
}

TEST(ChartGeometry, LightnessChoosesTheBand)
{
    EXPECT_FALSE(IsLightColor(RGB(0, 0, 0)));
    EXPECT_TRUE(IsLightColor(RGB(192, 224, 255)));
    EXPECT_FALSE(IsLightColor(RGB(0, 0, 220)));  // exactly 55
    EXPECT_TRUE(IsLightColor(RGB(0, 0, 221)));
    EXPECT_TRUE(IsLightColor(RGB(184, 0, 0)));   // 55.2
}

TEST(ChartGeometry, BarEndsMapDatesAndKeepOnePixel)
{
    // A 7-day view over 700 pixels: 100 pixels a day.
    EXPECT_EQ(BarEndsFor(10.0, 12.5, 0, 700, 10.0, 16.0).left, 0);
    EXPECT_EQ(BarEndsFor(10.0, 12.5, 0, 700, 10.0, 16.0).right, 250);
    EXPECT_EQ(BarEndsFor(11.0, 11.001, 0, 700, 10.0, 16.0).right, 101);  // same pixel: one wide
    EXPECT_EQ(BarEndsFor(11.0, 11.0, 5, 705, 10.0, 16.0).left, 105);
    // Far dates are clamped and cannot overflow.
    const BarEnds far = BarEndsFor(-600000.0, 2900000.0, 0, 7000, 10.0, 16.0);
    EXPECT_EQ(far.left, -kFarCoordinate);
    EXPECT_EQ(far.right, kFarCoordinate);
    EXPECT_DOUBLE_EQ(XToDate(250, 0, 700, 10.0, 16.0), 12.5);
}

TEST(ArrowRouting, FourKindsWithDetours)
{
    const ItemBox below{200, 260, 26, 44};  // bar 29..41, centre 35
    struct Row {
        const char* name;
        LONG kind;
        ItemBox successor;
        BarKind successorKind;
        Path path;
        ArrowHead head;
    };
    const Row rows[] = {
        {"start-start", 0, below, BarKind::Normal, {{99, 17}, {92, 17}, {92, 35}, {200, 35}},
         {{199, 35}, HeadDirection::Right}},
        {"start-finish around", 1, below, BarKind::Normal,
         {{99, 17}, {92, 17}, {92, 25}, {267, 25}, {267, 35}, {259, 35}}, {{260, 35}, HeadDirection::Left}},
        {"start-finish straight", 1, {20, 60, 26, 44}, BarKind::Normal, {{99, 17}, {92, 17}, {92, 35}, {59, 35}},
         {{60, 35}, HeadDirection::Left}},
        {"finish-start down", 2, below, BarKind::Normal, {{140, 17}, {200, 17}, {200, 29}},
         {{200, 28}, HeadDirection::Down}},
        {"finish-start just right of the end", 2, {145, 200, 26, 44}, BarKind::Normal,
         {{140, 17}, {147, 17}, {147, 29}}, {{147, 28}, HeadDirection::Down}},
        {"finish-start around", 2, {139, 200, 26, 44}, BarKind::Normal,
         {{140, 17}, {147, 17}, {147, 25}, {131, 25}, {131, 35}, {139, 35}}, {{138, 35}, HeadDirection::Right}},
        {"finish-start up", 2, {200, 260, -10, 8}, BarKind::Normal, {{140, 17}, {200, 17}, {200, 5}},
         {{200, 5}, HeadDirection::Up}},
        {"finish-start around, above", 2, {100, 200, -10, 8}, BarKind::Normal,
         {{140, 17}, {147, 17}, {147, 8}, {92, 8}, {92, -1}, {100, -1}}, {{99, -1}, HeadDirection::Right}},
        // A milestone successor: its centre is the start, its square the bar.
        {"finish-start onto a milestone", 2, {150, 150, 26, 44}, BarKind::Milestone,
         {{140, 17}, {150, 17}, {150, 31}}, {{150, 30}, HeadDirection::Down}},
        {"finish-finish", 3, below, BarKind::Normal, {{140, 17}, {267, 17}, {267, 35}, {259, 35}},
         {{260, 35}, HeadDirection::Left}},
    };
    for (const Row& r : rows) {
        const auto arrow = RouteArrow(r.kind, Ends(kPredecessor, r.successor, r.successorKind));
        ASSERT_TRUE(arrow) << r.name;
        EXPECT_EQ(arrow->path, r.path) << r.name;
        EXPECT_EQ(arrow->head.tip, r.head.tip) << r.name;
        EXPECT_EQ(arrow->head.direction, r.head.direction) << r.name;
    }
    EXPECT_FALSE(RouteArrow(4, Ends(kPredecessor, below)));
    EXPECT_FALSE(RouteArrow(-1, Ends(kPredecessor, below)));
}

TEST(ArrowRouting, HeadsAreStackedLinesAcrossThePath)
{
    const auto right = ArrowHeadLines({{199, 35}, HeadDirection::Right});
    ASSERT_EQ(right.size(), 5u);
    EXPECT_EQ(right[0], (LineSegment{{199, 35}, {199, 36}}));
    EXPECT_EQ(right[4], (LineSegment{{195, 31}, {195, 40}}));
    const auto up = ArrowHeadLines({{200, 23}, HeadDirection::Up});
    EXPECT_EQ(up[0], (LineSegment{{200, 23}, {201, 23}}));
    EXPECT_EQ(up[4], (LineSegment{{196, 27}, {205, 27}}));
    EXPECT_EQ(ArrowHeadLines({{60, 35}, HeadDirection::Left})[3], (LineSegment{{63, 32}, {63, 39}}));
    EXPECT_EQ(ArrowHeadLines({{200, 28}, HeadDirection::Down})[2], (LineSegment{{198, 26}, {203, 26}}));

    const ArrowShape arrow{{{140, 17}, {200, 17}, {200, 29}}, {{200, 28}, HeadDirection::Down}};
    EXPECT_EQ(ArrowLines(arrow).size(), 7u);
    // The bounds hold every pixel of every line, head included.
    const PixelRect box = ArrowBounds(arrow);
    for (const LineSegment& line : ArrowLines(arrow)) {
        for (const PixelPoint& p : {line.from, line.to}) {
            EXPECT_LE(box.left, p.x);
            EXPECT_LE(box.top, p.y);
            EXPECT_GE(box.right, p.x);
            EXPECT_GE(box.bottom, p.y);
        }
    }
}

}  // namespace
}  // namespace qmx
