#include "model/task_dependencies.h"

#include <algorithm>

#include "model/task.h"
#include "model/task_tree.h"

namespace qmx {

CTaskDependencies::CTaskDependencies(CTask* owner, Kind kind)
    : EmbeddedObject(static_cast<ITask*>(owner)), owner_(owner), kind_(kind)
{
}

CTaskDependencies::~CTaskDependencies() = default;

ITaskDependency* CTaskDependencies::ViewOf(CDependencyLink* link) const
{
    return kind_ == Kind::Predecessors ? link->PredecessorView() : link->SuccessorView();
}

HRESULT CTaskDependencies::get_Count(LONG* pnCount)
{
    if (!pnCount) return E_POINTER;
    *pnCount = static_cast<LONG>(LiveCount());
    return S_OK;
}

HRESULT CTaskDependencies::get_Dependencies(LONG iIndex, ITaskDependency** ppDependency)
{
    if (!ppDependency) return E_POINTER;
    *ppDependency = nullptr;
    Compact();
    if (iIndex < 0 || static_cast<std::size_t>(iIndex) >= entries_.size()) return E_INVALIDARG;
    *ppDependency = ViewOf(entries_[static_cast<std::size_t>(iIndex)].link.Get());
    (*ppDependency)->AddRef();
    return S_OK;
}

HRESULT CTaskDependencies::GetDependencyByTaskID(LONG TaskID, ITaskDependency** ppDependency)
{
    if (!ppDependency) return E_POINTER;
    *ppDependency = nullptr;
    CDependencyLink* link = Find(TaskID);
    if (!link) return E_INVALIDARG;
    *ppDependency = ViewOf(link);
    (*ppDependency)->AddRef();
    return S_OK;
}

HRESULT CTaskDependencies::DeleteAll()
{
    ComPtr<ITask> keep(owner_);
    RemoveAllLinks();
    return S_OK;
}

std::size_t CTaskDependencies::LowerBound(LONG pairId) const
{
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), pairId,
                                     [](const Entry& e, LONG id) { return e.pairId < id; });
    return static_cast<std::size_t>(it - entries_.begin());
}

CDependencyLink* CTaskDependencies::Find(LONG pairId) const
{
    const std::size_t pos = LowerBound(pairId);
    if (pos == entries_.size() || entries_[pos].pairId != pairId) return nullptr;
    return entries_[pos].link.Get();  // null for a removed entry
}

void CTaskDependencies::Insert(LONG pairId, CDependencyLink* link)
{
    Compact();  // one entry per pair ID, live or removed
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(LowerBound(pairId)), Entry{pairId, link});
    if (kind_ == Kind::Successors && LiveCount() == 1) owner_->AddLinkSources(+1);
}

void CTaskDependencies::Reserve(std::size_t extra)
{
    Compact();
    entries_.reserve(entries_.size() + extra);
}

void CTaskDependencies::InsertReserved(const LONG* pairIds, CDependencyLink* const* links, std::size_t count)
{
    if (count == 0) return;
    Compact();
    const bool hadLinks = LiveCount() > 0;
    for (std::size_t i = 0; i < count; ++i) entries_.push_back(Entry{pairIds[i], ComPtr<CDependencyLink>(links[i])});
    auto byPair = [](const Entry& a, const Entry& b) { return a.pairId < b.pairId; };
    if (!std::is_sorted(entries_.begin(), entries_.end(), byPair)) std::sort(entries_.begin(), entries_.end(), byPair);
    if (kind_ == Kind::Successors && !hadLinks) owner_->AddLinkSources(+1);
}

bool CTaskDependencies::Remove(LONG pairId)
{
    const std::size_t pos = LowerBound(pairId);
    if (pos == entries_.size() || entries_[pos].pairId != pairId || !entries_[pos].link) return false;
    entries_[pos].link.Reset();
    ++tombstones_;
    if (kind_ == Kind::Successors && LiveCount() == 0) owner_->AddLinkSources(-1);
    if (tombstones_ * 2 > entries_.size()) Compact();
    return true;
}

void CTaskDependencies::Compact()
{
    if (tombstones_ == 0) return;
    std::erase_if(entries_, [](const Entry& e) { return !e.link; });
    tombstones_ = 0;
}

void CTaskDependencies::RemoveAllLinks()
{
    Compact();
    CTaskTree* tree = owner_->Tree();
    const LONG ownerId = owner_->ID();
    // The links are taken out of the other tasks' lists one by one; this
    // list keeps its entries (and its count) until the end, as observers
    // may read it from the notifications.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        ComPtr<CDependencyLink> link = entries_[i].link;
        CTask* pair = kind_ == Kind::Predecessors ? link->Source() : link->Dependent();
        if (pair) {
            CTaskDependencies& opposite = kind_ == Kind::Predecessors ? pair->Successors() : pair->Predecessors();
            if (opposite.Find(ownerId)) {
                if (tree) tree->LinkSink().OnDependencyChanged(link->SuccessorView());
                opposite.Remove(ownerId);
            }
        }
        link->ClearTasks();
    }
    if (kind_ == Kind::Successors && !entries_.empty()) owner_->AddLinkSources(-1);
    entries_.clear();
    tombstones_ = 0;
}

}  // namespace qmx
