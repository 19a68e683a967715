// Links: creation and refusal, removal and its notifications, removed
// links, and the path search against a literal reference search.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "automation/date_time.h"
#include "model/path_search.h"
#include "model/task.h"
#include "model/tests/recording_sinks.h"

namespace qmx::test {
namespace {

using Lines = std::vector<std::string>;

class LinksTest : public ::testing::Test {
protected:
    void SetUp() override { FixToday(45355.0); }
    void TearDown() override { UnfixToday(); }

    bool Path(LONG from, LONG to)
    {
        VARIANT_BOOL exists = VARIANT_FALSE;
        EXPECT_EQ(S_OK, owner.Tree()->TaskPathExists(from, to, &exists));
        return exists == VARIANT_TRUE;
    }

    RecordingOwner owner;
};

TEST_F(LinksTest, LinksThatWouldCloseACycleAreRefused)
{
    ITaskTree* tree = owner.Tree();
    owner.Add(0, "a");  // 1
    owner.Add(0, "b");  // 2
    owner.Add(1, "c");  // 3: child of a
    owner.Add(3, "g");  // 4: grandchild of a
    owner.Take();
    struct Row {
        LONG source, dependent;
        HRESULT hr;
    } rows[] = {
        {1, 1, E_FAIL},         // to itself
        {1, 99, E_INVALIDARG},  // unknown
        {99, 1, E_INVALIDARG},
        {1, 3, E_FAIL},         // to its child
        {4, 1, E_FAIL},         // to its grandparent
        {1, 2, S_OK},
        {1, 2, E_FAIL},         // twice
        {2, 1, E_FAIL},         // back
        {2, 4, E_FAIL},         // g climbs to a, which b follows
        {4, 2, S_OK},           // g before b closes nothing
        {2, 3, E_FAIL},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.hr, tree->DependencyLink(row.source, row.dependent, dtFinishToStart))
            << row.source << "->" << row.dependent;
    }
    EXPECT_EQ(Lines({"link added 1->2 type 2", "changed 2 start|end fire", "link added 4->2 type 2"}), owner.Take());
}

TEST_F(LinksTest, PathsFollowLinksAndTheHierarchy)
{
    ITaskTree* tree = owner.Tree();
    owner.Add(0, "a");  // 1
    owner.Add(0, "b");  // 2
    owner.Add(1, "c");  // 3
    owner.Add(3, "g");  // 4
    owner.Add(0, "x");  // 5
    owner.Add(0, "y");  // 6
    owner.Add(6, "z");  // 7
    ASSERT_EQ(S_OK, tree->DependencyLink(2, 5, dtStartToStart));
    ASSERT_EQ(S_OK, tree->DependencyLink(4, 6, dtStartToStart));
    struct Row {
        LONG from, to;
        bool exists;
    } rows[] = {
        {1, 2, false},  // siblings without links
        {1, 4, true},   // grandchild
        {4, 1, true},   // grandparent
        {2, 5, true},   // a link
        {5, 2, false},
        {4, 7, true},   // along a link, then down into the dependent's child
        {1, 7, true},   // down to g, along its link, down to z
        {3, 6, true},   // down, then along the link
        {7, 4, false},  // up to y, but no link back
        {3, 2, false},  // up to a: a reaches nothing further
    };
    for (const auto& row : rows) EXPECT_EQ(row.exists, Path(row.from, row.to)) << row.from << "->" << row.to;
    VARIANT_BOOL exists;
    EXPECT_EQ(E_INVALIDARG, tree->TaskPathExists(1, 99, &exists));
    EXPECT_EQ(E_POINTER, tree->TaskPathExists(1, 2, nullptr));
}

TEST_F(LinksTest, ALadderOfDiamondsIsSearchedOnce)
{
    // s0 -> {a, b} -> s1 -> ... -> s30: 2^30 link paths from s0 to s30.
    ITaskTree* tree = owner.Tree();
    tree->put_AutocorrectTaskDates(VARIANT_FALSE);
    LONG s = IdOf(owner.Add(0).Get());
    const LONG first = s;
    for (int i = 0; i < 30; ++i) {
        const LONG a = IdOf(owner.Add(0).Get());
        const LONG b = IdOf(owner.Add(0).Get());
        const LONG next = IdOf(owner.Add(0).Get());
        for (LONG mid : {a, b}) {
            ASSERT_EQ(S_OK, tree->DependencyLink(s, mid, dtFinishToStart));
            ASSERT_EQ(S_OK, tree->DependencyLink(mid, next, dtFinishToStart));
        }
        s = next;
    }
    const LONG outside = IdOf(owner.Add(0).Get());
    EXPECT_TRUE(Path(first, s));
    EXPECT_FALSE(Path(s, first));
    EXPECT_FALSE(Path(first, outside));  // explores every path without a visited set
    EXPECT_EQ(E_FAIL, tree->DependencyLink(s, first, dtFinishToStart));
}

TEST_F(LinksTest, BothSidesStopAndResumeInsideLongLists)
{
    // Sixty tasks precede the end task, so the backward side has much to
    // do; one task of a summary of forty leads to the end. Short turns make
    // both sides stop and resume inside these lists.
    const SearchTurns turns[] = {{0, 1, 1}, {0, 2, 1}, {3, 1, 1}, {1, 1, 5}, {}};
    for (std::size_t k : {0u, 7u, 8u, 9u, 16u, 39u}) {
        RecordingOwner p;
        ITaskTree* tree = p.Tree();
        const LONG end = IdOf(p.Add(0).Get());
        for (int i = 0; i < 60; ++i) ASSERT_EQ(S_OK, tree->DependencyLink(IdOf(p.Add(0).Get()), end, dtStartToStart));
        const LONG summary = IdOf(p.Add(0).Get());
        std::vector<LONG> children;
        for (int i = 0; i < 40; ++i) children.push_back(IdOf(p.Add(summary).Get()));
        const LONG start = IdOf(p.Add(0).Get());
        ASSERT_EQ(S_OK, tree->DependencyLink(children[k], end, dtStartToStart));
        ASSERT_EQ(S_OK, tree->DependencyLink(start, children[k], dtStartToStart));
        struct Row {
            LONG from, to;
            bool exists;
        } rows[] = {
            {summary, end, true},  // down the list, then along the link
            {start, summary, true},  // along the link, then up
            {start, end, true},
            {end, summary, false},
            {summary, start, false},
            {children[(k + 1) % children.size()], end, false},  // up, and no way down again
        };
        for (const Row& row : rows) {
            CTask* from = CTask::From(p.Task(row.from).Get());
            CTask* to = CTask::From(p.Task(row.to).Get());
            VARIANT_BOOL exists = VARIANT_FALSE;
            ASSERT_EQ(S_OK, tree->TaskPathExists(row.from, row.to, &exists));
            EXPECT_EQ(row.exists, exists == VARIANT_TRUE) << row.from << "->" << row.to;
            for (const SearchTurns& t : turns) {
                EXPECT_EQ(row.exists, PathExists(*from->Tree(), from, to, t))
                    << "child " << k << ": " << row.from << "->" << row.to << " turns " << t.headStart << "/"
                    << t.forwardShare << "/" << t.burst;
            }
        }
    }
}

TEST_F(LinksTest, UnlinkAndRemovedLinks)
{
    ITaskTree* tree = owner.Tree();
    auto a = owner.Add(0, "a");
    auto b = owner.Add(0, "b");
    ASSERT_EQ(S_OK, tree->DependencyLink(1, 2, dtStartToStart));
    ComPtr<ITaskDependencies> predecessors;
    ComPtr<ITaskDependency> link;
    b->get_Predecessors(predecessors.ReleaseAndGetAddressOf());
    ASSERT_EQ(S_OK, predecessors->get_Dependencies(0, link.ReleaseAndGetAddressOf()));
    ComPtr<ITask> pair;
    ASSERT_EQ(S_OK, link->get_PairTask(pair.ReleaseAndGetAddressOf()));
    EXPECT_EQ(1, IdOf(pair.Get()));
    owner.Take();

    EXPECT_EQ(E_INVALIDARG, tree->DependencyUnlink(1, 99));
    EXPECT_EQ(S_FALSE, tree->DependencyUnlink(2, 1));
    const DATE start = StartOf(b.Get());
    EXPECT_EQ(S_OK, tree->DependencyUnlink(1, 2));
    EXPECT_EQ(Lines{"link removed 1->2 type 0"}, owner.Take());
    EXPECT_EQ(start, StartOf(b.Get()));
    LONG count = -1;
    predecessors->get_Count(&count);
    EXPECT_EQ(0, count);
    // The held view lives on without its tasks.
    EXPECT_EQ(E_FAIL, link->get_PairTask(pair.ReleaseAndGetAddressOf()));
    EXPECT_EQ(nullptr, pair.Get());
    QMXDependencyType type{};
    EXPECT_EQ(S_OK, link->get_Type(&type));
    EXPECT_EQ(dtStartToStart, type);
    EXPECT_EQ(E_FAIL, link->put_Type(dtFinishToStart));
    EXPECT_EQ(S_FALSE, tree->DependencyUnlink(1, 2));
}

TEST_F(LinksTest, ListsAreInPairIdOrderAndDeleteAllReportsEachLink)
{
    ITaskTree* tree = owner.Tree();
    owner.Add(0, "a");  // 1
    owner.Add(0, "b");  // 2
    owner.Add(0, "c");  // 3
    auto d = owner.Add(0, "d");  // 4
    for (LONG source : {3, 1, 2}) ASSERT_EQ(S_OK, tree->DependencyLink(source, 4, dtStartToStart));
    ComPtr<ITaskDependencies> predecessors;
    d->get_Predecessors(predecessors.ReleaseAndGetAddressOf());
    for (LONG i = 0; i < 3; ++i) {
        ComPtr<ITaskDependency> link;
        ComPtr<ITask> pair;
        predecessors->get_Dependencies(i, link.ReleaseAndGetAddressOf());
        link->get_PairTask(pair.ReleaseAndGetAddressOf());
        EXPECT_EQ(i + 1, IdOf(pair.Get()));
    }
    ComPtr<ITaskDependency> none;
    EXPECT_EQ(E_INVALIDARG, predecessors->get_Dependencies(3, none.ReleaseAndGetAddressOf()));
    owner.Take();
    ASSERT_EQ(S_OK, predecessors->DeleteAll());
    EXPECT_EQ(Lines({"link changed 1->4 type 0", "link changed 2->4 type 0", "link changed 3->4 type 0"}),
              owner.Take());
    for (LONG id : {1, 2, 3}) {
        ComPtr<ITaskDependencies> successors;
        LONG count = -1;
        owner.Task(id)->get_Successors(successors.ReleaseAndGetAddressOf());
        successors->get_Count(&count);
        EXPECT_EQ(0, count);
    }
}

TEST_F(LinksTest, KindsOutsideTheFourAreStoredAndBoundNothing)
{
    ITaskTree* tree = owner.Tree();
    auto a = owner.Add(0, "a");
    auto p = owner.Add(0, "p");
    owner.Add(2, "child");
    a->put_EndDate(45355.0 + 9);
    const DATE start = StartOf(p.Get());
    ASSERT_EQ(S_OK, tree->DependencyLink(1, 2, static_cast<QMXDependencyType>(7)));
    EXPECT_EQ(start, StartOf(p.Get()));
    a->SetStartEndDate(45355.0 + 20);
    EXPECT_EQ(start, StartOf(p.Get()));
    ComPtr<ITaskDependencies> successors;
    ComPtr<ITaskDependency> link;
    a->get_Successors(successors.ReleaseAndGetAddressOf());
    successors->get_Dependencies(0, link.ReleaseAndGetAddressOf());
    QMXDependencyType type{};
    link->get_Type(&type);
    EXPECT_EQ(7, type);
    // From an unknown kind to a real one: enforced in full.
    ASSERT_EQ(S_OK, link->put_Type(dtStartToStart));
    EXPECT_EQ(45355.0 + 20, StartOf(p.Get()));
}

// The path search in its literal form: recursive, without any
// memory of what was visited. Exponential in general, fine on small plans.
enum How { kStart, kLink, kDown, kUp };
// stop: the stop task's ID of the restricted form, 0 for the full form.
bool ReferencePath(ITask* x, LONG target, How how, LONG stop = 0)
{
    ComPtr<ITaskDependencies> successors;
    x->get_Successors(successors.ReleaseAndGetAddressOf());
    LONG count = 0;
    successors->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskDependency> link;
        ComPtr<ITask> dependent;
        successors->get_Dependencies(i, link.ReleaseAndGetAddressOf());
        link->get_PairTask(dependent.ReleaseAndGetAddressOf());
        if (IdOf(dependent.Get()) == target || ReferencePath(dependent.Get(), target, kLink, stop)) return true;
    }
    if (how != kDown) {
        ComPtr<ITask> parent;
        if (x->get_ParentTask(parent.ReleaseAndGetAddressOf()) == S_OK && IdOf(parent.Get()) != stop) {
            if (IdOf(parent.Get()) == target || ReferencePath(parent.Get(), target, kUp, stop)) return true;
        }
    }
    if (how == kUp || IdOf(x) == stop) return false;
    ComPtr<ITasks> children;
    x->get_Subtasks(children.ReleaseAndGetAddressOf());
    children->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITask> child;
        children->get_Tasks(i, child.ReleaseAndGetAddressOf());
        if (IdOf(child.Get()) == target || ReferencePath(child.Get(), target, kDown, stop)) return true;
    }
    return false;
}

TEST_F(LinksTest, PathSearchAgreesWithTheLiteralSearchOnRandomPlans)
{
    // The search from both ends with turns so short that both sides run
    // and either may finish first, besides the default turns.
    const SearchTurns turns[] = {{0, 1, 1}, {1, 1, 1}, {0, 1, 3}, {2, 2, 2}, {7, 3, 1}, {0, 4, 1}};
    std::mt19937 random(20240304);
    auto below = [&](LONG n) { return std::uniform_int_distribution<LONG>(0, n - 1)(random); };
    for (int plan = 0; plan < 200; ++plan) {
        RecordingOwner p;
        ITaskTree* tree = p.Tree();
        std::vector<LONG> ids;
        auto pick = [&] { return ids[static_cast<std::size_t>(below(static_cast<LONG>(ids.size())))]; };
        // Flat plans favour long link chains, deep ones steps up and down,
        // wide ones long lists of children passed over in several turns.
        const int shape = plan % 5;
        const int linkWeight = shape == 4 ? 1 + plan % 3 : 3 + plan % 7;
        for (int i = 0; i < (shape == 4 ? 48 : 24); ++i) {
            LONG parent = 0;
            if (shape == 4 && !ids.empty()) parent = below(4) == 0 ? pick() : ids.front();
            if (shape < 4 && !ids.empty() && below(shape + 2) == 0) parent = pick();
            ids.push_back(IdOf(p.Add(parent).Get()));
        }
        // Links, unlinks, moves and deletions in random order: the counts
        // that let the search skip subtrees must follow all of them.
        for (int k = 0; k < 80; ++k) {
            const int op = below(4 + linkWeight);
            switch (op) {
            case 0: tree->DependencyUnlink(pick(), pick()); break;
            case 1: tree->MoveTask(pick(), below(3) == 0 ? 0 : pick(), -1); break;
            case 2:
                if (ids.size() > 12) {
                    tree->DeleteTask(pick());
                    ids.clear();
                    ComPtr<IEnumTaskIDs> e;
                    tree->EnumTasks(e.ReleaseAndGetAddressOf());
                    for (LONG id; e->Next(&id) == S_OK;) ids.push_back(id);
                    if (ids.empty()) ids.push_back(IdOf(p.Add(0).Get()));  // the whole plan was one subtree
                }
                break;
            case 3: ids.push_back(IdOf(p.Add(pick()).Get())); break;
            default: tree->DependencyLink(pick(), pick(), static_cast<QMXDependencyType>(below(4))); break;
            }
        }
        for (LONG from : ids) {
            auto task = p.Task(from);
            CTask* source = CTask::From(task.Get());
            for (LONG to : ids) {
                const bool expected = ReferencePath(task.Get(), to, kStart);
                VARIANT_BOOL exists = VARIANT_FALSE;
                tree->TaskPathExists(from, to, &exists);
                ASSERT_EQ(expected, exists == VARIANT_TRUE) << "plan " << plan << ": " << from << "->" << to;
                CTask* target = CTask::From(p.Task(to).Get());
                // The restricted form of MoveTask, from the new parent and
                // towards it.
                ASSERT_EQ(ReferencePath(task.Get(), to, kStart, from), PathExists(*source->Tree(), source, target, source))
                    << "plan " << plan << ": " << from << "->" << to << " stopping at the start";
                ASSERT_EQ(ReferencePath(task.Get(), to, kStart, to), PathExists(*source->Tree(), source, target, target))
                    << "plan " << plan << ": " << from << "->" << to << " stopping at the target";
                for (const SearchTurns& t : turns) {
                    ASSERT_EQ(expected, PathExists(*source->Tree(), source, target, t))
                        << "plan " << plan << ": " << from << "->" << to << " turns " << t.headStart << "/"
                        << t.forwardShare << "/" << t.burst;
                }
            }
        }
    }
}

}  // namespace
}  // namespace qmx::test
