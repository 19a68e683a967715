#include "app/document/task_commands.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "app/dialogs/editing_commands.h"
#include "app/document/document_state.h"
#include "app/document/message_ids.h"
#include "app/document/message_text.h"
#include "app/user_interface.h"

namespace qmx {

namespace {

// The IDs of the other ends of a task's predecessor or successor links.
std::vector<LONG> PairIds(ITaskDependencies* links)
{
    std::vector<LONG> ids;
    LONG count = 0;
    if (!links || FAILED(links->get_Count(&count))) return ids;
    ids.reserve(static_cast<std::size_t>(std::max<LONG>(count, 0)));
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskDependency> link;
        ComPtr<ITask> pair;
        if (SUCCEEDED(links->get_Dependencies(i, link.ReleaseAndGetAddressOf())) && link &&
            SUCCEEDED(link->get_PairTask(pair.ReleaseAndGetAddressOf())) && pair)
            ids.push_back(IdOf(pair.Get()));
    }
    return ids;
}

ComPtr<ITaskDependencies> Predecessors(ITask* task)
{
    ComPtr<ITaskDependencies> links;
    if (task) task->get_Predecessors(links.ReleaseAndGetAddressOf());
    return links;
}

ComPtr<ITaskDependencies> Successors(ITask* task)
{
    ComPtr<ITaskDependencies> links;
    if (task) task->get_Successors(links.ReleaseAndGetAddressOf());
    return links;
}

LONG ParentIdOf(ITask* task)
{
    ComPtr<ITask> parent;
    if (task && SUCCEEDED(task->get_ParentTask(parent.ReleaseAndGetAddressOf())) && parent) return IdOf(parent.Get());
    return 0;
}

}  // namespace

HRESULT TaskCommands::AddTask(LONG parentId)
{
    const ComPtr<ITaskTree> tree = state_.TaskTree();
    if (!tree) return E_FAIL;
    ComPtr<ITask> task;
    const HRESULT hr = tree->AddTask(parentId, -1, MessageText(kStrNewTaskName), task.ReleaseAndGetAddressOf());
    if (hr != S_OK || !task) return FAILED(hr) ? hr : E_FAIL;
    if (IGanttAdapter* adapter = state_.Adapter()) adapter->TaskNew(IdOf(task.Get()));
    state_.control->EditTaskName(task.Get());
    return S_OK;
}

HRESULT TaskCommands::NewTask()
{
    const ComPtr<ITask> caret = state_.CaretTask();
    return AddTask(caret ? IdOf(caret.Get()) : 0);
}

HRESULT TaskCommands::NewSiblingTask()
{
    const ComPtr<ITask> caret = state_.CaretTask();
    return AddTask(ParentIdOf(caret.Get()));
}

HRESULT TaskCommands::DeleteTasks()
{
    const ComPtr<ITaskTree> tree = state_.TaskTree();
    if (!tree) return E_FAIL;
    const std::vector<ComPtr<ITask>> tasks = state_.SelectedTasks(true);
    if (tasks.empty()) return S_FALSE;
    if (ShowMessage(state_.ui, kMsgDeleteTasks, MessageIcon::Exclamation, MessageButtons::YesNo,
                    MessageAnswer::No) != MessageAnswer::Yes)
        return S_FALSE;
    for (const ComPtr<ITask>& task : tasks) {
        const LONG id = IdOf(task.Get());
        if (id < 0) continue;  // gone already
        if (tree->DeleteTask(id) != S_OK) continue;
        if (IGanttAdapter* adapter = state_.Adapter()) adapter->TaskDelete(id);
    }
    return S_OK;
}

HRESULT TaskCommands::MoveBy(LONG delta)
{
    const ComPtr<ITask> task = state_.SingleSelectedTask();
    if (!task) return S_FALSE;
    LONG index = 0;
    HRESULT hr = task->get_Index(&index);
    if (FAILED(hr)) return hr;
    hr = task->put_Index(index + delta);
    if (hr != S_OK) return hr;
    if (IGanttAdapter* adapter = state_.Adapter()) adapter->TaskMove(IdOf(task.Get()));
    return S_OK;
}

HRESULT TaskCommands::MoveUp() { return MoveBy(-1); }
HRESULT TaskCommands::MoveDown() { return MoveBy(1); }

HRESULT TaskCommands::Move(LONG taskId, LONG parentId, LONG index)
{
    const ComPtr<ITaskTree> tree = state_.TaskTree();
    if (!tree) return E_FAIL;
    const HRESULT hr = tree->MoveTask(taskId, parentId, index);
    if (hr == E_TASK_CYCLE) {
        ShowMessage(state_.ui, kMsgTaskCycle, MessageIcon::Error);
        return hr;
    }
    if (hr != S_OK) return hr;
    if (IGanttAdapter* adapter = state_.Adapter()) adapter->TaskMove(taskId);
    return S_OK;
}

HRESULT TaskCommands::Indent()
{
    const ComPtr<ITask> task = state_.SingleSelectedTask();
    if (!task) return S_FALSE;
    ComPtr<ITask> previous;
    if (task->get_PrevSibling(previous.ReleaseAndGetAddressOf()) != S_OK || !previous) return S_FALSE;
    return Move(IdOf(task.Get()), IdOf(previous.Get()), -1);
}

HRESULT TaskCommands::Outdent()
{
    const ComPtr<ITask> task = state_.SingleSelectedTask();
    if (!task) return S_FALSE;
    ComPtr<ITask> parent;
    if (FAILED(task->get_ParentTask(parent.ReleaseAndGetAddressOf())) || !parent) return S_FALSE;
    LONG parentIndex = 0;
    const HRESULT hr = parent->get_Index(&parentIndex);
    if (FAILED(hr)) return hr;
    return Move(IdOf(task.Get()), ParentIdOf(parent.Get()), parentIndex + 1);
}

HRESULT TaskCommands::Link()
{
    const ComPtr<ITaskTree> tree = state_.TaskTree();
    if (!tree) return E_FAIL;
    const std::vector<ComPtr<ITask>> tasks = state_.SelectedTasks(false);
    for (std::size_t i = 1; i < tasks.size(); ++i) {
        const LONG source = IdOf(tasks[i - 1].Get());
        const LONG dependent = IdOf(tasks[i].Get());
        if (tree->DependencyLink(source, dependent, dtFinishToStart) != S_OK) continue;
        if (IGanttAdapter* adapter = state_.Adapter()) adapter->TaskDependencyLink(source, dependent, dtFinishToStart);
    }
    return S_OK;
}

HRESULT TaskCommands::Unlink()
{
    const ComPtr<ITaskTree> tree = state_.TaskTree();
    if (!tree) return E_FAIL;
    const std::vector<ComPtr<ITask>> tasks = state_.SelectedTasks(false);
    IGanttAdapter* adapter = state_.Adapter();
    if (tasks.size() == 1) {
        // The adapter hears of every link while the model still holds it.
        ITask* task = tasks.front().Get();
        const LONG id = IdOf(task);
        const ComPtr<ITaskDependencies> predecessors = Predecessors(task);
        if (adapter)
            for (const LONG p : PairIds(predecessors.Get())) adapter->TaskDependencyUnlink(p, id);
        if (predecessors) predecessors->DeleteAll();
        const ComPtr<ITaskDependencies> successors = Successors(task);
        if (adapter)
            for (const LONG s : PairIds(successors.Get())) adapter->TaskDependencyUnlink(id, s);
        if (successors) successors->DeleteAll();
        return S_OK;
    }

    // Every ordered pair (A, B) of the selection with B after A, unlinked in
    // whichever direction exists. Only links between selected tasks can
    // answer, so each task's own links are walked instead of all pairs: for
    // A, its links to tasks after it, in the order of those tasks.
    std::unordered_map<LONG, std::size_t> position;
    position.reserve(tasks.size());
    for (std::size_t i = 0; i < tasks.size(); ++i) position.emplace(IdOf(tasks[i].Get()), i);
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        const LONG a = IdOf(tasks[i].Get());
        struct Pair {
            std::size_t at;
            LONG source;
            LONG dependent;
        };
        std::vector<Pair> pairs;
        auto collect = [&](const std::vector<LONG>& others, bool aIsSource) {
            for (const LONG b : others) {
                const auto found = position.find(b);
                if (found == position.end() || found->second <= i) continue;
                pairs.push_back(aIsSource ? Pair{found->second, a, b} : Pair{found->second, b, a});
            }
        };
        collect(PairIds(Successors(tasks[i].Get()).Get()), true);
        collect(PairIds(Predecessors(tasks[i].Get()).Get()), false);
        // A before B is tried first, so at one position A's own link goes first.
        std::stable_sort(pairs.begin(), pairs.end(), [a](const Pair& x, const Pair& y) {
            if (x.at != y.at) return x.at < y.at;
            return x.source == a && y.source != a;
        });
        for (const Pair& pair : pairs) {
            if (tree->DependencyUnlink(pair.source, pair.dependent) != S_OK) continue;
            if (adapter) adapter->TaskDependencyUnlink(pair.source, pair.dependent);
        }
    }
    return S_OK;
}

HRESULT TaskCommands::TaskColor()
{
    const ComPtr<ITask> task = state_.SingleSelectedTask();
    if (!task) return S_FALSE;
    ComPtr<ITaskAppearance> appearance;
    HRESULT hr = task->get_Appearance(appearance.ReleaseAndGetAddressOf());
    if (FAILED(hr) || !appearance) return FAILED(hr) ? hr : E_FAIL;
    COLORREF color = kNoTaskColor;
    if (FAILED(hr = appearance->get_Color(&color))) return hr;
    // A task without a colour of its own shows the default bar colour.
    const COLORREF shown = color == kNoTaskColor ? RGB(192, 224, 255) : color;
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const std::optional<std::uint32_t> chosen = state_.ui.ChooseColor(shown);
    if (focus) focus->setFocus();
    if (!chosen || *chosen == shown) return S_FALSE;
    if ((hr = appearance->put_Color(*chosen)) != S_OK) return hr;
    if (IGanttAdapter* adapter = state_.Adapter()) adapter->TaskUpdate(IdOf(task.Get()));
    return S_OK;
}

HRESULT TaskCommands::TaskProperties()
{
    return EditSelectedTask(state_.ui, state_.control.Get(), state_.Adapter()) ? S_OK : S_FALSE;
}

HRESULT TaskCommands::EditCaretName()
{
    const ComPtr<ITask> caret = state_.CaretTask();
    if (!caret) return S_FALSE;
    return state_.control->EditTaskName(caret.Get());
}

}  // namespace qmx
