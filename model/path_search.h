// The path search that keeps links and parenthood free of cycles.
//
// From a task the search steps along a link to a successor, up to the
// parent, or down to each child; it does not step up after a step down, nor
// down after a step up. What a search from a task finds depends only on the
// task and on how it was reached, so each (task, way of arrival) is explored
// once per search: the search is linear in what it reaches even when many
// link paths converge, and it runs on an explicit stack, so long chains and
// deep hierarchies cannot overflow the machine stack. Arriving by a link
// explores everything that arriving from above or below does, so a task
// reached by a link is not explored again from those directions.
#pragma once

namespace qmx {

class CTask;
class CTaskTree;

// Whether target is reachable from from. With a stop task (the restricted
// form used by MoveTask) the search never climbs into the stop task and
// never descends from it into its present children.
bool PathExists(CTaskTree& tree, CTask* from, CTask* target, CTask* stop = nullptr);

}  // namespace qmx
