// Plans large and deep enough that recursion over their length would
// overflow the stack, or that a cycle check walking the chain built so far
// at every link would never finish: long link chains and deep hierarchies.
#include <gtest/gtest.h>

#include <vector>

#include "automation/date_time.h"
#include "model/tests/recording_sinks.h"

namespace qmx::test {
namespace {

constexpr LONG kLength = 100000;
constexpr DATE kToday = 45355.0;

class LargePlansTest : public ::testing::Test {
protected:
    void SetUp() override { FixToday(kToday); }
    void TearDown() override { UnfixToday(); }
};

TEST_F(LargePlansTest, ALongChainIsPushedToItsEnd)
{
    ProjectModel model(nullptr, nullptr, nullptr, nullptr);
    ITaskTree* tree = model.TaskTree();
    ComPtr<ITasks> roots;
    tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
    ComPtr<ITask> head;
    ComPtr<ITask> task;
    for (LONG i = 0; i < kLength; ++i) {
        ASSERT_EQ(S_OK, roots->Add(-1, u"", task.ReleaseAndGetAddressOf()));
        if (i == 0) head = task;
    }
    for (LONG id = 1; id < kLength; ++id) ASSERT_EQ(S_OK, tree->DependencyLink(id, id + 1, dtFinishToStart));
    EXPECT_EQ(kToday + kLength - 1, StartOf(task.Get()));

    ASSERT_EQ(S_OK, head->SetStartEndDate(kToday + 10));
    EXPECT_EQ(kToday + 10 + kLength - 1, StartOf(task.Get()));
    VARIANT_BOOL exists = VARIANT_FALSE;
    ASSERT_EQ(S_OK, tree->TaskPathExists(1, kLength, &exists));
    EXPECT_EQ(VARIANT_TRUE, exists);
    EXPECT_EQ(E_FAIL, tree->DependencyLink(kLength, 1, dtFinishToStart));
    // The correction pass walks the chain from its head as well.
    tree->put_AutocorrectTaskDates(VARIANT_FALSE);
    head->SetStartEndDate(kToday + 20);
    tree->put_AutocorrectTaskDates(VARIANT_TRUE);
    EXPECT_EQ(kToday + 20 + kLength - 1, StartOf(task.Get()));
    ASSERT_EQ(S_OK, tree->DeleteAllTasks());
}

TEST_F(LargePlansTest, AChainLinkedFromItsEndIsCheckedFromBothEnds)
{
    // Dates already in order, as a saved file has them: no link pushes.
    ProjectModel model(nullptr, nullptr, nullptr, nullptr);
    ITaskTree* tree = model.TaskTree();
    ComPtr<ITasks> roots;
    tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
    ComPtr<ITask> task;
    for (LONG i = 0; i < kLength; ++i) {
        ASSERT_EQ(S_OK, roots->Add(-1, u"", task.ReleaseAndGetAddressOf()));
        ASSERT_EQ(S_OK, task->SetStartEndDate(kToday + i));
    }
    // Each link goes in front of the chain built so far.
    for (LONG id = kLength - 1; id >= 1; --id) ASSERT_EQ(S_OK, tree->DependencyLink(id, id + 1, dtFinishToStart));
    EXPECT_EQ(kToday + kLength - 1, StartOf(task.Get()));

    struct Row {
        LONG source, dependent;
        HRESULT hr;
    } rows[] = {
        {kLength, 1, E_FAIL},                      // closes the whole chain
        {kLength / 2 + 1, kLength / 2, E_FAIL},    // closes one link
        {kLength / 2, kLength / 2 + 2, S_OK},      // a shortcut: both halves explored
        {1, kLength, S_OK},                        // from the head to the end
        {kLength - 1, 2, E_FAIL},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.hr, tree->DependencyLink(row.source, row.dependent, dtFinishToStart))
            << row.source << "->" << row.dependent;
    }
    VARIANT_BOOL exists = VARIANT_FALSE;
    ASSERT_EQ(S_OK, tree->TaskPathExists(1, kLength, &exists));
    EXPECT_EQ(VARIANT_TRUE, exists);
    ASSERT_EQ(S_OK, tree->TaskPathExists(kLength, 1, &exists));
    EXPECT_EQ(VARIANT_FALSE, exists);
}

TEST_F(LargePlansTest, AChainAgainstTheTreeOrderIsLinkedInTaskOrder)
{
    // Groups of 100 tasks; task k + 1 of the tree order precedes task k, and
    // the links are made in task order, as the file reader makes them.
    constexpr LONG kGroupSize = 100;
    ProjectModel model(nullptr, nullptr, nullptr, nullptr);
    ITaskTree* tree = model.TaskTree();
    ComPtr<ITasks> roots;
    tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
    std::vector<LONG> leaves;
    std::vector<LONG> groups;
    ComPtr<ITask> group, task;
    ComPtr<ITasks> list;
    for (LONG i = 0; i < kLength; ++i) {
        if (i % kGroupSize == 0) {
            ASSERT_EQ(S_OK, roots->Add(-1, u"group", group.ReleaseAndGetAddressOf()));
            groups.push_back(IdOf(group.Get()));
            group->get_Subtasks(list.ReleaseAndGetAddressOf());
        }
        ASSERT_EQ(S_OK, list->Add(-1, u"", task.ReleaseAndGetAddressOf()));
        ASSERT_EQ(S_OK, task->SetStartEndDate(kToday + (kLength - 1 - i)));
        leaves.push_back(IdOf(task.Get()));
    }
    for (std::size_t k = 0; k + 1 < leaves.size(); ++k) {
        ASSERT_EQ(S_OK, tree->DependencyLink(leaves[k + 1], leaves[k], dtFinishToStart)) << k;
    }
    EXPECT_EQ(kToday, StartOf(task.Get()));

    struct Row {
        LONG source, dependent;
        HRESULT hr;
    } rows[] = {
        {leaves.front(), leaves.back(), E_FAIL},  // closes the whole chain
        {leaves.front(), groups.back(), E_FAIL},  // down from the last group into the chain
        {groups.front(), groups.back(), E_FAIL},  // the last group's tasks lead into the first group
        {groups.back(), groups.front(), S_OK},
        {leaves[kLength / 2], leaves[kLength / 2 - 2], S_OK},  // a shortcut: both halves explored
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.hr, tree->DependencyLink(row.source, row.dependent, dtFinishToStart))
            << row.source << "->" << row.dependent;
    }
}

TEST_F(LargePlansTest, ADeepHierarchyIsWalkedWithoutRecursion)
{
    RecordingOwner owner;
    ITaskTree* tree = owner.Tree();
    ComPtr<ITask> task;
    LONG parent = 0;
    for (LONG i = 0; i < kLength; ++i) {
        ASSERT_EQ(S_OK, tree->AddTask(parent, -1, u"", task.ReleaseAndGetAddressOf()));
        parent = IdOf(task.Get());
    }
    owner.Take();
    // The deepest task moves later: every summary above it follows.
    ASSERT_EQ(S_OK, task->SetStartEndDate(kToday + 3));
    EXPECT_EQ(kToday + 4, EndOf(owner.Task(1).Get()));
    EXPECT_EQ(1 + 3 * (kLength - 1), static_cast<LONG>(owner.Take().size()));

    VARIANT_BOOL exists = VARIANT_FALSE;
    ASSERT_EQ(S_OK, tree->TaskPathExists(1, kLength, &exists));
    EXPECT_EQ(VARIANT_TRUE, exists);
    ASSERT_EQ(S_OK, tree->TaskPathExists(kLength, 1, &exists));
    EXPECT_EQ(VARIANT_TRUE, exists);

    tree->put_AutocorrectTaskDates(VARIANT_FALSE);
    tree->put_AutocorrectTaskDates(VARIANT_TRUE);

    // Deleting a resource walks the tree in order.
    auto r = owner.AddResource("r");
    ComPtr<ITaskResources> list;
    ComPtr<ITaskResource> assignment;
    task->get_Resources(list.ReleaseAndGetAddressOf());
    ASSERT_EQ(S_OK, list->Add(r.Get(), assignment.ReleaseAndGetAddressOf()));
    ASSERT_EQ(S_OK, owner.Pool()->Delete(1));

    // Moving the deepest task to the root climbs out of all the summaries.
    ASSERT_EQ(S_OK, tree->MoveTask(kLength, 0, 0));
    ASSERT_EQ(S_OK, tree->DeleteTask(1));
    LONG count = -1;
    ComPtr<ITasks> roots;
    tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
    roots->get_Count(&count);
    EXPECT_EQ(1, count);
}

TEST_F(LargePlansTest, TheModelEndsWithADeepHierarchyStillInIt)
{
    ComPtr<ITask> deepest;
    {
        ProjectModel model(nullptr, nullptr, nullptr, nullptr);
        LONG parent = 0;
        for (LONG i = 0; i < kLength; ++i) {
            ASSERT_EQ(S_OK, model.TaskTree()->AddTask(parent, -1, u"", deepest.ReleaseAndGetAddressOf()));
            parent = IdOf(deepest.Get());
        }
    }
    EXPECT_EQ(-1, IdOf(deepest.Get()));
}

}  // namespace
}  // namespace qmx::test
