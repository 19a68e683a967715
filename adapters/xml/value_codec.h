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
#include "automation/value_text.h"

namespace qmx::xml {

// Integers, dates, booleans and colours have the text forms of
// automation/value_text.h.
using qmx::FormatColor;
using qmx::FormatDate;
using qmx::ParseBoolean;
using qmx::ParseColor;
using qmx::ParseDate;
using qmx::ParseInteger;

// Like an integer, but a decimal floating-point number (fraction and
// exponent allowed); a non-zero value outside the single-precision range
// is invalid.
std::optional<float> ParseFloat(std::string_view text);

std::string FormatInteger(std::int32_t value);
// printf's "%g".
std::string FormatFloat(float value);
std::string FormatBoolean(bool value);

}  // namespace qmx::xml
