// Calendar arithmetic on automation dates: Gregorian, weeks from Monday,
// years 100 to 9999. The one place that converts between DATE and calendar
// values, and the one clock that says what "today" is.
#pragma once

#include <cstdint>
#include <optional>

#include "automation/types.h"

namespace qmx {

struct CivilDate {
    int year = 1899;
    int month = 12;
    int day = 30;
    friend constexpr bool operator==(const CivilDate&, const CivilDate&) = default;
};

struct DateTimeParts {
    CivilDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

inline constexpr int kMinYear = 100;
inline constexpr int kMaxYear = 9999;
inline constexpr DATE kMinDate = -657434.0;            // 1 January 100
inline constexpr DATE kMaxDate = 2958465.99999999;     // 31 December 9999, end of day

// The conversions below that take a DATE (all but DatePart, which is plain
// arithmetic) accept any double: a date before the calendar reads as
// 1 January 100, one after it as kMaxDate, NaN as 30 December 1899.

// A date whose day lies in years 100 to 9999 (a date before 1900 counts its
// time of day away from zero, so 1 January 100 runs down to kMinDate - 1).
bool IsCalendarDate(DATE date);

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// A real calendar date within years 100 to 9999.
bool IsValidDate(int year, int month, int day);

// The date at 00:00, or nothing for an invalid calendar date.
std::optional<DATE> DateFromCivil(int year, int month, int day);
std::optional<DATE> DateFromCivil(const CivilDate& date);
std::optional<DATE> DateFromParts(const DateTimeParts& parts);

// The whole day of a date: the integer part (toward zero, the automation
// rule, so that -1.25 is 29 December 1899 at 06:00).
DATE DatePart(DATE date);
// The time of day as a fraction of a day, 0 <= t < 1.
double TimeOfDay(DATE date);

// The calendar date of a date's day (no range check beyond the arithmetic).
CivilDate CivilFromDate(DATE date);
// Calendar date and time rounded to the nearest second.
DateTimeParts PartsFromDate(DATE date);

// 1..7, Monday = 1.
int DayOfWeek(DATE date);
// The Monday on or before the date's day.
DATE WeekStart(DATE date);
// 1 = January 1.
int DayOfYear(DATE date);
// The timeline's week number: (doy + d1 - 1) / 7 + 1 with d1 the day of week
// of January 1 counted with Sunday = 1.
int WeekNumber(DATE date);

// Moves by whole months keeping the day of month, clamped to the length of
// the target month (31 January + 1 month is 28 or 29 February). Any input
// is safe; the result is not checked against the calendar's range.
CivilDate AddMonths(const CivilDate& date, int months);

// The time of day in eighths of a day, rounded to the nearest: 0..8.
int EighthsOfDay(DATE date);

// A date as day and eighths of a day, as documents write it; eight eighths
// carry into the next day at 00:00 (on 31 December 9999 they stay seven).
struct DayAndEighths {
    CivilDate date;
    int eighths = 0;  // 0..7
};
DayAndEighths SplitIntoEighths(DATE date);

// Local time now, as a DATE.
DATE Now();
// Today at 00:00 local time, from the process clock. Tests fix it.
DATE Today();

// Fixes what Today returns (for tests) until UnfixToday.
void FixToday(DATE today);
void UnfixToday();

}  // namespace qmx
