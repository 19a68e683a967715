#include "app/document/command_table.h"

#include "app/document/application_shell.h"
#include "app/document/document_state.h"

namespace qmx {

namespace {

// The operations, numbered as the command table (kAppCommandIds) lists them.
enum Operation : LONG {
    opFileNew = 1,
    opFileOpen,
    opFileSave,
    opFileSaveAs,
    opFileExport,
    opFileClose,
    opPrint,
    opPrintPreview,
    opDocumentProperties,
    opCut,
    opCopy,
    opPaste,
    opNewTask,
    opDeleteTasks,
    opTaskProperties,
    opTaskColor,
    opMoveUp,
    opMoveDown,
    opIndent,
    opOutdent,
    opLink,
    opUnlink,
    opNewResource,
    opDeleteResource,
    opResourceProperties,
    opTasksView,
    opResourcesView,
    opTreePane,
    opTimelinePane,
    opChartPane,
    opZoomIn,
    opZoomOut,
    opAutocorrect,
    opMatchColors,
    opRefresh,
};

bool AdapterSays(IGanttAdapter* adapter, HRESULT (IGanttAdapter::*get)(VARIANT_BOOL*))
{
    VARIANT_BOOL answer = VARIANT_FALSE;
    return adapter && SUCCEEDED((adapter->*get)(&answer)) && answer == VARIANT_TRUE;
}

// Index and sibling count of a task in its list.
bool PlaceOf(ITask* task, LONG* index, LONG* siblings)
{
    ComPtr<ITasks> list;
    return SUCCEEDED(task->get_Index(index)) && SUCCEEDED(task->get_ParentTasks(list.ReleaseAndGetAddressOf())) &&
           list && SUCCEEDED(list->get_Count(siblings));
}

}  // namespace

CommandTable::State CommandTable::StateOf(LONG operation)
{
    const bool standalone = state_.standalone;
    const bool tasksView = state_.InView(gcTasksView);
    const bool resourcesView = state_.InView(gcResourcesView);
    // Each question is asked only by the rows that need it.
    auto open = [&] { return state_.IsOpen(); };
    auto anyTask = [&] { return tasksView && !state_.SelectedTasks(false).empty(); };
    auto oneTask = [&] { return tasksView ? state_.SingleSelectedTask() : nullptr; };
    auto aResource = [&] { return resourcesView && state_.SelectedResource(); };

    switch (operation) {
    case opFileNew:
    case opFileOpen:
        return {standalone};
    case opFileSave:
    case opFileSaveAs:
    case opFileClose:
    case opDocumentProperties:
        return {standalone && open()};
    case opFileExport:
    case opRefresh:
        return {!standalone && open()};
    case opPrint:
    case opPrintPreview:
    case opNewResource:
        return {open()};
    case opCut:
    case opCopy:
        return {open() && (anyTask() || aResource())};
    case opPaste:
        return {open() && edits_.CanPaste()};
    case opNewTask:
    case opLink:
    case opUnlink:
    case opZoomIn:
    case opZoomOut:
        return {tasksView && open()};
    case opDeleteTasks:
        return {anyTask()};
    case opTaskProperties:
    case opTaskColor:
        return {oneTask() != nullptr};
    case opMoveUp:
    case opMoveDown:
    case opIndent: {
        const ComPtr<ITask> task = oneTask();
        LONG index = 0;
        LONG siblings = 0;
        if (!task || !PlaceOf(task.Get(), &index, &siblings)) return {};
        return {operation == opMoveDown ? index < siblings - 1 : index > 0};
    }
    case opOutdent: {
        const ComPtr<ITask> task = oneTask();
        ComPtr<ITask> parent;
        return {task && SUCCEEDED(task->get_ParentTask(parent.ReleaseAndGetAddressOf())) && parent};
    }
    case opDeleteResource:
    case opResourceProperties:
        return {aResource()};
    case opTasksView:
        return {true, tasksView ? 1 : 0};
    case opResourcesView:
        return {true, resourcesView ? 1 : 0};
    case opTreePane: {
        const bool tree = views_.TreePaneVisible();
        return {tasksView && !(tree && !views_.ChartPaneVisible()), tree ? 1 : 0};
    }
    case opTimelinePane:
        return {tasksView && views_.ChartPaneVisible(), views_.TimelinePaneVisible() ? 1 : 0};
    case opChartPane: {
        const bool chart = views_.ChartPaneVisible();
        return {tasksView && !(chart && !views_.TreePaneVisible()), chart ? 1 : 0};
    }
    case opAutocorrect:
        return {open() && AdapterSays(state_.Adapter(), &IGanttAdapter::get_SupportsAutocorrectTaskDates),
                views_.AutocorrectOn() ? 1 : 0};
    case opMatchColors:
        return {open() && AdapterSays(state_.Adapter(), &IGanttAdapter::get_SupportsMatchColors),
                views_.MatchColorsOn() ? 1 : 0};
    default:
        return {};
    }
}

HRESULT CommandTable::QueryState(LONG operation, VARIANT_BOOL* enabled, LONG* checked)
{
    if (!enabled || !checked) return E_POINTER;
    if (operation < opFileNew || operation > opRefresh) return E_INVALIDARG;
    const State state = StateOf(operation);
    *enabled = ToVariantBool(state.enabled);
    *checked = state.checked;
    return S_OK;
}

HRESULT CommandTable::Execute(LONG operation)
{
    if (operation < opFileNew || operation > opRefresh) return E_INVALIDARG;
    if (!StateOf(operation).enabled) return S_FALSE;
    switch (operation) {
    case opFileNew: return files_.New();
    case opFileOpen: return files_.Open();
    case opFileSave: return files_.Save();
    case opFileSaveAs: return files_.SaveAs();
    case opFileExport: return files_.Export();
    case opFileClose: return files_.Close();
    case opPrint: state_.shell.PrintActiveView(false); return S_OK;
    case opPrintPreview: state_.shell.PrintActiveView(true); return S_OK;
    case opDocumentProperties: return views_.DocumentProperties(properties_);
    case opCut: return edits_.Cut();
    case opCopy: return edits_.Copy();
    case opPaste: return edits_.Paste();
    case opNewTask: return tasks_.NewTask();
    case opDeleteTasks: return tasks_.DeleteTasks();
    case opTaskProperties: return tasks_.TaskProperties();
    case opTaskColor: return tasks_.TaskColor();
    case opMoveUp: return tasks_.MoveUp();
    case opMoveDown: return tasks_.MoveDown();
    case opIndent: return tasks_.Indent();
    case opOutdent: return tasks_.Outdent();
    case opLink: return tasks_.Link();
    case opUnlink: return tasks_.Unlink();
    case opNewResource: return resources_.NewResource();
    case opDeleteResource: return resources_.DeleteResource();
    case opResourceProperties: return resources_.ResourceProperties();
    case opTasksView: return views_.ShowView(gcTasksView);
    case opResourcesView: return views_.ShowView(gcResourcesView);
    case opTreePane: return views_.ToggleTreePane();
    case opTimelinePane: return views_.ToggleTimelinePane();
    case opChartPane: return views_.ToggleChartPane();
    case opZoomIn: return views_.ZoomIn();
    case opZoomOut: return views_.ZoomOut();
    case opAutocorrect: return views_.ToggleAutocorrect();
    case opMatchColors: return views_.ToggleMatchColors();
    case opRefresh: return views_.Refresh();
    default: return E_INVALIDARG;
    }
}

}  // namespace qmx
