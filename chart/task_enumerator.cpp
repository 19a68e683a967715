#include "chart/task_enumerator.h"

#include <algorithm>
#include <new>
#include <utility>

namespace qmx {

TaskEnumerator::TaskEnumerator(Snapshot tasks, std::size_t position) : tasks_(std::move(tasks)), position_(position) {}

HRESULT TaskEnumerator::Create(std::vector<ComPtr<ITask>> tasks, IEnumTasks** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    try {
        return Create(std::make_shared<const std::vector<ComPtr<ITask>>>(std::move(tasks)), ppEnum);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
}

HRESULT TaskEnumerator::Create(Snapshot tasks, IEnumTasks** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    if (!tasks) return E_POINTER;
    ComPtr<IEnumTasks> enumerator = MakeObject<TaskEnumerator>(std::move(tasks), 0);
    if (!enumerator) return E_FAIL;
    return enumerator.CopyTo(ppEnum);
}

HRESULT TaskEnumerator::GetCount(LONG* pnCount)
{
    if (!pnCount) return E_POINTER;
    *pnCount = static_cast<LONG>(tasks_->size());
    return S_OK;
}

HRESULT TaskEnumerator::End(VARIANT_BOOL* pvbEnd)
{
    if (!pvbEnd) return E_POINTER;
    *pvbEnd = ToVariantBool(position_ >= tasks_->size());
    return S_OK;
}

HRESULT TaskEnumerator::Next(ITask** ppTask)
{
    if (!ppTask) return E_POINTER;
    *ppTask = nullptr;
    if (position_ >= tasks_->size()) return S_FALSE;
    return (*tasks_)[position_++].CopyTo(ppTask);
}

HRESULT TaskEnumerator::Skip(LONG nCount)
{
    if (nCount < 0) return E_INVALIDARG;
    const std::size_t left = tasks_->size() - position_;
    position_ += std::min<std::size_t>(left, std::size_t(nCount));
    return std::size_t(nCount) > left ? S_FALSE : S_OK;
}

HRESULT TaskEnumerator::Reset()
{
    position_ = 0;
    return S_OK;
}

HRESULT TaskEnumerator::Clone(IEnumTasks** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    ComPtr<IEnumTasks> copy = MakeObject<TaskEnumerator>(tasks_, position_);
    if (!copy) return E_OUTOFMEMORY;
    return copy.CopyTo(ppEnum);
}

HRESULT TaskEnumerator::GetTasks(const ComPtr<ITask>** ppTasks, std::size_t* pnCount)
{
    if (!ppTasks || !pnCount) return E_POINTER;
    *ppTasks = tasks_->data();
    *pnCount = tasks_->size();
    return S_OK;
}

}  // namespace qmx
