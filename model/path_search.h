// The path search that keeps links and parenthood free of cycles.
//
// From a task the search steps along a link to a successor, up to the
// parent, or down to each child; it does not step up after a step down, nor
// down after a step up. What a search from a task finds depends only on the
// task and on how it was reached, so each (task, way of arrival) is explored
// once per search: the search is linear in what it reaches even when many
// link paths converge, and it runs on explicit stacks, so long chains and
// deep hierarchies cannot overflow the machine stack. Arriving by a link
// explores everything that arriving from above or below does, so a task
// reached by a link is not explored again from those directions.
//
// Without a stop task the search runs from both ends: forward from the
// start, and backward from the target over the same steps reversed (the
// states that lead to the target). The two sides take turns by the work
// each has done, and the answer is known as soon as one side reaches a
// state the other has marked, or one side has nothing left to explore.
// A check therefore costs about twice the smaller of the two sides, so
// building a long chain from its end towards its head, or against the
// order of the tree, does not walk the chain built so far at every link.
#pragma once

#include <cstddef>

namespace qmx {

class CTask;
class CTaskTree;

// Whether target is reachable from from in at least one step. With a stop
// task (the restricted form used by MoveTask) the search never climbs into
// the stop task and never descends from it into its present children.
bool PathExists(CTaskTree& tree, CTask* from, CTask* target, CTask* stop = nullptr);

// How the two sides of a search without a stop task take turns. The
// forward side runs alone for headStart steps (most checks end there);
// then it takes the next burst of steps while it has done less than
// forwardShare times the work of the backward side, else the backward side
// does. The forward side gets the larger share as it passes over subtrees
// without links, which the backward side cannot; a check still costs at
// most about headStart plus (forwardShare + 1) times the smaller side.
struct SearchTurns {
    std::size_t headStart = 32;
    std::size_t forwardShare = 2;
    std::size_t burst = 16;
};

// PathExists without a stop task, with the given turns. The answer does not
// depend on them; tests use small ones to make both sides run.
bool PathExists(CTaskTree& tree, CTask* from, CTask* target, SearchTurns turns);

}  // namespace qmx
