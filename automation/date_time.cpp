#include "automation/date_time.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <limits>

namespace qmx {

namespace {

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr CivilDate CivilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return CivilDate{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// 30 December 1899 counted from 1970-01-01.
constexpr std::int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);

// Every conversion reads its date through this: a date past either end of
// the calendar reads as that end, and NaN as the epoch, so that no day
// number or year computed from it can overflow.
DATE InCalendar(DATE date)
{
    if (std::isnan(date)) return 0.0;
    if (!(date > kMinDate - 1.0)) return kMinDate;
    if (!(date <= kMaxDate)) return kMaxDate;
    return date;
}

std::int64_t DayNumber(DATE date) { return static_cast<std::int64_t>(std::trunc(InCalendar(date))); }

std::optional<DATE> s_fixedToday;

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kLengths[month - 1];
}

bool IsValidDate(int year, int month, int day)
{
    return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

std::optional<DATE> DateFromCivil(int year, int month, int day)
{
    if (!IsValidDate(year, month, day)) return std::nullopt;
    return static_cast<DATE>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochOffset);
}

std::optional<DATE> DateFromCivil(const CivilDate& date) { return DateFromCivil(date.year, date.month, date.day); }

std::optional<DATE> DateFromParts(const DateTimeParts& parts)
{
    if (parts.hour < 0 || parts.hour > 23 || parts.minute < 0 || parts.minute > 59 || parts.second < 0 ||
        parts.second > 59)
        return std::nullopt;
    auto day = DateFromCivil(parts.date);
    if (!day) return std::nullopt;
    const double time = (parts.hour * 3600.0 + parts.minute * 60.0 + parts.second) / 86400.0;
    // Before the epoch the time of day counts away from zero.
    return *day < 0 ? *day - time : *day + time;
}

bool IsCalendarDate(DATE date) { return date > kMinDate - 1.0 && date <= kMaxDate; }

DATE DatePart(DATE date) { return std::trunc(date); }

double TimeOfDay(DATE date)
{
    date = InCalendar(date);
    return std::fabs(date - std::trunc(date));
}

CivilDate CivilFromDate(DATE date) { return CivilFromDays(DayNumber(date) + kEpochOffset); }

DateTimeParts PartsFromDate(DATE date)
{
    std::int64_t day = DayNumber(date);
    auto seconds = static_cast<std::int64_t>(std::floor(TimeOfDay(date) * 86400.0 + 0.5));
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;  // day numbers count calendar days, also before the epoch
    }
    DateTimeParts parts;
    parts.date = CivilFromDays(day + kEpochOffset);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

int DayOfWeek(DATE date)
{
    // Day 0, 30 December 1899, was a Saturday.
    const std::int64_t n = DayNumber(date);
    return static_cast<int>(((n + 5) % 7 + 7) % 7) + 1;
}

DATE WeekStart(DATE date) { return DatePart(InCalendar(date)) - (DayOfWeek(date) - 1); }

int DayOfYear(DATE date)
{
    const CivilDate c = CivilFromDate(date);
    return static_cast<int>(DayNumber(date) + kEpochOffset - DaysFromCivil(c.year, 1, 1)) + 1;
}

int WeekNumber(DATE date)
{
    const CivilDate c = CivilFromDate(date);
    const DATE january1 = static_cast<DATE>(DaysFromCivil(c.year, 1, 1) - kEpochOffset);
    const int d1 = DayOfWeek(january1) % 7 + 1;  // Sunday = 1
    return (DayOfYear(date) + d1 - 1) / 7 + 1;
}

CivilDate AddMonths(const CivilDate& date, int months)
{
    // 64 bits hold any sum of the three; the year saturates at the ends of
    // int (any such year is far outside the calendar anyway).
    const std::int64_t total = std::int64_t{date.year} * 12 + (std::int64_t{date.month} - 1) + months;
    const std::int64_t year = total >= 0 ? total / 12 : (total - 11) / 12;
    CivilDate result;
    result.year = static_cast<int>(std::clamp<std::int64_t>(year, std::numeric_limits<int>::min(),
                                                            std::numeric_limits<int>::max()));
    result.month = static_cast<int>(total - year * 12) + 1;
    const int length = DaysInMonth(result.year, result.month);
    result.day = date.day > length ? length : date.day;
    return result;
}

int EighthsOfDay(DATE date) { return static_cast<int>(TimeOfDay(date) * 8.0 + 0.5); }

DayAndEighths SplitIntoEighths(DATE date)
{
    std::int64_t day = DayNumber(date);
    int eighths = EighthsOfDay(date);
    if (eighths >= 8) {
        // Day numbers count calendar days, also before the epoch; the last
        // day of the calendar has no next day and keeps its last eighth.
        if (CivilFromDays(day + 1 + kEpochOffset).year > kMaxYear) {
            eighths = 7;
        } else {
            eighths = 0;
            ++day;
        }
    }
    return DayAndEighths{CivilFromDays(day + kEpochOffset), eighths};
}

DATE Now()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    DateTimeParts parts;
    parts.date = CivilDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    parts.hour = local.tm_hour;
    parts.minute = local.tm_min;
    parts.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    return DateFromParts(parts).value_or(0.0);
}

DATE Today() { return s_fixedToday ? *s_fixedToday : DatePart(Now()); }

void FixToday(DATE today) { s_fixedToday = DatePart(today); }

void UnfixToday() { s_fixedToday.reset(); }

}  // namespace qmx
