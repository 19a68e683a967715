#include "chart/drag_snapping.h"

#include <cmath>
#include <optional>

#include "automation/date_time.h"

namespace qmx {

namespace {

DATE NearestDay(DATE date) { return std::floor(date + 0.5); }

DATE NearestEighth(DATE date) { return std::floor(8.0 * date + 0.5) / 8.0; }

DATE NearestFirstOfMonth(DATE date)
{
    const CivilDate day = CivilFromDate(date);
    const std::optional<DATE> first = DateFromCivil(day.year, day.month, 1);
    const CivilDate nextMonth = AddMonths({day.year, day.month, 1}, 1);
    const std::optional<DATE> next = DateFromCivil(nextMonth);
    if (!first || !next) return NearestDay(date);
    return date - *first <= *next - date ? *first : *next;
}

}  // namespace

DATE SnapDraggedDate(DATE date, QMXTimelineSubperiodType subperiodType, bool fine)
{
    switch (subperiodType) {
    case stDay: return fine ? NearestEighth(date) : NearestDay(date);
    case stWeek: return NearestDay(date);
    case stMonth: return fine ? NearestDay(date) : NearestFirstOfMonth(date);
    }
    return NearestDay(date);
}

}  // namespace qmx
