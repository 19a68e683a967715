// The calls the adapter makes on the map, counted through a stand-in for
// the road across processes where each call is a round trip: per loaded
// topic, per edit written back, per change applied from the map. The
// adapter must also work the same through the stand-in as directly
// (identity of objects reached twice, events with wrapped objects).
#include <algorithm>
#include <functional>

#include "adapters/mindmanager/tests/counting_map.h"
#include "adapters/mindmanager/tests/map_fixture.h"
#include "automation/remoting/remote_results.h"

namespace qmx::mm::testing {
namespace {

constexpr DATE kDay = 45292;

class MapRoundTrips : public MapFixture {
protected:
    // groups of `perGroup` dated topics, each naming a resource and linked
    // to its previous sibling.
    void Build(int groups, int perGroup)
    {
        for (int g = 0; g < groups; ++g) {
            auto group = Add(central.Get(), u"Group");
            BSTR previous;
            for (int i = 0; i < perGroup; ++i) {
                auto topic = Add(group.Get(), u"Task");
                auto info = Info(topic.Get());
                info->put_StartDate(kDay + i);
                info->put_DurationHours(16);
                info->put_Resources(i % 2 ? u"Ann" : u"Bob");
                if (!previous.empty()) SetAttr(topic.Get(), kPredecessors, previous + u",2");
                previous = Guid(topic.Get());
            }
        }
    }
    void AttachCounted()
    {
        counted = CountingApplication(app.Get(), counter);
        ASSERT_TRUE(counted);
        ASSERT_EQ(adapter->ConnectHostApp(counted.Get(), u"MindManager.Application.5", VARIANT{}), S_OK);
    }
    std::shared_ptr<CallCounter> counter = std::make_shared<CallCounter>();
    ComPtr<IMmApplication> counted;
};

TEST_F(MapRoundTrips, LoadingReadsEachTopicWithAFixedNumberOfCalls)
{
    Build(4, 25);  // 104 topics
    AttachCounted();
    EXPECT_EQ(TaskCount(), 104);
    // The first load wrote GuidCopy on every topic; a later load reads only.
    counter->Reset();
    ASSERT_EQ(adapter->Refresh(), S_OK);
    EXPECT_EQ(TaskCount(), 104);
    const double perTopic = double(counter->Total()) / 104;
    RecordProperty("calls_per_loaded_topic", std::to_string(perTopic));
    // Each value of a topic is a call of its own; what the topic's objects
    // and flags cost is paid once.
    EXPECT_LE(perTopic, 22.5) << counter->Report();
    // Nothing is written back while reading a map that is up to date.
    EXPECT_EQ(counter->Of("IMmAttributes.SetAttributeValue"), 0) << counter->Report();
    // One attribute object per topic, asked once.
    EXPECT_LE(counter->Of("IMmTopic.get_Attributes"), 104 + 1) << counter->Report();
}

TEST_F(MapRoundTrips, OneEditIsWrittenWithFewCalls)
{
    Build(2, 10);
    AttachCounted();
    auto group = SubTopic(central.Get(), 1);
    auto topic = SubTopic(group.Get(), 5);
    const LONG id = IdOf(topic.Get());
    ComPtr<ITask> task = Task(id);
    ASSERT_TRUE(task);

    struct Edit {
        const char* what;
        std::function<void()> change;
        long limit;
    };
    const Edit edits[] = {
        {"percent complete", [&] { task->put_PercentComplete(55); }, 13},
        {"name", [&] { task->put_Name(u"Renamed"); }, 12},
        {"start date", [&] { task->put_StartDate(kDay + 30); }, 12},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.what);
        edit.change();
        counter->Reset();
        ASSERT_EQ(adapter->TaskUpdate(id), S_OK);
        RecordProperty(std::string("calls_per_edit_") + edit.what, std::to_string(counter->Total()));
        EXPECT_LE(counter->Total(), edit.limit) << counter->Report();
    }
    // The edits reached the map.
    EXPECT_EQ(Text(topic.Get()), u"Renamed");
    LONG percent = 0;
    Info(topic.Get())->get_PercentComplete(&percent);
    EXPECT_EQ(percent, 55);
}

TEST_F(MapRoundTrips, DeletingASubtreeRewritesItsPartnersLinearly)
{
    // A hub linked to every topic of two groups; one group is deleted in
    // the plan, the other in the map.
    constexpr int kPerGroup = 40;
    auto hub = Add(central.Get(), u"Hub");
    auto inPlan = Add(central.Get(), u"Deleted in the plan");
    auto inMap = Add(central.Get(), u"Deleted in the map");
    for (int i = 0; i < kPerGroup; ++i) {
        Add(inPlan.Get(), u"Task");
        Add(inMap.Get(), u"Task");
    }
    AttachCounted();
    const LONG hubId = IdOf(hub.Get());
    std::vector<LONG> linked;
    for (IMmTopic* group : {inPlan.Get(), inMap.Get()}) {
        for (LONG i = 1; i <= kPerGroup; ++i) linked.push_back(IdOf(SubTopic(group, i).Get()));
    }
    for (LONG id : linked) {
        ASSERT_EQ(data->Tree()->DependencyLink(hubId, id, dtFinishToStart), S_OK);
        ASSERT_EQ(adapter->TaskDependencyLink(hubId, id, dtFinishToStart), S_OK);
    }

    // The plan's deletion: the hub's list is written once.
    const LONG groupId = IdOf(inPlan.Get());
    ASSERT_EQ(data->Tree()->DeleteTask(groupId), S_OK);
    counter->Reset();
    ASSERT_EQ(adapter->TaskDelete(groupId), S_OK);
    EXPECT_EQ(counter->Of("IMmAttributes.SetAttributeValue"), 1) << counter->Report();
    EXPECT_LE(counter->Total(), 10 * (kPerGroup + 1) + 10) << counter->Report();
    BSTR remaining = Attr(hub.Get(), kSuccessors);
    EXPECT_EQ(std::count(remaining.begin(), remaining.end(), u';'), kPerGroup - 1);

    // The map's deletion: the map tells of one topic at a time, each time
    // the hub is written once, and the calls stay a fixed number per topic.
    counter->Reset();
    ASSERT_EQ(inMap->Delete(), S_OK);
    EXPECT_LE(counter->Of("IMmAttributes.SetAttributeValue"), kPerGroup + 1) << counter->Report();
    EXPECT_LE(counter->Total(), 20 * (kPerGroup + 1)) << counter->Report();
    EXPECT_EQ(Attr(hub.Get(), kSuccessors), u"");
    EXPECT_EQ(TaskCount(), 1);
}

TEST_F(MapRoundTrips, TheAdapterWorksTheSameThroughTheStandIn)
{
    Build(1, 3);
    AttachCounted();
    EXPECT_EQ(TaskCount(), 4);
    // Events arrive with wrapped topics and documents: a topic added in the
    // map becomes a task, one deleted takes its task.
    auto group = SubTopic(central.Get(), 1);
    auto added = Add(group.Get(), u"added in the map");
    EXPECT_EQ(TaskCount(), 5);
    ASSERT_TRUE(TaskOf(added.Get()));
    counter->Reset();
    Info(added.Get())->put_PercentComplete(70);
    LONG percent = 0;
    TaskOf(added.Get())->get_PercentComplete(&percent);
    EXPECT_EQ(percent, 70);
    RecordProperty("calls_per_change_from_the_map", std::to_string(counter->Total()));
    ASSERT_EQ(added->Delete(), S_OK);
    EXPECT_EQ(TaskCount(), 4);

    // A new task in the plan gets its topic; moving it moves the topic
    // (the wrapper hands the topic back to the map unwrapped).
    ComPtr<ITask> task;
    ASSERT_EQ(data->Tree()->AddTask(0, -1, u"new", task.ReleaseAndGetAddressOf()), S_OK);
    LONG id = -1;
    task->get_ID(&id);
    ASSERT_EQ(adapter->TaskNew(id), S_OK);
    EXPECT_EQ(Text(SubTopic(central.Get(), 2).Get()), u"new");
    ASSERT_EQ(data->Tree()->MoveTask(id, 0, 0), S_OK);
    ASSERT_EQ(adapter->TaskMove(id), S_OK);
    EXPECT_EQ(Text(SubTopic(central.Get(), 1).Get()), u"new");

    // The map closed in the host: the plan goes, and every wrapper is let go.
    ASSERT_EQ(map->Close(), S_OK);
    EXPECT_EQ(TaskCount(), 0);
    ASSERT_EQ(adapter->DisconnectHostApp(), S_OK);
    counted = nullptr;
    EXPECT_GT(counter->Released(), 0);
}

TEST_F(MapRoundTrips, AnApplicationThatWentAwayTakesItsMapAlong)
{
    Build(1, 3);
    AttachCounted();
    ASSERT_EQ(TaskCount(), 4);
    counter->Disconnect();
    // The edit cannot be written: it fails, the plan of the lost map goes
    // and the application is told its document is closed.
    auto task = Task(2);
    ASSERT_TRUE(task);
    task->put_PercentComplete(30);
    EXPECT_EQ(adapter->TaskUpdate(2), RPC_E_DISCONNECTED);
    EXPECT_EQ(TaskCount(), 0);
    EXPECT_EQ(data->closed, 1);
    VARIANT_BOOL opened = VARIANT_TRUE;
    adapter->get_DocIsOpened(&opened);
    EXPECT_EQ(opened, VARIANT_FALSE);
    // Nothing is held of it any more: later changes do nothing.
    EXPECT_EQ(adapter->TaskUpdate(2), S_FALSE);
    EXPECT_EQ(adapter->FileSave(), S_FALSE);
    EXPECT_EQ(adapter->DisconnectHostApp(), S_OK);
    counted = nullptr;
    EXPECT_EQ(data->closed, 1);
}

}  // namespace
}  // namespace qmx::mm::testing
