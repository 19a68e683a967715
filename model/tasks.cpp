#include "model/tasks.h"

#include <algorithm>
#include <new>

#include "model/date_correction.h"
#include "model/task.h"
#include "model/task_tree.h"

namespace qmx {

CTasks::CTasks(IUnknown* owner, CTask* ownerTask, CTaskTree* tree)
    : EmbeddedObject(owner), ownerTask_(ownerTask), tree_(tree)
{
}

CTasks::~CTasks() = default;

HRESULT CTasks::get_Count(LONG* pnCount)
{
    if (!pnCount) return E_POINTER;
    *pnCount = static_cast<LONG>(items_.size());
    return S_OK;
}

HRESULT CTasks::get_Tasks(LONG iIndex, ITask** ppTask)
{
    if (!ppTask) return E_POINTER;
    *ppTask = nullptr;
    if (iIndex < 0 || static_cast<std::size_t>(iIndex) >= items_.size()) return E_INVALIDARG;
    *ppTask = items_[static_cast<std::size_t>(iIndex)].Get();
    (*ppTask)->AddRef();
    return S_OK;
}

HRESULT CTasks::Add(LONG iIndex, const BSTR& bsName, ITask** ppTask)
{
    return AddWithID(-1, iIndex, bsName, ppTask);
}

HRESULT CTasks::AddWithID(LONG TaskID, LONG iIndex, const BSTR& bsName, ITask** ppTask)
{
    CTaskTree* tree = tree_;
    if (!tree) return E_FAIL;  // the list of a deleted task
    if (!ppTask) return E_POINTER;
    *ppTask = nullptr;
    const std::size_t count = items_.size();
    if (iIndex != -1 && (iIndex < 0 || static_cast<std::size_t>(iIndex) > count)) return E_INVALIDARG;

    ComPtr<CTask> task = MakeObject<CTask>();
    if (!task) return E_OUTOFMEMORY;
    task->Subtasks().SetTree(tree);
    task->SetParent(ownerTask_);
    task->Appearance().StoreColor(tree->DefaultColor());
    task->SetName(bsName);

    // A new subtask starts with its parent; a new root task next to its
    // neighbour in the list (the one before it, or the first when it goes
    // first); the first root task keeps today.
    const CTask* dateFrom = nullptr;
    if (ownerTask_) {
        dateFrom = ownerTask_;
    } else if (count > 0) {
        if (iIndex == -1) dateFrom = At(count - 1);
        else if (iIndex == 0) dateFrom = At(0);
        else dateFrom = At(static_cast<std::size_t>(iIndex) - 1);
    }
    if (dateFrom) {
        task->SetDurationDays(1.0f);
        task->StoreDates(dateFrom->Start(), dateFrom->Start() + 1.0);
    }

    LONG id = TaskID;
    if (id == -1) {
        const HRESULT hr = tree->NewTaskID(&id);
        if (FAILED(hr)) return hr;
    } else if (tree->Find(id)) {
        return E_FAIL;
    }
    task->SetID(id);
    try {
        tree->RegisterTask(task.Get());
    } catch (const std::bad_alloc&) {
        task->SetID(-1);
        return E_OUTOFMEMORY;
    }
    try {
        Insert(iIndex == -1 ? count : static_cast<std::size_t>(iIndex), task.Get());
    } catch (const std::bad_alloc&) {
        tree->UnregisterTask(task.Get());
        task->SetID(-1);
        return E_OUTOFMEMORY;
    }
    tree->MarkStructureChanged();

    *ppTask = task.Get();
    (*ppTask)->AddRef();
    tree->TaskSink().OnTaskAdded(task.Get());
    if (tree->Autocorrect() && ownerTask_) DateCorrection().UpdateSummaryDates(ownerTask_, true);
    return S_OK;
}

void CTasks::Detach()
{
    tree_ = nullptr;
    ownerTask_ = nullptr;
}

CTask* CTasks::At(std::size_t i) const
{
    return items_[i].Get();
}

std::optional<std::size_t> CTasks::PositionOf(const CTask* task)
{
    const std::int64_t pos = task->listKey - base_;
    if (pos >= 0 && static_cast<std::size_t>(pos) < validUpTo_ && items_[static_cast<std::size_t>(pos)].Get() == task) {
        return static_cast<std::size_t>(pos);
    }
    // Renumber from the watermark until the task turns up.
    while (validUpTo_ < items_.size()) {
        CTask* t = items_[validUpTo_].Get();
        t->listKey = base_ + static_cast<std::int64_t>(validUpTo_);
        ++validUpTo_;
        if (t == task) return validUpTo_ - 1;
    }
    return std::nullopt;
}

void CTasks::Insert(std::size_t pos, CTask* task)
{
    items_.Insert(pos, ComPtr<CTask>(task));
    if (pos == 0) {
        // Everything shifted up by one: move the base instead.
        --base_;
        ++validUpTo_;
    } else {
        validUpTo_ = validUpTo_ >= pos ? pos + 1 : validUpTo_;
    }
    task->listKey = base_ + static_cast<std::int64_t>(pos);
    SpanAdd(task->Start(), task->End());
}

ComPtr<CTask> CTasks::Take(std::size_t pos)
{
    ComPtr<CTask> task = items_.Take(pos);
    if (pos == 0) {
        ++base_;
        validUpTo_ = validUpTo_ > 0 ? validUpTo_ - 1 : 0;
    } else {
        validUpTo_ = std::min(validUpTo_, pos);
    }
    if (items_.empty()) {
        base_ = 0;
        validUpTo_ = 0;
        span_ = {};
    } else {
        SpanRemove(task->Start(), task->End());
    }
    return task;
}

void CTasks::MoveWithin(std::size_t from, std::size_t to)
{
    auto first = items_.begin();
    if (from < to) {
        std::rotate(first + static_cast<std::ptrdiff_t>(from), first + static_cast<std::ptrdiff_t>(from) + 1,
                    first + static_cast<std::ptrdiff_t>(to) + 1);
    } else {
        std::rotate(first + static_cast<std::ptrdiff_t>(to), first + static_cast<std::ptrdiff_t>(from),
                    first + static_cast<std::ptrdiff_t>(from) + 1);
    }
    validUpTo_ = std::min(validUpTo_, std::min(from, to));
}

std::vector<ComPtr<CTask>> CTasks::TakeAll()
{
    base_ = 0;
    validUpTo_ = 0;
    span_ = {};
    return items_.TakeAll();
}

std::pair<DATE, DATE> CTasks::Span()
{
    if (!span_.valid) {
        const CTask* first = items_[0].Get();
        span_ = {true, first->Start(), first->End(), 1, 1};
        for (std::size_t i = 1; i < items_.size(); ++i) SpanAdd(items_[i]->Start(), items_[i]->End());
    }
    return {span_.lo, span_.hi};
}

void CTasks::ChildDatesChanged(DATE oldStart, DATE oldEnd, DATE newStart, DATE newEnd)
{
    if (!span_.valid) return;
    SpanRemove(oldStart, oldEnd);
    SpanAdd(newStart, newEnd);
}

void CTasks::SpanAdd(DATE start, DATE end)
{
    if (!span_.valid) {
        // A list that just got its first task knows its span; any other
        // invalid cache waits for the next scan.
        if (items_.size() == 1) span_ = {true, start, end, 1, 1};
        return;
    }
    if (start < span_.lo) span_.lo = start, span_.loCount = 1;
    else if (start == span_.lo) ++span_.loCount;
    if (end > span_.hi) span_.hi = end, span_.hiCount = 1;
    else if (end == span_.hi) ++span_.hiCount;
}

void CTasks::SpanRemove(DATE start, DATE end)
{
    if (!span_.valid) return;
    if ((start == span_.lo && --span_.loCount == 0) || (end == span_.hi && --span_.hiCount == 0)) {
        span_.valid = false;
    }
}

}  // namespace qmx
