// The text form of a task's duration on the task dialog's General page: the
// duration is kept in days and shown in the task's unit, with 1 day = 8
// hours and 1 week = 5 days.
#pragma once

#include <array>
#include <optional>

#include "automation/types.h"
#include "model/model_interfaces.h"

namespace qmx {

// The names of the three units in the order duHour, duDay, duWeek (strings
// 161, 162 and 163 of the language resources).
using DurationUnitNames = std::array<BSTR, 3>;

struct TypedDuration {
    float days = 0;
    QMXDurationUnit unit = duDay;
};

// The value in the unit's terms: days x 8 for hours, days x 0.2 for weeks.
double DurationInUnit(float days, QMXDurationUnit unit);

// "%g %s": the value in the unit in the shortest general form, a blank and
// the unit's name ("16 hours", "0.6 weeks").
BSTR FormatDuration(float days, QMXDurationUnit unit, const DurationUnitNames& names);

// Reads a number and an optional character after it, blanks allowed
// between and around them ("16h", "16 hours", "3"). The character chooses
// the first unit whose name begins with it, in the order hours, days,
// weeks; none, or no match, means days. No number, a negative one, one
// that is not finite or one whose days do not fit a float is no duration.
// The number is read with a decimal point whatever the locale.
std::optional<TypedDuration> ParseDuration(const BSTR& text, const DurationUnitNames& names);

}  // namespace qmx
