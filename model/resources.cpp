#include "model/resources.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "model/null_sinks.h"
#include "model/resource.h"
#include "model/task.h"
#include "model/task_resource.h"
#include "model/task_tree.h"

namespace qmx {

CResources::CResources() : sink_(&NullSinks::Instance()) {}

CResources::~CResources()
{
    Shutdown();
}

void CResources::Attach(CTaskTree* tree, IResourceSink* sink)
{
    tree_ = tree;
    sink_ = sink ? sink : &NullSinks::Instance();
}

void CResources::Shutdown()
{
    sink_ = &NullSinks::Instance();
    tree_ = nullptr;
    for (auto& entry : entries_.TakeAll()) {
        entry.resource->MarkDeleting();
        entry.resource->SetID(-1);
        entry.resource->SetPool(nullptr);
    }
}

std::size_t CResources::LowerBound(LONG id) const
{
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), id,
                                     [](const Entry& e, LONG value) { return e.id < value; });
    return static_cast<std::size_t>(it - entries_.begin());
}

CResource* CResources::Find(LONG id) const
{
    const std::size_t pos = LowerBound(id);
    if (pos == entries_.size() || entries_[pos].id != id) return nullptr;
    return entries_[pos].resource.Get();
}

HRESULT CResources::get_Count(LONG* pnCount)
{
    if (!pnCount) return E_POINTER;
    *pnCount = static_cast<LONG>(entries_.size());
    return S_OK;
}

HRESULT CResources::get_Resources(LONG iIndex, IResource** ppResource)
{
    if (!ppResource) return E_POINTER;
    *ppResource = nullptr;
    if (iIndex < 0 || static_cast<std::size_t>(iIndex) >= entries_.size()) return E_INVALIDARG;
    *ppResource = entries_[static_cast<std::size_t>(iIndex)].resource.Get();
    (*ppResource)->AddRef();
    return S_OK;
}

HRESULT CResources::ResourceIDExists(LONG ResourceID, VARIANT_BOOL* pvbExists)
{
    if (!pvbExists) return E_POINTER;
    *pvbExists = ToVariantBool(Find(ResourceID) != nullptr);
    return S_OK;
}

HRESULT CResources::GetResourceByID(LONG ResourceID, IResource** ppResource)
{
    if (!ppResource) return E_POINTER;
    *ppResource = Find(ResourceID);
    if (!*ppResource) return E_INVALIDARG;
    (*ppResource)->AddRef();
    return S_OK;
}

HRESULT CResources::Add(const BSTR& bsName, IResource** ppResource)
{
    return AddWithID(-1, bsName, ppResource);
}

HRESULT CResources::AddWithID(LONG ResourceID, const BSTR& bsName, IResource** ppResource)
{
    if (!ppResource) return E_POINTER;
    *ppResource = nullptr;
    LONG id = ResourceID;
    if (id == -1) {
        if (entries_.empty()) {
            id = 1;
        } else {
            const LONG largest = entries_.back().id;
            if (largest == std::numeric_limits<LONG>::max()) return E_FAIL;  // no larger ID left
            id = largest + 1 == -1 ? 1 : largest + 1;  // -1 means "no ID"
        }
    } else if (Find(id)) {
        return E_FAIL;
    }

    ComPtr<CResource> resource = MakeObject<CResource>(this, id);
    if (!resource) return E_OUTOFMEMORY;
    const HRESULT hr = resource->put_Name(bsName);
    try {
        entries_.Insert(LowerBound(id), Entry{id, resource});
    } catch (const std::bad_alloc&) {
        resource->SetPool(nullptr);
        return E_OUTOFMEMORY;
    }
    *ppResource = resource.Get();
    resource->AddRef();
    sink_->OnResourceAdded(resource.Get());
    return hr;
}

HRESULT CResources::Delete(LONG ResourceID)
{
    CResource* resource = Find(ResourceID);
    if (!resource || resource->IsDeleting()) return S_FALSE;
    ComPtr<CResource> keep(resource);
    resource->MarkDeleting();
    sink_->OnResourceDeleted(resource);
    return RemoveResource(resource);
}

HRESULT CResources::DeleteAllResources()
{
    sink_->OnAllResourcesDeleted();
    std::vector<ComPtr<CResource>> all;
    all.reserve(entries_.size());
    for (const auto& entry : entries_) all.push_back(entry.resource);
    for (const auto& resource : all) {
        if (resource->IsDeleting()) continue;
        resource->MarkDeleting();
        const HRESULT hr = RemoveResource(resource.Get());
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT CResources::RemoveResource(CResource* resource)
{
    // The assignments go in tree order: depth first, in list order from the
    // root list. The resource knows its assignments, so only the tasks it is
    // assigned to are visited; tasks outside the tree (deleted ones) keep
    // theirs until they are released.
    if (tree_ && !resource->Assignments().empty()) {
        std::vector<ComPtr<CTaskResource>> assignments;
        for (CTaskResource* assignment : resource->Assignments()) {
            const CTask* task = assignment->List()->Task();
            if (task->IsMember() && task->Tree() == tree_) assignments.emplace_back(assignment);
        }
        tree_->EnsurePreorder();
        std::sort(assignments.begin(), assignments.end(), [](const auto& a, const auto& b) {
            return a->List()->Task()->preorder < b->List()->Task()->preorder;
        });
        const LONG id = resource->ID();
        for (const auto& assignment : assignments) {
            CTaskResources* list = assignment->List();
            if (!list) continue;
            const HRESULT hr = list->Remove(id, true);
            if (FAILED(hr)) return hr;  // the resource stays, flagged
        }
    }
    // A deleted resource no longer knows its pool: it may outlive it.
    const LONG id = resource->ID();
    resource->SetID(-1);
    resource->SetPool(nullptr);
    const std::size_t pos = LowerBound(id);
    if (pos < entries_.size() && entries_[pos].resource.Get() == resource) entries_.Take(pos);
    return S_OK;
}

}  // namespace qmx
