#include "adapters/xml/project_writer.h"

#include <gtest/gtest.h>

#include "adapters/xml/project_reader.h"
#include "adapters/xml/tests/plan_access.h"
#include "automation/date_time.h"
#include "automation/error_info.h"

namespace qmx::xml {
namespace {

using namespace qmx::xml::testing;

DATE Day(int y, int m, int d) { return *DateFromCivil(y, m, d); }

// Builds plans through the model's interfaces.
class PlanBuilder {
public:
    explicit PlanBuilder(CProjectDocument& document) : document_(document) {}

    void Properties(const char* name, const char* description)
    {
        ComPtr<IDocumentProperties> properties;
        document_.get_Properties(properties.ReleaseAndGetAddressOf());
        properties->put_Name(Utf8ToBstr(name));
        properties->put_Description(Utf8ToBstr(description));
    }
    void Defaults(COLORREF color, bool autocorrect)
    {
        ComPtr<ITaskAppearance> appearance;
        document_.TaskTree()->get_DefaultTaskAppearance(appearance.ReleaseAndGetAddressOf());
        appearance->put_Color(color);
        document_.TaskTree()->put_AutocorrectTaskDates(ToVariantBool(autocorrect));
    }
    ComPtr<ITask> Add(LONG parentId, LONG id, const char* name, DATE start, DATE end)
    {
        ComPtr<ITasks> list;
        if (parentId == 0)
            document_.TaskTree()->get_RootTasks(list.ReleaseAndGetAddressOf());
        else
            Task(document_, parentId)->get_Subtasks(list.ReleaseAndGetAddressOf());
        ComPtr<ITask> task;
        EXPECT_EQ(list->AddWithID(id, -1, Utf8ToBstr(name), task.ReleaseAndGetAddressOf()), S_OK);
        task->put_StartDate(start);
        task->put_EndDate(end);
        return task;
    }
    void Link(LONG source, LONG dependent, QMXDependencyType type)
    {
        EXPECT_EQ(document_.TaskTree()->DependencyLink(source, dependent, type), S_OK);
    }
    void Resource(LONG id, const char* name)
    {
        ComPtr<IResource> resource;
        EXPECT_EQ(document_.Resources()->AddWithID(id, Utf8ToBstr(name), resource.ReleaseAndGetAddressOf()), S_OK);
    }
    void Assign(LONG taskId, LONG resourceId, LONG units)
    {
        ComPtr<IResource> resource;
        ComPtr<ITaskResources> assignments;
        ComPtr<ITaskResource> assignment;
        document_.Resources()->GetResourceByID(resourceId, resource.ReleaseAndGetAddressOf());
        Task(document_, taskId)->get_Resources(assignments.ReleaseAndGetAddressOf());
        EXPECT_EQ(assignments->Add(resource.Get(), assignment.ReleaseAndGetAddressOf()), S_OK);
        assignment->put_Units(units);
    }

private:
    CProjectDocument& document_;
};

std::string Write(CProjectDocument& document, HRESULT* result = nullptr)
{
    std::string bytes;
    const HRESULT hr = WriteProject(&document, [&bytes](const char* data, std::size_t size) {
        bytes.append(data, size);
        return true;
    });
    if (result)
        *result = hr;
    else
        EXPECT_EQ(hr, S_OK);
    return bytes;
}

TEST(ProjectWriterTest, WritesUtf16WithTheElementsAndAttributesInOrder)
{
    auto document = NewDocument();
    PlanBuilder plan(*document);
    plan.Properties("Kitchen \"K\"", "Renovate <all>");
    plan.Defaults(RGB(255, 128, 0), false);
    ComPtr<ITask> a = plan.Add(0, 1, "A & B", Day(2026, 3, 2), Day(2026, 3, 4) + 0.5);
    a->put_Priority(prHigh);
    a->put_DurationUnit(duHour);
    a->put_PercentComplete(100);
    a->put_IsMilestone(VARIANT_TRUE);
    a->put_URL(Utf8ToBstr("https://example.org/?a=1&b=2"));
    a->put_Notes(Utf8ToBstr("Line\r\ntwo"));
    ComPtr<ITaskAppearance> appearance;
    a->get_Appearance(appearance.ReleaseAndGetAddressOf());
    appearance->put_Color(RGB(0, 255, 0));
    ComPtr<ITask> child = plan.Add(1, 2, "", Day(2026, 3, 2), Day(2026, 3, 3));
    child->get_Appearance(appearance.ReleaseAndGetAddressOf());
    appearance->put_Color(kNoTaskColor);
    child->put_Priority(prLow);
    ComPtr<ITask> c = plan.Add(0, 3, "C", Day(2026, 3, 9), Day(2026, 3, 10));
    c->get_Appearance(appearance.ReleaseAndGetAddressOf());
    appearance->put_Color(kNoTaskColor);
    plan.Link(1, 3, dtStartToStart);
    plan.Link(2, 3, dtFinishToFinish);
    plan.Resource(4, "Ann");
    plan.Resource(1, "Bob");
    plan.Assign(3, 4, 250);
    plan.Assign(2, 4, 50);
    plan.Assign(2, 1, 100);

    const std::string bytes = Write(*document);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "byte-order mark, little-endian";
    EXPECT_EQ(Utf16FileToUtf8(bytes),
              "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
              "<project name=\"Kitchen &quot;K&quot;\">\n"
              "  <description>Renovate &lt;all&gt;</description>\n"
              "  <tasks color=\"#ff8000\" autocorrect=\"0\">\n"
              "    <task id=\"1\" name=\"A &amp; B\" priority=\"2\" start=\"2/3/2026\" end=\"4/3/2026.4\" "
              "duration=\"1\" duration-unit=\"0\" complete=\"100\" meeting=\"1\" "
              "url=\"https://example.org/?a=1&amp;b=2\" color=\"#00ff00\">\n"
              "      <notes>Line&#13;\ntwo</notes>\n"
              "      <depend id=\"3\" type=\"0\"/>\n"
              "      <task id=\"2\" name=\"\" priority=\"0\" start=\"2/3/2026\" end=\"3/3/2026\" duration=\"1\" "
              "duration-unit=\"1\" complete=\"0\" meeting=\"0\" url=\"\">\n"
              "        <notes></notes>\n"
              "        <depend id=\"3\" type=\"3\"/>\n"
              "      </task>\n"
              "    </task>\n"
              "    <task id=\"3\" name=\"C\" start=\"9/3/2026\" end=\"10/3/2026\" duration=\"1\" duration-unit=\"1\" "
              "complete=\"0\" meeting=\"0\" url=\"\">\n"
              "      <notes></notes>\n"
              "    </task>\n"
              "  </tasks>\n"
              "  <resources>\n"
              "    <resource id=\"1\" name=\"Bob\"/>\n"
              "    <resource id=\"4\" name=\"Ann\"/>\n"
              "  </resources>\n"
              "  <allocations>\n"
              "    <allocation task-id=\"2\" resource-id=\"1\" load=\"100\"/>\n"
              "    <allocation task-id=\"2\" resource-id=\"4\" load=\"50\"/>\n"
              "    <allocation task-id=\"3\" resource-id=\"4\" load=\"250\"/>\n"
              "  </allocations>\n"
              "</project>\n");
}

TEST(ProjectWriterTest, AnEmptyPlanIsAProjectWithEmptySections)
{
    auto document = NewDocument();
    EXPECT_EQ(Utf16FileToUtf8(Write(*document)),
              "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
              "<project name=\"\">\n"
              "  <description></description>\n"
              "  <tasks autocorrect=\"1\"/>\n"
              "  <resources/>\n"
              "  <allocations/>\n"
              "</project>\n");
}

TEST(ProjectWriterTest, TimesAreWrittenInEighthsOfADay)
{
    auto document = NewDocument();
    PlanBuilder plan(*document);
    plan.Defaults(kNoTaskColor, false);
    plan.Add(0, 1, "late", Day(2026, 12, 31) + 22.5 / 24, Day(2027, 1, 1) + 13.0 / 24);
    const std::string text = Utf16FileToUtf8(Write(*document));
    // 22:30 rounds to eight eighths: 00:00 of the next day; 13:00 to 12:00.
    EXPECT_NE(text.find("start=\"1/1/2027\" end=\"1/1/2027.4\""), std::string::npos) << text;
}

TEST(ProjectWriterTest, CharactersXmlCannotHoldBecomeReplacementCharacters)
{
    auto document = NewDocument();
    PlanBuilder plan(*document);
    BSTR name = u"a\u0001b\uFFFEc\td";
    ComPtr<ITask> task = plan.Add(0, 1, "", Day(2026, 1, 1), Day(2026, 1, 2));
    task->put_Name(name);
    task->put_Notes(u"x\u001Fy");
    const std::string bytes = Write(*document);
    auto again = NewDocument();
    ASSERT_EQ(ReadProject(bytes, again.Get()), S_OK);
    EXPECT_EQ(Values(*again, 1).name, u"a\uFFFDb\uFFFDc\td");
    EXPECT_EQ(Values(*again, 1).notes, u"x\uFFFDy");
}

TEST(ProjectWriterTest, APlanWrittenAndReadBackIsTheSamePlan)
{
    FixToday(Day(2026, 1, 1));
    auto document = NewDocument();
    PlanBuilder plan(*document);
    plan.Properties("Röntgen & Co \U0001F600", "Line one\nLine two");
    plan.Defaults(RGB(1, 2, 3), true);
    plan.Add(0, 5, "Summary", Day(2026, 2, 2), Day(2026, 2, 3));
    plan.Add(5, 7, "Child one", Day(2026, 2, 2) + 0.375, Day(2026, 2, 4) + 0.75);
    plan.Add(5, 3, "Child two", Day(2026, 2, 5), Day(2026, 2, 6));
    plan.Add(3, 9, "Grandchild", Day(2026, 2, 5), Day(2026, 2, 7) + 0.125);
    plan.Add(0, 2, "Second root", Day(2026, 2, 10), Day(2026, 2, 12));
    plan.Add(0, 40, "Milestone", Day(2026, 2, 20), Day(2026, 2, 20));
    ComPtr<ITask> task = Task(*document, 7);
    task->put_Priority(prNormal);
    task->put_DurationUnit(duWeek);
    task->put_PercentComplete(40);
    task->put_Notes(Utf8ToBstr("<notes> & \"quotes\"\r\n\ttabbed"));
    task->put_URL(Utf8ToBstr("file:///tmp/a b"));
    Task(*document, 40)->put_IsMilestone(VARIANT_TRUE);
    ComPtr<ITaskAppearance> appearance;
    Task(*document, 2)->get_Appearance(appearance.ReleaseAndGetAddressOf());
    appearance->put_Color(RGB(200, 100, 50));
    plan.Link(7, 3, dtFinishToStart);
    plan.Link(5, 2, dtFinishToStart);
    plan.Link(9, 40, dtStartToFinish);
    plan.Link(2, 40, dtFinishToFinish);
    plan.Link(7, 2, dtStartToStart);
    plan.Resource(3, "Ann");
    plan.Resource(8, "");
    plan.Assign(9, 3, 75);
    plan.Assign(9, 8, 0);
    plan.Assign(40, 8, 1000);

    auto again = NewDocument();
    ASSERT_EQ(ReadProject(Write(*document), again.Get()), S_OK);
    EXPECT_EQ(DocumentName(*again), DocumentName(*document));
    EXPECT_EQ(DocumentDescription(*again), DocumentDescription(*document));
    for (LONG parent : {0, 5, 7, 3, 9, 2, 40}) EXPECT_EQ(ChildIds(*again, parent), ChildIds(*document, parent));
    for (LONG id : {5, 7, 3, 9, 2, 40}) {
        SCOPED_TRACE(id);
        const TaskFields expected = Values(*document, id);
        const TaskFields actual = Values(*again, id);
        EXPECT_EQ(actual.name, expected.name);
        EXPECT_EQ(actual.priority, expected.priority);
        EXPECT_EQ(actual.start, expected.start);
        EXPECT_EQ(actual.end, expected.end);
        EXPECT_EQ(actual.duration, expected.duration);
        EXPECT_EQ(actual.unit, expected.unit);
        EXPECT_EQ(actual.complete, expected.complete);
        EXPECT_EQ(actual.milestone, expected.milestone);
        EXPECT_EQ(actual.notes, expected.notes);
        EXPECT_EQ(actual.url, expected.url);
        EXPECT_EQ(actual.color, expected.color);
        EXPECT_EQ(Successors(*again, id), Successors(*document, id));
        EXPECT_EQ(Assignments(*again, id), Assignments(*document, id));
    }
    EXPECT_EQ(Resources(*again), Resources(*document));
    UnfixToday();
}

TEST(ProjectWriterTest, RefusesNestingTheReaderCannotReadBack)
{
    for (int depth : {kMaxTaskNesting, kMaxTaskNesting + 1}) {
        SCOPED_TRACE(depth);
        auto document = NewDocument();
        PlanBuilder plan(*document);
        for (LONG id = 1; id <= depth; ++id) plan.Add(id - 1, id, "t", Day(2026, 1, 1), Day(2026, 1, 2));
        HRESULT hr = S_OK;
        const std::string bytes = Write(*document, &hr);
        if (depth <= kMaxTaskNesting) {
            ASSERT_EQ(hr, S_OK);
            auto again = NewDocument();
            EXPECT_EQ(ReadProject(bytes, again.Get()), S_OK) << BstrToUtf8(GetErrorInfo().value().description);
            EXPECT_EQ(TaskCount(*again), depth);
        } else {
            EXPECT_EQ(hr, E_FAIL);
        }
    }
}

TEST(ProjectWriterTest, AFailingOutputFailsTheWrite)
{
    auto document = NewDocument();
    PlanBuilder plan(*document);
    for (LONG id = 1; id <= 500; ++id) plan.Add(0, id, "a task with a name", Day(2026, 1, 1), Day(2026, 1, 2));
    for (int failAt : {0, 1, 3}) {
        int calls = 0;
        const HRESULT hr = WriteProject(document.Get(), [&](const char*, std::size_t) { return calls++ < failAt; });
        EXPECT_EQ(hr, E_FAIL) << failAt;
    }
    const HRESULT thrown = WriteProject(document.Get(), [](const char*, std::size_t) -> bool { throw 1; });
    EXPECT_EQ(thrown, E_FAIL);
}

}  // namespace
}  // namespace qmx::xml
