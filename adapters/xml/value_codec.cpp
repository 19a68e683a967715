#include "adapters/xml/value_codec.h"

#include <charconv>
#include <cmath>
#include <cstdio>

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

}  // namespace

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

}  // namespace qmx::xml
