// The model's caches against a full recount after random edits: each task's
// cached position in its list, each summary's span of its children, and the
// project's date range.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "automation/date_time.h"
#include "model/tests/recording_sinks.h"

namespace qmx::test {
namespace {

struct Range {
    DATE lo = kNoLaterBound;
    DATE hi = kNoEarlierBound;
};

// Walks a list, checking Index and (autocorrect on) the owner's span, and
// widens range by every task below.
void CheckList(ITasks* list, ITask* owner, bool autocorrect, Range& range)
{
    LONG count = 0;
    list->get_Count(&count);
    Range children;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITask> task;
        ComPtr<ITasks> subtasks;
        LONG index = -1;
        list->get_Tasks(i, task.ReleaseAndGetAddressOf());
        task->get_Index(&index);
        ASSERT_EQ(i, index) << "task " << IdOf(task.Get());
        children.lo = std::min(children.lo, StartOf(task.Get()));
        children.hi = std::max(children.hi, EndOf(task.Get()));
        task->get_Subtasks(subtasks.ReleaseAndGetAddressOf());
        CheckList(subtasks.Get(), task.Get(), autocorrect, range);
        if (::testing::Test::HasFatalFailure()) return;
    }
    range.lo = std::min(range.lo, children.lo);
    range.hi = std::max(range.hi, children.hi);
    if (owner && count > 0 && autocorrect) {
        ASSERT_EQ(children.lo, StartOf(owner)) << "summary " << IdOf(owner);
        ASSERT_EQ(children.hi, EndOf(owner)) << "summary " << IdOf(owner);
    }
}

TEST(CachesTest, AgreeWithAFullRecountAfterRandomEdits)
{
    FixToday(45355.0);
    std::mt19937 random(7);
    auto below = [&](LONG n) { return std::uniform_int_distribution<LONG>(0, n - 1)(random); };
    for (int plan = 0; plan < 300; ++plan) {
        RecordingOwner owner;
        ITaskTree* tree = owner.Tree();
        bool autocorrect = true;
        for (LONG i = 0; i < 40; ++i) owner.Add(i > 0 && below(3) == 0 ? below(i) + 1 : 0);
        for (int step = 0; step < 150; ++step) {
            std::vector<LONG> ids;
            ComPtr<IEnumTaskIDs> e;
            tree->EnumTasks(e.ReleaseAndGetAddressOf());
            for (LONG id; e->Next(&id) == S_OK;) ids.push_back(id);
            if (ids.empty()) {
                owner.Add(0);
                continue;
            }
            auto pick = [&] { return ids[static_cast<std::size_t>(below(static_cast<LONG>(ids.size())))]; };
            ComPtr<ITask> task = owner.Task(pick());
            const DATE date = 45355.0 + below(40) + below(4) * 0.25;
            switch (below(13)) {
            case 0: {
                ComPtr<ITask> added;
                tree->AddTask(below(3) ? pick() : 0, below(4) - 1, u"", added.ReleaseAndGetAddressOf());
                break;
            }
            case 1: tree->MoveTask(pick(), below(3) ? pick() : 0, below(4) - 1); break;
            case 2:
                if (ids.size() > 20) tree->DeleteTask(pick());
                break;
            case 3: task->put_Index(below(3)); break;
            case 4: task->put_StartDate(date); break;
            case 5: task->put_EndDate(date); break;
            case 6: task->put_Duration(static_cast<float>(below(10)) * 0.5f); break;
            case 7: task->SetStartEndDate(date); break;
            case 8:
            case 9: tree->DependencyLink(pick(), pick(), static_cast<QMXDependencyType>(below(4))); break;
            case 10: tree->DependencyUnlink(pick(), pick()); break;
            case 11:
                if (below(6) == 0) {
                    autocorrect = !autocorrect;
                    tree->put_AutocorrectTaskDates(ToVariantBool(autocorrect));
                }
                break;
            default:
                if (below(20) == 0) tree->DeleteAllTasks();
                break;
            }
            ComPtr<ITasks> roots;
            tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
            Range range;
            CheckList(roots.Get(), nullptr, autocorrect, range);
            ASSERT_FALSE(HasFatalFailure()) << "plan " << plan << ", step " << step;
            ASSERT_EQ(range.lo, owner.Model().MinDate()) << "plan " << plan << ", step " << step;
            ASSERT_EQ(range.hi, owner.Model().MaxDate()) << "plan " << plan << ", step " << step;
        }
    }
    UnfixToday();
}

}  // namespace
}  // namespace qmx::test
