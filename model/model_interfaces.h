// The automation interfaces of the project model: the task tree and its
// tasks, dependency links, and the resource pool with its assignments.
//
// Common rules: every method returns an HRESULT and a null out-pointer gives
// E_POINTER. Results come back through the last parameter, with one
// reference for the caller. S_FALSE means nothing was done, E_INVALIDARG an
// unknown ID or an out-of-range value, E_FAIL a conflict or an operation on
// a deleted object, E_TASK_CYCLE a move that would close a cycle. A setter
// given the current value does nothing and returns S_OK.
#pragma once

#include "automation/types.h"
#include "automation/unknown.h"

enum QMXPriority : LONG {
    prNone = 0,
    prLow = 1,
    prNormal = 2,
    prHigh = 3,
};

// How a task's duration is shown; durations are always stored in days.
enum QMXDurationUnit : LONG {
    duHour = 0,
    duDay = 1,
    duWeek = 2,
};

// Kind of a link from a source task S to a dependent task D.
enum QMXDependencyType : LONG {
    dtStartToStart = 0,    // D.StartDate >= S.StartDate
    dtStartToFinish = 1,   // D.EndDate >= S.StartDate
    dtFinishToStart = 2,   // D.StartDate >= S.EndDate
    dtFinishToFinish = 3,  // D.EndDate >= S.EndDate
};

// The fields named in the mask of ITaskTreeSink::OnTaskChanged.
enum TaskChangeMask : DWORD {
    tcName = 0x001,
    tcPriority = 0x002,
    tcStartDate = 0x004,
    tcEndDate = 0x008,
    tcDuration = 0x010,
    tcPercentComplete = 0x020,
    tcMilestone = 0x040,
    tcNotes = 0x080,
    tcURL = 0x100,
    tcColor = 0x200,
};

// A task's Color when it has none of its own: the chart inherits the
// nearest coloured ancestor's colour, else draws the default bar colour.
inline constexpr COLORREF kNoTaskColor = 0x02000000;
// The most negative and most positive finite dates, the bounds of "no
// constraint" and of an empty date range.
inline constexpr DATE kNoEarlierBound = -1.7976931348623157e308;
inline constexpr DATE kNoLaterBound = 1.7976931348623157e308;

struct ITask;
struct ITasks;
struct ITaskAppearance;
struct IEnumTaskIDs;
struct ITaskDependencies;
struct ITaskDependency;
struct IResources;
struct IResource;
struct ITaskResources;
struct ITaskResource;

// The ordered hierarchy of tasks. A parent task ID of 0 means the root list.
struct ITaskTree : IUnknown {
    QMX_INTERFACE_ID("{838D4AD5-9359-4CD1-B0BA-9E187E8582CC}");

    virtual HRESULT get_RootTasks(ITasks** ppTasks) = 0;
    // Switching it on runs the correction pass over the whole tree.
    virtual HRESULT get_AutocorrectTaskDates(VARIANT_BOOL* pvbAutocorrect) = 0;
    virtual HRESULT put_AutocorrectTaskDates(VARIANT_BOOL vbAutocorrect) = 0;
    virtual HRESULT get_MatchColors(VARIANT_BOOL* pvbMatchColors) = 0;
    virtual HRESULT put_MatchColors(VARIANT_BOOL vbMatchColors) = 0;
    virtual HRESULT get_DefaultTaskAppearance(ITaskAppearance** ppAppearance) = 0;
    virtual HRESULT GetTask(LONG TaskID, ITask** ppTask) = 0;
    // A snapshot of all task IDs in ascending order.
    virtual HRESULT EnumTasks(IEnumTaskIDs** ppEnum) = 0;
    virtual HRESULT TaskIDExists(LONG TaskID, VARIANT_BOOL* pvbExists) = 0;
    virtual HRESULT AddTask(LONG ParentTaskID, LONG iIndex, const BSTR& bsName, ITask** ppTask) = 0;
    virtual HRESULT DeleteTask(LONG TaskID) = 0;
    // iNewIndex -1 appends.
    virtual HRESULT MoveTask(LONG TaskID, LONG NewParentTaskID, LONG iNewIndex) = 0;
    virtual HRESULT DependencyLink(LONG SourceTaskID, LONG DependentTaskID, QMXDependencyType DependencyType) = 0;
    virtual HRESULT DependencyUnlink(LONG SourceTaskID, LONG DependentTaskID) = 0;
    virtual HRESULT TaskPathExists(LONG SourceTaskID, LONG DependentTaskID, VARIANT_BOOL* pvbExists) = 0;
    virtual HRESULT DeleteAllTasks() = 0;
    // DeleteAllTasks, then both flags and the default colour back to their
    // defaults. The resource pool is not touched.
    virtual HRESULT Reset() = 0;
};

// A list of tasks in display order: the root list or a task's subtasks.
struct ITasks : IUnknown {
    QMX_INTERFACE_ID("{48E07A6B-BECE-49E1-B218-89B88585AB6C}");

    virtual HRESULT get_Count(LONG* pnCount) = 0;
    virtual HRESULT get_Tasks(LONG iIndex, ITask** ppTask) = 0;
    // iIndex -1 appends.
    virtual HRESULT Add(LONG iIndex, const BSTR& bsName, ITask** ppTask) = 0;
    // TaskID -1 asks for a new ID (the largest in use plus 1).
    virtual HRESULT AddWithID(LONG TaskID, LONG iIndex, const BSTR& bsName, ITask** ppTask) = 0;
};

// One task. A deleted task keeps answering: IsValid false, ID -1, no
// parent, no subtasks, its plain fields' last values; everything else fails
// with E_FAIL.
struct ITask : IUnknown {
    QMX_INTERFACE_ID("{06A2B689-C78C-4DE5-8923-87ACAED7C297}");

    virtual HRESULT get_IsValid(VARIANT_BOOL* pvbValid) = 0;
    virtual HRESULT get_ID(LONG* pTaskID) = 0;
    virtual HRESULT get_Index(LONG* piIndex) = 0;
    virtual HRESULT put_Index(LONG iIndex) = 0;
    // S_FALSE with a null task for a root task.
    virtual HRESULT get_ParentTask(ITask** ppTask) = 0;
    virtual HRESULT get_ParentTasks(ITasks** ppTasks) = 0;
    virtual HRESULT get_HasSubtasks(VARIANT_BOOL* pvbHasSubtasks) = 0;
    virtual HRESULT get_Subtasks(ITasks** ppTasks) = 0;
    virtual HRESULT get_PrevSibling(ITask** ppTask) = 0;
    virtual HRESULT get_NextSibling(ITask** ppTask) = 0;
    virtual HRESULT get_TaskTree(ITaskTree** ppTaskTree) = 0;
    virtual HRESULT get_Name(BSTR* pbsName) = 0;
    virtual HRESULT put_Name(const BSTR& bsName) = 0;
    virtual HRESULT get_Priority(QMXPriority* pPriority) = 0;
    virtual HRESULT put_Priority(QMXPriority Priority) = 0;
    virtual HRESULT get_StartDate(DATE* pStartDate) = 0;
    virtual HRESULT put_StartDate(DATE StartDate) = 0;
    virtual HRESULT get_EndDate(DATE* pEndDate) = 0;
    virtual HRESULT put_EndDate(DATE EndDate) = 0;
    // In days.
    virtual HRESULT get_Duration(float* pDuration) = 0;
    virtual HRESULT put_Duration(float Duration) = 0;
    virtual HRESULT get_DurationUnit(QMXDurationUnit* pUnit) = 0;
    virtual HRESULT put_DurationUnit(QMXDurationUnit Unit) = 0;
    virtual HRESULT get_PercentComplete(LONG* pnPercent) = 0;
    virtual HRESULT put_PercentComplete(LONG nPercent) = 0;
    virtual HRESULT get_IsMilestone(VARIANT_BOOL* pvbMilestone) = 0;
    virtual HRESULT put_IsMilestone(VARIANT_BOOL vbMilestone) = 0;
    virtual HRESULT get_Notes(BSTR* pbsNotes) = 0;
    virtual HRESULT put_Notes(const BSTR& bsNotes) = 0;
    virtual HRESULT get_URL(BSTR* pbsURL) = 0;
    virtual HRESULT put_URL(const BSTR& bsURL) = 0;
    virtual HRESULT get_Predecessors(ITaskDependencies** ppDependencies) = 0;
    virtual HRESULT get_Successors(ITaskDependencies** ppDependencies) = 0;
    virtual HRESULT get_Resources(ITaskResources** ppTaskResources) = 0;
    virtual HRESULT get_Appearance(ITaskAppearance** ppAppearance) = 0;
    // Moves the task to start on the date, keeping its span.
    virtual HRESULT SetStartEndDate(DATE NewStartDate) = 0;
};

struct ITaskAppearance : IUnknown {
    QMX_INTERFACE_ID("{BB38B0C0-FF66-42FC-B63A-A20CF77359CF}");

    // 0x00BBGGRR, or kNoTaskColor.
    virtual HRESULT get_Color(COLORREF* pColor) = 0;
    virtual HRESULT put_Color(COLORREF Color) = 0;
};

// Task IDs of a snapshot, ascending.
struct IEnumTaskIDs : IUnknown {
    QMX_INTERFACE_ID("{178AB4E2-693D-45B6-A6BD-E5BA4D5FEC01}");

    // The next ID with S_OK, or -1 with S_FALSE at the end.
    virtual HRESULT Next(LONG* pTaskID) = 0;
    // S_FALSE when fewer than nCount IDs were left; E_INVALIDARG if negative.
    virtual HRESULT Skip(LONG nCount) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumTaskIDs** ppEnum) = 0;
};

// A task's predecessor or successor links, ascending by the other task's ID.
struct ITaskDependencies : IUnknown {
    QMX_INTERFACE_ID("{5764FB5C-851F-4081-A7CA-F17F5932C4F2}");

    virtual HRESULT get_Count(LONG* pnCount) = 0;
    virtual HRESULT get_Dependencies(LONG iIndex, ITaskDependency** ppDependency) = 0;
    virtual HRESULT GetDependencyByTaskID(LONG TaskID, ITaskDependency** ppDependency) = 0;
    // Removes every link of the list from both of its tasks.
    virtual HRESULT DeleteAll() = 0;
};

// A link seen from one of its tasks: PairTask is the other one (the source
// in a Predecessors list, the dependent in a Successors list).
struct ITaskDependency : IUnknown {
    QMX_INTERFACE_ID("{B9A15C23-1E71-404D-B908-4B18A96C6507}");

    // A removed link answers a null task with E_FAIL.
    virtual HRESULT get_PairTask(ITask** ppTask) = 0;
    virtual HRESULT get_Type(QMXDependencyType* pType) = 0;
    virtual HRESULT put_Type(QMXDependencyType Type) = 0;
};

// The resource pool, ascending by resource ID.
struct IResources : IUnknown {
    QMX_INTERFACE_ID("{1721FA7B-E5A6-454D-BF0A-04AA2460CBD3}");

    virtual HRESULT get_Count(LONG* pnCount) = 0;
    virtual HRESULT get_Resources(LONG iIndex, IResource** ppResource) = 0;
    virtual HRESULT ResourceIDExists(LONG ResourceID, VARIANT_BOOL* pvbExists) = 0;
    virtual HRESULT Add(const BSTR& bsName, IResource** ppResource) = 0;
    // ResourceID -1 asks for a new ID (the largest in use plus 1).
    virtual HRESULT AddWithID(LONG ResourceID, const BSTR& bsName, IResource** ppResource) = 0;
    // Also removes the resource's assignments from every task of the tree.
    virtual HRESULT Delete(LONG ResourceID) = 0;
    virtual HRESULT GetResourceByID(LONG ResourceID, IResource** ppResource) = 0;
    virtual HRESULT DeleteAllResources() = 0;
};

// A resource; ID -1 once deleted from the pool.
struct IResource : IUnknown {
    QMX_INTERFACE_ID("{8AE0781A-45F8-4CD4-9715-DD93168378A1}");

    virtual HRESULT get_ID(LONG* pResourceID) = 0;
    virtual HRESULT get_Name(BSTR* pbsName) = 0;
    virtual HRESULT put_Name(const BSTR& bsName) = 0;
    virtual HRESULT get_Resources(IResources** ppResources) = 0;
};

// A task's assignments, ascending by resource ID.
struct ITaskResources : IUnknown {
    QMX_INTERFACE_ID("{2D8B8FF8-7F21-434D-B1C7-FEEBC9D7D065}");

    virtual HRESULT get_Count(LONG* pnCount) = 0;
    virtual HRESULT get_TaskResources(LONG iIndex, ITaskResource** ppTaskResource) = 0;
    virtual HRESULT get_Task(ITask** ppTask) = 0;
    virtual HRESULT Add(IResource* pResource, ITaskResource** ppTaskResource) = 0;
    // S_FALSE when the task has no assignment of that resource.
    virtual HRESULT Delete(LONG ResourceID) = 0;
    virtual HRESULT GetTaskResourceByID(LONG ResourceID, ITaskResource** ppTaskResource) = 0;
    virtual HRESULT DeleteAllTaskResources() = 0;
};

// One assignment: a resource and its load in percent.
struct ITaskResource : IUnknown {
    QMX_INTERFACE_ID("{84CD23ED-F008-4A83-B153-F67CA1C58D41}");

    // A removed assignment answers a null resource with E_FAIL.
    virtual HRESULT get_Resource(IResource** ppResource) = 0;
    virtual HRESULT get_Units(LONG* pnUnits) = 0;
    // Negative values give E_INVALIDARG; there is no upper limit.
    virtual HRESULT put_Units(LONG nUnits) = 0;
    virtual HRESULT get_TaskResources(ITaskResources** ppTaskResources) = 0;
};
