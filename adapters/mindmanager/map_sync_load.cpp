// Reading a map into the model.
#include <algorithm>

#include "adapters/mindmanager/map_formats.h"
#include "adapters/mindmanager/map_sync.h"
#include "adapters/mindmanager/topic_values.h"
#include "adapters/mindmanager/topic_walk.h"
#include "automation/remoting/remote_results.h"
#include "automation/value_text.h"

namespace qmx::mm {

// A topic of the walk whose task is made and whose sub-topics are being
// read: it is finished once the walk leaves it.
struct LoadFrame {
    WalkedTopic topic;
    TopicValues values;
    ComPtr<ITask> task;
    ComPtr<ITasks> subtasks;
    // The span of the tasks made below it so far.
    DATE earliest = 0;
    DATE latest = 0;

    void Widen(DATE start, DATE end)
    {
        if (start != 0 && (earliest == 0 || start < earliest)) earliest = start;
        if (end != 0 && (latest == 0 || end > latest)) latest = end;
    }
};

HRESULT MapSync::Load()
{
    if (!data_ || !document_) return E_UNEXPECTED;
    WriteScope writing(memory_);
    RETURN_IF_FAILED(data_->DeleteContents());
    memory_.Clear();
    waitingTopics_.clear();

    Model model;
    RETURN_IF_FAILED(GetModel(&model));
    ComPtr<IMmTopic> central;
    RETURN_IF_FAILED(CentralTopic(&central));
    TopicParts settings;
    settings.attributes = PartsOf(central.Get()).attributes;
    RETURN_IF_FAILED(LoadSettings(central.Get(), settings, model));
    LoadPool(settings, model);
    RETURN_IF_FAILED(LoadTopics(central.Get(), model));
    ResolvePendingLinks(model);
    data_->AdjustTimeRange();
    BSTR view;
    if (settings.attributes && settings.attributes->GetAttributeValue(kViewSettings, &view) == S_OK)
        data_->put_CurrentViewSettings(view);
    return S_OK;
}

HRESULT MapSync::LoadSettings(IMmTopic* central, const TopicParts& settings, const Model& model)
{
    ComPtr<IDocumentProperties> properties;
    RETURN_IF_FAILED(data_->get_Properties(properties.ReleaseAndGetAddressOf()));
    BSTR text;
    if (SUCCEEDED(central->get_Text(&text)) && properties) properties->put_Name(text);
    ComPtr<IMmDocumentProperties> mapProperties;
    if (SUCCEEDED(document_->get_Properties(mapProperties.ReleaseAndGetAddressOf())) && mapProperties && properties) {
        BSTR description;
        if (SUCCEEDED(mapProperties->get_Description(&description))) properties->put_Description(description);
    }
    memory_.autocorrect = ParseBoolean(GetAttribute(settings, kAutocorrectDates)).value_or(true);
    memory_.matchColors = ParseBoolean(GetAttribute(settings, kMatchColors)).value_or(true);
    model.tree->put_AutocorrectTaskDates(ToVariantBool(memory_.autocorrect));
    model.tree->put_MatchColors(ToVariantBool(memory_.matchColors));
    return S_OK;
}

void MapSync::LoadPool(const TopicParts& settings, const Model& model)
{
    for (const PoolEntry& entry : ParsePool(GetAttribute(settings, kResources))) {
        ComPtr<IResource> resource;
        if (FAILED(model.resources->AddWithID(entry.id, entry.name, resource.ReleaseAndGetAddressOf()))) continue;
        // The first resource of a name is the one the name means.
        memory_.resourceNameMap.try_emplace(entry.name, entry.id);
        if (entry.used) memory_.resourceUseCount[entry.id] = 0;
    }
}

void MapSync::CheckIdentity(TopicWalk& walk, const WalkedTopic& topic)
{
    const BSTR& guid = topic.record.guid;
    const BSTR& copy = topic.record.attributes[kGuidCopyValue];
    if (!copy.empty() && MapMemory::SameGuid(copy, guid)) return;
    // A topic whose GuidCopy names another GUID is a copy of that topic.
    if (!copy.empty()) memory_.RecordCopy(copy, guid);
    walk.WriteGuidCopy(topic, guid);
}

HRESULT MapSync::LoadTopics(IMmTopic* central, const Model& model)
{
    ComPtr<ITasks> roots;
    RETURN_IF_FAILED(model.tree->get_RootTasks(roots.ReleaseAndGetAddressOf()));
    std::unique_ptr<TopicWalk> walk = TreeReaderWalk(central, [this] { return TopicRange(); });
    if (!walk) walk = SingleCallWalk(central, memory_.matchColors);
    // The topics whose sub-topics are being read, the deepest last.
    std::vector<LoadFrame> open;
    for (;;) {
        WalkedTopic topic;
        const HRESULT next = walk->Next(&topic);
        RETURN_IF_FAILED(next);
        // A topic at depth d follows the last topic of depth d - 1: the
        // topics below that depth are done.
        const std::size_t depth = next == S_OK ? std::size_t(topic.record.depth) : 1;
        if (depth < 1 || depth > open.size() + 1) return RPC_E_INVALID_DATA;
        while (open.size() >= depth) {
            LoadFrame done = std::move(open.back());
            open.pop_back();
            DATE start = 0, end = 0;
            FinishTopic(done, model, &start, &end);
            if (!open.empty()) open.back().Widen(start, end);
        }
        if (next == S_FALSE) break;
        CheckIdentity(*walk, topic);
        LoadFrame frame;
        frame.values = ValuesFromRecord(topic.record, memory_.matchColors);
        SettleDates(frame.values, open.empty() ? 0 : open.back().values.start);
        ITasks* list = open.empty() ? roots.Get() : open.back().subtasks.Get();
        RETURN_IF_FAILED(list->Add(-1, BSTR(), frame.task.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(frame.task->get_Subtasks(frame.subtasks.ReleaseAndGetAddressOf()));
        frame.topic = std::move(topic);
        open.push_back(std::move(frame));
    }
    return S_OK;
}

void MapSync::FinishTopic(LoadFrame& frame, const Model& model, DATE* start, DATE* end)
{
    TopicValues& v = frame.values;
    if (v.start == 0) {
        v.start = frame.earliest;
        v.due = frame.latest;
    }
    ITask* task = frame.task.Get();
    WriteValuesIntoTask(v, task, memory_.autocorrect);
    if (!v.collapsed) data_->ExpandTask(task, VARIANT_TRUE);
    LONG taskId = -1;
    task->get_ID(&taskId);
    const map::TopicRecord& record = frame.topic.record;
    LoadAssignments(record.resources, record.attributes[kTaskResourcesValue], task, model);
    CollectPredecessors(record.attributes[kPredecessorsValue], taskId);
    if (!record.guid.empty()) memory_.RecordTask(taskId, record.guid);
    task->get_StartDate(start);
    task->get_EndDate(end);
}

void MapSync::LoadAssignments(const BSTR& names, const BSTR& loads, ITask* task, const Model& model)
{
    ComPtr<ITaskResources> assignments;
    if (FAILED(task->get_Resources(assignments.ReleaseAndGetAddressOf())) || !assignments) return;
    for (const BSTR& name : ParseResourceNames(names)) {
        LONG id = -1;
        const ComPtr<IResource> resource = ResourceNamed(name, model, &id, nullptr);
        ComPtr<ITaskResource> assignment;
        if (resource && SUCCEEDED(assignments->Add(resource.Get(), assignment.ReleaseAndGetAddressOf())))
            ++memory_.resourceUseCount[id];
    }
    ApplyLoads(loads, assignments.Get());
}

ComPtr<IResource> MapSync::ResourceNamed(const BSTR& name, const Model& model, LONG* id, bool* made)
{
    ComPtr<IResource> resource;
    if (made) *made = false;
    if (const auto known = memory_.resourceNameMap.find(name); known != memory_.resourceNameMap.end()) {
        if (FAILED(model.resources->GetResourceByID(known->second, resource.ReleaseAndGetAddressOf()))) return nullptr;
        *id = known->second;
        return resource;
    }
    if (FAILED(model.resources->Add(name, resource.ReleaseAndGetAddressOf())) || !resource) return nullptr;
    resource->get_ID(id);
    memory_.resourceNameMap[name] = *id;
    memory_.resourceUseCount.try_emplace(*id, 0);
    if (made) *made = true;
    return resource;
}

void MapSync::ApplyLoads(const TopicParts& parts, ITaskResources* assignments)
{
    ApplyLoads(GetAttribute(parts, kTaskResources), assignments);
}

void MapSync::ApplyLoads(const BSTR& loads, ITaskResources* assignments)
{
    for (const LoadEntry& load : ParseLoads(loads)) {
        ComPtr<ITaskResource> assignment;
        if (SUCCEEDED(assignments->GetTaskResourceByID(load.resourceId, assignment.ReleaseAndGetAddressOf())) &&
            assignment)
            assignment->put_Units(load.units);
    }
}

void MapSync::CollectPredecessors(const BSTR& links, LONG taskId)
{
    for (LinkEntry& link : ParseLinks(links))
        memory_.pendingLinks.push_back({taskId, std::move(link.guid), link.type});
}

void MapSync::ResolvePendingLinks(const Model& model)
{
    for (const PendingLink& link : memory_.pendingLinks) {
        const auto predecessor = memory_.TaskOfGuidOrCopy(link.predecessorGuid);
        // A link the model refuses (to itself, twice, or closing a cycle)
        // is dropped like one whose predecessor is gone.
        if (predecessor) model.tree->DependencyLink(*predecessor, link.taskId, link.type);
    }
    memory_.pendingLinks.clear();
}

}  // namespace qmx::mm
