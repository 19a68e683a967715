// UTF-8 and UTF-16 conversions of automation strings.
#include <gtest/gtest.h>

#include "automation/bstr.h"
#include "automation/file_name.h"
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

std::u16string Units(std::initializer_list<char16_t> units) { return std::u16string(units); }

TEST(FileNames, EveryByteStringSurvivesTheRoundTrip)
{
    struct Row {
        std::string bytes;
        std::u16string text;
    };
    const Row rows[] = {
        {"plan.qmxg", u"plan.qmxg"},
        {"Gr\xC3\xBC\xC3\x9F" "e/\xF0\x9F\x98\x80", u"Gr\u00FC\u00DFe/\U0001F600"},
        {"bad\xFF.qmxg", u"bad" + Units({0xDCFF}) + u".qmxg"},
        {"\x80", Units({0xDC80})},
        // A truncated sequence: the broken lead byte alone, then the rest.
        {"\xC3x", Units({0xDCC3, u'x'})},
        {"\xE2\x82", Units({0xDCE2, 0xDC82})},
        // Overlong forms and encoded surrogates are not characters.
        {"\xC0\xAF", Units({0xDCC0, 0xDCAF})},
        {"\xED\xA0\x80", Units({0xDCED, 0xDCA0, 0xDC80})},
        {"\xF4\x90\x80\x80", Units({0xDCF4, 0xDC90, 0xDC80, 0xDC80})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(qmx::FileNameToBstr(row.bytes), row.text);
        EXPECT_EQ(qmx::BstrToFileName(row.text), row.bytes);
        EXPECT_EQ(qmx::BstrToOutputBytes(row.text), row.bytes);
    }
    // Every single byte and every pair of bytes.
    for (int a = 1; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            std::string bytes{char(a)};
            if (b) bytes.push_back(char(b));
            ASSERT_EQ(qmx::BstrToFileName(qmx::FileNameToBstr(bytes)), bytes) << a << " " << b;
        }
    }
}

TEST(FileNames, StringsThatNameNoFileAreRefused)
{
    const std::u16string refused[] = {
        u"a" + Units({0}) + u"b",           // would name "a"
        Units({0xD800}) + u"x",              // an unpaired high surrogate
        Units({0xDC41}),                     // a low surrogate that escapes no byte
        Units({0xDCC3, 0xDCA9}),             // the bytes of "é": that file's name is "é"
    };
    for (const auto& text : refused) EXPECT_FALSE(qmx::BstrToFileName(text));
    EXPECT_EQ(qmx::BstrToOutputBytes(Units({u'a', 0xD800, u'b', 0xDCFF})), "a\xEF\xBF\xBD" "b\xFF");
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
