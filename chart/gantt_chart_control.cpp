#include "chart/gantt_chart_control.h"

#include <algorithm>
#include <new>
#include <vector>

#include <QTabBar>

#include "automation/runtime/activation.h"
#include "chart/gantt_chart_control_window.h"
#include "chart/gantt_chart_pane_interfaces.h"
#include "chart/splitter_interfaces.h"
#include "chart/task_enumerator.h"
#include "grid/simple_grid_interfaces.h"

namespace qmx {

ClassInfo QMXGanttChartControl::Registration()
{
    return ClassInfo{CLSID_QMXGanttChartControl, kGanttChartControlProgId, kGanttChartControlVersionIndependentProgId,
                     "QMXGanttChartControl Class"};
}

TreeItem* QMXGanttChartControl::ItemOf(ITask* task)
{
    return task ? reinterpret_cast<TreeItem*>(GetTaskViewCookie(task)) : nullptr;
}

TreeItem* QMXGanttChartControl::OwnItemOf(ITask* task) const
{
    // A task of another control's tree carries that control's item.
    if (!task) return nullptr;
    ComPtr<ITaskTree> tree;
    if (FAILED(task->get_TaskTree(tree.ReleaseAndGetAddressOf())) || tree.Get() != model_.TaskTree()) return nullptr;
    return ItemOf(task);
}

// ---------------------------------------------------------------------------
// Properties.

HRESULT QMXGanttChartControl::get_Hwnd(LONG* pHwnd)
{
    if (!pHwnd) return E_POINTER;
    // A native window id where the window has one; child widgets usually
    // have none and answer 0.
    *pHwnd = window_ ? static_cast<LONG>(static_cast<std::uint32_t>(window_->internalWinId())) : 0;
    return S_OK;
}

HRESULT QMXGanttChartControl::put_Title(const BSTR& bsTitle)
{
    title_ = bsTitle;
    if (window_) window_->TitleBar()->SetTitle(QString::fromStdU16String(title_));
    return S_OK;
}

HRESULT QMXGanttChartControl::get_Title(BSTR* pbsTitle)
{
    if (!pbsTitle) return E_POINTER;
    *pbsTitle = title_;
    return S_OK;
}

HRESULT QMXGanttChartControl::put_CurrentView(QMXGanttChartView View)
{
    if (View != gcTasksView && View != gcResourcesView) return E_INVALIDARG;
    if (!window_) return E_FAIL;
    QTabBar* tabs = window_->Tabs();
    {
        const QSignalBlocker block(tabs);
        tabs->setCurrentIndex(View == gcTasksView ? 0 : 1);
    }
    if (tabs->currentIndex() != (View == gcTasksView ? 0 : 1)) return E_FAIL;
    ShowView(View);
    return S_OK;
}

HRESULT QMXGanttChartControl::get_CurrentView(QMXGanttChartView* pView)
{
    if (!pView) return E_POINTER;
    const int tab = window_ ? window_->Tabs()->currentIndex() : -1;
    *pView = tab > 0 ? gcResourcesView : gcTasksView;
    return S_OK;
}

void QMXGanttChartControl::ShowView(QMXGanttChartView view)
{
    if (!window_) return;
    const bool tasks = view == gcTasksView;
    window_->TasksPage()->setVisible(tasks);
    window_->ResourcesPage()->setVisible(!tasks);
    if (tasks) {
        window_->Tree()->setFocus(Qt::OtherFocusReason);
    } else if (window_->gridWindow) {
        window_->gridWindow->setFocus(Qt::OtherFocusReason);
    }
}

void QMXGanttChartControl::OnTabChanged()
{
    QMXGanttChartView view = gcTasksView;
    get_CurrentView(&view);
    ShowView(view);
}

HRESULT QMXGanttChartControl::put_PanesEnabled(VARIANT_BOOL vbEnabled)
{
    const bool enabled = vbEnabled != VARIANT_FALSE;
    if (enabled == panesEnabled_) return S_OK;
    panesEnabled_ = enabled;
    if (window_) {
        window_->TasksPage()->setEnabled(enabled);
        window_->ResourcesPage()->setEnabled(enabled);
    }
    return S_OK;
}

HRESULT QMXGanttChartControl::get_PanesEnabled(VARIANT_BOOL* pvbEnabled)
{
    if (!pvbEnabled) return E_POINTER;
    *pvbEnabled = ToVariantBool(panesEnabled_);
    return S_OK;
}

HRESULT QMXGanttChartControl::put_TreePaneVisible(VARIANT_BOOL vbVisible)
{
    const bool visible = vbVisible != VARIANT_FALSE;
    if (visible == treeVisible_) return S_OK;
    treeVisible_ = visible;
    UpdateVisibility();
    return S_OK;
}

HRESULT QMXGanttChartControl::get_TreePaneVisible(VARIANT_BOOL* pvbVisible)
{
    if (!pvbVisible) return E_POINTER;
    *pvbVisible = ToVariantBool(treeVisible_);
    return S_OK;
}

HRESULT QMXGanttChartControl::put_GanttChartPaneVisible(VARIANT_BOOL vbVisible)
{
    const bool visible = vbVisible != VARIANT_FALSE;
    if (visible == chartVisible_) return S_OK;
    chartVisible_ = visible;
    UpdateVisibility();
    return S_OK;
}

HRESULT QMXGanttChartControl::get_GanttChartPaneVisible(VARIANT_BOOL* pvbVisible)
{
    if (!pvbVisible) return E_POINTER;
    *pvbVisible = ToVariantBool(chartVisible_);
    return S_OK;
}

HRESULT QMXGanttChartControl::put_TimelinePaneVisible(VARIANT_BOOL vbVisible)
{
    if (!pane_) return E_UNEXPECTED;
    const HRESULT hr = pane_->put_TimelinePaneVisible(vbVisible);
    if (FAILED(hr)) return hr;
    UpdateVisibility();
    return hr;
}

HRESULT QMXGanttChartControl::get_TimelinePaneVisible(VARIANT_BOOL* pvbVisible)
{
    if (!pvbVisible) return E_POINTER;
    if (!pane_) return E_UNEXPECTED;
    return pane_->get_TimelinePaneVisible(pvbVisible);
}

HRESULT QMXGanttChartControl::get_MinDate(DATE* pMinDate)
{
    if (!pMinDate) return E_POINTER;
    *pMinDate = model_.MinDate();
    return S_OK;
}

HRESULT QMXGanttChartControl::get_MaxDate(DATE* pMaxDate)
{
    if (!pMaxDate) return E_POINTER;
    *pMaxDate = model_.MaxDate();
    return S_OK;
}

HRESULT QMXGanttChartControl::ZoomIn()
{
    return pane_ ? pane_->ZoomIn() : E_UNEXPECTED;
}

HRESULT QMXGanttChartControl::ZoomOut()
{
    return pane_ ? pane_->ZoomOut() : E_UNEXPECTED;
}

HRESULT QMXGanttChartControl::ResetTimeRange()
{
    return pane_ ? pane_->ResetTimeRange() : E_UNEXPECTED;
}

HRESULT QMXGanttChartControl::AdjustTimeRange()
{
    return pane_ ? pane_->AdjustTimeRange(model_.MinDate(), model_.MaxDate()) : E_UNEXPECTED;
}

HRESULT QMXGanttChartControl::get_CurrentViewSettings(BSTR* pbsSettings)
{
    if (!pbsSettings) return E_POINTER;
    return pane_ ? pane_->get_CurrentViewSettings(pbsSettings) : E_UNEXPECTED;
}

HRESULT QMXGanttChartControl::put_CurrentViewSettings(const BSTR& bsSettings)
{
    return pane_ ? pane_->put_CurrentViewSettings(bsSettings) : E_UNEXPECTED;
}

// ---------------------------------------------------------------------------
// Tasks and the tree.

HRESULT QMXGanttChartControl::ExpandTask(ITask* pTask, VARIANT_BOOL vbExpand)
{
    if (TreeItem* item = OwnItemOf(pTask)) items_.SetExpanded(item, vbExpand != VARIANT_FALSE);
    return S_OK;
}

HRESULT QMXGanttChartControl::EnumVisibleTasks(IEnumTasks** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    try {
        // Every paint asks for the visible tasks: the list is kept until the
        // rows change, and shared by the enumerators made meanwhile.
        if (!visibleTasks_) {
            const auto& rows = items_.VisibleRows();
            std::vector<ComPtr<ITask>> tasks;
            tasks.reserve(rows.size());
            for (TreeItem* item : rows) tasks.emplace_back(item->task);
            visibleTasks_ = std::make_shared<const std::vector<ComPtr<ITask>>>(std::move(tasks));
        }
        return TaskEnumerator::Create(visibleTasks_, ppEnum);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
}

HRESULT QMXGanttChartControl::GetTaskTreeItemBounds(ITask* pTask, LONG* plTop, LONG* plBottom)
{
    if (!plTop || !plBottom) return E_POINTER;
    // The pane asks in display order: the row after the last one answered
    // is tried first, which spares the look-up through the task.
    const auto& rows = items_.VisibleRows();
    LONG row = -1;
    if (pTask && boundsCursor_ < rows.size() && rows[boundsCursor_]->task == pTask) {
        row = static_cast<LONG>(boundsCursor_);
    } else {
        TreeItem* item = ItemOf(pTask);
        row = item ? items_.RowOf(item) : -1;
    }
    if (row >= 0) boundsCursor_ = std::size_t(row) + 1;
    if (row < 0) {
        *plTop = *plBottom = -1;
        return S_FALSE;
    }
    const LONG first = window_ ? window_->Tree()->FirstRow() : 0;
    *plTop = (row - first) * TaskTreeView::kRowHeight;
    *plBottom = *plTop + TaskTreeView::kRowHeight;
    return S_OK;
}

HRESULT QMXGanttChartControl::GetTaskTreeItemHeight(LONG* plHeight)
{
    if (!plHeight) return E_POINTER;
    *plHeight = TaskTreeView::kRowHeight;
    return S_OK;
}

HRESULT QMXGanttChartControl::get_TaskTree(ITaskTree** ppTaskTree)
{
    if (!ppTaskTree) return E_POINTER;
    *ppTaskTree = model_.TaskTree();
    (*ppTaskTree)->AddRef();
    return S_OK;
}

HRESULT QMXGanttChartControl::get_Resources(IResources** ppResources)
{
    if (!ppResources) return E_POINTER;
    *ppResources = model_.Resources();
    (*ppResources)->AddRef();
    return S_OK;
}

HRESULT QMXGanttChartControl::get_SelectedTask(ITask** ppTask)
{
    if (!ppTask) return E_POINTER;
    *ppTask = nullptr;
    TreeItem* caret = items_.Caret();
    if (!caret) return S_FALSE;
    *ppTask = caret->task;
    (*ppTask)->AddRef();
    return S_OK;
}

HRESULT QMXGanttChartControl::EnumSelectedTasks(VARIANT_BOOL vbSkipChild, IEnumTasks** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    try {
        std::vector<ComPtr<ITask>> tasks;
        tasks.reserve(items_.SelectedCount());
        if (vbSkipChild != VARIANT_FALSE) {
            // A selected item stands for its subtree; unselected expanded
            // items are descended into, collapsed ones skipped.
            TreeItem* root = items_.Root();
            TreeItem* i = root->firstChild;
            while (i) {
                const bool descend = !i->selected && i->expanded && i->firstChild;
                if (i->selected) tasks.emplace_back(i->task);
                if (descend) {
                    i = i->firstChild;
                    continue;
                }
                while (i && !i->next) i = items_.IsRoot(i->parent) ? nullptr : i->parent;
                if (i) i = i->next;
            }
        } else {
            for (TreeItem* item : items_.VisibleRows()) {
                if (item->selected) tasks.emplace_back(item->task);
            }
        }
        return TaskEnumerator::Create(std::move(tasks), ppEnum);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
}

HRESULT QMXGanttChartControl::EditTaskName(ITask* pTask)
{
    TreeItem* item = OwnItemOf(pTask);
    if (!item) return S_OK;
    items_.SetCaret(item);
    if (window_) window_->Tree()->BeginEdit(item);
    return S_OK;
}

HRESULT QMXGanttChartControl::get_SelectedResource(IResource** ppResource)
{
    if (!ppResource) return E_POINTER;
    *ppResource = nullptr;
    if (!grid_) return S_FALSE;
    LONG row = -1;
    if (grid_->get_SelectedRow(&row) != S_OK) return S_FALSE;
    LONG id = -1;
    if (grid_->get_CellData(row, 0, &id) != S_OK) return E_FAIL;
    // The row keeps the resource's ID: grid data is 32 bits wide.
    if (FAILED(model_.Resources()->GetResourceByID(id, ppResource))) return E_FAIL;
    return S_OK;
}

HRESULT QMXGanttChartControl::put_SelectedResource(IResource* pResource)
{
    if (!grid_) return S_FALSE;
    const LONG row = FindResourceRow(pResource);
    if (row < 0) return S_FALSE;
    return grid_->put_SelectedRow(row);
}

LONG QMXGanttChartControl::FindResourceRow(IResource* resource) const
{
    if (!grid_ || !resource) return -1;
    LONG id = -1;
    if (FAILED(resource->get_ID(&id)) || id < 0) return -1;
    LONG rows = 0;
    grid_->get_RowCount(&rows);
    for (LONG row = 0; row < rows; ++row) {
        LONG data = -1;
        if (grid_->get_CellData(row, 0, &data) == S_OK && data == id) return row;
    }
    return -1;
}

HRESULT QMXGanttChartControl::Advise(_IGanttChartControlEvents* pSink, DWORD* pdwCookie)
{
    return events_.Advise(pSink, pdwCookie);
}

HRESULT QMXGanttChartControl::Unadvise(DWORD dwCookie)
{
    return events_.Unadvise(dwCookie);
}

HRESULT QMXGanttChartControl::GetControlWindow(QWidget** ppWindow)
{
    if (!ppWindow) return E_POINTER;
    *ppWindow = window_;
    return window_ ? S_OK : S_FALSE;
}

}  // namespace qmx
