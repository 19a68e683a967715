#include "adapters/xml/start_tag_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace qmx::xml {
namespace {

using Finding = StartTagScanner::Finding;

std::string Widen(const std::string& ascii, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) {
        if (bigEndian) bytes += '\0';
        bytes += c;
        if (!bigEndian) bytes += '\0';
    }
    return bytes;
}

TEST(StartTagScannerTest, CountsAttributesOfStartTagsOnly)
{
    struct Row {
        const char* xml;
        Finding finding;
        unsigned line;
        unsigned column;
    };
    // At most 3 attributes per tag.
    const Row rows[] = {
        {"<a x='1' y='2' z='3'/>", Finding::None, 1, 1},
        {"<a x='1' y='2' z='3' w='4'/>", Finding::TooManyAttributes, 1, 1},
        {"<p>\n  <a x = '1' y='2' z='3' w='4'>", Finding::TooManyAttributes, 2, 3},
        {"<a x='=' y=\"==\" z='3'/>", Finding::None, 1, 1},               // '=' in values
        {"<a/><b x='1' y='2' z='3'/><c x='1' y='2'/>", Finding::None, 1, 1},  // counted per tag
        {"<!-- <a x='1' y='2' z='3' w='4'> -->", Finding::None, 1, 1},
        {"<![CDATA[<a x='1' y='2' z='3' w='4'>]]>", Finding::None, 1, 1},
        {"<?pi <a x='1' y='2' z='3' w='4'> ?>", Finding::None, 1, 1},
        {"<!DOCTYPE a [<!ENTITY e '<a x=\"1\" y=\"2\" z=\"3\" w=\"4\">'>]><a/>", Finding::None, 1, 1},
        {"<!DOCTYPE a [<!-- ] > --><!ENTITY e '>]'>]><a x='1' y='2' z='3' w='4'/>", Finding::TooManyAttributes, 1, 44},
        {"<a>x = y = z = w</a>", Finding::None, 1, 1},
        {"</a x='1' y='2' z='3' w='4'>", Finding::None, 1, 1},
        {"<?xml version='1.0' encoding='UTF-8' standalone='yes' x='y'?><a/>", Finding::None, 1, 1},
        {"\xEF\xBB\xBF<a x='1' y='2' z='3' w='4'/>", Finding::TooManyAttributes, 1, 1},  // after a byte-order mark
        {"<\xC3\xA9>\xC3\xA9<a x='1' y='2' z='3' w='4'/>", Finding::TooManyAttributes, 1, 5},  // columns in characters
    };
    for (const Row& row : rows) {
        const std::string xml = row.xml;
        // Whole, byte by byte, and as UTF-16 of both byte orders (ASCII rows).
        StartTagScanner whole(3);
        EXPECT_EQ(whole.Scan(xml), row.finding) << xml;
        EXPECT_EQ(whole.Line(), row.line) << xml;
        EXPECT_EQ(whole.Column(), row.column) << xml;
        StartTagScanner pieces(3);
        for (const char c : xml) pieces.Scan(std::string_view(&c, 1));
        EXPECT_EQ(pieces.Found(), row.finding) << xml;
        EXPECT_EQ(StartTagScanner::HasCrowdedTag(xml, 3), row.finding == Finding::TooManyAttributes) << xml;
        if (std::any_of(xml.begin(), xml.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) continue;
        for (const bool bigEndian : {false, true}) {
            StartTagScanner wide(3);
            const std::string bytes = Widen(xml, bigEndian);
            for (std::size_t i = 0; i < bytes.size(); i += 3) wide.Scan(std::string_view(bytes).substr(i, 3));
            EXPECT_EQ(wide.Found(), row.finding) << xml << (bigEndian ? " UTF-16BE" : " UTF-16LE");
            EXPECT_EQ(wide.Column(), row.column) << xml;
        }
    }
}

TEST(StartTagScannerTest, RecognisesTheFormsOfUtf32)
{
    const std::string u = std::string("<\0\0\0a\0\0\0/\0\0\0>\0\0\0", 16);
    const std::string rows[] = {
        std::string("\xFF\xFE\0\0", 4) + u,
        std::string("\0\0\xFE\xFF", 4),
        u,
    };
    for (const std::string& bytes : rows) {
        StartTagScanner scanner(3);
        EXPECT_EQ(scanner.Scan(bytes), Finding::Utf32);
    }
    // Big-endian without a byte-order mark is read by libxml2, and scanned.
    std::string big;
    for (const char c : std::string("<a x='1' y='2' z='3' w='4'/>")) big += std::string("\0\0\0", 3) + c;
    StartTagScanner scanner(3);
    EXPECT_EQ(scanner.Scan(big), Finding::TooManyAttributes);
}

}  // namespace
}  // namespace qmx::xml
