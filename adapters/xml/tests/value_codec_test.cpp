#include "adapters/xml/value_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "automation/date_time.h"

namespace qmx::xml {
namespace {

TEST(ValueCodecTest, IntegersAllowBlanksAndASignButNeedADigitForZero)
{
    struct Row {
        const char* text;
        std::optional<std::int32_t> expected;
    };
    const Row rows[] = {
        {"5", 5},
        {"  42\t", 42},
        {"\t+7 ", 7},
        {"-3", -3},
        {"007", 7},
        {"0", 0},
        {" 0 ", 0},
        {"00", 0},
        {"2147483647", 2147483647},
        {"-2147483648", std::int32_t(-2147483647 - 1)},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"-0", std::nullopt},  // reads as zero but does not start with "0"
        {"+0", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"abc", std::nullopt},
        {"1 2", std::nullopt},
        {"12a", std::nullopt},
        {"- 5", std::nullopt},
        {"1.0", std::nullopt},
        {"\n5", std::nullopt},  // only spaces and tabs are blanks
        {"0x10", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(ParseInteger(row.text), row.expected) << '"' << row.text << '"';
}

TEST(ValueCodecTest, FloatsAreDecimalAndWithinSinglePrecision)
{
    struct Row {
        const char* text;
        std::optional<float> expected;
    };
    const Row rows[] = {
        {"1", 1.0f},
        {" 2.5\t", 2.5f},
        {"+0.25", 0.25f},
        {"-1.5", -1.5f},
        {"1e3", 1000.0f},
        {"1.5E-2", 0.015f},
        {".5", 0.5f},
        {"5.", 5.0f},
        {"0", 0.0f},
        {"0.0", 0.0f},
        {"3.4e38", 3.4e38f},
        {"1.2e-38", 1.2e-38f},
        {".0", std::nullopt},  // zero, but does not start with "0"
        {"-0", std::nullopt},
        {"3.5e38", std::nullopt},
        {"1e-39", std::nullopt},
        {"1e400", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"0x1p3", std::nullopt},
        {"1e", std::nullopt},
        {".", std::nullopt},
        {"", std::nullopt},
        {"1,5", std::nullopt},
        {"2 days", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(ParseFloat(row.text), row.expected) << '"' << row.text << '"';
}

TEST(ValueCodecTest, BooleansAreExactWords)
{
    EXPECT_EQ(ParseBoolean("1"), true);
    EXPECT_EQ(ParseBoolean("true"), true);
    EXPECT_EQ(ParseBoolean("0"), false);
    EXPECT_EQ(ParseBoolean("false"), false);
    for (const char* text : {"TRUE", "True", " 1", "1 ", "yes", "2", "", "-1"})
        EXPECT_EQ(ParseBoolean(text), std::nullopt) << '"' << text << '"';
}

TEST(ValueCodecTest, ColoursAreSevenCharactersRedGreenBlue)
{
    EXPECT_EQ(ParseColor("#FF0000"), COLORREF(0x0000FF));
    EXPECT_EQ(ParseColor("#ff0000"), COLORREF(0x0000FF));
    EXPECT_EQ(ParseColor("#12aB3c"), RGB(0x12, 0xAB, 0x3C));
    EXPECT_EQ(ParseColor("#000000"), COLORREF(0));
    for (const char* text : {"#f00", "FF0000", "#FF00000", "#GG0000", " #FF0000", "#FF000", ""})
        EXPECT_EQ(ParseColor(text), std::nullopt) << '"' << text << '"';

    EXPECT_EQ(FormatColor(RGB(255, 0, 0)), "#ff0000");
    EXPECT_EQ(FormatColor(RGB(0x12, 0xAB, 0x3C)), "#12ab3c");
}

DATE Day(int y, int m, int d) { return *DateFromCivil(y, m, d); }

TEST(ValueCodecTest, DatesAreDayMonthYearWithOptionalEighths)
{
    struct Row {
        const char* text;
        std::optional<DATE> expected;
    };
    const Row rows[] = {
        {"7/12/2026", Day(2026, 12, 7)},
        {"07-12-2026", Day(2026, 12, 7)},
        {"7.12.2026", Day(2026, 12, 7)},
        {"7/12-2026", Day(2026, 12, 7)},  // separators may differ
        {"7/12/2026.4", Day(2026, 12, 7) + 0.5},
        {"7/12/2026/1", Day(2026, 12, 7) + 0.125},
        {"7/12/2026-7", Day(2026, 12, 7) + 0.875},
        {"29/2/2024", Day(2024, 2, 29)},
        {"1/1/100", Day(100, 1, 1)},
        {"31/12/9999", Day(9999, 12, 31)},
        {"1/1/0100", Day(100, 1, 1)},
        // Before 1900 the time of day counts away from zero.
        {"29/12/1899.2", -1.25},
        {" 7/12/2026", std::nullopt},
        {"7/12/2026 ", std::nullopt},
        {"7/12/20260", std::nullopt},
        {"7/12/2026.8", std::nullopt},
        {"7/12/2026.9", std::nullopt},
        {"7/12/2026.12", std::nullopt},
        {"7/12/2026.", std::nullopt},
        {"123/12/2026", std::nullopt},
        {"7/123/2026", std::nullopt},
        {"7//2026", std::nullopt},
        {"7/12", std::nullopt},
        {"7/12/", std::nullopt},
        {"/12/2026", std::nullopt},
        {"7 12 2026", std::nullopt},
        {"29/2/2023", std::nullopt},
        {"31/4/2026", std::nullopt},
        {"0/1/2026", std::nullopt},
        {"1/13/2026", std::nullopt},
        {"1/1/99", std::nullopt},
        {"1/1/0", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(ParseDate(row.text), row.expected) << '"' << row.text << '"';
}

TEST(ValueCodecTest, DatesAreWrittenWithEighthsRoundedToTheNearest)
{
    struct Row {
        DATE date;
        const char* expected;
    };
    const Row rows[] = {
        {Day(2026, 12, 7), "7/12/2026"},
        {Day(2026, 12, 7) + 0.5, "7/12/2026.4"},
        {Day(2026, 12, 7) + 1.0 / 24, "7/12/2026"},      // 01:00 rounds to 00:00
        {Day(2026, 12, 7) + 2.0 / 24, "7/12/2026.1"},    // 02:00 rounds to 03:00
        {Day(2026, 12, 7) + 21.0 / 24, "7/12/2026.7"},
        {Day(2026, 12, 31) + 22.5 / 24, "1/1/2027"},     // eight eighths: the next day
        {Day(2026, 12, 31) + 23.9 / 24, "1/1/2027"},
        {Day(100, 1, 1), "1/1/100"},
        {-1.25, "29/12/1899.2"},
        // Beyond what the reader accepts: the nearest date it does.
        {Day(9999, 12, 31) + 0.99, "31/12/9999.7"},
        {1e30, "31/12/9999.7"},
        {-1e30, "1/1/100"},
        {std::nan(""), "1/1/100"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FormatDate(row.date), row.expected) << row.date;
        EXPECT_TRUE(ParseDate(FormatDate(row.date))) << row.expected;
    }
}

TEST(ValueCodecTest, NumbersAreWrittenAsTheReaderReadsThem)
{
    EXPECT_EQ(FormatInteger(0), "0");
    EXPECT_EQ(FormatInteger(2147483647), "2147483647");
    EXPECT_EQ(FormatFloat(1.0f), "1");
    EXPECT_EQ(FormatFloat(2.5f), "2.5");
    EXPECT_EQ(FormatFloat(0.125f), "0.125");
    EXPECT_EQ(FormatFloat(1e30f), "1e+30");
    EXPECT_EQ(FormatBoolean(true), "1");
    EXPECT_EQ(FormatBoolean(false), "0");
    for (float value : {0.0f, 1.0f, 2.5f, 1e30f, 1.2e-38f, 123456.0f})
        EXPECT_TRUE(ParseFloat(FormatFloat(value))) << value;
}

}  // namespace
}  // namespace qmx::xml
