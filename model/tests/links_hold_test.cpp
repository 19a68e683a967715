// Random date edits on random linked plans with autocorrect on: after every
// edit each link holds, each summary spans its children, and every task
// that the edit moved besides the edited one was reported as a
// consequential change.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "automation/date_time.h"
#include "model/tests/recording_sinks.h"

namespace qmx::test {
namespace {

constexpr DATE kToday = 45355.0;

struct Dates {
    DATE start, end;
    bool operator==(const Dates&) const = default;
};

std::vector<Dates> AllDates(RecordingOwner& owner, LONG tasks)
{
    std::vector<Dates> dates;
    for (LONG id = 1; id <= tasks; ++id) {
        ComPtr<ITask> task = owner.Task(id);
        dates.push_back({StartOf(task.Get()), EndOf(task.Get())});
    }
    return dates;
}

// The first link that does not hold or summary that does not span its
// children, as text; empty when there is none.
std::string FirstBrokenRule(RecordingOwner& owner, LONG tasks)
{
    const std::vector<Dates> dates = AllDates(owner, tasks);
    for (LONG id = 1; id <= tasks; ++id) {
        ComPtr<ITask> task = owner.Task(id);
        const Dates& d = dates[id - 1];
        for (const SuccessorLink& link : SuccessorsOf(task.Get())) {
            const Dates& p = dates[link.dependent - 1];
            const bool holds = link.type == dtStartToStart    ? p.start >= d.start
                               : link.type == dtStartToFinish ? p.end >= d.start
                               : link.type == dtFinishToStart ? p.start >= d.end
                                                              : p.end >= d.end;
            if (!holds)
                return "link " + std::to_string(id) + "->" + std::to_string(link.dependent) + " kind " +
                       std::to_string(link.type);
        }
        ComPtr<ITasks> children;
        task->get_Subtasks(children.ReleaseAndGetAddressOf());
        LONG childCount = 0;
        children->get_Count(&childCount);
        if (childCount == 0) continue;
        DATE lo = kNoLaterBound, hi = kNoEarlierBound;
        for (LONG i = 0; i < childCount; ++i) {
            ComPtr<ITask> child;
            children->get_Tasks(i, child.ReleaseAndGetAddressOf());
            lo = std::min(lo, dates[IdOf(child.Get()) - 1].start);
            hi = std::max(hi, dates[IdOf(child.Get()) - 1].end);
        }
        if (lo != d.start || hi != d.end) return "summary " + std::to_string(id);
    }
    return {};
}

// The IDs of the tasks reported with fireEvent true.
std::set<LONG> ReportedAsConsequences(const std::vector<std::string>& lines)
{
    std::set<LONG> ids;
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string word, mask, fire;
        LONG id = 0;
        if ((in >> word >> id >> mask >> fire) && word == "changed" && fire == "fire") ids.insert(id);
    }
    return ids;
}

class LinksHoldTest : public ::testing::Test {
protected:
    void SetUp() override { FixToday(kToday); }
    void TearDown() override { UnfixToday(); }
};

TEST_F(LinksHoldTest, AfterEveryDateEdit)
{
    std::mt19937 random(20261208);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    int pushes = 0;
    for (int round = 0; round < 150; ++round) {
        RecordingOwner owner;
        ITaskTree* tree = owner.Tree();
        const LONG tasks = pick(2, 25);
        for (LONG id = 1; id <= tasks; ++id) {
            owner.Add(id > 1 && pick(0, 2) == 0 ? pick(1, static_cast<int>(id) - 1) : 0);
        }
        for (LONG id = 1; id <= tasks; ++id) {
            ComPtr<ITask> task = owner.Task(id);
            task->SetStartEndDate(kToday + pick(0, 20));
            task->put_Duration(pick(0, 8) * 0.5f);
        }
        // Links along increasing IDs cannot close a cycle of links alone;
        // the model refuses those that would close one through the tree.
        for (int i = pick(0, 2 * static_cast<int>(tasks)); i > 0; --i) {
            int a = pick(1, static_cast<int>(tasks)), b = pick(1, static_cast<int>(tasks));
            if (a == b) continue;
            if (a > b) std::swap(a, b);
            tree->DependencyLink(a, b, static_cast<QMXDependencyType>(pick(0, 3)));
        }
        ASSERT_EQ("", FirstBrokenRule(owner, tasks)) << "plan " << round << " as linked";
        owner.Take();

        for (int edit = 0; edit < 40; ++edit) {
            const LONG id = pick(1, static_cast<int>(tasks));
            ComPtr<ITask> task = owner.Task(id);
            const int op = pick(0, 3);
            const DATE date = kToday + pick(-5, 30) + pick(0, 1) * 0.5;
            const std::vector<Dates> before = AllDates(owner, tasks);
            switch (op) {
            case 0: task->put_StartDate(date); break;
            case 1: task->put_EndDate(date); break;
            case 2: task->put_Duration(pick(0, 16) * 0.5f); break;
            default: task->SetStartEndDate(date); break;
            }
            SCOPED_TRACE(::testing::Message() << "plan " << round << " edit " << edit << ": op " << op << " on "
                                              << id << " date " << date);
            ASSERT_EQ("", FirstBrokenRule(owner, tasks));
            const std::vector<Dates> after = AllDates(owner, tasks);
            const std::set<LONG> reported = ReportedAsConsequences(owner.Take());
            for (LONG other = 1; other <= tasks; ++other) {
                if (other == id || before[other - 1] == after[other - 1]) continue;
                ++pushes;
                EXPECT_TRUE(reported.count(other)) << "task " << other << " moved untold";
            }
        }
    }
    // The edits push other tasks often.
    EXPECT_GT(pushes, 1000);
}

}  // namespace
}  // namespace qmx::test
