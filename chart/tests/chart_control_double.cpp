#include "chart/tests/chart_control_double.h"

#include "chart/task_enumerator.h"

namespace qmx::testing {

namespace {

ComPtr<ITasks> SubtasksOf(ITask* task)
{
    ComPtr<ITasks> list;
    task->get_Subtasks(list.ReleaseAndGetAddressOf());
    return list;
}

}  // namespace

ChartControlDouble::ChartControlDouble() : model_(nullptr, nullptr, nullptr, nullptr) {}

ComPtr<ITask> ChartControlDouble::AddTask(LONG parentId, DATE start, DATE end)
{
    ComPtr<ITask> task;
    Tree()->AddTask(parentId, -1, BSTR(), task.ReleaseAndGetAddressOf());
    if (task) {
        // The end first: a start put beyond the end would drag the end along.
        task->put_EndDate(end);
        task->put_StartDate(start);
    }
    rowsValid_ = false;
    return task;
}

void ChartControlDouble::SetCollapsed(ITask* task, bool collapsed)
{
    if (collapsed) {
        collapsed_.insert(task);
    } else {
        collapsed_.erase(task);
    }
    rowsValid_ = false;
}

void ChartControlDouble::BuildRows()
{
    rows_.clear();
    ComPtr<ITasks> roots;
    Tree()->get_RootTasks(roots.ReleaseAndGetAddressOf());
    // (list, next index, visible) entries: depth first in display order.
    struct Level {
        ComPtr<ITasks> list;
        LONG next;
        bool visible;
    };
    std::vector<Level> stack{{roots, 0, true}};
    while (!stack.empty()) {
        Level& level = stack.back();
        LONG count = 0;
        level.list->get_Count(&count);
        if (level.next >= count) {
            stack.pop_back();
            continue;
        }
        ComPtr<ITask> task;
        level.list->get_Tasks(level.next++, task.ReleaseAndGetAddressOf());
        const bool visible = level.visible;
        SetTaskViewCookie(task.Get(), visible ? rows_.size() + 1 : 0);
        if (visible) rows_.push_back(task);
        stack.push_back({SubtasksOf(task.Get()), 0, visible && collapsed_.count(task.Get()) == 0});
    }
    rowsValid_ = true;
}

HRESULT ChartControlDouble::get_MinDate(DATE* pMinDate)
{
    if (!pMinDate) return E_POINTER;
    *pMinDate = model_.MinDate();
    return S_OK;
}

HRESULT ChartControlDouble::get_MaxDate(DATE* pMaxDate)
{
    if (!pMaxDate) return E_POINTER;
    *pMaxDate = model_.MaxDate();
    return S_OK;
}

HRESULT ChartControlDouble::EnumVisibleTasks(IEnumTasks** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    ++enumerations_;
    if (!rowsValid_) BuildRows();
    return TaskEnumerator::Create(rows_, ppEnum);
}

HRESULT ChartControlDouble::GetTaskTreeItemBounds(ITask* pTask, LONG* plTop, LONG* plBottom)
{
    if (!plTop || !plBottom) return E_POINTER;
    if (!rowsValid_) BuildRows();
    const std::uintptr_t cookie = pTask ? GetTaskViewCookie(pTask) : 0;
    if (cookie == 0) {
        *plTop = *plBottom = -1;
        return S_FALSE;
    }
    *plTop = (static_cast<LONG>(cookie - 1) - firstRow_) * kRowHeight;
    *plBottom = *plTop + kRowHeight;
    return S_OK;
}

HRESULT ChartControlDouble::GetTaskTreeItemHeight(LONG* plHeight)
{
    if (!plHeight) return E_POINTER;
    *plHeight = kRowHeight;
    return S_OK;
}

HRESULT ChartControlDouble::get_TaskTree(ITaskTree** ppTaskTree)
{
    if (!ppTaskTree) return E_POINTER;
    *ppTaskTree = Tree();
    (*ppTaskTree)->AddRef();
    return S_OK;
}

}  // namespace qmx::testing
