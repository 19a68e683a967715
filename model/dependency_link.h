// CDependencyLink: one link from a source task to a dependent task, shared
// by the source's Successors and the dependent's Predecessors. Each list
// hands the link out through its own view, whose PairTask is the other
// task; both views share the link's reference count.
#pragma once

#include "automation/com_object.h"
#include "model/model_interfaces.h"

namespace qmx {

class CTask;
class CDependencyLink;

class CDependencyView final : public EmbeddedObject<ITaskDependency> {
public:
    CDependencyView(CDependencyLink* link, bool fromDependent);

    HRESULT get_PairTask(ITask** ppTask) override;
    HRESULT get_Type(QMXDependencyType* pType) override;
    HRESULT put_Type(QMXDependencyType Type) override;

private:
    CDependencyLink* link_;
    bool fromDependent_;  // the predecessor view: its pair is the source
};

class CDependencyLink final : public ComObject<IUnknown> {
public:
    CDependencyLink(CTask* source, CTask* dependent);

    CTask* Source() const { return source_; }
    CTask* Dependent() const { return dependent_; }
    bool IsRemoved() const { return source_ == nullptr; }
    // The link left its lists: it no longer knows its tasks.
    void ClearTasks()
    {
        source_ = nullptr;
        dependent_ = nullptr;
    }

    LONG Type() const { return type_; }
    void StoreType(LONG type) { type_ = type; }
    // Type (put) of either view.
    HRESULT PutType(QMXDependencyType type);

    // The view in the dependent's Predecessors (pair: the source).
    ITaskDependency* PredecessorView() { return &predecessorView_; }
    // The view in the source's Successors (pair: the dependent); the one the
    // link sink receives.
    ITaskDependency* SuccessorView() { return &successorView_; }

private:
    CTask* source_;
    CTask* dependent_;
    LONG type_ = dtFinishToStart;
    CDependencyView predecessorView_;
    CDependencyView successorView_;
};

// Whether the kind bounds the dependent's end (a summary cannot be the
// dependent of such a link).
constexpr bool BoundsEnd(LONG type) { return type == dtStartToFinish || type == dtFinishToFinish; }

}  // namespace qmx
