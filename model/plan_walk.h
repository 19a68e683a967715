// Walks over a plan through the model's interfaces, for code that reads a
// whole plan (writers, dumps).
#pragma once

#include <cstddef>
#include <vector>

#include "automation/com_ptr.h"
#include "model/model_interfaces.h"

namespace qmx {

// Visits every task depth first in tree order, with a stack of lists instead
// of recursion (plans may nest deeply): enter(task, parentId, index, depth)
// before the task's subtasks (depth 1 for a root task), leave() after them.
// Stops at the first failure, of the model or of a visitor, and returns it.
template <class Enter, class Leave>
HRESULT WalkTaskTree(ITaskTree* tree, Enter&& enter, Leave&& leave)
{
    struct Level {
        ComPtr<ITasks> list;
        LONG index;
        LONG count;
        LONG parentId;
    };
    std::vector<Level> levels;
    ComPtr<ITasks> roots;
    LONG count = 0;
    RETURN_IF_FAILED(tree->get_RootTasks(roots.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(roots->get_Count(&count));
    levels.push_back(Level{std::move(roots), 0, count, 0});
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.index == level.count) {
            levels.pop_back();
            if (!levels.empty()) RETURN_IF_FAILED(leave());  // the list's owner task
            continue;
        }
        const LONG index = level.index++;
        const LONG parentId = level.parentId;
        ComPtr<ITask> task;
        LONG id = 0;
        RETURN_IF_FAILED(level.list->get_Tasks(index, task.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(task->get_ID(&id));
        RETURN_IF_FAILED(enter(task.Get(), parentId, index, levels.size()));
        ComPtr<ITasks> subtasks;
        RETURN_IF_FAILED(task->get_Subtasks(subtasks.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(subtasks->get_Count(&count));
        levels.push_back(Level{std::move(subtasks), 0, count, id});
    }
    return S_OK;
}

// Every value of a task as the interfaces give it.
struct TaskFields {
    LONG id = 0;
    BSTR name;
    QMXPriority priority = prNone;
    DATE start = 0;
    DATE end = 0;
    float duration = 0;
    QMXDurationUnit unit = duDay;
    LONG complete = 0;
    VARIANT_BOOL milestone = VARIANT_FALSE;
    BSTR notes;
    BSTR url;
    COLORREF color = 0;
};

inline HRESULT ReadTaskFields(ITask* task, TaskFields* fields)
{
    ComPtr<ITaskAppearance> appearance;
    RETURN_IF_FAILED(task->get_ID(&fields->id));
    RETURN_IF_FAILED(task->get_Name(&fields->name));
    RETURN_IF_FAILED(task->get_Priority(&fields->priority));
    RETURN_IF_FAILED(task->get_StartDate(&fields->start));
    RETURN_IF_FAILED(task->get_EndDate(&fields->end));
    RETURN_IF_FAILED(task->get_Duration(&fields->duration));
    RETURN_IF_FAILED(task->get_DurationUnit(&fields->unit));
    RETURN_IF_FAILED(task->get_PercentComplete(&fields->complete));
    RETURN_IF_FAILED(task->get_IsMilestone(&fields->milestone));
    RETURN_IF_FAILED(task->get_Notes(&fields->notes));
    RETURN_IF_FAILED(task->get_URL(&fields->url));
    RETURN_IF_FAILED(task->get_Appearance(appearance.ReleaseAndGetAddressOf()));
    return appearance->get_Color(&fields->color);
}

// Calls visit(index, dependentId, type) for each successor link of a task,
// in list order. Stops at the first failure and returns it.
template <class Visit>
HRESULT ForEachSuccessor(ITask* task, Visit&& visit)
{
    ComPtr<ITaskDependencies> successors;
    LONG count = 0;
    RETURN_IF_FAILED(task->get_Successors(successors.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(successors->get_Count(&count));
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskDependency> link;
        ComPtr<ITask> dependent;
        QMXDependencyType type = dtFinishToStart;
        LONG dependentId = 0;
        RETURN_IF_FAILED(successors->get_Dependencies(i, link.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(link->get_Type(&type));
        RETURN_IF_FAILED(link->get_PairTask(dependent.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(dependent->get_ID(&dependentId));
        RETURN_IF_FAILED(visit(i, dependentId, type));
    }
    return S_OK;
}

// Calls visit(taskId, resourceId, units) for every assignment: tasks in
// ascending ID order, each task's assignments in their order. Stops at the
// first failure, of the model or of visit, and returns it.
template <class Visit>
HRESULT ForEachAssignment(ITaskTree* tree, Visit&& visit)
{
    ComPtr<IEnumTaskIDs> ids;
    RETURN_IF_FAILED(tree->EnumTasks(ids.ReleaseAndGetAddressOf()));
    LONG taskId = -1;
    for (;;) {
        const HRESULT next = ids->Next(&taskId);
        RETURN_IF_FAILED(next);
        if (next != S_OK) return S_OK;
        ComPtr<ITask> task;
        ComPtr<ITaskResources> assignments;
        LONG count = 0;
        RETURN_IF_FAILED(tree->GetTask(taskId, task.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(task->get_Resources(assignments.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(assignments->get_Count(&count));
        for (LONG i = 0; i < count; ++i) {
            ComPtr<ITaskResource> assignment;
            ComPtr<IResource> resource;
            LONG resourceId = 0;
            LONG units = 0;
            RETURN_IF_FAILED(assignments->get_TaskResources(i, assignment.ReleaseAndGetAddressOf()));
            RETURN_IF_FAILED(assignment->get_Resource(resource.ReleaseAndGetAddressOf()));
            RETURN_IF_FAILED(resource->get_ID(&resourceId));
            RETURN_IF_FAILED(assignment->get_Units(&units));
            RETURN_IF_FAILED(visit(taskId, resourceId, units));
        }
    }
}

}  // namespace qmx
