#include "app/dialogs/duration_text.h"

#include <gtest/gtest.h>

#include "automation/bstr.h"

namespace qmx {
namespace {

const DurationUnitNames kEnglish = {u"hours", u"days", u"weeks"};

TEST(DurationText, ParsesANumberAndTheUnitItsFirstLetterChooses)
{
    struct Row {
        const char16_t* text;
        float days;
        QMXDurationUnit unit;
    };
    const Row rows[] = {
        {u"16h", 2.0f, duHour},       {u"16 hours", 2.0f, duHour}, {u"16hx", 2.0f, duHour},
        {u"3x", 3.0f, duDay},         {u"3", 3.0f, duDay},         {u"  3  ", 3.0f, duDay},
        {u"1.5 d", 1.5f, duDay},      {u"2.5w", 12.5f, duWeek},    {u"+4", 4.0f, duDay},
        {u"0", 0.0f, duDay},          {u"1e1 h", 1.25f, duHour},   {u"16 H", 16.0f, duDay},  // exact case
        {u"1,5 h", 1.0f, duDay},      // the number ends at the comma, which chooses no unit
        {u"7\u00e9", 7.0f, duDay},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(BstrToUtf8(row.text));
        const auto parsed = ParseDuration(row.text, kEnglish);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_FLOAT_EQ(parsed->days, row.days);
        EXPECT_EQ(parsed->unit, row.unit);
    }
}

TEST(DurationText, RefusesTextsWithoutAUsableNumber)
{
    for (const char16_t* text : {u"", u"   ", u"h", u"abc", u"-1", u"-0.5 d", u"--3", u"+-3", u"inf", u"nan",
                                 u"infinity h", u"1e39", u"1e38 w", u".", u"e5"}) {
        SCOPED_TRACE(BstrToUtf8(text));
        EXPECT_FALSE(ParseDuration(text, kEnglish).has_value());
    }
}

TEST(DurationText, UnitsAreTriedInTheOrderHoursDaysWeeks)
{
    // Names of another language where two units share their first letter.
    const DurationUnitNames shared = {u"Tunti", u"Tag", u"Woche"};
    EXPECT_EQ(ParseDuration(u"8T", shared)->unit, duHour);
    EXPECT_EQ(ParseDuration(u"2W", shared)->unit, duWeek);
    // A unit name outside the basic plane is matched by its whole first character.
    const DurationUnitNames astral = {u"\U0001F552", u"days", u"weeks"};
    const auto parsed = ParseDuration(u"8\U0001F552", astral);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->unit, duHour);
    EXPECT_FLOAT_EQ(parsed->days, 1.0f);
}

TEST(DurationText, ShowsTheValueInTheUnitInTheShortestGeneralForm)
{
    struct Row {
        float days;
        QMXDurationUnit unit;
        const char16_t* text;
    };
    const Row rows[] = {
        {2.0f, duHour, u"16 hours"},     {3.0f, duDay, u"3 days"},         {3.0f, duWeek, u"0.6 weeks"},
        {0.0f, duDay, u"0 days"},        {0.375f, duHour, u"3 hours"},     {1.0f / 3.0f, duDay, u"0.333333 days"},
        {1234567.0f, duHour, u"9.87654e+06 hours"},
    };
    for (const Row& row : rows) EXPECT_EQ(FormatDuration(row.days, row.unit, kEnglish), row.text);
}

}  // namespace
}  // namespace qmx
