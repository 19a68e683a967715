// Changes made in the map reach the plan: topics added (also below topics
// still waiting for their task, and pasted copies with their links),
// changed and deleted; the map's document events; the adapter's fixed
// answers and its two modes.
#include "adapters/mindmanager/map_formats.h"
#include "adapters/mindmanager/tests/map_fixture.h"
#include "automation/error_info.h"
#include "maphost/store/map_document.h"

namespace qmx::mm::testing {
namespace {

constexpr DATE kDay = 45292;

using MapEvents = MapFixture;

LONG PredecessorCount(ITask* task)
{
    ComPtr<ITaskDependencies> list;
    task->get_Predecessors(list.ReleaseAndGetAddressOf());
    LONG n = 0;
    list->get_Count(&n);
    return n;
}

TEST_F(MapEvents, AddedTopicsBecomeTasksInTheirPlace)
{
    auto a = Add(central.Get(), u"A");
    auto c = Add(central.Get(), u"C");
    Attach();
    // A topic added in the map between A and C.
    ComPtr<IMmTopic> b = Add(central.Get(), u"B");
    ASSERT_EQ(SubTopicsOf(central.Get())->Insert(b.Get(), 2), S_OK);
    ASSERT_TRUE(TaskOf(b.Get()));
    LONG index = -1;
    TaskOf(b.Get())->get_Index(&index);
    EXPECT_EQ(index, 1);
    auto child = Add(b.Get(), u"B.1");
    Info(child.Get())->put_StartDate(kDay);
    auto task = TaskOf(child.Get());
    ASSERT_TRUE(task);
    ComPtr<ITask> parent;
    task->get_ParentTask(parent.ReleaseAndGetAddressOf());
    LONG parentId = -1;
    parent->get_ID(&parentId);
    EXPECT_EQ(parentId, IdOf(b.Get()));
    DATE start = 0;
    task->get_StartDate(&start);
    EXPECT_EQ(start, kDay);
    EXPECT_EQ(Attr(child.Get(), kGuidCopy), Guid(child.Get()));
    EXPECT_EQ(TaskCount(), 4);
}

// An event as the application hands it out, for a topic the application
// reported at a moment the adapter could not use.
class CAddedEvent final : public ComObject<IMmEventData> {
public:
    CAddedEvent(IMmDocument* document, IMmTopic* topic) : document_(document), topic_(topic) {}
    HRESULT get_Kind(LONG* p) override {
        *p = map::kEventTopicAdded;
        return S_OK;
    }
    HRESULT get_Phase(LONG* p) override {
        *p = map::kPhaseAfter;
        return S_OK;
    }
    HRESULT get_Document(IMmDocument** pp) override { return document_.CopyTo(pp); }
    HRESULT get_ObjectType(LONG* p) override {
        *p = map::kObjectTopic;
        return S_OK;
    }
    HRESULT get_Object(IUnknown** pp) override { return ComPtr<IUnknown>(topic_.Get()).CopyTo(pp); }

private:
    ComPtr<IMmDocument> document_;
    ComPtr<IMmTopic> topic_;
};

TEST_F(MapEvents, TopicsBelowATopicWithoutTaskWaitForIt)
{
    // A floating topic and what hangs below it have no tasks.
    auto holder = Add(central.Get(), u"holder");
    holder->put_IsFloating(VARIANT_TRUE);
    auto parent = Add(holder.Get(), u"P");
    auto child = Add(parent.Get(), u"C");
    Attach();
    EXPECT_EQ(TaskCount(), 0);
    holder->put_IsFloating(VARIANT_FALSE);
    // Reported child first: each waits for its parent's task.
    for (IMmTopic* topic : {child.Get(), parent.Get()}) {
        auto event = MakeObject<CAddedEvent>(map.Get(), topic);
        adapter->OnTopicEvent(static_cast<IMmEventData*>(event.Get()));
    }
    EXPECT_EQ(TaskCount(), 0);
    auto event = MakeObject<CAddedEvent>(map.Get(), holder.Get());
    adapter->OnTopicEvent(static_cast<IMmEventData*>(event.Get()));
    EXPECT_EQ(TaskCount(), 3);
    auto childTask = TaskOf(child.Get());
    ASSERT_TRUE(childTask);
    ComPtr<ITask> parentTask;
    childTask->get_ParentTask(parentTask.ReleaseAndGetAddressOf());
    LONG id = -1;
    parentTask->get_ID(&id);
    EXPECT_EQ(id, IdOf(parent.Get()));
}

TEST_F(MapEvents, PastedCopiesAreRelinkedAmongThemselvesOnly)
{
    auto group = Add(central.Get(), u"G");
    auto first = Add(group.Get(), u"1");
    auto second = Add(group.Get(), u"2");
    auto outside = Add(central.Get(), u"X");
    Attach();
    const LONG firstId = IdOf(first.Get()), secondId = IdOf(second.Get()), outsideId = IdOf(outside.Get());
    ASSERT_EQ(data->Tree()->DependencyLink(firstId, secondId, dtStartToStart), S_OK);
    ASSERT_EQ(adapter->TaskDependencyLink(firstId, secondId, dtStartToStart), S_OK);
    ASSERT_EQ(data->Tree()->DependencyLink(outsideId, firstId, dtFinishToStart), S_OK);
    ASSERT_EQ(adapter->TaskDependencyLink(outsideId, firstId, dtFinishToStart), S_OK);

    // Copy the group and paste it at the root, as the host's user would.
    auto* document = static_cast<map::MapDocument*>(map.Get());
    const auto part = document->Snapshot(static_cast<map::MapTopic*>(group.Get()));
    ComPtr<map::MapTopic> pasted;
    ASSERT_EQ(document->Paste(document->Central(), part, 2, &pasted), S_OK);
    ASSERT_EQ(SubTopicCount(pasted.Get()), 2);
    auto copyFirst = SubTopic(pasted.Get(), 1), copySecond = SubTopic(pasted.Get(), 2);
    auto tFirst = TaskOf(copyFirst.Get()), tSecond = TaskOf(copySecond.Get());
    ASSERT_TRUE(tFirst && tSecond);
    EXPECT_EQ(TaskCount(), 7);
    // The link inside the group is copied, the one from outside is not.
    EXPECT_EQ(PredecessorCount(tFirst.Get()), 0);
    ASSERT_EQ(PredecessorCount(tSecond.Get()), 1);
    EXPECT_EQ(Attr(copySecond.Get(), kPredecessors), Guid(copyFirst.Get()) + u",0");
    EXPECT_EQ(Attr(copyFirst.Get(), kSuccessors), Guid(copySecond.Get()) + u",0");
    EXPECT_EQ(Attr(copyFirst.Get(), kPredecessors), u"");
    EXPECT_EQ(Attr(copyFirst.Get(), kGuidCopy), Guid(copyFirst.Get()));
    // The pasted group stands third among the root tasks.
    LONG index = -1;
    TaskOf(pasted.Get())->get_Index(&index);
    EXPECT_EQ(index, 2);
}

TEST_F(MapEvents, ChangedTopicsUpdateTheirTasksAndLinks)
{
    auto a = Add(central.Get(), u"A");
    auto b = Add(central.Get(), u"B");
    Info(b.Get())->put_Resources(u"Ann");
    Attach();
    b->put_Text(u"B renamed");
    Info(b.Get())->put_Priority(1);
    Info(b.Get())->put_Resources(u"Bob");
    SetAttr(b.Get(), kPredecessors, Guid(a.Get()) + u",3");
    b->put_Collapsed(VARIANT_TRUE);
    auto task = TaskOf(b.Get());
    BSTR name;
    task->get_Name(&name);
    EXPECT_EQ(name, u"B renamed");
    QMXPriority priority = prNone;
    task->get_Priority(&priority);
    EXPECT_EQ(priority, prHigh);
    ASSERT_EQ(PredecessorCount(task.Get()), 1);
    // Ann is named nowhere any more: she left the pool; Bob came in.
    EXPECT_EQ(adapter->Memory().resourceNameMap.count(u"Ann"), 0u);
    ASSERT_EQ(adapter->Memory().resourceNameMap.count(u"Bob"), 1u);
    LONG pool = 0;
    data->Pool()->get_Count(&pool);
    EXPECT_EQ(pool, 1);

    // The link's source topic hears of it too.
    EXPECT_EQ(Attr(a.Get(), kSuccessors), Guid(b.Get()) + u",3");

    // A topic moved in the map moves its task.
    ASSERT_EQ(SubTopicsOf(a.Get())->Insert(b.Get(), 1), S_OK);
    ComPtr<ITask> parent;
    task->get_ParentTask(parent.ReleaseAndGetAddressOf());
    ASSERT_TRUE(parent);
    LONG parentId = -1;
    parent->get_ID(&parentId);
    EXPECT_EQ(parentId, IdOf(a.Get()));

    // The central topic's text is the document's name.
    central->put_Text(u"New name");
    ComPtr<IDocumentProperties> properties;
    data->get_Properties(properties.ReleaseAndGetAddressOf());
    properties->get_Name(&name);
    EXPECT_EQ(name, u"New name");
}

TEST_F(MapEvents, DeletedTopicsTakeTheirTasksAndUses)
{
    auto a = Add(central.Get(), u"A");
    auto child = Add(a.Get(), u"A.1");
    Info(child.Get())->put_Resources(u"Ann");
    auto b = Add(central.Get(), u"B");
    Attach();
    ASSERT_EQ(a->Delete(), S_OK);
    EXPECT_EQ(TaskCount(), 1);
    EXPECT_EQ(adapter->Memory().TaskCount(), 1u);
    LONG pool = -1;
    data->Pool()->get_Count(&pool);
    EXPECT_EQ(pool, 0);
}

TEST_F(MapEvents, DeletedTopicsLeaveTheirPartnersLinks)
{
    auto a = Add(central.Get(), u"A");
    auto b = Add(central.Get(), u"B");
    auto b1 = Add(b.Get(), u"B.1");
    auto c = Add(central.Get(), u"C");
    auto d = Add(central.Get(), u"D");
    auto e = Add(central.Get(), u"E");
    Attach();
    const auto link = [&](IMmTopic* from, IMmTopic* to, QMXDependencyType type) {
        ASSERT_EQ(data->Tree()->DependencyLink(IdOf(from), IdOf(to), type), S_OK);
        ASSERT_EQ(adapter->TaskDependencyLink(IdOf(from), IdOf(to), type), S_OK);
    };
    link(a.Get(), b1.Get(), dtFinishToStart);  // into the deleted subtree
    link(e.Get(), b.Get(), dtStartToStart);
    link(b.Get(), c.Get(), dtFinishToFinish);  // out of it
    link(b1.Get(), d.Get(), dtFinishToStart);
    link(d.Get(), c.Get(), dtStartToFinish);   // untouched by the deletion
    link(a.Get(), d.Get(), dtFinishToStart);
    ASSERT_EQ(Attr(c.Get(), kPredecessors), Guid(b.Get()) + u",3;" + Guid(d.Get()) + u",1");

    // B goes with B.1: no topic left names either of them.
    ASSERT_EQ(b->Delete(), S_OK);
    EXPECT_EQ(TaskCount(), 4);
    struct Expected {
        const char* what;
        IMmTopic* topic;
        const char16_t* attribute;
        BSTR text;
    };
    const Expected expected[] = {
        {"A's successors", a.Get(), kSuccessors, Guid(d.Get()) + u",2"},
        {"E's successors", e.Get(), kSuccessors, u""},
        {"C's predecessors", c.Get(), kPredecessors, Guid(d.Get()) + u",1"},
        {"D's predecessors", d.Get(), kPredecessors, Guid(a.Get()) + u",2"},
        {"D's successors", d.Get(), kSuccessors, Guid(c.Get()) + u",1"},
    };
    for (const Expected& row : expected) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(Attr(row.topic, row.attribute), row.text);
    }
    // The rewrites were the adapter's own: no change came back as an event.
    EXPECT_EQ(PredecessorCount(TaskOf(c.Get()).Get()), 1);
    EXPECT_EQ(PredecessorCount(TaskOf(d.Get()).Get()), 1);

    // A later load reads the same links as the plan holds.
    ASSERT_EQ(adapter->Refresh(), S_OK);
    EXPECT_EQ(PredecessorCount(TaskOf(c.Get()).Get()), 1);
    EXPECT_EQ(PredecessorCount(TaskOf(d.Get()).Get()), 1);
    EXPECT_EQ(Attr(e.Get(), kSuccessors), u"");
}

TEST_F(MapEvents, ClosingTheMapEmptiesThePlan)
{
    Add(central.Get(), u"A");
    Attach();
    ASSERT_EQ(TaskCount(), 1);
    ASSERT_EQ(map->Close(), S_OK);
    EXPECT_EQ(TaskCount(), 0);
    VARIANT_BOOL opened = VARIANT_TRUE;
    adapter->get_DocIsOpened(&opened);
    EXPECT_EQ(opened, VARIANT_FALSE);
}

TEST_F(MapEvents, OwnModeOpensSavesAndClosesThroughTheApplication)
{
    Add(central.Get(), u"A");
    const std::string path = ::testing::TempDir() + "mm_events_own.mmap";
    ASSERT_EQ(map->SaveAs(Utf8ToBstr(path), map::kFormatMap), S_OK);
    ASSERT_EQ(map->Close(), S_OK);

    ASSERT_EQ(adapter->FileOpen(0, Utf8ToBstr(path)), S_OK);
    EXPECT_EQ(TaskCount(), 1);
    BSTR fileName;
    adapter->get_FileName(&fileName);
    EXPECT_EQ(fileName, Utf8ToBstr(path));
    ComPtr<IMmDocument> opened;
    app->get_ActiveDocument(opened.ReleaseAndGetAddressOf());
    ComPtr<IMmTopic> openedCentral;
    opened->get_CentralTopic(openedCentral.ReleaseAndGetAddressOf());
    // An edit in the plan reaches the map, and the map is then modified.
    ComPtr<ITask> task;
    data->Tree()->AddTask(0, -1, u"B", task.ReleaseAndGetAddressOf());
    LONG id = -1;
    task->get_ID(&id);
    ASSERT_EQ(adapter->TaskNew(id), S_OK);
    VARIANT_BOOL modified = VARIANT_FALSE;
    adapter->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_TRUE);
    ASSERT_EQ(adapter->FileSave(), S_OK);
    adapter->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_FALSE);

    // FileClose leaves the map open in the application.
    ASSERT_EQ(adapter->FileClose(), S_OK);
    EXPECT_EQ(TaskCount(), 0);
    VARIANT_BOOL flag = VARIANT_TRUE;
    adapter->get_DocIsOpened(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);
    adapter->get_IsModified(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);
    adapter->get_FileIsNew(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);
    LONG count = 0;
    documents->get_Count(&count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(adapter->FileSave(), S_FALSE);
    EXPECT_EQ(adapter->FileSaveAs(u"x.mmap"), S_FALSE);

    // Reopened, the plan holds both tasks; closing the map in the
    // application drops the adapter as current.
    ASSERT_EQ(adapter->FileOpen(0, Utf8ToBstr(path)), S_OK);
    EXPECT_EQ(TaskCount(), 2);
    app->get_ActiveDocument(opened.ReleaseAndGetAddressOf());
    ASSERT_EQ(opened->Close(), S_OK);
    EXPECT_EQ(data->closed, 1);
    EXPECT_EQ(TaskCount(), 0);
}

TEST_F(MapEvents, FixedAnswersAndFailures)
{
    struct Row {
        const char16_t* id;
        VARIANT_BOOL supported;
    };
    for (const Row& row : {Row{u"MindManager.Application.5", VARIANT_TRUE}, Row{u"MindManager.Application.6", 0},
                           Row{u"mindmanager.application.5", 0}, Row{u"MindManager.Application.5 ", 0},
                           Row{u"", 0}}) {
        VARIANT_BOOL answer = 7;
        ASSERT_EQ(adapter->SupportsHostApp(row.id, &answer), S_OK);
        EXPECT_EQ(answer, row.supported);
    }
    EXPECT_EQ(adapter->FileExport(0, u"x.mmap"), E_NOTIMPL);
    ComPtr<IAdapterDocTypes> types;
    ASSERT_EQ(adapter->GetDocTypes(types.ReleaseAndGetAddressOf()), S_OK);
    BSTR text;
    types->get_FilterNames(0, &text);
    EXPECT_EQ(text, u"MindManagerX5 map (*.mmap)");
    EXPECT_EQ(types->get_Extensions(1, &text), E_INVALIDARG);
    VARIANT_BOOL notes = VARIANT_TRUE;
    adapter->get_SupportsTaskNotes(&notes);
    EXPECT_EQ(notes, VARIANT_FALSE);

    // The application cannot be launched.
    adapter->SetLauncher([](IMmApplication**) { return E_FAIL; });
    ClearErrorInfo();
    EXPECT_EQ(adapter->FileNew(0), E_FAIL);
    const auto error = GetErrorInfo();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description, u"Failed to launch MindManagerX5");
    EXPECT_EQ(error->source, u"QMXMm5Adapter");
    EXPECT_EQ(error->iid, IGanttAdapter::iid);
    // A missing file fails with the application's answer and holds no map.
    adapter->SetLauncher([this](IMmApplication** pp) { return app.CopyTo(pp); });
    EXPECT_TRUE(FAILED(adapter->FileOpen(0, u"/nonexistent/map.mmap")));
    VARIANT_BOOL opened = VARIANT_TRUE;
    adapter->get_DocIsOpened(&opened);
    EXPECT_EQ(opened, VARIANT_FALSE);
}

TEST_F(MapEvents, HostedModeFollowsTheActiveMap)
{
    Add(central.Get(), u"A");
    Attach();
    EXPECT_EQ(TaskCount(), 1);
    ComPtr<IMmDocument> other;
    ASSERT_EQ(documents->Add(0, other.ReleaseAndGetAddressOf()), S_OK);  // made active
    EXPECT_EQ(TaskCount(), 0);
    ComPtr<IMmTopic> otherCentral;
    other->get_CentralTopic(otherCentral.ReleaseAndGetAddressOf());
    Add(otherCentral.Get(), u"X");
    Add(otherCentral.Get(), u"Y");
    EXPECT_EQ(TaskCount(), 2);
    // Topics of another map are not this plan's.
    Add(central.Get(), u"elsewhere");
    EXPECT_EQ(TaskCount(), 2);
    ASSERT_EQ(map->Activate(), S_OK);
    EXPECT_EQ(TaskCount(), 2);  // A and "elsewhere"
    ASSERT_EQ(adapter->DisconnectHostApp(), S_OK);
    Add(central.Get(), u"after");
    EXPECT_EQ(TaskCount(), 2);
}

}  // namespace
}  // namespace qmx::mm::testing
