#include "chart/view_settings.h"

#include <gtest/gtest.h>

#include "automation/bstr.h"
#include "automation/date_time.h"

namespace qmx {
namespace {

DATE Day(int y, int m, int d) { return *DateFromCivil(y, m, d); }

std::string Format(const ViewSettings& s) { return BstrToUtf8(FormatViewSettings(s)); }

std::optional<ViewSettings> Parse(const char* text) { return ParseViewSettings(Utf8ToBstr(text)); }

TEST(ViewSettings, FormatsFieldsAndDateWithEighths)
{
    struct Row {
        DATE start;
        const char* expected;
    };
    const Row rows[] = {
        {Day(2005, 6, 13), "1,3,13/6/2005,-5,40,89,7"},
        {Day(2005, 6, 13) + 0.25, "1,3,13/6/2005.2,-5,40,89,7"},
        {Day(2005, 6, 13) + 21.0 / 24, "1,3,13/6/2005.7,-5,40,89,7"},
        // 23:00 rounds to eight eighths: written as the next day.
        {Day(2005, 6, 13) + 23.0 / 24, "1,3,14/6/2005,-5,40,89,7"},
        {Day(2004, 12, 31) + 0.99, "1,3,1/1/2005,-5,40,89,7"},
        // 00:20 rounds down to no eighths.
        {Day(2005, 1, 1) + 20.0 / 1440, "1,3,1/1/2005,-5,40,89,7"},
    };
    for (const Row& row : rows) {
        ViewSettings s{1, 3, row.start, {-5, 40, 89, 7}};
        EXPECT_EQ(Format(s), row.expected);
    }
}

TEST(ViewSettings, ReadsWellFormedStrings)
{
    struct Row {
        const char* text;
        ViewSettings expected;
    };
    const Row rows[] = {
        {"1,3,1/2/2005,38292,38564,89,38384", {1, 3, Day(2005, 2, 1), {38292, 38564, 89, 38384}}},
        // Mixed separators, eighths, blanks and tabs around integers, runs of
        // commas, and text after the seventh field.
        {",,2, 1 ,1-2.2005,\t-3\t,,0,00,+12,junk,x", {2, 1, Day(2005, 2, 1), {-3, 0, 0, 12}}},
        {"0,1,29.2.2004.7,1,2,3,4", {0, 1, Day(2004, 2, 29) + 7.0 / 8, {1, 2, 3, 4}}},
        {"0,1,01/02/0100-0,1,2,3,4", {0, 1, Day(100, 2, 1), {1, 2, 3, 4}}},
        {"0,1,31/12/9999,-2147483648,2147483647,3,4",
         {0, 1, Day(9999, 12, 31), {-2147483647 - 1, 2147483647, 3, 4}}},
        // Values the timeline refuses are still well formed here.
        {"7,-1,1/1/2000,1,2,3,4", {7, -1, Day(2000, 1, 1), {1, 2, 3, 4}}},
    };
    for (const Row& row : rows) {
        const auto parsed = Parse(row.text);
        ASSERT_TRUE(parsed) << row.text;
        EXPECT_EQ(*parsed, row.expected) << row.text;
    }
}

TEST(ViewSettings, RejectsMalformedStrings)
{
    const char* rows[] = {
        "",
        ",,,,,,,",
        "1,3,1/2/2005,1,2,3",          // six fields
        "a,3,1/2/2005,1,2,3,4",        // letters only
        "0a,3,1/2/2005,1,2,3,4",       // 0 followed by a letter
        "1,3,1/2/2005,1,2,3,4x",
        "-0,3,1/2/2005,1,2,3,4",       // zero not starting with the digit 0
        "1,+0,1/2/2005,1,2,3,4",
        "1,-,1/2/2005,1,2,3,4",
        "1,3 4,1/2/2005,1,2,3,4",
        "1,3,1/2/2005,2147483648,2,3,4",  // beyond 32 bits
        "1,3,1/2/2005,-2147483649,2,3,4",
        "1,3,1/2/2005,99999999999999999999,2,3,4",
        "1,3,32/1/2005,1,2,3,4",       // not a calendar date
        "1,3,29/2/2005,1,2,3,4",
        "1,3,1/13/2005,1,2,3,4",
        "1,3,1/1/99,1,2,3,4",          // before year 100
        "1,3,1/2/2005.8,1,2,3,4",      // eighths above 7
        "1,3,1/2/2005.12,1,2,3,4",     // more than one eighths digit
        "1,3,1/2/2005.,1,2,3,4",
        "1,3,1/2/20051,1,2,3,4",       // five-digit year
        "1,3,123/1/2005,1,2,3,4",
        "1,3,1/2,1,2,3,4",
        "1,3,1//2/2005,1,2,3,4",
        "1,3,1 /2/2005,1,2,3,4",
        "1,3, 1/2/2005,1,2,3,4",
        "1,3,1/2/2005 ,1,2,3,4",
        "1,3,1:2:2005,1,2,3,4",
    };
    for (const char* text : rows) EXPECT_FALSE(Parse(text)) << text;
}

TEST(ViewSettings, RoundTripKeepsEveryField)
{
    const DATE starts[] = {Day(2005, 6, 13), Day(2005, 6, 13) + 0.375, Day(1900, 2, 28) + 0.875,
                           Day(1899, 12, 29) - 0.25, Day(1800, 5, 1) - 0.5};
    for (DATE start : starts) {
        const ViewSettings s{2, 4, start, {-100, 100000, 365, 0}};
        const auto back = ParseViewSettings(FormatViewSettings(s));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, s) << Format(s);
    }
}

}  // namespace
}  // namespace qmx
