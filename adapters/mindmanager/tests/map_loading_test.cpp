// Loading maps into the plan: settings, the pool, topics to tasks with
// their dates, identities of copied topics, assignments and links.
#include "adapters/mindmanager/tests/map_fixture.h"
#include "automation/bstr.h"
#include "tools/project_dump.h"

namespace qmx::mm::testing {
namespace {

constexpr DATE kDay = 45292;  // 1 January 2024

using MapLoading = MapFixture;

DATE Start(ITask* task)
{
    DATE d = 0;
    task->get_StartDate(&d);
    return d;
}
DATE End(ITask* task)
{
    DATE d = 0;
    task->get_EndDate(&d);
    return d;
}
COLORREF Color(ITask* task)
{
    ComPtr<ITaskAppearance> appearance;
    task->get_Appearance(appearance.ReleaseAndGetAddressOf());
    COLORREF c = 0;
    appearance->get_Color(&c);
    return c;
}
LONG Units(ITask* task, LONG resourceId)
{
    ComPtr<ITaskResources> list;
    ComPtr<ITaskResource> assignment;
    task->get_Resources(list.ReleaseAndGetAddressOf());
    if (FAILED(list->GetTaskResourceByID(resourceId, assignment.ReleaseAndGetAddressOf()))) return -1;
    LONG units = -1;
    assignment->get_Units(&units);
    return units;
}
LONG LinkCount(ITask* task)
{
    ComPtr<ITaskDependencies> list;
    task->get_Predecessors(list.ReleaseAndGetAddressOf());
    LONG n = 0;
    list->get_Count(&n);
    return n;
}
LONG PredecessorId(ITask* task, QMXDependencyType* type = nullptr)
{
    ComPtr<ITaskDependencies> list;
    ComPtr<ITaskDependency> link;
    ComPtr<ITask> pair;
    task->get_Predecessors(list.ReleaseAndGetAddressOf());
    if (FAILED(list->get_Dependencies(0, link.ReleaseAndGetAddressOf()))) return -1;
    link->get_PairTask(pair.ReleaseAndGetAddressOf());
    if (type) link->get_Type(type);
    LONG id = -1;
    pair->get_ID(&id);
    return id;
}

TEST_F(MapLoading, PlainMapLoadsWithDefaultsFillsFullLoadsAndIdentities)
{
    central->put_Text(u"Plan");
    auto a = Add(central.Get(), u"A");
    a->put_FillColor(0xFF112233);
    Info(a.Get())->put_StartDate(kDay);
    Info(a.Get())->put_DueDate(kDay + 5);
    Info(a.Get())->put_DurationHours(16);
    Info(a.Get())->put_DurationUnit(map::kDurationDays);
    Info(a.Get())->put_Priority(5);
    Info(a.Get())->put_Resources(u"Ann; Bob");
    auto b = Add(central.Get(), u"B");
    Info(b.Get())->put_DueDate(kDay + 3);        // a due date without start
    auto c = Add(a.Get(), u"C");                 // neither: the parent's start
    auto floating = Add(central.Get(), u"note");
    floating->put_IsFloating(VARIANT_TRUE);
    Attach();

    VARIANT_BOOL autocorrect = 0, match = 0;
    data->Tree()->get_AutocorrectTaskDates(&autocorrect);
    data->Tree()->get_MatchColors(&match);
    EXPECT_EQ(autocorrect, VARIANT_TRUE);
    EXPECT_EQ(match, VARIANT_TRUE);
    ComPtr<IDocumentProperties> properties;
    data->get_Properties(properties.ReleaseAndGetAddressOf());
    BSTR name;
    properties->get_Name(&name);
    EXPECT_EQ(name, u"Plan");
    EXPECT_EQ(TaskCount(), 3);  // the floating topic has no task

    auto ta = TaskOf(a.Get()), tb = TaskOf(b.Get()), tc = TaskOf(c.Get());
    ASSERT_TRUE(ta && tb && tc);
    EXPECT_EQ(Color(ta.Get()), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(Color(tb.Get()), kNoTaskColor);
    QMXPriority priority = prNone;
    ta->get_Priority(&priority);
    EXPECT_EQ(priority, prLow);
    EXPECT_EQ(Start(tb.Get()), kDay + 3);
    EXPECT_EQ(End(tb.Get()), kDay + 4);
    EXPECT_EQ(Start(tc.Get()), kDay);
    EXPECT_EQ(Start(ta.Get()), kDay);
    LONG ann = -1, bob = -1;
    for (auto& [n, id] : adapter->Memory().resourceNameMap) (n == u"Ann" ? ann : bob) = id;
    EXPECT_EQ(Units(ta.Get(), ann), 100);
    EXPECT_EQ(Units(ta.Get(), bob), 100);
    EXPECT_EQ(adapter->Memory().resourceUseCount.at(ann), 1);
    EXPECT_EQ(LinkCount(ta.Get()) + LinkCount(tb.Get()) + LinkCount(tc.Get()), 0);
    for (auto* topic : {a.Get(), b.Get(), c.Get()}) EXPECT_EQ(Attr(topic, kGuidCopy), Guid(topic));
    EXPECT_EQ(data->Plan()->AdjustTimeRangeCalls(), 1);

    // Written back unchanged, the map's priority 5 stays.
    EXPECT_EQ(adapter->TaskUpdate(IdOf(a.Get())), S_OK);
    LONG mapPriority = 0;
    Info(a.Get())->get_Priority(&mapPriority);
    EXPECT_EQ(mapPriority, 5);
}

TEST_F(MapLoading, SummaryWithoutDatesTakesItsChildrensSpan)
{
    auto parent = Add(central.Get(), u"P");
    auto one = Add(parent.Get(), u"1");
    auto two = Add(parent.Get(), u"2");
    Info(one.Get())->put_StartDate(kDay + 2);
    Info(one.Get())->put_DueDate(kDay + 4);
    Info(two.Get())->put_StartDate(kDay + 1);
    Info(two.Get())->put_DueDate(kDay + 9);
    Attach();
    auto p = TaskOf(parent.Get());
    EXPECT_EQ(Start(p.Get()), kDay + 1);
    EXPECT_EQ(End(p.Get()), kDay + 9);
}

TEST_F(MapLoading, SettingsPoolLoadsAndViewSettingsFromTheCentralTopic)
{
    SetAttr(central.Get(), kAutocorrectDates, u"false");
    SetAttr(central.Get(), kMatchColors, u"0");
    SetAttr(central.Get(), kViewSettings, u"opaque view text");
    SetAttr(central.Get(), kResources, u"4,Ann,1;7,Unused,0;bad;9,Kept,1");
    auto a = Add(central.Get(), u"A");
    a->put_FillColor(0xFF0000FF);                 // ignored: colours are in attributes
    SetAttr(a.Get(), kColor, u"#102030");
    Info(a.Get())->put_Resources(u"Ann,New");
    SetAttr(a.Get(), kTaskResources, u"4,25;x,5;99,10");
    SetAttr(a.Get(), kIsMilestone, u"true");
    auto b = Add(central.Get(), u"B");
    SetAttr(b.Get(), kColor, u"nonsense");
    Attach();

    VARIANT_BOOL autocorrect = VARIANT_TRUE, match = VARIANT_TRUE;
    data->Tree()->get_AutocorrectTaskDates(&autocorrect);
    data->Tree()->get_MatchColors(&match);
    EXPECT_EQ(autocorrect, VARIANT_FALSE);
    EXPECT_EQ(match, VARIANT_FALSE);
    BSTR view;
    data->get_CurrentViewSettings(&view);
    EXPECT_EQ(view, u"opaque view text");
    auto ta = TaskOf(a.Get());
    EXPECT_EQ(Color(ta.Get()), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(Color(TaskOf(b.Get()).Get()), kNoTaskColor);
    VARIANT_BOOL milestone = 0;
    ta->get_IsMilestone(&milestone);
    EXPECT_EQ(milestone, VARIANT_TRUE);
    EXPECT_EQ(Units(ta.Get(), 4), 25);
    const LONG created = adapter->Memory().resourceNameMap.at(u"New");
    EXPECT_EQ(created, 10);  // the largest ID in use plus 1
    EXPECT_EQ(Units(ta.Get(), created), 100);
    const auto& counts = adapter->Memory().resourceUseCount;
    EXPECT_EQ(counts.at(4), 1);
    EXPECT_EQ(counts.at(9), 0);  // flagged, named nowhere
    EXPECT_FALSE(counts.contains(7));
    LONG pool = 0;
    data->Pool()->get_Count(&pool);
    EXPECT_EQ(pool, 4);
}

TEST_F(MapLoading, CopiedTopicIsRecognisedAndLinksResolveToSourceThenCopy)
{
    auto source = Add(central.Get(), u"S");
    auto copy = Add(central.Get(), u"S copy");
    auto dependent = Add(central.Get(), u"D");
    const BSTR sourceGuid = Guid(source.Get());
    SetAttr(source.Get(), kGuidCopy, sourceGuid);
    // A pasted copy carries the attributes of its source.
    SetAttr(copy.Get(), kGuidCopy, sourceGuid);
    SetAttr(dependent.Get(), kPredecessors, sourceGuid + u",0;{00000000-0000-0000-0000-00000000DEAD},2");
    Attach();
    EXPECT_EQ(Attr(copy.Get(), kGuidCopy), Guid(copy.Get()));
    QMXDependencyType type = dtFinishToStart;
    EXPECT_EQ(PredecessorId(TaskOf(dependent.Get()).Get(), &type), IdOf(source.Get()));
    EXPECT_EQ(type, dtStartToStart);
    EXPECT_EQ(LinkCount(TaskOf(dependent.Get()).Get()), 1);  // the unknown GUID is dropped

    // Without the source (deleted while nobody followed the map, so D still
    // names it), the copy made on the next load stands in.
    ASSERT_EQ(adapter->DisconnectHostApp(), S_OK);
    SetAttr(copy.Get(), kGuidCopy, sourceGuid);
    ASSERT_EQ(source->Delete(), S_OK);
    Attach();
    EXPECT_EQ(PredecessorId(TaskOf(dependent.Get()).Get()), IdOf(copy.Get()));

    // Deleted while the adapter follows, the copy's link goes from the plan
    // and from D's topic alike: the next load has none to resolve.
    ASSERT_EQ(copy->Delete(), S_OK);
    EXPECT_EQ(Attr(dependent.Get(), kPredecessors), u"");
    ASSERT_EQ(adapter->Refresh(), S_OK);
    EXPECT_EQ(LinkCount(TaskOf(dependent.Get()).Get()), 0);
}

TEST_F(MapLoading, GuidsMatchWithoutRegardToCaseAndCyclesAreDropped)
{
    auto a = Add(central.Get(), u"A");
    auto b = Add(central.Get(), u"B");
    BSTR lowerA = Guid(a.Get()), lowerB = Guid(b.Get());
    for (char16_t& ch : lowerA) ch = char16_t(std::tolower(ch));
    for (char16_t& ch : lowerB) ch = char16_t(std::tolower(ch));
    SetAttr(a.Get(), kGuidCopy, lowerA);  // the same identity, other case
    SetAttr(a.Get(), kPredecessors, lowerB + u",2;" + Guid(a.Get()) + u",2");
    SetAttr(b.Get(), kPredecessors, lowerA + u",2");
    Attach();
    EXPECT_EQ(Attr(a.Get(), kGuidCopy), lowerA);
    // A's links are read first: B before A stands, A before B would close
    // a cycle, A before A is refused.
    EXPECT_EQ(PredecessorId(TaskOf(a.Get()).Get()), IdOf(b.Get()));
    EXPECT_EQ(LinkCount(TaskOf(a.Get()).Get()), 1);
    EXPECT_EQ(LinkCount(TaskOf(b.Get()).Get()), 0);
}

TEST_F(MapLoading, DeepMapsLoadWithoutRecursion)
{
    ComPtr<IMmTopic> topic = central;
    for (int i = 0; i < 5000; ++i) topic = Add(topic.Get(), u"deep");
    Attach();
    EXPECT_EQ(TaskCount(), 5000);
}

}  // namespace
}  // namespace qmx::mm::testing

namespace qmx::mm::testing {
namespace {

// The example map shipped for trying the map road by hand holds the example
// plan; it must load whole, or the first thing a user sees is a broken plan.
TEST_F(MapLoading, ExampleMapLoadsAsTheExamplePlan)
{
    ASSERT_EQ(adapter->FileOpen(0, Utf8ToBstr(QMX_EXAMPLE_MAP)), S_OK);
    ProjectCounts counts;
    ASSERT_EQ(CountProject(data.Get(), &counts), S_OK);
    EXPECT_EQ(counts.tasks, 31);
    EXPECT_EQ(counts.links, 22);
    EXPECT_EQ(counts.resources, 6);
    EXPECT_EQ(counts.assignments, 28);
    std::string json;
    ASSERT_EQ(DumpProjectJson(data.Get(), &json), S_OK);
    for (const char* text : {"\"Web shop relaunch\"", "\"Stakeholder interviews\"", "\"Anna (project lead)\"",
                             "\"2027-01-04T00:00:00\""})
        EXPECT_NE(json.find(text), std::string::npos) << text;
}

}  // namespace
}  // namespace qmx::mm::testing
