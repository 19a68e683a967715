// The values of the task dialog's General page and the dependencies between
// its fields, apart from the widgets that show them: the page's controls
// report each edit here and show what comes back.
#pragma once

#include "app/dialogs/duration_text.h"
#include "automation/types.h"
#include "model/model_interfaces.h"

namespace qmx {

// The colour the default-colour check box gives when it is cleared: a light
// blue as 0x00BBGGRR.
inline constexpr COLORREF kUnsetDefaultColor = 0xFFE0C0;

struct GeneralValues {
    BSTR name;
    QMXPriority priority = prNone;
    DATE start = 0;  // whole days
    DATE end = 0;    // whole days
    float duration = 1;
    QMXDurationUnit unit = duDay;
    LONG percent = 0;
    bool milestone = false;
    COLORREF color = kNoTaskColor;
};

class GeneralPageEdits {
public:
    enum class Check { Ok, PercentOutOfRange, BadDuration, EndBeforeStart };

    GeneralPageEdits(const GeneralValues& loaded, bool summary, bool autocorrect, DurationUnitNames unitNames);

    const GeneralValues& Values() const { return values_; }
    const BSTR& DurationText() const { return durationText_; }
    // A summary task's dates and duration follow its children while the
    // tree corrects dates.
    bool DatesEditable() const { return !(summary_ && autocorrect_); }
    bool UsesDefaultColor() const { return values_.color == kNoTaskColor; }
    bool IsModified() const { return modified_; }
    bool StartChanged() const { return startChanged_; }
    bool EndChanged() const { return endChanged_; }
    bool DurationChanged() const { return durationChanged_; }

    void SetName(const BSTR& name);
    void SetPriority(QMXPriority priority);
    void SetPercent(LONG percent);
    void SetMilestone(bool milestone);
    // The picked day, its time of day dropped. With autocorrect on the
    // duration follows (never below 0) and its text is rewritten.
    void PickStart(DATE day);
    void PickEnd(DATE day);
    void EditDurationText(const BSTR& text);
    // The duration field lost the focus: with autocorrect on, a valid text
    // takes effect and the end moves to start + duration. True when the
    // end moved; an invalid text is left for Validate to refuse.
    bool LeaveDurationText();
    // Checked: the default colour; cleared: kUnsetDefaultColor.
    void SetDefaultColor(bool useDefault);
    // The colour the colour dialog opens with: 0 for the default colour.
    COLORREF ColorDialogPreset() const { return UsesDefaultColor() ? 0 : values_.color; }
    // A colour chosen in the colour dialog; false when it is the current one.
    bool TakeColor(COLORREF color);

    // Checks the page as leaving it or confirming the dialog does, and on
    // success takes a changed duration text into the duration and unit.
    Check Validate();

private:
    // The duration the text stands for: the kept value when the page wrote
    // the text itself, else the parsed text, which must also end the task
    // inside the calendar.
    std::optional<TypedDuration> TextDuration() const;
    void RewriteDurationText();
    void DurationFromDates();

    GeneralValues values_;
    bool summary_;
    bool autocorrect_;
    DurationUnitNames unitNames_;
    BSTR durationText_;
    // The text is the page's own rendering of values_.duration (not typed).
    bool textIsOwn_ = true;
    bool modified_ = false;
    bool startChanged_ = false;
    bool endChanged_ = false;
    bool durationChanged_ = false;
};

}  // namespace qmx
