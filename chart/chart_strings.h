// The chart control library's string table: the words of the timeline's
// labels and the captions of the composite control, by resource ID.
#pragma once

#include <QString>

#include "automation/types.h"

namespace qmx {

// Timeline label words.
inline constexpr int IDS_TIMELINE_WEEK = 101;            // "Week"
inline constexpr int IDS_TIMELINE_FIRST_DAY = 102;       // 102..108: "Mon".."Sun"
inline constexpr int IDS_TIMELINE_FIRST_SHORT_DAY = 109; // 109..115: "M".."S"
inline constexpr int IDS_TIMELINE_FIRST_MONTH = 116;     // 116..127: "Jan".."Dec"
inline constexpr int IDS_TIMELINE_FIRST_SHORT_MONTH = 128; // 128..139: "J".."D"
// Composite control captions.
inline constexpr int IDS_TAB_TASKS = 140;          // "Tasks"
inline constexpr int IDS_TAB_RESOURCES = 141;      // "Resources"
inline constexpr int IDS_RESOURCE_COLUMN_ID = 142; // "ID"
inline constexpr int IDS_RESOURCE_COLUMN_NAME = 143; // "Name"

// The text of a string resource; empty for an ID the table does not hold.
QString LoadChartString(int id);

// A date as the chart writes it (project range, drag tooltip): its date part
// in the user's default locale, short form.
QString LocaleDateText(DATE date);

}  // namespace qmx
