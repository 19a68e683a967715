// CTaskTree: the ordered hierarchy of tasks with its ID index, its flags,
// the tree-wide link operations and the date-range cache. It reports every
// change to the three sinks its owner installs.
#pragma once

#include <cstdint>
#include <map>

#include "automation/com_object.h"
#include "model/dependency_batch.h"
#include "model/model_interfaces.h"
#include "model/model_sinks.h"
#include "model/task_appearance.h"
#include "model/tasks.h"

namespace qmx {

class CTask;

class CTaskTree final : public ComObject<ITaskTree, IDependencyBatch>, private AppearanceOwner {
public:
    CTaskTree();

    // ITaskTree
    HRESULT get_RootTasks(ITasks** ppTasks) override;
    HRESULT get_AutocorrectTaskDates(VARIANT_BOOL* pvbAutocorrect) override;
    HRESULT put_AutocorrectTaskDates(VARIANT_BOOL vbAutocorrect) override;
    HRESULT get_MatchColors(VARIANT_BOOL* pvbMatchColors) override;
    HRESULT put_MatchColors(VARIANT_BOOL vbMatchColors) override;
    HRESULT get_DefaultTaskAppearance(ITaskAppearance** ppAppearance) override;
    HRESULT GetTask(LONG TaskID, ITask** ppTask) override;
    HRESULT EnumTasks(IEnumTaskIDs** ppEnum) override;
    HRESULT TaskIDExists(LONG TaskID, VARIANT_BOOL* pvbExists) override;
    HRESULT AddTask(LONG ParentTaskID, LONG iIndex, const BSTR& bsName, ITask** ppTask) override;
    HRESULT DeleteTask(LONG TaskID) override;
    HRESULT MoveTask(LONG TaskID, LONG NewParentTaskID, LONG iNewIndex) override;
    HRESULT DependencyLink(LONG SourceTaskID, LONG DependentTaskID, QMXDependencyType DependencyType) override;
    HRESULT DependencyUnlink(LONG SourceTaskID, LONG DependentTaskID) override;
    HRESULT TaskPathExists(LONG SourceTaskID, LONG DependentTaskID, VARIANT_BOOL* pvbExists) override;
    HRESULT DeleteAllTasks() override;
    HRESULT Reset() override;

    // IDependencyBatch
    HRESULT DependencyLinkAll(LONG nCount, const DependencyRequest* pRequests, LONG* pnMade) override;

    // --- The owner ----------------------------------------------------------

    // Installs the sinks (null: nobody listens) before first use.
    void SetSinks(ITaskTreeSink* tasks, IDependencySink* links, ITaskResourceSink* assignments);
    // The owner's end: every task is detached without notifications.
    void Shutdown();
    // The cached date range (kNoLaterBound / kNoEarlierBound when empty).
    DATE MinDate();
    DATE MaxDate();

    // --- Inside the model ---------------------------------------------------

    ITaskTreeSink& TaskSink() const { return *taskSink_; }
    IDependencySink& LinkSink() const { return *linkSink_; }
    ITaskResourceSink& AssignmentSink() const { return *assignmentSink_; }

    bool Autocorrect() const { return autocorrect_ == VARIANT_TRUE; }
    CTasks& RootList() { return root_; }
    COLORREF DefaultColor() const { return defaultAppearance_.Color(); }
    CTask* Find(LONG id) const;

    // A new ID (the largest in use plus 1, or 1); E_FAIL when none is left.
    HRESULT NewTaskID(LONG* id) const;
    // May throw std::bad_alloc.
    void RegisterTask(CTask* task);
    void UnregisterTask(CTask* task);

    void MarkDatesDirty() { rangeDirty_ = true; }
    // Any insertion, removal or move of a task.
    void MarkStructureChanged() { ++structureVersion_; }
    // Numbers every task in depth-first order (CTask::preorder), if the
    // structure changed since the last numbering.
    void EnsurePreorder();
    // A fresh mark for a path search (see path_search.h).
    std::uint32_t NewPathMark();

    // DependencyUnlink on tasks already found; S_FALSE if not linked.
    HRESULT Unlink(CTask* source, CTask* dependent);

private:
    ~CTaskTree() override;

    HRESULT PutAppearanceColor(CTaskAppearance& appearance, COLORREF color) override;
    // Detaches a task and its subtree (links removed, IDs freed, ID -1),
    // children before their parent, without recursion.
    void DetachSubtree(CTask* task);
    void DetachAll();
    void RecomputeRange();
    // Link clean-up before moving task under newParent.
    void CleanUpLinksForMove(CTask* task, CTask* newParent);
    // The correction pass run when autocorrect is switched on.
    void CorrectAllDates();

    CTasks root_;
    CTaskAppearance defaultAppearance_;
    VARIANT_BOOL autocorrect_ = VARIANT_TRUE;
    VARIANT_BOOL matchColors_ = VARIANT_TRUE;
    std::map<LONG, CTask*> index_;

    bool rangeDirty_ = true;
    DATE minDate_ = kNoLaterBound;
    DATE maxDate_ = kNoEarlierBound;

    std::uint64_t structureVersion_ = 1;
    std::uint64_t numberedVersion_ = 0;
    std::uint32_t pathMark_ = 0;

    ITaskTreeSink* taskSink_;
    IDependencySink* linkSink_;
    ITaskResourceSink* assignmentSink_;
};

}  // namespace qmx
