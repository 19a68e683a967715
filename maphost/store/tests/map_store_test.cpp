// The map store through its automation interface: documents, topics and
// their values, the events of every change in order and phase, collections,
// commands and user-interface items.
#include <gtest/gtest.h>

#include <regex>

#include "automation/bstr.h"
#include "maphost/api/map_codes.h"
#include "maphost/api/map_factory.h"
#include "maphost/store/tests/event_recorder.h"

namespace qmx::map {
namespace {

using testing::EventRecorder;
using testing::Subscription;
using Events = std::vector<std::string>;

class MapStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CreateInProcessApplication(app.ReleaseAndGetAddressOf()), S_OK);
        ASSERT_EQ(app->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf()), S_OK);
        ASSERT_EQ(documents->Add(0, document.ReleaseAndGetAddressOf()), S_OK);
        ASSERT_EQ(document->get_CentralTopic(central.ReleaseAndGetAddressOf()), S_OK);
    }

    ComPtr<IMmTopic> Add(IMmTopic* parent, const char16_t* text)
    {
        ComPtr<IMmTopic> topic;
        EXPECT_EQ(parent->AddSubTopic(text, topic.ReleaseAndGetAddressOf()), S_OK);
        return topic;
    }
    ComPtr<IMmTopic> Child(IMmTopic* parent, LONG index)
    {
        ComPtr<IMmTopics> list;
        parent->get_SubTopics(VARIANT_TRUE, list.ReleaseAndGetAddressOf());
        ComPtr<IMmTopic> topic;
        list->Item(index, topic.ReleaseAndGetAddressOf());
        return topic;
    }
    std::string Texts(IMmTopic* parent)
    {
        ComPtr<IMmTopics> list;
        parent->get_SubTopics(VARIANT_TRUE, list.ReleaseAndGetAddressOf());
        LONG count = 0;
        list->get_Count(&count);
        std::string texts;
        for (LONG i = 1; i <= count; ++i) {
            BSTR text;
            Child(parent, i)->get_Text(&text);
            texts += (i > 1 ? " " : "") + BstrToUtf8(text);
        }
        return texts;
    }
    BSTR Guid(IMmTopic* topic)
    {
        BSTR guid;
        topic->get_Guid(&guid);
        return guid;
    }

    ComPtr<IMmApplication> app;
    ComPtr<IMmDocuments> documents;
    ComPtr<IMmDocument> document;
    ComPtr<IMmTopic> central;
};

TEST_F(MapStoreTest, NewMapsAreNamedInTurnAndBecomeActive)
{
    BSTR name;
    document->get_Name(&name);
    EXPECT_EQ(name, u"Map1");
    ComPtr<IMmDocument> second;
    ASSERT_EQ(documents->Add(0, second.ReleaseAndGetAddressOf()), S_OK);
    second->get_Name(&name);
    EXPECT_EQ(name, u"Map2");
    LONG count = 0;
    documents->get_Count(&count);
    EXPECT_EQ(count, 2);
    ComPtr<IMmDocument> active;
    EXPECT_EQ(app->get_ActiveDocument(active.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(active.Get(), second.Get());
    BSTR fullName = u"x";
    document->get_FullName(&fullName);
    EXPECT_TRUE(fullName.empty());
    VARIANT_BOOL flag = VARIANT_TRUE;
    document->get_IsModified(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);
    ComPtr<IMmDocument> none;
    EXPECT_EQ(documents->Item(3, none.ReleaseAndGetAddressOf()), E_INVALIDARG);
}

TEST_F(MapStoreTest, TopicsHaveBracedUpperCaseGuidsFoundInAnyCase)
{
    ComPtr<IMmTopic> topic = Add(central.Get(), u"Task");
    const BSTR guid = Guid(topic.Get());
    const std::string text = BstrToUtf8(guid);
    EXPECT_TRUE(std::regex_match(text, std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\})")))
        << text;
    EXPECT_NE(guid, Guid(central.Get()));

    ComPtr<IMmRange> range;
    ASSERT_EQ(document->get_Range(2, 0, range.ReleaseAndGetAddressOf()), S_OK);
    LONG count = 0;
    range->get_Count(&count);
    EXPECT_EQ(count, 2);
    BSTR lower;
    for (char16_t c : guid.substr(1, 36)) lower += (c >= u'A' && c <= u'F') ? char16_t(c + 32) : c;
    for (const BSTR& form : {guid, lower}) {
        ComPtr<IMmTopic> found;
        ASSERT_EQ(range->TopicByGuid(form, found.ReleaseAndGetAddressOf()), S_OK) << BstrToUtf8(form);
        EXPECT_EQ(found.Get(), topic.Get());
    }
    ComPtr<IMmTopic> found;
    EXPECT_EQ(range->TopicByGuid(u"{00000000-0000-0000-0000-000000000000}", found.ReleaseAndGetAddressOf()), E_INVALIDARG);
    EXPECT_EQ(range->TopicByGuid(u"not a guid", found.ReleaseAndGetAddressOf()), E_INVALIDARG);
    topic->Delete();
    EXPECT_EQ(range->TopicByGuid(guid, found.ReleaseAndGetAddressOf()), E_INVALIDARG);
    EXPECT_EQ(Guid(topic.Get()), guid) << "a deleted topic keeps its identity";
}

TEST_F(MapStoreTest, TreeShapeParentsAndCentralFlag)
{
    ComPtr<IMmTopic> a = Add(central.Get(), u"A");
    ComPtr<IMmTopic> b = Add(central.Get(), u"B");
    ComPtr<IMmTopic> a1 = Add(a.Get(), u"A1");
    EXPECT_EQ(Texts(central.Get()), "A B");
    EXPECT_EQ(Child(central.Get(), 2).Get(), b.Get());
    VARIANT_BOOL flag = VARIANT_FALSE;
    central->get_IsCentralTopic(&flag);
    EXPECT_EQ(flag, VARIANT_TRUE);
    a1->get_IsCentralTopic(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);
    ComPtr<IMmTopic> parent;
    EXPECT_EQ(a1->get_ParentTopic(parent.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(parent.Get(), a.Get());
    EXPECT_EQ(central->get_ParentTopic(parent.ReleaseAndGetAddressOf()), S_FALSE);
    EXPECT_EQ(parent.Get(), nullptr);
    ComPtr<IMmDocument> owner;
    a1->get_Document(owner.ReleaseAndGetAddressOf());
    EXPECT_EQ(owner.Get(), document.Get());
    EXPECT_EQ(central->Delete(), E_FAIL);
    ComPtr<IMmTopics> list;
    central->get_SubTopics(VARIANT_FALSE, list.ReleaseAndGetAddressOf());
    ComPtr<IMmTopic> none;
    EXPECT_EQ(list->Item(0, none.ReleaseAndGetAddressOf()), E_INVALIDARG);
    EXPECT_EQ(list->Item(3, none.ReleaseAndGetAddressOf()), E_INVALIDARG);
    VARIANT_BOOL modified = VARIANT_FALSE;
    document->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_TRUE);
}

TEST_F(MapStoreTest, TopicEventsComeBeforeAndAfterEachChange)
{
    Subscription all(app.Get(), kEventTopicMask);
    ComPtr<IMmTopic> a = Add(central.Get(), u"A");
    ComPtr<IMmTopic> a1 = Add(a.Get(), u"A1");
    Add(a1.Get(), u"A11");
    Add(a.Get(), u"A2");
    EXPECT_EQ(all.events(), (Events{"1/1:A", "1/2:A", "1/1:A1", "1/2:A1", "1/1:A11", "1/2:A11", "1/1:A2", "1/2:A2"}));

    all.events().clear();
    a->put_Text(u"Renamed");
    a->put_Text(u"Renamed");  // no change, no event
    ComPtr<IMmTaskInfo> task;
    a->get_TaskInfo(task.ReleaseAndGetAddressOf());
    task->put_PercentComplete(40);
    EXPECT_EQ(task->put_PercentComplete(140), E_INVALIDARG);
    EXPECT_EQ(all.events(), (Events{"4/1:A", "4/2:Renamed", "4/1:Renamed", "4/2:Renamed"}));

    // Deepest first, each between its two events; the parent last.
    all.events().clear();
    EXPECT_EQ(a->Delete(), S_OK);
    EXPECT_EQ(all.events(), (Events{"2/1:A2", "2/2:A2", "2/1:A11", "2/2:A11", "2/1:A1", "2/2:A1", "2/1:Renamed",
                                    "2/2:Renamed"}));
    EXPECT_EQ(Texts(central.Get()), "");
    EXPECT_EQ(a->put_Text(u"gone"), E_FAIL);
    EXPECT_EQ(a->Delete(), E_FAIL);
}

TEST_F(MapStoreTest, EventsReachOnlyTheKindsOfTheMaskAndStopOnUnregister)
{
    Subscription added(app.Get(), kEventTopicAdded);
    Subscription documentsOnly(app.Get(), kEventDocumentActivated | kEventDocumentClosed);
    ComPtr<IMmTopic> a = Add(central.Get(), u"A");
    a->put_Text(u"B");
    EXPECT_EQ(added.events(), (Events{"1/1:A", "1/2:A"}));
    EXPECT_TRUE(documentsOnly.events().empty());

    // A sink that unregisters its subscription hears nothing more, even
    // the after phase of the event it is in.
    added.recorder->onEvent = [&](IMmEventData*) { added.subscription->Unregister(); };
    added.events().clear();
    Add(central.Get(), u"C");
    Add(central.Get(), u"D");
    EXPECT_EQ(added.events(), (Events{"1/1:C"}));
    ComPtr<IMmEventManager> manager;
    app->get_EventManager(manager.ReleaseAndGetAddressOf());
    ComPtr<IMmEventSubscription> empty;
    EXPECT_EQ(manager->Register(0, -1, -1, 0, empty.ReleaseAndGetAddressOf()), E_INVALIDARG);
}

TEST_F(MapStoreTest, SinksMayChangeTheMapInsideEvents)
{
    ComPtr<IMmTopic> a = Add(central.Get(), u"A");
    ComPtr<IMmTopic> a1 = Add(a.Get(), u"A1");
    ComPtr<IMmTopic> b = Add(central.Get(), u"B");
    Subscription all(app.Get(), kEventTopicMask);

    // Deleting the parent from the before event of a child's deletion.
    bool once = false;
    all.recorder->onEvent = [&](IMmEventData*) {
        if (!once) {
            once = true;
            a->Delete();
        }
    };
    EXPECT_EQ(a1->Delete(), S_OK);
    EXPECT_EQ(Texts(central.Get()), "B");

    // A change refused because a sink deleted the topic in the before
    // phase; the sink hears the deletion it makes and deletes again, which
    // is already under way.
    all.events().clear();
    std::vector<HRESULT> results;
    all.recorder->onEvent = [&](IMmEventData*) { results.push_back(b->Delete()); };
    EXPECT_EQ(b->put_Text(u"changed"), E_FAIL);
    EXPECT_EQ(Texts(central.Get()), "");
    EXPECT_EQ(all.events(), (Events{"4/1:B", "2/1:B", "2/2:B"}));
    // Inside: under way; after it: gone; the outer one last.
    EXPECT_EQ(results, (std::vector<HRESULT>{S_FALSE, E_FAIL, S_OK}));
}

TEST_F(MapStoreTest, AttributesLiveInTheirNamespace)
{
    ComPtr<IMmTopic> topic = Add(central.Get(), u"T");
    ComPtr<IMmAttributes> mine, other;
    ASSERT_EQ(topic->get_Attributes(u"urn:mine", mine.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(topic->get_Attributes(u"urn:other", other.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmAttributes> none;
    EXPECT_EQ(topic->get_Attributes(u"", none.ReleaseAndGetAddressOf()), E_INVALIDARG);
    BSTR value = u"stale";
    EXPECT_EQ(mine->GetAttributeValue(u"Successors", &value), S_FALSE);
    EXPECT_TRUE(value.empty());

    Subscription changes(app.Get(), kEventTopicChanged);
    EXPECT_EQ(mine->SetAttributeValue(u"Successors", u"{A},2;{B},0"), S_OK);
    EXPECT_EQ(mine->SetAttributeValue(u"Successors", u"{A},2;{B},0"), S_OK);
    EXPECT_EQ(mine->SetAttributeValue(u"Empty", u""), S_OK);
    EXPECT_EQ(mine->SetAttributeValue(u"", u"x"), E_INVALIDARG);
    EXPECT_EQ(changes.events().size(), 4u) << "two changes, the same value again is none";
    EXPECT_EQ(mine->GetAttributeValue(u"Successors", &value), S_OK);
    EXPECT_EQ(value, u"{A},2;{B},0");
    EXPECT_EQ(mine->GetAttributeValue(u"Empty", &value), S_OK) << "an empty value is present";
    EXPECT_EQ(other->GetAttributeValue(u"Successors", &value), S_FALSE);

    LONG count = 0;
    mine->get_Count(&count);
    EXPECT_EQ(count, 2);
    BSTR name;
    mine->get_Name(1, &name);
    EXPECT_EQ(name, u"Empty");
    EXPECT_EQ(mine->get_Name(3, &name), E_INVALIDARG);
    EXPECT_EQ(mine->DeleteAttribute(u"Empty"), S_OK);
    EXPECT_EQ(mine->DeleteAttribute(u"Empty"), S_FALSE);
    mine->get_Count(&count);
    EXPECT_EQ(count, 1);
    // A second object on the same namespace sees the same values.
    ComPtr<IMmAttributes> again;
    topic->get_Attributes(u"urn:mine", again.ReleaseAndGetAddressOf());
    EXPECT_EQ(again->GetAttributeValue(u"Successors", &value), S_OK);
}

TEST_F(MapStoreTest, FillColourIsNoneUntilSetAndAfterClear)
{
    ComPtr<IMmTopic> topic = Add(central.Get(), u"T");
    DWORD color = 1;
    VARIANT_BOOL has = VARIANT_TRUE;
    EXPECT_EQ(topic->get_FillColor(&color), S_FALSE);
    EXPECT_EQ(color, 0u);
    topic->get_HasFillColor(&has);
    EXPECT_EQ(has, VARIANT_FALSE);
    for (DWORD value : {0xFF336699u, 0x00000000u, 0x80FFFFFFu}) {
        ASSERT_EQ(topic->put_FillColor(value), S_OK);
        EXPECT_EQ(topic->get_FillColor(&color), S_OK);
        EXPECT_EQ(color, value);
        topic->get_HasFillColor(&has);
        EXPECT_EQ(has, VARIANT_TRUE) << "black with no alpha is still a colour";
    }
    EXPECT_EQ(topic->ClearFillColor(), S_OK);
    EXPECT_EQ(topic->get_FillColor(&color), S_FALSE);
}

TEST_F(MapStoreTest, TaskInformationKeepsValidValuesAndRefusesOthers)
{
    ComPtr<IMmTopic> topic = Add(central.Get(), u"T");
    ComPtr<IMmTaskInfo> task;
    topic->get_TaskInfo(task.ReleaseAndGetAddressOf());
    EXPECT_EQ(task->put_Priority(5), S_OK);
    EXPECT_EQ(task->put_StartDate(46000.5), S_OK);
    EXPECT_EQ(task->put_DueDate(46003), S_OK);
    EXPECT_EQ(task->put_DurationHours(12), S_OK);
    EXPECT_EQ(task->put_DurationUnit(kDurationWeeks), S_OK);
    EXPECT_EQ(task->put_PercentComplete(100), S_OK);
    EXPECT_EQ(task->put_Resources(u"Ann;Bob"), S_OK);
    LONG n = 0;
    double d = 0;
    BSTR text;
    task->get_Priority(&n);
    EXPECT_EQ(n, 5);
    task->get_StartDate(&d);
    EXPECT_EQ(d, 46000.5);
    task->get_DueDate(&d);
    EXPECT_EQ(d, 46003);
    task->get_DurationHours(&d);
    EXPECT_EQ(d, 12);
    task->get_DurationUnit(&n);
    EXPECT_EQ(n, kDurationWeeks);
    task->get_PercentComplete(&n);
    EXPECT_EQ(n, 100);
    task->get_Resources(&text);
    EXPECT_EQ(text, u"Ann;Bob");

    EXPECT_EQ(task->put_Priority(10), E_INVALIDARG);
    EXPECT_EQ(task->put_Priority(-1), E_INVALIDARG);
    EXPECT_EQ(task->put_DurationUnit(0), E_INVALIDARG);
    EXPECT_EQ(task->put_DurationUnit(4), E_INVALIDARG);
    EXPECT_EQ(task->put_PercentComplete(-1), E_INVALIDARG);
    EXPECT_EQ(task->put_DurationHours(-1), E_INVALIDARG);
    EXPECT_EQ(task->put_DurationHours(std::numeric_limits<double>::quiet_NaN()), E_INVALIDARG);
    EXPECT_EQ(task->put_StartDate(std::numeric_limits<double>::infinity()), E_INVALIDARG);
    EXPECT_EQ(task->put_DueDate(3e6), E_INVALIDARG);
    task->get_Priority(&n);
    EXPECT_EQ(n, 5) << "a refused value leaves the old one";
}

TEST_F(MapStoreTest, InsertMovesTopicsToTheirFinalPosition)
{
    ComPtr<IMmTopic> a = Add(central.Get(), u"A");
    ComPtr<IMmTopic> b = Add(central.Get(), u"B");
    ComPtr<IMmTopic> c = Add(central.Get(), u"C");
    ComPtr<IMmTopic> c1 = Add(c.Get(), u"C1");
    ComPtr<IMmTopics> list;
    central->get_SubTopics(VARIANT_FALSE, list.ReleaseAndGetAddressOf());
    Subscription changes(app.Get(), kEventTopicMask);

    EXPECT_EQ(list->Insert(a.Get(), 3), S_OK);
    EXPECT_EQ(Texts(central.Get()), "B C A");
    EXPECT_EQ(list->Insert(a.Get(), 1), S_OK);
    EXPECT_EQ(Texts(central.Get()), "A B C");
    EXPECT_EQ(list->Insert(a.Get(), 4), S_OK) << "Count + 1 appends";
    EXPECT_EQ(Texts(central.Get()), "B C A");
    EXPECT_EQ(list->Insert(a.Get(), 3), S_FALSE) << "already there";
    EXPECT_EQ(list->Insert(c1.Get(), -1), S_OK);
    EXPECT_EQ(Texts(central.Get()), "B C A C1");
    EXPECT_EQ(changes.events(), (Events{"4/1:A", "4/2:A", "4/1:A", "4/2:A", "4/1:A", "4/2:A", "4/1:C1", "4/2:C1"}));

    ComPtr<IMmTopics> belowC;
    c->get_SubTopics(VARIANT_TRUE, belowC.ReleaseAndGetAddressOf());
    EXPECT_EQ(belowC->Insert(c.Get(), 1), E_INVALIDARG) << "not below itself";
    EXPECT_EQ(belowC->Insert(central.Get(), 1), E_FAIL);
    EXPECT_EQ(list->Insert(b.Get(), 0), E_INVALIDARG);
    EXPECT_EQ(list->Insert(b.Get(), 6), E_INVALIDARG);
    ComPtr<IMmDocument> other;
    documents->Add(0, other.ReleaseAndGetAddressOf());
    ComPtr<IMmTopic> otherCentral;
    other->get_CentralTopic(otherCentral.ReleaseAndGetAddressOf());
    ComPtr<IMmTopic> stranger = Add(otherCentral.Get(), u"X");
    EXPECT_EQ(list->Insert(stranger.Get(), 1), E_INVALIDARG);
}

TEST_F(MapStoreTest, ClosingAMapRaisesItsEventsAndActivatesAnother)
{
    ComPtr<IMmDocument> second;
    documents->Add(0, second.ReleaseAndGetAddressOf());
    ComPtr<IMmTopic> topic = Add(central.Get(), u"T");
    Subscription events(app.Get(), 32 | 64 | 128 | 256);
    EXPECT_EQ(document->Activate(), S_OK);
    EXPECT_EQ(document->Activate(), S_OK);
    EXPECT_EQ(events.events(), (Events{"128/2:Map1"}));
    events.events().clear();
    EXPECT_EQ(document->Close(), S_OK);
    EXPECT_EQ(events.events(), (Events{"64/2:Map1", "256/2:Map1", "128/2:Map2"}));
    EXPECT_EQ(document->Close(), S_FALSE);
    LONG count = 0;
    documents->get_Count(&count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(topic->put_Text(u"x"), E_FAIL) << "the topics left with their map";
    BSTR text;
    EXPECT_EQ(topic->get_Text(&text), S_OK);
    EXPECT_EQ(text, u"T");
    EXPECT_EQ(document->Save(), E_FAIL);

    events.events().clear();
    second->Close();
    EXPECT_EQ(events.events(), (Events{"64/2:Map2", "256/2:Map2"}));
    ComPtr<IMmDocument> active;
    EXPECT_EQ(app->get_ActiveDocument(active.ReleaseAndGetAddressOf()), S_FALSE);
}

class CommandSink final : public ComObject<IMmCommandSink> {
public:
    HRESULT OnRun() override
    {
        ++runs;
        return S_OK;
    }
    HRESULT OnUpdateState(VARIANT_BOOL* pEnabled, VARIANT_BOOL* pChecked) override
    {
        *pEnabled = enabled;
        *pChecked = VARIANT_TRUE;
        return S_OK;
    }
    int runs = 0;
    VARIANT_BOOL enabled = VARIANT_FALSE;
};

TEST_F(MapStoreTest, CommandsRunAndAnswerTheirStateThroughTheirSinks)
{
    ComPtr<IMmCommands> commands;
    ASSERT_EQ(app->get_Commands(commands.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmCommand> command, same, other;
    ASSERT_EQ(commands->Add(u"Some.AddIn", u"ShowCommand", command.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(commands->Add(u"Some.AddIn", u"ShowCommand", same.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(commands->Add(u"Other.AddIn", u"ShowCommand", other.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(command.Get(), same.Get());
    EXPECT_NE(command.Get(), other.Get());
    EXPECT_EQ(commands->Add(u"", u"x", same.ReleaseAndGetAddressOf()), E_INVALIDARG);
    command->put_Caption(u"Show &It");
    command->put_ImagePath(u"/opt/addin/sys/image.bmp");
    BSTR text;
    command->get_Caption(&text);
    EXPECT_EQ(text, u"Show &It");

    VARIANT_BOOL enabled = VARIANT_FALSE, checked = VARIANT_TRUE;
    EXPECT_EQ(command->QueryState(&enabled, &checked), S_OK);
    EXPECT_EQ(enabled, VARIANT_TRUE) << "enabled while no sink answers";
    EXPECT_EQ(checked, VARIANT_FALSE);

    ComPtr<CommandSink> sink = MakeObject<CommandSink>();
    ComPtr<IMmConnectionPoint> point;
    command->get_ConnectionPoint(point.ReleaseAndGetAddressOf());
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(sink.Get(), &cookie), S_OK);
    command->Execute();
    EXPECT_EQ(sink->runs, 1);
    command->QueryState(&enabled, &checked);
    EXPECT_EQ(enabled, VARIANT_FALSE);
    EXPECT_EQ(checked, VARIANT_TRUE);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    command->Execute();
    EXPECT_EQ(sink->runs, 1);
    EXPECT_EQ(point->Advise(central.Get(), &cookie), E_NOINTERFACE);

    ComPtr<IMmUserInterfaces> items;
    app->get_UserInterfaces(items.ReleaseAndGetAddressOf());
    ComPtr<IMmUserInterface> addIns;
    ASSERT_EQ(items->Item(kAddInsUserInterfaceItem, addIns.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmUiControls> controls;
    addIns->get_Controls(controls.ReleaseAndGetAddressOf());
    EXPECT_EQ(controls->Add(command.Get(), 0), S_OK);
    EXPECT_EQ(controls->Add(command.Get(), 0), S_OK);
    LONG count = 0;
    controls->get_Count(&count);
    EXPECT_EQ(count, 1);
    ComPtr<IMmCommand> placed;
    controls->Item(1, placed.ReleaseAndGetAddressOf());
    EXPECT_EQ(placed.Get(), command.Get());
    EXPECT_EQ(items->Item(4, addIns.ReleaseAndGetAddressOf()), E_INVALIDARG);
}

}  // namespace
}  // namespace qmx::map
