// Calendar arithmetic on automation dates.
#include <gtest/gtest.h>

#include <limits>

#include "automation/date_time.h"

namespace {

using qmx::CivilDate;

TEST(DateTime, CalendarDatesConvertBothWays)
{
    struct Row {
        CivilDate civil;
        DATE date;
        int dayOfWeek;  // Monday = 1
    };
    const Row rows[] = {
        {{1899, 12, 30}, 0, 6},       {{1899, 12, 31}, 1, 7},     {{1900, 1, 1}, 2, 1},
        {{1900, 3, 1}, 61, 4},        {{2000, 2, 29}, 36585, 2},  {{2005, 6, 13}, 38516, 1},
        {{100, 1, 1}, -657434, 5},    {{9999, 12, 31}, 2958465, 5}, {{2026, 12, 7}, 46363, 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(qmx::DateFromCivil(row.civil), row.date) << row.date;
        EXPECT_EQ(qmx::CivilFromDate(row.date), row.civil) << row.date;
        // Before the epoch the time of day counts away from zero.
        const DATE evening = row.date < 0 ? row.date - 0.75 : row.date + 0.75;
        EXPECT_EQ(qmx::CivilFromDate(evening), row.civil) << row.date;
        EXPECT_EQ(qmx::DayOfWeek(evening), row.dayOfWeek) << row.date;
    }
}

TEST(DateTime, InvalidCalendarDatesAreRefused)
{
    for (auto [y, m, d] : {std::tuple{2001, 2, 29}, {1900, 2, 29}, {2005, 4, 31}, {2005, 13, 1}, {2005, 0, 1},
                           {2005, 1, 0}, {99, 12, 31}, {10000, 1, 1}})
        EXPECT_FALSE(qmx::DateFromCivil(y, m, d)) << y << "-" << m << "-" << d;
    EXPECT_TRUE(qmx::DateFromCivil(2000, 2, 29));
    EXPECT_TRUE(qmx::DateFromCivil(2004, 2, 29));
    EXPECT_EQ(qmx::DaysInMonth(2100, 2), 28);
    EXPECT_EQ(qmx::DaysInMonth(2400, 2), 29);
}

TEST(DateTime, DatesBeforeTheEpochKeepTheirTimeOfDayPositive)
{
    // -1.25 is 29 December 1899 at 06:00: the whole day toward zero, the
    // fraction taken as a positive time of day.
    EXPECT_EQ(qmx::DatePart(-1.25), -1.0);
    EXPECT_DOUBLE_EQ(qmx::TimeOfDay(-1.25), 0.25);
    const auto parts = qmx::PartsFromDate(-1.25);
    EXPECT_EQ(parts.date, (CivilDate{1899, 12, 29}));
    EXPECT_EQ(parts.hour, 6);
    qmx::DateTimeParts six{{1899, 12, 29}, 6, 0, 0};
    EXPECT_EQ(qmx::DateFromParts(six), -1.25);
}

TEST(DateTime, TimeOfDayRoundsToTheSecondWithCarry)
{
    const DATE justBeforeMidnight = 38516 + (86399.6 / 86400.0);
    const auto parts = qmx::PartsFromDate(justBeforeMidnight);
    EXPECT_EQ(parts.date, (CivilDate{2005, 6, 14}));
    EXPECT_EQ(parts.hour, 0);
    const auto noon = qmx::PartsFromDate(38516.5);
    EXPECT_EQ(noon.hour, 12);
    EXPECT_EQ(noon.minute, 0);
}

TEST(DateTime, WeeksStartOnMondayAndAreNumberedByTheTimelineRule)
{
    EXPECT_EQ(qmx::WeekStart(38516 + 6.5), 38516);  // Sunday 19 June 2005 goes back 6 days
    EXPECT_EQ(qmx::WeekStart(38516), 38516);
    EXPECT_EQ(qmx::WeekStart(1), -5);                // Sunday 31 Dec 1899 -> Monday 25 Dec 1899
    // 29 December 2003 is in week 53 by the (doy + d1 - 1) / 7 + 1 rule; 5 January 2004 in week 2.
    EXPECT_EQ(qmx::WeekNumber(37984), 53);
    EXPECT_EQ(qmx::WeekNumber(37991), 2);
    // The rule counts weeks from Sunday: 1 January 2005 (a Saturday) is already in week 2.
    EXPECT_EQ(qmx::WeekNumber(*qmx::DateFromCivil(2005, 1, 1)), 2);
    EXPECT_EQ(qmx::WeekNumber(*qmx::DateFromCivil(2006, 1, 1)), 1);  // a Sunday
    EXPECT_EQ(qmx::WeekNumber(*qmx::DateFromCivil(2006, 1, 7)), 2);
    EXPECT_EQ(qmx::DayOfYear(*qmx::DateFromCivil(2004, 12, 31)), 366);
}

TEST(DateTime, AddingMonthsClampsTheDay)
{
    struct Row {
        CivilDate from;
        int months;
        CivilDate to;
    };
    const Row rows[] = {
        {{2005, 1, 31}, 1, {2005, 2, 28}},  {{2004, 1, 31}, 1, {2004, 2, 29}}, {{2005, 3, 31}, -1, {2005, 2, 28}},
        {{2005, 12, 15}, 1, {2006, 1, 15}}, {{2005, 1, 15}, -13, {2003, 12, 15}}, {{2005, 5, 31}, 0, {2005, 5, 31}},
    };
    for (const auto& row : rows) EXPECT_EQ(qmx::AddMonths(row.from, row.months), row.to) << row.months;
}

TEST(DateTime, EighthsOfADayRoundToTheNearestAndCarry)
{
    struct Row {
        double time;
        int eighths;
    };
    const Row rows[] = {{0.0, 0}, {0.0624, 0}, {0.0625, 1}, {0.25, 2}, {0.5, 4}, {22.4 / 24, 7}, {22.5 / 24, 8}};
    for (const auto& row : rows) EXPECT_EQ(qmx::EighthsOfDay(38516 + row.time), row.eighths) << row.time;

    const auto late = qmx::SplitIntoEighths(38516 + 23.0 / 24);
    EXPECT_EQ(late.date, (CivilDate{2005, 6, 14}));
    EXPECT_EQ(late.eighths, 0);
    const auto six = qmx::SplitIntoEighths(38516.25);
    EXPECT_EQ(six.date, (CivilDate{2005, 6, 13}));
    EXPECT_EQ(six.eighths, 2);
    // Before the epoch the carry still goes to the next calendar day.
    EXPECT_EQ(qmx::SplitIntoEighths(-1 - 23.0 / 24).date, (CivilDate{1899, 12, 30}));
    // The last day of the calendar has no next day: it keeps seven eighths.
    const auto last = qmx::SplitIntoEighths(2958465 + 23.0 / 24);
    EXPECT_EQ(last.date, (CivilDate{9999, 12, 31}));
    EXPECT_EQ(last.eighths, 7);
}

// Any double is a safe input: dates past either end of the calendar read as
// that end, NaN as the epoch. Under the sanitizers this also proves that no
// conversion overflows.
TEST(DateTime, DatesOutsideTheCalendarReadAsItsEnds)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CivilDate first{100, 1, 1};
    const CivilDate last{9999, 12, 31};
    const CivilDate epoch{1899, 12, 30};
    struct Row {
        DATE date;
        bool inCalendar;
        CivilDate reads;
    };
    const Row rows[] = {
        {qmx::kMinDate, true, first},
        {qmx::kMinDate - 0.999, true, first},  // 1 January 100 at 23:58
        {qmx::kMinDate - 1.0, false, first},
        {-1e7, false, first},
        {-9.3e18, false, first},
        {-1e300, false, first},
        {-inf, false, first},
        {qmx::kMaxDate, true, last},
        {2958465.5, true, last},
        {2958466.0, false, last},
        {3e38, false, last},
        {9.3e18, false, last},
        {1e300, false, last},
        {inf, false, last},
        {nan, false, epoch},
        {38516.25, true, CivilDate{2005, 6, 13}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.date);
        EXPECT_EQ(qmx::IsCalendarDate(row.date), row.inCalendar);
        EXPECT_EQ(qmx::CivilFromDate(row.date), row.reads);
        const auto parts = qmx::PartsFromDate(row.date);
        EXPECT_GE(parts.date.year, 100);
        EXPECT_LE(parts.date.year, 10000);  // kMaxDate rounds to the next second
        const double time = qmx::TimeOfDay(row.date);
        EXPECT_TRUE(time >= 0.0 && time < 1.0);
        const int eighths = qmx::EighthsOfDay(row.date);
        EXPECT_TRUE(eighths >= 0 && eighths <= 8);
        const auto split = qmx::SplitIntoEighths(row.date);
        EXPECT_TRUE(qmx::IsValidDate(split.date.year, split.date.month, split.date.day));
        const int weekday = qmx::DayOfWeek(row.date);
        EXPECT_TRUE(weekday >= 1 && weekday <= 7);
        EXPECT_TRUE(qmx::IsCalendarDate(qmx::WeekStart(row.date)) || row.reads == first);
        EXPECT_TRUE(qmx::DayOfYear(row.date) >= 1 && qmx::DayOfYear(row.date) <= 366);
        EXPECT_TRUE(qmx::WeekNumber(row.date) >= 1 && qmx::WeekNumber(row.date) <= 54);
    }
    // Month arithmetic takes any counts without overflow.
    for (int months : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), 0}) {
        for (CivilDate date : {CivilDate{std::numeric_limits<int>::max(), 12, 31},
                               CivilDate{std::numeric_limits<int>::min(), 1, 1}, last,
                               CivilDate{2005, std::numeric_limits<int>::min(), 1}}) {
            const CivilDate moved = qmx::AddMonths(date, months);
            EXPECT_TRUE(moved.month >= 1 && moved.month <= 12);
        }
    }
}

TEST(DateTime, TodayComesFromAClockThatTestsCanFix)
{
    qmx::FixToday(38516.7);
    EXPECT_EQ(qmx::Today(), 38516);
    qmx::UnfixToday();
    const DATE today = qmx::Today();
    EXPECT_EQ(today, qmx::DatePart(today));
    EXPECT_LE(today, qmx::Now());
    EXPECT_GT(qmx::Now() - today, -1e-9);
}

}  // namespace
