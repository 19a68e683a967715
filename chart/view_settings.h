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

BSTR FormatViewSettings(const ViewSettings& settings);

// Strict reading of the format above. Fields are split at commas, empty
// fields are dropped and text after the seventh field is ignored. The
// integer and date fields have the text forms of automation/value_text.h,
// which documents use too. Nothing on failure.
std::optional<ViewSettings> ParseViewSettings(std::u16string_view text);

}  // namespace qmx
