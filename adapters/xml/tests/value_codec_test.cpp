#include "adapters/xml/value_codec.h"

#include <gtest/gtest.h>

#include <optional>

namespace qmx::xml {
namespace {

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
