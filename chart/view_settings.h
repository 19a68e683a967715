// The view-settings string: the time scale and the horizontal scroll state of
// the chart pane as one line of text that documents keep and hand back.
//
//   period kind, period count, start date, scroll minimum, scroll maximum,
//   scroll page, scroll position
//
// for example "1,3,1/2/2005,38292,38564,89,38384". The start date is written
// day/month/year, with ".e" appended for e eighths of a day when the time of
// day rounds to a non-zero number of eighths.
#pragma once

#include <optional>
#include <string_view>

#include "automation/types.h"
#include "chart/time_scale.h"

namespace qmx {

// The fields of the string; the scroll state is the chart pane's horizontal
// scroll bar (ScrollState of the time scale).
struct ViewSettings {
    LONG periodType = 0;
    LONG periodCount = 1;
    DATE startDate = 0.0;
    ScrollState scroll;
    friend bool operator==(const ViewSettings&, const ViewSettings&) = default;
};

// "13/6/2005", or "13/6/2005.2" at 06:00. A time of day that rounds to eight
// eighths is written as the next day at 00:00.
BSTR FormatViewDate(DATE date);

BSTR FormatViewSettings(const ViewSettings& settings);

// Strict reading of the format above. Fields are split at commas, empty
// fields are dropped and text after the seventh field is ignored. Integer
// fields allow blanks and tabs around a signed decimal number that fits 32
// bits; a value of 0 must be written starting with the digit 0. The date
// takes one or two digits for day and month, one to four for the year, any
// of "/", "-", "." between them, optionally a separator and one eighths digit
// 0..7 at the end, and must be a real calendar date. Nothing on failure.
std::optional<ViewSettings> ParseViewSettings(std::u16string_view text);

}  // namespace qmx
