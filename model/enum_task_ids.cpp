#include "model/enum_task_ids.h"

namespace qmx {

HRESULT CEnumTaskIDs::Next(LONG* pTaskID)
{
    if (!pTaskID) return E_POINTER;
    if (position_ >= ids_->size()) {
        *pTaskID = -1;
        return S_FALSE;
    }
    *pTaskID = (*ids_)[position_++];
    return S_OK;
}

HRESULT CEnumTaskIDs::Skip(LONG nCount)
{
    if (nCount < 0) return E_INVALIDARG;
    const std::size_t left = ids_->size() - position_;
    if (static_cast<std::size_t>(nCount) > left) {
        position_ = ids_->size();
        return S_FALSE;
    }
    position_ += static_cast<std::size_t>(nCount);
    return S_OK;
}

HRESULT CEnumTaskIDs::Reset()
{
    position_ = 0;
    return S_OK;
}

HRESULT CEnumTaskIDs::Clone(IEnumTaskIDs** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    ComPtr<CEnumTaskIDs> copy = MakeObject<CEnumTaskIDs>(ids_, position_);
    if (!copy) {
        *ppEnum = nullptr;
        return E_OUTOFMEMORY;
    }
    *ppEnum = copy.Detach();
    return S_OK;
}

}  // namespace qmx
