// The composite chart control as owner of the model: the four internal sinks
// mirror every change item by item into the task tree and the resources
// grid, and the tree's own events become the control's.
#include <QString>

#include "automation/bstr.h"
#include "chart/chart_icons.h"
#include "chart/gantt_chart_control.h"
#include "chart/gantt_chart_control_window.h"
#include "grid/simple_grid_interfaces.h"

namespace qmx {

namespace {

QString NameOf(ITask* task)
{
    BSTR name;
    task->get_Name(&name);
    return QString::fromStdU16String(name);
}

ComPtr<ITask> ParentOf(ITask* task)
{
    ComPtr<ITask> parent;
    task->get_ParentTask(parent.ReleaseAndGetAddressOf());
    return parent;
}

}  // namespace

void QMXGanttChartControl::RefreshLook(TreeItem* item)
{
    if (!item || items_.IsRoot(item)) return;
    if (item->HasChildren()) {
        items_.SetLook(item, kTreeImageSummary, true);
        return;
    }
    VARIANT_BOOL milestone = VARIANT_FALSE;
    item->task->get_IsMilestone(&milestone);
    QMXPriority priority = prNone;
    item->task->get_Priority(&priority);
    const int image = milestone != VARIANT_FALSE ? kTreeImageMilestone
                      : (priority >= prNone && priority <= prHigh) ? int(priority)
                                                                    : kTreeImagePriorityNone;
    items_.SetLook(item, image, false);
}

void QMXGanttChartControl::RefreshParentLook(TreeItem* parent)
{
    if (parent && !items_.IsRoot(parent)) RefreshLook(parent);
}

// ---------------------------------------------------------------------------
// ITaskTreeSink

void QMXGanttChartControl::OnTaskAdded(ITask* pTask)
{
    ComPtr<ITask> parentTask = ParentOf(pTask);
    TreeItem* parent = parentTask ? ItemOf(parentTask.Get()) : items_.Root();
    if (!parent) return;
    // The tree shows the model's order: the item goes after the item of the
    // task's previous sibling.
    ComPtr<ITask> prev;
    pTask->get_PrevSibling(prev.ReleaseAndGetAddressOf());
    TreeItem* after = prev ? ItemOf(prev.Get()) : nullptr;
    TreeItem* item = items_.InsertAfter(parent, after, pTask, NameOf(pTask));
    SetTaskViewCookie(pTask, reinterpret_cast<std::uintptr_t>(item));
    RefreshLook(item);
    RefreshParentLook(parent);
    RepaintPane();
}

void QMXGanttChartControl::OnTaskDeleting(ITask* pTask)
{
    TreeItem* item = ItemOf(pTask);
    if (!item) return;
    TreeItem* parent = item->parent;
    items_.Delete(item, [](TreeItem* gone) { SetTaskViewCookie(gone->task, 0); });
    // The task itself leaves its list after this notification: the parent
    // is plain again once its last child's item is gone.
    RefreshParentLook(parent);
    RepaintPane();
}

void QMXGanttChartControl::OnAllTasksDeleted()
{
    items_.ForEachDescendant(items_.Root(), [](TreeItem* item) { SetTaskViewCookie(item->task, 0); });
    items_.DeleteAll();
    RepaintPane();
}

void QMXGanttChartControl::OnTaskMoved(ITask* pTask)
{
    TreeItem* item = ItemOf(pTask);
    if (!item) return;
    TreeItem* oldParent = item->parent;
    ComPtr<ITask> parentTask = ParentOf(pTask);
    TreeItem* newParent = parentTask ? ItemOf(parentTask.Get()) : items_.Root();
    if (!newParent) return;
    ComPtr<ITask> prev;
    pTask->get_PrevSibling(prev.ReleaseAndGetAddressOf());
    TreeItem* after = prev ? ItemOf(prev.Get()) : nullptr;
    // The item moves with its subtree: texts, images, bold and expanded
    // states and every task's cookie stay as they are.
    items_.Move(item, newParent, after);
    if (oldParent != newParent) {
        RefreshParentLook(oldParent);
        RefreshParentLook(newParent);
    }
    items_.SetCaret(item);
    RepaintPane();
}

void QMXGanttChartControl::OnTaskChanged(ITask* pTask, DWORD mask, bool fireEvent)
{
    TreeItem* item = ItemOf(pTask);
    if (item) {
        if (mask & tcName) items_.SetText(item, NameOf(pTask));
        if (mask & (tcPriority | tcMilestone)) RefreshLook(item);
    }
    if (mask & (tcMilestone | tcStartDate | tcEndDate | tcPercentComplete | tcColor)) RepaintPane();
    if (fireEvent) FireTaskChanged(pTask);
}

void QMXGanttChartControl::OnDefaultAppearanceChanged()
{
    RepaintPane();
}

// ---------------------------------------------------------------------------
// IDependencySink and ITaskResourceSink: the chart shows them.

void QMXGanttChartControl::OnDependencyAdded(ITaskDependency*)
{
    RepaintPane();
}

void QMXGanttChartControl::OnDependencyRemoved(ITaskDependency*)
{
    RepaintPane();
}

void QMXGanttChartControl::OnDependencyChanged(ITaskDependency*)
{
    RepaintPane();
}

void QMXGanttChartControl::OnTaskResourceAdded(ITaskResource*)
{
    RepaintPane();
}

void QMXGanttChartControl::OnTaskResourceDeleted(ITaskResource* pTaskResource, bool fireEvent)
{
    RepaintPane();
    if (fireEvent) {
        events_.Fire([pTaskResource](_IGanttChartControlEvents* sink) { sink->TaskResourceDeleted(pTaskResource); });
    }
}

void QMXGanttChartControl::OnTaskResourceChanged(ITaskResource*)
{
    RepaintPane();
}

// ---------------------------------------------------------------------------
// IResourceSink: one grid row per resource, keyed by the resource's ID.

void QMXGanttChartControl::OnResourceAdded(IResource* pResource)
{
    if (!grid_) return;
    LONG id = -1;
    BSTR name;
    pResource->get_ID(&id);
    pResource->get_Name(&name);
    LONG rows = 0;
    if (FAILED(grid_->InsertRow(-1)) || FAILED(grid_->get_RowCount(&rows)) || rows <= 0) return;
    const LONG row = rows - 1;
    grid_->put_CellText(row, 0, Utf8ToBstr(std::to_string(id)));
    grid_->put_CellText(row, 1, name);
    grid_->put_CellData(row, 0, id);
}

void QMXGanttChartControl::OnResourceDeleted(IResource* pResource)
{
    const LONG row = FindResourceRow(pResource);
    if (row >= 0) grid_->DeleteRow(row);
    RepaintPane();
}

void QMXGanttChartControl::OnAllResourcesDeleted()
{
    if (grid_) grid_->DeleteAllRows();
    RepaintPane();
}

void QMXGanttChartControl::OnResourceChanged(IResource* pResource)
{
    const LONG row = FindResourceRow(pResource);
    if (row >= 0) {
        BSTR name;
        pResource->get_Name(&name);
        grid_->put_CellText(row, 1, name);
    }
    RepaintPane();
}

// ---------------------------------------------------------------------------
// TaskTreeItems::Observer: the window shows the items.

void QMXGanttChartControl::OnItemRowsChanged()
{
    visibleTasks_.reset();
    if (window_) window_->Tree()->ItemsChanged();
    RepaintPane();
}

void QMXGanttChartControl::OnItemLookChanged(TreeItem*)
{
    if (window_) window_->Tree()->update();
}

void QMXGanttChartControl::OnItemSelectionChanged()
{
    if (window_) window_->Tree()->update();
    RepaintPane();
}

void QMXGanttChartControl::OnItemDeleting(TreeItem* item)
{
    if (window_) window_->Tree()->ItemDeleting(item);
}

// ---------------------------------------------------------------------------
// TaskTreeView::Handler: the tree's events.

bool QMXGanttChartControl::OnTreeKeyDown(LONG virtualKey)
{
    VARIANT_BOOL handled = VARIANT_FALSE;
    events_.Fire([virtualKey, &handled](_IGanttChartControlEvents* sink) {
        sink->TaskTreeKeyDown(virtualKey, &handled);
    });
    return handled != VARIANT_FALSE;
}

void QMXGanttChartControl::OnTreeDoubleClick(TreeItem* item)
{
    if (item) FireTaskDblClick(item->task);
}

void QMXGanttChartControl::OnTreeContextMenu(const QPoint& globalPos)
{
    const LONG x = globalPos.x();
    const LONG y = globalPos.y();
    events_.Fire([x, y](_IGanttChartControlEvents* sink) { sink->TaskTreeContextMenu(x, y); });
}

void QMXGanttChartControl::OnTreeScrolled()
{
    RepaintPane();
}

bool QMXGanttChartControl::OnTreeLabelEdited(TreeItem* item, const QString* text)
{
    if (!text || !item) return false;
    // A label left as it was changes nothing.
    if (*text == item->text) return true;
    ComPtr<ITask> task(item->task);  // the handlers may delete it
    if (FAILED(task->put_Name(text->toStdU16String()))) return false;
    FireTaskChanged(task.Get());
    return true;
}

void QMXGanttChartControl::OnTreeItemExpanded(TreeItem*)
{
    RepaintPane();
}

}  // namespace qmx
