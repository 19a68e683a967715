#include "grid/grid_persistence.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace qmx {

namespace {

// Lower-case ASCII; other characters unchanged.
char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

bool EqualsIgnoringCase(const BSTR& text, std::u16string_view word)
{
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (Lower(text[i]) != word[i]) return false;
    }
    return true;
}

std::optional<LONG> ParseDecimal(const BSTR& text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
        value = value * 10 + (text[i] - u'0');
        if (value > std::int64_t(std::numeric_limits<LONG>::max()) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<LONG>::min() || value > std::numeric_limits<LONG>::max()) return std::nullopt;
    return static_cast<LONG>(value);
}

}  // namespace

std::optional<bool> PropertyToBool(const VARIANT& value)
{
    if (const bool* b = std::get_if<bool>(&value)) return *b;
    if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) return *i != 0;
    if (const double* d = std::get_if<double>(&value)) {
        if (!std::isfinite(*d)) return std::nullopt;
        return *d != 0;
    }
    if (const BSTR* s = std::get_if<BSTR>(&value)) {
        if (EqualsIgnoringCase(*s, u"true")) return true;
        if (EqualsIgnoringCase(*s, u"false")) return false;
        if (const std::optional<LONG> n = ParseDecimal(*s)) return *n != 0;
    }
    return std::nullopt;
}

std::optional<LONG> PropertyToLong(const VARIANT& value)
{
    if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) return *i;
    if (const double* d = std::get_if<double>(&value)) {
        if (!std::isfinite(*d) || std::trunc(*d) != *d) return std::nullopt;
        if (*d < std::numeric_limits<LONG>::min() || *d > std::numeric_limits<LONG>::max()) return std::nullopt;
        return static_cast<LONG>(*d);
    }
    if (const BSTR* s = std::get_if<BSTR>(&value)) return ParseDecimal(*s);
    return std::nullopt;
}

}  // namespace qmx
