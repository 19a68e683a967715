// Making a batch of links with the outcome of DependencyLink called for each
// in order, in time close to linear in the size of the plan.
//
// Called one by one, each link checks for a cycle (a search that may walk
// far) and pushes its dependent, whose move pushes what follows it: a plan
// whose links each move everything linked before them costs time
// quadratic in its size. The batch instead
//  1. checks every request on its own (self-link, unknown task, a kind that
//     bounds the end of a summary, a duplicate) up to the first that fails;
//  2. finds the first request that closes a cycle with the requests before
//     it: one sort in topological order of the whole batch over the search
//     states of the path search (task, way of arriving), and, when that
//     finds a cycle, a binary search over prefixes of the batch, each
//     checked the same way;
//  3. with autocorrect on, computes the dates in one pass in topological
//     order of the bounds: every leaf at the earliest place its links and
//     its ancestors' links allow (or where it is), every summary spanning
//     its children;
//  4. makes the links, stores the dates and tells the sinks.
//
// Why step 3 gives the dates of the calls one by one: pushes only move
// tasks later, each move goes to the earliest place the bounds of the
// moment allow, and after every call each link holds. By induction no
// intermediate date passes the least dates above the starting ones that
// satisfy every link, and the dates after the last call satisfy every
// link, so they are those least dates: the fixed point the pass computes.
// The argument needs exact arithmetic and a plan that already holds its
// links; the batch makes the links one by one instead when
//  - a summary is the dependent of a start-to-finish or finish-to-finish
//    link (such a link bounds its children only when they move for another
//    reason, so the order of the moves counts);
//  - a link made before does not hold, or a summary does not span its
//    children (the correction of the moment would move them);
//  - a date sum or difference could round (the dates carry more binary
//    digits than the span of the plan's dates leaves room for), as then a
//    task's span may drift by a rounding step at every move;
//  - a corrected date would leave the calendar's years.
// File dates (whole days and eighths) with float durations never round.
#pragma once

#include <cstddef>
#include <span>

#include "model/dependency_batch.h"

namespace qmx {

class CTaskTree;

struct LinkBatchOutcome {
    HRESULT hr = S_OK;      // S_OK, or the result of the first refused request
    std::size_t made = 0;   // links made: the index of the refused request
    bool linkedOneByOne = false;  // one of the cases above: no single pass
};

LinkBatchOutcome LinkAll(CTaskTree& tree, std::span<const DependencyRequest> requests);

}  // namespace qmx
