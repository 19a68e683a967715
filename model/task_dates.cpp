// The date setters of CTask: StartDate, EndDate, Duration and
// SetStartEndDate, with the corrections they start while autocorrect is on.
#include <algorithm>

#include "automation/date_time.h"
#include "model/date_correction.h"
#include "model/task.h"
#include "model/task_tree.h"

namespace qmx {

HRESULT CTask::put_StartDate(DATE StartDate)
{
    if (!IsMember()) return E_FAIL;
    if (!IsCalendarDate(StartDate)) return E_INVALIDARG;
    const bool autocorrect = Tree()->Autocorrect();
    if (autocorrect && HasChildren()) return S_FALSE;
    if (StartDate == start_) return S_OK;
    DATE d = StartDate;
    if (autocorrect) d = std::max(d, Earliest(this).start);
    if (!IsCalendarDate(d)) return E_INVALIDARG;

    const DATE oldStart = start_;
    const DATE oldEnd = end_;
    const bool endMoves = d > end_;
    StoreDates(d, endMoves ? d : end_);
    Notify(tcStartDate, false);
    if (endMoves) Notify(tcEndDate, true);
    if (autocorrect) {
        duration_ = static_cast<float>(end_ - start_);
        Notify(tcDuration, true);
        CorrectAfterDateChange(oldStart, oldEnd);
    }
    return S_OK;
}

HRESULT CTask::put_EndDate(DATE EndDate)
{
    if (!IsMember()) return E_FAIL;
    if (!IsCalendarDate(EndDate)) return E_INVALIDARG;
    const bool autocorrect = Tree()->Autocorrect();
    if (autocorrect && HasChildren()) return S_FALSE;
    if (EndDate == end_) return S_OK;
    DATE d = EndDate;
    if (autocorrect) {
        // An end before the start drags the start along, so it may not go
        // before the start's bound either: the task then ends where it may
        // start at the earliest.
        const EarliestDates bounds = Earliest(this);
        d = std::max(d, bounds.end);
        if (d < start_) d = std::max(d, bounds.start);
    }
    if (!IsCalendarDate(d)) return E_INVALIDARG;

    const DATE oldStart = start_;
    const DATE oldEnd = end_;
    const bool startMoves = d < start_;
    StoreDates(startMoves ? d : start_, d);
    Notify(tcEndDate, false);
    if (startMoves) Notify(tcStartDate, true);
    if (autocorrect) {
        duration_ = static_cast<float>(end_ - start_);
        Notify(tcDuration, true);
        CorrectAfterDateChange(oldStart, oldEnd);
    }
    return S_OK;
}

HRESULT CTask::put_Duration(float Duration)
{
    if (!IsMember()) return E_FAIL;
    // A duration that would end the task past the calendar is out of range
    // like a negative one.
    if (!IsCalendarDate(start_ + static_cast<DATE>(Duration))) return E_INVALIDARG;
    const bool autocorrect = Tree()->Autocorrect();
    if (autocorrect && HasChildren()) return S_FALSE;
    if (Duration < 0) return E_INVALIDARG;
    if (Duration == duration_ || !autocorrect) return S_OK;
    const DATE e = std::max(start_ + static_cast<DATE>(Duration), Earliest(this).end);
    if (!IsCalendarDate(e)) return E_INVALIDARG;
    if (static_cast<float>(e - start_) == duration_) return S_FALSE;

    duration_ = static_cast<float>(e - start_);
    const DATE oldEnd = end_;
    StoreDates(start_, e);
    Notify(tcEndDate | tcDuration, true);
    CorrectAfterDateChange(start_, oldEnd);
    return S_OK;
}

HRESULT CTask::SetStartEndDate(DATE NewStartDate)
{
    if (!IsMember()) return E_FAIL;
    if (!IsCalendarDate(NewStartDate)) return E_INVALIDARG;
    bool moved = false;
    DATE oldStart = start_;
    const HRESULT hr = MoveKeepingSpan(NewStartDate, &moved, &oldStart);
    if (moved && Tree()->Autocorrect()) DateCorrection().AfterMove(this, oldStart);
    return hr;
}

HRESULT CTask::MoveKeepingSpan(DATE newStart, bool* moved, DATE* oldStart)
{
    *moved = false;
    if (newStart == start_) return S_OK;
    const bool autocorrect = Tree()->Autocorrect();
    if (autocorrect && HasChildren()) return S_FALSE;
    const DATE span = end_ - start_;
    DATE d = newStart;
    DATE e = d + span;
    if (autocorrect) {
        const EarliestDates bounds = Earliest(this);
        d = std::max(d, bounds.start);
        e = std::max(e, bounds.end);
    }
    if (d + span < e) d = e - span;
    else e = d + span;
    if (d == start_) return S_OK;
    // A move (asked for, or a push by a link) that would carry the task past
    // the calendar is refused: the model keeps every date it can write.
    if (!IsCalendarDate(d) || !IsCalendarDate(e)) return E_INVALIDARG;

    *oldStart = start_;
    StoreDates(d, e);
    Notify(tcStartDate | tcEndDate, true);
    *moved = true;
    return S_OK;
}

void CTask::CorrectAfterDateChange(DATE oldStart, DATE oldEnd)
{
    // The parent first, then the successors bound by each date that moved
    // later: a start put past the end drags the end along, and the links
    // from the end must follow it as well. The tests are made after the
    // first step, as the step may run long.
    DateCorrection correction;
    if (parent_) correction.UpdateSummaryDates(parent_, true);
    const bool startLater = start_ > oldStart;
    const bool endLater = end_ > oldEnd;
    if (startLater || endLater) correction.PropagateToSuccessors(this, startLater, endLater);
}

}  // namespace qmx
