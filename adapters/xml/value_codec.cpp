#include "adapters/xml/value_codec.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "automation/date_time.h"

namespace qmx::xml {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The length of the digit run at the start of text.
std::size_t DigitRun(std::string_view text)
{
    std::size_t n = 0;
    while (n < text.size() && IsDigit(text[n])) ++n;
    return n;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text)
{
    text = TrimBlanks(text);
    if (text.empty()) return std::nullopt;
    const bool zeroAllowed = text.front() == '0';
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || DigitRun(text) != text.size()) return std::nullopt;
    // Accumulate as a 64-bit magnitude; anything past 32 bits is out.
    std::int64_t magnitude = 0;
    for (char c : text) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > std::int64_t{1} << 31) return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    if (value == 0 && !zeroAllowed) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<float> ParseFloat(std::string_view text)
{
    text = TrimBlanks(text);
    if (text.empty()) return std::nullopt;
    const bool zeroAllowed = text.front() == '0';
    std::string_view number = text;
    if (number.front() == '+') number.remove_prefix(1);  // from_chars takes only "-"
    // Decimal syntax only: digits, an optional fraction, an optional
    // exponent; no "inf", "nan" or hexadecimal forms.
    std::string_view rest = number.substr(number.starts_with('-') ? 1 : 0);
    const std::size_t whole = DigitRun(rest);
    rest.remove_prefix(whole);
    std::size_t fraction = 0;
    if (rest.starts_with('.')) {
        rest.remove_prefix(1);
        fraction = DigitRun(rest);
        rest.remove_prefix(fraction);
    }
    if (whole + fraction == 0) return std::nullopt;
    if (rest.starts_with('e') || rest.starts_with('E')) {
        rest.remove_prefix(1);
        if (rest.starts_with('+') || rest.starts_with('-')) rest.remove_prefix(1);
        const std::size_t exponent = DigitRun(rest);
        if (exponent == 0) return std::nullopt;
        rest.remove_prefix(exponent);
    }
    if (!rest.empty()) return std::nullopt;

    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    // Out of double range is out of single range too.
    if (error == std::errc::result_out_of_range) return std::nullopt;
    if (error != std::errc{} || end != number.data() + number.size()) return std::nullopt;
    if (value == 0) {
        if (!zeroAllowed) return std::nullopt;
        return 0.0f;
    }
    const double magnitude = std::fabs(value);
    if (!(magnitude > 1.1754944e-38 && magnitude < 3.4028235e38)) return std::nullopt;
    return static_cast<float>(value);
}

std::optional<bool> ParseBoolean(std::string_view text)
{
    if (text == "1" || text == "true") return true;
    if (text == "0" || text == "false") return false;
    return std::nullopt;
}

std::optional<COLORREF> ParseColor(std::string_view text)
{
    if (text.size() != 7 || text.front() != '#') return std::nullopt;
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

std::optional<DATE> ParseDate(std::string_view text)
{
    auto isSeparator = [](char c) { return c == '/' || c == '-' || c == '.'; };
    // Reads a run of 1..maxDigits digits; the run may not be longer.
    auto field = [&text](std::size_t maxDigits) -> std::optional<int> {
        const std::size_t n = DigitRun(text);
        if (n == 0 || n > maxDigits) return std::nullopt;
        int value = 0;
        for (std::size_t i = 0; i < n; ++i) value = value * 10 + (text[i] - '0');
        text.remove_prefix(n);
        return value;
    };
    auto separator = [&text, &isSeparator]() {
        if (text.size() < 2 || !isSeparator(text[0]) || !IsDigit(text[1])) return false;
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
        if (text.size() != 2 || !isSeparator(text[0]) || text[1] < '0' || text[1] > '7') return std::nullopt;
        eighths = text[1] - '0';
    }
    // DateFromParts counts the time of day away from zero before 1900, as
    // automation dates do.
    DateTimeParts parts;
    parts.date = CivilDate{*year, *month, *day};
    parts.hour = eighths * 3;
    return DateFromParts(parts);
}

std::string FormatInteger(std::int32_t value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatFloat(float value)
{
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(value));
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string FormatBoolean(bool value) { return value ? "1" : "0"; }

std::string FormatColor(COLORREF color)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", unsigned(GetRValue(color)), unsigned(GetGValue(color)),
                  unsigned(GetBValue(color)));
    return std::string(buffer, 7);
}

std::string FormatDate(DATE date)
{
    // Keep to what the reader accepts, years 100 to 9999: a date beyond
    // (a huge duration added to a start, say) is written as the last one
    // that can be read back rather than as a year the reader refuses.
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

}  // namespace qmx::xml
