#include "app/document/document_state.h"

#include <QWidget>

#include "app/document/application_shell.h"

namespace qmx {

LONG IdOf(ITask* task)
{
    LONG id = -1;
    if (task) task->get_ID(&id);
    return id;
}

LONG IdOf(IResource* resource)
{
    LONG id = -1;
    if (resource) resource->get_ID(&id);
    return id;
}

bool DocumentState::IsOpen() const
{
    VARIANT_BOOL opened = VARIANT_FALSE;
    return currentAdapter && SUCCEEDED(currentAdapter->get_DocIsOpened(&opened)) && opened == VARIANT_TRUE;
}

ComPtr<ITaskTree> DocumentState::TaskTree() const
{
    ComPtr<ITaskTree> tree;
    if (control) control->get_TaskTree(tree.ReleaseAndGetAddressOf());
    return tree;
}

ComPtr<IResources> DocumentState::Resources() const
{
    ComPtr<IResources> pool;
    if (control) control->get_Resources(pool.ReleaseAndGetAddressOf());
    return pool;
}

bool DocumentState::InView(QMXGanttChartView view) const
{
    QMXGanttChartView current = gcTasksView;
    return control && SUCCEEDED(control->get_CurrentView(&current)) && current == view;
}

std::vector<ComPtr<ITask>> DocumentState::SelectedTasks(bool skipChildren) const
{
    std::vector<ComPtr<ITask>> tasks;
    ComPtr<IEnumTasks> selection;
    if (!control || FAILED(control->EnumSelectedTasks(ToVariantBool(skipChildren), selection.ReleaseAndGetAddressOf())) ||
        !selection)
        return tasks;
    LONG count = 0;
    if (SUCCEEDED(selection->GetCount(&count)) && count > 0) tasks.reserve(static_cast<std::size_t>(count));
    ComPtr<ITask> task;
    while (selection->Next(task.ReleaseAndGetAddressOf()) == S_OK && task) tasks.push_back(task);
    return tasks;
}

ComPtr<ITask> DocumentState::SingleSelectedTask() const
{
    ComPtr<IEnumTasks> selection;
    if (!control || FAILED(control->EnumSelectedTasks(VARIANT_FALSE, selection.ReleaseAndGetAddressOf())) ||
        !selection)
        return nullptr;
    LONG count = 0;
    if (FAILED(selection->GetCount(&count)) || count != 1) return nullptr;
    ComPtr<ITask> task;
    if (selection->Next(task.ReleaseAndGetAddressOf()) != S_OK) return nullptr;
    return task;
}

ComPtr<ITask> DocumentState::CaretTask() const
{
    ComPtr<ITask> task;
    if (!control || control->get_SelectedTask(task.ReleaseAndGetAddressOf()) != S_OK) return nullptr;
    return task;
}

ComPtr<IResource> DocumentState::SelectedResource() const
{
    ComPtr<IResource> resource;
    if (!control || control->get_SelectedResource(resource.ReleaseAndGetAddressOf()) != S_OK) return nullptr;
    return resource;
}

void DocumentState::ResetWindow()
{
    shell.SetDocumentTitle({});
    if (control) {
        control->put_CurrentView(gcTasksView);
        control->put_PanesEnabled(VARIANT_FALSE);
        control->ResetTimeRange();
    }
    shell.UpdateCommandStates();
}

void DocumentState::ShowDocumentWindow(const BSTR& title)
{
    shell.SetDocumentTitle(title);
    if (control) control->put_PanesEnabled(VARIANT_TRUE);
    BringToForeground();
}

void DocumentState::BringToForeground()
{
    if (QWidget* window = shell.MainWindow()) {
        window->raise();
        window->activateWindow();
    }
}

}  // namespace qmx
