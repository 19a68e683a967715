#include "model/resource.h"

#include "model/resources.h"
#include "model/task_resource.h"

namespace qmx {

namespace {

// Answered by QueryInterface with the CResource itself.
constexpr IID kResourceClassId = MakeGuid("{DA2A4F9F-42BE-435A-AB86-69A97A74C8B4}");

}  // namespace

CResource::CResource(CResources* pool, LONG id) : id_(id), pool_(pool) {}

CResource* CResource::From(IUnknown* object)
{
    if (!object) return nullptr;
    void* found = nullptr;
    if (FAILED(object->QueryInterface(kResourceClassId, &found)) || !found) return nullptr;
    CResource* resource = static_cast<CResource*>(found);
    resource->Release();  // the caller holds the object
    return resource;
}

HRESULT CResource::QueryOtherInterface(REFIID riid, void** ppv)
{
    if (riid == kResourceClassId) {
        *ppv = this;
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT CResource::get_ID(LONG* pResourceID)
{
    if (!pResourceID) return E_POINTER;
    *pResourceID = id_;
    return S_OK;
}

HRESULT CResource::get_Name(BSTR* pbsName)
{
    if (!pbsName) return E_POINTER;
    *pbsName = name_;
    return S_OK;
}

// A resource that left its pool (deleted, or the pool ended) answers as a
// deleted object: its name reads as last set, setters and the pool fail.
HRESULT CResource::put_Name(const BSTR& bsName)
{
    if (!pool_) return E_FAIL;
    name_ = bsName;
    pool_->Sink().OnResourceChanged(this);
    return S_OK;
}

HRESULT CResource::get_Resources(IResources** ppResources)
{
    if (!ppResources) return E_POINTER;
    *ppResources = pool_;
    if (!pool_) return E_FAIL;
    pool_->AddRef();
    return S_OK;
}

void CResource::AddAssignment(CTaskResource* assignment)
{
    assignment->placeInResource = assignments_.size();
    assignments_.push_back(assignment);
}

void CResource::RemoveAssignment(CTaskResource* assignment)
{
    // Swap with the last one: constant time, order does not matter here.
    const std::size_t place = assignment->placeInResource;
    if (place >= assignments_.size() || assignments_[place] != assignment) return;
    assignments_[place] = assignments_.back();
    assignments_[place]->placeInResource = place;
    assignments_.pop_back();
}

}  // namespace qmx
