// The attribute formats and value conversions, row by row against values
// worked out by hand from the formats.
#include <gtest/gtest.h>

#include "adapters/mindmanager/map_formats.h"

namespace qmx::mm {
namespace {

TEST(MapFormats, LinkListsReadEveryWellFormedEntry)
{
    struct Row {
        std::u16string text;
        std::vector<LinkEntry> expected;
    };
    const Row rows[] = {
        {u"", {}},
        {u"{A},0", {{u"{A}", dtStartToStart}}},
        {u"{A},3;{B},1", {{u"{A}", dtFinishToFinish}, {u"{B}", dtStartToFinish}}},
        // Missing, invalid or out-of-range types read as finish-to-start.
        {u"{A}", {{u"{A}", dtFinishToStart}}},
        {u"{A},x;{B},4;{C},-1;{D},", {{u"{A}", dtFinishToStart}, {u"{B}", dtFinishToStart},
                                      {u"{C}", dtFinishToStart}, {u"{D}", dtFinishToStart}}},
        // Entries without a GUID are skipped; empty entries too.
        {u";;,2; ,1;{A},1;", {{u"{A}", dtStartToFinish}}},
        {u"{A},99999999999999999999", {{u"{A}", dtFinishToStart}}},
    };
    for (const Row& row : rows) EXPECT_EQ(ParseLinks(row.text), row.expected);
    EXPECT_EQ(FormatLinks({{u"{A}", dtStartToStart}, {u"{B}", dtFinishToFinish}}), u"{A},0;{B},3");
    EXPECT_EQ(FormatLinks({}), u"");
}

TEST(MapFormats, LoadListsNeedTwoIntegersAndNoNegativeLoad)
{
    struct Row {
        std::u16string text;
        std::vector<LoadEntry> expected;
    };
    const Row rows[] = {
        {u"1,100", {{1, 100}}},
        {u"1,50;2,0;3,250", {{1, 50}, {2, 0}, {3, 250}}},
        {u"1;2,x;y,3;4,-5;5,", {}},
        {u"1,50;1,60", {{1, 50}, {1, 60}}},  // duplicates are the model's to refuse
        {u"4294967296,10;7,4294967296;8,9", {{8, 9}}},
    };
    for (const Row& row : rows) EXPECT_EQ(ParseLoads(row.text), row.expected);
    EXPECT_EQ(FormatLoads({{1, 100}, {12, 0}}), u"1,100;12,0");
}

TEST(MapFormats, PoolEntriesNeedAnIdAndBothCommas)
{
    struct Row {
        std::u16string text;
        std::vector<PoolEntry> expected;
    };
    const Row rows[] = {
        {u"1,Alice,1;2,Bob,0", {{1, u"Alice", true}, {2, u"Bob", false}}},
        {u"3,Carol,", {{3, u"Carol", false}}},
        {u"4,,1", {{4, u"", true}}},
        {u"5,Dan;x,Eve,1;6", {}},
        {u"7,Fay,1extra", {{7, u"Fay", true}}},
        // Escaped separators belong to the name.
        {u"8,Smith\\, John,1;9,a\\;b,0", {{8, u"Smith, John", true}, {9, u"a;b", false}}},
    };
    for (const Row& row : rows) EXPECT_EQ(ParsePool(row.text), row.expected);
    EXPECT_EQ(FormatPool({{1, u"Alice", true}, {2, u"Bob", false}}), u"1,Alice,1;2,Bob,0");
}

TEST(MapFormats, ResourceNamesKeepPlainNamesAsTheyAreAndEscapeTheRest)
{
    struct Row {
        std::u16string name;
        std::u16string written;
    };
    const Row rows[] = {
        {u"Alice", u"Alice"},
        {u"C:\\temp", u"C:\\temp"},         // a lone backslash reads back as itself
        {u"Smith, John", u"Smith\\, John"},
        {u"a;b", u"a\\;b"},
        {u"a\\,b", u"a\\\\\\,b"},
        {u"ends\\", u"ends\\\\"},           // would swallow the separator otherwise
        {u"two\\\\", u"two\\\\\\\\"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FormatResourceNames({row.name}), row.written);
        // Each survives the list and the pool with its neighbours.
        const std::vector<BSTR> names{u"x", row.name, u"y"};
        EXPECT_EQ(ParseResourceNames(FormatResourceNames(names)), names);
        const std::vector<PoolEntry> pool{{1, u"x", true}, {2, row.name, false}};
        EXPECT_EQ(ParsePool(FormatPool(pool)), pool);
    }
    // Reading splits at both separators and trims blanks around names.
    EXPECT_EQ(ParseResourceNames(u" Alice , Bob;Carol;; ;"), (std::vector<BSTR>{u"Alice", u"Bob", u"Carol"}));
}

TEST(MapFormats, PriorityBothWaysKeepsLowValuesOfFourAndMore)
{
    const std::pair<LONG, QMXPriority> fromMap[] = {{0, prNone}, {1, prHigh}, {2, prNormal}, {3, prLow},
                                                    {4, prLow},  {9, prLow},  {-3, prNone}};
    for (auto [map, model] : fromMap) EXPECT_EQ(PriorityFromMap(map), model) << map;
    EXPECT_EQ(PriorityToMap(prNone, 5), 0);
    EXPECT_EQ(PriorityToMap(prHigh, 5), 1);
    EXPECT_EQ(PriorityToMap(prNormal, 0), 2);
    EXPECT_EQ(PriorityToMap(prLow, 0), 3);
    EXPECT_EQ(PriorityToMap(prLow, 3), 3);
    EXPECT_EQ(PriorityToMap(prLow, 4), std::nullopt);
    EXPECT_EQ(PriorityToMap(prLow, 5), std::nullopt);
}

TEST(MapFormats, DurationsInHoursRoundUpAndPickTheirUnit)
{
    struct Row {
        float days;
        QMXDurationUnit unit;
        double hours;
        LONG code;
    };
    const Row rows[] = {
        {1.5f, duDay, 12, 1},  {10, duWeek, 80, 3},  {7, duWeek, 56, 2},   {7.5f, duWeek, 60, 1},
        {2, duDay, 16, 2},     {2, duHour, 16, 1},   {0.1f, duDay, 1, 1},  {0, duDay, 0, 2},
        {-1, duDay, 0, 2},     {0, duWeek, 0, 3},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(HoursFromDays(row.days), row.hours) << row.days;
        EXPECT_EQ(UnitToMap(row.unit, row.days), row.code) << row.days << " " << row.unit;
    }
    EXPECT_EQ(DaysFromHours(12), 1.5f);
    EXPECT_EQ(DaysFromHours(80), 10.0f);
    EXPECT_EQ(DaysFromHours(-8), 0.0f);
    EXPECT_EQ(UnitFromMap(1), duHour);
    EXPECT_EQ(UnitFromMap(2), duDay);
    EXPECT_EQ(UnitFromMap(3), duWeek);
    EXPECT_EQ(UnitFromMap(0), duDay);
    EXPECT_EQ(UnitFromMap(7), duDay);
}

TEST(MapFormats, ColoursBothWays)
{
    EXPECT_EQ(FillFromColor(RGB(0x12, 0x34, 0x56)), DWORD(0xFF123456));
    EXPECT_EQ(FillFromColor(kNoTaskColor), std::nullopt);
    EXPECT_EQ(ColorFromFill(DWORD(0x80123456)), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(ColorFromFill(std::nullopt), kNoTaskColor);
    EXPECT_EQ(ColorToAttribute(RGB(255, 0, 16)), u"#ff0010");
    EXPECT_EQ(ColorToAttribute(kNoTaskColor), u"");
    EXPECT_EQ(ColorFromAttribute(u"#FF0010"), RGB(255, 0, 16));
    for (const char16_t* bad : {u"", u"ff0010", u"#ff001", u"#gg0010", u"#ff00100"})
        EXPECT_EQ(ColorFromAttribute(bad), kNoTaskColor);
}

}  // namespace
}  // namespace qmx::mm
