#include "model/date_correction.h"

#include <algorithm>

#include "automation/date_time.h"
#include "model/dependency_link.h"
#include "model/task.h"
#include "model/task_tree.h"

namespace qmx {

EarliestDates Earliest(const CTask* task)
{
    EarliestDates bounds;
    for (const CTask* node = task; node; node = node->Parent()) {
        if (node->knownBounds_.known) {
            bounds.start = std::max(bounds.start, node->knownBounds_.start);
            bounds.end = std::max(bounds.end, node->knownBounds_.end);
            break;
        }
        const CTaskDependencies& predecessors = node->Predecessors();
        for (std::size_t i = 0; i < predecessors.EntryCount(); ++i) {
            const CDependencyLink* link = predecessors.EntryAt(i).link.Get();
            if (!link || link->IsRemoved()) continue;
            const CTask* source = link->Source();
            switch (link->Type()) {
            case dtStartToStart: bounds.start = std::max(bounds.start, source->Start()); break;
            case dtFinishToStart: bounds.start = std::max(bounds.start, source->End()); break;
            case dtStartToFinish: bounds.end = std::max(bounds.end, source->Start()); break;
            case dtFinishToFinish: bounds.end = std::max(bounds.end, source->End()); break;
            default: break;  // a kind outside the four bounds nothing
            }
        }
    }
    return bounds;
}

namespace {

// Where a task that lost its last child starts: with its parent; a lone
// root task today; another root task with the root task before it (the
// second one when it is the first).
DATE OneDayTaskStart(CTask* task)
{
    if (const CTask* parent = task->Parent()) return parent->Start();
    CTasks& roots = task->Tree()->RootList();
    const auto pos = roots.PositionOf(task);
    if (roots.Size() < 2 || !pos) return Today();
    return roots.At(*pos == 0 ? 1 : *pos - 1)->Start();
}

}  // namespace

// --- Entry points ------------------------------------------------------------

DateCorrection::~DateCorrection()
{
    for (CTask* task : keptBounds_) task->knownBounds_.known = false;
}

void DateCorrection::KeepBounds(CTask* summary)
{
    if (summary->knownBounds_.known) return;
    const EarliestDates bounds = Earliest(summary);
    keptBounds_.push_back(summary);
    summary->knownBounds_ = {true, bounds.start, bounds.end};
}

void DateCorrection::DropBounds(CTask* summary)
{
    if (keptBounds_.empty() || keptBounds_.back() != summary) return;
    keptBounds_.pop_back();
    summary->knownBounds_.known = false;
}

void DateCorrection::UpdateSummaryDates(CTask* task, bool climb)
{
    Frame frame{Op::Summary};
    frame.task = task;
    frame.climb = climb;
    Run(frame);
}

void DateCorrection::PropagateToSuccessors(CTask* task, bool startLater, bool endLater)
{
    Run(Propagate(task, startLater, endLater));
}

void DateCorrection::PushStart(CTask* task, DATE date)
{
    Run(Push(Op::PushStart, task, date));
}

void DateCorrection::PushEnd(CTask* task, DATE date)
{
    Run(Push(Op::PushEnd, task, date));
}

void DateCorrection::AfterMove(CTask* task, DATE oldStart)
{
    Frame frame{Op::AfterMove};
    frame.task = task;
    frame.date = task->Start();
    frame.oldStart = oldStart;
    Run(frame);
}

DateCorrection::Frame DateCorrection::Propagate(CTask* task, bool startLater, bool endLater)
{
    Frame frame{Op::Propagate};
    frame.task = task;
    frame.startLater = startLater;
    frame.endLater = endLater;
    return frame;
}

DateCorrection::Frame DateCorrection::Push(Op op, CTask* task, DATE date)
{
    Frame frame{op};
    frame.task = task;
    frame.date = date;
    return frame;
}

// --- The frame machine ---------------------------------------------------------
//
// Each step works on the frame at index i, always the top of the stack. A
// step either finishes its frame (pops it), replaces it by its last call, or
// pushes a call and returns; it never touches its frame after pushing, as
// the push may move the stack's storage.

void DateCorrection::Run(Frame first)
{
    const std::size_t base = stack_.size();
    stack_.push_back(first);
    while (stack_.size() > base) {
        const std::size_t top = stack_.size() - 1;
        switch (stack_[top].op) {
        case Op::Propagate: StepPropagate(top); break;
        case Op::PushStart: StepPushStart(top); break;
        case Op::PushEnd: StepPushEnd(top); break;
        case Op::PushChildren: StepPushChildren(top); break;
        case Op::AfterMove: StepAfterMove(top); break;
        case Op::Summary: StepSummary(top); break;
        }
    }
}

void DateCorrection::Call(const Frame& callee)
{
    stack_.push_back(callee);
}

void DateCorrection::StepPropagate(std::size_t i)
{
    Frame& f = stack_[i];
    CTask* task = f.task;
    CTaskDependencies& successors = task->Successors();
    if (f.stage == 0) {
        // The number of entries is read once; pushes do not change links.
        successors.Compact();
        f.count = successors.EntryCount();
        f.index = 0;
        f.stage = 1;
    }
    while (f.index < f.count && f.index < successors.EntryCount()) {
        const CDependencyLink* link = successors.EntryAt(f.index++).link.Get();
        if (!link || link->IsRemoved()) continue;
        CTask* dependent = link->Dependent();
        Frame callee;
        switch (link->Type()) {
        case dtStartToStart:
            if (!f.startLater) continue;
            callee = Push(Op::PushStart, dependent, task->Start());
            break;
        case dtFinishToStart:
            if (!f.endLater) continue;
            callee = Push(Op::PushStart, dependent, task->End());
            break;
        case dtStartToFinish:
            if (!f.startLater) continue;
            callee = Push(Op::PushEnd, dependent, task->Start());
            break;
        case dtFinishToFinish:
            if (!f.endLater) continue;
            callee = Push(Op::PushEnd, dependent, task->End());
            break;
        default: continue;
        }
        if (f.index >= f.count) stack_[i] = callee;  // the last entry: a tail call
        else Call(callee);
        return;
    }
    stack_.pop_back();
}

void DateCorrection::StepPushStart(std::size_t i)
{
    Frame& f = stack_[i];
    CTask* task = f.task;
    if (task->Start() >= f.date) {
        stack_.pop_back();
    } else if (task->HasChildren()) {
        // Each child that starts too early is pushed; the rest stay.
        f.op = Op::PushChildren;
        f.index = 0;
        KeepBounds(task);
    } else {
        MoveLeaf(i, f.date);
    }
}

void DateCorrection::StepPushEnd(std::size_t i)
{
    const Frame& f = stack_[i];
    const CTask* task = f.task;
    if (task->End() >= f.date) stack_.pop_back();
    else MoveLeaf(i, f.date - (task->End() - task->Start()));
}

void DateCorrection::MoveLeaf(std::size_t i, DATE newStart)
{
    CTask* task = stack_[i].task;
    bool moved = false;
    DATE oldStart = task->Start();
    task->MoveKeepingSpan(newStart, &moved, &oldStart);
    if (!moved || !task->Tree()->Autocorrect()) {
        stack_.pop_back();
        return;
    }
    Frame& f = stack_[i];
    f.op = Op::AfterMove;
    f.stage = 0;
    f.date = task->Start();
    f.oldStart = oldStart;
}

void DateCorrection::StepPushChildren(std::size_t i)
{
    Frame& f = stack_[i];
    CTasks& children = f.task->Subtasks();
    if (f.index >= children.Size()) {
        DropBounds(f.task);
        stack_.pop_back();
        return;
    }
    const Frame callee = Push(Op::PushStart, children.At(f.index++), f.date);
    if (f.index >= children.Size()) {
        DropBounds(f.task);
        stack_[i] = callee;
    } else {
        Call(callee);
    }
}

void DateCorrection::StepAfterMove(std::size_t i)
{
    Frame& f = stack_[i];
    if (f.stage == 0) {
        f.stage = 1;
        if (CTask* parent = f.task->Parent()) {
            Frame summary{Op::Summary};
            summary.task = parent;
            summary.climb = true;
            Call(summary);
            return;
        }
    }
    if (f.date > f.oldStart) stack_[i] = Propagate(f.task, true, true);
    else stack_.pop_back();
}

void DateCorrection::StepSummary(std::size_t i)
{
    CTask* node = stack_[i].task;
    switch (stack_[i].stage) {
    case 0:
        if (node->HasChildren()) {
            const auto [lo, hi] = node->Subtasks().Span();
            bool startLater = false;
            bool endLater = false;
            bool changed = false;
            if (lo != node->Start()) {
                startLater = lo > node->Start();
                node->StoreDates(lo, node->End());
                node->Notify(tcStartDate, true);
                changed = true;
            }
            if (hi != node->End()) {
                endLater = hi > node->End();
                node->StoreDates(node->Start(), hi);
                node->Notify(tcEndDate, true);
                changed = true;
            }
            if (!changed) {
                stack_.pop_back();  // nothing moved: no further climbing
                return;
            }
            node->SetDurationDays(static_cast<float>(node->End() - node->Start()));
            node->Notify(tcDuration, true);
            stack_[i].stage = 2;
            if (startLater || endLater) Call(Propagate(node, startLater, endLater));
        } else {
            // It has just lost its last child: a one-day task again.
            node->SetDurationDays(1.0f);
            const DATE start = OneDayTaskStart(node);
            node->StoreDates(start, start + 1.0);
            stack_[i].stage = 1;
            Call(Push(Op::PushStart, node, Earliest(node).start));
        }
        return;
    case 1:
        node->Notify(tcStartDate, true);
        node->Notify(tcEndDate, true);
        node->Notify(tcDuration, true);
        stack_[i].stage = 2;
        Call(Propagate(node, true, true));
        return;
    default:
        node->Tree()->MarkDatesDirty();
        if (!stack_[i].climb || !node->Parent()) {
            stack_.pop_back();
            return;
        }
        stack_[i].task = node->Parent();
        stack_[i].stage = 0;
        return;
    }
}

}  // namespace qmx
