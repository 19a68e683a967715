#include "adapters/xml/project_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "adapters/contract/gantt_adapter.h"
#include "adapters/xml/tests/plan_access.h"
#include "automation/date_time.h"
#include "automation/error_info.h"

namespace qmx::xml {
namespace {

using namespace qmx::xml::testing;

DATE Day(int y, int m, int d) { return *DateFromCivil(y, m, d); }

class ProjectReaderTest : public ::testing::Test {
protected:
    void SetUp() override { FixToday(Day(2026, 1, 1)); }
    void TearDown() override { UnfixToday(); }

    // Reads the text into a new document; the error description on failure.
    HRESULT Load(std::string_view xml)
    {
        document = NewDocument();
        const HRESULT hr = ReadProject(xml, document.Get());
        error.clear();
        if (auto info = GetErrorInfo()) {
            EXPECT_TRUE(FAILED(hr)) << "an error object after success";
            EXPECT_EQ(info->iid, IGanttAdapter::iid);
            EXPECT_EQ(BstrToUtf8(info->source), "QMXXmlAdapter");
            error = BstrToUtf8(info->description);
        }
        return hr;
    }

    // A project with the given tasks section content.
    static std::string WithTasks(const std::string& tasks, const char* autocorrect = "1")
    {
        return std::string("<project><tasks autocorrect=\"") + autocorrect + "\">" + tasks + "</tasks></project>";
    }

    ComPtr<CProjectDocument> document;
    std::string error;
};

TEST_F(ProjectReaderTest, ReadsTheSamplePlan)
{
    std::ifstream file(QMX_XML_TEST_DATA "/sample_plan.xml", std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    ASSERT_EQ(Load(content.str()), S_OK) << error;

    EXPECT_EQ(DocumentName(*document), "Kitchen");
    EXPECT_EQ(DocumentDescription(*document), "Renovate the kitchen & the hall");
    VARIANT_BOOL autocorrect = VARIANT_FALSE;
    document->TaskTree()->get_AutocorrectTaskDates(&autocorrect);
    EXPECT_EQ(autocorrect, VARIANT_TRUE);
    ComPtr<ITaskAppearance> defaults;
    COLORREF defaultColor = 0;
    document->TaskTree()->get_DefaultTaskAppearance(defaults.ReleaseAndGetAddressOf());
    defaults->get_Color(&defaultColor);
    EXPECT_EQ(defaultColor, RGB(255, 128, 0));

    EXPECT_EQ(ChildIds(*document, 0), (std::vector<LONG>{10, 30, 40}));
    EXPECT_EQ(ChildIds(*document, 10), (std::vector<LONG>{11}));

    // Task 10 was read as 2 March to 4 March 12:00; its first child then
    // made it a summary spanning the child's one day.
    const TaskFields plan = Values(*document, 10);
    EXPECT_EQ(plan.name, u"Plan");
    EXPECT_EQ(plan.priority, prHigh);
    EXPECT_EQ(plan.start, Day(2026, 3, 2));
    EXPECT_EQ(plan.end, Day(2026, 3, 3));
    EXPECT_EQ(plan.duration, 1.0f);
    EXPECT_EQ(plan.unit, duHour);
    EXPECT_EQ(plan.complete, 100);
    EXPECT_FALSE(plan.milestone);
    EXPECT_EQ(plan.notes, u"Measure   twice");
    EXPECT_EQ(plan.url, u"https://example.org/plan?a=1&b=2");
    EXPECT_EQ(plan.color, RGB(0, 255, 0));

    const TaskFields sketch = Values(*document, 11);
    EXPECT_EQ(sketch.name, u"Sketch");
    EXPECT_EQ(sketch.priority, prNone);
    EXPECT_EQ(sketch.start, Day(2026, 3, 2));
    EXPECT_EQ(sketch.end, Day(2026, 3, 3));
    EXPECT_EQ(sketch.complete, 50);
    EXPECT_EQ(sketch.notes, u"");
    EXPECT_EQ(sketch.color, kNoTaskColor) << "no colour of its own, though the tree has a default";

    // Without a duration attribute the duration is 1 day, which with date
    // correction on moves the end from 9 to 10 March.
    const TaskFields build = Values(*document, 30);
    EXPECT_EQ(build.priority, prLow);
    EXPECT_EQ(build.start, Day(2026, 3, 9));
    EXPECT_EQ(build.end, Day(2026, 3, 10));
    EXPECT_EQ(build.duration, 1.0f);
    EXPECT_TRUE(build.milestone);
    EXPECT_EQ(build.notes, u"Order parts");

    // Without an end the end is the start plus the duration.
    const TaskFields clean = Values(*document, 40);
    EXPECT_EQ(clean.start, Day(2026, 3, 10));
    EXPECT_EQ(clean.end, Day(2026, 3, 13));
    EXPECT_EQ(clean.duration, 3.0f);
    EXPECT_EQ(clean.unit, duWeek);

    EXPECT_EQ(Successors(*document, 10), (std::vector<std::pair<LONG, QMXDependencyType>>{{30, dtStartToStart}}));
    EXPECT_EQ(Successors(*document, 30), (std::vector<std::pair<LONG, QMXDependencyType>>{{40, dtFinishToStart}}));
    EXPECT_EQ(Resources(*document), (std::vector<std::pair<LONG, std::string>>{{1, "Ann"}, {5, "Bob"}}));
    EXPECT_EQ(Assignments(*document, 11), (std::vector<std::pair<LONG, LONG>>{{1, 100}, {5, 50}}));
    EXPECT_EQ(Assignments(*document, 40), (std::vector<std::pair<LONG, LONG>>{{1, 250}}));
    EXPECT_TRUE(Assignments(*document, 10).empty());
}

TEST_F(ProjectReaderTest, InvalidOptionalValuesKeepTheirDefaults)
{
    struct Row {
        const char* attributes;
        std::function<void(const TaskFields&)> check;
    };
    const Row rows[] = {
        {R"(priority="-1")", [](const TaskFields& v) { EXPECT_EQ(v.priority, prNone); }},
        {R"(priority="5")", [](const TaskFields& v) { EXPECT_EQ(v.priority, prNone); }},
        {R"(priority=" 1 ")", [](const TaskFields& v) { EXPECT_EQ(v.priority, prNormal); }},
        {R"(start=" 7/12/2026")", [](const TaskFields& v) { EXPECT_EQ(v.start, Day(2026, 1, 1)); }},
        {R"(start="07-12-2026")", [](const TaskFields& v) { EXPECT_EQ(v.start, Day(2026, 12, 7)); }},
        {R"(start="7/12/2026.4")", [](const TaskFields& v) { EXPECT_EQ(v.start, Day(2026, 12, 7) + 0.5); }},
        {R"(start="7/12/2026.8")", [](const TaskFields& v) { EXPECT_EQ(v.start, Day(2026, 1, 1)); }},
        {R"(color="#f00")", [](const TaskFields& v) { EXPECT_EQ(v.color, kNoTaskColor); }},
        {R"(color="#FF0000")", [](const TaskFields& v) { EXPECT_EQ(v.color, COLORREF(0x0000FF)); }},
        {R"(meeting="TRUE")", [](const TaskFields& v) { EXPECT_FALSE(v.milestone); }},
        {R"(meeting="1")", [](const TaskFields& v) { EXPECT_TRUE(v.milestone); }},
        {R"(complete="101")", [](const TaskFields& v) { EXPECT_EQ(v.complete, 0); }},
        {R"(complete="-1")", [](const TaskFields& v) { EXPECT_EQ(v.complete, 0); }},
        {R"(complete="	40 ")", [](const TaskFields& v) { EXPECT_EQ(v.complete, 40); }},
        {R"(duration-unit="3")", [](const TaskFields& v) { EXPECT_EQ(v.unit, duDay); }},
        {R"(duration-unit="2")", [](const TaskFields& v) { EXPECT_EQ(v.unit, duWeek); }},
        {R"(duration="-1")", [](const TaskFields& v) { EXPECT_EQ(v.duration, 1.0f); }},
        {R"(duration="1e39")", [](const TaskFields& v) { EXPECT_EQ(v.duration, 1.0f); }},
        {R"(duration="0.5")", [](const TaskFields& v) { EXPECT_EQ(v.duration, 0.5f); }},
        // A duration that would end the task past 31 December 9999.
        {R"(duration="3e38")", [](const TaskFields& v) { EXPECT_EQ(v.duration, 1.0f); }},
        {R"(start="30/12/9999" duration="2")", [](const TaskFields& v) { EXPECT_EQ(v.duration, 1.0f); }},
        {R"(start="30/12/9999" duration="1.5")", [](const TaskFields& v) { EXPECT_EQ(v.duration, 1.5f); }},
        {R"(start="1/1/100" end="31/12/9999" duration="3615899")", [](const TaskFields& v) {
             EXPECT_EQ(v.start, Day(100, 1, 1));
             EXPECT_EQ(v.end, Day(9999, 12, 31));
         }},
        {R"(start="1/1/99")", [](const TaskFields& v) { EXPECT_EQ(v.start, Day(2026, 1, 1)); }},
        {R"(name="A &lt;b&gt;" url="x y")", [](const TaskFields& v) {
             EXPECT_EQ(v.name, u"A <b>");
             EXPECT_EQ(v.url, u"x y");
         }},
        {R"(x:priority="2" xmlns:x="urn:x" unknown="1")", [](const TaskFields& v) { EXPECT_EQ(v.priority, prNone); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.attributes);
        ASSERT_EQ(Load(WithTasks(std::string("<task id=\"1\" ") + row.attributes + "/>")), S_OK) << error;
        row.check(Values(*document, 1));
    }
}

TEST_F(ProjectReaderTest, WithoutAnEndTheEndIsTheStartPlusTheDuration)
{
    ASSERT_EQ(Load(WithTasks(R"(<task id="1" start="7/12/2026" duration="2.5"/>)", "0")), S_OK) << error;
    EXPECT_EQ(Values(*document, 1).end, Day(2026, 12, 9) + 0.5);
    ASSERT_EQ(Load(WithTasks(R"(<task id="1" duration="2"/>)", "0")), S_OK) << error;
    EXPECT_EQ(Values(*document, 1).end, Day(2026, 1, 3)) << "from today";
    ASSERT_EQ(Load(WithTasks(R"(<task id="1" start="7/12/2026" end="bad"/>)", "0")), S_OK) << error;
    EXPECT_EQ(Values(*document, 1).end, Day(2026, 12, 8));
}

TEST_F(ProjectReaderTest, LinkKindsAndLoadsFallBackToTheirDefaults)
{
    ASSERT_EQ(Load("<project><tasks autocorrect='0'>"
                   "<task id='1'><depend id='2' type='7'/><depend id='3'/><depend id='4' type='1'/>"
                   "<depend id='5' type=' 3'/></task>"
                   "<task id='2'/><task id='3'/><task id='4'/><task id='5'/></tasks>"
                   "<resources><resource id='1'/><resource id='2'/><resource id='3'/></resources>"
                   "<allocations><allocation task-id='1' resource-id='1' load='-5'/>"
                   "<allocation task-id='1' resource-id='2' load='0'/>"
                   "<allocation task-id='1' resource-id='3' load='x'/></allocations></project>"),
              S_OK)
        << error;
    EXPECT_EQ(Successors(*document, 1), (std::vector<std::pair<LONG, QMXDependencyType>>{
                                            {2, dtFinishToStart}, {3, dtFinishToStart}, {4, dtStartToFinish},
                                            {5, dtFinishToFinish}}));
    EXPECT_EQ(Assignments(*document, 1), (std::vector<std::pair<LONG, LONG>>{{1, 100}, {2, 0}, {3, 100}}));
}

TEST_F(ProjectReaderTest, ReportsEachReaderErrorWithItsPosition)
{
    struct Row {
        std::string xml;
        const char* description;
    };
    const std::string tasks = "<project>\n<tasks>\n";
    const std::string resources = "<project>\n<resources>\n";
    const std::string allocations =
        "<project><tasks><task id='1'/></tasks><resources><resource id='2'/></resources>\n<allocations>\n";
    const Row rows[] = {
        {tasks + "<task name='x'/>", "Missing task ID\n(Line 3, Col. 15)"},
        {tasks + "<task id='0'/>", "Invalid task ID\n(Line 3, Col. 13)"},
        {tasks + "<task id='-1'/>", "Invalid task ID\n(Line 3, Col. 14)"},
        {tasks + "<task id='one'/>", "Invalid task ID\n(Line 3, Col. 15)"},
        {tasks + "<task id='1'>\n  <depend type='2'/>", "Missing task ID\n(Line 4, Col. 19)"},
        {tasks + "<task id='1'>\n  <depend id=''/>", "Invalid task ID\n(Line 4, Col. 16)"},
        {resources + "<resource name='Ann'/>", "Missing resource ID\n(Line 3, Col. 21)"},
        {resources + "<resource id='0'/>", "Invalid resource ID\n(Line 3, Col. 17)"},
        {allocations + "<allocation resource-id='2'/>", "Missing task ID\n(Line 3, Col. 28)"},
        {allocations + "<allocation task-id='x' resource-id='2'/>", "Invalid task ID\n(Line 3, Col. 40)"},
        {allocations + "<allocation task-id='1'/>", "Missing resource ID\n(Line 3, Col. 24)"},
        {allocations + "<allocation task-id='1' resource-id='-2'/>", "Invalid resource ID\n(Line 3, Col. 41)"},
        // Failing model calls.
        {tasks + "<task id='1'/>\n<task id='1'/>", "Duplicate task ID\n(Line 4, Col. 13)"},
        {resources + "<resource id='1'/><resource id='1'/>", "Duplicate resource ID\n(Line 3, Col. 35)"},
        {allocations + "<allocation task-id='9' resource-id='2'/>", "Unknown task ID\n(Line 3, Col. 40)"},
        {allocations + "<allocation task-id='1' resource-id='9'/>", "Unknown resource ID\n(Line 3, Col. 40)"},
        {allocations + "<allocation task-id='1' resource-id='2'/><allocation task-id='1' resource-id='2'/>",
         "Duplicate allocation\n(Line 3, Col. 81)"},
        // Links are made at the end of the document.
        {"<project><tasks><task id='1'><depend id='2'/></task></tasks>\n</project>\n",
         "Unknown task ID 2\n(Line 3, Col. 1)"},
        {"<project><tasks><task id='1'><depend id='1'/></task></tasks></project>",
         "Invalid dependency between tasks 1 and 1\n(Line 1, Col. 71)"},
        {"<project><tasks><task id='1'><depend id='2'/></task><task id='2'><depend id='1'/></task></tasks>"
         "</project>",
         "Invalid dependency between tasks 2 and 1\n(Line 1, Col. 107)"},
        {"<project><tasks><task id='1'><depend id='2'/><task id='2'/></task></tasks></project>",
         "Invalid dependency between tasks 1 and 2\n(Line 1, Col. 85)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.xml);
        EXPECT_EQ(Load(row.xml), E_FAIL);
        EXPECT_EQ(error, std::string("Failed to load document.\n") + row.description);
    }
}

TEST_F(ProjectReaderTest, ParserErrorsCarryTheParsersMessage)
{
    struct Row {
        const char* xml;
        const char* description;
    };
    const Row rows[] = {
        {"<project>\n<tasks></project>",
         "Opening and ending tag mismatch: tasks line 2 and project\n(Line 2, Col. 18)"},
        {"", "Document is empty\n(Line 1, Col. 1)"},
        {"\x01\x02garbage", "Start tag expected, '<' not found\n(Line 1, Col. 1)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.xml);
        EXPECT_EQ(Load(row.xml), E_FAIL);
        EXPECT_EQ(error, std::string("Failed to load document.\n") + row.description);
    }
}

TEST_F(ProjectReaderTest, ReadingIsNotTransactional)
{
    EXPECT_EQ(Load(WithTasks("<task id='1'/><task id='2'/><task/>")), E_FAIL);
    EXPECT_EQ(TaskCount(*document), 2) << "the caller empties the model";
}

TEST_F(ProjectReaderTest, SkipsUnknownElementsAndRepeatedSections)
{
    ASSERT_EQ(Load("<project name='P'>"
                   "<description>first</description><description>second</description>"
                   "<x:tasks xmlns:x='urn:x'><task id='99'/></x:tasks>"
                   "<tasks autocorrect='0'>"
                   "  <task id='1'><notes>one</notes><notes>two</notes>"
                   "    <unknown><task id='98'/><notes>no</notes></unknown>"
                   "    <depend id='2'><task id='97'/></depend>"
                   "    <Task id='96'/>"
                   "  </task>"
                   "  <task id='2'><notes>a<b>hidden</b>b</notes></task>"
                   "  <resource id='9'/>"
                   "</tasks>"
                   "<tasks><task id='3'/></tasks>"
                   "<resources><resource id='1'><task id='95'/></resource></resources>"
                   "<resources><resource id='2'/></resources>"
                   "<allocations><allocation task-id='1' resource-id='1'><depend id='1'/></allocation></allocations>"
                   "<allocations><allocation task-id='2' resource-id='1'/></allocations>"
                   "<description>third</description>"
                   "</project>"),
              S_OK)
        << error;
    EXPECT_EQ(DocumentDescription(*document), "first");
    EXPECT_EQ(ChildIds(*document, 0), (std::vector<LONG>{1, 2}));
    EXPECT_TRUE(ChildIds(*document, 1).empty());
    EXPECT_EQ(TaskCount(*document), 2);
    EXPECT_EQ(Values(*document, 1).notes, u"one");
    EXPECT_EQ(Values(*document, 2).notes, u"ab");
    EXPECT_EQ(Successors(*document, 1).size(), 1u);
    EXPECT_EQ(Resources(*document), (std::vector<std::pair<LONG, std::string>>{{1, ""}}));
    EXPECT_EQ(Assignments(*document, 1).size(), 1u);
    EXPECT_TRUE(Assignments(*document, 2).empty());

    // An undeclared prefix is a recoverable error: the element is skipped.
    ASSERT_EQ(Load("<project><y:tasks><task id='9'/></y:tasks><tasks><task id='1'/></tasks></project>"), S_OK)
        << error;
    EXPECT_EQ(ChildIds(*document, 0), (std::vector<LONG>{1}));

    // A document whose root is not a project is read as an empty plan.
    ASSERT_EQ(Load("<plan><tasks><task id='1'/></tasks></plan>"), S_OK) << error;
    EXPECT_EQ(TaskCount(*document), 0);
}

TEST_F(ProjectReaderTest, LinksMayNameTasksLaterInTheFile)
{
    ASSERT_EQ(Load(WithTasks("<task id='1' start='1/3/2026' end='3/3/2026' duration='2'><depend id='3'/></task>"
                             "<task id='2' start='1/3/2026' end='2/3/2026'><depend id='1' type='0'/></task>"
                             "<task id='3' start='1/3/2026' end='2/3/2026'/>")),
              S_OK)
        << error;
    EXPECT_EQ(Successors(*document, 1), (std::vector<std::pair<LONG, QMXDependencyType>>{{3, dtFinishToStart}}));
    EXPECT_EQ(Successors(*document, 2), (std::vector<std::pair<LONG, QMXDependencyType>>{{1, dtStartToStart}}));
    // Made at the end with date correction on: task 3 now starts when 1 ends.
    EXPECT_EQ(Values(*document, 3).start, Day(2026, 3, 3));
    EXPECT_EQ(Values(*document, 3).end, Day(2026, 3, 4));
}

TEST_F(ProjectReaderTest, TextKeepsItsInnerBlanks)
{
    std::string longNotes;
    for (int i = 0; i < 200; ++i) longNotes += "word ";
    longNotes += "end";
    ASSERT_EQ(Load("<project><description>\r\n\t Tom &amp; Jerry <![CDATA[& co]]> \n</description>"
                   "<tasks><task id='1'><notes>  " + longNotes + "\n</notes></task>"
                   "<task id='2'><notes>line one\r\nline two<!-- note --> and more</notes></task></tasks></project>"),
              S_OK)
        << error;
    EXPECT_EQ(DocumentDescription(*document), "Tom & Jerry & co");
    EXPECT_EQ(Values(*document, 1).notes, Utf8ToBstr(longNotes));
    EXPECT_EQ(Values(*document, 2).notes, u"line one\nline two and more");
}

TEST_F(ProjectReaderTest, ReadsUtf16)
{
    const std::u16string text =
        u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
        u"<project name=\"Pl\u00e4ne \u65e5\u672c\"><tasks><task id=\"1\" name=\"\U0001F600\"/></tasks></project>";
    ASSERT_EQ(Load(std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2)), S_OK) << error;
    EXPECT_EQ(DocumentName(*document), "Pl\u00e4ne \u65e5\u672c");
    EXPECT_EQ(Values(*document, 1).name, u"\U0001F600");
}

TEST_F(ProjectReaderTest, UnsafeInputFailsAndLoadsNothingFromOutside)
{
    std::string deep = "<project><tasks>";
    for (int i = 1; i <= 256; ++i) deep += "<task id='" + std::to_string(i) + "'>";
    EXPECT_EQ(Load(deep), E_FAIL);
    EXPECT_NE(error.find("Excessive depth"), std::string::npos) << error;

    EXPECT_EQ(Load("<!DOCTYPE project [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;'>"
                   "<!ENTITY c '&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;'><!ENTITY d '&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;'>"
                   "<!ENTITY e '&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;'><!ENTITY f '&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;'>"
                   "<!ENTITY g '&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;'><!ENTITY h '&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;'>"
                   "<!ENTITY i '&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;'>]>"
                   "<project><description>&i;</description></project>"),
              E_FAIL);
    EXPECT_EQ(error.rfind("Failed to load document.\n", 0), 0u);

    const std::string secret = ::testing::TempDir() + "reader_secret.txt";
    std::ofstream(secret) << "SECRET";
    EXPECT_EQ(Load("<!DOCTYPE project [<!ENTITY s SYSTEM 'file://" + secret +
                   "'>]><project><description>[&s;]</description></project>"),
              S_OK)
        << error;
    EXPECT_EQ(DocumentDescription(*document), "[]");
    std::remove(secret.c_str());

    // An internal entity is plain text and is read as such.
    ASSERT_EQ(Load("<!DOCTYPE project [<!ENTITY who 'Ann'>]><project><description>&who;</description></project>"),
              S_OK)
        << error;
    EXPECT_EQ(DocumentDescription(*document), "Ann");
}

TEST_F(ProjectReaderTest, ReadsTasksNestedAsDeepAsTheWriterWrites)
{
    std::string xml = "<project><tasks>";
    for (int i = 1; i <= 254; ++i) xml += "<task id='" + std::to_string(i) + "'><notes>n</notes>";
    for (int i = 1; i <= 254; ++i) xml += "</task>";
    xml += "</tasks></project>";
    ASSERT_EQ(Load(xml), S_OK) << error;
    EXPECT_EQ(ChildIds(*document, 253), (std::vector<LONG>{254}));
}

TEST_F(ProjectReaderTest, ReadsALargePlan)
{
    constexpr int kTasks = 20000;
    std::string xml = "<project><tasks autocorrect='1'>";
    for (int i = 1; i <= kTasks; ++i) {
        const std::string id = std::to_string(i);
        xml += "<task id='" + id + "' name='Task " + id + "' start='1/1/2026' end='2/1/2026'><notes>n</notes>";
        if (i < kTasks) xml += "<depend id='" + std::to_string(i + 1) + "'/>";
        xml += "</task>";
    }
    xml += "</tasks><resources><resource id='1' name='R'/></resources><allocations>";
    for (int i = 1; i <= kTasks; i += 2) xml += "<allocation task-id='" + std::to_string(i) + "' resource-id='1'/>";
    xml += "</allocations></project>";
    ASSERT_EQ(Load(xml), S_OK) << error;
    EXPECT_EQ(TaskCount(*document), kTasks);
    // The chain pushed every task one day after the one before.
    EXPECT_EQ(Values(*document, kTasks).start, Day(2026, 1, 1) + (kTasks - 1));
    EXPECT_EQ(Assignments(*document, kTasks - 1).size(), 1u);
}

}  // namespace
}  // namespace qmx::xml
