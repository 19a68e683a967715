#include "automation/value_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "automation/date_time.h"

namespace qmx {

namespace {

template <class Char>
bool IsBlank(Char c)
{
    return c == Char(' ') || c == Char('\t');
}

template <class Char>
bool IsDigit(Char c)
{
    return c >= Char('0') && c <= Char('9');
}

template <class Char>
bool IsDateSeparator(Char c)
{
    return c == Char('/') || c == Char('-') || c == Char('.');
}

// The length of the digit run at the start of text.
template <class Char>
std::size_t DigitRun(std::basic_string_view<Char> text)
{
    std::size_t n = 0;
    while (n < text.size() && IsDigit(text[n])) ++n;
    return n;
}

template <class Char>
std::optional<std::int32_t> ParseIntegerOf(std::basic_string_view<Char> text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    const bool zeroAllowed = text.front() == Char('0');
    bool negative = false;
    if (text.front() == Char('+') || text.front() == Char('-')) {
        negative = text.front() == Char('-');
        text.remove_prefix(1);
    }
    if (text.empty() || DigitRun(text) != text.size()) return std::nullopt;
    // Accumulate as a 64-bit magnitude; anything past 32 bits is out.
    std::int64_t magnitude = 0;
    for (Char c : text) {
        magnitude = magnitude * 10 + (c - Char('0'));
        if (magnitude > std::int64_t{1} << 31) return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    if (value == 0 && !zeroAllowed) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

template <class Char>
std::optional<DATE> ParseDateOf(std::basic_string_view<Char> text)
{
    // Reads a run of 1..maxDigits digits; the run may not be longer.
    auto field = [&text](std::size_t maxDigits) -> std::optional<int> {
        const std::size_t n = DigitRun(text);
        if (n == 0 || n > maxDigits) return std::nullopt;
        int value = 0;
        for (std::size_t i = 0; i < n; ++i) value = value * 10 + (text[i] - Char('0'));
        text.remove_prefix(n);
        return value;
    };
    // A separator, which a digit must follow.
    auto separator = [&text]() {
        if (text.size() < 2 || !IsDateSeparator(text[0]) || !IsDigit(text[1])) return false;
        text.remove_prefix(1);
        return true;
    };

    const auto day = field(2);
    if (!day || !separator()) return std::nullopt;
    const auto month = field(2);
    if (!month || !separator()) return std::nullopt;
    const auto year = field(4);
    if (!year) return std::nullopt;
    int eighths = 0;
    if (!text.empty()) {
        if (text.size() != 2 || !IsDateSeparator(text[0]) || text[1] < Char('0') || text[1] > Char('7'))
            return std::nullopt;
        eighths = text[1] - Char('0');
    }
    // DateFromParts counts the time of day away from zero before 1900, as
    // automation dates do.
    DateTimeParts parts;
    parts.date = CivilDate{*year, *month, *day};
    parts.hour = eighths * 3;
    return DateFromParts(parts);
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text) { return ParseIntegerOf(text); }
std::optional<std::int32_t> ParseInteger(std::u16string_view text) { return ParseIntegerOf(text); }

std::optional<DATE> ParseDate(std::string_view text) { return ParseDateOf(text); }
std::optional<DATE> ParseDate(std::u16string_view text) { return ParseDateOf(text); }

std::string FormatDate(DATE date)
{
    // Keep to what the reader accepts, years 100 to 9999: a date beyond is
    // written as the last one that can be read back rather than as a year
    // the reader refuses.
    constexpr DATE kLast = 2958465.875;  // 31 December 9999 21:00, 7 eighths
    if (!(date > kMinDate - 1)) date = kMinDate;
    if (!(date <= kLast)) date = std::isnan(date) ? kMinDate : kLast;
    const DayAndEighths split = SplitIntoEighths(date);
    char buffer[48];
    const int n = split.eighths == 0
                      ? std::snprintf(buffer, sizeof buffer, "%d/%d/%d", split.date.day, split.date.month,
                                      split.date.year)
                      : std::snprintf(buffer, sizeof buffer, "%d/%d/%d.%d", split.date.day, split.date.month,
                                      split.date.year, split.eighths);
    return std::string(buffer, static_cast<std::size_t>(n));
}

namespace {

template <class Char>
std::optional<bool> ParseBooleanOf(std::basic_string_view<Char> text)
{
    const auto is = [&](std::string_view word) {
        return text.size() == word.size() && std::equal(word.begin(), word.end(), text.begin(),
                                                        [](char a, Char b) { return Char(a) == b; });
    };
    if (is("1") || is("true")) return true;
    if (is("0") || is("false")) return false;
    return std::nullopt;
}

template <class Char>
int HexValue(Char c)
{
    if (c >= Char('0') && c <= Char('9')) return int(c - Char('0'));
    if (c >= Char('a') && c <= Char('f')) return int(c - Char('a')) + 10;
    if (c >= Char('A') && c <= Char('F')) return int(c - Char('A')) + 10;
    return -1;
}

template <class Char>
std::optional<COLORREF> ParseColorOf(std::basic_string_view<Char> text)
{
    if (text.size() != 7 || text.front() != Char('#')) return std::nullopt;
    int component[3];
    for (int i = 0; i < 3; ++i) {
        const int hi = HexValue(text[1 + 2 * i]);
        const int lo = HexValue(text[2 + 2 * i]);
        if (hi < 0 || lo < 0) return std::nullopt;
        component[i] = hi * 16 + lo;
    }
    return RGB(static_cast<std::uint8_t>(component[0]), static_cast<std::uint8_t>(component[1]),
               static_cast<std::uint8_t>(component[2]));
}

}  // namespace

std::optional<bool> ParseBoolean(std::string_view text) { return ParseBooleanOf(text); }
std::optional<bool> ParseBoolean(std::u16string_view text) { return ParseBooleanOf(text); }
std::optional<COLORREF> ParseColor(std::string_view text) { return ParseColorOf(text); }
std::optional<COLORREF> ParseColor(std::u16string_view text) { return ParseColorOf(text); }

std::string FormatColor(COLORREF color)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", unsigned(GetRValue(color)), unsigned(GetGValue(color)),
                  unsigned(GetBValue(color)));
    return std::string(buffer, 7);
}

}  // namespace qmx
