// The text forms of integers and dates that documents and the view-settings
// string share. Reading is strict: a text that does not follow the form
// gives nothing, and the caller decides what that means.
//
//   integer   blanks (spaces, tabs), a decimal number with an optional sign
//             that fits 32 bits, blanks; a value of zero must start (after
//             the blanks) with the digit 0, so "-0", "+0" and a text
//             without digits are refused
//   date      day (1-2 digits), month (1-2), year (1-4), separated by any
//             of "/", "-" and "."; optionally a separator and one digit 0-7
//             for the time of day in eighths; a real calendar date in years
//             100 to 9999, and nothing else, not even blanks
//   boolean   exactly "1" or "true", "0" or "false"
//   colour    "#rrggbb" (red, green, blue) in either case, read as a
//             COLORREF (0x00BBGGRR); written in lower case
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "automation/types.h"

namespace qmx {

std::optional<std::int32_t> ParseInteger(std::string_view text);
std::optional<std::int32_t> ParseInteger(std::u16string_view text);

std::optional<DATE> ParseDate(std::string_view text);
std::optional<DATE> ParseDate(std::u16string_view text);

std::optional<bool> ParseBoolean(std::string_view text);
std::optional<bool> ParseBoolean(std::u16string_view text);

std::optional<COLORREF> ParseColor(std::string_view text);
std::optional<COLORREF> ParseColor(std::u16string_view text);
std::string FormatColor(COLORREF color);

// "d/m/yyyy", with ".e" added for a time of day of e eighths (rounded to
// the nearest); a time that rounds to eight eighths is the next day at
// 00:00. A date outside the calendar is written as the nearest one that
// reads back (NaN as the first day).
std::string FormatDate(DATE date);

}  // namespace qmx
