#include "model/project_model.h"

#include <new>

#include "model/resources.h"
#include "model/task.h"
#include "model/task_tree.h"

namespace qmx {

ProjectModel::ProjectModel(ITaskTreeSink* taskSink, IDependencySink* linkSink, ITaskResourceSink* assignmentSink,
                           IResourceSink* resourceSink)
    : tree_(new CTaskTree), pool_(nullptr)
{
    tree_->AddRef();
    try {
        pool_ = new CResources;
    } catch (...) {
        tree_->Release();
        throw;
    }
    pool_->AddRef();
    tree_->SetSinks(taskSink, linkSink, assignmentSink);
    pool_->Attach(tree_, resourceSink);
}

ProjectModel::~ProjectModel()
{
    // Clients may still hold parts of the model: they keep their objects,
    // which from now on answer as deleted ones and notify nobody.
    pool_->Shutdown();
    tree_->Shutdown();
    pool_->Release();
    tree_->Release();
}

ITaskTree* ProjectModel::TaskTree() const
{
    return tree_;
}

IResources* ProjectModel::Resources() const
{
    return pool_;
}

DATE ProjectModel::MinDate() const
{
    return tree_->MinDate();
}

DATE ProjectModel::MaxDate() const
{
    return tree_->MaxDate();
}

std::uintptr_t GetTaskViewCookie(ITask* task)
{
    const CTask* t = CTask::From(task);
    return t ? t->viewCookie : 0;
}

void SetTaskViewCookie(ITask* task, std::uintptr_t cookie)
{
    if (CTask* t = CTask::From(task)) t->viewCookie = cookie;
}

}  // namespace qmx
