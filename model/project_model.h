// The owner's side of the project model: one task tree and one resource pool
// wired together, with the owner's four sinks installed before first use.
//
//     qmx::ProjectModel model(this, this, this, this);   // the owner's sinks
//     ITaskTree* tree = model.TaskTree();                // no reference added
//
// A null sink means nobody listens to that kind of change. The owner keeps
// the sinks alive as long as the ProjectModel. When the ProjectModel ends,
// every task and resource is detached without notifications, so objects
// that clients still hold answer as deleted ones instead of dangling.
#pragma once

#include <cstdint>

#include "model/model_interfaces.h"
#include "model/model_sinks.h"

namespace qmx {

class CTaskTree;
class CResources;

class ProjectModel {
public:
    ProjectModel(ITaskTreeSink* taskSink, IDependencySink* linkSink, ITaskResourceSink* assignmentSink,
                 IResourceSink* resourceSink);
    ~ProjectModel();
    ProjectModel(const ProjectModel&) = delete;
    ProjectModel& operator=(const ProjectModel&) = delete;

    // Borrowed pointers, valid as long as the ProjectModel; AddRef to keep.
    ITaskTree* TaskTree() const;
    IResources* Resources() const;

    // The project's date range: the smallest StartDate and the largest
    // EndDate of all tasks, cached until a date or the task set changes.
    // With no tasks MinDate is kNoLaterBound and MaxDate kNoEarlierBound.
    DATE MinDate() const;
    DATE MaxDate() const;

private:
    CTaskTree* tree_;
    CResources* pool_;
};

// The opaque value a view keeps in each task of the model (the chart control
// keeps the task's tree item there). It is wide enough for a pointer; 0
// until set. The model never reads it. A task of another implementation
// answers 0 and ignores the put.
std::uintptr_t GetTaskViewCookie(ITask* task);
void SetTaskViewCookie(ITask* task, std::uintptr_t cookie);

}  // namespace qmx
