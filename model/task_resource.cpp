#include "model/task_resource.h"

#include "model/resource.h"
#include "model/task.h"
#include "model/task_resources.h"
#include "model/task_tree.h"

namespace qmx {

CTaskResource::CTaskResource(CTaskResources* list, CResource* resource) : list_(list), resource_(resource)
{
}

CTaskResource::~CTaskResource()
{
    Detach();
}

void CTaskResource::Detach()
{
    if (resource_) {
        resource_->RemoveAssignment(this);
        resource_.Reset();
    }
    list_ = nullptr;
}

HRESULT CTaskResource::get_Resource(IResource** ppResource)
{
    if (!ppResource) return E_POINTER;
    *ppResource = nullptr;
    if (!resource_) return E_FAIL;  // the assignment was removed
    *ppResource = resource_.Get();
    resource_->AddRef();
    return S_OK;
}

HRESULT CTaskResource::get_Units(LONG* pnUnits)
{
    if (!pnUnits) return E_POINTER;
    *pnUnits = units_;
    return S_OK;
}

HRESULT CTaskResource::put_Units(LONG nUnits)
{
    // A removed assignment, or one of a deleted task, has nobody to tell.
    if (!list_ || !list_->Task()->IsMember()) return E_FAIL;
    if (nUnits < 0) return E_INVALIDARG;
    units_ = nUnits;
    list_->Task()->Tree()->AssignmentSink().OnTaskResourceChanged(this);
    return S_OK;
}

HRESULT CTaskResource::get_TaskResources(ITaskResources** ppTaskResources)
{
    if (!ppTaskResources) return E_POINTER;
    *ppTaskResources = nullptr;
    if (!list_) return E_FAIL;
    *ppTaskResources = list_;
    list_->AddRef();
    return S_OK;
}

}  // namespace qmx
