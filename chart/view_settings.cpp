#include "chart/view_settings.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <vector>

#include "automation/bstr.h"
#include "automation/date_time.h"

namespace qmx {

namespace {

constexpr std::size_t kFieldCount = 7;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsDateSeparator(char16_t c) { return c == u'/' || c == u'-' || c == u'.'; }

// The non-empty fields between commas, at most kFieldCount of them.
std::vector<std::u16string_view> SplitFields(std::u16string_view text)
{
    std::vector<std::u16string_view> fields;
    std::size_t start = 0;
    while (start <= text.size() && fields.size() < kFieldCount) {
        std::size_t comma = text.find(u',', start);
        if (comma == std::u16string_view::npos) comma = text.size();
        if (comma > start) fields.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return fields;
}

// Blanks, an optionally signed decimal number, blanks. A zero must be
// written starting with the digit 0, so "-0" and "+0" are refused.
std::optional<LONG> ParseInteger(std::u16string_view field)
{
    std::size_t i = 0;
    while (i < field.size() && IsBlank(field[i])) ++i;
    const bool startsWithZero = i < field.size() && field[i] == u'0';
    bool negative = false;
    if (i < field.size() && (field[i] == u'+' || field[i] == u'-')) {
        negative = field[i] == u'-';
        ++i;
    }
    const std::size_t firstDigit = i;
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = std::int64_t(std::numeric_limits<LONG>::max()) + 1;
    while (i < field.size() && IsDigit(field[i])) {
        magnitude = magnitude * 10 + (field[i] - u'0');
        if (magnitude > kLimit) return std::nullopt;
        ++i;
    }
    if (i == firstDigit) return std::nullopt;
    while (i < field.size() && IsBlank(field[i])) ++i;
    if (i != field.size()) return std::nullopt;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<LONG>::max()) return std::nullopt;
    if (value == 0 && !startsWithZero) return std::nullopt;
    return static_cast<LONG>(value);
}

// Reads minDigits..maxDigits decimal digits at pos.
std::optional<int> ReadNumber(std::u16string_view text, std::size_t& pos, int minDigits, int maxDigits)
{
    int value = 0;
    int digits = 0;
    while (pos < text.size() && IsDigit(text[pos]) && digits < maxDigits) {
        value = value * 10 + (text[pos] - u'0');
        ++pos;
        ++digits;
    }
    if (digits < minDigits) return std::nullopt;
    return value;
}

bool ReadSeparator(std::u16string_view text, std::size_t& pos)
{
    if (pos >= text.size() || !IsDateSeparator(text[pos])) return false;
    ++pos;
    return true;
}

// d[d] sep m[m] sep y[yyy] [sep e], e one of 0..7.
std::optional<DATE> ParseDate(std::u16string_view field)
{
    std::size_t pos = 0;
    const auto day = ReadNumber(field, pos, 1, 2);
    if (!day || !ReadSeparator(field, pos)) return std::nullopt;
    const auto month = ReadNumber(field, pos, 1, 2);
    if (!month || !ReadSeparator(field, pos)) return std::nullopt;
    const auto year = ReadNumber(field, pos, 1, 4);
    if (!year) return std::nullopt;
    int eighths = 0;
    if (pos < field.size()) {
        if (!ReadSeparator(field, pos)) return std::nullopt;
        if (pos + 1 != field.size() || field[pos] < u'0' || field[pos] > u'7') return std::nullopt;
        eighths = field[pos] - u'0';
    }
    // Through the calendar helper, which also gets the time of day of dates
    // before the epoch right (it counts away from zero there).
    DateTimeParts parts;
    parts.date = CivilDate{*year, *month, *day};
    parts.hour = eighths * 3;
    return DateFromParts(parts);
}

}  // namespace

BSTR FormatViewDate(DATE date)
{
    const DayAndEighths split = SplitIntoEighths(date);
    char text[64];
    if (split.eighths != 0) {
        std::snprintf(text, sizeof text, "%u/%u/%u.%u", unsigned(split.date.day), unsigned(split.date.month),
                      unsigned(split.date.year), unsigned(split.eighths));
    } else {
        std::snprintf(text, sizeof text, "%u/%u/%u", unsigned(split.date.day), unsigned(split.date.month),
                      unsigned(split.date.year));
    }
    return Utf8ToBstr(text);
}

BSTR FormatViewSettings(const ViewSettings& settings)
{
    char head[32];
    std::snprintf(head, sizeof head, "%d,%d,", int(settings.periodType), int(settings.periodCount));
    char tail[64];
    std::snprintf(tail, sizeof tail, ",%d,%d,%d,%d", int(settings.scroll.minimum), int(settings.scroll.maximum),
                  int(settings.scroll.page), int(settings.scroll.position));
    return Utf8ToBstr(head) + FormatViewDate(settings.startDate) + Utf8ToBstr(tail);
}

std::optional<ViewSettings> ParseViewSettings(std::u16string_view text)
{
    const std::vector<std::u16string_view> fields = SplitFields(text);
    if (fields.size() < kFieldCount) return std::nullopt;

    LONG numbers[kFieldCount] = {};
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (i == 2) continue;
        const auto value = ParseInteger(fields[i]);
        if (!value) return std::nullopt;
        numbers[i] = *value;
    }
    const auto start = ParseDate(fields[2]);
    if (!start) return std::nullopt;

    ViewSettings settings;
    settings.periodType = numbers[0];
    settings.periodCount = numbers[1];
    settings.startDate = *start;
    settings.scroll = ScrollState{numbers[3], numbers[4], numbers[5], numbers[6]};
    return settings;
}

}  // namespace qmx
