// Walks over a plan through the model's interfaces, for code that reads a
// whole plan (writers, dumps).
#pragma once

#include "automation/com_ptr.h"
#include "model/model_interfaces.h"

namespace qmx {

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
