// Applying the changes the user makes in the map to the model.
#include <algorithm>
#include <deque>
#include <unordered_set>

#include "adapters/mindmanager/map_formats.h"
#include "adapters/mindmanager/map_sync.h"
#include "adapters/mindmanager/topic_values.h"

namespace qmx::mm {

namespace {

ComPtr<IMmTopic> ParentOf(IMmTopic* topic)
{
    ComPtr<IMmTopic> parent;
    if (topic->get_ParentTopic(parent.ReleaseAndGetAddressOf()) != S_OK) parent = nullptr;
    return parent;
}

std::vector<LONG> PairIds(ITaskDependencies* list)
{
    std::vector<LONG> ids;
    LONG count = 0;
    list->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskDependency> link;
        ComPtr<ITask> pair;
        LONG id = -1;
        if (SUCCEEDED(list->get_Dependencies(i, link.ReleaseAndGetAddressOf())) && link &&
            SUCCEEDED(link->get_PairTask(pair.ReleaseAndGetAddressOf())) && pair && SUCCEEDED(pair->get_ID(&id)))
            ids.push_back(id);
    }
    return ids;
}

bool IsCentral(IMmTopic* topic)
{
    VARIANT_BOOL central = VARIANT_FALSE;
    return SUCCEEDED(topic->get_IsCentralTopic(&central)) && central != VARIANT_FALSE;
}

}  // namespace

void MapSync::LinkPartners::Collect(ITask* task)
{
    ComPtr<ITaskDependencies> list;
    if (SUCCEEDED(task->get_Predecessors(list.ReleaseAndGetAddressOf())) && list) {
        const std::vector<LONG> ids = PairIds(list.Get());
        sources.insert(sources.end(), ids.begin(), ids.end());
    }
    if (SUCCEEDED(task->get_Successors(list.ReleaseAndGetAddressOf())) && list) {
        const std::vector<LONG> ids = PairIds(list.Get());
        dependents.insert(dependents.end(), ids.begin(), ids.end());
    }
}

LONG MapSync::TaskIndexOfTopic(IMmTopic* topic) const
{
    const ComPtr<IMmTopic> parent = ParentOf(topic);
    if (!parent) return -1;
    const auto siblings = SubTopicsOf(parent.Get());
    LONG count = 0;
    if (!siblings || FAILED(siblings->get_Count(&count))) return -1;
    const BSTR guid = GuidOf(topic);
    LONG index = 0;
    for (LONG i = 1; i <= count; ++i) {
        ComPtr<IMmTopic> sibling;
        if (FAILED(siblings->Item(i, sibling.ReleaseAndGetAddressOf())) || !sibling) continue;
        const BSTR siblingGuid = GuidOf(sibling.Get());
        if (MapMemory::SameGuid(siblingGuid, guid)) return index;
        if (memory_.TaskOfGuid(siblingGuid)) ++index;
    }
    return -1;
}

void MapSync::CopyTopicIntoTask(IMmTopic* topic, ITask* task)
{
    TopicValues values = ReadTopicValues(topic, memory_.matchColors);
    DATE inherited = 0;
    ComPtr<ITask> parent;
    if (task->get_ParentTask(parent.ReleaseAndGetAddressOf()) == S_OK && parent) parent->get_StartDate(&inherited);
    SettleDates(values, inherited);
    LONG taskId = -1;
    task->get_ID(&taskId);
    const LONG before = updatingTaskId_;
    updatingTaskId_ = taskId;
    WriteValuesIntoTask(values, task, memory_.autocorrect);
    data_->ExpandTask(task, ToVariantBool(!values.collapsed));
    updatingTaskId_ = before;
}

void MapSync::AlignAssignments(IMmTopic* topic, ITask* task, const Model& model)
{
    const TopicParts parts = PartsOf(topic);
    BSTR text;
    if (!parts.info || FAILED(parts.info->get_Resources(&text))) return;
    ComPtr<ITaskResources> assignments;
    if (FAILED(task->get_Resources(assignments.ReleaseAndGetAddressOf())) || !assignments) return;
    const std::vector<BSTR> names = ParseResourceNames(text);
    const std::unordered_set<BSTR> wanted(names.begin(), names.end());

    // Assignments the text no longer names go.
    std::vector<LONG> removed;
    std::unordered_set<BSTR> assigned;
    LONG count = 0;
    assignments->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskResource> assignment;
        ComPtr<IResource> resource;
        if (FAILED(assignments->get_TaskResources(i, assignment.ReleaseAndGetAddressOf())) || !assignment) continue;
        if (FAILED(assignment->get_Resource(resource.ReleaseAndGetAddressOf())) || !resource) continue;
        BSTR name;
        LONG id = -1;
        resource->get_Name(&name);
        resource->get_ID(&id);
        if (wanted.contains(name))
            assigned.insert(name);
        else
            removed.push_back(id);
    }
    for (LONG id : removed) {
        if (assignments->Delete(id) == S_OK) DecreaseUseCount(id);
    }
    // Names the task has no assignment for yet come in.
    for (const BSTR& name : names) {
        if (!assigned.insert(name).second) continue;
        LONG id = -1;
        bool made = false;
        const ComPtr<IResource> resource = ResourceNamed(name, model, &id, &made);
        if (!resource) continue;
        if (made) WriteResources();
        ComPtr<ITaskResource> assignment;
        if (SUCCEEDED(assignments->Add(resource.Get(), assignment.ReleaseAndGetAddressOf()))) IncreaseUseCount(id);
    }
    ApplyLoads(parts, assignments.Get());
}

void MapSync::RelinkPastedCopy(IMmTopic* topic, LONG taskId)
{
    const BSTR guid = GuidOf(topic);
    const BSTR original = GetAttribute(topic, kGuidCopy);
    if (original.empty() || MapMemory::SameGuid(original, guid)) return;
    memory_.RecordCopy(original, guid);
    Model model;
    if (FAILED(GetModel(&model))) return;
    // Only links between topics of the same paste are copied: the other
    // end must itself be a recorded copy with a task.
    const auto copiedTask = [&](const BSTR& linked) -> std::optional<LONG> {
        const BSTR* copy = memory_.CopyOf(linked);
        if (!copy) return std::nullopt;
        const auto other = memory_.TaskOfGuid(*copy);
        if (!other || *other == taskId) return std::nullopt;
        return other;
    };
    for (const LinkEntry& link : ParseLinks(GetAttribute(topic, kPredecessors))) {
        const auto source = copiedTask(link.guid);
        if (source && SUCCEEDED(model.tree->DependencyLink(*source, taskId, link.type))) WriteLinks(*source, true);
    }
    WriteLinks(taskId, false);
    for (const LinkEntry& link : ParseLinks(GetAttribute(topic, kSuccessors))) {
        const auto dependent = copiedTask(link.guid);
        if (dependent && SUCCEEDED(model.tree->DependencyLink(taskId, *dependent, link.type)))
            WriteLinks(*dependent, false);
    }
    WriteLinks(taskId, true);
}

void MapSync::AddTaskForTopic(IMmTopic* first, LONG firstParentId)
{
    Model model;
    if (FAILED(GetModel(&model))) return;
    WriteScope writing(memory_);
    std::deque<std::pair<ComPtr<IMmTopic>, LONG>> queue{{ComPtr<IMmTopic>(first), firstParentId}};
    while (!queue.empty()) {
        auto [topic, parentId] = std::move(queue.front());
        queue.pop_front();
        const BSTR guid = GuidOf(topic.Get());
        if (guid.empty() || memory_.TaskOfGuid(guid)) continue;
        BSTR text;
        topic->get_Text(&text);
        ComPtr<ITask> task;
        if (FAILED(model.tree->AddTask(parentId, -1, text, task.ReleaseAndGetAddressOf())) || !task) continue;
        LONG taskId = -1;
        task->get_ID(&taskId);
        memory_.RecordTask(taskId, guid);
        // The task stands where its topic stands among the siblings.
        const LONG index = TaskIndexOfTopic(topic.Get());
        LONG current = 0;
        if (index >= 0 && SUCCEEDED(task->get_Index(&current)) && current != index)
            model.tree->MoveTask(taskId, parentId, index);
        CopyTopicIntoTask(topic.Get(), task.Get());
        WriteResourcesIfNotYet();
        AlignAssignments(topic.Get(), task.Get(), model);
        WriteTaskIntoTopic(task.Get(), topic.Get(), memory_.matchColors);
        RelinkPastedCopy(topic.Get(), taskId);
        SetAttribute(topic.Get(), kGuidCopy, guid);
        if (const auto waiting = waitingTopics_.find(MapMemory::Key(guid)); waiting != waitingTopics_.end()) {
            for (ComPtr<IMmTopic>& child : waiting->second) queue.emplace_back(std::move(child), taskId);
            waitingTopics_.erase(waiting);
        }
    }
}

void MapSync::TopicAdded(IMmTopic* topic)
{
    if (memory_.writeDepth > 0 || !topic || !data_) return;
    const BSTR guid = GuidOf(topic);
    if (guid.empty() || memory_.TaskOfGuid(guid)) return;
    const ComPtr<IMmTopic> parent = ParentOf(topic);
    if (!parent) return;
    if (IsCentral(parent.Get())) return AddTaskForTopic(topic, 0);
    const BSTR parentGuid = GuidOf(parent.Get());
    if (const auto parentTask = memory_.TaskOfGuid(parentGuid)) return AddTaskForTopic(topic, *parentTask);
    waitingTopics_[MapMemory::Key(parentGuid)].emplace_back(topic);
}

void MapSync::TopicChanged(IMmTopic* topic)
{
    if (memory_.writeDepth > 0 || !topic || !data_) return;
    Model model;
    if (FAILED(GetModel(&model))) return;
    WriteScope writing(memory_);
    if (IsCentral(topic)) {
        BSTR text;
        ComPtr<IDocumentProperties> properties;
        if (SUCCEEDED(topic->get_Text(&text)) && SUCCEEDED(data_->get_Properties(properties.ReleaseAndGetAddressOf())) &&
            properties)
            properties->put_Name(text);
        ComPtr<ITaskAppearance> appearance;
        if (memory_.matchColors &&
            SUCCEEDED(model.tree->get_DefaultTaskAppearance(appearance.ReleaseAndGetAddressOf())) && appearance)
            appearance->put_Color(TopicColor(topic));
        return;
    }
    const auto taskId = memory_.TaskOfGuid(GuidOf(topic));
    if (!taskId) return;
    ComPtr<ITask> task;
    if (FAILED(model.tree->GetTask(*taskId, task.ReleaseAndGetAddressOf())) || !task) return;
    WriteResourcesIfNotYet();
    FollowMove(topic, *taskId, model);
    CopyTopicIntoTask(topic, task.Get());
    AlignAssignments(topic, task.Get(), model);
    ComPtr<ITaskDependencies> predecessors;
    if (FAILED(task->get_Predecessors(predecessors.ReleaseAndGetAddressOf())) || !predecessors) return;
    // The sources' topics keep their Successors in step with the new links.
    std::vector<LONG> sources = PairIds(predecessors.Get());
    predecessors->DeleteAll();
    for (const LinkEntry& link : ParseLinks(GetAttribute(topic, kPredecessors))) {
        const auto source = memory_.TaskOfGuidOrCopy(link.guid);
        if (source && SUCCEEDED(model.tree->DependencyLink(*source, *taskId, link.type))) sources.push_back(*source);
    }
    std::sort(sources.begin(), sources.end());
    sources.erase(std::unique(sources.begin(), sources.end()), sources.end());
    for (LONG source : sources) WriteLinks(source, true);
}

void MapSync::FollowMove(IMmTopic* topic, LONG taskId, const Model& model)
{
    // A topic moved in the map takes its task to the same parent and place.
    const ComPtr<IMmTopic> parentTopic = ParentOf(topic);
    if (!parentTopic) return;
    LONG parentId = 0;
    if (!IsCentral(parentTopic.Get())) {
        const auto id = memory_.TaskOfGuid(GuidOf(parentTopic.Get()));
        if (!id) return;
        parentId = *id;
    }
    ComPtr<ITask> task, parent;
    if (FAILED(model.tree->GetTask(taskId, task.ReleaseAndGetAddressOf())) || !task) return;
    LONG currentParent = 0, currentIndex = 0;
    if (task->get_ParentTask(parent.ReleaseAndGetAddressOf()) == S_OK && parent) parent->get_ID(&currentParent);
    task->get_Index(&currentIndex);
    const LONG index = TaskIndexOfTopic(topic);
    if (index < 0 || (currentParent == parentId && currentIndex == index)) return;
    model.tree->MoveTask(taskId, parentId, index);
}

void MapSync::TopicDeleting(IMmTopic* topic)
{
    if (memory_.writeDepth > 0 || !topic || !data_) return;
    const auto taskId = memory_.TaskOfGuid(GuidOf(topic));
    if (!taskId) return;
    Model model;
    if (FAILED(GetModel(&model))) return;
    WriteScope writing(memory_);
    ComPtr<ITask> task;
    if (FAILED(model.tree->GetTask(*taskId, task.ReleaseAndGetAddressOf())) || !task) {
        memory_.ForgetTask(*taskId);
        return;
    }
    // The task goes with its subtasks: every assignment among them gives
    // back its use, and every task linked to one of them from outside keeps
    // its topic's links in step.
    std::vector<LONG> tasks, resources;
    LinkPartners partners;
    std::vector<ComPtr<ITask>> pending{task};
    while (!pending.empty()) {
        ComPtr<ITask> next = std::move(pending.back());
        pending.pop_back();
        LONG id = -1;
        next->get_ID(&id);
        tasks.push_back(id);
        partners.Collect(next.Get());
        ComPtr<ITaskResources> assignments;
        LONG count = 0;
        if (SUCCEEDED(next->get_Resources(assignments.ReleaseAndGetAddressOf())) && assignments &&
            SUCCEEDED(assignments->get_Count(&count))) {
            for (LONG i = 0; i < count; ++i) {
                ComPtr<ITaskResource> assignment;
                ComPtr<IResource> resource;
                LONG resourceId = -1;
                if (SUCCEEDED(assignments->get_TaskResources(i, assignment.ReleaseAndGetAddressOf())) && assignment &&
                    SUCCEEDED(assignment->get_Resource(resource.ReleaseAndGetAddressOf())) && resource &&
                    SUCCEEDED(resource->get_ID(&resourceId)))
                    resources.push_back(resourceId);
            }
        }
        ComPtr<ITasks> subtasks;
        LONG count2 = 0;
        if (SUCCEEDED(next->get_Subtasks(subtasks.ReleaseAndGetAddressOf())) && subtasks &&
            SUCCEEDED(subtasks->get_Count(&count2))) {
            for (LONG i = 0; i < count2; ++i) {
                ComPtr<ITask> child;
                if (SUCCEEDED(subtasks->get_Tasks(i, child.ReleaseAndGetAddressOf())) && child) pending.push_back(child);
            }
        }
    }
    model.tree->DeleteTask(*taskId);
    for (LONG id : tasks) memory_.ForgetTask(id);
    for (LONG id : resources) DecreaseUseCount(id);
    RewritePartnerLinks(partners, tasks);
}

}  // namespace qmx::mm
