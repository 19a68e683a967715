// Sinks that ignore every notification: what the model reports to when its
// owner listens to nothing, and after the owner has gone.
#pragma once

#include "model/model_sinks.h"

namespace qmx {

struct NullSinks final : ITaskTreeSink, IDependencySink, ITaskResourceSink, IResourceSink {
    static NullSinks& Instance()
    {
        static NullSinks sinks;
        return sinks;
    }

    void OnTaskAdded(ITask*) override {}
    void OnTaskDeleting(ITask*) override {}
    void OnAllTasksDeleted() override {}
    void OnTaskMoved(ITask*) override {}
    void OnTaskChanged(ITask*, DWORD, bool) override {}
    void OnDefaultAppearanceChanged() override {}
    void OnDependencyAdded(ITaskDependency*) override {}
    void OnDependencyRemoved(ITaskDependency*) override {}
    void OnDependencyChanged(ITaskDependency*) override {}
    void OnTaskResourceAdded(ITaskResource*) override {}
    void OnTaskResourceDeleted(ITaskResource*, bool) override {}
    void OnTaskResourceChanged(ITaskResource*) override {}
    void OnResourceAdded(IResource*) override {}
    void OnResourceDeleted(IResource*) override {}
    void OnAllResourcesDeleted() override {}
    void OnResourceChanged(IResource*) override {}
};

}  // namespace qmx
