// The text forms of integers and dates, read from UTF-8 and from UTF-16.
#include "automation/value_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "automation/date_time.h"

namespace qmx {
namespace {

// The rows are ASCII: each character widens to one UTF-16 unit.
std::u16string Wide(const char* text)
{
    std::u16string wide;
    for (; *text; ++text) wide += static_cast<char16_t>(static_cast<unsigned char>(*text));
    return wide;
}

TEST(ValueText, IntegersAllowBlanksAndASignButNeedADigitForZero)
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
    for (const Row& row : rows) {
        EXPECT_EQ(ParseInteger(row.text), row.expected) << '"' << row.text << '"';
        EXPECT_EQ(ParseInteger(Wide(row.text)), row.expected) << '"' << row.text << '"';
    }
}

DATE Day(int y, int m, int d) { return *DateFromCivil(y, m, d); }

TEST(ValueText, DatesAreDayMonthYearWithOptionalEighths)
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
    for (const Row& row : rows) {
        EXPECT_EQ(ParseDate(row.text), row.expected) << '"' << row.text << '"';
        EXPECT_EQ(ParseDate(Wide(row.text)), row.expected) << '"' << row.text << '"';
    }
}

TEST(ValueText, DatesAreWrittenWithEighthsRoundedToTheNearest)
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

}  // namespace
}  // namespace qmx
