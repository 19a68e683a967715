#include "model/task_resources.h"

#include <algorithm>
#include <new>

#include "model/resource.h"
#include "model/task.h"
#include "model/task_resource.h"
#include "model/task_tree.h"

namespace qmx {

CTaskResources::CTaskResources(CTask* task) : EmbeddedObject(static_cast<ITask*>(task)), task_(task) {}

CTaskResources::~CTaskResources()
{
    for (auto& entry : entries_) entry.assignment->Detach();
}

ITaskResourceSink* CTaskResources::Sink() const
{
    return task_->IsMember() ? &task_->Tree()->AssignmentSink() : nullptr;
}

std::size_t CTaskResources::LowerBound(LONG resourceId) const
{
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), resourceId,
                                     [](const Entry& e, LONG id) { return e.resourceId < id; });
    return static_cast<std::size_t>(it - entries_.begin());
}

CTaskResource* CTaskResources::Find(LONG resourceId) const
{
    const std::size_t pos = LowerBound(resourceId);
    if (pos == entries_.size() || entries_[pos].resourceId != resourceId) return nullptr;
    return entries_[pos].assignment.Get();
}

HRESULT CTaskResources::get_Count(LONG* pnCount)
{
    if (!pnCount) return E_POINTER;
    *pnCount = static_cast<LONG>(entries_.size());
    return S_OK;
}

HRESULT CTaskResources::get_TaskResources(LONG iIndex, ITaskResource** ppTaskResource)
{
    if (!ppTaskResource) return E_POINTER;
    *ppTaskResource = nullptr;
    if (iIndex < 0 || static_cast<std::size_t>(iIndex) >= entries_.size()) return E_INVALIDARG;
    *ppTaskResource = entries_[static_cast<std::size_t>(iIndex)].assignment.Get();
    (*ppTaskResource)->AddRef();
    return S_OK;
}

HRESULT CTaskResources::get_Task(ITask** ppTask)
{
    if (!ppTask) return E_POINTER;
    *ppTask = task_;
    task_->AddRef();
    return S_OK;
}

HRESULT CTaskResources::Add(IResource* pResource, ITaskResource** ppTaskResource)
{
    if (!pResource || !ppTaskResource) return E_POINTER;
    *ppTaskResource = nullptr;
    ITaskResourceSink* sink = Sink();
    if (!sink) return E_FAIL;  // a deleted task takes no new assignments
    CResource* resource = CResource::From(pResource);
    if (!resource) return E_INVALIDARG;
    if (resource->IsDeleting()) return E_FAIL;
    const LONG id = resource->ID();
    const std::size_t pos = LowerBound(id);
    if (pos < entries_.size() && entries_[pos].resourceId == id) return E_FAIL;

    ComPtr<CTaskResource> assignment = MakeObject<CTaskResource>(this, resource);
    if (!assignment) return E_OUTOFMEMORY;
    try {
        entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(pos), Entry{id, assignment});
        resource->AddAssignment(assignment.Get());
    } catch (const std::bad_alloc&) {
        if (pos < entries_.size() && entries_[pos].assignment == assignment) {
            entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(pos));
        }
        assignment->Detach();
        return E_OUTOFMEMORY;
    }
    *ppTaskResource = assignment.Get();
    assignment->AddRef();
    sink->OnTaskResourceAdded(assignment.Get());
    return S_OK;
}

HRESULT CTaskResources::Delete(LONG ResourceID)
{
    return Remove(ResourceID, false);
}

HRESULT CTaskResources::Remove(LONG resourceId, bool fireEvent)
{
    ITaskResourceSink* sink = Sink();
    if (!sink) return E_FAIL;
    const std::size_t pos = LowerBound(resourceId);
    if (pos == entries_.size() || entries_[pos].resourceId != resourceId) return S_FALSE;
    ComPtr<CTaskResource> assignment = entries_[pos].assignment;
    sink->OnTaskResourceDeleted(assignment.Get(), fireEvent);
    assignment->Detach();
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(pos));
    return S_OK;
}

HRESULT CTaskResources::GetTaskResourceByID(LONG ResourceID, ITaskResource** ppTaskResource)
{
    if (!ppTaskResource) return E_POINTER;
    *ppTaskResource = Find(ResourceID);
    if (!*ppTaskResource) return E_INVALIDARG;
    (*ppTaskResource)->AddRef();
    return S_OK;
}

HRESULT CTaskResources::DeleteAllTaskResources()
{
    ITaskResourceSink* sink = Sink();
    if (!sink) return E_FAIL;
    for (auto& entry : entries_) {
        sink->OnTaskResourceDeleted(entry.assignment.Get(), false);
        entry.assignment->Detach();
    }
    entries_.clear();
    return S_OK;
}

}  // namespace qmx
