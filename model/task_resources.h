// CTaskResources: a task's assignments, a sorted array of (resource ID,
// assignment) searched by binary search. It lives inside its task and holds
// one reference on each assignment.
#pragma once

#include <cstddef>
#include <vector>

#include "automation/com_object.h"
#include "model/model_interfaces.h"
#include "model/model_sinks.h"

namespace qmx {

class CTask;
class CTaskResource;

class CTaskResources final : public EmbeddedObject<ITaskResources> {
public:
    explicit CTaskResources(CTask* task);
    // Assignments still held by clients forget their list and resource.
    ~CTaskResources();

    // ITaskResources
    HRESULT get_Count(LONG* pnCount) override;
    HRESULT get_TaskResources(LONG iIndex, ITaskResource** ppTaskResource) override;
    HRESULT get_Task(ITask** ppTask) override;
    HRESULT Add(IResource* pResource, ITaskResource** ppTaskResource) override;
    HRESULT Delete(LONG ResourceID) override;
    HRESULT GetTaskResourceByID(LONG ResourceID, ITaskResource** ppTaskResource) override;
    HRESULT DeleteAllTaskResources() override;

    CTask* Task() const { return task_; }
    // Removes the assignment of the resource ID, reporting it with the
    // given fireEvent; S_FALSE if there is none.
    HRESULT Remove(LONG resourceId, bool fireEvent);

private:
    struct Entry {
        LONG resourceId;
        ComPtr<CTaskResource> assignment;
    };

    std::size_t LowerBound(LONG resourceId) const;
    CTaskResource* Find(LONG resourceId) const;
    // The tree's assignment sink, or null for the list of a deleted task.
    ITaskResourceSink* Sink() const;

    CTask* task_;
    std::vector<Entry> entries_;
};

}  // namespace qmx
