#include "model/path_search.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <vector>

#include "model/dependency_link.h"
#include "model/task.h"
#include "model/task_tree.h"

namespace qmx {

namespace {

// How the search reached a task. The start task behaves as if reached by a
// link (it may go along links, up and down).
using Arrival = PathMarks::Way;
constexpr Arrival kByLink = PathMarks::kByLink;
constexpr Arrival kFromBelow = PathMarks::kFromBelow;  // a step up
constexpr Arrival kFromAbove = PathMarks::kFromAbove;  // a step down

enum class Outcome { kGoing, kFound, kExhausted };

// What one step onto a state did.
enum class Step { kPassed, kPushed, kFound };

// A state on a side's stack and how far its steps have been taken.
struct Frame {
    CTask* task;
    Arrival how;
    std::uint8_t stage;
    std::size_t index;
};

constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();
// Children passed over without a visit that count as one step.
constexpr std::size_t kPassesPerStep = 8;

// The stacks of both sides, kept from one search to the next so that a
// check allocates nothing; a search does not run while another one does.
// Room grown by a very long search is given back at its end.
class FrameStack {
public:
    explicit FrameStack(std::vector<Frame>& frames) : frames_(frames) {}
    ~FrameStack()
    {
        frames_.clear();
        if (frames_.capacity() > kKeptFrames) std::vector<Frame>().swap(frames_);
    }
    FrameStack(const FrameStack&) = delete;
    FrameStack& operator=(const FrameStack&) = delete;

    bool Empty() const { return frames_.empty(); }
    Frame& Top() { return frames_.back(); }
    void Push(const Frame& frame) { frames_.push_back(frame); }
    void Pop() { frames_.pop_back(); }

private:
    static constexpr std::size_t kKeptFrames = 4096;
    std::vector<Frame>& frames_;
};

thread_local std::vector<Frame> forwardFrames;
thread_local std::vector<Frame> backwardFrames;

// Whether the forward side has reached (task, how), or reached task by a
// link, which leads everywhere (task, how) leads.
bool ForwardHas(const PathMarks& marks, Arrival how, std::uint32_t mark)
{
    return marks.Reached(how, mark) || marks.Reached(kByLink, mark);
}

// Whether (task, how) is known to lead to the target: the backward side
// marked it, or, for an arrival by a link, any way of arriving at task.
bool BackwardHas(const PathMarks& marks, Arrival how, std::uint32_t mark)
{
    if (how != kByLink) return marks.LeadsToTarget(how, mark);
    return marks.LeadsToTarget(kByLink, mark) || marks.LeadsToTarget(kFromBelow, mark) ||
           marks.LeadsToTarget(kFromAbove, mark);
}

bool IsLive(const CDependencyLink* link) { return link && !link->IsRemoved(); }

// The work counter after budget more steps, saturated.
std::size_t LimitAfter(std::size_t work, std::size_t budget)
{
    return budget > kUnlimited - work ? kUnlimited : work + budget;
}

// The search from the start towards the target.
class ForwardSearch {
public:
    ForwardSearch(PathSearchKey key, std::uint32_t mark, CTask* target, CTask* stop)
        : key_(key), mark_(mark), target_(target), stop_(stop), stack_(forwardFrames)
    {
    }

    void Begin(CTask* start)
    {
        start->Marks(key_).SetReached(kByLink, mark_);
        stack_.Push({start, kByLink, kLinks, 0});
    }

    // Takes about budget more steps.
    Outcome Advance(std::size_t budget)
    {
        const std::size_t limit = LimitAfter(work_, budget);
        while (!stack_.Empty()) {
            Frame& f = stack_.Top();  // stale once a step pushes
            Step step = Step::kPassed;
            switch (f.stage) {
            case kLinks: {
                const CTaskDependencies& successors = f.task->Successors();
                while (f.index < successors.EntryCount()) {
                    if (work_ >= limit) return Outcome::kGoing;
                    ++work_;
                    const CDependencyLink* link = successors.EntryAt(f.index++).link.Get();
                    if (!IsLive(link)) continue;
                    step = Arrive(link->Dependent(), kByLink);
                    if (step != Step::kPassed) break;
                }
                if (step != Step::kPassed) break;
                f.stage = kParent;
                [[fallthrough]];
            }
            case kParent: {
                f.stage = kChildren;
                f.index = 0;
                CTask* parent = f.task->Parent();
                if (f.how != kFromAbove && parent && parent != stop_) {
                    ++work_;
                    step = Arrive(parent, kFromBelow);
                    if (step != Step::kPassed) break;
                }
                [[fallthrough]];
            }
            default: {
                if (f.how == kFromBelow || f.task == stop_) {
                    stack_.Pop();
                    break;
                }
                const CTasks& children = f.task->Subtasks();
                const std::size_t count = children.Size();
                while (f.index < count) {
                    if (work_ >= limit) return Outcome::kGoing;
                    // Going down, a subtree without links leads nowhere
                    // else: such children are passed over in one run, a
                    // look at two counters each, kPassesPerStep a step.
                    const std::size_t from = f.index;
                    const std::size_t room = limit - work_;
                    const std::size_t end =
                        (count - from) / kPassesPerStep >= room ? from + room * kPassesPerStep : count;
                    CTask* child = nullptr;
                    while (f.index < end) {
                        CTask* c = children.At(f.index++);
                        if (c == target_) return Outcome::kFound;
                        if (c->LinkSourcesBelow() != 0 || c->Marks(key_).AboveTarget(mark_)) {
                            child = c;
                            break;
                        }
                    }
                    work_ += (f.index - from + kPassesPerStep - 1) / kPassesPerStep;
                    if (!child) continue;
                    step = Arrive(child, kFromAbove);
                    if (step != Step::kPassed) break;
                }
                if (step == Step::kPassed) stack_.Pop();
                break;
            }
            }
            if (step == Step::kFound) return Outcome::kFound;
        }
        return Outcome::kExhausted;
    }

    std::size_t Work() const { return work_; }

private:
    enum Stage : std::uint8_t { kLinks, kParent, kChildren };

    // Takes one step onto (task, how). A state this side had reached needs
    // no look at the other side's marks: had the backward side marked it
    // since, it would have found the meeting itself.
    Step Arrive(CTask* task, Arrival how)
    {
        if (task == target_) return Step::kFound;
        PathMarks& marks = task->Marks(key_);
        if (ForwardHas(marks, how, mark_)) return Step::kPassed;
        if (BackwardHas(marks, how, mark_)) return Step::kFound;
        marks.SetReached(how, mark_);
        stack_.Push({task, how, kLinks, 0});
        return Step::kPushed;
    }

    PathSearchKey key_;
    std::uint32_t mark_;
    CTask* target_;
    CTask* stop_;
    FrameStack stack_;
    std::size_t work_ = 0;
};

// The search from the target back towards the start, over the steps
// reversed: (Y, by link) is reached from every way of arriving at a
// predecessor of Y; (Y, from below) from a child of Y reached by a link or
// from below; (Y, from above) from the parent of Y reached by a link or
// from above. Everything it marks leads to the target.
class BackwardSearch {
public:
    BackwardSearch(PathSearchKey key, std::uint32_t mark) : key_(key), mark_(mark), stack_(backwardFrames) {}

    // Arriving at the target in any way finds it.
    bool Begin(CTask* target)
    {
        for (Arrival how : {kByLink, kFromBelow, kFromAbove}) {
            if (Arrive(target, how) == Step::kFound) return true;
        }
        return false;
    }

    // Takes about budget more steps.
    Outcome Advance(std::size_t budget)
    {
        const std::size_t limit = LimitAfter(work_, budget);
        while (!stack_.Empty()) {
            Frame& f = stack_.Top();  // stale once a step pushes
            Step step = Step::kPassed;
            switch (f.how) {
            case kByLink: {
                const CTaskDependencies& predecessors = f.task->Predecessors();
                while (f.index < predecessors.EntryCount()) {
                    if (work_ >= limit) return Outcome::kGoing;
                    ++work_;
                    const CDependencyLink* link = predecessors.EntryAt(f.index++).link.Get();
                    if (!IsLive(link)) continue;
                    step = ArriveAll(link->Source(), {kByLink, kFromBelow, kFromAbove});
                    if (step != Step::kPassed) break;
                }
                break;
            }
            case kFromBelow: {
                const CTasks& children = f.task->Subtasks();
                while (f.index < children.Size()) {
                    if (work_ >= limit) return Outcome::kGoing;
                    ++work_;
                    step = ArriveAll(children.At(f.index++), {kByLink, kFromBelow});
                    if (step != Step::kPassed) break;
                }
                break;
            }
            default: {
                CTask* parent = f.task->Parent();
                stack_.Pop();
                ++work_;
                step = ArriveAll(parent, {kByLink, kFromAbove});
                if (step == Step::kPassed) continue;  // the frame is already gone
                break;
            }
            }
            if (step == Step::kFound) return Outcome::kFound;
            if (step == Step::kPassed) stack_.Pop();
        }
        return Outcome::kExhausted;
    }

    std::size_t Work() const { return work_; }

private:
    // Marks (task, how) as leading to the target; finds the meeting when
    // the forward side has reached the state.
    Step Arrive(CTask* task, Arrival how)
    {
        PathMarks& marks = task->Marks(key_);
        if (ForwardHas(marks, how, mark_)) return Step::kFound;
        if (marks.LeadsToTarget(how, mark_)) return Step::kPassed;
        marks.SetLeadsToTarget(how, mark_);
        // A state without reverse steps is only marked.
        const bool leadsBack = how == kByLink      ? task->Predecessors().LiveCount() > 0
                               : how == kFromBelow ? task->HasChildren()
                                                   : task->Parent() != nullptr;
        if (!leadsBack) return Step::kPassed;
        stack_.Push({task, how, 0, 0});
        return Step::kPushed;
    }

    Step ArriveAll(CTask* task, std::initializer_list<Arrival> ways)
    {
        Step result = Step::kPassed;
        for (Arrival how : ways) {
            const Step step = Arrive(task, how);
            if (step == Step::kFound) return step;
            if (step == Step::kPushed) result = step;
        }
        return result;
    }

    PathSearchKey key_;
    std::uint32_t mark_;
    FrameStack stack_;
    std::size_t work_ = 0;
};

void MarkTarget(PathSearchKey key, std::uint32_t mark, CTask* target)
{
    // Going down, the forward side enters subtrees without links only on
    // the way to the target.
    for (CTask* t = target; t; t = t->Parent()) t->Marks(key).SetAboveTarget(mark);
}

}  // namespace

bool PathExists(CTaskTree& tree, CTask* from, CTask* target, CTask* stop)
{
    // The backward side follows the full form only, and from == target asks
    // for a way back to the start, where the two sides would meet at once.
    if (!stop && from != target) return PathExists(tree, from, target, SearchTurns{});

    const PathSearchKey key;
    const std::uint32_t mark = tree.NewPathMark();
    MarkTarget(key, mark, target);
    ForwardSearch forward(key, mark, target, stop);
    forward.Begin(from);
    return forward.Advance(kUnlimited) == Outcome::kFound;
}

bool PathExists(CTaskTree& tree, CTask* from, CTask* target, SearchTurns turns)
{
    if (from == target) return PathExists(tree, from, target, nullptr);
    const std::size_t burst = turns.burst > 0 ? turns.burst : 1;

    const PathSearchKey key;
    const std::uint32_t mark = tree.NewPathMark();
    MarkTarget(key, mark, target);
    ForwardSearch forward(key, mark, target, nullptr);
    forward.Begin(from);
    BackwardSearch backward(key, mark);
    bool backwardBegun = false;
    for (;;) {
        Outcome outcome;
        if (forward.Work() < turns.forwardShare * backward.Work() + turns.headStart) {
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
