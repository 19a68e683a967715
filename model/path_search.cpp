#include "model/path_search.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "model/dependency_link.h"
#include "model/task.h"
#include "model/task_tree.h"

namespace qmx {

namespace {

// How the search reached a task. The start task behaves as if reached by a
// link (it may go along links, up and down).
enum Arrival : std::uint8_t { kByLink = 0, kFromBelow = 1 /* a step up */, kFromAbove = 2 /* a step down */ };

enum class Outcome { kGoing, kFound, kExhausted };

// A state on a side's stack and how far its steps have been taken.
struct Frame {
    CTask* task;
    Arrival how;
    std::uint8_t stage;
    std::size_t index;
};

// Whether the forward side has reached (task, how), or reached task by a
// link, which leads everywhere (task, how) leads.
bool ForwardHas(const CTask* task, Arrival how, std::uint32_t mark)
{
    return task->pathMarks[how] == mark || task->pathMarks[kByLink] == mark;
}

// Whether (task, how) is known to lead to the target: the backward side
// marked it, or, for an arrival by a link, any way of arriving at task.
bool BackwardHas(const CTask* task, Arrival how, std::uint32_t mark)
{
    if (how != kByLink) return task->backMarks[how] == mark;
    return task->backMarks[kByLink] == mark || task->backMarks[kFromBelow] == mark ||
           task->backMarks[kFromAbove] == mark;
}

bool IsLive(const CDependencyLink* link) { return link && !link->IsRemoved(); }

// The search from the start towards the target.
class ForwardSearch {
public:
    ForwardSearch(std::uint32_t mark, CTask* target, CTask* stop) : mark_(mark), target_(target), stop_(stop) {}

    void Begin(CTask* start)
    {
        start->pathMarks[kByLink] = mark_;
        stack_.push_back({start, kByLink, kLinks, 0});
    }

    // Takes up to budget steps.
    Outcome Advance(std::size_t budget)
    {
        const std::size_t limit = work_ + budget;
        while (!stack_.empty()) {
            if (work_ >= limit) return Outcome::kGoing;
            ++work_;
            Frame& f = stack_.back();  // stale once Arrive pushes
            switch (f.stage) {
            case kLinks: {
                const CTaskDependencies& successors = f.task->Successors();
                if (f.index == successors.EntryCount()) {
                    f.stage = kParent;
                    break;
                }
                const CDependencyLink* link = successors.EntryAt(f.index++).link.Get();
                if (IsLive(link) && Arrive(link->Dependent(), kByLink)) return Outcome::kFound;
                break;
            }
            case kParent: {
                f.stage = kChildren;
                f.index = 0;
                CTask* parent = f.task->Parent();
                if (f.how != kFromAbove && parent && parent != stop_ && Arrive(parent, kFromBelow)) {
                    return Outcome::kFound;
                }
                break;
            }
            default: {
                CTasks& children = f.task->Subtasks();
                if (f.how == kFromBelow || f.task == stop_ || f.index == children.Size()) {
                    stack_.pop_back();
                    break;
                }
                CTask* child = children.At(f.index++);
                if (child == target_) return Outcome::kFound;
                // Going down, a subtree without links leads nowhere else.
                if (child->linkSourcesBelow == 0 && child->targetMark != mark_) break;
                if (Arrive(child, kFromAbove)) return Outcome::kFound;
                break;
            }
            }
        }
        return Outcome::kExhausted;
    }

    std::size_t Work() const { return work_; }

private:
    enum Stage : std::uint8_t { kLinks, kParent, kChildren };

    // Takes one step onto (task, how); true if that finds the target.
    bool Arrive(CTask* task, Arrival how)
    {
        if (task == target_ || BackwardHas(task, how, mark_)) return true;
        if (ForwardHas(task, how, mark_)) return false;
        task->pathMarks[how] = mark_;
        stack_.push_back({task, how, kLinks, 0});
        return false;
    }

    std::uint32_t mark_;
    CTask* target_;
    CTask* stop_;
    std::vector<Frame> stack_;
    std::size_t work_ = 0;
};

// The search from the target back towards the start, over the steps
// reversed: (Y, by link) is reached from every way of arriving at a
// predecessor of Y; (Y, from below) from a child of Y reached by a link or
// from below; (Y, from above) from the parent of Y reached by a link or
// from above. Everything it marks leads to the target.
class BackwardSearch {
public:
    explicit BackwardSearch(std::uint32_t mark) : mark_(mark) {}

    // Arriving at the target in any way finds it.
    bool Begin(CTask* target)
    {
        for (Arrival how : {kByLink, kFromBelow, kFromAbove}) {
            if (Arrive(target, how)) return true;
        }
        return false;
    }

    // Takes up to budget steps.
    Outcome Advance(std::size_t budget)
    {
        const std::size_t limit = work_ + budget;
        while (!stack_.empty()) {
            if (work_ >= limit) return Outcome::kGoing;
            ++work_;
            Frame& f = stack_.back();  // stale once Arrive pushes
            CTask* task = f.task;
            switch (f.how) {
            case kByLink: {
                const CTaskDependencies& predecessors = task->Predecessors();
                if (f.index == predecessors.EntryCount()) {
                    stack_.pop_back();
                    break;
                }
                const CDependencyLink* link = predecessors.EntryAt(f.index++).link.Get();
                if (!IsLive(link)) break;
                CTask* source = link->Source();
                if (Arrive(source, kByLink) || Arrive(source, kFromBelow) || Arrive(source, kFromAbove)) {
                    return Outcome::kFound;
                }
                break;
            }
            case kFromBelow: {
                CTasks& children = task->Subtasks();
                if (f.index == children.Size()) {
                    stack_.pop_back();
                    break;
                }
                CTask* child = children.At(f.index++);
                if (Arrive(child, kByLink) || Arrive(child, kFromBelow)) return Outcome::kFound;
                break;
            }
            default: {
                stack_.pop_back();
                CTask* parent = task->Parent();
                if (Arrive(parent, kByLink) || Arrive(parent, kFromAbove)) return Outcome::kFound;
                break;
            }
            }
        }
        return Outcome::kExhausted;
    }

    std::size_t Work() const { return work_; }

private:
    // Marks (task, how) as leading to the target; true if the forward side
    // has reached it.
    bool Arrive(CTask* task, Arrival how)
    {
        if (ForwardHas(task, how, mark_)) return true;
        if (task->backMarks[how] == mark_) return false;
        task->backMarks[how] = mark_;
        // A state without reverse steps is only marked.
        const bool leadsBack = how == kByLink      ? task->Predecessors().LiveCount() > 0
                               : how == kFromBelow ? task->HasChildren()
                                                   : task->Parent() != nullptr;
        if (leadsBack) stack_.push_back({task, how, 0, 0});
        return false;
    }

    std::uint32_t mark_;
    std::vector<Frame> stack_;
    std::size_t work_ = 0;
};

void MarkTarget(std::uint32_t mark, CTask* target)
{
    // Going down, the forward side enters subtrees without links only on
    // the way to the target.
    for (CTask* t = target; t; t = t->Parent()) t->targetMark = mark;
}

}  // namespace

bool PathExists(CTaskTree& tree, CTask* from, CTask* target, CTask* stop)
{
    // The backward side follows the full form only, and from == target asks
    // for a way back to the start, where the two sides would meet at once.
    if (!stop && from != target) return PathExists(tree, from, target, SearchTurns{});

    const std::uint32_t mark = tree.NewPathMark();
    MarkTarget(mark, target);
    ForwardSearch forward(mark, target, stop);
    forward.Begin(from);
    return forward.Advance(std::numeric_limits<std::size_t>::max()) == Outcome::kFound;
}

bool PathExists(CTaskTree& tree, CTask* from, CTask* target, SearchTurns turns)
{
    if (from == target) return PathExists(tree, from, target, nullptr);
    const std::size_t burst = turns.burst > 0 ? turns.burst : 1;

    const std::uint32_t mark = tree.NewPathMark();
    MarkTarget(mark, target);
    ForwardSearch forward(mark, target, nullptr);
    forward.Begin(from);
    BackwardSearch backward(mark);
    bool backwardBegun = false;
    for (;;) {
        Outcome outcome;
        if (forward.Work() < backward.Work() + turns.headStart) {
            outcome = forward.Advance(burst);
        } else {
            if (!backwardBegun) {
                backwardBegun = true;
                if (backward.Begin(target)) return true;
            }
            outcome = backward.Advance(burst);
        }
        if (outcome != Outcome::kGoing) return outcome == Outcome::kFound;
    }
}

}  // namespace qmx
