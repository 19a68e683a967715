// Writing model changes into the map. Each write raises the write depth so
// that the map events it causes are not taken for the user's changes.
#include <algorithm>

#include "adapters/mindmanager/map_formats.h"
#include "adapters/mindmanager/map_sync.h"
#include "adapters/mindmanager/topic_values.h"

namespace qmx::mm {

HRESULT MapSync::TaskNew(LONG taskId)
{
    WriteScope writing(memory_);
    Model model;
    RETURN_IF_FAILED(GetModel(&model));
    ComPtr<ITask> task;
    RETURN_IF_FAILED(model.tree->GetTask(taskId, task.ReleaseAndGetAddressOf()));
    ComPtr<IMmTopic> parent;
    RETURN_IF_FAILED(FindParentTopic(task.Get(), &parent));
    BSTR name;
    RETURN_IF_FAILED(task->get_Name(&name));
    ComPtr<IMmTopic> topic;
    RETURN_IF_FAILED(parent->AddSubTopic(name, topic.ReleaseAndGetAddressOf()));
    if (!topic) return E_FAIL;
    const BSTR guid = GuidOf(topic.Get());
    memory_.RecordTask(taskId, guid);
    // A task inserted among its siblings gets its topic at the same place.
    LONG index = 0;
    ComPtr<ITasks> siblings;
    LONG count = 0;
    if (SUCCEEDED(task->get_Index(&index)) && SUCCEEDED(task->get_ParentTasks(siblings.ReleaseAndGetAddressOf())) &&
        siblings && SUCCEEDED(siblings->get_Count(&count)) && index + 1 < count) {
        if (const auto topics = SubTopicsOf(parent.Get())) topics->Insert(topic.Get(), index + 1);
    }
    RETURN_IF_FAILED(WriteTaskIntoTopic(task.Get(), topic.Get(), memory_.matchColors));
    return SetAttribute(topic.Get(), kGuidCopy, guid);
}

HRESULT MapSync::TaskDelete(LONG taskId)
{
    WriteScope writing(memory_);
    ComPtr<IMmTopic> topic;
    RETURN_IF_FAILED(FindTopic(taskId, &topic));
    // The sub-topics go with the topic; so do their tasks' entries. The plan
    // has dropped their links already: the topics' link lists name the tasks
    // whose topics must stop naming them.
    std::vector<ComPtr<IMmTopic>> pending{topic};
    std::vector<LONG> gone{taskId};
    LinkPartners partners;
    const auto collect = [&](IMmTopic* linked, const char16_t* attribute, std::vector<LONG>& into) {
        for (const LinkEntry& link : ParseLinks(GetAttribute(linked, attribute))) {
            if (const auto id = memory_.TaskOfGuid(link.guid)) into.push_back(*id);
        }
    };
    while (!pending.empty()) {
        ComPtr<IMmTopic> next = std::move(pending.back());
        pending.pop_back();
        if (const auto id = memory_.TaskOfGuid(GuidOf(next.Get()))) gone.push_back(*id);
        collect(next.Get(), kPredecessors, partners.sources);
        collect(next.Get(), kSuccessors, partners.dependents);
        const auto children = SubTopicsOf(next.Get());
        LONG count = 0;
        if (!children || FAILED(children->get_Count(&count))) continue;
        for (LONG i = 1; i <= count; ++i) {
            ComPtr<IMmTopic> child;
            if (SUCCEEDED(children->Item(i, child.ReleaseAndGetAddressOf())) && child) pending.push_back(child);
        }
    }
    RETURN_IF_FAILED(topic->Delete());
    for (LONG id : gone) memory_.ForgetTask(id);
    RewritePartnerLinks(partners, gone);
    return S_OK;
}

HRESULT MapSync::TaskMove(LONG taskId)
{
    WriteScope writing(memory_);
    Model model;
    RETURN_IF_FAILED(GetModel(&model));
    ComPtr<ITask> task;
    RETURN_IF_FAILED(model.tree->GetTask(taskId, task.ReleaseAndGetAddressOf()));
    ComPtr<IMmTopic> topic, parent;
    RETURN_IF_FAILED(FindTopic(taskId, &topic));
    RETURN_IF_FAILED(FindParentTopic(task.Get(), &parent));
    LONG index = 0;
    RETURN_IF_FAILED(task->get_Index(&index));
    const auto topics = SubTopicsOf(parent.Get());
    if (!topics) return E_FAIL;
    return topics->Insert(topic.Get(), index + 1);
}

HRESULT MapSync::TaskUpdate(LONG taskId)
{
    if (taskId == updatingTaskId_) return S_OK;
    WriteScope writing(memory_);
    ComPtr<ITask> task;
    ComPtr<IMmTopic> topic;
    RETURN_IF_FAILED(FindTaskAndTopic(taskId, &task, &topic));
    return WriteTaskIntoTopic(task.Get(), topic.Get(), memory_.matchColors);
}

HRESULT MapSync::WriteLinks(LONG taskId, bool successors)
{
    ComPtr<ITask> task;
    ComPtr<IMmTopic> topic;
    RETURN_IF_FAILED(FindTaskAndTopic(taskId, &task, &topic));
    ComPtr<ITaskDependencies> list;
    RETURN_IF_FAILED(successors ? task->get_Successors(list.ReleaseAndGetAddressOf())
                                : task->get_Predecessors(list.ReleaseAndGetAddressOf()));
    LONG count = 0;
    RETURN_IF_FAILED(list->get_Count(&count));
    std::vector<LinkEntry> entries;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskDependency> link;
        ComPtr<ITask> pair;
        QMXDependencyType type = dtFinishToStart;
        if (FAILED(list->get_Dependencies(i, link.ReleaseAndGetAddressOf())) || !link) continue;
        if (FAILED(link->get_PairTask(pair.ReleaseAndGetAddressOf())) || !pair || FAILED(link->get_Type(&type)))
            continue;
        LONG pairId = -1;
        pair->get_ID(&pairId);
        if (const BSTR* guid = memory_.GuidOfTask(pairId)) entries.push_back({*guid, type});
    }
    return SetAttribute(topic.Get(), successors ? kSuccessors : kPredecessors, FormatLinks(entries));
}

void MapSync::RewritePartnerLinks(LinkPartners& partners, const std::vector<LONG>& deleted)
{
    std::vector<LONG> gone = deleted;
    std::sort(gone.begin(), gone.end());
    const auto once = [&](std::vector<LONG>& ids) {
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        std::erase_if(ids, [&](LONG id) { return std::binary_search(gone.begin(), gone.end(), id); });
    };
    once(partners.sources);
    once(partners.dependents);
    // A partner whose topic cannot be written keeps its old text; the others
    // are still brought in step.
    for (LONG id : partners.sources) WriteLinks(id, true);
    for (LONG id : partners.dependents) WriteLinks(id, false);
}

HRESULT MapSync::TaskLinksChanged(LONG sourceTaskId, LONG dependentTaskId)
{
    WriteScope writing(memory_);
    RETURN_IF_FAILED(WriteLinks(sourceTaskId, true));
    return WriteLinks(dependentTaskId, false);
}

HRESULT MapSync::WriteResources()
{
    Model model;
    RETURN_IF_FAILED(GetModel(&model));
    ComPtr<IMmTopic> central;
    RETURN_IF_FAILED(CentralTopic(&central));
    LONG count = 0;
    RETURN_IF_FAILED(model.resources->get_Count(&count));
    std::vector<PoolEntry> pool;
    pool.reserve(std::size_t(count));
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IResource> resource;
        if (FAILED(model.resources->get_Resources(i, resource.ReleaseAndGetAddressOf())) || !resource) continue;
        PoolEntry entry;
        resource->get_ID(&entry.id);
        resource->get_Name(&entry.name);
        entry.used = memory_.resourceUseCount.contains(entry.id);
        pool.push_back(std::move(entry));
    }
    RETURN_IF_FAILED(SetAttribute(central.Get(), kResources, FormatPool(pool)));
    memory_.resourcesWritten = true;
    return S_OK;
}

HRESULT MapSync::WriteResourcesIfNotYet() { return memory_.resourcesWritten ? S_OK : WriteResources(); }

HRESULT MapSync::WriteAssignments(LONG taskId, LONG leftOut)
{
    ComPtr<ITask> task;
    ComPtr<IMmTopic> topic;
    RETURN_IF_FAILED(FindTaskAndTopic(taskId, &task, &topic));
    ComPtr<ITaskResources> assignments;
    RETURN_IF_FAILED(task->get_Resources(assignments.ReleaseAndGetAddressOf()));
    LONG count = 0;
    RETURN_IF_FAILED(assignments->get_Count(&count));
    std::vector<BSTR> names;
    std::vector<LoadEntry> loads;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskResource> assignment;
        ComPtr<IResource> resource;
        if (FAILED(assignments->get_TaskResources(i, assignment.ReleaseAndGetAddressOf())) || !assignment) continue;
        if (FAILED(assignment->get_Resource(resource.ReleaseAndGetAddressOf())) || !resource) continue;
        LoadEntry load;
        resource->get_ID(&load.resourceId);
        if (load.resourceId == leftOut) continue;
        assignment->get_Units(&load.units);
        BSTR name;
        resource->get_Name(&name);
        names.push_back(std::move(name));
        loads.push_back(load);
    }
    ComPtr<IMmTaskInfo> info;
    RETURN_IF_FAILED(topic->get_TaskInfo(info.ReleaseAndGetAddressOf()));
    if (!info) return E_FAIL;
    RETURN_IF_FAILED(info->put_Resources(FormatResourceNames(names)));
    return SetAttribute(topic.Get(), kTaskResources, FormatLoads(loads));
}

void MapSync::IncreaseUseCount(LONG resourceId) { ++memory_.resourceUseCount[resourceId]; }

void MapSync::DecreaseUseCount(LONG resourceId)
{
    const auto found = memory_.resourceUseCount.find(resourceId);
    if (found == memory_.resourceUseCount.end()) return;
    if (found->second > 1) {
        --found->second;
        return;
    }
    // No topic names the resource any more: it leaves the pool.
    memory_.resourceUseCount.erase(found);
    memory_.ForgetResourceName(resourceId);
    Model model;
    if (FAILED(GetModel(&model))) return;
    model.resources->Delete(resourceId);
    WriteResources();
}

HRESULT MapSync::TaskResourceNew(LONG taskId, LONG resourceId)
{
    WriteScope writing(memory_);
    if (!memory_.GuidOfTask(taskId)) return E_INVALIDARG;
    RETURN_IF_FAILED(WriteResourcesIfNotYet());
    IncreaseUseCount(resourceId);
    return WriteAssignments(taskId, -1);
}

HRESULT MapSync::TaskResourceDelete(LONG taskId, LONG resourceId)
{
    WriteScope writing(memory_);
    if (!memory_.GuidOfTask(taskId)) return E_INVALIDARG;
    RETURN_IF_FAILED(WriteResourcesIfNotYet());
    DecreaseUseCount(resourceId);
    return WriteAssignments(taskId, resourceId);
}

HRESULT MapSync::TaskResourceUpdate(LONG taskId)
{
    WriteScope writing(memory_);
    return WriteAssignments(taskId, -1);
}

HRESULT MapSync::ResourceNew(LONG resourceId)
{
    WriteScope writing(memory_);
    Model model;
    RETURN_IF_FAILED(GetModel(&model));
    ComPtr<IResource> resource;
    RETURN_IF_FAILED(model.resources->GetResourceByID(resourceId, resource.ReleaseAndGetAddressOf()));
    BSTR name;
    resource->get_Name(&name);
    memory_.resourceNameMap[name] = resourceId;
    return WriteResources();
}

HRESULT MapSync::ResourceDelete(LONG resourceId)
{
    WriteScope writing(memory_);
    memory_.ForgetResourceName(resourceId);
    memory_.resourceUseCount.erase(resourceId);
    return WriteResources();
}

HRESULT MapSync::ResourceUpdate(LONG resourceId)
{
    WriteScope writing(memory_);
    Model model;
    RETURN_IF_FAILED(GetModel(&model));
    ComPtr<IResource> resource;
    RETURN_IF_FAILED(model.resources->GetResourceByID(resourceId, resource.ReleaseAndGetAddressOf()));
    BSTR name;
    resource->get_Name(&name);
    memory_.ForgetResourceName(resourceId);
    memory_.resourceNameMap[name] = resourceId;
    RETURN_IF_FAILED(WriteResources());
    for (const ComPtr<ITask>& task : AllTasks(model.tree.Get())) {
        ComPtr<ITaskResources> assignments;
        ComPtr<ITaskResource> assignment;
        if (FAILED(task->get_Resources(assignments.ReleaseAndGetAddressOf())) || !assignments) continue;
        if (FAILED(assignments->GetTaskResourceByID(resourceId, assignment.ReleaseAndGetAddressOf())) || !assignment)
            continue;
        LONG taskId = -1;
        task->get_ID(&taskId);
        RETURN_IF_FAILED(WriteAssignments(taskId, -1));
    }
    return S_OK;
}

HRESULT MapSync::FilePropertiesUpdate()
{
    WriteScope writing(memory_);
    Model model;
    RETURN_IF_FAILED(GetModel(&model));
    ComPtr<IMmTopic> central;
    RETURN_IF_FAILED(CentralTopic(&central));
    ComPtr<IDocumentProperties> properties;
    RETURN_IF_FAILED(data_->get_Properties(properties.ReleaseAndGetAddressOf()));
    BSTR name, description;
    RETURN_IF_FAILED(properties->get_Name(&name));
    RETURN_IF_FAILED(properties->get_Description(&description));
    RETURN_IF_FAILED(central->put_Text(name));
    ComPtr<IMmDocumentProperties> mapProperties;
    RETURN_IF_FAILED(document_->get_Properties(mapProperties.ReleaseAndGetAddressOf()));
    if (mapProperties) RETURN_IF_FAILED(mapProperties->put_Description(description));
    VARIANT_BOOL autocorrect = VARIANT_TRUE, matchColors = VARIANT_TRUE;
    model.tree->get_AutocorrectTaskDates(&autocorrect);
    model.tree->get_MatchColors(&matchColors);
    RETURN_IF_FAILED(SetAttribute(central.Get(), kAutocorrectDates, FormatMapBoolean(autocorrect != VARIANT_FALSE)));
    RETURN_IF_FAILED(SetAttribute(central.Get(), kMatchColors, FormatMapBoolean(matchColors != VARIANT_FALSE)));
    const bool matchedBefore = memory_.matchColors;
    memory_.autocorrect = autocorrect != VARIANT_FALSE;
    memory_.matchColors = matchColors != VARIANT_FALSE;
    if (memory_.matchColors) {
        // The fills are the colours now.
        for (const ComPtr<ITask>& task : AllTasks(model.tree.Get())) {
            LONG taskId = -1;
            task->get_ID(&taskId);
            ComPtr<IMmTopic> topic;
            ComPtr<ITaskAppearance> appearance;
            if (FAILED(FindTopic(taskId, &topic))) continue;
            if (SUCCEEDED(task->get_Appearance(appearance.ReleaseAndGetAddressOf())) && appearance)
                appearance->put_Color(TopicColor(topic.Get()));
        }
    } else if (matchedBefore) {
        // The colours move from the fills into the attributes, so that the
        // next load finds them there.
        for (const ComPtr<ITask>& task : AllTasks(model.tree.Get())) {
            LONG taskId = -1;
            task->get_ID(&taskId);
            ComPtr<IMmTopic> topic;
            if (SUCCEEDED(FindTopic(taskId, &topic))) WriteTaskIntoTopic(task.Get(), topic.Get(), false);
        }
    }
    return S_OK;
}

HRESULT MapSync::DocumentViewUpdate()
{
    WriteScope writing(memory_);
    if (!data_) return E_UNEXPECTED;
    ComPtr<IMmTopic> central;
    RETURN_IF_FAILED(CentralTopic(&central));
    BSTR settings;
    RETURN_IF_FAILED(data_->get_CurrentViewSettings(&settings));
    return SetAttribute(central.Get(), kViewSettings, settings);
}

}  // namespace qmx::mm
