#include "chart/time_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "automation/date_time.h"
#include "chart/chart_strings.h"

namespace qmx {

namespace {

constexpr LONG kLongMax = std::numeric_limits<LONG>::max();
constexpr LONG kLongMin = std::numeric_limits<LONG>::min();

LONG SaturateToLong(std::int64_t value)
{
    return static_cast<LONG>(std::clamp<std::int64_t>(value, kLongMin, kLongMax));
}

// The first and last whole days of the calendar.
const DATE kFirstDay = DatePart(kMinDate);
const DATE kLastDay = DatePart(kMaxDate);

bool InCalendar(DATE date)
{
    if (!std::isfinite(date)) return false;
    const DATE day = DatePart(date);
    return day >= kFirstDay && day <= kLastDay;
}

// Months counted as year x 12 + (month - 1).
std::int64_t MonthIndex(const CivilDate& date) { return std::int64_t(date.year) * 12 + (date.month - 1); }
int YearOfMonthIndex(std::int64_t index) { return static_cast<int>(index / 12); }
int MonthOfMonthIndex(std::int64_t index) { return static_cast<int>(index % 12) + 1; }

constexpr std::int64_t kFirstMonthIndex = std::int64_t(kMinYear) * 12;
// January of the year after the calendar's last: its first day is the end of
// a view that reaches 31 December 9999.
constexpr std::int64_t kEndMonthIndex = std::int64_t(kMaxYear + 1) * 12;

// The first day of a month, for months from January 100 up to and including
// January 10000.
std::optional<DATE> MonthStart(std::int64_t index)
{
    if (index < kFirstMonthIndex || index > kEndMonthIndex) return std::nullopt;
    if (index == kEndMonthIndex) return kLastDay + 1;
    return DateFromCivil(YearOfMonthIndex(index), MonthOfMonthIndex(index), 1);
}

// Cuts a label to its capacity without splitting a surrogate pair.
QString CutLabel(QString text, int capacity)
{
    if (text.size() <= capacity) return text;
    qsizetype keep = capacity;
    if (text.at(keep - 1).isHighSurrogate()) --keep;
    text.truncate(keep);
    return text;
}

QString Number(std::int64_t value) { return QString::number(value); }

}  // namespace

LONG RoundPixel(double value)
{
    if (std::isnan(value)) return 0;
    const double rounded = std::trunc(value + 0.5);
    if (rounded >= double(kLongMax)) return kLongMax;
    if (rounded <= double(kLongMin)) return kLongMin;
    return static_cast<LONG>(rounded);
}

bool IsValidPeriodType(LONG value) { return value >= ptWeek && value <= ptYear; }

std::optional<ViewRange> ComputeViewRange(const TimeScale& scale, DATE startDate)
{
    if (!IsValidPeriodType(scale.periodType) || scale.periodCount < 1 || !InCalendar(startDate)) return std::nullopt;
    const DATE day = DatePart(startDate);
    const CivilDate civil = CivilFromDate(day);
    const std::int64_t count = scale.periodCount;

    ViewRange view;
    std::int64_t units = 0;
    switch (scale.periodType) {
    case ptWeek:
        units = 7 * count;
        view.viewStart = day;
        view.viewEnd = day + double(units) - 1;
        view.subperiodType = stDay;
        view.firstPeriodStart = WeekStart(day);
        view.firstSubperiodStart = day;
        break;
    case ptMonth: {
        // From the start day up to the same day of month `count` months
        // later, exclusive, that day clamped to its month's length.
        const std::int64_t target = MonthIndex(civil) + count;
        const std::optional<DATE> targetStart = MonthStart(target);
        if (!targetStart) return std::nullopt;
        const int tail = std::min(civil.day - 1, DaysInMonth(YearOfMonthIndex(target), MonthOfMonthIndex(target)));
        units = static_cast<std::int64_t>(*targetStart - day) + tail;
        view.viewStart = day;
        view.viewEnd = day + double(units) - 1;
        view.firstPeriodStart = day - (civil.day - 1);
        if (count == 1) {
            view.subperiodType = stDay;
            view.firstSubperiodStart = day;
        } else {
            view.subperiodType = stWeek;
            view.firstSubperiodStart = WeekStart(day);
        }
        break;
    }
    case ptYear: {
        const std::optional<DATE> end = MonthStart(MonthIndex(civil) + 12 * count);
        if (!end) return std::nullopt;
        units = 12 * count;
        view.viewStart = day - (civil.day - 1);
        view.viewEnd = *end - 1;
        view.subperiodType = stMonth;
        view.firstPeriodStart = *DateFromCivil(civil.year, 1, 1);
        view.firstSubperiodStart = view.viewStart;
        break;
    }
    }
    if (view.viewEnd > kLastDay) return std::nullopt;

    view.unitCount = static_cast<LONG>(units);
    switch (view.subperiodType) {
    case stDay:
    case stMonth:
        view.subperiodCount = view.unitCount;
        break;
    case stWeek: {
        const auto covered = units + static_cast<std::int64_t>(view.viewStart - view.firstSubperiodStart);
        view.subperiodCount = static_cast<LONG>((covered + 6) / 7);
        break;
    }
    }
    return view;
}

LONG DateToX(DATE date, const ViewRange& view, LONG left, LONG width)
{
    const double days = view.viewEnd - view.viewStart + 1;
    return SaturateToLong(std::int64_t(left) + RoundPixel(double(width) * (date - view.viewStart) / days));
}

TimelineWords TimelineWords::Load()
{
    TimelineWords words;
    words.week = LoadChartString(IDS_TIMELINE_WEEK);
    for (int i = 0; i < 7; ++i) {
        words.longDays[i] = LoadChartString(IDS_TIMELINE_FIRST_DAY + i);
        words.shortDays[i] = LoadChartString(IDS_TIMELINE_FIRST_SHORT_DAY + i);
    }
    for (int i = 0; i < 12; ++i) {
        words.longMonths[i] = LoadChartString(IDS_TIMELINE_FIRST_MONTH + i);
        words.shortMonths[i] = LoadChartString(IDS_TIMELINE_FIRST_SHORT_MONTH + i);
    }
    return words;
}

namespace {

// Whether a list keeps its cells: a short list always; a long one only
// while no two of its cells start at the same pixel, as `count` cells whose
// positions xAt(k) never decrease must span at least `count` pixels. The
// test costs no more than the cells it keeps.
template <class XAt>
bool KeepsCells(std::size_t count, const XAt& xAt)
{
    if (count <= kCellListWholeLimit) return true;
    const std::int64_t span = std::int64_t(xAt(count - 1)) - xAt(0) + 1;
    if (std::int64_t(count) > span) return false;
    for (std::size_t k = 1; k < count; ++k)
        if (xAt(k) == xAt(k - 1)) return false;
    return true;
}

// The indices of the cells a list holds: all of them, or only the end
// marker of a list too dense to show.
template <class XAt>
std::vector<std::size_t> KeptCells(std::size_t count, const XAt& xAt)
{
    if (!KeepsCells(count, xAt)) return {count - 1};
    std::vector<std::size_t> kept(count);
    for (std::size_t k = 0; k < count; ++k) kept[k] = k;
    return kept;
}

// The first day of month `index` counted from January of year 0; the end
// of the calendar for January 10000 (the end marker of a view reaching 31
// December 9999).
DATE FirstOfMonth(std::int64_t index) { return MonthStart(index).value_or(kLastDay + 1); }

}  // namespace

std::vector<PeriodCell> MakePeriodCells(const TimeScale& scale, const ViewRange& view, LONG width,
                                        const TimelineWords& words)
{
    const double w = width;
    const double n = view.unitCount;
    const bool startsBeforeView = view.firstPeriodStart < view.viewStart;
    const std::size_t count = std::size_t(scale.periodCount) + 1 + (startsBeforeView ? 1 : 0);
    const std::int64_t firstMonth = MonthIndex(CivilFromDate(view.firstPeriodStart));
    const int firstYear = CivilFromDate(view.firstPeriodStart).year;
    const int startMonth = CivilFromDate(view.viewStart).month;

    // Where period k starts: a Monday, a month's first day, or (years,
    // counted in months) nothing.
    auto periodStart = [&](std::size_t k) {
        return scale.periodType == ptWeek ? view.firstPeriodStart + 7.0 * double(k)
                                          : FirstOfMonth(firstMonth + std::int64_t(k));
    };
    auto xAt = [&](std::size_t k) {
        if (scale.periodType == ptYear) return RoundPixel(w * (1.0 - startMonth + 12.0 * double(k)) / n);
        return RoundPixel(w * (periodStart(k) - view.viewStart) / n);
    };

    const std::vector<std::size_t> kept = KeptCells(count, xAt);
    std::vector<PeriodCell> cells(kept.size());
    const unsigned firstWeek = static_cast<unsigned>(WeekNumber(view.firstPeriodStart));
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const std::size_t k = kept[i];
        PeriodCell& cell = cells[i];
        cell.x = xAt(k);
        switch (scale.periodType) {
        case ptWeek: {
            // Each week's number is the previous one's mod 52, plus one.
            const unsigned week = k == 0 ? firstWeek : unsigned((std::uint64_t(firstWeek) - 1 + k) % 52 + 1);
            const CivilDate civil = CivilFromDate(periodStart(k));
            cell.week = week;
            cell.month = civil.month;
            cell.year = civil.year;
            cell.label = words.week + u' ' + Number(week) + QStringLiteral(" - ") + words.longMonths[civil.month - 1] +
                         u' ' + Number(civil.year);
            break;
        }
        case ptMonth: {
            const std::int64_t index = firstMonth + std::int64_t(k);
            cell.month = MonthOfMonthIndex(index);
            cell.year = YearOfMonthIndex(index);
            cell.label = words.longMonths[cell.month - 1] + u' ' + Number(cell.year);
            break;
        }
        case ptYear:
            cell.month = 1;
            cell.year = firstYear + static_cast<int>(k);
            cell.label = Number(cell.year);
            break;
        }
        cell.label = CutLabel(std::move(cell.label), kPeriodLabelCapacity);
    }
    cells.back().label.clear();
    return cells;
}

std::vector<SubperiodCell> MakeSubperiodCells(const ViewRange& view, LONG width)
{
    const double w = width;
    const double n = view.unitCount;
    const double days = view.viewEnd - view.viewStart + 1;
    const std::size_t count = std::size_t(view.subperiodCount) + 1;
    const std::int64_t firstMonth = MonthIndex(CivilFromDate(view.viewStart));

    auto xAt = [&](std::size_t k) {
        switch (view.subperiodType) {
        case stDay:
            return RoundPixel(w * double(k) / n);
        case stWeek:
            return RoundPixel(w * (view.firstSubperiodStart + 7.0 * double(k) - view.viewStart) / n);
        case stMonth:
            break;
        }
        return RoundPixel(w / days * (FirstOfMonth(firstMonth + std::int64_t(k)) - view.viewStart));
    };

    const std::vector<std::size_t> kept = KeptCells(count, xAt);
    std::vector<SubperiodCell> cells(kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const std::size_t k = kept[i];
        SubperiodCell& cell = cells[i];
        cell.x = xAt(k);
        switch (view.subperiodType) {
        case stDay: {
            const DATE day = view.firstSubperiodStart + double(k);
            cell.dayOfWeek = DayOfWeek(day);
            cell.dayOfMonth = CivilFromDate(day).day;
            break;
        }
        case stWeek:
            cell.dayOfMonth = CivilFromDate(view.firstSubperiodStart + 7.0 * double(k)).day;
            break;
        case stMonth:
            cell.month = MonthOfMonthIndex(firstMonth + std::int64_t(k));
            break;
        }
    }
    return cells;
}

bool HasShortLabelForm(const TimeScale& scale, QMXTimelineSubperiodType subperiodType)
{
    return (subperiodType == stDay && scale.periodType == ptWeek) || subperiodType == stMonth;
}

void LabelSubperiodCells(const TimeScale& scale, QMXTimelineSubperiodType subperiodType, const TimelineWords& words,
                         bool shortForm, std::vector<SubperiodCell>& cells)
{
    if (cells.empty()) return;
    const QString* dayNames = shortForm ? words.shortDays : words.longDays;
    const QString* monthNames = shortForm ? words.shortMonths : words.longMonths;
    for (std::size_t i = 0; i + 1 < cells.size(); ++i) {
        SubperiodCell& cell = cells[i];
        QString label;
        switch (subperiodType) {
        case stDay:
            label = scale.periodType == ptWeek ? dayNames[cell.dayOfWeek - 1] + u' ' + Number(cell.dayOfMonth)
                                               : Number(cell.dayOfMonth);
            break;
        case stWeek:
            label = Number(cell.dayOfMonth);
            break;
        case stMonth:
            label = monthNames[cell.month - 1];
            break;
        }
        cell.label = CutLabel(std::move(label), kSubperiodLabelCapacity);
    }
    cells.back().label.clear();
}

bool LongLabelsFit(const std::vector<SubperiodCell>& longLabelled, const TextWidthFunction& measure)
{
    for (std::size_t i = 0; i + 1 < longLabelled.size(); ++i) {
        const std::int64_t cellWidth = std::int64_t(longLabelled[i + 1].x) - longLabelled[i].x;
        if (cellWidth - 3 < measure(longLabelled[i].label)) return false;
    }
    return true;
}

bool LabelFormMayChange(bool shortLabels, LONG newWidth, LONG previousWidth)
{
    const bool keep = shortLabels ? newWidth <= previousWidth : newWidth >= previousWidth;
    return !keep;
}

void LayoutTimeline(const TimeScale& scale, const ViewRange& view, LONG width, const TimelineWords& words,
                    LabelMode mode, LONG previousWidth, const TextWidthFunction& measure, TimelineCells& cells)
{
    cells.periods = MakePeriodCells(scale, view, width, words);
    cells.subperiods = MakeSubperiodCells(view, width);

    bool shortForm = false;
    if (HasShortLabelForm(scale, view.subperiodType)) {
        if (mode == LabelMode::Decide || LabelFormMayChange(cells.shortLabels, width, previousWidth)) {
            LabelSubperiodCells(scale, view.subperiodType, words, false, cells.subperiods);
            // Cells left out were narrower than a pixel: no long label fits.
            const bool leftOut = cells.subperiods.size() < std::size_t(view.subperiodCount) + 1;
            shortForm = leftOut || !LongLabelsFit(cells.subperiods, measure);
            if (shortForm) LabelSubperiodCells(scale, view.subperiodType, words, true, cells.subperiods);
            cells.shortLabels = shortForm;
            return;
        }
        shortForm = cells.shortLabels;
    }
    LabelSubperiodCells(scale, view.subperiodType, words, shortForm, cells.subperiods);
    cells.shortLabels = shortForm;
}

std::optional<DATE> StartMovedByPeriods(const TimeScale& scale, DATE startDate, LONG n)
{
    if (!InCalendar(startDate) || !IsValidPeriodType(scale.periodType)) return std::nullopt;
    const DATE day = DatePart(startDate);
    if (scale.periodType == ptWeek) {
        const DATE moved = day + 7.0 * n;
        return InCalendar(moved) ? std::optional<DATE>(moved) : std::nullopt;
    }
    const std::int64_t months = scale.periodType == ptMonth ? std::int64_t(n) : 12 * std::int64_t(n);
    // Beyond this no move stays in the calendar, and AddMonths takes an int.
    if (months < -kEndMonthIndex || months > kEndMonthIndex) return std::nullopt;
    return DateFromCivil(AddMonths(CivilFromDate(day), static_cast<int>(months)));
}

std::optional<DATE> StartMovedBySubperiods(const ViewRange& view, LONG n)
{
    DATE moved = view.viewStart;
    switch (view.subperiodType) {
    case stDay:
        moved = view.viewStart + n;
        break;
    case stWeek:
        if (n == 0) break;
        if (DayOfWeek(view.viewStart) == 1) {
            moved = view.viewStart + 7.0 * n;
        } else {
            // One step back first reaches the start of the current week.
            const DATE monday = WeekStart(view.viewStart);
            moved = n > 0 ? monday + 7.0 * n : monday + 7.0 * (double(n) + 1);
        }
        break;
    case stMonth: {
        const std::int64_t months = n;
        if (months < -kEndMonthIndex || months > kEndMonthIndex) return std::nullopt;
        CivilDate first = CivilFromDate(view.viewStart);
        first.day = 1;
        return DateFromCivil(AddMonths(first, static_cast<int>(months)));
    }
    }
    return InCalendar(moved) ? std::optional<DATE>(moved) : std::nullopt;
}

namespace {

constexpr TimeScale kZoomLadder[] = {
    {ptWeek, 1}, {ptWeek, 2}, {ptMonth, 1}, {ptMonth, 2}, {ptMonth, 3}, {ptMonth, 4}, {ptMonth, 6},
};
constexpr LONG kLastRung = 6;

}  // namespace

TimeScale ScaleForZoomLevel(LONG level)
{
    if (level <= 0) return kZoomLadder[0];
    if (level <= kLastRung) return kZoomLadder[level];
    return {ptYear, level - kLastRung};
}

LONG ZoomedOutLevel(LONG level) { return level < kLongMax ? level + 1 : level; }

LONG ZoomedInLevel(LONG level) { return level > 0 ? level - 1 : 0; }

std::optional<ZoomChoice> ZoomLevelForScale(QMXTimelinePeriodType periodType, LONG count)
{
    if (!IsValidPeriodType(periodType) || count < 1) return std::nullopt;
    LONG level = 0;
    while (level <= kLastRung) {
        const TimeScale& rung = kZoomLadder[level];
        const bool smallerKind = rung.periodType < periodType;
        const bool smallerCount = rung.periodType == periodType && rung.periodCount < count;
        if (!smallerKind && !smallerCount) return ZoomChoice{level, rung};
        ++level;
    }
    return ZoomChoice{SaturateToLong(std::int64_t(kLastRung) + count), {periodType, count}};
}

std::optional<TimeScale> ScaleForRange(DATE rangeStart, DATE rangeEnd)
{
    if (!(rangeEnd > rangeStart)) return std::nullopt;
    const CivilDate s = CivilFromDate(rangeStart);
    const CivilDate e = CivilFromDate(rangeEnd);
    int years = e.year - s.year;
    int months = e.month - s.month;
    int days = e.day - s.day;
    if (days < 0) {
        days += DaysInMonth(s.year, s.month);
        --months;
    }
    if (months < 0) {
        months += 12;
        --years;
    }
    if (years >= 1 || months > 6 || (months == 6 && days > 0))
        return TimeScale{ptYear, years + ((months > 0 || days > 0) ? 1 : 0)};
    if (months >= 1) return TimeScale{ptMonth, months + (days > 0 ? 1 : 0)};
    if (days > 14) return TimeScale{ptMonth, 1};
    return TimeScale{ptWeek, (days + 6) / 7};
}

DATE CentredStartDate(DATE rangeStart, DATE rangeEnd, DATE viewStart, DATE viewEnd)
{
    return std::ceil(rangeStart - ((viewEnd - rangeEnd + 1) + (rangeStart - viewStart)) / 2);
}

std::optional<RangeFit> FitDateRange(DATE minDate, DATE maxDate)
{
    if (!InCalendar(minDate) || !InCalendar(maxDate)) return std::nullopt;
    RangeFit fit;
    fit.rangeStart = DatePart(minDate);
    // Whole-day values are consecutive, also before the epoch.
    fit.rangeEnd = TimeOfDay(maxDate) > 0 ? DatePart(maxDate) + 1 : DatePart(maxDate);
    const std::optional<TimeScale> scale = ScaleForRange(fit.rangeStart, fit.rangeEnd);
    if (!scale) return std::nullopt;
    const std::optional<ZoomChoice> zoom = ZoomLevelForScale(scale->periodType, scale->periodCount);
    if (!zoom) return std::nullopt;
    fit.zoom = *zoom;
    const std::optional<ViewRange> view = ComputeViewRange(zoom->scale, fit.rangeStart);
    if (!view) return std::nullopt;
    fit.centredStart = CentredStartDate(fit.rangeStart, fit.rangeEnd, view->viewStart, view->viewEnd);
    // At the calendar's edges the centred view may not exist; the range's
    // own start does.
    if (!ComputeViewRange(zoom->scale, fit.centredStart)) fit.centredStart = fit.rangeStart;

    // The smallest change that shows the whole range: move on the same
    // scale, else widen rung by rung, centring anew on each. A year view a
    // year longer than the range shows it from the range's start, so a few
    // rungs at most are tried; the walk also ends where the wider view would
    // leave the calendar.
    fit.shownZoom = fit.zoom;
    fit.shownStart = fit.centredStart;
    ZoomChoice rung = fit.zoom;
    DATE centred = fit.centredStart;
    for (int tries = 0; tries < 64; ++tries) {
        if (const std::optional<DATE> start = StartShowingRange(rung.scale, centred, fit.rangeStart, fit.rangeEnd)) {
            fit.shownZoom = rung;
            fit.shownStart = *start;
            break;
        }
        rung.level = ZoomedOutLevel(rung.level);
        rung.scale = ScaleForZoomLevel(rung.level);
        const std::optional<ViewRange> wider = ComputeViewRange(rung.scale, fit.rangeStart);
        if (!wider) break;
        centred = CentredStartDate(fit.rangeStart, fit.rangeEnd, wider->viewStart, wider->viewEnd);
    }
    return fit;
}

bool ViewShowsRange(const ViewRange& view, DATE rangeStart, DATE rangeEnd)
{
    return view.viewStart <= rangeStart && rangeEnd <= view.viewEnd + 1;
}

std::optional<DATE> StartShowingRange(const TimeScale& scale, DATE startDate, DATE rangeStart, DATE rangeEnd)
{
    const std::optional<ViewRange> view = ComputeViewRange(scale, startDate);
    if (!view) return std::nullopt;
    if (ViewShowsRange(*view, rangeStart, rangeEnd)) return startDate;
    if (view->viewStart > rangeStart) {
        // Every view begins on or before its start day, so S is the latest
        // start whose view begins in time; later days of S's month give a
        // year view the same one.
        const std::optional<ViewRange> atStart = ComputeViewRange(scale, rangeStart);
        if (atStart && ViewShowsRange(*atStart, rangeStart, rangeEnd)) return rangeStart;
        return std::nullopt;
    }
    // Ends too early: the views of later days end later; the first that
    // reaches E is the nearest, as long as it still begins by S (a year
    // view begins at most 30 days before its start day).
    for (DATE day = DatePart(startDate) + 1; day <= rangeStart + 31; ++day) {
        const std::optional<ViewRange> later = ComputeViewRange(scale, day);
        if (!later || later->viewStart > rangeStart) return std::nullopt;
        if (ViewShowsRange(*later, rangeStart, rangeEnd)) return day;
    }
    return std::nullopt;
}

namespace {

LONG ScrollUnit(DATE date) { return static_cast<LONG>(std::trunc(date)); }

// The view after moving the start by n periods, or the current view when the
// move would leave the calendar (the assignment fails and nothing changes).
ViewRange ProbeView(const TimeScale& scale, DATE startDate, const ViewRange& current, LONG n)
{
    const std::optional<DATE> moved = StartMovedByPeriods(scale, startDate, n);
    if (!moved) return current;
    const std::optional<ViewRange> view = ComputeViewRange(scale, *moved);
    return view ? *view : current;
}

}  // namespace

ScrollState ScrollForReset(const TimeScale& scale, DATE startDate)
{
    const std::optional<ViewRange> view = ComputeViewRange(scale, startDate);
    if (!view) return {};
    ScrollState state;
    state.minimum = ScrollUnit(ProbeView(scale, startDate, *view, -scale.periodCount).viewStart);
    state.maximum = ScrollUnit(ProbeView(scale, startDate, *view, scale.periodCount).viewEnd);
    state.page = ScrollUnit(view->viewEnd - view->viewStart + 1);
    state.position = ScrollUnit(view->viewStart);
    return state;
}

ScrollState ScrollAfterZoomOut(const ScrollState& current, const TimeScale& scale, DATE startDate)
{
    const std::optional<ViewRange> view = ComputeViewRange(scale, startDate);
    if (!view) return current;
    const ViewRange back = ProbeView(scale, startDate, *view, -1);
    const ViewRange forward = ProbeView(scale, startDate, *view, 1);
    // Each move of the probe, and each restore, passes through the start
    // change handler with the old page before the range is widened.
    ScrollState state = current;
    state = ScrollAfterStartChange(state, back.viewStart);
    state = ScrollAfterStartChange(state, view->viewStart);
    state = ScrollAfterStartChange(state, forward.viewStart);
    state = ScrollAfterStartChange(state, view->viewStart);
    state.minimum = std::min(state.minimum, ScrollUnit(back.viewStart));
    state.maximum = std::max(state.maximum, ScrollUnit(forward.viewEnd));
    state.page = ScrollUnit(view->viewEnd - view->viewStart + 1);
    return state;
}

ScrollState ScrollAfterZoomIn(const ScrollState& current, const ViewRange& view)
{
    ScrollState state = current;
    state.page = ScrollUnit(view.viewEnd - view.viewStart + 1);
    return state;
}

ScrollState ScrollAfterStartChange(const ScrollState& current, DATE viewStart)
{
    ScrollState state = current;
    const std::int64_t start = ScrollUnit(viewStart);
    if (start < state.minimum)
        state.minimum = static_cast<LONG>(start);
    else if (start > std::int64_t(state.maximum) - state.page + 1)
        state.maximum = SaturateToLong(start + state.page - 1);
    state.position = static_cast<LONG>(start);
    return state;
}

}  // namespace qmx
