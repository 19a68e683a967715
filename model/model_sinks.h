// The internal notifications of the project model, implemented by its owner
// (the chart control). They are plain C++ interfaces, not counted: the owner
// installs them when it creates the model (qmx::ProjectModel) and outlives
// the model.
//
// Every notification is made synchronously, in the middle of the model
// operation that caused it. A sink may read the model but must not change
// it.
#pragma once

#include "model/model_interfaces.h"

// Changes of the task tree.
struct ITaskTreeSink {
    // After a task was inserted into a list and given its ID.
    virtual void OnTaskAdded(ITask* pTask) = 0;
    // Before a task and its subtree are removed by DeleteTask.
    virtual void OnTaskDeleting(ITask* pTask) = 0;
    // Before DeleteAllTasks (or Reset) clears the tree.
    virtual void OnAllTasksDeleted() = 0;
    // After a task changed its parent or its place among its siblings.
    virtual void OnTaskMoved(ITask* pTask) = 0;
    // After fields of a task changed; mask is a set of TaskChangeMask bits.
    // fireEvent is false for the one field a caller set as asked, true for
    // every consequential change (and for Duration and SetStartEndDate).
    virtual void OnTaskChanged(ITask* pTask, DWORD mask, bool fireEvent) = 0;
    // After the tree's default colour was put.
    virtual void OnDefaultAppearanceChanged() = 0;

protected:
    ~ITaskTreeSink() = default;
};

// Changes of dependency links. The link is passed as its successor view: the
// view held in the source's Successors, whose PairTask is the dependent.
struct IDependencySink {
    // After DependencyLink created and typed a link.
    virtual void OnDependencyAdded(ITaskDependency* pLink) = 0;
    // In DependencyUnlink, before the link leaves its lists.
    virtual void OnDependencyRemoved(ITaskDependency* pLink) = 0;
    // After Type was put; ITaskDependencies::DeleteAll (and task deletion)
    // also reports each link it removes here, before removing it.
    virtual void OnDependencyChanged(ITaskDependency* pLink) = 0;

protected:
    ~IDependencySink() = default;
};

// Changes of a task's assignments.
struct ITaskResourceSink {
    // After ITaskResources::Add.
    virtual void OnTaskResourceAdded(ITaskResource* pTaskResource) = 0;
    // Before an assignment is removed. fireEvent is true when the removal
    // follows from deleting its resource from the pool.
    virtual void OnTaskResourceDeleted(ITaskResource* pTaskResource, bool fireEvent) = 0;
    // After every accepted Units put.
    virtual void OnTaskResourceChanged(ITaskResource* pTaskResource) = 0;

protected:
    ~ITaskResourceSink() = default;
};

// Changes of the resource pool.
struct IResourceSink {
    // After a resource entered the pool.
    virtual void OnResourceAdded(IResource* pResource) = 0;
    // When Delete starts removing a resource, before its assignments go.
    virtual void OnResourceDeleted(IResource* pResource) = 0;
    // At the start of DeleteAllResources.
    virtual void OnAllResourcesDeleted() = 0;
    // After every Name put, changed or not.
    virtual void OnResourceChanged(IResource* pResource) = 0;

protected:
    ~IResourceSink() = default;
};
