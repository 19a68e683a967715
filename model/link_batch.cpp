#include "model/link_batch.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <unordered_set>
#include <vector>

#include "automation/date_time.h"
#include "model/dependency_link.h"
#include "model/task.h"
#include "model/task_tree.h"
#include "model/tree_order.h"

namespace qmx {

namespace {

using Index = std::uint32_t;
constexpr Index kNone = std::numeric_limits<Index>::max();
// Four search states per task must fit an Index.
constexpr std::size_t kMostTasks = std::size_t{1} << 29;

// A link of the flattened plan seen from one of its ends: the other end,
// the kind and which link it is (0: made before the batch; j + 1: request
// j).
struct Arc {
    Index task;
    LONG kind;
    std::uint32_t order;
};

// A request that passed the checks of its own.
struct Request {
    Index source;
    Index dependent;
    LONG kind;
};

bool BoundsDates(LONG kind) { return kind >= dtStartToStart && kind <= dtFinishToFinish; }

// The exponent of the lowest binary digit of a non-zero finite value.
int LowestDigit(DATE value)
{
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);  // [0.5, 1)
    const auto digits = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    return exponent - 53 + std::countr_zero(digits);
}

// Kahn's sort over nodes 0 .. pending.size() - 1, pending holding each
// node's number of incoming edges: expand(v, reach) calls reach(w) for each
// edge v -> w once v is done. Returns how many nodes were done (all of
// them unless there is a cycle).
template <class Expand>
std::size_t SortTopologically(std::vector<std::uint32_t>& pending, std::vector<Index>& ready, Expand&& expand)
{
    ready.clear();
    for (Index v = 0; v < pending.size(); ++v)
        if (pending[v] == 0) ready.push_back(v);
    auto reach = [&](Index w) {
        if (--pending[w] == 0) ready.push_back(w);
    };
    std::size_t done = 0;
    while (!ready.empty()) {
        const Index v = ready.back();
        ready.pop_back();
        ++done;
        expand(v, reach);
    }
    return done;
}

class LinkBatch {
public:
    LinkBatch(CTaskTree& tree, std::span<const DependencyRequest> requests) : tree_(tree), requests_(requests) {}

    LinkBatchOutcome Run();

private:
    // The tree in depth-first order (a task's index is its preorder
    // number); false if the numbering is not what the walk expects.
    bool Flatten();
    // Resolves the requests up to the first that fails on its own checks;
    // returns how many passed and leaves the failure in localFailure_.
    std::size_t CheckEach();
    // The links made before and the first count requests, by source and by
    // dependent.
    void CollectArcs(std::size_t count);
    // Whether the links made before and requests [0, prefix) leave the
    // search states of the path search without a cycle.
    bool Acyclic(std::size_t prefix);
    // The corrected dates with requests [0, count); false when one pass
    // cannot give the dates of the calls one by one.
    bool CorrectDates(std::size_t count);
    bool PlanHoldsItsLinks();
    bool ExactAndInCalendar() const;
    // Makes the links and stores the dates; nothing changes if it throws.
    void Commit(std::size_t count);
    LinkBatchOutcome OneByOne();

    template <class F>
    void ForChildren(Index i, F f) const
    {
        for (Index c = firstChild_[i]; c != kNone; c = nextSibling_[c]) f(c);
    }

    CTaskTree& tree_;
    std::span<const DependencyRequest> requests_;
    HRESULT localFailure_ = S_OK;

    std::vector<CTask*> task_;
    std::vector<Index> parent_, firstChild_, nextSibling_, childCount_;
    std::vector<DATE> start_, end_;
    std::vector<Request> checked_;

    std::vector<std::size_t> outBegin_, inBegin_;
    std::vector<Arc> out_, in_;

    std::vector<std::uint32_t> pending_;  // in-degrees of a topological sort
    std::vector<Index> ready_;

    bool correct_ = false;
    std::vector<DATE> newStart_, newEnd_;
};

LinkBatchOutcome LinkBatch::Run()
{
    std::size_t made = 0;
    HRESULT hr = S_OK;
    try {
        if (!Flatten()) return OneByOne();
        made = CheckEach();
        hr = made < requests_.size() ? localFailure_ : S_OK;
        CollectArcs(made);
        if (!Acyclic(made)) {
            // The first request that closes a cycle: the shortest cyclic
            // prefix. The links made before hold no cycle.
            std::size_t lo = 1, hi = made;
            while (lo < hi) {
                const std::size_t mid = lo + (hi - lo) / 2;
                if (Acyclic(mid)) lo = mid + 1;
                else hi = mid;
            }
            made = lo - 1;
            hr = E_FAIL;
        }
        if (!CorrectDates(made)) return OneByOne();
        Commit(made);
    } catch (const std::bad_alloc&) {
        return {E_OUTOFMEMORY, 0, false};
    }
    return {hr, made, false};
}

LinkBatchOutcome LinkBatch::OneByOne()
{
    for (std::size_t j = 0; j < requests_.size(); ++j) {
        const DependencyRequest& r = requests_[j];
        const HRESULT hr = tree_.DependencyLink(r.SourceTaskID, r.DependentTaskID, r.DependencyType);
        if (FAILED(hr)) return {hr, j, true};
    }
    return {S_OK, requests_.size(), true};
}

bool LinkBatch::Flatten()
{
    tree_.EnsurePreorder();
    std::vector<Index> lastChild;
    bool numbered = true;
    VisitInTreeOrder(tree_.RootList(), [&](CTask* task) {
        const auto index = static_cast<Index>(task_.size());
        if (task->preorder != index || task_.size() >= kMostTasks) numbered = false;
        if (!numbered) return;
        const Index owner = task->Parent() ? static_cast<Index>(task->Parent()->preorder) : kNone;
        task_.push_back(task);
        parent_.push_back(owner);
        firstChild_.push_back(kNone);
        nextSibling_.push_back(kNone);
        childCount_.push_back(0);
        lastChild.push_back(kNone);
        start_.push_back(task->Start());
        end_.push_back(task->End());
        if (owner != kNone) {
            if (lastChild[owner] == kNone) firstChild_[owner] = index;
            else nextSibling_[lastChild[owner]] = index;
            lastChild[owner] = index;
            ++childCount_[owner];
        }
    });
    return numbered;
}

std::size_t LinkBatch::CheckEach()
{
    checked_.reserve(requests_.size());
    std::unordered_set<std::uint64_t> pairs;
    pairs.reserve(requests_.size());
    for (std::size_t j = 0; j < requests_.size(); ++j) {
        const DependencyRequest& r = requests_[j];
        // The checks of DependencyLink in its order; the cycle test that
        // comes before the duplicate test fails the same way.
        localFailure_ = E_FAIL;
        if (r.SourceTaskID == r.DependentTaskID) return j;
        CTask* source = tree_.Find(r.SourceTaskID);
        CTask* dependent = tree_.Find(r.DependentTaskID);
        localFailure_ = E_INVALIDARG;
        if (!source || !dependent) return j;
        localFailure_ = E_FAIL;
        if (dependent->HasChildren() && BoundsEnd(r.DependencyType)) return j;
        const auto s = static_cast<Index>(source->preorder);
        const auto d = static_cast<Index>(dependent->preorder);
        if (source->Successors().Find(r.DependentTaskID)) return j;
        if (!pairs.insert(std::uint64_t{s} << 32 | d).second) return j;
        checked_.push_back({s, d, r.DependencyType});
    }
    localFailure_ = S_OK;
    return requests_.size();
}

void LinkBatch::CollectArcs(std::size_t count)
{
    const std::size_t n = task_.size();
    outBegin_.assign(n + 1, 0);
    inBegin_.assign(n + 1, 0);
    auto forEachLink = [&](auto f) {
        for (Index i = 0; i < n; ++i) {
            const CTaskDependencies& successors = task_[i]->Successors();
            for (std::size_t e = 0; e < successors.EntryCount(); ++e) {
                const CDependencyLink* link = successors.EntryAt(e).link.Get();
                if (!link || link->IsRemoved()) continue;
                f(i, static_cast<Index>(link->Dependent()->preorder), link->Type(), 0u);
            }
        }
        for (std::size_t j = 0; j < count; ++j)
            f(checked_[j].source, checked_[j].dependent, checked_[j].kind, static_cast<std::uint32_t>(j + 1));
    };
    forEachLink([&](Index s, Index d, LONG, std::uint32_t) {
        ++outBegin_[s + 1];
        ++inBegin_[d + 1];
    });
    for (std::size_t i = 0; i < n; ++i) {
        outBegin_[i + 1] += outBegin_[i];
        inBegin_[i + 1] += inBegin_[i];
    }
    out_.resize(outBegin_[n]);
    in_.resize(inBegin_[n]);
    std::vector<std::size_t> outNext(outBegin_.begin(), outBegin_.end() - 1);
    std::vector<std::size_t> inNext(inBegin_.begin(), inBegin_.end() - 1);
    forEachLink([&](Index s, Index d, LONG kind, std::uint32_t order) {
        out_[outNext[s]++] = {d, kind, order};
        in_[inNext[d]++] = {s, kind, order};
    });
}

bool LinkBatch::Acyclic(std::size_t prefix)
{
    // Four states per task: arrived by a link (K), by a step up from a
    // child (U), by a step down from the parent (A), and a hub (H) that
    // every arrival reaches and from which the task's links leave. K steps
    // up and down, U only up, A only down.
    enum : Index { K = 0, U = 1, A = 2, H = 3 };
    const std::size_t n = task_.size();
    pending_.assign(4 * n, 0);
    for (Index i = 0; i < n; ++i) {
        pending_[4 * i + H] = 3;
        pending_[4 * i + U] = 2 * childCount_[i];
        pending_[4 * i + A] = parent_[i] != kNone ? 2 : 0;
        for (std::size_t e = inBegin_[i]; e < inBegin_[i + 1]; ++e)
            if (in_[e].order <= prefix) ++pending_[4 * i + K];
    }
    const std::size_t done = SortTopologically(pending_, ready_, [&](Index v, auto& reach) {
        const Index i = v / 4;
        const Index p = parent_[i];
        switch (v % 4) {
        case K:
            reach(4 * i + H);
            if (p != kNone) reach(4 * p + U);
            ForChildren(i, [&](Index c) { reach(4 * c + A); });
            break;
        case U:
            reach(4 * i + H);
            if (p != kNone) reach(4 * p + U);
            break;
        case A:
            reach(4 * i + H);
            ForChildren(i, [&](Index c) { reach(4 * c + A); });
            break;
        default:
            for (std::size_t e = outBegin_[i]; e < outBegin_[i + 1]; ++e)
                if (out_[e].order <= prefix) reach(4 * out_[e].task + K);
            break;
        }
    });
    return done == 4 * n;
}

bool LinkBatch::PlanHoldsItsLinks()
{
    // Summaries span their children; every leaf satisfies the links made
    // before; no summary is the dependent of a link that bounds its end.
    const std::size_t n = task_.size();
    std::vector<DATE> earliestStart(n), earliestEnd(n);
    for (Index i = 0; i < n; ++i) {
        const bool summary = childCount_[i] > 0;
        if (summary) {
            DATE lo = kNoLaterBound, hi = kNoEarlierBound;
            ForChildren(i, [&](Index c) {
                lo = std::min(lo, start_[c]);
                hi = std::max(hi, end_[c]);
            });
            if (lo != start_[i] || hi != end_[i]) return false;
        }
        DATE es = parent_[i] != kNone ? earliestStart[parent_[i]] : kNoEarlierBound;
        DATE ee = parent_[i] != kNone ? earliestEnd[parent_[i]] : kNoEarlierBound;
        for (std::size_t e = inBegin_[i]; e < inBegin_[i + 1]; ++e) {
            const Arc& arc = in_[e];
            if (arc.order != 0) continue;
            if (summary && BoundsEnd(arc.kind)) return false;
            switch (arc.kind) {
            case dtStartToStart: es = std::max(es, start_[arc.task]); break;
            case dtFinishToStart: es = std::max(es, end_[arc.task]); break;
            case dtStartToFinish: ee = std::max(ee, start_[arc.task]); break;
            case dtFinishToFinish: ee = std::max(ee, end_[arc.task]); break;
            default: break;
            }
        }
        earliestStart[i] = es;
        earliestEnd[i] = ee;
        if (!summary && (start_[i] < es || end_[i] < ee)) return false;
    }
    return true;
}

bool LinkBatch::CorrectDates(std::size_t count)
{
    correct_ = tree_.Autocorrect();
    if (!correct_) return true;
    if (!PlanHoldsItsLinks()) return false;

    // A topological sort of two nodes per task: its bounds (B: the latest
    // bounds of its links and of its ancestors' links) and its dates (V).
    // B follows the parent's B and the linked sources' V; a leaf's V follows
    // its B, a summary's V its children's V.
    const std::size_t n = task_.size();
    auto counts = [count](const Arc& arc) { return arc.order <= count && BoundsDates(arc.kind); };
    pending_.assign(2 * n, 0);
    for (Index i = 0; i < n; ++i) {
        std::uint32_t bounds = parent_[i] != kNone ? 1 : 0;
        for (std::size_t e = inBegin_[i]; e < inBegin_[i + 1]; ++e)
            if (counts(in_[e])) ++bounds;
        pending_[2 * i] = bounds;
        pending_[2 * i + 1] = childCount_[i] > 0 ? childCount_[i] : 1;
    }
    newStart_ = start_;
    newEnd_ = end_;
    std::vector<DATE> earliestStart(n, kNoEarlierBound), earliestEnd(n, kNoEarlierBound);
    const std::size_t done = SortTopologically(pending_, ready_, [&](Index v, auto& reach) {
        const Index i = v / 2;
        const Index p = parent_[i];
        const bool summary = childCount_[i] > 0;
        if (v % 2 == 0) {
            DATE es = p != kNone ? earliestStart[p] : kNoEarlierBound;
            DATE ee = p != kNone ? earliestEnd[p] : kNoEarlierBound;
            for (std::size_t e = inBegin_[i]; e < inBegin_[i + 1]; ++e) {
                const Arc& arc = in_[e];
                if (!counts(arc)) continue;
                switch (arc.kind) {
                case dtStartToStart: es = std::max(es, newStart_[arc.task]); break;
                case dtFinishToStart: es = std::max(es, newEnd_[arc.task]); break;
                case dtStartToFinish: ee = std::max(ee, newStart_[arc.task]); break;
                default: ee = std::max(ee, newEnd_[arc.task]); break;
                }
            }
            earliestStart[i] = es;
            earliestEnd[i] = ee;
            ForChildren(i, [&](Index c) { reach(2 * c); });
            if (!summary) reach(v + 1);
            return;
        }
        if (summary) {
            DATE lo = kNoLaterBound, hi = kNoEarlierBound;
            ForChildren(i, [&](Index c) {
                lo = std::min(lo, newStart_[c]);
                hi = std::max(hi, newEnd_[c]);
            });
            newStart_[i] = lo;
            newEnd_[i] = hi;
        } else if (start_[i] < earliestStart[i] || end_[i] < earliestEnd[i]) {
            // Where a push moves it (SetStartEndDate keeping the span).
            const DATE span = end_[i] - start_[i];
            DATE d = std::max(start_[i], earliestStart[i]);
            DATE e = std::max(d + span, earliestEnd[i]);
            if (d + span < e) d = e - span;
            else e = d + span;
            newStart_[i] = d;
            newEnd_[i] = e;
        }
        for (std::size_t e = outBegin_[i]; e < outBegin_[i + 1]; ++e)
            if (counts(out_[e])) reach(2 * out_[e].task);
        if (p != kNone) reach(2 * p + 1);
    });
    return done == 2 * n && ExactAndInCalendar();
}

bool LinkBatch::ExactAndInCalendar() const
{
    // Every date a correction handles lies between a task's first and last
    // dates and is a multiple of the finest binary digit of the first
    // dates; if every such multiple up to the largest magnitude and span is
    // a double, no sum or difference of the corrections rounds.
    int finest = INT_MAX;
    DATE lo = kNoLaterBound, hi = kNoEarlierBound;
    for (std::size_t i = 0; i < task_.size(); ++i) {
        for (DATE v : {start_[i], end_[i]})
            if (v != 0) finest = std::min(finest, LowestDigit(v));
        lo = std::min({lo, start_[i], newStart_[i]});
        hi = std::max({hi, end_[i], newEnd_[i]});
        const bool moved = newStart_[i] != start_[i] || newEnd_[i] != end_[i];
        if (moved && (newStart_[i] < kMinDate || newEnd_[i] > kMaxDate)) return false;
    }
    if (task_.empty() || finest == INT_MAX) return true;
    const double room = std::ldexp(1.0, std::min(finest + 53, 1023));
    return std::max(std::fabs(lo), std::fabs(hi)) < room && hi - lo < room;
}

void LinkBatch::Commit(std::size_t count)
{
    const std::size_t n = task_.size();
    std::vector<ComPtr<CDependencyLink>> links(count);
    for (std::size_t j = 0; j < count; ++j) {
        links[j] = MakeObject<CDependencyLink>(task_[checked_[j].source], task_[checked_[j].dependent]);
        if (!links[j]) throw std::bad_alloc();
    }
    auto isNew = [count](const Arc& arc) { return arc.order >= 1 && arc.order <= count; };
    std::size_t widest = 0;
    for (Index i = 0; i < n; ++i) {
        std::size_t outs = 0, ins = 0;
        for (std::size_t e = outBegin_[i]; e < outBegin_[i + 1]; ++e) outs += isNew(out_[e]);
        for (std::size_t e = inBegin_[i]; e < inBegin_[i + 1]; ++e) ins += isNew(in_[e]);
        if (outs) task_[i]->Successors().Reserve(outs);
        if (ins) task_[i]->Predecessors().Reserve(ins);
        widest = std::max({widest, outs, ins});
    }
    std::vector<LONG> pairIds(widest);
    std::vector<CDependencyLink*> pieces(widest);

    // Nothing below throws.
    auto insert = [&](CTaskDependencies& list, std::size_t begin, std::size_t end, const std::vector<Arc>& arcs) {
        std::size_t k = 0;
        for (std::size_t e = begin; e < end; ++e) {
            if (!isNew(arcs[e])) continue;
            pairIds[k] = task_[arcs[e].task]->ID();
            pieces[k++] = links[arcs[e].order - 1].Get();
        }
        list.InsertReserved(pairIds.data(), pieces.data(), k);
    };
    for (Index i = 0; i < n; ++i) {
        insert(task_[i]->Successors(), outBegin_[i], outBegin_[i + 1], out_);
        insert(task_[i]->Predecessors(), inBegin_[i], inBegin_[i + 1], in_);
    }
    for (std::size_t j = 0; j < count; ++j) links[j]->StoreType(checked_[j].kind);
    for (std::size_t j = 0; j < count; ++j) tree_.LinkSink().OnDependencyAdded(links[j]->SuccessorView());
    if (!correct_) return;

    for (Index i = 0; i < n; ++i) {
        if (newStart_[i] == start_[i] && newEnd_[i] == end_[i]) continue;
        task_[i]->StoreDates(newStart_[i], newEnd_[i]);
        if (childCount_[i] > 0) task_[i]->SetDurationDays(static_cast<float>(newEnd_[i] - newStart_[i]));
    }
    // What the pushes report: a moved leaf its start and end; a summary the
    // dates that changed and its duration.
    for (Index i = 0; i < n; ++i) {
        DWORD mask = 0;
        if (newStart_[i] != start_[i]) mask |= tcStartDate;
        if (newEnd_[i] != end_[i]) mask |= tcEndDate;
        if (mask == 0) continue;
        if (childCount_[i] > 0) mask |= tcDuration;
        else mask = tcStartDate | tcEndDate;
        task_[i]->Notify(mask, true);
    }
}

}  // namespace

LinkBatchOutcome LinkAll(CTaskTree& tree, std::span<const DependencyRequest> requests)
{
    if (requests.empty()) return {};
    LinkBatch batch(tree, requests);
    return batch.Run();
}

}  // namespace qmx
