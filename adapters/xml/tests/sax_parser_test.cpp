#include "adapters/xml/sax_parser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace qmx::xml {
namespace {

// Records the events as text: "<name a=v>", "</>", "'text'", "end".
class Recorder final : public SaxContentHandler {
public:
    HRESULT StartDocument() override
    {
        log += "start;";
        return S_OK;
    }
    HRESULT StartElement(std::string_view name, const SaxAttributes& attributes) override
    {
        ++elements;
        log += "<" + std::string(name);
        if (auto id = attributes.Find("id")) log += " id=" + std::string(*id);
        log += ">";
        return name == failOn ? E_INVALIDARG : S_OK;
    }
    HRESULT EndElement() override
    {
        log += "</>";
        return S_OK;
    }
    HRESULT Characters(std::string_view text) override
    {
        characters += text.size();
        text_ += text;
        return S_OK;
    }
    HRESULT EndDocument() override
    {
        log += "end";
        return S_OK;
    }

    std::string log;
    std::string text_;
    std::size_t characters = 0;
    int elements = 0;
    std::string failOn;
};

TEST(SaxParserTest, DeliversElementsAttributesAndText)
{
    Recorder recorder;
    const auto failure = ParseXml(
        "<?xml version='1.0'?>\n<a id='1' x:id='2' xmlns:x='urn:x'><x:b/><c id=' 3 '>t&amp;u<![CDATA[<v>]]></c></a>",
        recorder);
    ASSERT_FALSE(failure) << failure->message;
    EXPECT_EQ(recorder.log, "start;<a id=1><x:b></><c id= 3 ></></>end");
    EXPECT_EQ(recorder.text_, "t&u<v>");
}

TEST(SaxParserTest, ReadsUtf16WithAByteOrderMark)
{
    const std::u16string text = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><p id=\"\u00e9\"/>";
    const std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    Recorder recorder;
    const auto failure = ParseXml(bytes, recorder);
    ASSERT_FALSE(failure) << failure->message;
    EXPECT_EQ(recorder.log, "start;<p id=\xC3\xA9></>end");
}

TEST(SaxParserTest, ReportsTheFirstFatalErrorWithItsPosition)
{
    struct Row {
        const char* xml;
        const char* messageStart;
        unsigned line;
        unsigned column;
    };
    const Row rows[] = {
        {"<a>\n<b></a>", "Opening and ending tag mismatch", 2, 8},
        {"<a", "The document ends inside the start tag of 'a'", 1, 3},
        {"", "Document is empty", 1, 1},
        {"garbage", "Start tag expected", 1, 1},
        {"<a/><b/>", "Extra content at the end of the document", 1, 5},
        {"<a x='1' x='2'/>", "Attribute x redefined", 1, 15},
    };
    for (const Row& row : rows) {
        Recorder recorder;
        const auto failure = ParseXml(row.xml, recorder);
        ASSERT_TRUE(failure) << row.xml;
        EXPECT_FALSE(failure->byHandler);
        EXPECT_EQ(failure->hr, E_FAIL);
        EXPECT_EQ(failure->message.rfind(row.messageStart, 0), 0u) << failure->message;
        EXPECT_EQ(failure->message.back(), '\n');
        EXPECT_EQ(failure->line, row.line) << row.xml;
        EXPECT_EQ(failure->column, row.column) << row.xml;
        EXPECT_EQ(recorder.log.find("end"), std::string::npos) << "no end of document after an error";
    }
}

TEST(SaxParserTest, AFailingHandlerStopsTheParseWhereItStands)
{
    Recorder recorder;
    recorder.failOn = "b";
    const auto failure = ParseXml("<a>\n  <b/>\n  <c/>\n</a>", recorder);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->byHandler);
    EXPECT_EQ(failure->hr, E_INVALIDARG);
    EXPECT_EQ(failure->line, 2u);
    EXPECT_EQ(failure->column, 5u);  // where the parser stands: after "<b"
    EXPECT_EQ(recorder.log, "start;<a><b>");
}

TEST(SaxParserTest, BinaryGarbageFails)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919 + 13) % 256);
    Recorder recorder;
    EXPECT_TRUE(ParseXml(garbage, recorder));
    EXPECT_TRUE(ParseXml(std::string("<a>\0</a>", 8), recorder));
    EXPECT_TRUE(ParseXml("<a>\xff\xfe</a>", recorder));
}

TEST(SaxParserTest, NestingDeeperThanTheParserLimitFails)
{
    std::string deep;
    for (int i = 0; i < 300; ++i) deep += "<a>";
    for (int i = 0; i < 300; ++i) deep += "</a>";
    Recorder recorder;
    const auto failure = ParseXml(deep, recorder);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->message.find("depth"), std::string::npos) << failure->message;
    EXPECT_LE(recorder.elements, 258);

    // 257 levels are still read.
    std::string limit;
    for (int i = 0; i < 257; ++i) limit += "<a>";
    for (int i = 0; i < 257; ++i) limit += "</a>";
    Recorder within;
    EXPECT_FALSE(ParseXml(limit, within));
}

TEST(SaxParserTest, EntityExpansionBombsFail)
{
    const char* bomb =
        "<!DOCTYPE a [\n"
        " <!ENTITY a0 'dha'>\n"
        " <!ENTITY a1 '&a0;&a0;&a0;&a0;&a0;&a0;&a0;&a0;&a0;&a0;'>\n"
        " <!ENTITY a2 '&a1;&a1;&a1;&a1;&a1;&a1;&a1;&a1;&a1;&a1;'>\n"
        " <!ENTITY a3 '&a2;&a2;&a2;&a2;&a2;&a2;&a2;&a2;&a2;&a2;'>\n"
        " <!ENTITY a4 '&a3;&a3;&a3;&a3;&a3;&a3;&a3;&a3;&a3;&a3;'>\n"
        " <!ENTITY a5 '&a4;&a4;&a4;&a4;&a4;&a4;&a4;&a4;&a4;&a4;'>\n"
        " <!ENTITY a6 '&a5;&a5;&a5;&a5;&a5;&a5;&a5;&a5;&a5;&a5;'>\n"
        " <!ENTITY a7 '&a6;&a6;&a6;&a6;&a6;&a6;&a6;&a6;&a6;&a6;'>\n"
        " <!ENTITY a8 '&a7;&a7;&a7;&a7;&a7;&a7;&a7;&a7;&a7;&a7;'>\n"
        " <!ENTITY a9 '&a8;&a8;&a8;&a8;&a8;&a8;&a8;&a8;&a8;&a8;'>\n"
        "]>\n"
        "<a>&a9;</a>";
    Recorder recorder;
    const auto failure = ParseXml(bomb, recorder);
    ASSERT_TRUE(failure);
    EXPECT_LT(recorder.characters, 10'000'000u) << failure->message;

    const std::string declarations(bomb, std::string_view(bomb).find("<a>"));
    Recorder inAttribute;
    EXPECT_TRUE(ParseXml(declarations + "<a id='&a9;'/>", inAttribute));
    EXPECT_EQ(inAttribute.log.find("id=dha"), std::string::npos);

    const char* loop = "<!DOCTYPE a [<!ENTITY x '&y;'><!ENTITY y '&x;'>]><a>&x;</a>";
    Recorder looped;
    EXPECT_TRUE(ParseXml(loop, looped));
    Recorder loopedInAttribute;
    EXPECT_TRUE(ParseXml("<!DOCTYPE a [<!ENTITY x '&y;'><!ENTITY y '&x;'>]><a id='&x;'/>", loopedInAttribute));
}

TEST(SaxParserTest, InternalEntitiesAreExpanded)
{
    Recorder recorder;
    const auto failure =
        ParseXml("<!DOCTYPE a [<!ENTITY who 'World'><!ENTITY two '&who;&#38;#38;&who;'>]>"
                 "<a id='&two; &amp; &#60;&#x41;'>Hello &who;!</a>",
                 recorder);
    ASSERT_FALSE(failure) << failure->message;
    EXPECT_EQ(recorder.text_, "Hello World!");
    EXPECT_EQ(recorder.log, "start;<a id=World&World & <A></>end");
}

TEST(SaxParserTest, NothingIsLoadedFromOutsideTheDocument)
{
    const std::string secret = testing::TempDir() + "sax_parser_secret.txt";
    const std::string dtd = testing::TempDir() + "sax_parser_secret.dtd";
    std::ofstream(secret) << "SECRET";
    std::ofstream(dtd) << "<!ENTITY leak 'SECRET'>";
    const std::string documents[] = {
        "<!DOCTYPE a [<!ENTITY e SYSTEM 'file://" + secret + "'>]><a>&e;</a>",
        "<!DOCTYPE a [<!ENTITY e SYSTEM '" + secret + "'>]><a>&e;</a>",
        "<!DOCTYPE a SYSTEM 'file://" + dtd + "'><a>&leak;</a>",
        "<!DOCTYPE a [<!ENTITY % p SYSTEM 'file://" + dtd + "'> %p;]><a>&leak;</a>",
        "<!DOCTYPE a [<!ENTITY e SYSTEM 'http://127.0.0.1:9/x'>]><a>&e;</a>",
        "<a xmlns:xi='http://www.w3.org/2001/XInclude'><xi:include href='file://" + secret + "' parse='text'/></a>",
    };
    for (const std::string& document : documents) {
        Recorder recorder;
        ParseXml(document, recorder);
        EXPECT_EQ(recorder.text_.find("SECRET"), std::string::npos) << document;
    }
    std::remove(secret.c_str());
    std::remove(dtd.c_str());
}

TEST(SaxParserTest, AReadErrorFailsTheParse)
{
    int calls = 0;
    const ReadFunction failing = [&calls](char* buffer, int) {
        if (calls++ == 0) {
            buffer[0] = '<';
            buffer[1] = 'a';
            return 2;
        }
        return -1;
    };
    Recorder recorder;
    EXPECT_TRUE(ParseXml(failing, recorder));
}

}  // namespace
}  // namespace qmx::xml
