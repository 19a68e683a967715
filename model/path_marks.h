// What path searches leave on a task. Every search draws a new number from
// its tree, so nothing needs clearing between searches: a task counts as
// marked by a search while it holds that search's number.
#pragma once

#include <cstdint>

namespace qmx {

class CTask;
class CTaskTree;
struct SearchTurns;

class PathMarks {
public:
    // How a search arrived at a task: along a link, by a step up from a
    // child, or by a step down from the parent.
    enum Way : std::uint8_t { kByLink = 0, kFromBelow = 1, kFromAbove = 2 };

    // The side searching from the start reached the task that way.
    bool Reached(Way way, std::uint32_t search) const { return reached_[way] == search; }
    void SetReached(Way way, std::uint32_t search) { reached_[way] = search; }
    // The side searching back from the target found that arriving that way
    // leads to the target.
    bool LeadsToTarget(Way way, std::uint32_t search) const { return leads_[way] == search; }
    void SetLeadsToTarget(Way way, std::uint32_t search) { leads_[way] = search; }
    // The task is the target of the search or one of its ancestors.
    bool AboveTarget(std::uint32_t search) const { return aboveTarget_ == search; }
    void SetAboveTarget(std::uint32_t search) { aboveTarget_ = search; }

private:
    std::uint32_t reached_[3] = {0, 0, 0};
    std::uint32_t leads_[3] = {0, 0, 0};
    std::uint32_t aboveTarget_ = 0;
};

// Only the path search reaches a task's marks (CTask::Marks takes a key).
class PathSearchKey {
    PathSearchKey() = default;
    friend bool PathExists(CTaskTree& tree, CTask* from, CTask* target, CTask* stop);
    friend bool PathExists(CTaskTree& tree, CTask* from, CTask* target, SearchTurns turns);
};

}  // namespace qmx
