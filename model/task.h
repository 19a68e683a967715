// CTask: one task of the tree with its fields, its subtasks, its dependency
// lists, its assignments and its appearance. The embedded parts share the
// task's reference count.
#pragma once

#include <cstdint>

#include "automation/com_object.h"
#include "model/model_interfaces.h"
#include "model/path_marks.h"
#include "model/task_appearance.h"
#include "model/task_dependencies.h"
#include "model/task_resources.h"
#include "model/tasks.h"

namespace qmx {

class CTaskTree;
class DateCorrection;
struct EarliestDates;

class CTask final : public ComObject<ITask>, private AppearanceOwner {
public:
    // A detached task (ID -1) starting today for one day.
    CTask();

    // The task behind an ITask of this model, or null for a foreign object.
    static CTask* From(IUnknown* object);

    // ITask
    HRESULT get_IsValid(VARIANT_BOOL* pvbValid) override;
    HRESULT get_ID(LONG* pTaskID) override;
    HRESULT get_Index(LONG* piIndex) override;
    HRESULT put_Index(LONG iIndex) override;
    HRESULT get_ParentTask(ITask** ppTask) override;
    HRESULT get_ParentTasks(ITasks** ppTasks) override;
    HRESULT get_HasSubtasks(VARIANT_BOOL* pvbHasSubtasks) override;
    HRESULT get_Subtasks(ITasks** ppTasks) override;
    HRESULT get_PrevSibling(ITask** ppTask) override;
    HRESULT get_NextSibling(ITask** ppTask) override;
    HRESULT get_TaskTree(ITaskTree** ppTaskTree) override;
    HRESULT get_Name(BSTR* pbsName) override;
    HRESULT put_Name(const BSTR& bsName) override;
    HRESULT get_Priority(QMXPriority* pPriority) override;
    HRESULT put_Priority(QMXPriority Priority) override;
    HRESULT get_StartDate(DATE* pStartDate) override;
    HRESULT put_StartDate(DATE StartDate) override;
    HRESULT get_EndDate(DATE* pEndDate) override;
    HRESULT put_EndDate(DATE EndDate) override;
    HRESULT get_Duration(float* pDuration) override;
    HRESULT put_Duration(float Duration) override;
    HRESULT get_DurationUnit(QMXDurationUnit* pUnit) override;
    HRESULT put_DurationUnit(QMXDurationUnit Unit) override;
    HRESULT get_PercentComplete(LONG* pnPercent) override;
    HRESULT put_PercentComplete(LONG nPercent) override;
    HRESULT get_IsMilestone(VARIANT_BOOL* pvbMilestone) override;
    HRESULT put_IsMilestone(VARIANT_BOOL vbMilestone) override;
    HRESULT get_Notes(BSTR* pbsNotes) override;
    HRESULT put_Notes(const BSTR& bsNotes) override;
    HRESULT get_URL(BSTR* pbsURL) override;
    HRESULT put_URL(const BSTR& bsURL) override;
    HRESULT get_Predecessors(ITaskDependencies** ppDependencies) override;
    HRESULT get_Successors(ITaskDependencies** ppDependencies) override;
    HRESULT get_Resources(ITaskResources** ppTaskResources) override;
    HRESULT get_Appearance(ITaskAppearance** ppAppearance) override;
    HRESULT SetStartEndDate(DATE NewStartDate) override;

    // --- Inside the model ---------------------------------------------------

    LONG ID() const { return id_; }
    void SetID(LONG id) { id_ = id; }
    // A member of a tree (not being created, not deleted).
    bool IsMember() const { return id_ != -1; }
    CTaskTree* Tree() const { return subtasks_.Tree(); }
    CTask* Parent() const { return parent_; }
    void SetParent(CTask* parent) { parent_ = parent; }
    // The list holding the task: its parent's subtasks or the root list.
    CTasks* HoldingList() const;
    bool HasChildren() const { return !subtasks_.Empty(); }

    CTasks& Subtasks() { return subtasks_; }
    CTaskDependencies& Predecessors() { return predecessors_; }
    CTaskDependencies& Successors() { return successors_; }
    const CTaskDependencies& Predecessors() const { return predecessors_; }
    const CTaskDependencies& Successors() const { return successors_; }
    CTaskResources& Assignments() { return resources_; }
    CTaskAppearance& Appearance() { return appearance_; }

    DATE Start() const { return start_; }
    DATE End() const { return end_; }
    float DurationDays() const { return duration_; }
    void SetDurationDays(float days) { duration_ = days; }
    void SetName(const BSTR& name) { name_ = name; }
    // Stores both dates, keeping the holding list's span cache and the
    // tree's date range in step.
    void StoreDates(DATE start, DATE end);
    // Calls the tree's OnTaskChanged.
    void Notify(DWORD mask, bool fireEvent);

    // The part of SetStartEndDate that moves this task: returns S_OK or
    // S_FALSE, and *moved with *oldStart when the dates changed.
    HRESULT MoveKeepingSpan(DATE newStart, bool* moved, DATE* oldStart);

    // Position key in the holding list (see CTasks).
    std::int64_t listKey = 0;
    // Place in a depth-first walk of the tree (see CTaskTree::EnsurePreorder).
    std::uint64_t preorder = 0;
    // The marks path searches leave on the task (see path_marks.h).
    PathMarks& Marks(PathSearchKey) { return pathMarks_; }
    // Forgets every mark (when the tree's search numbers wrap).
    void ForgetPathMarks() { pathMarks_ = PathMarks(); }
    // How many tasks of this subtree, itself included, have successors. A
    // path search that goes down into a subtree without any can only find
    // what lies inside it.
    std::int32_t LinkSourcesBelow() const { return linkSourcesBelow_; }
    // Adds delta to the count of this task and of its ancestors.
    void AddLinkSources(std::int32_t delta)
    {
        for (CTask* t = this; t; t = t->parent_) t->linkSourcesBelow_ += delta;
    }
    // Opaque value of the owner's view.
    std::uintptr_t viewCookie = 0;

private:
    friend class DateCorrection;
    friend EarliestDates Earliest(const CTask* task);

    ~CTask() override;

    HRESULT PutAppearanceColor(CTaskAppearance& appearance, COLORREF color) override;
    HRESULT PutText(BSTR& field, const BSTR& value, DWORD mask);
    HRESULT GetSibling(LONG offset, ITask** ppTask);
    HRESULT QueryOtherInterface(REFIID riid, void** ppv) override;
    // The summary update of the parent and the propagation to the
    // successors that follow a date put while autocorrect is on: the links
    // of each date now later than before are re-applied.
    void CorrectAfterDateChange(DATE oldStart, DATE oldEnd);

    BSTR name_;
    QMXPriority priority_ = prNone;
    DATE start_;
    DATE end_;
    float duration_ = 1.0f;
    QMXDurationUnit unit_ = duDay;
    LONG percent_ = 0;
    VARIANT_BOOL milestone_ = VARIANT_FALSE;
    BSTR notes_;
    BSTR url_;
    LONG id_ = -1;
    CTask* parent_ = nullptr;
    CTasks subtasks_;
    CTaskResources resources_;
    CTaskDependencies predecessors_;
    CTaskDependencies successors_;
    CTaskAppearance appearance_;
    PathMarks pathMarks_;
    std::int32_t linkSourcesBelow_ = 0;
    // While a push moves this summary's children: the bounds that its links
    // and its ancestors' links set, which those moves cannot change (a
    // source they moved would close a cycle). Set and cleared by the date
    // correction.
    struct KnownBounds {
        bool known = false;
        DATE start = 0;
        DATE end = 0;
    } knownBounds_;
};

}  // namespace qmx
