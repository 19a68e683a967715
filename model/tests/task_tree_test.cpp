// The task tree: IDs, places and dates of new tasks, moves, deletion, the
// answers of deleted tasks, enumeration, Reset and the date range.
#include <gtest/gtest.h>

#include <climits>

#include "automation/bstr.h"
#include "automation/date_time.h"
#include "model/tests/recording_sinks.h"

namespace qmx::test {
namespace {

using Lines = std::vector<std::string>;

class TaskTreeTest : public ::testing::Test {
protected:
    void SetUp() override { FixToday(kToday); }
    void TearDown() override { UnfixToday(); }

    static constexpr DATE kToday = 45355.0;  // 4 March 2024
    RecordingOwner owner;
};

TEST_F(TaskTreeTest, NewIdsAreTheLargestPlusOneAndOnlyTheLargestComesBack)
{
    ITaskTree* tree = owner.Tree();
    ComPtr<ITasks> roots;
    tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
    ComPtr<ITask> t;
    EXPECT_EQ(1, IdOf(owner.Add(0).Get()));
    EXPECT_EQ(2, IdOf(owner.Add(0).Get()));
    EXPECT_EQ(S_OK, roots->AddWithID(10, -1, u"ten", t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_FAIL, roots->AddWithID(10, -1, u"again", t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(nullptr, t.Get());
    EXPECT_EQ(11, IdOf(owner.Add(0).Get()));
    EXPECT_EQ(S_OK, roots->AddWithID(5, -1, u"", t.ReleaseAndGetAddressOf()));

    EXPECT_EQ(S_OK, tree->DeleteTask(11));
    EXPECT_EQ(11, IdOf(owner.Add(0).Get()));  // the largest is free again
    EXPECT_EQ(S_OK, tree->DeleteTask(5));
    EXPECT_EQ(12, IdOf(owner.Add(0).Get()));  // others are not recycled

    // The ID range ends: no wrap-around into negative IDs.
    EXPECT_EQ(S_OK, roots->AddWithID(INT_MAX, -1, u"", t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_FAIL, roots->Add(-1, u"", t.ReleaseAndGetAddressOf()));
}

TEST_F(TaskTreeTest, NegativeExplicitIdsNeverLeadToTheNoIdValue)
{
    ComPtr<ITasks> roots;
    owner.Tree()->get_RootTasks(roots.ReleaseAndGetAddressOf());
    ComPtr<ITask> t;
    ASSERT_EQ(S_OK, roots->AddWithID(-2, -1, u"", t.ReleaseAndGetAddressOf()));
    ASSERT_EQ(S_OK, roots->Add(-1, u"", t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(1, IdOf(t.Get()));
    EXPECT_EQ(E_FAIL, roots->AddWithID(1, -1, u"", t.ReleaseAndGetAddressOf()));
}

TEST_F(TaskTreeTest, NewTasksTakeTheirDatesFromTheirNeighbours)
{
    auto first = owner.Add(0, "first");
    EXPECT_EQ(kToday, StartOf(first.Get()));
    EXPECT_EQ(kToday + 1, EndOf(first.Get()));
    EXPECT_EQ(1.0f, DurationOf(first.Get()));
    first->put_EndDate(kToday + 4);
    auto last = owner.Add(0, "last");
    last->SetStartEndDate(kToday + 20);

    struct Row {
        LONG parent;
        LONG index;
        DATE start;
    } rows[] = {
        {0, -1, kToday + 20},  // appended: the last root task's start
        {0, 0, kToday},        // first: the first root task's start
        {0, 2, kToday},        // in the middle: the task before it
        {1, -1, kToday},       // a subtask: its parent's start
    };
    for (const auto& row : rows) {
        auto t = owner.Add(row.parent, "", row.index);
        EXPECT_EQ(row.start, StartOf(t.Get())) << row.parent << " " << row.index;
        EXPECT_EQ(row.start + 1, EndOf(t.Get()));
        EXPECT_EQ(1.0f, DurationOf(t.Get()));
    }
}

TEST_F(TaskTreeTest, BadArgumentsChangeNothing)
{
    ITaskTree* tree = owner.Tree();
    auto a = owner.Add(0, "a");
    owner.Take();
    ComPtr<ITask> t;
    ComPtr<ITasks> roots;
    tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
    EXPECT_EQ(E_INVALIDARG, roots->Add(2, u"", t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_INVALIDARG, roots->Add(-2, u"", t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_POINTER, roots->Add(-1, u"", nullptr));
    EXPECT_EQ(E_INVALIDARG, tree->AddTask(99, -1, u"", t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_INVALIDARG, tree->GetTask(99, t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_INVALIDARG, tree->DeleteTask(99));
    EXPECT_EQ(E_INVALIDARG, tree->MoveTask(99, 0, -1));
    EXPECT_EQ(E_INVALIDARG, tree->MoveTask(1, 99, -1));
    EXPECT_EQ(E_INVALIDARG, tree->MoveTask(1, 0, 5));
    EXPECT_EQ(E_INVALIDARG, a->put_Priority(static_cast<QMXPriority>(4)));
    EXPECT_EQ(E_INVALIDARG, a->put_PercentComplete(101));
    EXPECT_EQ(E_INVALIDARG, a->put_PercentComplete(-1));
    EXPECT_EQ(E_INVALIDARG, a->put_DurationUnit(static_cast<QMXDurationUnit>(3)));
    EXPECT_EQ(E_INVALIDARG, a->put_Duration(-1.0f));
    EXPECT_EQ(E_INVALIDARG, a->put_StartDate(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(E_INVALIDARG, a->SetStartEndDate(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(E_INVALIDARG, a->put_Index(1));
    LONG count = 0;
    roots->get_Count(&count);
    EXPECT_EQ(1, count);
    EXPECT_EQ(Lines{}, owner.Take());
}

TEST_F(TaskTreeTest, SimpleSettersReportOnlyRealChanges)
{
    auto a = owner.Add(0, "a");
    owner.Take();
    a->put_Name(u"a");  // same text
    a->put_Name(u"b");
    a->put_Priority(prHigh);
    a->put_Priority(prHigh);
    a->put_PercentComplete(50);
    a->put_IsMilestone(VARIANT_TRUE);
    a->put_IsMilestone(1);  // any true is the same true
    a->put_Notes(u"n");
    a->put_URL(u"http://x");
    a->put_DurationUnit(duWeek);  // never reported
    ComPtr<ITaskAppearance> look;
    a->get_Appearance(look.ReleaseAndGetAddressOf());
    look->put_Color(RGB(1, 2, 3));
    look->put_Color(RGB(1, 2, 3));  // stored without comparison
    EXPECT_EQ((Lines{"changed 1 name", "changed 1 priority", "changed 1 percent", "changed 1 milestone",
                     "changed 1 notes", "changed 1 url", "changed 1 color", "changed 1 color"}),
              owner.Take());
}

TEST_F(TaskTreeTest, NewTasksCopyTheDefaultColourAtInsertionOnly)
{
    ComPtr<ITaskAppearance> defaults;
    owner.Tree()->get_DefaultTaskAppearance(defaults.ReleaseAndGetAddressOf());
    auto a = owner.Add(0);
    defaults->put_Color(RGB(9, 9, 9));
    EXPECT_EQ(Lines({"added 1", "default appearance"}), owner.Take());
    auto b = owner.Add(0);
    COLORREF ca = 0, cb = 0;
    ComPtr<ITaskAppearance> look;
    a->get_Appearance(look.ReleaseAndGetAddressOf());
    look->get_Color(&ca);
    b->get_Appearance(look.ReleaseAndGetAddressOf());
    look->get_Color(&cb);
    EXPECT_EQ(kNoTaskColor, ca);
    EXPECT_EQ(RGB(9, 9, 9), cb);
}

TEST_F(TaskTreeTest, FirstSubtaskMakesItsParentSpanOneDay)
{
    auto p = owner.Add(0, "p");
    p->put_EndDate(kToday + 3);
    owner.Take();
    auto c = owner.Add(1, "c");
    EXPECT_EQ(kToday, StartOf(c.Get()));
    EXPECT_EQ(kToday + 1, EndOf(p.Get()));
    EXPECT_EQ(1.0f, DurationOf(p.Get()));
    EXPECT_EQ(Lines({"added 2", "changed 1 end fire", "changed 1 duration fire"}), owner.Take());
}

TEST_F(TaskTreeTest, ALoneTaskThatLosesItsLastChildStartsToday)
{
    auto p = owner.Add(0, "p");
    p->SetStartEndDate(kToday + 5);
    owner.Add(1, "c");
    owner.Take();
    ASSERT_EQ(S_OK, owner.Tree()->DeleteTask(2));
    EXPECT_EQ(kToday, StartOf(p.Get()));
    EXPECT_EQ(kToday + 1, EndOf(p.Get()));
    EXPECT_EQ(Lines({"deleting 2", "changed 1 start fire", "changed 1 end fire", "changed 1 duration fire"}),
              owner.Take());
}

TEST_F(TaskTreeTest, AFormerSummaryTakesTheStartOfItsNeighbourOrParent)
{
    auto a = owner.Add(0, "a");   // 1
    auto b = owner.Add(0, "b");   // 2
    auto p = owner.Add(0, "p");   // 3
    b->SetStartEndDate(kToday + 7);
    p->SetStartEndDate(kToday + 9);
    owner.Add(3, "c");            // 4
    owner.Add(1, "d");            // 5
    auto q = owner.Add(3, "q");   // 6: a summary under p
    auto e = owner.Add(6, "e");   // 7
    e->SetStartEndDate(kToday + 30);
    ASSERT_EQ(kToday + 30, StartOf(q.Get()));
    ASSERT_EQ(S_OK, owner.Tree()->MoveTask(7, 0, -1));  // q loses its only child
    EXPECT_EQ(kToday + 9, StartOf(q.Get()));            // under a parent: the parent's start
    EXPECT_EQ(kToday + 10, EndOf(q.Get()));

    ASSERT_EQ(S_OK, owner.Tree()->DeleteTask(4));  // p keeps q
    ASSERT_EQ(S_OK, owner.Tree()->DeleteTask(6));  // p loses its last child
    EXPECT_EQ(kToday + 7, StartOf(p.Get()));       // the root task before it
    ASSERT_EQ(S_OK, owner.Tree()->DeleteTask(5));  // a, the first root task, loses d
    EXPECT_EQ(kToday + 7, StartOf(a.Get()));       // the second root task
}

class MoveTaskTest : public TaskTreeTest {
protected:
    void SetUp() override
    {
        TaskTreeTest::SetUp();
        owner.Add(0, "p");  // 1
        owner.Add(1, "c");  // 2
        owner.Add(2, "g");  // 3
        owner.Add(0, "x");  // 4
        owner.Add(0, "y");  // 5
        owner.Add(0, "m");  // 6
    }
    bool Linked(LONG source, LONG dependent)
    {
        ComPtr<ITaskDependencies> successors;
        ComPtr<ITaskDependency> link;
        owner.Task(source)->get_Successors(successors.ReleaseAndGetAddressOf());
        return successors->GetDependencyByTaskID(dependent, link.ReleaseAndGetAddressOf()) == S_OK;
    }
};

TEST_F(MoveTaskTest, RefusesCyclesButKeepsTheLinkCleanUp)
{
    ITaskTree* tree = owner.Tree();
    ASSERT_EQ(S_OK, tree->DependencyLink(4, 3, dtFinishToFinish));
    owner.Take();
    EXPECT_EQ(E_TASK_CYCLE, tree->MoveTask(1, 2, -1));  // under its child
    EXPECT_EQ(E_TASK_CYCLE, tree->MoveTask(1, 1, -1));  // under itself
    EXPECT_EQ(Lines{}, owner.Take());
    // Under its grandchild g: g would become a summary, so its finish-bound
    // predecessor goes first, and stays gone although the move fails.
    EXPECT_EQ(E_TASK_CYCLE, tree->MoveTask(1, 3, -1));
    EXPECT_EQ(Lines{"link removed 4->3 type 3"}, owner.Take());
    EXPECT_FALSE(Linked(4, 3));
    ComPtr<ITask> parent;
    EXPECT_EQ(S_FALSE, owner.Task(1)->get_ParentTask(parent.ReleaseAndGetAddressOf()));
}

TEST_F(MoveTaskTest, RemovesLinksBetweenTheSubtreeAndItsNewAncestors)
{
    ITaskTree* tree = owner.Tree();
    ASSERT_EQ(S_OK, tree->DependencyLink(6, 1, dtFinishToStart));  // m -> p
    ASSERT_EQ(S_OK, tree->DependencyLink(6, 4, dtStartToStart));   // m -> x, unrelated
    owner.Take();
    ASSERT_EQ(S_OK, tree->MoveTask(6, 2, 0));  // m under c, whose parent is p
    // Then c and p span m, which starts a day before g.
    EXPECT_EQ(Lines({"link removed 6->1 type 2", "moved 6", "changed 2 start fire", "changed 2 duration fire",
                     "changed 1 start fire", "changed 1 duration fire"}),
              owner.Take());
    EXPECT_FALSE(Linked(6, 1));
    EXPECT_TRUE(Linked(6, 4));
    LONG index = -1;
    owner.Task(6)->get_Index(&index);
    EXPECT_EQ(0, index);
}

TEST_F(MoveTaskTest, PlacesWithinTheSameList)
{
    ITaskTree* tree = owner.Tree();
    auto order = [&] {
        ComPtr<ITasks> roots;
        tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
        std::string ids;
        LONG count = 0;
        roots->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            ComPtr<ITask> t;
            roots->get_Tasks(i, t.ReleaseAndGetAddressOf());
            ids += std::to_string(IdOf(t.Get()));
        }
        return ids;
    };
    owner.Take();
    struct Row {
        LONG id, index;
        HRESULT hr;
        const char* order;
    } rows[] = {
        {1, 0, S_FALSE, "1456"}, {1, -1, S_OK, "4561"}, {4, 4, S_OK, "5614"},
        {4, -1, S_FALSE, "5614"}, {4, 0, S_OK, "4561"}, {1, 1, S_OK, "4156"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.hr, tree->MoveTask(row.id, 0, row.index)) << row.id << " to " << row.index;
        EXPECT_EQ(row.order, order());
    }
    EXPECT_EQ(Lines({"moved 1", "moved 4", "moved 4", "moved 1"}), owner.Take());

    // Index (put) moves among the siblings too, without touching dates.
    auto m = owner.Task(6);
    EXPECT_EQ(E_INVALIDARG, m->put_Index(4));
    EXPECT_EQ(S_FALSE, m->put_Index(3));
    EXPECT_EQ(S_OK, m->put_Index(0));
    EXPECT_EQ("6415", order());
    EXPECT_EQ(Lines{"moved 6"}, owner.Take());
}

TEST_F(TaskTreeTest, SiblingsEndAtTheEndsOfTheList)
{
    auto a = owner.Add(0, "a");
    auto b = owner.Add(0, "b");
    ComPtr<ITask> t;
    EXPECT_EQ(E_INVALIDARG, a->get_PrevSibling(t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(nullptr, t.Get());
    EXPECT_EQ(S_OK, a->get_NextSibling(t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(2, IdOf(t.Get()));
    EXPECT_EQ(E_INVALIDARG, b->get_NextSibling(t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(nullptr, t.Get());
}

TEST_F(TaskTreeTest, DeletedTasksKeepTheirFieldsAndRefuseTheRest)
{
    auto p = owner.Add(0, "p");
    auto c = owner.Add(1, "child");
    auto other = owner.Add(0, "other");
    c->put_PercentComplete(40);
    ASSERT_EQ(S_OK, owner.Tree()->DependencyLink(2, 3, dtFinishToStart));
    const DATE start = StartOf(c.Get());
    owner.Take();
    ASSERT_EQ(S_OK, owner.Tree()->DeleteTask(1));
    // No notification for the descendant; its link is still reported.
    EXPECT_EQ(Lines({"deleting 1", "link changed 2->3 type 2"}), owner.Take());

    for (ITask* gone : {p.Get(), c.Get()}) {
        VARIANT_BOOL b = VARIANT_TRUE;
        gone->get_IsValid(&b);
        EXPECT_EQ(VARIANT_FALSE, b);
        EXPECT_EQ(-1, IdOf(gone));
        gone->get_HasSubtasks(&b);
        EXPECT_EQ(VARIANT_FALSE, b);
        ComPtr<ITask> t;
        EXPECT_EQ(S_FALSE, gone->get_ParentTask(t.ReleaseAndGetAddressOf()));
        LONG index = 0;
        ComPtr<ITasks> list;
        ComPtr<ITaskDependencies> links;
        ComPtr<ITaskResources> assignments;
        ComPtr<ITaskAppearance> look;
        ComPtr<ITaskTree> tree;
        EXPECT_EQ(E_FAIL, gone->get_Index(&index));
        EXPECT_EQ(E_FAIL, gone->get_Subtasks(list.ReleaseAndGetAddressOf()));
        EXPECT_EQ(E_FAIL, gone->get_ParentTasks(list.ReleaseAndGetAddressOf()));
        EXPECT_EQ(E_FAIL, gone->get_PrevSibling(t.ReleaseAndGetAddressOf()));
        EXPECT_EQ(E_FAIL, gone->get_NextSibling(t.ReleaseAndGetAddressOf()));
        EXPECT_EQ(E_FAIL, gone->get_TaskTree(tree.ReleaseAndGetAddressOf()));
        EXPECT_EQ(E_FAIL, gone->get_Predecessors(links.ReleaseAndGetAddressOf()));
        EXPECT_EQ(E_FAIL, gone->get_Successors(links.ReleaseAndGetAddressOf()));
        EXPECT_EQ(E_FAIL, gone->get_Resources(assignments.ReleaseAndGetAddressOf()));
        EXPECT_EQ(E_FAIL, gone->get_Appearance(look.ReleaseAndGetAddressOf()));
        EXPECT_EQ(E_FAIL, gone->put_Name(u"new"));
        EXPECT_EQ(E_FAIL, gone->put_StartDate(start + 3));
        EXPECT_EQ(E_FAIL, gone->put_Duration(3));
        EXPECT_EQ(E_FAIL, gone->put_Index(0));
        EXPECT_EQ(E_FAIL, gone->SetStartEndDate(start + 3));
    }
    BSTR name;
    c->get_Name(&name);
    EXPECT_EQ(u"child", name);
    LONG percent = 0;
    c->get_PercentComplete(&percent);
    EXPECT_EQ(40, percent);
    EXPECT_EQ(start, StartOf(c.Get()));
    // A held subtask list of a deleted task takes no new tasks.
    ComPtr<ITasks> held;
    other->get_Subtasks(held.ReleaseAndGetAddressOf());
    ASSERT_EQ(S_OK, owner.Tree()->DeleteTask(3));
    ComPtr<ITask> t;
    EXPECT_EQ(E_FAIL, held->Add(-1, u"", t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(Lines{"deleting 3"}, owner.Take());
}

TEST_F(TaskTreeTest, EnumTasksIsASnapshotInIdOrder)
{
    ComPtr<ITasks> roots;
    owner.Tree()->get_RootTasks(roots.ReleaseAndGetAddressOf());
    ComPtr<ITask> t;
    for (LONG id : {7, 3, 9}) roots->AddWithID(id, 0, u"", t.ReleaseAndGetAddressOf());
    ComPtr<IEnumTaskIDs> ids;
    ASSERT_EQ(S_OK, owner.Tree()->EnumTasks(ids.ReleaseAndGetAddressOf()));
    owner.Add(0);  // 10: not in the snapshot
    LONG id = 0;
    EXPECT_EQ(S_OK, ids->Next(&id));
    EXPECT_EQ(3, id);
    ComPtr<IEnumTaskIDs> copy;
    ASSERT_EQ(S_OK, ids->Clone(copy.ReleaseAndGetAddressOf()));
    EXPECT_EQ(S_OK, ids->Next(&id));
    EXPECT_EQ(7, id);
    EXPECT_EQ(S_OK, ids->Next(&id));
    EXPECT_EQ(9, id);
    EXPECT_EQ(S_FALSE, ids->Next(&id));
    EXPECT_EQ(-1, id);
    EXPECT_EQ(S_OK, copy->Next(&id));  // the clone kept its place
    EXPECT_EQ(7, id);
    EXPECT_EQ(E_INVALIDARG, copy->Skip(-1));
    EXPECT_EQ(S_OK, copy->Skip(1));
    EXPECT_EQ(S_FALSE, copy->Next(&id));
    copy->Reset();
    EXPECT_EQ(S_FALSE, copy->Skip(4));
    EXPECT_EQ(S_FALSE, copy->Next(&id));
}

TEST_F(TaskTreeTest, ResetEmptiesTheTreeButNotThePool)
{
    ITaskTree* tree = owner.Tree();
    auto a = owner.Add(0, "a");
    owner.Add(1, "b");
    owner.Add(0, "c");
    ASSERT_EQ(S_OK, tree->DependencyLink(2, 3, dtFinishToStart));
    auto r = owner.AddResource("r");
    ComPtr<ITaskResources> assignments;
    ComPtr<ITaskResource> assignment;
    a->get_Resources(assignments.ReleaseAndGetAddressOf());
    assignments->Add(r.Get(), assignment.ReleaseAndGetAddressOf());
    tree->put_AutocorrectTaskDates(VARIANT_FALSE);
    tree->put_MatchColors(VARIANT_FALSE);
    ComPtr<ITaskAppearance> defaults;
    tree->get_DefaultTaskAppearance(defaults.ReleaseAndGetAddressOf());
    defaults->put_Color(RGB(1, 1, 1));
    owner.Take();

    ASSERT_EQ(S_OK, tree->Reset());
    EXPECT_EQ(Lines({"all tasks deleted", "link changed 2->3 type 2", "default appearance"}), owner.Take());
    VARIANT_BOOL flag = VARIANT_FALSE;
    tree->get_AutocorrectTaskDates(&flag);
    EXPECT_EQ(VARIANT_TRUE, flag);
    tree->get_MatchColors(&flag);
    EXPECT_EQ(VARIANT_TRUE, flag);
    COLORREF color = 0;
    defaults->get_Color(&color);
    EXPECT_EQ(kNoTaskColor, color);
    tree->TaskIDExists(1, &flag);
    EXPECT_EQ(VARIANT_FALSE, flag);
    EXPECT_EQ(1, IdOf(owner.Add(0).Get()));
    LONG count = 0;
    owner.Pool()->get_Count(&count);
    EXPECT_EQ(1, count);
    // The deleted task keeps its assignment until it is released.
    assignments->get_Count(&count);
    EXPECT_EQ(1, count);
}

TEST_F(TaskTreeTest, DateRangeFollowsEveryChange)
{
    ProjectModel& model = owner.Model();
    EXPECT_EQ(kNoLaterBound, model.MinDate());
    EXPECT_EQ(kNoEarlierBound, model.MaxDate());
    auto a = owner.Add(0);
    auto b = owner.Add(0);
    EXPECT_EQ(kToday, model.MinDate());
    EXPECT_EQ(kToday + 1, model.MaxDate());
    b->put_EndDate(kToday + 8);
    EXPECT_EQ(kToday + 8, model.MaxDate());
    a->put_StartDate(kToday - 2);
    EXPECT_EQ(kToday - 2, model.MinDate());
    owner.Tree()->DeleteTask(2);
    EXPECT_EQ(kToday + 1, model.MaxDate());
    owner.Tree()->DeleteAllTasks();
    EXPECT_EQ(kNoLaterBound, model.MinDate());
}

TEST_F(TaskTreeTest, ViewCookieIsKeptForTheView)
{
    auto a = owner.Add(0);
    EXPECT_EQ(0u, GetTaskViewCookie(a.Get()));
    int item = 0;
    SetTaskViewCookie(a.Get(), reinterpret_cast<std::uintptr_t>(&item));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(&item), GetTaskViewCookie(owner.Task(1).Get()));
}

TEST(ProjectModelLifetime, HeldObjectsOutliveTheModelAsDeletedOnes)
{
    ComPtr<ITask> task;
    ComPtr<ITasks> subtasks;
    ComPtr<IResource> resource;
    ComPtr<ITaskResource> assignment;
    ComPtr<ITaskTree> tree;
    {
        RecordingOwner owner;
        task = owner.Add(0, "a");
        owner.Add(1, "b");
        task->get_Subtasks(subtasks.ReleaseAndGetAddressOf());
        resource = owner.AddResource("r");
        ComPtr<ITaskResources> assignments;
        task->get_Resources(assignments.ReleaseAndGetAddressOf());
        assignments->Add(resource.Get(), assignment.ReleaseAndGetAddressOf());
        tree = owner.Tree();
    }
    EXPECT_EQ(-1, IdOf(task.Get()));
    LONG id = 0;
    resource->get_ID(&id);
    EXPECT_EQ(-1, id);
    ComPtr<ITask> t;
    EXPECT_EQ(E_FAIL, subtasks->Add(-1, u"", t.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_FAIL, task->put_Name(u"x"));
    EXPECT_EQ(E_FAIL, resource->put_Name(u"x"));
    EXPECT_EQ(E_FAIL, assignment->put_Units(5));
    ComPtr<ITasks> roots;
    tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
    LONG count = -1;
    roots->get_Count(&count);
    EXPECT_EQ(0, count);
    EXPECT_EQ(E_FAIL, roots->Add(-1, u"", t.ReleaseAndGetAddressOf()));
}

}  // namespace
}  // namespace qmx::test
