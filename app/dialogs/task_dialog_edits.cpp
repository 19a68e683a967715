#include "app/dialogs/task_dialog_edits.h"

#include "adapters/contract/gantt_adapter.h"
#include "automation/com_ptr.h"

namespace qmx {

namespace {

IdValueMap LoadPredecessors(ITask* task)
{
    IdValueMap map;
    ComPtr<ITaskDependencies> links;
    LONG count = 0;
    if (FAILED(task->get_Predecessors(links.ReleaseAndGetAddressOf())) || FAILED(links->get_Count(&count)))
        return map;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskDependency> link;
        ComPtr<ITask> source;
        QMXDependencyType type = dtFinishToStart;
        LONG id = -1;
        if (FAILED(links->get_Dependencies(i, link.ReleaseAndGetAddressOf())) ||
            FAILED(link->get_PairTask(source.ReleaseAndGetAddressOf())) || FAILED(source->get_ID(&id)) ||
            FAILED(link->get_Type(&type)))
            continue;
        map[id] = type;
    }
    return map;
}

IdValueMap LoadAssignments(ITask* task)
{
    IdValueMap map;
    ComPtr<ITaskResources> assignments;
    LONG count = 0;
    if (FAILED(task->get_Resources(assignments.ReleaseAndGetAddressOf())) || FAILED(assignments->get_Count(&count)))
        return map;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskResource> assignment;
        ComPtr<IResource> resource;
        LONG id = -1;
        LONG units = 0;
        if (FAILED(assignments->get_TaskResources(i, assignment.ReleaseAndGetAddressOf())) ||
            FAILED(assignment->get_Resource(resource.ReleaseAndGetAddressOf())) || FAILED(resource->get_ID(&id)) ||
            FAILED(assignment->get_Units(&units)))
            continue;
        map[id] = units;
    }
    return map;
}

void WriteGeneral(const GeneralPageEdits& page, ITask* task, LONG id, IGanttAdapter* adapter)
{
    const GeneralValues& v = page.Values();
    task->put_Name(v.name);
    task->put_Priority(v.priority);
    if (page.StartChanged()) task->put_StartDate(v.start);
    if (page.EndChanged()) task->put_EndDate(v.end);
    if (page.DurationChanged()) {
        task->put_Duration(v.duration);
        task->put_DurationUnit(v.unit);
    }
    task->put_PercentComplete(v.percent);
    task->put_IsMilestone(ToVariantBool(v.milestone));
    ComPtr<ITaskAppearance> appearance;
    if (SUCCEEDED(task->get_Appearance(appearance.ReleaseAndGetAddressOf()))) appearance->put_Color(v.color);
    if (adapter) adapter->TaskUpdate(id);
}

void WritePredecessors(const MapPageEdits& page, ITask* task, LONG id, IGanttAdapter* adapter)
{
    ComPtr<ITaskTree> tree;
    ComPtr<ITaskDependencies> links;
    if (FAILED(task->get_TaskTree(tree.ReleaseAndGetAddressOf())) ||
        FAILED(task->get_Predecessors(links.ReleaseAndGetAddressOf())))
        return;
    for (const MapStep& step : PlanMapWriteBack(page.Loaded(), page.Edited())) {
        const auto type = static_cast<QMXDependencyType>(step.value);
        switch (step.kind) {
        case MapStep::Kind::Remove:
            if (tree->DependencyUnlink(step.id, id) == S_OK && adapter) adapter->TaskDependencyUnlink(step.id, id);
            break;
        case MapStep::Kind::Change: {
            ComPtr<ITaskDependency> link;
            if (SUCCEEDED(links->GetDependencyByTaskID(step.id, link.ReleaseAndGetAddressOf())) && link &&
                SUCCEEDED(link->put_Type(type)) && adapter)
                adapter->TaskDependencyUpdate(step.id, id);
            break;
        }
        case MapStep::Kind::Add:
            if (tree->DependencyLink(step.id, id, type) == S_OK && adapter)
                adapter->TaskDependencyLink(step.id, id, type);
            break;
        }
    }
}

void WriteAssignments(const MapPageEdits& page, ITask* task, LONG id, IResources* pool, IGanttAdapter* adapter)
{
    ComPtr<ITaskResources> assignments;
    if (FAILED(task->get_Resources(assignments.ReleaseAndGetAddressOf()))) return;
    for (const MapStep& step : PlanMapWriteBack(page.Loaded(), page.Edited())) {
        switch (step.kind) {
        case MapStep::Kind::Remove:
            if (assignments->Delete(step.id) == S_OK && adapter) adapter->TaskResourceDelete(id, step.id);
            break;
        case MapStep::Kind::Change: {
            ComPtr<ITaskResource> assignment;
            if (SUCCEEDED(assignments->GetTaskResourceByID(step.id, assignment.ReleaseAndGetAddressOf())) &&
                assignment && SUCCEEDED(assignment->put_Units(step.value)) && adapter)
                adapter->TaskResourceUpdate(id, step.id);
            break;
        }
        case MapStep::Kind::Add: {
            ComPtr<IResource> resource;
            ComPtr<ITaskResource> assignment;
            if (!pool || FAILED(pool->GetResourceByID(step.id, resource.ReleaseAndGetAddressOf())) || !resource ||
                FAILED(assignments->Add(resource.Get(), assignment.ReleaseAndGetAddressOf())) || !assignment)
                break;
            if (adapter) adapter->TaskResourceNew(id, step.id);
            if (SUCCEEDED(assignment->put_Units(step.value)) && adapter) adapter->TaskResourceUpdate(id, step.id);
            break;
        }
        }
    }
}

}  // namespace

std::optional<TaskDialogEdits> LoadTaskDialogEdits(ITask* task, bool notesSupported, DurationUnitNames unitNames)
{
    if (!task) return std::nullopt;
    VARIANT_BOOL valid = VARIANT_FALSE;
    ComPtr<ITaskTree> tree;
    if (FAILED(task->get_IsValid(&valid)) || valid != VARIANT_TRUE ||
        FAILED(task->get_TaskTree(tree.ReleaseAndGetAddressOf())) || !tree)
        return std::nullopt;

    GeneralValues values;
    task->get_Name(&values.name);
    task->get_Priority(&values.priority);
    task->get_StartDate(&values.start);
    task->get_EndDate(&values.end);
    task->get_Duration(&values.duration);
    task->get_DurationUnit(&values.unit);
    task->get_PercentComplete(&values.percent);
    VARIANT_BOOL milestone = VARIANT_FALSE;
    task->get_IsMilestone(&milestone);
    values.milestone = milestone == VARIANT_TRUE;
    ComPtr<ITaskAppearance> appearance;
    if (SUCCEEDED(task->get_Appearance(appearance.ReleaseAndGetAddressOf()))) appearance->get_Color(&values.color);

    VARIANT_BOOL summary = VARIANT_FALSE;
    task->get_HasSubtasks(&summary);
    VARIANT_BOOL autocorrect = VARIANT_TRUE;
    tree->get_AutocorrectTaskDates(&autocorrect);

    NotesEdits notes;
    task->get_Notes(&notes.text);
    return TaskDialogEdits{GeneralPageEdits(values, summary == VARIANT_TRUE, autocorrect == VARIANT_TRUE,
                                            std::move(unitNames)),
                           MapPageEdits(LoadPredecessors(task)), MapPageEdits(LoadAssignments(task)),
                           std::move(notes), notesSupported};
}

void WriteBackTaskEdits(const TaskDialogEdits& edits, ITask* task, IResources* pool, IGanttAdapter* adapter)
{
    if (!task) return;
    LONG id = -1;
    VARIANT_BOOL valid = VARIANT_FALSE;
    if (FAILED(task->get_IsValid(&valid)) || valid != VARIANT_TRUE || FAILED(task->get_ID(&id)) || id == -1) return;
    if (edits.general.IsModified()) WriteGeneral(edits.general, task, id, adapter);
    if (edits.predecessors.IsModified()) WritePredecessors(edits.predecessors, task, id, adapter);
    if (edits.assignments.IsModified()) WriteAssignments(edits.assignments, task, id, pool, adapter);
    if (edits.notesSupported && edits.notes.modified) {
        task->put_Notes(edits.notes.text);
        if (adapter) adapter->TaskUpdate(id);
    }
}

}  // namespace qmx
