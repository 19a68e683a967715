#include "model/path_search.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/dependency_link.h"
#include "model/task.h"
#include "model/task_tree.h"

namespace qmx {

namespace {

// How the search reached a task. The start task behaves as if reached by a
// link (it may go along links, up and down).
enum Arrival : std::uint8_t { kByLink = 0, kFromBelow = 1 /* a step up */, kFromAbove = 2 /* a step down */ };

struct Frame {
    CTask* task;
    Arrival how;
    std::uint8_t stage;  // 0 successors, 1 parent, 2 children
    std::size_t index;
};

class Search {
public:
    Search(CTaskTree& tree, CTask* target, CTask* stop) : mark_(tree.NewPathMark()), target_(target), stop_(stop) {}

    bool From(CTask* start)
    {
        for (CTask* t = target_; t; t = t->Parent()) t->targetMark = mark_;
        Enter(start, kByLink);
        while (!stack_.empty()) {
            if (Step()) return true;
        }
        return false;
    }

private:
    // Marks the (task, arrival) as explored; false if it already was, or if
    // arriving by a link already explored everything this way can reach.
    bool Enter(CTask* task, Arrival how)
    {
        if (task->pathMarks[how] == mark_ || task->pathMarks[kByLink] == mark_) return false;
        task->pathMarks[how] = mark_;
        stack_.push_back({task, how, 0, 0});
        return true;
    }

    // Runs the top frame until it finds the target (true), calls a deeper
    // search, or ends.
    bool Step()
    {
        Frame& f = stack_.back();
        CTask* task = f.task;
        switch (f.stage) {
        case 0: {
            const CTaskDependencies& successors = task->Successors();
            while (f.index < successors.EntryCount()) {
                const CDependencyLink* link = successors.EntryAt(f.index++).link.Get();
                if (!link || link->IsRemoved()) continue;
                CTask* dependent = link->Dependent();
                if (dependent == target_) return true;
                if (Enter(dependent, kByLink)) return false;  // f is stale now
            }
            f.stage = 1;
            [[fallthrough]];
        }
        case 1: {
            f.stage = 2;
            f.index = 0;
            CTask* parent = task->Parent();
            if (f.how != kFromAbove && parent && parent != stop_) {
                if (parent == target_) return true;
                if (Enter(parent, kFromBelow)) return false;
            }
            [[fallthrough]];
        }
        default: {
            Frame& g = stack_.back();  // still this frame: nothing was pushed
            if (g.how == kFromBelow || task == stop_) {
                stack_.pop_back();
                return false;
            }
            CTasks& children = task->Subtasks();
            while (g.index < children.Size()) {
                CTask* child = children.At(g.index++);
                if (child == target_) return true;
                // Going down, a subtree without links leads nowhere else.
                if (child->linkSourcesBelow == 0 && child->targetMark != mark_) continue;
                if (Enter(child, kFromAbove)) return false;
            }
            stack_.pop_back();
            return false;
        }
        }
    }

    std::uint32_t mark_;
    CTask* target_;
    CTask* stop_;
    std::vector<Frame> stack_;
};

}  // namespace

bool PathExists(CTaskTree& tree, CTask* from, CTask* target, CTask* stop)
{
    return Search(tree, target, stop).From(from);
}

}  // namespace qmx
