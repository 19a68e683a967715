// Date setters, summary spans, pushes through links, the Type change table
// and the correction pass, with the notifications they make.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "automation/date_time.h"
#include "model/tests/recording_sinks.h"

namespace qmx::test {
namespace {

using Lines = std::vector<std::string>;
constexpr DATE kToday = 45355.0;  // 4 March 2024

class DatesTest : public ::testing::Test {
protected:
    void SetUp() override { FixToday(kToday); }
    void TearDown() override { UnfixToday(); }
    RecordingOwner owner;
};

TEST_F(DatesTest, StartAndEndPullEachOtherAlong)
{
    auto a = owner.Add(0);
    owner.Take();
    ASSERT_EQ(S_OK, a->put_StartDate(kToday + 3));
    EXPECT_EQ(kToday + 3, EndOf(a.Get()));
    EXPECT_EQ(0.0f, DurationOf(a.Get()));
    EXPECT_EQ(Lines({"changed 1 start", "changed 1 end fire", "changed 1 duration fire"}), owner.Take());
    ASSERT_EQ(S_OK, a->put_EndDate(kToday + 1));
    EXPECT_EQ(kToday + 1, StartOf(a.Get()));
    EXPECT_EQ(Lines({"changed 1 end", "changed 1 start fire", "changed 1 duration fire"}), owner.Take());
    ASSERT_EQ(S_OK, a->put_EndDate(kToday + 1));  // the same date: nothing
    EXPECT_EQ(Lines{}, owner.Take());
}

TEST_F(DatesTest, StartPutReappliesTheLinksOfEveryDateItMovedLater)
{
    ITaskTree* tree = owner.Tree();
    auto a = owner.Add(0, "a");
    auto fs = owner.Add(0, "fs");
    auto ss = owner.Add(0, "ss");
    fs->SetStartEndDate(kToday + 1);
    ASSERT_EQ(S_OK, tree->DependencyLink(1, 2, dtFinishToStart));
    ASSERT_EQ(S_OK, tree->DependencyLink(1, 3, dtStartToStart));
    owner.Take();
    // The end is dragged along to +5: the finish-to-start successor follows
    // it as well as the start-to-start one follows the start.
    ASSERT_EQ(S_OK, a->put_StartDate(kToday + 5));
    EXPECT_EQ(kToday + 5, StartOf(fs.Get()));
    EXPECT_EQ(kToday + 5, StartOf(ss.Get()));
    EXPECT_EQ(Lines({"changed 1 start", "changed 1 end fire", "changed 1 duration fire",
                     "changed 2 start|end fire", "changed 3 start|end fire"}),
              owner.Take());
    // An end put later re-applies the end-driven ones.
    ASSERT_EQ(S_OK, a->put_EndDate(kToday + 6));
    EXPECT_EQ(kToday + 6, StartOf(fs.Get()));
    EXPECT_EQ(kToday + 7, EndOf(fs.Get()));
    EXPECT_EQ(kToday + 5, StartOf(ss.Get()));
}

// Source a at [-2, 0] and dependent b at [0, +2] (2 to 4 and 4 to 6 March),
// linked by each kind; one date edit of a or b. Each link still holds
// afterwards, and a pushed task is reported as a consequential change.
TEST_F(DatesTest, EveryDateEditKeepsTheLinkOfEachKind)
{
    enum class Op { Start, End, Duration, Move };
    struct Row {
        const char* what;
        LONG edited;  // 1 = a, 2 = b
        Op op;
        QMXDependencyType type;
        double value;  // day offset from today, or days for Duration
        DATE aStart, aEnd, bStart, bEnd;
    };
    const Row rows[] = {
        // A start put past the end drags the end along: both dates moved later.
        {"a start past its end", 1, Op::Start, dtFinishToStart, 5, 5, 5, 5, 7},
        {"a start past its end", 1, Op::Start, dtFinishToFinish, 5, 5, 5, 3, 5},
        {"a start past its end", 1, Op::Start, dtStartToStart, 5, 5, 5, 5, 7},
        {"a start past its end", 1, Op::Start, dtStartToFinish, 5, 5, 5, 3, 5},
        {"a start within its end", 1, Op::Start, dtFinishToStart, -1, -1, 0, 0, 2},
        {"a start within its end", 1, Op::Start, dtStartToFinish, -1, -1, 0, 0, 2},
        // An end put before the start drags the start along, never before
        // the bound of b's own links.
        {"b end before its start", 2, Op::End, dtFinishToStart, -5, -2, 0, 0, 0},
        {"b end before its start", 2, Op::End, dtStartToStart, -5, -2, 0, -2, -2},
        {"b end before its start", 2, Op::End, dtStartToFinish, -5, -2, 0, -2, -2},
        {"b end before its start", 2, Op::End, dtFinishToFinish, -5, -2, 0, 0, 0},
        {"a end later", 1, Op::End, dtFinishToStart, 3, -2, 3, 3, 5},
        {"a end later", 1, Op::End, dtFinishToFinish, 3, -2, 3, 1, 3},
        {"a end earlier", 1, Op::End, dtFinishToStart, -3, -3, -3, 0, 2},
        {"a longer", 1, Op::Duration, dtFinishToStart, 6, -2, 4, 4, 6},
        {"a longer", 1, Op::Duration, dtFinishToFinish, 6, -2, 4, 2, 4},
        {"a moved later", 1, Op::Move, dtFinishToStart, 1, 1, 3, 3, 5},
        {"a moved later", 1, Op::Move, dtStartToFinish, 3, 3, 5, 1, 3},
        {"b moved earlier", 2, Op::Move, dtFinishToStart, -9, -2, 0, 0, 2},
        {"b moved earlier", 2, Op::Move, dtFinishToFinish, -9, -2, 0, -2, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.what << ", kind " << row.type);
        RecordingOwner plan;
        auto a = plan.Add(0, "a");
        auto b = plan.Add(0, "b");
        ASSERT_EQ(S_OK, a->SetStartEndDate(kToday - 2));
        ASSERT_EQ(S_OK, a->put_EndDate(kToday));
        ASSERT_EQ(S_OK, b->put_EndDate(kToday + 2));
        ASSERT_EQ(S_OK, plan.Tree()->DependencyLink(1, 2, row.type));
        ASSERT_EQ(kToday, StartOf(b.Get()));
        plan.Take();
        ITask* task = row.edited == 1 ? a.Get() : b.Get();
        HRESULT hr = E_UNEXPECTED;
        switch (row.op) {
        case Op::Start: hr = task->put_StartDate(kToday + row.value); break;
        case Op::End: hr = task->put_EndDate(kToday + row.value); break;
        case Op::Duration: hr = task->put_Duration(static_cast<float>(row.value)); break;
        case Op::Move: hr = task->SetStartEndDate(kToday + row.value); break;
        }
        EXPECT_EQ(S_OK, hr);
        EXPECT_EQ(kToday + row.aStart, StartOf(a.Get()));
        EXPECT_EQ(kToday + row.aEnd, EndOf(a.Get()));
        EXPECT_EQ(kToday + row.bStart, StartOf(b.Get()));
        EXPECT_EQ(kToday + row.bEnd, EndOf(b.Get()));
        const Lines lines = plan.Take();
        if (row.edited == 1) {
            const bool bPushed = row.bStart != 0 || row.bEnd != 2;
            EXPECT_EQ(bPushed, std::find(lines.begin(), lines.end(), "changed 2 start|end fire") != lines.end());
        }
    }
}

TEST_F(DatesTest, SummaryDatesAreRefusedWhileAutocorrectIsOn)
{
    ITaskTree* tree = owner.Tree();
    auto p = owner.Add(0);
    auto c = owner.Add(1);
    owner.Take();
    EXPECT_EQ(S_FALSE, p->put_StartDate(kToday + 2));
    EXPECT_EQ(S_FALSE, p->put_EndDate(kToday + 2));
    EXPECT_EQ(S_FALSE, p->put_Duration(4));
    EXPECT_EQ(S_FALSE, p->SetStartEndDate(kToday + 2));
    EXPECT_EQ(Lines{}, owner.Take());

    // Off: stored as given, the duration kept until the correction pass.
    tree->put_AutocorrectTaskDates(VARIANT_FALSE);
    EXPECT_EQ(S_OK, p->put_StartDate(kToday - 4));
    EXPECT_EQ(S_OK, p->put_Duration(9));
    EXPECT_EQ(S_OK, c->put_EndDate(kToday + 3));
    EXPECT_EQ(kToday - 4, StartOf(p.Get()));
    EXPECT_EQ(1.0f, DurationOf(p.Get()));
    EXPECT_EQ(1.0f, DurationOf(c.Get()));
    EXPECT_EQ(Lines({"changed 1 start", "changed 2 end"}), owner.Take());

    // On again: every leaf's duration from its dates, every summary from
    // its children.
    tree->put_AutocorrectTaskDates(VARIANT_TRUE);
    EXPECT_EQ(3.0f, DurationOf(c.Get()));
    EXPECT_EQ(kToday, StartOf(p.Get()));
    EXPECT_EQ(kToday + 3, EndOf(p.Get()));
    EXPECT_EQ(3.0f, DurationOf(p.Get()));
    EXPECT_EQ(Lines({"changed 1 start fire", "changed 1 end fire", "changed 1 duration fire"}), owner.Take());
}

TEST_F(DatesTest, DurationRespectsTheEarliestEnd)
{
    ITaskTree* tree = owner.Tree();
    auto s = owner.Add(0, "s");
    auto d = owner.Add(0, "d");
    s->put_EndDate(kToday + 4);
    ASSERT_EQ(S_OK, tree->DependencyLink(1, 2, dtFinishToFinish));  // d ends >= +4
    ASSERT_EQ(kToday + 3, StartOf(d.Get()));
    owner.Take();
    EXPECT_EQ(S_OK, d->put_Duration(2.5f));
    EXPECT_EQ(kToday + 5.5, EndOf(d.Get()));
    EXPECT_EQ(Lines{"changed 2 end|duration fire"}, owner.Take());
    d->SetStartEndDate(kToday + 1);  // raised back: ends at +4
    ASSERT_EQ(kToday + 1.5, StartOf(d.Get()));
    owner.Take();
    // 2 days would end at +3.5, raised to +4: the old 2.5 again.
    EXPECT_EQ(S_FALSE, d->put_Duration(2.0f));
    EXPECT_EQ(Lines{}, owner.Take());
}

TEST_F(DatesTest, LinkingPushesTheDependentByKind)
{
    struct Row {
        QMXDependencyType type;
        DATE start, end;  // of the dependent, source at [+10, +12]
    } rows[] = {
        {dtStartToStart, 10, 11},
        {dtStartToFinish, 9, 10},
        {dtFinishToStart, 12, 13},
        {dtFinishToFinish, 11, 12},
    };
    for (const auto& row : rows) {
        RecordingOwner plan;
        auto s = plan.Add(0, "s");
        auto d = plan.Add(0, "d");
        s->SetStartEndDate(kToday + 10);
        s->put_EndDate(kToday + 12);
        ASSERT_EQ(S_OK, plan.Tree()->DependencyLink(1, 2, row.type));
        EXPECT_EQ(kToday + row.start, StartOf(d.Get())) << row.type;
        EXPECT_EQ(kToday + row.end, EndOf(d.Get())) << row.type;
        // Moving the source later pushes again; earlier leaves d alone.
        s->SetStartEndDate(kToday + 13);
        EXPECT_EQ(kToday + row.start + 3, StartOf(d.Get())) << row.type;
        s->SetStartEndDate(kToday);
        EXPECT_EQ(kToday + row.start + 3, StartOf(d.Get())) << row.type;
    }
}

TEST_F(DatesTest, TypeChangesEnforceWhatTheOldKindDidNotImply)
{
    // Source at [+10, +12]; a one-day dependent first pushed by the old kind.
    const DATE after[4][4] = {
        //  to SS  SF  FS  FF  (dependent's start)
        {10, 10, 12, 11},  // from SS
        {10, 9, 12, 11},   // from SF
        {12, 12, 12, 12},  // from FS
        {11, 11, 12, 11},  // from FF
    };
    for (LONG from = 0; from < 4; ++from) {
        for (LONG to = 0; to < 4; ++to) {
            RecordingOwner plan;
            auto s = plan.Add(0, "s");
            auto d = plan.Add(0, "d");
            s->SetStartEndDate(kToday + 10);
            s->put_EndDate(kToday + 12);
            ASSERT_EQ(S_OK, plan.Tree()->DependencyLink(1, 2, static_cast<QMXDependencyType>(from)));
            ComPtr<ITaskDependencies> successors;
            ComPtr<ITaskDependency> link;
            s->get_Successors(successors.ReleaseAndGetAddressOf());
            successors->get_Dependencies(0, link.ReleaseAndGetAddressOf());
            plan.Take();
            ASSERT_EQ(S_OK, link->put_Type(static_cast<QMXDependencyType>(to)));
            EXPECT_EQ(kToday + after[from][to], StartOf(d.Get())) << from << " to " << to;
            const Lines lines = plan.Take();
            if (from != to) {
                ASSERT_FALSE(lines.empty());
                EXPECT_EQ("link changed 1->2 type " + std::to_string(to), lines.front());
            }
        }
    }
}

TEST_F(DatesTest, SummaryDependentsTakeOnlyStartBoundKinds)
{
    ITaskTree* tree = owner.Tree();
    auto s = owner.Add(0, "s");
    auto p = owner.Add(0, "p");
    auto early = owner.Add(2, "early");
    auto late = owner.Add(2, "late");
    late->SetStartEndDate(kToday + 6);
    s->put_EndDate(kToday + 3);
    EXPECT_EQ(E_FAIL, tree->DependencyLink(1, 2, dtStartToFinish));
    EXPECT_EQ(E_FAIL, tree->DependencyLink(1, 2, dtFinishToFinish));
    ASSERT_EQ(S_OK, tree->DependencyLink(1, 2, dtFinishToStart));
    // Only the child that started too early moves.
    EXPECT_EQ(kToday + 3, StartOf(early.Get()));
    EXPECT_EQ(kToday + 6, StartOf(late.Get()));
    EXPECT_EQ(kToday + 3, StartOf(p.Get()));
    ComPtr<ITaskDependencies> successors;
    ComPtr<ITaskDependency> link;
    s->get_Successors(successors.ReleaseAndGetAddressOf());
    successors->get_Dependencies(0, link.ReleaseAndGetAddressOf());
    EXPECT_EQ(E_FAIL, link->put_Type(dtFinishToFinish));
    QMXDependencyType type{};
    link->get_Type(&type);
    EXPECT_EQ(dtFinishToStart, type);
}

TEST_F(DatesTest, AParentsLinksBoundItsChildren)
{
    ITaskTree* tree = owner.Tree();
    auto s = owner.Add(0, "s");
    auto p = owner.Add(0, "p");
    auto t = owner.Add(0, "t");
    owner.Add(2, "c");
    s->put_EndDate(kToday + 5);
    ASSERT_EQ(S_OK, tree->DependencyLink(1, 2, dtFinishToStart));
    ASSERT_EQ(kToday + 5, StartOf(p.Get()));
    // t has no links itself, but under p it may not start before s ends.
    ASSERT_EQ(S_OK, tree->MoveTask(3, 2, -1));
    EXPECT_EQ(kToday + 5, StartOf(t.Get()));
    EXPECT_EQ(S_OK, t->put_StartDate(kToday + 1));
    EXPECT_EQ(kToday + 5, StartOf(t.Get()));
}

TEST_F(DatesTest, FinishBoundLinksOfANewSummaryStayOnAddButGoOnMove)
{
    ITaskTree* tree = owner.Tree();
    owner.Add(0, "s");
    owner.Add(0, "p");
    owner.Add(0, "q");
    owner.Add(0, "m");
    ASSERT_EQ(S_OK, tree->DependencyLink(1, 2, dtFinishToFinish));
    ASSERT_EQ(S_OK, tree->DependencyLink(1, 3, dtStartToFinish));
    owner.Add(2, "child");  // p keeps its link
    ASSERT_EQ(S_OK, tree->MoveTask(4, 3, -1));  // q loses its link
    LONG count = 0;
    ComPtr<ITaskDependencies> successors;
    owner.Task(1)->get_Successors(successors.ReleaseAndGetAddressOf());
    successors->get_Count(&count);
    EXPECT_EQ(1, count);
    ComPtr<ITaskDependency> link;
    EXPECT_EQ(S_OK, successors->GetDependencyByTaskID(2, link.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_INVALIDARG, successors->GetDependencyByTaskID(3, link.ReleaseAndGetAddressOf()));
    EXPECT_EQ(nullptr, link.Get());
}

TEST_F(DatesTest, PushesRunDepthFirstInNotificationOrder)
{
    // a -> b -> d and a -> c, finish to start; b and c under summary p.
    ITaskTree* tree = owner.Tree();
    auto a = owner.Add(0, "a");  // 1
    owner.Add(0, "p");           // 2
    owner.Add(2, "b");           // 3
    owner.Add(2, "c");           // 4
    owner.Add(0, "d");           // 5
    ASSERT_EQ(S_OK, tree->DependencyLink(1, 3, dtFinishToStart));
    ASSERT_EQ(S_OK, tree->DependencyLink(1, 4, dtFinishToStart));
    ASSERT_EQ(S_OK, tree->DependencyLink(3, 5, dtFinishToStart));
    owner.Take();
    ASSERT_EQ(S_OK, a->SetStartEndDate(kToday + 2));
    // b moves, its parent follows, then b's successor d, and only then c.
    EXPECT_EQ(Lines({"changed 1 start|end fire",
                     "changed 3 start|end fire",
                     "changed 2 end fire", "changed 2 duration fire",
                     "changed 5 start|end fire",
                     "changed 4 start|end fire",
                     "changed 2 start fire", "changed 2 duration fire"}),
              owner.Take());
}

// Dates outside years 100 to 9999, and durations or moves that would end a
// task outside them, are refused with nothing changed and nothing told.
TEST_F(DatesTest, DatesOutsideTheCalendarAreRefused)
{
    enum class Op { Start, End, Duration, Move };
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const DATE lastStartForADay = kMaxDate - 2;  // the task spans two days
    struct Row {
        Op op;
        double value;
        bool autocorrect;
        HRESULT expected;
    };
    const Row rows[] = {
        {Op::Start, kMinDate, true, S_OK},
        {Op::Start, kMinDate - 0.999, true, S_OK},  // 1 January 100, late evening
        {Op::Start, kMinDate - 1, true, E_INVALIDARG},
        {Op::Start, kMaxDate, true, S_OK},
        {Op::Start, 2958466.0, true, E_INVALIDARG},
        {Op::Start, 1e300, false, E_INVALIDARG},
        {Op::Start, -1e300, true, E_INVALIDARG},
        {Op::Start, -inf, true, E_INVALIDARG},
        {Op::Start, nan, false, E_INVALIDARG},
        {Op::End, kMaxDate, true, S_OK},
        {Op::End, kMinDate, false, S_OK},
        {Op::End, 2958466.0, true, E_INVALIDARG},
        {Op::End, 1e300, true, E_INVALIDARG},
        {Op::End, kMinDate - 1, false, E_INVALIDARG},
        {Op::End, inf, true, E_INVALIDARG},
        {Op::Duration, 2913110.5, true, S_OK},  // ends 31 December 9999 at 12:00
        {Op::Duration, 2913111.0, true, E_INVALIDARG},
        {Op::Duration, 3e38, true, E_INVALIDARG},
        {Op::Duration, 3e38, false, E_INVALIDARG},
        {Op::Duration, 2913110.5, false, S_OK},  // stored nowhere with autocorrect off
        {Op::Duration, inf, true, E_INVALIDARG},
        {Op::Move, lastStartForADay, true, S_OK},
        {Op::Move, lastStartForADay + 0.5, true, E_INVALIDARG},
        {Op::Move, lastStartForADay + 0.5, false, E_INVALIDARG},
        {Op::Move, kMinDate, false, S_OK},
        {Op::Move, kMinDate - 1, true, E_INVALIDARG},
        {Op::Move, 1e300, true, E_INVALIDARG},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "op " << static_cast<int>(row.op) << " value " << row.value
                                          << " autocorrect " << row.autocorrect);
        RecordingOwner model;
        auto task = model.Add(0);
        ASSERT_EQ(S_OK, task->put_EndDate(kToday + 2));
        ASSERT_EQ(S_OK, model.Tree()->put_AutocorrectTaskDates(ToVariantBool(row.autocorrect)));
        model.Take();
        HRESULT hr = E_UNEXPECTED;
        switch (row.op) {
        case Op::Start: hr = task->put_StartDate(row.value); break;
        case Op::End: hr = task->put_EndDate(row.value); break;
        case Op::Duration: hr = task->put_Duration(static_cast<float>(row.value)); break;
        case Op::Move: hr = task->SetStartEndDate(row.value); break;
        }
        EXPECT_EQ(row.expected, hr);
        EXPECT_TRUE(IsCalendarDate(StartOf(task.Get())) && IsCalendarDate(EndOf(task.Get())));
        if (FAILED(hr)) {
            EXPECT_EQ(kToday, StartOf(task.Get()));
            EXPECT_EQ(kToday + 2, EndOf(task.Get()));
            EXPECT_EQ(2.0f, DurationOf(task.Get()));
            EXPECT_EQ(Lines{}, model.Take());
        }
    }
}

// A link whose push would carry the dependent past the calendar leaves the
// dependent where it is: no date outside the calendar is ever stored.
TEST_F(DatesTest, PushesStopAtTheEndOfTheCalendar)
{
    auto a = owner.Add(0, "a");
    auto b = owner.Add(0, "b");
    ASSERT_EQ(S_OK, b->put_EndDate(kToday + 3));
    ASSERT_EQ(S_OK, a->SetStartEndDate(kMaxDate - 1.5));
    ASSERT_EQ(S_OK, owner.Tree()->DependencyLink(1, 2, dtFinishToStart));
    EXPECT_EQ(kToday, StartOf(b.Get()));
    EXPECT_EQ(kToday + 3, EndOf(b.Get()));
}

}  // namespace
}  // namespace qmx::test
