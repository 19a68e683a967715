#include "app/dialogs/general_page_edits.h"

#include <algorithm>
#include <utility>

#include "automation/date_time.h"

namespace qmx {

GeneralPageEdits::GeneralPageEdits(const GeneralValues& loaded, bool summary, bool autocorrect,
                                   DurationUnitNames unitNames)
    : values_(loaded), summary_(summary), autocorrect_(autocorrect), unitNames_(std::move(unitNames))
{
    values_.start = DatePart(values_.start);
    values_.end = DatePart(values_.end);
    RewriteDurationText();
}

void GeneralPageEdits::SetName(const BSTR& name)
{
    values_.name = name;
    modified_ = true;
}

void GeneralPageEdits::SetPriority(QMXPriority priority)
{
    values_.priority = priority;
    modified_ = true;
}

void GeneralPageEdits::SetPercent(LONG percent)
{
    values_.percent = percent;
    modified_ = true;
}

void GeneralPageEdits::SetMilestone(bool milestone)
{
    values_.milestone = milestone;
    modified_ = true;
}

void GeneralPageEdits::PickStart(DATE day)
{
    values_.start = DatePart(day);
    startChanged_ = true;
    modified_ = true;
    if (autocorrect_) DurationFromDates();
}

void GeneralPageEdits::PickEnd(DATE day)
{
    values_.end = DatePart(day);
    endChanged_ = true;
    modified_ = true;
    if (autocorrect_) DurationFromDates();
}

void GeneralPageEdits::DurationFromDates()
{
    values_.duration = static_cast<float>(std::max(0.0, values_.end - values_.start));
    durationChanged_ = true;
    RewriteDurationText();
}

void GeneralPageEdits::RewriteDurationText()
{
    durationText_ = FormatDuration(values_.duration, values_.unit, unitNames_);
    textIsOwn_ = true;
}

void GeneralPageEdits::EditDurationText(const BSTR& text)
{
    if (text == durationText_) return;
    durationText_ = text;
    textIsOwn_ = false;
    durationChanged_ = true;
    modified_ = true;
}

std::optional<TypedDuration> GeneralPageEdits::TextDuration() const
{
    if (textIsOwn_) return TypedDuration{values_.duration, values_.unit};
    const auto typed = ParseDuration(durationText_, unitNames_);
    // The model refuses a duration that would end the task past the
    // calendar; the page refuses it first, with its own message.
    if (!typed || !IsCalendarDate(values_.start + static_cast<DATE>(typed->days))) return std::nullopt;
    return typed;
}

bool GeneralPageEdits::LeaveDurationText()
{
    if (!autocorrect_ || textIsOwn_) return false;
    const auto typed = TextDuration();
    if (!typed) return false;
    values_.duration = typed->days;
    values_.unit = typed->unit;
    values_.end = values_.start + static_cast<DATE>(typed->days);
    endChanged_ = true;
    return true;
}

void GeneralPageEdits::SetDefaultColor(bool useDefault)
{
    values_.color = useDefault ? kNoTaskColor : kUnsetDefaultColor;
    modified_ = true;
}

bool GeneralPageEdits::TakeColor(COLORREF color)
{
    if (color == values_.color) return false;
    values_.color = color;
    modified_ = true;
    return true;
}

GeneralPageEdits::Check GeneralPageEdits::Validate()
{
    if (values_.percent < 0 || values_.percent > 100) return Check::PercentOutOfRange;
    if (durationChanged_) {
        const auto typed = TextDuration();
        if (!typed) return Check::BadDuration;
        values_.duration = typed->days;
        values_.unit = typed->unit;
    }
    if (values_.end < values_.start) return Check::EndBeforeStart;
    return Check::Ok;
}

}  // namespace qmx
