// The time scale's arithmetic: view ranges, cells, labels and their fitting,
// start moves, the zoom ladder, range fitting and the scroll probe. Expected
// values are worked out by hand from the calendar.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "automation/date_time.h"
#include "chart/time_scale.h"

namespace qmx {
namespace {

DATE D(int y, int m, int d) { return *DateFromCivil(y, m, d); }

constexpr LONG kLongMax = std::numeric_limits<LONG>::max();

TEST(TimeScale, RoundPixelAddsOneHalfAndTruncatesTowardZero)
{
    const struct {
        double in;
        LONG out;
    } rows[] = {
        {2.5, 3}, {2.49, 2}, {-2.0, -1}, {-2.7, -2}, {-0.5, 0}, {-1.5, -1}, {-1.51, -1}, {-1.6, -1}, {-2.51, -2},
        {std::nan(""), 0}, {1e12, kLongMax}, {-1e12, std::numeric_limits<LONG>::min()},
    };
    for (const auto& r : rows) EXPECT_EQ(RoundPixel(r.in), r.out) << r.in;
}

TEST(TimeScale, ViewRangeForEachKind)
{
    const struct {
        TimeScale scale;
        DATE start;
        DATE viewStart, viewEnd;
        QMXTimelineSubperiodType sub;
        LONG units, subperiods;
        DATE firstPeriod, firstSubperiod;
    } rows[] = {
        // Wednesday 15 June 2005, time of day dropped.
        {{ptWeek, 1}, D(2005, 6, 15) + 0.4375, D(2005, 6, 15), D(2005, 6, 21), stDay, 7, 7, D(2005, 6, 13), D(2005, 6, 15)},
        {{ptWeek, 2}, D(2005, 6, 13), D(2005, 6, 13), D(2005, 6, 26), stDay, 14, 14, D(2005, 6, 13), D(2005, 6, 13)},
        // 31 January plus one month ends on the last day of February.
        {{ptMonth, 1}, D(2005, 1, 31), D(2005, 1, 31), D(2005, 2, 28), stDay, 29, 29, D(2005, 1, 1), D(2005, 1, 31)},
        {{ptMonth, 1}, D(2004, 1, 31), D(2004, 1, 31), D(2004, 2, 29), stDay, 30, 30, D(2004, 1, 1), D(2004, 1, 31)},
        {{ptMonth, 1}, D(2005, 3, 1), D(2005, 3, 1), D(2005, 3, 31), stDay, 31, 31, D(2005, 3, 1), D(2005, 3, 1)},
        // 16 days of June + July + August + 14 days of September; the weeks
        // start on Monday 13 June: (92 + 2) / 7 rounded up.
        {{ptMonth, 3}, D(2005, 6, 15), D(2005, 6, 15), D(2005, 9, 14), stWeek, 92, 14, D(2005, 6, 1), D(2005, 6, 13)},
        {{ptMonth, 2}, D(2004, 12, 31), D(2004, 12, 31), D(2005, 2, 28), stWeek, 60, 10, D(2004, 12, 1), D(2004, 12, 27)},
        {{ptYear, 1}, D(2005, 3, 20), D(2005, 3, 1), D(2006, 2, 28), stMonth, 12, 12, D(2005, 1, 1), D(2005, 3, 1)},
        {{ptYear, 2}, D(2004, 2, 29), D(2004, 2, 1), D(2006, 1, 31), stMonth, 24, 24, D(2004, 1, 1), D(2004, 2, 1)},
        // The calendar's last days still have a view.
        {{ptWeek, 1}, D(9999, 12, 25), D(9999, 12, 25), D(9999, 12, 31), stDay, 7, 7, D(9999, 12, 20), D(9999, 12, 25)},
        {{ptMonth, 1}, D(9999, 12, 1), D(9999, 12, 1), D(9999, 12, 31), stDay, 31, 31, D(9999, 12, 1), D(9999, 12, 1)},
        {{ptYear, 1}, D(9999, 1, 5), D(9999, 1, 1), D(9999, 12, 31), stMonth, 12, 12, D(9999, 1, 1), D(9999, 1, 1)},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.scale.periodType << "x" << r.scale.periodCount << " from " << r.start);
        const auto view = ComputeViewRange(r.scale, r.start);
        ASSERT_TRUE(view);
        EXPECT_EQ(view->viewStart, r.viewStart);
        EXPECT_EQ(view->viewEnd, r.viewEnd);
        EXPECT_EQ(view->subperiodType, r.sub);
        EXPECT_EQ(view->unitCount, r.units);
        EXPECT_EQ(view->subperiodCount, r.subperiods);
        EXPECT_EQ(view->firstPeriodStart, r.firstPeriod);
        EXPECT_EQ(view->firstSubperiodStart, r.firstSubperiod);
    }
}

TEST(TimeScale, NoViewForBadScaleOrDate)
{
    const struct {
        TimeScale scale;
        DATE start;
    } rows[] = {
        {{static_cast<QMXTimelinePeriodType>(3), 1}, D(2005, 1, 1)},
        {{static_cast<QMXTimelinePeriodType>(-1), 1}, D(2005, 1, 1)},
        {{ptWeek, 0}, D(2005, 1, 1)},
        {{ptMonth, -3}, D(2005, 1, 1)},
        {{ptWeek, 1}, std::nan("")},
        {{ptWeek, 1}, std::numeric_limits<double>::infinity()},
        {{ptWeek, 1}, 1e300},
        {{ptWeek, 1}, kMinDate - 1},
        {{ptWeek, 1}, D(9999, 12, 26)},        // would end in the year 10000
        {{ptMonth, 1}, D(9999, 12, 2)},
        {{ptYear, 1}, D(9999, 2, 1)},
        {{ptYear, kLongMax}, D(2005, 1, 1)},   // no overflow on the way
        {{ptWeek, kLongMax}, D(2005, 1, 1)},
        {{ptMonth, kLongMax}, D(2005, 1, 1)},
    };
    for (const auto& r : rows)
        EXPECT_FALSE(ComputeViewRange(r.scale, r.start)) << r.scale.periodType << " " << r.scale.periodCount;
}

TimelineWords Words() { return TimelineWords::Load(); }

std::vector<LONG> Xs(const auto& cells)
{
    std::vector<LONG> xs;
    for (const auto& c : cells) xs.push_back(c.x);
    return xs;
}

std::vector<QString> Labels(const auto& cells)
{
    std::vector<QString> labels;
    for (const auto& c : cells) labels.push_back(c.label);
    return labels;
}

TEST(TimeScale, WeekCellsFromAWednesday)
{
    const TimeScale scale{ptWeek, 1};
    const auto view = *ComputeViewRange(scale, D(2005, 6, 15));
    const auto periods = MakePeriodCells(scale, view, 700, Words());
    // Mondays 13, 20 and 27 June: 700 x (-2, 5, 12) / 7; -200 + 0.5
    // truncated toward zero is -199.
    EXPECT_EQ(Xs(periods), (std::vector<LONG>{-199, 500, 1200}));
    EXPECT_EQ(Labels(periods), (std::vector<QString>{"Week 25 - Jun 2005", "Week 26 - Jun 2005", ""}));

    auto subperiods = MakeSubperiodCells(view, 700);
    LabelSubperiodCells(scale, view.subperiodType, Words(), false, subperiods);
    EXPECT_EQ(Xs(subperiods), (std::vector<LONG>{0, 100, 200, 300, 400, 500, 600, 700}));
    EXPECT_EQ(Labels(subperiods),
              (std::vector<QString>{"Wed 15", "Thu 16", "Fri 17", "Sat 18", "Sun 19", "Mon 20", "Tue 21", ""}));
    EXPECT_EQ(subperiods[4].dayOfWeek, 7);
    EXPECT_EQ(subperiods[5].dayOfWeek, 1);
    LabelSubperiodCells(scale, view.subperiodType, Words(), true, subperiods);
    EXPECT_EQ(subperiods[0].label, "W 15");
    EXPECT_EQ(subperiods[5].label, "M 20");
}

TEST(TimeScale, WeekNumbersWrapAfter52)
{
    // Monday 29 December 2003 is in week 53 by the timeline's formula; the
    // next cell reads (53 mod 52) + 1 = 2, not 1.
    const TimeScale scale{ptWeek, 3};
    const auto view = *ComputeViewRange(scale, D(2003, 12, 29));
    const auto periods = MakePeriodCells(scale, view, 630, Words());
    ASSERT_EQ(periods.size(), 4u);
    EXPECT_EQ(periods[0].week, 53u);
    EXPECT_EQ(periods[1].week, 2u);
    EXPECT_EQ(periods[2].week, 3u);
    EXPECT_EQ(Labels(periods), (std::vector<QString>{"Week 53 - Dec 2003", "Week 2 - Jan 2004", "Week 3 - Jan 2004", ""}));
    EXPECT_EQ(Xs(periods), (std::vector<LONG>{0, 210, 420, 630}));
}

TEST(TimeScale, MonthViewFrom31January)
{
    const TimeScale scale{ptMonth, 1};
    const auto view = *ComputeViewRange(scale, D(2005, 1, 31));
    const auto periods = MakePeriodCells(scale, view, 290, Words());
    // 1 January, 1 February, 1 March: 290 x (-30, 1, 29) / 29.
    EXPECT_EQ(Xs(periods), (std::vector<LONG>{-299, 10, 290}));
    EXPECT_EQ(Labels(periods), (std::vector<QString>{"Jan 2005", "Feb 2005", ""}));

    auto days = MakeSubperiodCells(view, 290);
    LabelSubperiodCells(scale, view.subperiodType, Words(), false, days);
    ASSERT_EQ(days.size(), 30u);
    EXPECT_EQ(days[0].label, "31");
    for (int k = 1; k < 29; ++k) {
        EXPECT_EQ(days[k].label, QString::number(k));
        EXPECT_EQ(days[k].x, 10 * k);
    }
    EXPECT_EQ(days.back().x, 290);
}

TEST(TimeScale, NegativePositionsRoundTowardZero)
{
    // From 15 January 2005 (N = 31), 1 January lies 14 days before:
    // 100 x -14 / 31 = -45.16, + 0.5 truncated gives -44 (not -45).
    const TimeScale scale{ptMonth, 1};
    const auto view = *ComputeViewRange(scale, D(2005, 1, 15));
    const auto periods = MakePeriodCells(scale, view, 100, Words());
    EXPECT_EQ(periods[0].x, -44);
    EXPECT_EQ(periods[1].x, RoundPixel(100.0 * 17 / 31));
}

TEST(TimeScale, WeekSubperiodsStartAtTheMondayBefore)
{
    const TimeScale scale{ptMonth, 3};
    const auto view = *ComputeViewRange(scale, D(2005, 6, 15));
    auto weeks = MakeSubperiodCells(view, 920);
    LabelSubperiodCells(scale, view.subperiodType, Words(), false, weeks);
    ASSERT_EQ(weeks.size(), 15u);
    EXPECT_EQ(weeks[0].x, -19);  // 920 x -2 / 92 = -20, + 0.5 truncated
    EXPECT_EQ(weeks[0].dayOfMonth, 13);
    EXPECT_EQ(weeks[3].dayOfMonth, 4);  // Monday 4 July
    EXPECT_EQ(weeks[3].label, "4");
    for (std::size_t k = 0; k < weeks.size(); ++k) EXPECT_EQ(weeks[k].x, RoundPixel(920.0 * (7.0 * k - 2) / 92));

    const auto periods = MakePeriodCells(scale, view, 920, Words());
    EXPECT_EQ(Xs(periods), (std::vector<LONG>{-139, 160, 470, 780, 1080}));  // 1 Jun .. 1 Oct
}

TEST(TimeScale, YearViewFrom20March)
{
    const TimeScale scale{ptYear, 1};
    const auto view = *ComputeViewRange(scale, D(2005, 3, 20));
    const auto periods = MakePeriodCells(scale, view, 1200, Words());
    // Counted in months: 1200 x (1 - 3 + 12k) / 12.
    EXPECT_EQ(Xs(periods), (std::vector<LONG>{-199, 1000, 2200}));
    EXPECT_EQ(Labels(periods), (std::vector<QString>{"2005", "2006", ""}));

    auto months = MakeSubperiodCells(view, 1200);
    LabelSubperiodCells(scale, view.subperiodType, Words(), false, months);
    ASSERT_EQ(months.size(), 13u);
    EXPECT_EQ(months[0].label, "Mar");
    EXPECT_EQ(months[10].label, "Jan");
    EXPECT_EQ(months[11].label, "Feb");
    EXPECT_EQ(months[12].month, 3);
    // 1200 / 365 x days from 1 March.
    const DATE firsts[] = {D(2005, 3, 1), D(2005, 4, 1), D(2005, 12, 1), D(2006, 1, 1), D(2006, 3, 1)};
    const std::size_t at[] = {0, 1, 9, 10, 12};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(months[at[i]].x, RoundPixel(1200.0 / 365 * (firsts[i] - D(2005, 3, 1))));
    EXPECT_EQ(months[1].x, 102);
    EXPECT_EQ(months[12].x, 1200);
    LabelSubperiodCells(scale, view.subperiodType, Words(), true, months);
    EXPECT_EQ(months[0].label, "M");
    EXPECT_EQ(months[11].label, "F");
}

TEST(TimeScale, CellCountsAndPositionsFollowTheFormulas)
{
    // Every cell against the date-to-pixel mapping, for all kinds, several
    // counts and starts. Year periods are the exception: months, not days.
    const DATE starts[] = {D(2005, 6, 13), D(2005, 6, 15), D(2004, 2, 29), D(2005, 12, 31), D(2005, 1, 1)};
    for (int kind = ptWeek; kind <= ptYear; ++kind) {
        for (LONG count : {1, 2, 3, 5}) {
            for (DATE start : starts) {
                for (LONG width : {1, 333, 1000}) {
                    const TimeScale scale{static_cast<QMXTimelinePeriodType>(kind), count};
                    SCOPED_TRACE(testing::Message() << kind << "x" << count << " " << start << " w" << width);
                    const auto view = *ComputeViewRange(scale, start);
                    const auto periods = MakePeriodCells(scale, view, width, Words());
                    const auto subs = MakeSubperiodCells(view, width);
                    const bool early = view.firstPeriodStart < view.viewStart;
                    ASSERT_EQ(periods.size(), std::size_t(count + 1 + (early ? 1 : 0)));
                    ASSERT_EQ(subs.size(), std::size_t(view.subperiodCount + 1));
                    CivilDate first = CivilFromDate(view.firstPeriodStart);
                    for (std::size_t k = 0; k < periods.size(); ++k) {
                        DATE cellStart = 0;
                        if (kind == ptWeek) cellStart = view.firstPeriodStart + 7.0 * k;
                        if (kind == ptMonth) cellStart = *DateFromCivil(AddMonths(first, int(k)));
                        if (kind == ptYear) {
                            const int startMonth = CivilFromDate(view.viewStart).month;
                            EXPECT_EQ(periods[k].x, RoundPixel(double(width) * (1 - startMonth + 12.0 * k) / view.unitCount));
                            EXPECT_EQ(periods[k].year, first.year + int(k));
                            continue;
                        }
                        EXPECT_EQ(periods[k].x, DateToX(cellStart, view, 0, width));
                        EXPECT_EQ(periods[k].month, CivilFromDate(cellStart).month);
                    }
                    for (std::size_t k = 0; k < subs.size(); ++k) {
                        DATE cellStart = 0;
                        if (view.subperiodType == stDay) cellStart = view.viewStart + double(k);
                        if (view.subperiodType == stWeek) cellStart = WeekStart(view.viewStart) + 7.0 * k;
                        if (view.subperiodType == stMonth) {
                            cellStart = *DateFromCivil(AddMonths(CivilFromDate(view.viewStart), int(k)));
                            EXPECT_EQ(subs[k].month, CivilFromDate(cellStart).month);
                        }
                        // Month cells compute W / E x offset, the mapping
                        // W x offset / E: the last bit may tip a half.
                        EXPECT_NEAR(subs[k].x, DateToX(cellStart, view, 0, width), view.subperiodType == stMonth ? 1 : 0)
                            << k;
                    }
                    // The end markers reach the right edge or beyond.
                    EXPECT_GE(periods.back().x, width);
                    EXPECT_GE(subs.back().x, width);
                }
            }
        }
    }
}

// The cells of a view one by one, straight from the cell formulas: x and
// the value a cell walker reports (day of week, day of month of the Monday,
// month; week number, month or year for periods).
struct LiteralCell {
    LONG x;
    int value;
};

std::vector<LiteralCell> LiteralSubperiods(const ViewRange& view, LONG width)
{
    std::vector<LiteralCell> cells;
    const double w = width;
    const double days = view.viewEnd - view.viewStart + 1;
    for (LONG k = 0; k <= view.subperiodCount; ++k) {
        if (view.subperiodType == stDay) {
            cells.push_back({RoundPixel(w * k / view.unitCount), DayOfWeek(view.viewStart + k)});
        } else if (view.subperiodType == stWeek) {
            const DATE monday = view.firstSubperiodStart + 7.0 * k;
            cells.push_back({RoundPixel(w * (monday - view.viewStart) / view.unitCount), CivilFromDate(monday).day});
        } else {
            const CivilDate month = AddMonths(CivilFromDate(view.viewStart), k);
            const DATE first = month.year > 9999 ? view.viewEnd + 1 : *DateFromCivil(month);
            cells.push_back({RoundPixel(w / days * (first - view.viewStart)), month.month});
        }
    }
    return cells;
}

std::vector<LiteralCell> LiteralPeriods(const TimeScale& scale, const ViewRange& view, LONG width)
{
    std::vector<LiteralCell> cells;
    const double w = width;
    const LONG count = scale.periodCount + 1 + (view.firstPeriodStart < view.viewStart ? 1 : 0);
    int week = WeekNumber(view.firstPeriodStart);
    const CivilDate first = CivilFromDate(view.firstPeriodStart);
    for (LONG k = 0; k < count; ++k) {
        if (scale.periodType == ptWeek) {
            const DATE monday = view.firstPeriodStart + 7.0 * k;
            cells.push_back({RoundPixel(w * (monday - view.viewStart) / view.unitCount), week});
            week = week % 52 + 1;
        } else if (scale.periodType == ptMonth) {
            const CivilDate month = AddMonths(first, k);
            const DATE start = month.year > 9999 ? view.viewEnd + 1 : *DateFromCivil(month);
            cells.push_back({RoundPixel(w * (start - view.viewStart) / view.unitCount), month.month});
        } else {
            const int startMonth = CivilFromDate(view.viewStart).month;
            cells.push_back({RoundPixel(w * (1.0 - startMonth + 12.0 * k) / view.unitCount), first.year + k});
        }
    }
    return cells;
}

// What a list keeps of the formulas' cells: all of a short list, all of a
// long one whose cells all start at different pixels, else the end marker.
std::vector<LiteralCell> Kept(const std::vector<LiteralCell>& cells)
{
    if (cells.size() <= kCellListWholeLimit) return cells;
    for (std::size_t k = 1; k < cells.size(); ++k)
        if (cells[k].x == cells[k - 1].x) return {cells.back()};
    return cells;
}

TEST(TimeScale, LongListsShowTheirCellsOnlyWhenEachHasAPixel)
{
    const struct {
        TimeScale scale;
        DATE start;
        LONG width;
        bool leftOut;  // some cells are narrower than a pixel
    } rows[] = {
        {{ptWeek, 100}, D(2005, 6, 15), 350, true},   // 700 days at half a pixel
        {{ptWeek, 100}, D(2005, 6, 15), 700, false},  // a pixel each: the formulas' lists
        {{ptWeek, 100}, D(2005, 6, 15), 1999, false},
        {{ptMonth, 200}, D(2005, 6, 15), 300, true},  // about 870 weeks
        {{ptMonth, 200}, D(2005, 6, 15), 6100, false},
        {{ptYear, 50}, D(2005, 3, 20), 200, true},    // 600 months
        {{ptYear, 50}, D(2005, 3, 20), 1200, false},
        {{ptYear, 600}, D(1005, 3, 20), 500, true},   // 600 years over 500 pixels: periods go too
        {{ptMonth, 1}, D(2005, 1, 31), 0, false},     // a short list stays whole, even without width
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.scale.periodType << "x" << r.scale.periodCount << " w" << r.width);
        const auto view = *ComputeViewRange(r.scale, r.start);
        const auto literalSubs = LiteralSubperiods(view, r.width);
        const auto literalPeriods = LiteralPeriods(r.scale, view, r.width);
        const auto subs = MakeSubperiodCells(view, r.width);
        const auto periods = MakePeriodCells(r.scale, view, r.width, Words());
        const auto expectedSubs = Kept(literalSubs);
        const auto expectedPeriods = Kept(literalPeriods);
        EXPECT_EQ(subs.size() < literalSubs.size(), r.leftOut);
        ASSERT_EQ(subs.size(), expectedSubs.size());
        for (std::size_t i = 0; i < subs.size(); ++i) {
            ASSERT_EQ(subs[i].x, expectedSubs[i].x) << i;
            const int value = view.subperiodType == stDay    ? subs[i].dayOfWeek
                              : view.subperiodType == stWeek ? subs[i].dayOfMonth
                                                             : subs[i].month;
            ASSERT_EQ(value, expectedSubs[i].value) << i;
        }
        ASSERT_EQ(periods.size(), expectedPeriods.size());
        for (std::size_t i = 0; i < periods.size(); ++i) {
            ASSERT_EQ(periods[i].x, expectedPeriods[i].x) << i;
            const int value = r.scale.periodType == ptWeek    ? int(periods[i].week)
                              : r.scale.periodType == ptMonth ? periods[i].month
                                                              : periods[i].year;
            ASSERT_EQ(value, expectedPeriods[i].value) << i;
        }
        EXPECT_TRUE(periods.back().label.isEmpty());

        // Cells left out were narrower than a pixel: no long label fits them,
        // however small the text.
        if (HasShortLabelForm(r.scale, view.subperiodType)) {
            TimelineCells cells;
            const TextWidthFunction tiny = [](const QString&) { return -1000; };
            LayoutTimeline(r.scale, view, r.width, Words(), LabelMode::Decide, kLongMax, tiny, cells);
            EXPECT_EQ(cells.shortLabels, subs.size() < literalSubs.size());
        }
    }
}

TEST(TimeScale, TheLongestViewsKeepOnlyTheirEndMarkers)
{
    // The calendar's whole length in every kind, at widths up to 5,000
    // pixels: far more cells than pixels, so both rows show no cells.
    const DATE first = D(100, 1, 1);
    const TimeScale scales[] = {{ptWeek, 516557}, {ptMonth, 118800}, {ptYear, 9900}};
    for (const TimeScale& scale : scales) {
        const auto view = ComputeViewRange(scale, first);
        ASSERT_TRUE(view) << scale.periodType;
        for (LONG width : {0, 1, 1000, 5000}) {
            SCOPED_TRACE(testing::Message() << scale.periodType << " w" << width);
            const auto subs = MakeSubperiodCells(*view, width);
            const auto periods = MakePeriodCells(scale, *view, width, Words());
            ASSERT_EQ(subs.size(), 1u);
            ASSERT_EQ(periods.size(), 1u);
            EXPECT_EQ(subs.back().x, width);
            EXPECT_GE(periods.back().x, width);
            EXPECT_TRUE(periods.back().label.isEmpty());
        }
    }
}

TEST(TimeScale, DateToXMapsTheViewOntoTheWidth)
{
    const auto view = *ComputeViewRange({ptWeek, 1}, D(2005, 6, 15));
    EXPECT_EQ(DateToX(D(2005, 6, 15), view, 10, 700), 10);
    EXPECT_EQ(DateToX(D(2005, 6, 22), view, 10, 700), 710);
    EXPECT_EQ(DateToX(D(2005, 6, 15) + 0.5, view, 0, 700), 50);
    EXPECT_EQ(DateToX(D(2005, 6, 14) + 0.005, view, 0, 700), -99);  // -99.5 + .5 truncated
}

// Six pixels per UTF-16 unit: "Mon 13" is 36 pixels and needs a 39-pixel cell.
int SixPerChar(const QString& s) { return 6 * int(s.size()); }

TEST(TimeScale, DayLabelsShortenWhenNarrowAndComeBackWhenWide)
{
    const TimeScale scale{ptWeek, 2};
    const auto view = *ComputeViewRange(scale, D(2005, 6, 13));
    const TimelineWords words = Words();
    int measured = 0;
    const TextWidthFunction measure = [&](const QString& s) {
        ++measured;
        return SixPerChar(s);
    };
    TimelineCells cells;
    LayoutTimeline(scale, view, 700, words, LabelMode::Decide, kLongMax, measure, cells);
    EXPECT_FALSE(cells.shortLabels);
    EXPECT_EQ(cells.subperiods[0].label, "Mon 13");

    const struct {
        LONG width;
        bool expectShort;
        bool expectMeasured;
    } steps[] = {
        {800, false, false},  // long and wider: kept without measuring
        {560, false, true},   // narrower: every cell is 40 wide, still fits
        {540, true, true},    // some cells 38 or 39 wide: too narrow
        {300, true, false},   // short and narrower: kept
        {500, true, true},    // wider but not enough
        {546, false, true},   // 546 / 14 = 39: fits again
    };
    LONG previous = 700;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.width);
        measured = 0;
        LayoutTimeline(scale, view, s.width, words, LabelMode::Resize, previous, measure, cells);
        previous = s.width;
        EXPECT_EQ(cells.shortLabels, s.expectShort);
        EXPECT_EQ(measured > 0, s.expectMeasured);
        EXPECT_EQ(cells.subperiods[0].label, s.expectShort ? "M 13" : "Mon 13");
        EXPECT_EQ(cells.subperiods[13].label, s.expectShort ? "S 26" : "Sun 26");
        EXPECT_EQ(cells.subperiods[13].x, RoundPixel(s.width * 13.0 / 14));
        EXPECT_TRUE(cells.subperiods.back().label.isEmpty());
    }
    // A full layout decides again even when the width did not change.
    LayoutTimeline(scale, view, 300, words, LabelMode::Resize, 546, measure, cells);
    ASSERT_TRUE(cells.shortLabels);
    measured = 0;
    LayoutTimeline(scale, view, 700, words, LabelMode::Decide, 700, measure, cells);
    EXPECT_FALSE(cells.shortLabels);
    EXPECT_GT(measured, 0);
}

TEST(TimeScale, OnlyWeekDaysAndMonthsHaveShortLabels)
{
    const TimelineWords words = Words();
    const struct {
        TimeScale scale;
        bool shortens;
        const char* firstLabel;
    } rows[] = {
        {{ptWeek, 1}, true, "W 15"},
        {{ptMonth, 1}, false, "15"},  // day numbers stay however narrow
        {{ptMonth, 4}, false, "13"},  // week subperiods too
        {{ptYear, 1}, true, "J"},
    };
    for (const auto& r : rows) {
        const auto view = *ComputeViewRange(r.scale, D(2005, 6, 15));
        TimelineCells cells;
        LayoutTimeline(r.scale, view, 5, words, LabelMode::Decide, kLongMax, SixPerChar, cells);
        EXPECT_EQ(cells.shortLabels, r.shortens) << r.scale.periodType;
        EXPECT_EQ(cells.subperiods[0].label, r.firstLabel);
    }
}

TEST(TimeScale, LongTranslationsAreCutToTheLabelCapacity)
{
    TimelineWords words = Words();
    words.week = QString(29, u'w') + QString::fromUtf8("\xF0\x9F\x93\x85");  // ends in a surrogate pair
    words.longDays[2] = QString(20, u'd');
    const TimeScale scale{ptWeek, 1};
    const auto view = *ComputeViewRange(scale, D(2005, 6, 15));
    const auto periods = MakePeriodCells(scale, view, 700, words);
    // 29 + 2 units of the pair + " 25 - Jun 2005": cut to 31 keeps the pair.
    EXPECT_EQ(periods[0].label, words.week);
    words.week = QString(30, u'w') + QString::fromUtf8("\xF0\x9F\x93\x85");
    // The pair would be split at 31: the cut keeps 30 units.
    EXPECT_EQ(MakePeriodCells(scale, view, 700, words)[0].label, QString(30, u'w'));
    auto subs = MakeSubperiodCells(view, 700);
    LabelSubperiodCells(scale, view.subperiodType, words, false, subs);
    EXPECT_EQ(subs[0].label, QString(15, u'd'));
    EXPECT_EQ(subs[1].label, "Thu 16");
}

TEST(TimeScale, MovingTheStartByPeriods)
{
    const struct {
        TimeScale scale;
        DATE start;
        LONG n;
        std::optional<DATE> moved;
    } rows[] = {
        {{ptWeek, 1}, D(2005, 6, 15) + 0.75, 1, D(2005, 6, 22)},
        {{ptWeek, 3}, D(2005, 6, 15), -2, D(2005, 6, 1)},
        {{ptMonth, 1}, D(2005, 1, 31), 1, D(2005, 2, 28)},
        {{ptMonth, 1}, D(2004, 1, 31), 1, D(2004, 2, 29)},
        {{ptMonth, 2}, D(2005, 3, 31), -1, D(2005, 2, 28)},
        {{ptMonth, 1}, D(2005, 11, 15), 3, D(2006, 2, 15)},
        {{ptMonth, 1}, D(2005, 2, 15), -14, D(2003, 12, 15)},
        {{ptYear, 1}, D(2004, 2, 29), 1, D(2005, 2, 28)},
        {{ptYear, 1}, D(2004, 2, 29), -4, D(2000, 2, 29)},
        {{ptYear, 2}, D(2005, 3, 20) + 0.5, 1, D(2006, 3, 20)},
        // Off the calendar.
        {{ptYear, 1}, D(9999, 12, 1), 1, std::nullopt},
        {{ptWeek, 1}, D(100, 1, 3), -1, std::nullopt},
        {{ptMonth, 1}, D(2005, 1, 1), kLongMax, std::nullopt},
        {{ptYear, 1}, D(2005, 1, 1), std::numeric_limits<LONG>::min(), std::nullopt},
    };
    for (const auto& r : rows)
        EXPECT_EQ(StartMovedByPeriods(r.scale, r.start, r.n), r.moved) << r.scale.periodType << " " << r.n;
}

TEST(TimeScale, MovingTheStartBySubperiods)
{
    const auto days = *ComputeViewRange({ptWeek, 1}, D(2005, 6, 15) + 0.25);
    const auto weeksFromWednesday = *ComputeViewRange({ptMonth, 3}, D(2005, 6, 15));
    const auto weeksFromMonday = *ComputeViewRange({ptMonth, 3}, D(2005, 6, 13));
    const auto months = *ComputeViewRange({ptYear, 1}, D(2005, 3, 20));
    const struct {
        const ViewRange* view;
        LONG n;
        std::optional<DATE> moved;
    } rows[] = {
        {&days, 3, D(2005, 6, 18)},
        {&days, -1, D(2005, 6, 14)},
        // One step back first reaches the Monday of the current week.
        {&weeksFromWednesday, -1, D(2005, 6, 13)},
        {&weeksFromWednesday, -2, D(2005, 6, 6)},
        {&weeksFromWednesday, 1, D(2005, 6, 20)},
        {&weeksFromWednesday, 0, D(2005, 6, 15)},
        {&weeksFromMonday, -1, D(2005, 6, 6)},
        {&weeksFromMonday, 2, D(2005, 6, 27)},
        {&months, 1, D(2005, 4, 1)},
        {&months, -3, D(2004, 12, 1)},
        {&months, 10, D(2006, 1, 1)},
        {&days, kLongMax, std::nullopt},
        {&months, std::numeric_limits<LONG>::min(), std::nullopt},
    };
    for (const auto& r : rows) EXPECT_EQ(StartMovedBySubperiods(*r.view, r.n), r.moved) << r.n;
}

TEST(TimeScale, ZoomLadderBothWays)
{
    const TimeScale ladder[] = {{ptWeek, 1},  {ptWeek, 2},  {ptMonth, 1}, {ptMonth, 2}, {ptMonth, 3},
                                {ptMonth, 4}, {ptMonth, 6}, {ptYear, 1},  {ptYear, 2},  {ptYear, 14}};
    const LONG levels[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 20};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ScaleForZoomLevel(levels[i]), ladder[i]) << levels[i];
        const auto back = ZoomLevelForScale(ladder[i].periodType, ladder[i].periodCount);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->level, levels[i]);
        EXPECT_EQ(back->scale, ladder[i]);
    }
    EXPECT_EQ(ScaleForZoomLevel(-3), (TimeScale{ptWeek, 1}));
    EXPECT_EQ(ZoomedOutLevel(6), 7);
    EXPECT_EQ(ZoomedOutLevel(kLongMax), kLongMax);
    EXPECT_EQ(ZoomedInLevel(7), 6);
    EXPECT_EQ(ZoomedInLevel(0), 0);
}

TEST(TimeScale, LevelForAKindAndCountRoundsUpToTheNextRung)
{
    const struct {
        QMXTimelinePeriodType kind;
        LONG count;
        LONG level;
        TimeScale applied;
    } rows[] = {
        {ptWeek, 3, 2, {ptMonth, 1}},     // 3 weeks: one month
        {ptWeek, 100, 2, {ptMonth, 1}},
        {ptMonth, 5, 6, {ptMonth, 6}},    // 5 months: six
        {ptMonth, 7, 13, {ptMonth, 7}},   // above the ladder: unchanged
        {ptYear, 3, 9, {ptYear, 3}},
        {ptYear, kLongMax, kLongMax, {ptYear, kLongMax}},
    };
    for (const auto& r : rows) {
        const auto choice = ZoomLevelForScale(r.kind, r.count);
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->level, r.level) << r.kind << " " << r.count;
        EXPECT_EQ(choice->scale, r.applied) << r.kind << " " << r.count;
    }
    EXPECT_FALSE(ZoomLevelForScale(static_cast<QMXTimelinePeriodType>(5), 1));
    EXPECT_FALSE(ZoomLevelForScale(ptMonth, 0));
}

TEST(TimeScale, ScaleForARangeByCalendarDifference)
{
    const struct {
        DATE s, e;
        TimeScale scale;
    } rows[] = {
        {D(2005, 1, 1), D(2005, 1, 8), {ptWeek, 1}},
        {D(2005, 1, 1), D(2005, 1, 11), {ptWeek, 2}},
        {D(2005, 1, 1), D(2005, 1, 15), {ptWeek, 2}},   // 14 days
        {D(2005, 1, 1), D(2005, 1, 16), {ptMonth, 1}},  // 15 days
        {D(2005, 1, 31), D(2005, 3, 1), {ptMonth, 2}},  // 1 month 1 day (borrowed from January)
        {D(2005, 1, 31), D(2005, 2, 28), {ptMonth, 1}}, // 28 days
        {D(2005, 1, 1), D(2005, 7, 1), {ptMonth, 6}},
        {D(2005, 1, 1), D(2005, 7, 2), {ptYear, 1}},
        {D(2005, 1, 1), D(2005, 9, 1), {ptYear, 1}},
        {D(2005, 1, 1), D(2006, 1, 1), {ptYear, 1}},
        {D(2005, 1, 1), D(2006, 1, 2), {ptYear, 2}},
        {D(2005, 3, 15), D(2007, 2, 10), {ptYear, 2}},  // 1 year 10 months 26 days
    };
    for (const auto& r : rows) EXPECT_EQ(ScaleForRange(r.s, r.e), r.scale) << r.s << " " << r.e;
    EXPECT_FALSE(ScaleForRange(D(2005, 1, 1), D(2005, 1, 1)));
    EXPECT_FALSE(ScaleForRange(D(2005, 1, 2), D(2005, 1, 1)));
}

TEST(TimeScale, FittingARangeCentresIt)
{
    const struct {
        DATE min, max;
        LONG level;
        DATE start;
    } rows[] = {
        // S = 3 Jan, E = 13 Jan: two weeks 3..16 Jan, centred 2 days earlier.
        {D(2005, 1, 3) + 10 / 24.0, D(2005, 1, 12) + 8 / 24.0, 1, D(2005, 1, 1)},
        // 10 Feb .. 1 Mar: one month 10 Feb .. 9 Mar; 4.5 days, rounded up to 4.
        {D(2005, 2, 10), D(2005, 3, 1), 2, D(2005, 2, 6)},
        // 20 Mar 2005 .. 10 Jan 2006: one year 1 Mar .. 28 Feb;
        // ((28 Feb - 10 Jan + 1) + 19) / 2 = (50 + 19) / 2 = 34.5 days, rounded up to 34.
        {D(2005, 3, 20), D(2006, 1, 10), 7, D(2005, 3, 20) - 34},
    };
    for (const auto& r : rows) {
        const auto fit = FitDateRange(r.min, r.max);
        ASSERT_TRUE(fit);
        EXPECT_EQ(fit->zoom.level, r.level);
        EXPECT_EQ(fit->centredStart, r.start);
        // The whole range stays in view.
        const auto view = *ComputeViewRange(fit->zoom.scale, fit->centredStart);
        EXPECT_LE(view.viewStart, fit->rangeStart);
        EXPECT_GE(view.viewEnd + 1, fit->rangeEnd);
    }
    EXPECT_FALSE(FitDateRange(D(2005, 1, 3) + 0.2, D(2005, 1, 3)));
    EXPECT_FALSE(FitDateRange(std::nan(""), D(2005, 1, 3)));
}

TEST(TimeScale, AFitThatCutsTheRangeOffIsMovedOrWidened)
{
    const struct {
        const char* what;
        DATE min, max;
        LONG centredLevel;
        DATE centred;
        LONG level;
        DATE start;
    } rows[] = {
        // One year: the centred start 29 May gives the view 1 May 2005 ..
        // 30 April 2006, short of 13 May; from 1 June the view ends 31 May.
        {"moved", D(2005, 6, 13), D(2006, 5, 13), 7, D(2005, 5, 29), 7, D(2005, 6, 1)},
        // One year from 13 June: no year view from a month's first day shows
        // it; two years (1 June 2005 .. 31 May 2007) centred 182 days back.
        {"widened", D(2005, 6, 13), D(2006, 6, 13), 7, D(2005, 6, 13), 8, D(2004, 12, 13)},
        // Already in view: the centred start stays.
        {"kept", D(2005, 3, 20), D(2006, 1, 10), 7, D(2005, 3, 20) - 34, 7, D(2005, 3, 20) - 34},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const auto fit = FitDateRange(r.min, r.max);
        ASSERT_TRUE(fit);
        EXPECT_EQ(fit->zoom.level, r.centredLevel);
        EXPECT_EQ(fit->centredStart, r.centred);
        EXPECT_EQ(fit->shownZoom.level, r.level);
        EXPECT_EQ(fit->shownZoom.scale, ScaleForZoomLevel(r.level));
        EXPECT_EQ(fit->shownStart, r.start);
    }
}

TEST(TimeScale, EveryFitShowsTheWholeRangeWithTheSmallestChange)
{
    std::mt19937 random(20050613);
    std::uniform_int_distribution<int> firstDay(int(D(1990, 1, 1)), int(D(2030, 12, 31)));
    // Mostly short ranges, where the scales differ most, some of years.
    std::uniform_int_distribution<int> shortLength(0, 400);
    std::uniform_int_distribution<int> longLength(0, 4000);
    std::uniform_int_distribution<int> eighths(0, 7);
    int moved = 0;
    int widened = 0;
    for (int i = 0; i < 4000; ++i) {
        const DATE min = firstDay(random) + (i % 3 == 0 ? eighths(random) / 8.0 : 0.0);
        const int length = i % 4 == 0 ? longLength(random) : shortLength(random);
        const DATE max = DatePart(min) + length + (i % 5 == 0 ? eighths(random) / 8.0 : 0.0);
        SCOPED_TRACE(testing::Message() << "range " << min << " .. " << max);
        const auto fit = FitDateRange(min, max);
        if (!(DatePart(max) + (TimeOfDay(max) > 0 ? 1 : 0) > DatePart(min))) {
            EXPECT_FALSE(fit);
            continue;
        }
        ASSERT_TRUE(fit);
        const auto shown = ComputeViewRange(fit->shownZoom.scale, fit->shownStart);
        ASSERT_TRUE(shown);
        ASSERT_TRUE(ViewShowsRange(*shown, fit->rangeStart, fit->rangeEnd))
            << shown->viewStart << " .. " << shown->viewEnd << " at level " << fit->shownZoom.level;

        const auto centred = *ComputeViewRange(fit->zoom.scale, fit->centredStart);
        if (ViewShowsRange(centred, fit->rangeStart, fit->rangeEnd)) {
            // What the fit's own steps give is kept whenever it shows the range.
            EXPECT_EQ(fit->shownZoom.level, fit->zoom.level);
            EXPECT_EQ(fit->shownStart, fit->centredStart);
            continue;
        }
        auto showsFrom = [&](const TimeScale& scale, DATE start) {
            const auto view = ComputeViewRange(scale, start);
            return view && ViewShowsRange(*view, fit->rangeStart, fit->rangeEnd);
        };
        if (fit->shownZoom.level == fit->zoom.level) {
            // Moved: no start between the centred one and the chosen one shows it.
            ++moved;
            const DATE step = fit->shownStart > fit->centredStart ? 1 : -1;
            for (DATE d = fit->centredStart + step; d != fit->shownStart; d += step)
                ASSERT_FALSE(showsFrom(fit->zoom.scale, d)) << d;
        } else {
            // Widened: no start on a narrower rung shows it.
            ++widened;
            ASSERT_GT(fit->shownZoom.level, fit->zoom.level);
            for (LONG level = fit->zoom.level; level < fit->shownZoom.level; ++level)
                for (DATE d = fit->rangeStart - 800; d <= fit->rangeStart + 31; ++d)
                    ASSERT_FALSE(showsFrom(ScaleForZoomLevel(level), d)) << "level " << level << " from " << d;
        }
    }
    // The sample reaches both corrections.
    EXPECT_GT(moved, 10);
    EXPECT_GT(widened, 10);
}

TEST(TimeScale, ScrollProbeOnReset)
{
    const struct {
        TimeScale scale;
        DATE start;
        ScrollState state;
    } rows[] = {
        {{ptWeek, 1}, D(2005, 6, 15), {LONG(D(2005, 6, 8)), LONG(D(2005, 6, 28)), 7, LONG(D(2005, 6, 15))}},
        // Back to 31 Dec; forward to 28 Feb, whose month view ends 27 March.
        {{ptMonth, 1}, D(2005, 1, 31), {LONG(D(2004, 12, 31)), LONG(D(2005, 3, 27)), 29, LONG(D(2005, 1, 31))}},
        {{ptYear, 2}, D(2005, 3, 20), {LONG(D(2003, 3, 1)), LONG(D(2009, 2, 28)), 730, LONG(D(2005, 3, 1))}},
        // At the calendar's first days the probe stops at the view.
        {{ptWeek, 1}, D(100, 1, 3), {LONG(D(100, 1, 3)), LONG(D(100, 1, 16)), 7, LONG(D(100, 1, 3))}},
    };
    for (const auto& r : rows) EXPECT_EQ(ScrollForReset(r.scale, r.start), r.state) << r.start;
}

TEST(TimeScale, ScrollFollowsStartChangesAndZooms)
{
    const ScrollState base{100, 200, 10, 150};
    const struct {
        DATE viewStart;
        ScrollState state;
    } rows[] = {
        {150, {100, 200, 10, 150}},
        {191, {100, 200, 10, 191}},  // the last full page
        {192, {100, 201, 10, 192}},
        {90, {90, 200, 10, 90}},
        {120.75, {100, 200, 10, 120}},
    };
    for (const auto& r : rows) EXPECT_EQ(ScrollAfterStartChange(base, r.viewStart), r.state) << r.viewStart;

    // Zoom out from one week to two: one period is still seven days; the
    // probe forward to 22 June reaches 5 July.
    const DATE start = D(2005, 6, 15);
    const ScrollState week = ScrollForReset({ptWeek, 1}, start);
    const ScrollState out = ScrollAfterZoomOut(week, {ptWeek, 2}, start);
    EXPECT_EQ(out, (ScrollState{LONG(D(2005, 6, 8)), LONG(D(2005, 7, 5)), 14, LONG(start)}));
    // Zoom back in: only the page.
    const ScrollState in = ScrollAfterZoomIn(out, *ComputeViewRange({ptWeek, 1}, start));
    EXPECT_EQ(in, (ScrollState{out.minimum, out.maximum, 7, out.position}));
}

}  // namespace
}  // namespace qmx
