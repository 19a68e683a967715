// Reading a map into the model.
#include <algorithm>

#include "adapters/mindmanager/map_formats.h"
#include "adapters/mindmanager/map_sync.h"
#include "adapters/mindmanager/topic_values.h"
#include "automation/value_text.h"

namespace qmx::mm {

namespace {

// A level of the topic tree being read: its topics, the model's list they
// go into, and the span of the tasks made so far. `current` is the topic
// whose sub-topics the next level holds.
struct Level {
    ComPtr<IMmTopics> topics;
    LONG count = 0;
    LONG next = 0;  // 0-based index of the next topic to read
    ComPtr<ITasks> list;
    DATE inheritedStart = 0;
    DATE earliest = 0;
    DATE latest = 0;

    struct Current {
        ComPtr<IMmTopic> topic;
        TopicParts parts;
        BSTR guid;
        TopicValues values;
        ComPtr<ITask> task;
    } current;

    void Widen(DATE start, DATE end)
    {
        if (start != 0 && (earliest == 0 || start < earliest)) earliest = start;
        if (end != 0 && (latest == 0 || end > latest)) latest = end;
    }
};

Level MakeLevel(IMmTopic* parent, bool central, ITasks* list, DATE inheritedStart)
{
    Level level;
    level.topics = SubTopicsOf(parent, central);
    if (level.topics && FAILED(level.topics->get_Count(&level.count))) level.count = 0;
    level.list = list;
    level.inheritedStart = inheritedStart;
    return level;
}

}  // namespace

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

void MapSync::CheckIdentity(const TopicParts& parts, const BSTR& guid)
{
    const BSTR copy = GetAttribute(parts, kGuidCopy);
    if (!copy.empty() && MapMemory::SameGuid(copy, guid)) return;
    // A topic whose GuidCopy names another GUID is a copy of that topic.
    if (!copy.empty()) memory_.RecordCopy(copy, guid);
    SetAttribute(parts, kGuidCopy, guid);
}

HRESULT MapSync::LoadTopics(IMmTopic* central, const Model& model)
{
    ComPtr<ITasks> roots;
    RETURN_IF_FAILED(model.tree->get_RootTasks(roots.ReleaseAndGetAddressOf()));
    std::vector<Level> stack;
    stack.push_back(MakeLevel(central, true, roots.Get(), 0));
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next < level.count) {
            ComPtr<IMmTopic> topic;
            const LONG index = ++level.next;
            if (FAILED(level.topics->Item(index, topic.ReleaseAndGetAddressOf())) || !topic) continue;
            if (IsSpecialTopic(topic.Get())) continue;
            Level::Current& current = level.current;
            current.topic = topic;
            current.guid = GuidOf(topic.Get());
            current.parts = PartsOf(topic.Get());
            CheckIdentity(current.parts, current.guid);
            current.values = ReadTopicValues(topic.Get(), current.parts, memory_.matchColors);
            TopicValues& v = current.values;
            SettleDates(v, level.inheritedStart);
            RETURN_IF_FAILED(level.list->Add(-1, BSTR(), current.task.ReleaseAndGetAddressOf()));
            ComPtr<ITasks> subtasks;
            RETURN_IF_FAILED(current.task->get_Subtasks(subtasks.ReleaseAndGetAddressOf()));
            Level child = MakeLevel(topic.Get(), false, subtasks.Get(), v.start);
            stack.push_back(std::move(child));  // `level` is not used past this point
            continue;
        }
        // The level is read: finish the topic that owns it.
        const DATE childEarliest = level.earliest;
        const DATE childLatest = level.latest;
        stack.pop_back();
        if (stack.empty()) break;
        Level& parent = stack.back();
        Level::Current current = std::move(parent.current);
        parent.current = {};
        TopicValues& v = current.values;
        if (v.start == 0) {
            v.start = childEarliest;
            v.due = childLatest;
        }
        ITask* task = current.task.Get();
        WriteValuesIntoTask(v, task, memory_.autocorrect);
        if (!v.collapsed) data_->ExpandTask(task, VARIANT_TRUE);
        LONG taskId = -1;
        task->get_ID(&taskId);
        LoadAssignments(current.parts, task, model);
        CollectPredecessors(current.parts, taskId);
        if (!current.guid.empty()) memory_.RecordTask(taskId, current.guid);
        DATE start = 0, end = 0;
        task->get_StartDate(&start);
        task->get_EndDate(&end);
        parent.Widen(start, end);
    }
    return S_OK;
}

void MapSync::LoadAssignments(const TopicParts& parts, ITask* task, const Model& model)
{
    BSTR text;
    if (!parts.info || FAILED(parts.info->get_Resources(&text))) return;
    ComPtr<ITaskResources> assignments;
    if (FAILED(task->get_Resources(assignments.ReleaseAndGetAddressOf())) || !assignments) return;
    for (const BSTR& name : ParseResourceNames(text)) {
        LONG id = -1;
        const ComPtr<IResource> resource = ResourceNamed(name, model, &id, nullptr);
        ComPtr<ITaskResource> assignment;
        if (resource && SUCCEEDED(assignments->Add(resource.Get(), assignment.ReleaseAndGetAddressOf())))
            ++memory_.resourceUseCount[id];
    }
    ApplyLoads(parts, assignments.Get());
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
    for (const LoadEntry& load : ParseLoads(GetAttribute(parts, kTaskResources))) {
        ComPtr<ITaskResource> assignment;
        if (SUCCEEDED(assignments->GetTaskResourceByID(load.resourceId, assignment.ReleaseAndGetAddressOf())) &&
            assignment)
            assignment->put_Units(load.units);
    }
}

void MapSync::CollectPredecessors(const TopicParts& parts, LONG taskId)
{
    for (LinkEntry& link : ParseLinks(GetAttribute(parts, kPredecessors)))
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
