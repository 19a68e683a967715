// Where a date dragged on the chart lands: snapped to the grain of the
// timeline's small unit, finer while Alt is held.
#pragma once

#include "automation/types.h"
#include "chart/timeline_interfaces.h"

namespace qmx {

// Day subperiods: the nearest whole day, or with `fine` the nearest eighth
// of a day (3 hours). Week subperiods: the nearest whole day either way.
// Month subperiods: with `fine` the nearest whole day, without the first of
// the date's month or of the next month, whichever is nearer (the date's own
// month on a tie). A date whose month lies outside the calendar snaps to the
// nearest whole day.
DATE SnapDraggedDate(DATE date, QMXTimelineSubperiodType subperiodType, bool fine);

}  // namespace qmx
