#include "app/document/edit_commands.h"

#include <unordered_map>
#include <utility>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "app/document/clipboard_format.h"
#include "app/document/document_state.h"
#include "app/document/message_ids.h"
#include "app/language_resources.h"

namespace qmx {

namespace {

TaskRecord RecordOf(ITask* task, LONG parentId)
{
    TaskRecord r;
    r.id = IdOf(task);
    r.parentId = parentId;
    task->get_Name(&r.name);
    QMXPriority priority = prNone;
    if (SUCCEEDED(task->get_Priority(&priority))) r.priority = priority;
    task->get_StartDate(&r.start);
    task->get_EndDate(&r.end);
    task->get_Duration(&r.duration);
    QMXDurationUnit unit = duDay;
    if (SUCCEEDED(task->get_DurationUnit(&unit))) r.durationUnit = unit;
    task->get_PercentComplete(&r.percentComplete);
    task->get_IsMilestone(&r.milestone);
    task->get_Notes(&r.notes);
    task->get_URL(&r.url);
    ComPtr<ITaskAppearance> appearance;
    r.color = kNoTaskColor;
    if (SUCCEEDED(task->get_Appearance(appearance.ReleaseAndGetAddressOf())) && appearance)
        appearance->get_Color(&r.color);
    return r;
}

// The task and its whole subtree, depth first in child order, without
// recursion.
void AppendSubtree(ITask* top, std::vector<TaskRecord>& records)
{
    std::vector<std::pair<ComPtr<ITask>, LONG>> stack{{ComPtr<ITask>(top), 0}};
    while (!stack.empty()) {
        auto [task, parentId] = std::move(stack.back());
        stack.pop_back();
        records.push_back(RecordOf(task.Get(), parentId));
        ComPtr<ITasks> children;
        LONG count = 0;
        if (FAILED(task->get_Subtasks(children.ReleaseAndGetAddressOf())) || !children ||
            FAILED(children->get_Count(&count)))
            continue;
        const LONG id = records.back().id;
        for (LONG i = count - 1; i >= 0; --i) {
            ComPtr<ITask> child;
            if (SUCCEEDED(children->get_Tasks(i, child.ReleaseAndGetAddressOf())) && child)
                stack.emplace_back(std::move(child), id);
        }
    }
}

// The pasted fields in their order; the first failure ends the list.
void SetFields(ITask* task, const TaskRecord& r)
{
    ComPtr<ITaskAppearance> appearance;
    task->get_Appearance(appearance.ReleaseAndGetAddressOf());
    const bool ok = SUCCEEDED(task->put_Name(r.name)) &&
                    SUCCEEDED(task->put_Priority(static_cast<QMXPriority>(r.priority))) &&
                    SUCCEEDED(task->put_StartDate(r.start)) && SUCCEEDED(task->put_Duration(r.duration)) &&
                    SUCCEEDED(task->put_DurationUnit(static_cast<QMXDurationUnit>(r.durationUnit))) &&
                    SUCCEEDED(task->put_EndDate(r.end)) && SUCCEEDED(task->put_PercentComplete(r.percentComplete)) &&
                    SUCCEEDED(task->put_IsMilestone(r.milestone)) && SUCCEEDED(task->put_Notes(r.notes)) &&
                    SUCCEEDED(task->put_URL(r.url));
    if (ok && appearance) appearance->put_Color(r.color);
}

QClipboard* Clipboard() { return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr; }

bool PutOnClipboard(const QString& format, const std::string& block)
{
    QClipboard* clipboard = Clipboard();
    if (!clipboard) return false;
    auto* data = new QMimeData;
    data->setData(format, QByteArray(block.data(), static_cast<qsizetype>(block.size())));
    clipboard->setMimeData(data);
    return true;
}

}  // namespace

bool EditCommands::RegisterFormats()
{
    taskFormat_ = LanguageResources::String(kStrTaskClipboardFormat);
    resourceFormat_ = LanguageResources::String(kStrResourceClipboardFormat);
    return !taskFormat_.isEmpty() && !resourceFormat_.isEmpty() && taskFormat_ != resourceFormat_;
}

std::string EditCommands::ClipboardBlock(const QString& format) const
{
    const QClipboard* clipboard = Clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasFormat(format)) return {};
    const QByteArray bytes = data->data(format);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool EditCommands::CanPaste() const
{
    const QClipboard* clipboard = Clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data) return false;
    if (state_.InView(gcTasksView)) return data->hasFormat(taskFormat_);
    if (state_.InView(gcResourcesView)) return data->hasFormat(resourceFormat_);
    return false;
}

HRESULT EditCommands::CopyTasks(std::vector<LONG>* copiedIds)
{
    std::vector<TaskRecord> records;
    for (const ComPtr<ITask>& task : state_.SelectedTasks(true)) {
        if (copiedIds) copiedIds->push_back(IdOf(task.Get()));
        AppendSubtree(task.Get(), records);
    }
    return PutOnClipboard(taskFormat_, EncodeTasks(records)) ? S_OK : E_FAIL;
}

HRESULT EditCommands::CopyResource(LONG* copiedId)
{
    const ComPtr<IResource> resource = state_.SelectedResource();
    if (!resource) return S_FALSE;
    ResourceRecord record{IdOf(resource.Get()), {}};
    resource->get_Name(&record.name);
    if (copiedId) *copiedId = record.id;
    return PutOnClipboard(resourceFormat_, EncodeResource(record)) ? S_OK : E_FAIL;
}

HRESULT EditCommands::Copy()
{
    if (state_.InView(gcTasksView)) return CopyTasks(nullptr);
    if (state_.InView(gcResourcesView)) return CopyResource(nullptr);
    return S_FALSE;
}

HRESULT EditCommands::Cut()
{
    if (state_.InView(gcTasksView)) {
        const ComPtr<ITaskTree> tree = state_.TaskTree();
        std::vector<LONG> copied;
        const HRESULT hr = CopyTasks(&copied);
        if (hr != S_OK || !tree) return FAILED(hr) ? hr : E_FAIL;
        for (const LONG id : copied) {
            if (tree->DeleteTask(id) != S_OK) continue;
            if (IGanttAdapter* adapter = state_.Adapter()) adapter->TaskDelete(id);
        }
        return S_OK;
    }
    if (state_.InView(gcResourcesView)) {
        const ComPtr<IResources> pool = state_.Resources();
        LONG id = -1;
        const HRESULT hr = CopyResource(&id);
        if (hr != S_OK || !pool) return FAILED(hr) ? hr : S_FALSE;
        if (pool->Delete(id) != S_OK) return S_FALSE;
        if (IGanttAdapter* adapter = state_.Adapter()) adapter->ResourceDelete(id);
        return S_OK;
    }
    return S_FALSE;
}

HRESULT EditCommands::Paste()
{
    if (state_.InView(gcTasksView)) return PasteTasks(ClipboardBlock(taskFormat_));
    if (state_.InView(gcResourcesView)) return PasteResource(ClipboardBlock(resourceFormat_));
    return S_FALSE;
}

HRESULT EditCommands::PasteTasks(const std::string& block)
{
    const ComPtr<ITaskTree> tree = state_.TaskTree();
    const std::optional<std::vector<TaskRecord>> records = DecodeTasks(block);
    if (!tree || !records) return E_FAIL;
    ComPtr<ITasks> insertion;
    if (const ComPtr<ITask> caret = state_.CaretTask())
        caret->get_Subtasks(insertion.ReleaseAndGetAddressOf());
    else
        tree->get_RootTasks(insertion.ReleaseAndGetAddressOf());
    if (!insertion) return E_FAIL;

    std::unordered_map<LONG, LONG> newIds;
    for (const TaskRecord& r : *records) {
        ComPtr<ITasks> list = insertion;
        if (r.parentId != 0) {
            const auto found = newIds.find(r.parentId);
            ComPtr<ITask> parent;
            if (found == newIds.end() || FAILED(tree->GetTask(found->second, parent.ReleaseAndGetAddressOf())) ||
                !parent || FAILED(parent->get_Subtasks(list.ReleaseAndGetAddressOf())) || !list)
                return E_FAIL;
        }
        VARIANT_BOOL exists = VARIANT_FALSE;
        tree->TaskIDExists(r.id, &exists);
        ComPtr<ITask> task;
        const HRESULT hr = exists == VARIANT_TRUE || r.id <= 0
                               ? list->Add(-1, r.name, task.ReleaseAndGetAddressOf())
                               : list->AddWithID(r.id, -1, r.name, task.ReleaseAndGetAddressOf());
        if (FAILED(hr) || !task) return FAILED(hr) ? hr : E_FAIL;
        const LONG id = IdOf(task.Get());
        newIds[r.id] = id;
        if (IGanttAdapter* adapter = state_.Adapter()) adapter->TaskNew(id);
        SetFields(task.Get(), r);
        if (IGanttAdapter* adapter = state_.Adapter()) adapter->TaskUpdate(id);
    }
    return S_OK;
}

HRESULT EditCommands::PasteResource(const std::string& block)
{
    const ComPtr<IResources> pool = state_.Resources();
    const std::optional<ResourceRecord> record = DecodeResource(block);
    if (!pool || !record) return E_FAIL;
    VARIANT_BOOL exists = VARIANT_FALSE;
    pool->ResourceIDExists(record->id, &exists);
    ComPtr<IResource> resource;
    const HRESULT hr = exists == VARIANT_TRUE || record->id <= 0
                           ? pool->Add(record->name, resource.ReleaseAndGetAddressOf())
                           : pool->AddWithID(record->id, record->name, resource.ReleaseAndGetAddressOf());
    if (FAILED(hr) || !resource) return FAILED(hr) ? hr : E_FAIL;
    const LONG id = IdOf(resource.Get());
    if (IGanttAdapter* adapter = state_.Adapter()) adapter->ResourceNew(id);
    resource->put_Name(record->name);
    if (IGanttAdapter* adapter = state_.Adapter()) adapter->ResourceUpdate(id);
    return S_OK;
}

}  // namespace qmx
