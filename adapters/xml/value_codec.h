// The value encodings of the XML project file: how integers, numbers,
// booleans, colours and dates are written into attributes and read back.
// Reading is strict; a value that does not follow the encoding is invalid
// (nothing) and the reader falls back to its default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "automation/types.h"

namespace qmx::xml {

// Blanks (spaces, tabs) may surround a decimal integer with an optional
// sign. A value that reads as zero must start (after blanks) with "0", so a
// text without digits is invalid rather than zero. Values outside 32 bits
// are invalid.
std::optional<std::int32_t> ParseInteger(std::string_view text);
// Like an integer, but a decimal floating-point number (fraction and
// exponent allowed); a non-zero value outside the single-precision range
// is invalid.
std::optional<float> ParseFloat(std::string_view text);
// Exactly "1" or "true", "0" or "false".
std::optional<bool> ParseBoolean(std::string_view text);
// "#rrggbb" in either case, as a COLORREF (0x00BBGGRR).
std::optional<COLORREF> ParseColor(std::string_view text);
// Day, month and year separated by "/", "-" or ".", and an optional fourth
// field of one digit 0 to 7: the time of day in eighths of a day.
std::optional<DATE> ParseDate(std::string_view text);

std::string FormatInteger(std::int32_t value);
// printf's "%g".
std::string FormatFloat(float value);
std::string FormatBoolean(bool value);
// "#rrggbb", lower case.
std::string FormatColor(COLORREF color);
// "d/m/yyyy", with ".e" added for a time of day of e eighths (rounded to
// the nearest). A time that rounds to eight eighths is the next day at 00:00.
std::string FormatDate(DATE date);

}  // namespace qmx::xml
