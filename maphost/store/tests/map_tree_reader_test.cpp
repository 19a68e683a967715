// The tree reader of the store's topics and the records it answers: the
// walk's order and depths, bounded chunks, a map changed between chunks,
// refused arguments; the records' text read back exactly, and the hostile
// chunks of data/chunks with the outcome each must give.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "automation/bstr.h"
#include "maphost/api/map_factory.h"
#include "maphost/api/topic_records.h"

namespace qmx::map {
namespace {

constexpr char16_t kSpace[] = u"urn:test";

class MapTreeReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CreateInProcessApplication(app.ReleaseAndGetAddressOf()), S_OK);
        ComPtr<IMmDocuments> documents;
        ASSERT_EQ(app->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf()), S_OK);
        ASSERT_EQ(documents->Add(0, document.ReleaseAndGetAddressOf()), S_OK);
        ASSERT_EQ(document->get_CentralTopic(central.ReleaseAndGetAddressOf()), S_OK);
    }
    ComPtr<IMmTopic> Add(IMmTopic* parent, const BSTR& text)
    {
        ComPtr<IMmTopic> topic;
        EXPECT_EQ(parent->AddSubTopic(text, topic.ReleaseAndGetAddressOf()), S_OK);
        return topic;
    }
    ComPtr<IMmTreeReader> Reader(IMmTopic* top, const std::vector<BSTR>& names)
    {
        ComPtr<IMmTopicTree> tree;
        EXPECT_EQ(top->QueryInterface(IMmTopicTree::iid, reinterpret_cast<void**>(tree.ReleaseAndGetAddressOf())), S_OK);
        ComPtr<IMmTreeReader> reader;
        EXPECT_EQ(tree->ReadTree(kSpace, EncodeFieldList(names), reader.ReleaseAndGetAddressOf()), S_OK);
        return reader;
    }
    // Every record the reader answers, chunk by chunk of `per` topics; the
    // sizes of the chunks in *chunks.
    std::vector<TopicRecord> ReadAll(IMmTreeReader* reader, LONG per, std::size_t names,
                                     std::vector<std::size_t>* chunks = nullptr)
    {
        std::vector<TopicRecord> all;
        LONG depth = 0;
        for (int guard = 0; guard < 100000; ++guard) {
            BSTR chunk;
            const HRESULT hr = reader->Next(per, &chunk);
            EXPECT_TRUE(hr == S_OK || hr == S_FALSE);
            if (hr != S_OK) {
                EXPECT_TRUE(chunk.empty());
                break;
            }
            std::vector<TopicRecord> records;
            std::string why;
            EXPECT_TRUE(DecodeTopicRecords(chunk, names, per, &depth, &records, &why)) << why;
            if (chunks) chunks->push_back(records.size());
            for (auto& r : records) all.push_back(std::move(r));
        }
        return all;
    }
    static std::string Shape(const std::vector<TopicRecord>& records)
    {
        std::string text;
        for (const auto& r : records) text += std::to_string(r.depth) + BstrToUtf8(r.text) + " ";
        return text;
    }

    ComPtr<IMmApplication> app;
    ComPtr<IMmDocument> document;
    ComPtr<IMmTopic> central;
};

TEST_F(MapTreeReaderTest, WalksEveryTopicAfterItsParentWithItsValues)
{
    auto a = Add(central.Get(), u"a");
    auto a1 = Add(a.Get(), u"a1");
    Add(a1.Get(), u"a11");
    Add(a.Get(), u"a2");
    auto b = Add(central.Get(), u"b");
    b->put_IsFloating(VARIANT_TRUE);
    Add(b.Get(), u"b1");
    ComPtr<IMmTaskInfo> info;
    a1->get_TaskInfo(info.ReleaseAndGetAddressOf());
    info->put_Priority(7);
    info->put_StartDate(46000.25);
    info->put_DueDate(46004.5);
    info->put_DurationHours(36);
    info->put_DurationUnit(3);
    info->put_PercentComplete(55);
    info->put_Resources(u"Ann;Bob");
    a1->put_FillColor(0x80112233);
    a1->put_Collapsed(VARIANT_TRUE);
    ComPtr<IMmAttributes> attributes;
    a1->get_Attributes(kSpace, attributes.ReleaseAndGetAddressOf());
    attributes->SetAttributeValue(u"Two", BSTR(u"x\0y", 3));
    ComPtr<IMmAttributes> other;
    a1->get_Attributes(u"urn:other", other.ReleaseAndGetAddressOf());
    other->SetAttributeValue(u"One", u"elsewhere");

    for (const LONG per : {1, 2, 3, 100}) {
        const auto records = ReadAll(Reader(central.Get(), {u"One", u"Two"}).Get(), per, 2);
        // The floating topic and what is below it come too: the client
        // decides what it leaves out.
        EXPECT_EQ(Shape(records), "1a 2a1 3a11 2a2 1b 2b1 ") << per;
    }
    const auto records = ReadAll(Reader(central.Get(), {u"One", u"Two"}).Get(), 10, 2);
    ASSERT_EQ(records.size(), 6u);
    const TopicRecord& r = records[1];
    BSTR guid;
    a1->get_Guid(&guid);
    EXPECT_EQ(r.guid, guid);
    EXPECT_EQ(r.priority, 7);
    EXPECT_EQ(r.start, 46000.25);
    EXPECT_EQ(r.due, 46004.5);
    EXPECT_EQ(r.durationHours, 36);
    EXPECT_EQ(r.durationUnit, 3);
    EXPECT_EQ(r.percentComplete, 55);
    EXPECT_EQ(r.resources, u"Ann;Bob");
    EXPECT_EQ(r.fill, DWORD(0x80112233));
    EXPECT_TRUE(r.collapsed);
    EXPECT_EQ(r.attributes, (std::vector<BSTR>{u"", BSTR(u"x\0y", 3)}));
    EXPECT_FALSE(records[0].fill);
    EXPECT_TRUE(records[4].floating);
    // A reader of a sub-tree starts below its topic.
    EXPECT_EQ(Shape(ReadAll(Reader(a.Get(), {}).Get(), 10, 0)), "1a1 2a11 1a2 ");
}

TEST_F(MapTreeReaderTest, ChunksStayBoundedInTopicsAndText)
{
    auto group = Add(central.Get(), u"group");
    for (int i = 0; i < 300; ++i) Add(group.Get(), u"t");
    std::vector<std::size_t> chunks;
    EXPECT_EQ(ReadAll(Reader(central.Get(), {}).Get(), 128, 0, &chunks).size(), 301u);
    EXPECT_EQ(chunks, (std::vector<std::size_t>{128, 128, 45}));
    // Long texts end a chunk once it holds the budget of code units.
    auto big = Add(central.Get(), u"big");
    for (int i = 0; i < 9; ++i) Add(big.Get(), BSTR(kChunkBudgetUnits / 4, u'x'));
    chunks.clear();
    const auto records = ReadAll(Reader(big.Get(), {}).Get(), kMaxChunkTopics, 0, &chunks);
    EXPECT_EQ(records.size(), 9u);
    EXPECT_EQ(chunks, (std::vector<std::size_t>{4, 4, 1}));
    // Past the end the reader keeps answering the end.
    auto reader = Reader(central.Get(), {});
    ReadAll(reader.Get(), kMaxChunkTopics, 0);
    BSTR chunk = u"left over";
    EXPECT_EQ(reader->Next(10, &chunk), S_FALSE);
    EXPECT_TRUE(chunk.empty());
}

TEST_F(MapTreeReaderTest, FollowsTheMapAsItIsWhenEachChunkIsRead)
{
    auto a = Add(central.Get(), u"a");
    auto b = Add(central.Get(), u"b");
    Add(b.Get(), u"b1");
    auto c = Add(central.Get(), u"c");
    auto reader = Reader(central.Get(), {});
    BSTR chunk;
    ASSERT_EQ(reader->Next(1, &chunk), S_OK);
    // As with single calls by index: the level's places were counted when
    // the walk entered it and are read from the list as it is then, so a
    // topic deleted before it is read is not met and the one after it
    // takes its place; values are those of the moment.
    ASSERT_EQ(b->Delete(), S_OK);
    Add(central.Get(), u"d");
    Add(central.Get(), u"e");
    c->put_Text(u"c changed");
    EXPECT_EQ(Shape(ReadAll(reader.Get(), 10, 0)), "1c changed 1d ");
}

TEST_F(MapTreeReaderTest, RefusesArgumentsOutOfRange)
{
    ComPtr<IMmTopicTree> tree;
    ASSERT_EQ(central->QueryInterface(IMmTopicTree::iid, reinterpret_cast<void**>(tree.ReleaseAndGetAddressOf())), S_OK);
    ComPtr<IMmTreeReader> reader;
    EXPECT_EQ(tree->ReadTree(u"", u"", reader.ReleaseAndGetAddressOf()), E_INVALIDARG);
    EXPECT_EQ(tree->ReadTree(kSpace, u"5:abc", reader.ReleaseAndGetAddressOf()), E_INVALIDARG);
    std::vector<BSTR> tooMany(kMaxRecordAttributes + 1, u"n");
    EXPECT_EQ(tree->ReadTree(kSpace, EncodeFieldList(tooMany), reader.ReleaseAndGetAddressOf()), E_INVALIDARG);
    EXPECT_FALSE(reader);
    EXPECT_EQ(tree->ReadTree(kSpace, u"", nullptr), E_POINTER);
    ASSERT_EQ(tree->ReadTree(kSpace, u"", reader.ReleaseAndGetAddressOf()), S_OK);
    BSTR chunk;
    EXPECT_EQ(reader->Next(0, &chunk), E_INVALIDARG);
    EXPECT_EQ(reader->Next(kMaxChunkTopics + 1, &chunk), E_INVALIDARG);
    EXPECT_EQ(reader->Next(1, nullptr), E_POINTER);
}

TEST_F(MapTreeReaderTest, SetsAttributesOfManyTopicsInOrder)
{
    auto a = Add(central.Get(), u"a");
    auto b = Add(a.Get(), u"b");
    BSTR ga, gb;
    a->get_Guid(&ga);
    b->get_Guid(&gb);
    ComPtr<IMmTopicTree> tree;
    ASSERT_EQ(central->QueryInterface(IMmTopicTree::iid, reinterpret_cast<void**>(tree.ReleaseAndGetAddressOf())), S_OK);
    LONG written = -1;
    // A GUID the map does not hold is passed over; the later write of the
    // same attribute wins; GUIDs are found in any case.
    BSTR lower = gb;
    for (char16_t& c : lower) c = char16_t(std::tolower(int(c)));
    ASSERT_EQ(tree->SetAttributes(kSpace,
                                  EncodeFieldList({ga, u"N", u"1", u"{00000000-0000-0000-0000-000000000000}", u"N",
                                                   u"x", gb, u"N", u"2", lower, u"N", u"3", u"not a guid", u"N", u"y"}),
                                  &written),
              S_OK);
    EXPECT_EQ(written, 3);
    const auto value = [](IMmTopic* topic) {
        ComPtr<IMmAttributes> attributes;
        topic->get_Attributes(kSpace, attributes.ReleaseAndGetAddressOf());
        BSTR text;
        attributes->GetAttributeValue(u"N", &text);
        return text;
    };
    EXPECT_EQ(value(a.Get()), u"1");
    EXPECT_EQ(value(b.Get()), u"3");
    VARIANT_BOOL modified = VARIANT_FALSE;
    document->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_TRUE);
    // Lists that are not triples of fields, and an empty namespace.
    EXPECT_EQ(tree->SetAttributes(kSpace, EncodeFieldList({ga, u"N"}), &written), E_INVALIDARG);
    EXPECT_EQ(tree->SetAttributes(kSpace, u"9:x", &written), E_INVALIDARG);
    EXPECT_EQ(tree->SetAttributes(u"", EncodeFieldList({ga, u"N", u"1"}), &written), E_INVALIDARG);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(tree->SetAttributes(kSpace, u"", nullptr), E_POINTER);
    std::vector<BSTR> tooMany(3 * std::size_t(kMaxChunkTopics) + 3, ga);
    EXPECT_EQ(tree->SetAttributes(kSpace, EncodeFieldList(tooMany), &written), E_INVALIDARG);
    EXPECT_EQ(value(a.Get()), u"1");
}

TEST(TopicRecords, ReadBackExactly)
{
    TopicRecord plain;
    TopicRecord full;
    full.depth = 2;
    full.guid = u"{0E6F3F0B-6A4B-4C1D-9E8A-1F2B3C4D5E6F}";
    full.text = BSTR(u"12:ab\0", 6) + BSTR(1, char16_t(0xDC00));
    full.priority = -3;
    full.start = 46000.000000001;
    full.due = -657434.0;
    full.durationHours = 1e308;
    full.durationUnit = 2147483647;
    full.percentComplete = -2147483647 - 1;
    full.resources = u"9:";
    full.fill = 0xFFFFFFFF;
    full.collapsed = full.floating = full.callout = true;
    full.attributes = {u"", u"1:2", BSTR(3, u'\0')};
    plain.attributes.resize(3);
    BSTR chunk;
    AppendTopicRecord(plain, &chunk);
    AppendTopicRecord(full, &chunk);
    LONG depth = 0;
    std::vector<TopicRecord> records;
    std::string why;
    ASSERT_TRUE(DecodeTopicRecords(chunk, 3, 2, &depth, &records, &why)) << why;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], plain);
    EXPECT_EQ(records[1], full);
    EXPECT_EQ(depth, 2);
    // More records than asked for are refused, and nothing is kept.
    depth = 0;
    EXPECT_FALSE(DecodeTopicRecords(chunk, 3, 1, &depth, &records, &why));
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(depth, 0);
    // Values no number holds exactly read back as themselves too.
    TopicRecord odd;
    odd.start = std::nan("");
    odd.due = -INFINITY;
    odd.durationHours = -0.0;
    chunk.clear();
    AppendTopicRecord(odd, &chunk);
    depth = 0;
    ASSERT_TRUE(DecodeTopicRecords(chunk, 0, 1, &depth, &records, &why)) << why;
    EXPECT_TRUE(std::isnan(records[0].start));
    EXPECT_EQ(records[0].due, -INFINITY);
    EXPECT_TRUE(std::signbit(records[0].durationHours));
}

BSTR Unescape(const std::string& utf8)
{
    BSTR text;
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t escape = utf8.find("\\u", at);
        text += Utf8ToBstr(utf8.substr(at, escape == std::string::npos ? std::string::npos : escape - at));
        if (escape == std::string::npos) break;
        text.push_back(char16_t(std::stoul(utf8.substr(escape + 2, 4), nullptr, 16)));
        at = escape + 6;
    }
    return text;
}

TEST(TopicRecords, EachHostileChunkGivesItsOutcome)
{
    std::ifstream cases(QMX_MAP_TEST_DATA "/chunks/cases.txt");
    ASSERT_TRUE(cases);
    std::string line;
    int replayed = 0;
    while (std::getline(cases, line)) {
        if (line.empty() || line.front() == '#') continue;
        const std::size_t bar = line.find('|'), second = line.find('|', bar + 1);
        ASSERT_NE(second, std::string::npos) << line;
        const std::string outcome = line.substr(0, bar);
        const std::size_t attributes = std::stoul(line.substr(bar + 1, second - bar - 1));
        LONG depth = 0;
        std::vector<TopicRecord> records;
        std::string why;
        const bool read = DecodeTopicRecords(Unescape(line.substr(second + 1)), attributes, 100, &depth, &records, &why);
        if (outcome == "refused") {
            EXPECT_FALSE(read) << line;
            EXPECT_FALSE(why.empty()) << line;
            EXPECT_TRUE(records.empty()) << line;
        } else {
            EXPECT_TRUE(read) << line << ": " << why;
            EXPECT_EQ("ok " + std::to_string(records.size()), outcome) << line;
        }
        ++replayed;
    }
    EXPECT_GE(replayed, 30);
}

TEST(TopicRecords, FieldListsReadBackAndRefuseWhatIsNotOne)
{
    const std::vector<BSTR> names{u"GuidCopy", u"", u"a:b", BSTR(1, u'\0')};
    std::vector<BSTR> read;
    ASSERT_TRUE(DecodeFieldList(EncodeFieldList(names), 10, &read));
    EXPECT_EQ(read, names);
    EXPECT_FALSE(DecodeFieldList(EncodeFieldList(names), 3, &read));
    EXPECT_TRUE(read.empty());
    for (const BSTR bad : {u"x", u"2:a", u"1:a1", u":a"}) EXPECT_FALSE(DecodeFieldList(bad, 10, &read)) << BstrToUtf8(bad);
}

}  // namespace
}  // namespace qmx::map
