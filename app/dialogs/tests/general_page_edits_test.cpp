#include "app/dialogs/general_page_edits.h"

#include <gtest/gtest.h>

#include "automation/date_time.h"

namespace qmx {
namespace {

const DurationUnitNames kEnglish = {u"hours", u"days", u"weeks"};

DATE Day(int year, int month, int day) { return *DateFromCivil(year, month, day); }

GeneralValues FiveDayTask()
{
    GeneralValues v;
    v.name = u"Build";
    v.start = Day(2024, 3, 4);
    v.end = Day(2024, 3, 9);
    v.duration = 5;
    return v;
}

TEST(GeneralPageEdits, PickedDatesRecomputeTheDurationWithAutocorrect)
{
    GeneralPageEdits page(FiveDayTask(), false, true, kEnglish);
    page.PickStart(Day(2024, 3, 6) + 0.75);  // the time of day is dropped
    EXPECT_EQ(page.Values().start, Day(2024, 3, 6));
    EXPECT_FLOAT_EQ(page.Values().duration, 3.0f);
    EXPECT_EQ(page.DurationText(), u"3 days");
    EXPECT_TRUE(page.StartChanged());
    EXPECT_TRUE(page.DurationChanged());
    EXPECT_FALSE(page.EndChanged());

    // An end before the start gives duration 0 and is refused on confirming.
    page.PickEnd(Day(2024, 3, 1));
    EXPECT_FLOAT_EQ(page.Values().duration, 0.0f);
    EXPECT_EQ(page.DurationText(), u"0 days");
    EXPECT_EQ(page.Validate(), GeneralPageEdits::Check::EndBeforeStart);
    page.PickEnd(Day(2024, 3, 6));
    EXPECT_EQ(page.Validate(), GeneralPageEdits::Check::Ok);
}

TEST(GeneralPageEdits, WithoutAutocorrectDatesAndDurationAreIndependent)
{
    GeneralPageEdits page(FiveDayTask(), false, false, kEnglish);
    page.PickStart(Day(2024, 3, 6));
    EXPECT_FLOAT_EQ(page.Values().duration, 5.0f);
    EXPECT_FALSE(page.DurationChanged());
    page.EditDurationText(u"2");
    EXPECT_FALSE(page.LeaveDurationText());
    EXPECT_EQ(page.Values().end, Day(2024, 3, 9));
    EXPECT_EQ(page.Validate(), GeneralPageEdits::Check::Ok);
    EXPECT_FLOAT_EQ(page.Values().duration, 2.0f);
}

TEST(GeneralPageEdits, ATypedDurationMovesTheEndWhenTheFieldIsLeft)
{
    GeneralPageEdits page(FiveDayTask(), false, true, kEnglish);
    page.EditDurationText(u"16h");
    EXPECT_TRUE(page.DurationChanged());
    EXPECT_TRUE(page.IsModified());
    EXPECT_TRUE(page.LeaveDurationText());
    EXPECT_FLOAT_EQ(page.Values().duration, 2.0f);
    EXPECT_EQ(page.Values().unit, duHour);
    EXPECT_EQ(page.Values().end, Day(2024, 3, 6));
    EXPECT_TRUE(page.EndChanged());
    EXPECT_EQ(FormatDuration(page.Values().duration, page.Values().unit, kEnglish), u"16 hours");

    // An invalid text is ignored on leaving and refused on confirming.
    page.EditDurationText(u"soon");
    EXPECT_FALSE(page.LeaveDurationText());
    EXPECT_EQ(page.Values().end, Day(2024, 3, 6));
    EXPECT_EQ(page.Validate(), GeneralPageEdits::Check::BadDuration);
}

TEST(GeneralPageEdits, ADurationEndingPastTheCalendarIsInvalid)
{
    GeneralValues v = FiveDayTask();
    v.start = Day(9999, 12, 1);
    v.end = Day(9999, 12, 6);
    GeneralPageEdits page(v, false, true, kEnglish);
    page.EditDurationText(u"31");
    EXPECT_FALSE(page.LeaveDurationText());
    EXPECT_EQ(page.Validate(), GeneralPageEdits::Check::BadDuration);
    page.EditDurationText(u"30");
    EXPECT_EQ(page.Validate(), GeneralPageEdits::Check::Ok);
}

TEST(GeneralPageEdits, ARewrittenTextKeepsTheExactDuration)
{
    GeneralValues v = FiveDayTask();
    v.unit = duHour;
    v.start = Day(100, 1, 1);
    v.end = Day(3000, 1, 1);
    GeneralPageEdits page(v, false, true, kEnglish);
    page.PickStart(Day(101, 1, 1));
    const float exact = static_cast<float>(Day(3000, 1, 1) - Day(101, 1, 1));
    ASSERT_EQ(page.Validate(), GeneralPageEdits::Check::Ok);
    // The text shows six digits only, but confirming keeps the days.
    EXPECT_EQ(page.Values().duration, exact);
}

TEST(GeneralPageEdits, SummaryDatesAreLockedOnlyWithAutocorrect)
{
    EXPECT_FALSE(GeneralPageEdits(FiveDayTask(), true, true, kEnglish).DatesEditable());
    EXPECT_TRUE(GeneralPageEdits(FiveDayTask(), true, false, kEnglish).DatesEditable());
    EXPECT_TRUE(GeneralPageEdits(FiveDayTask(), false, true, kEnglish).DatesEditable());
}

TEST(GeneralPageEdits, DefaultColourBoxAndColourDialog)
{
    GeneralPageEdits page(FiveDayTask(), false, true, kEnglish);
    EXPECT_TRUE(page.UsesDefaultColor());
    EXPECT_EQ(page.ColorDialogPreset(), 0u);
    EXPECT_FALSE(page.IsModified());
    page.SetDefaultColor(false);
    EXPECT_EQ(page.Values().color, 0xFFE0C0u);
    EXPECT_EQ(page.ColorDialogPreset(), 0xFFE0C0u);
    EXPECT_TRUE(page.IsModified());
    EXPECT_FALSE(page.TakeColor(0xFFE0C0));
    EXPECT_TRUE(page.TakeColor(RGB(255, 0, 0)));
    EXPECT_FALSE(page.UsesDefaultColor());
    page.SetDefaultColor(true);
    EXPECT_EQ(page.Values().color, kNoTaskColor);
    // Black chosen over the default colour is a colour of its own.
    EXPECT_TRUE(page.TakeColor(0));
    EXPECT_EQ(page.Values().color, 0u);
}

TEST(GeneralPageEdits, PercentOutsideTheRangeIsRefused)
{
    GeneralPageEdits page(FiveDayTask(), false, true, kEnglish);
    for (LONG percent : {-1, 101}) {
        page.SetPercent(percent);
        EXPECT_EQ(page.Validate(), GeneralPageEdits::Check::PercentOutOfRange);
    }
    page.SetPercent(100);
    EXPECT_EQ(page.Validate(), GeneralPageEdits::Check::Ok);
}

}  // namespace
}  // namespace qmx
