// The text formats the map adapter keeps in a map's attributes and task
// information, and the conversions between task-information values and the
// model's. Reading is forgiving in one way only: an entry that does not
// follow its format is skipped, never guessed at; the rest of the list still
// counts.
//
// Lists use ";" between entries and "," between the fields of one entry.
// A resource name holding "," or ";" (or a text that would read back
// differently, such as a doubled or trailing backslash) is written with
// "\," "\;" and "\\"; every other name is written exactly as it is, so maps
// written without escapes read as before.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "automation/types.h"
#include "model/model_interfaces.h"

namespace qmx::mm {

// One entry of `Predecessors` or `Successors`: the other topic's GUID and
// the link type.
struct LinkEntry {
    BSTR guid;
    QMXDependencyType type = dtFinishToStart;
    friend bool operator==(const LinkEntry&, const LinkEntry&) = default;
};

// One entry of `TaskResources`: a resource ID and the assignment's load.
struct LoadEntry {
    LONG resourceId = 0;
    LONG units = 0;
    friend bool operator==(const LoadEntry&, const LoadEntry&) = default;
};

// One entry of `Resources`: ID, name, and whether the resource is counted
// as named in some topic's resources text.
struct PoolEntry {
    LONG id = 0;
    BSTR name;
    bool used = false;
    friend bool operator==(const PoolEntry&, const PoolEntry&) = default;
};

// Entries without a GUID are skipped; a missing, non-integer or
// out-of-range type reads as finish-to-start.
std::vector<LinkEntry> ParseLinks(std::u16string_view text);
BSTR FormatLinks(const std::vector<LinkEntry>& links);

// Entries need two integers and a load of at least 0.
std::vector<LoadEntry> ParseLoads(std::u16string_view text);
BSTR FormatLoads(const std::vector<LoadEntry>& loads);

// Entries need an integer ID and both commas; the flag is the character
// after the second comma ("1" counts as used).
std::vector<PoolEntry> ParsePool(std::u16string_view text);
BSTR FormatPool(const std::vector<PoolEntry>& pool);

// The task-information resources text: names split at "," and ";", blanks
// around each name trimmed, empty names left out. Written ";"-separated.
std::vector<BSTR> ParseResourceNames(std::u16string_view text);
BSTR FormatResourceNames(const std::vector<BSTR>& names);

// "true" and "false"; read with qmx::ParseBoolean.
BSTR FormatMapBoolean(bool value);

// Priority: map 0 none, 1 high, 2 normal, 3 and above low.
QMXPriority PriorityFromMap(LONG mapPriority);
// The map value for a model priority; nothing when the map's current value
// (4 and above) already means low and is to be kept.
std::optional<LONG> PriorityToMap(QMXPriority priority, LONG currentMapPriority);

// The map counts whole hours, 8 to a day; model to map rounds up.
float DaysFromHours(double hours);
double HoursFromDays(float days);

// Unit codes of the map: 1 hours, 2 days, 3 weeks.
QMXDurationUnit UnitFromMap(LONG code);
LONG UnitToMap(QMXDurationUnit unit, float days);

// Colours: the map's fill is 0xAARRGGBB, the model's 0x00BBGGRR with
// kNoTaskColor for none. Nothing means "clear the fill".
std::optional<DWORD> FillFromColor(COLORREF color);
COLORREF ColorFromFill(std::optional<DWORD> fill);

// The `Color` attribute, "#rrggbb"; anything else gives kNoTaskColor.
COLORREF ColorFromAttribute(std::u16string_view text);
BSTR ColorToAttribute(COLORREF color);

}  // namespace qmx::mm
