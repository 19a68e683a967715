// A model owner for tests: one ProjectModel with sinks that write every
// notification as a line of text, so that tests can compare exact
// sequences.
#pragma once

#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "model/model_sinks.h"
#include "model/project_model.h"

namespace qmx::test {

class RecordingOwner final : ITaskTreeSink, IDependencySink, ITaskResourceSink, IResourceSink {
public:
    RecordingOwner() : model_(this, this, this, this) {}

    ITaskTree* Tree() const { return model_.TaskTree(); }
    IResources* Pool() const { return model_.Resources(); }
    ProjectModel& Model() { return model_; }

    // Takes the lines recorded so far.
    std::vector<std::string> Take();

    // Helpers that fail the test on an error result.
    ComPtr<ITask> Add(LONG parentId, const char* name = "", LONG index = -1);
    ComPtr<ITask> Task(LONG id) const;
    ComPtr<IResource> AddResource(const char* name);

private:
    static std::string Id(ITask* task);
    static std::string Link(ITaskDependency* link);
    static std::string Assignment(ITaskResource* assignment);
    static std::string Resource(IResource* resource);

    void OnTaskAdded(ITask* t) override { lines_.push_back("added " + Id(t)); }
    void OnTaskDeleting(ITask* t) override { lines_.push_back("deleting " + Id(t)); }
    void OnAllTasksDeleted() override { lines_.push_back("all tasks deleted"); }
    void OnTaskMoved(ITask* t) override { lines_.push_back("moved " + Id(t)); }
    void OnTaskChanged(ITask* t, DWORD mask, bool fireEvent) override;
    void OnDefaultAppearanceChanged() override { lines_.push_back("default appearance"); }
    void OnDependencyAdded(ITaskDependency* l) override { lines_.push_back("link added " + Link(l)); }
    void OnDependencyRemoved(ITaskDependency* l) override { lines_.push_back("link removed " + Link(l)); }
    void OnDependencyChanged(ITaskDependency* l) override { lines_.push_back("link changed " + Link(l)); }
    void OnTaskResourceAdded(ITaskResource* a) override { lines_.push_back("assigned " + Assignment(a)); }
    void OnTaskResourceDeleted(ITaskResource* a, bool fireEvent) override
    {
        lines_.push_back("unassigned " + Assignment(a) + (fireEvent ? " fire" : ""));
    }
    void OnTaskResourceChanged(ITaskResource* a) override { lines_.push_back("units " + Assignment(a)); }
    void OnResourceAdded(IResource* r) override { lines_.push_back("resource added " + Resource(r)); }
    void OnResourceDeleted(IResource* r) override { lines_.push_back("resource deleted " + Resource(r)); }
    void OnAllResourcesDeleted() override { lines_.push_back("all resources deleted"); }
    void OnResourceChanged(IResource* r) override { lines_.push_back("resource changed " + Resource(r)); }

    std::vector<std::string> lines_;
    ProjectModel model_;
};

// Reads a task's dates and duration.
DATE StartOf(ITask* task);
DATE EndOf(ITask* task);
float DurationOf(ITask* task);
LONG IdOf(ITask* task);

// A task's successor links in list order: the dependent's ID and the kind.
struct SuccessorLink {
    LONG dependent;
    QMXDependencyType type;
};
std::vector<SuccessorLink> SuccessorsOf(ITask* task);

}  // namespace qmx::test
