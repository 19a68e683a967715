// The link operations of CTaskTree: DependencyLink, DependencyLinkAll,
// DependencyUnlink, TaskPathExists and the link clean-up before a move.
#include <new>
#include <span>
#include <unordered_set>
#include <vector>

#include "model/date_correction.h"
#include "model/dependency_link.h"
#include "model/link_batch.h"
#include "model/path_search.h"
#include "model/task.h"
#include "model/task_tree.h"

namespace qmx {

HRESULT CTaskTree::DependencyLink(LONG SourceTaskID, LONG DependentTaskID, QMXDependencyType DependencyType)
{
    if (SourceTaskID == DependentTaskID) return E_FAIL;
    CTask* source = Find(SourceTaskID);
    CTask* dependent = Find(DependentTaskID);
    if (!source || !dependent) return E_INVALIDARG;
    if (dependent->HasChildren() && BoundsEnd(DependencyType)) return E_FAIL;
    // Refuses cycles, and links between a task and its ancestors or
    // descendants.
    if (PathExists(*this, dependent, source)) return E_FAIL;
    if (source->Successors().Find(DependentTaskID)) return E_FAIL;

    ComPtr<CDependencyLink> link = MakeObject<CDependencyLink>(source, dependent);
    if (!link) return E_OUTOFMEMORY;
    try {
        source->Successors().Insert(DependentTaskID, link.Get());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    try {
        dependent->Predecessors().Insert(SourceTaskID, link.Get());
    } catch (const std::bad_alloc&) {
        source->Successors().Remove(DependentTaskID);
        return E_OUTOFMEMORY;
    }
    link->StoreType(DependencyType);
    linkSink_->OnDependencyAdded(link->SuccessorView());

    if (Autocorrect()) {
        DateCorrection correction;
        switch (DependencyType) {
        case dtStartToStart: correction.PushStart(dependent, source->Start()); break;
        case dtStartToFinish: correction.PushEnd(dependent, source->Start()); break;
        case dtFinishToStart: correction.PushStart(dependent, source->End()); break;
        case dtFinishToFinish: correction.PushEnd(dependent, source->End()); break;
        default: break;  // stored, bounds nothing
        }
    }
    return S_OK;
}

HRESULT CTaskTree::DependencyLinkAll(LONG nCount, const DependencyRequest* pRequests, LONG* pnMade)
{
    if (!pnMade) return E_POINTER;
    *pnMade = 0;
    if (nCount < 0) return E_INVALIDARG;
    if (nCount > 0 && !pRequests) return E_POINTER;
    const LinkBatchOutcome outcome =
        LinkAll(*this, std::span<const DependencyRequest>(pRequests, static_cast<std::size_t>(nCount)));
    *pnMade = static_cast<LONG>(outcome.made);
    return outcome.hr;
}

HRESULT CTaskTree::DependencyUnlink(LONG SourceTaskID, LONG DependentTaskID)
{
    CTask* source = Find(SourceTaskID);
    CTask* dependent = Find(DependentTaskID);
    if (!source || !dependent) return E_INVALIDARG;
    return Unlink(source, dependent);
}

HRESULT CTaskTree::Unlink(CTask* source, CTask* dependent)
{
    ComPtr<CDependencyLink> link(source->Successors().Find(dependent->ID()));
    if (!link) return S_FALSE;
    linkSink_->OnDependencyRemoved(link->SuccessorView());
    source->Successors().Remove(dependent->ID());
    dependent->Predecessors().Remove(source->ID());
    link->ClearTasks();
    return S_OK;
}

HRESULT CTaskTree::TaskPathExists(LONG SourceTaskID, LONG DependentTaskID, VARIANT_BOOL* pvbExists)
{
    if (!pvbExists) return E_POINTER;
    *pvbExists = VARIANT_FALSE;
    CTask* source = Find(SourceTaskID);
    CTask* dependent = Find(DependentTaskID);
    if (!source || !dependent) return E_INVALIDARG;
    *pvbExists = ToVariantBool(PathExists(*this, source, dependent));
    return S_OK;
}

void CTaskTree::CleanUpLinksForMove(CTask* task, CTask* newParent)
{
    // The new parent becomes a summary: it cannot stay the dependent of
    // links that bound its end.
    if (!newParent->HasChildren()) {
        std::vector<CTask*> sources;
        const CTaskDependencies& predecessors = newParent->Predecessors();
        for (std::size_t i = 0; i < predecessors.EntryCount(); ++i) {
            const CDependencyLink* link = predecessors.EntryAt(i).link.Get();
            if (link && BoundsEnd(link->Type())) sources.push_back(link->Source());
        }
        for (CTask* source : sources) Unlink(source, newParent);
    }

    // No link may join the moving subtree to its new ancestors.
    std::unordered_set<const CTask*> ancestors;
    for (const CTask* a = newParent; a; a = a->Parent()) ancestors.insert(a);

    std::vector<CTask*> peers;
    std::vector<CTask*> stack{task};
    while (!stack.empty()) {
        CTask* current = stack.back();
        stack.pop_back();

        peers.clear();
        const CTaskDependencies& predecessors = current->Predecessors();
        for (std::size_t i = 0; i < predecessors.EntryCount(); ++i) {
            const CDependencyLink* link = predecessors.EntryAt(i).link.Get();
            if (link && ancestors.count(link->Source())) peers.push_back(link->Source());
        }
        for (CTask* source : peers) Unlink(source, current);

        peers.clear();
        const CTaskDependencies& successors = current->Successors();
        for (std::size_t i = 0; i < successors.EntryCount(); ++i) {
            const CDependencyLink* link = successors.EntryAt(i).link.Get();
            if (link && ancestors.count(link->Dependent())) peers.push_back(link->Dependent());
        }
        for (CTask* dependent : peers) Unlink(current, dependent);

        // Children in order: push them last first.
        CTasks& children = current->Subtasks();
        for (std::size_t i = children.Size(); i-- > 0;) stack.push_back(children.At(i));
    }
}

}  // namespace qmx
