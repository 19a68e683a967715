// UTF-8 and UTF-16 conversions of automation strings.
#include <gtest/gtest.h>

#include "automation/bstr.h"
#include "automation/variant.h"

namespace {

TEST(Strings, NullAndEmptyAreTheSameValue)
{
    EXPECT_EQ(BSTR(), BSTR(u""));
    EXPECT_TRUE(qmx::Utf8ToBstr("").empty());
}

TEST(Strings, Utf8ConvertsBothWays)
{
    struct Row {
        const char* utf8;
        std::u16string utf16;
    };
    const Row rows[] = {
        {"Plan", u"Plan"},
        {"Gr\xC3\xBC\xC3\x9F" "e", u"Gr\u00FC\u00DFe"},
        {"\xE2\x82\xAC 5", u"\u20AC 5"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},  // a surrogate pair
    };
    for (const auto& row : rows) {
        EXPECT_EQ(qmx::Utf8ToBstr(row.utf8), row.utf16) << row.utf8;
        EXPECT_EQ(qmx::BstrToUtf8(row.utf16), row.utf8) << row.utf8;
    }
}

TEST(Strings, IllFormedInputBecomesReplacementCharacters)
{
    EXPECT_EQ(qmx::Utf8ToBstr("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(qmx::Utf8ToBstr("a\xC3"), u"a\uFFFD");              // truncated at the end
    EXPECT_EQ(qmx::Utf8ToBstr("\xE2\x82x"), u"\uFFFDx");          // broken inside, x kept
    EXPECT_EQ(qmx::Utf8ToBstr("\xC0\xAF"), u"\uFFFD");            // overlong
    EXPECT_EQ(qmx::Utf8ToBstr("\xED\xA0\x80"), u"\uFFFD");        // encoded surrogate
    EXPECT_EQ(qmx::BstrToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(qmx::BstrToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(Strings, VariantHoldsThePassedKinds)
{
    VARIANT v;
    EXPECT_TRUE(qmx::IsEmpty(v));
    v = BSTR(u"x");
    EXPECT_EQ(std::get<BSTR>(v), u"x");
    v = std::int32_t{5};
    EXPECT_EQ(std::get<std::int32_t>(v), 5);
}

}  // namespace
