// Every model change written into the map, and the write depth keeping the
// adapter from taking its own writes for the user's.
#include "adapters/mindmanager/map_formats.h"
#include "adapters/mindmanager/tests/map_fixture.h"

namespace qmx::mm::testing {
namespace {

constexpr DATE kDay = 45292;

class MapWriteBack : public MapFixture {
protected:
    void SetUp() override
    {
        MapFixture::SetUp();
        a = Add(central.Get(), u"A");
        b = Add(central.Get(), u"B");
        Info(a.Get())->put_Resources(u"Ann");
        Attach();
    }
    ComPtr<ITask> NewTask(LONG parent, const char16_t* name)
    {
        ComPtr<ITask> task;
        EXPECT_EQ(data->Tree()->AddTask(parent, -1, name, task.ReleaseAndGetAddressOf()), S_OK);
        LONG id = -1;
        task->get_ID(&id);
        EXPECT_EQ(adapter->TaskNew(id), S_OK);
        return task;
    }
    static LONG Id(ITask* task)
    {
        LONG id = -1;
        task->get_ID(&id);
        return id;
    }
    ComPtr<IMmTopic> a, b;
};

TEST_F(MapWriteBack, NewTasksGetTopicsWithoutEchoingBackAsTasks)
{
    auto child = NewTask(IdOf(a.Get()), u"child");
    auto root = NewTask(0, u"root");
    EXPECT_EQ(TaskCount(), 4);  // the map's added events were the adapter's own
    ASSERT_EQ(SubTopicCount(a.Get()), 1);
    auto topic = SubTopic(a.Get(), 1);
    EXPECT_EQ(Text(topic.Get()), u"child");
    EXPECT_EQ(Attr(topic.Get(), kGuidCopy), Guid(topic.Get()));
    EXPECT_EQ(IdOf(topic.Get()), Id(child.Get()));
    EXPECT_EQ(Text(SubTopic(central.Get(), 3).Get()), u"root");

    // A task inserted first among its siblings gets the first topic.
    ComPtr<ITask> first;
    data->Tree()->AddTask(0, 0, u"first", first.ReleaseAndGetAddressOf());
    ASSERT_EQ(adapter->TaskNew(Id(first.Get())), S_OK);
    EXPECT_EQ(Text(SubTopic(central.Get(), 1).Get()), u"first");
}

TEST_F(MapWriteBack, TaskValuesGoIntoTaskInformation)
{
    auto task = TaskOf(b.Get());
    task->put_Name(u"Renamed");
    task->put_StartDate(kDay);
    task->put_Duration(1.5f);
    task->put_DurationUnit(duDay);
    task->put_PercentComplete(40);
    task->put_IsMilestone(VARIANT_TRUE);
    task->put_Priority(prHigh);
    ComPtr<ITaskAppearance> appearance;
    task->get_Appearance(appearance.ReleaseAndGetAddressOf());
    appearance->put_Color(RGB(1, 2, 3));
    ASSERT_EQ(adapter->TaskUpdate(IdOf(b.Get())), S_OK);
    auto info = Info(b.Get());
    double hours = 0;
    LONG unit = 0, percent = 0, priority = 0;
    DATE start = 0, due = 0;
    info->get_DurationHours(&hours);
    info->get_DurationUnit(&unit);
    info->get_PercentComplete(&percent);
    info->get_Priority(&priority);
    info->get_StartDate(&start);
    info->get_DueDate(&due);
    EXPECT_EQ(Text(b.Get()), u"Renamed");
    EXPECT_EQ(hours, 12);
    EXPECT_EQ(unit, map::kDurationHours);
    EXPECT_EQ(percent, 40);
    EXPECT_EQ(priority, 1);
    EXPECT_EQ(start, kDay);
    EXPECT_EQ(due, kDay + 1.5);
    EXPECT_EQ(Attr(b.Get(), kIsMilestone), u"true");
    DWORD fill = 0;
    b->get_FillColor(&fill);
    EXPECT_EQ(fill, 0xFF010203u);

    task->put_Duration(10);
    task->put_DurationUnit(duWeek);
    ASSERT_EQ(adapter->TaskUpdate(IdOf(b.Get())), S_OK);
    info->get_DurationHours(&hours);
    info->get_DurationUnit(&unit);
    EXPECT_EQ(hours, 80);
    EXPECT_EQ(unit, map::kDurationWeeks);

    // No colour clears the fill.
    appearance->put_Color(kNoTaskColor);
    ASSERT_EQ(adapter->TaskUpdate(IdOf(b.Get())), S_OK);
    VARIANT_BOOL has = VARIANT_TRUE;
    b->get_HasFillColor(&has);
    EXPECT_EQ(has, VARIANT_FALSE);
}

TEST_F(MapWriteBack, DeleteAndMoveFollowTheTree)
{
    auto child = NewTask(IdOf(a.Get()), u"child");
    const LONG childId = Id(child.Get());
    // Move the child to the root, first place.
    ASSERT_EQ(data->Tree()->MoveTask(childId, 0, 0), S_OK);
    ASSERT_EQ(adapter->TaskMove(childId), S_OK);
    EXPECT_EQ(SubTopicCount(a.Get()), 0);
    EXPECT_EQ(Text(SubTopic(central.Get(), 1).Get()), u"child");
    // Deleting A's task deletes its topic.
    const LONG aId = IdOf(a.Get());
    ASSERT_EQ(data->Tree()->DeleteTask(aId), S_OK);
    ASSERT_EQ(adapter->TaskDelete(aId), S_OK);
    EXPECT_EQ(SubTopicCount(central.Get()), 2);
    EXPECT_EQ(adapter->Memory().GuidOfTask(aId), nullptr);
    EXPECT_EQ(TaskCount(), 2);
    // A task without a topic fails and changes nothing.
    EXPECT_EQ(adapter->TaskUpdate(999), E_INVALIDARG);
}

TEST_F(MapWriteBack, DeletedTasksLeaveTheirPartnersLinks)
{
    const LONG aId = IdOf(a.Get()), bId = IdOf(b.Get());
    const LONG childId = Id(NewTask(bId, u"B.1").Get());
    const LONG cId = Id(NewTask(0, u"C").Get());
    const auto link = [&](LONG from, LONG to) {
        ASSERT_EQ(data->Tree()->DependencyLink(from, to, dtFinishToStart), S_OK);
        ASSERT_EQ(adapter->TaskDependencyLink(from, to, dtFinishToStart), S_OK);
    };
    link(aId, childId);
    link(bId, cId);
    link(aId, cId);
    const ComPtr<IMmTopic> c = TopicOf(cId);
    ASSERT_EQ(Attr(a.Get(), kSuccessors).size(), 2 * (Guid(c.Get()).size() + 2) + 1);
    // The plan drops the links with the task; the topics follow.
    ASSERT_EQ(data->Tree()->DeleteTask(bId), S_OK);
    ASSERT_EQ(adapter->TaskDelete(bId), S_OK);
    EXPECT_EQ(Attr(a.Get(), kSuccessors), Guid(c.Get()) + u",2");
    EXPECT_EQ(Attr(c.Get(), kPredecessors), Guid(a.Get()) + u",2");
    EXPECT_EQ(TaskCount(), 2);
}

TEST_F(MapWriteBack, LinksAreWrittenOnBothEnds)
{
    const LONG aId = IdOf(a.Get()), bId = IdOf(b.Get());
    ASSERT_EQ(data->Tree()->DependencyLink(aId, bId, dtStartToFinish), S_OK);
    ASSERT_EQ(adapter->TaskDependencyLink(aId, bId, dtStartToFinish), S_OK);
    EXPECT_EQ(Attr(a.Get(), kSuccessors), Guid(b.Get()) + u",1");
    EXPECT_EQ(Attr(b.Get(), kPredecessors), Guid(a.Get()) + u",1");
    ASSERT_EQ(data->Tree()->DependencyUnlink(aId, bId), S_OK);
    ASSERT_EQ(adapter->TaskDependencyUnlink(aId, bId), S_OK);
    EXPECT_EQ(Attr(a.Get(), kSuccessors), u"");
    EXPECT_EQ(Attr(b.Get(), kPredecessors), u"");
}

TEST_F(MapWriteBack, AssignmentsCountUsesAndTheLastUseTakesTheResourceAway)
{
    const LONG ann = adapter->Memory().resourceNameMap.at(u"Ann");
    ComPtr<IResource> bob;
    data->Pool()->Add(u"Smith, Bob", bob.ReleaseAndGetAddressOf());
    LONG bobId = -1;
    bob->get_ID(&bobId);
    ASSERT_EQ(adapter->ResourceNew(bobId), S_OK);
    EXPECT_EQ(Attr(central.Get(), kResources), u"1,Ann,1;2,Smith\\, Bob,0");

    auto tb = TaskOf(b.Get());
    ComPtr<ITaskResources> list;
    ComPtr<ITaskResource> assignment;
    tb->get_Resources(list.ReleaseAndGetAddressOf());
    ComPtr<IResource> annResource;
    data->Pool()->GetResourceByID(ann, annResource.ReleaseAndGetAddressOf());
    list->Add(annResource.Get(), assignment.ReleaseAndGetAddressOf());
    ASSERT_EQ(adapter->TaskResourceNew(IdOf(b.Get()), ann), S_OK);
    list->Add(bob.Get(), assignment.ReleaseAndGetAddressOf());
    assignment->put_Units(30);
    ASSERT_EQ(adapter->TaskResourceNew(IdOf(b.Get()), bobId), S_OK);
    BSTR names;
    Info(b.Get())->get_Resources(&names);
    EXPECT_EQ(names, u"Ann;Smith\\, Bob");
    EXPECT_EQ(Attr(b.Get(), kTaskResources), u"1,100;2,30");
    EXPECT_EQ(adapter->Memory().resourceUseCount.at(ann), 2);
    assignment->put_Units(60);
    ASSERT_EQ(adapter->TaskResourceUpdate(IdOf(b.Get()), bobId), S_OK);
    EXPECT_EQ(Attr(b.Get(), kTaskResources), u"1,100;2,60");

    // Renaming rewrites every resources text naming it.
    annResource->put_Name(u"Anna");
    ASSERT_EQ(adapter->ResourceUpdate(ann), S_OK);
    Info(a.Get())->get_Resources(&names);
    EXPECT_EQ(names, u"Anna");
    EXPECT_EQ(adapter->Memory().resourceNameMap.count(u"Ann"), 0u);

    // Two uses of Anna: the first removal keeps her, the second deletes her.
    for (IMmTopic* topic : {a.Get(), b.Get()}) {
        ComPtr<ITaskResources> assignments;
        TaskOf(topic)->get_Resources(assignments.ReleaseAndGetAddressOf());
        assignments->Delete(ann);
        ASSERT_EQ(adapter->TaskResourceDelete(IdOf(topic), ann), S_OK);
    }
    VARIANT_BOOL exists = VARIANT_TRUE;
    data->Pool()->ResourceIDExists(ann, &exists);
    EXPECT_EQ(exists, VARIANT_FALSE);
    EXPECT_EQ(Attr(central.Get(), kResources), u"2,Smith\\, Bob,1");
    Info(b.Get())->get_Resources(&names);
    EXPECT_EQ(names, u"Smith\\, Bob");

    // The pool attribute round-trips through a reload.
    ASSERT_EQ(adapter->Refresh(), S_OK);
    EXPECT_EQ(adapter->Memory().resourceNameMap.at(u"Smith, Bob"), bobId);
    EXPECT_EQ(adapter->Memory().resourceUseCount.at(bobId), 1);

    ASSERT_EQ(data->Pool()->Delete(bobId), S_OK);
    ASSERT_EQ(adapter->ResourceDelete(bobId), S_OK);
    EXPECT_EQ(Attr(central.Get(), kResources), u"");
}

TEST_F(MapWriteBack, DocumentPropertiesSettingsAndView)
{
    ComPtr<IDocumentProperties> properties;
    data->get_Properties(properties.ReleaseAndGetAddressOf());
    properties->put_Name(u"Project");
    properties->put_Description(u"About it");
    b->put_FillColor(0xFF445566);
    data->Tree()->put_AutocorrectTaskDates(VARIANT_FALSE);
    ASSERT_EQ(adapter->FilePropertiesUpdate(), S_OK);
    EXPECT_EQ(Text(central.Get()), u"Project");
    ComPtr<IMmDocumentProperties> mapProperties;
    map->get_Properties(mapProperties.ReleaseAndGetAddressOf());
    BSTR description;
    mapProperties->get_Description(&description);
    EXPECT_EQ(description, u"About it");
    EXPECT_EQ(Attr(central.Get(), kAutocorrectDates), u"false");
    EXPECT_EQ(Attr(central.Get(), kMatchColors), u"true");
    // With matching on, the fills are the colours.
    ComPtr<ITaskAppearance> appearance;
    TaskOf(b.Get())->get_Appearance(appearance.ReleaseAndGetAddressOf());
    COLORREF color = 0;
    appearance->get_Color(&color);
    EXPECT_EQ(color, RGB(0x44, 0x55, 0x66));

    // Switched off, the colours move into the attribute.
    data->Tree()->put_MatchColors(VARIANT_FALSE);
    ASSERT_EQ(adapter->FilePropertiesUpdate(), S_OK);
    EXPECT_EQ(Attr(b.Get(), kColor), u"#445566");
    EXPECT_EQ(Attr(central.Get(), kMatchColors), u"false");

    data->put_CurrentViewSettings(u"zoom=3");
    ASSERT_EQ(adapter->DocumentViewUpdate(), S_OK);
    EXPECT_EQ(Attr(central.Get(), kViewSettings), u"zoom=3");
}

}  // namespace
}  // namespace qmx::mm::testing
