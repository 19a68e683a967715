// The chart's time scale as pure functions: the visible date range, the
// period and subperiod cells of the timeline with their labels, moving the
// start, the zoom ladder, fitting a date range and the horizontal scroll
// arithmetic. The timeline pane lays itself out with these and the Gantt
// chart pane maps dates to pixels with the same view range, so both always
// agree.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QString>

#include "automation/types.h"
#include "chart/timeline_interfaces.h"

namespace qmx {

// Pixel rounding of the time scale: add one half, then truncate toward zero
// (so -2.7 gives -2). Saturates at the LONG range; NaN gives 0.
LONG RoundPixel(double value);

// The settable scale: kind of period and how many of them the view spans.
struct TimeScale {
    QMXTimelinePeriodType periodType = ptWeek;
    LONG periodCount = 1;
    friend constexpr bool operator==(const TimeScale&, const TimeScale&) = default;
};

bool IsValidPeriodType(LONG value);

// What a layout derives from the scale and the start date.
struct ViewRange {
    DATE viewStart = 0;  // first visible day (whole day)
    DATE viewEnd = 0;    // last visible day, inclusive (whole day)
    QMXTimelineSubperiodType subperiodType = stDay;
    LONG unitCount = 0;        // N: days for week and month periods, months for year periods
    LONG subperiodCount = 0;   // subperiod cells without the end marker
    DATE firstPeriodStart = 0;
    DATE firstSubperiodStart = 0;
};

// The view for a scale and a start date. Nothing for an invalid kind, a
// count below 1, a start date that is not finite, or a view that does not
// lie within the calendar (1 January 100 to 31 December 9999).
std::optional<ViewRange> ComputeViewRange(const TimeScale& scale, DATE startDate);

// The chart's date-to-pixel mapping:
// left + round(width x (date - viewStart) / (viewEnd - viewStart + 1)).
LONG DateToX(DATE date, const ViewRange& view, LONG left, LONG width);

// Label capacities, in UTF-16 units; longer texts are cut.
inline constexpr int kPeriodLabelCapacity = 31;
inline constexpr int kSubperiodLabelCapacity = 15;

struct PeriodCell {
    unsigned week = 0;  // week periods only
    int month = 0;      // 1..12
    int year = 0;
    LONG x = 0;         // pixels from the pane's left edge; negative when the period began before the view
    QString label;      // empty for the end marker
};

struct SubperiodCell {
    int dayOfWeek = 0;   // day subperiods: 1..7, Monday = 1
    int dayOfMonth = 0;  // day subperiods: that day; week subperiods: the day of its Monday
    int month = 0;       // month subperiods: 1..12
    LONG x = 0;
    QString label;       // empty for the end marker
};

// The words labels are made of (the library's strings 101 to 139).
struct TimelineWords {
    QString week;
    QString longDays[7];    // Monday first
    QString shortDays[7];
    QString longMonths[12]; // January first
    QString shortMonths[12];

    // Loads the words from the chart library's string table.
    static TimelineWords Load();
};

// One pair of cell lists, each ending with an end marker whose only
// meaningful member is x, and the label form in use.
struct TimelineCells {
    std::vector<PeriodCell> periods;
    std::vector<SubperiodCell> subperiods;
    bool shortLabels = false;
};

// Width in pixels of a subperiod label in the subperiod font.
using TextWidthFunction = std::function<int(const QString&)>;

// Whether the label form is decided anew (a full layout) or a layout caused
// by a resize may keep the current form.
enum class LabelMode {
    Decide,
    Resize,
};

// Whether a resize-mode layout must re-decide the label form: only when the
// outcome can change (short labels and a wider pane, long labels and a
// narrower one).
bool LabelFormMayChange(bool shortLabels, LONG newWidth, LONG previousWidth);

// Only day cells under week periods and month cells have a short form.
bool HasShortLabelForm(const TimeScale& scale, QMXTimelineSubperiodType subperiodType);

// Rebuilds both cell lists of `cells` for a pane `width` pixels wide. In
// LabelMode::Decide, or in LabelMode::Resize when LabelFormMayChange says so,
// the label form is decided by measuring the long labels; otherwise the form
// in `cells.shortLabels` is kept. `measure` is called at most once per cell.
void LayoutTimeline(const TimeScale& scale, const ViewRange& view, LONG width, const TimelineWords& words,
                    LabelMode mode, LONG previousWidth, const TextWidthFunction& measure,
                    TimelineCells& cells);

// A row shows its cells only while they are far enough apart to be told
// apart. A list of up to this many cells, end marker included, is kept
// whole; a longer one is kept only while no two of its cells start at the
// same pixel (every cell at least a pixel wide), and is otherwise cut to its
// end marker: the row shows no cells, as a layout with no cells does. A list
// therefore never holds more cells than the pane's pixels span, and a layout
// costs what the kept cells cost.
inline constexpr std::size_t kCellListWholeLimit = 512;

// The pieces of LayoutTimeline, for tests and for printing.
std::vector<PeriodCell> MakePeriodCells(const TimeScale& scale, const ViewRange& view, LONG width,
                                        const TimelineWords& words);
std::vector<SubperiodCell> MakeSubperiodCells(const ViewRange& view, LONG width);
// Writes the long or short labels into every cell but the end marker.
void LabelSubperiodCells(const TimeScale& scale, QMXTimelineSubperiodType subperiodType, const TimelineWords& words,
                         bool shortForm, std::vector<SubperiodCell>& cells);
// True when every long label fits its cell: cell width - 3 >= text width.
bool LongLabelsFit(const std::vector<SubperiodCell>& longLabelled, const TextWidthFunction& measure);

// Moving the start. Each gives the new StartDate, or nothing when it would
// leave the calendar.
// By whole periods: week: viewStart + 7n; month and year: the same day of
// month n months or years later, clamped to the target month's length.
std::optional<DATE> StartMovedByPeriods(const TimeScale& scale, DATE startDate, LONG n);
// By whole subperiods: day: viewStart + n; week: from a Monday + 7n, else
// from the Monday M before it M + 7n (n > 0) or M + 7(n + 1) (n < 0), and
// viewStart itself for n = 0; month: the first of the month n months on.
std::optional<DATE> StartMovedBySubperiods(const ViewRange& view, LONG n);

// The zoom ladder: level 0 is one week; levels 7 and above are years.
TimeScale ScaleForZoomLevel(LONG level);
// One level out (wider view) and in (narrower, never below 0).
LONG ZoomedOutLevel(LONG level);
LONG ZoomedInLevel(LONG level);

struct ZoomChoice {
    LONG level = 0;
    TimeScale scale;  // the scale to apply: the ladder's rung, or the request above the ladder
};
// The level for a requested kind and count: walks the ladder past every rung
// of a smaller kind and every rung of the requested kind with a smaller count;
// counts round up to the next rung. Above the six-month rung the level is
// 6 + count and the request is applied unchanged. Nothing for an invalid kind
// or a count below 1.
std::optional<ZoomChoice> ZoomLevelForScale(QMXTimelinePeriodType periodType, LONG count);

// Fitting a date range into the view (the chart pane's AdjustTimeRange).
struct RangeFit {
    ZoomChoice zoom;        // the scale the calendar difference asks for
    DATE rangeStart = 0;    // S: the minimum date rounded down to a whole day
    DATE rangeEnd = 0;      // E: the maximum date rounded up to a whole day
    DATE centredStart = 0;  // the StartDate that centres S..E in that scale's view
    // Where the fit ends: the centred view when it shows all of S..E; else
    // the start nearest to the centred one from which that scale's view
    // does; else the same search on the next wider rungs of the ladder. A
    // view that snaps to whole months (years) or whose length depends on
    // the months it crosses can otherwise cut the range's end off.
    ZoomChoice shownZoom;
    DATE shownStart = 0;
};
// Whether the view holds the whole of S..E, E being exclusive (the end of
// the last day): viewStart <= S and E <= viewEnd + 1.
bool ViewShowsRange(const ViewRange& view, DATE rangeStart, DATE rangeEnd);
// The StartDate nearest to `startDate` whose view of `scale` shows S..E:
// `startDate` itself when its view does; S when the view begins too late;
// the first later day whose view reaches E when it ends too early. Nothing
// when no view of the scale shows the range.
std::optional<DATE> StartShowingRange(const TimeScale& scale, DATE startDate, DATE rangeStart, DATE rangeEnd);
// The scale for S..E by the calendar difference between them; nothing unless
// E > S.
std::optional<TimeScale> ScaleForRange(DATE rangeStart, DATE rangeEnd);
// S - ((VE - E + 1) + (S - VS)) / 2, rounded up to a whole day.
DATE CentredStartDate(DATE rangeStart, DATE rangeEnd, DATE viewStart, DATE viewEnd);
// The whole fit; nothing when the maximum is not after the minimum (after
// rounding) or the dates lie outside the calendar. Near the calendar's ends,
// where no view shows the range, the fit stays at the centred view.
std::optional<RangeFit> FitDateRange(DATE minDate, DATE maxDate);

// The chart pane's horizontal scroll bar, in whole days.
struct ScrollState {
    LONG minimum = 0;
    LONG maximum = 0;
    LONG page = 0;
    LONG position = 0;
    friend constexpr bool operator==(const ScrollState&, const ScrollState&) = default;
};
// Reset: from PeriodCount periods before the view to PeriodCount periods
// after it; page = the view's length, position = viewStart. A probe that
// would leave the calendar stops at the current view.
ScrollState ScrollForReset(const TimeScale& scale, DATE startDate);
// After zoom out: widens the range to one period before and after the view
// and sets the page; the position is kept.
ScrollState ScrollAfterZoomOut(const ScrollState& current, const TimeScale& scale, DATE startDate);
// After zoom in: only the page changes.
ScrollState ScrollAfterZoomIn(const ScrollState& current, const ViewRange& view);
// After every start change: stretches the range to the new viewStart and
// moves the position there.
ScrollState ScrollAfterStartChange(const ScrollState& current, DATE viewStart);

}  // namespace qmx
