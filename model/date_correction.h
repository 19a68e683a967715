// Date correction driven by dependency links and by the summary rule: the
// lower bounds a task's links impose, the pushes that move tasks later, the
// propagation to successors and the update of summary tasks.
//
// These operations call each other: a push moves a task, which updates its
// parents and pushes its own successors before the caller goes on to its
// next successor. A long chain of links would nest that as deep as the
// chain, so the calls run on an explicit stack of frames instead of the
// machine stack. Frames run depth first in exactly the order the nested
// calls would, and every notification is made at the same point; a frame
// whose last action is a call is replaced by that call, so a chain of
// 100,000 finish-to-start links needs a few frames, not 100,000.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/model_interfaces.h"

namespace qmx {

class CTask;

// The lower bounds that the links of a task and of all its ancestors impose
// on its start and on its end (kNoEarlierBound where there are none).
struct EarliestDates {
    DATE start = kNoEarlierBound;
    DATE end = kNoEarlierBound;
};
EarliestDates Earliest(const CTask* task);

// Each call runs to completion before it returns.
class DateCorrection {
public:
    DateCorrection() = default;
    ~DateCorrection();
    DateCorrection(const DateCorrection&) = delete;
    DateCorrection& operator=(const DateCorrection&) = delete;

    // Makes a summary span its children (or a former summary a
    // one-day task), climbing to the root unless climb is false.
    void UpdateSummaryDates(CTask* task, bool climb);
    void PropagateToSuccessors(CTask* task, bool startLater, bool endLater);
    void PushStart(CTask* task, DATE date);
    void PushEnd(CTask* task, DATE date);
    // What SetStartEndDate does after it moved a task from oldStart.
    void AfterMove(CTask* task, DATE oldStart);

private:
    enum class Op : std::uint8_t { Propagate, PushStart, PushEnd, PushChildren, AfterMove, Summary };

    struct Frame {
        Op op = Op::Propagate;
        std::uint8_t stage = 0;
        bool startLater = false;  // Propagate: the task's start moved later
        bool endLater = false;    // Propagate: its end moved later
        bool climb = false;       // Summary: go on with the parent
        CTask* task = nullptr;
        DATE date = 0;            // push date; AfterMove: the new start
        DATE oldStart = 0;        // AfterMove
        std::size_t index = 0;
        std::size_t count = 0;
    };

    void Run(Frame first);
    void Call(const Frame& callee);
    void StepPropagate(std::size_t i);
    void StepPushStart(std::size_t i);
    void StepPushEnd(std::size_t i);
    void StepPushChildren(std::size_t i);
    void StepAfterMove(std::size_t i);
    void StepSummary(std::size_t i);
    // A leaf moved by a push: continue as SetStartEndDate's tail, or end.
    void MoveLeaf(std::size_t i, DATE newStart);

    // The bounds of a summary whose children are being pushed, kept on the
    // summary so that each child's bounds need not walk its ancestors'
    // links again.
    void KeepBounds(CTask* summary);
    void DropBounds(CTask* summary);

    static Frame Propagate(CTask* task, bool startLater, bool endLater);
    static Frame Push(Op op, CTask* task, DATE date);

    std::vector<Frame> stack_;
    std::vector<CTask*> keptBounds_;
};

}  // namespace qmx
