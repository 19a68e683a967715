#include "app/dialogs/duration_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace qmx {

namespace {

constexpr double kHoursPerDay = 8.0;
constexpr double kDaysPerWeek = 5.0;

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

// The characters a number can be made of; the rest ends the number.
bool IsNumberCharacter(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'.' ||
           c == u'+' || c == u'-' || c == u'(' || c == u')' || c == u'_';
}

double ToDays(double value, QMXDurationUnit unit)
{
    switch (unit) {
    case duHour: return value / kHoursPerDay;
    case duWeek: return value * kDaysPerWeek;
    case duDay: break;
    }
    return value;
}

// The unit whose name begins with the character, days when none does.
QMXDurationUnit UnitOf(std::u16string_view character, const DurationUnitNames& names)
{
    static constexpr QMXDurationUnit kOrder[] = {duHour, duDay, duWeek};
    for (QMXDurationUnit unit : kOrder) {
        const BSTR& name = names[static_cast<std::size_t>(unit)];
        if (name.size() >= character.size() && std::u16string_view(name).substr(0, character.size()) == character)
            return unit;
    }
    return duDay;
}

}  // namespace

double DurationInUnit(float days, QMXDurationUnit unit)
{
    switch (unit) {
    case duHour: return static_cast<double>(days) * kHoursPerDay;
    case duWeek: return static_cast<double>(days) * 0.2;
    case duDay: break;
    }
    return days;
}

BSTR FormatDuration(float days, QMXDurationUnit unit, const DurationUnitNames& names)
{
    char digits[64];
    // to_chars in general form with precision 6 is printf's "%g" in the C
    // locale, whatever locale the program runs in.
    const auto result = std::to_chars(digits, digits + sizeof digits, DurationInUnit(days, unit),
                                      std::chars_format::general, 6);
    BSTR text(digits, result.ptr);
    text += u' ';
    const auto index = static_cast<std::size_t>(unit);
    if (index < names.size()) text += names[index];
    return text;
}

std::optional<TypedDuration> ParseDuration(const BSTR& text, const DurationUnitNames& names)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;

    // The number, as far as it can reach; from_chars then says where it ends.
    std::string number;
    std::size_t j = i;
    while (j < text.size() && IsNumberCharacter(text[j])) number += static_cast<char>(text[j++]);
    std::size_t sign = 0;
    bool negative = false;
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
        negative = number[0] == '-';
        sign = 1;
    }
    double value = 0;
    const char* begin = number.data() + sign;
    if (sign && number.size() > 1 && (number[1] == '+' || number[1] == '-')) return std::nullopt;
    const auto parsed = std::from_chars(begin, number.data() + number.size(), value, std::chars_format::general);
    if (parsed.ec != std::errc() || parsed.ptr == begin) return std::nullopt;
    if (negative) value = -value;
    if (!std::isfinite(value) || value < 0) return std::nullopt;

    // One character after the number, blanks skipped, chooses the unit.
    std::size_t k = i + static_cast<std::size_t>(parsed.ptr - number.data());
    while (k < text.size() && IsBlank(text[k])) ++k;
    QMXDurationUnit unit = duDay;
    if (k < text.size()) {
        const bool pair = k + 1 < text.size() && text[k] >= 0xD800 && text[k] < 0xDC00 && text[k + 1] >= 0xDC00 &&
                          text[k + 1] < 0xE000;
        unit = UnitOf(std::u16string_view(text).substr(k, pair ? 2 : 1), names);
    }

    const double days = ToDays(value, unit);
    if (!(days <= static_cast<double>(std::numeric_limits<float>::max()))) return std::nullopt;
    return TypedDuration{static_cast<float>(days), unit};
}

}  // namespace qmx
