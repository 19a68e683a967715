// The composite chart control's interface as far as its chart pane uses it,
// and the task enumerator it hands out. The control adds its other members
// (title, views, selection, printing) to IGanttChartControl.
#pragma once

#include "automation/types.h"
#include "automation/unknown.h"
#include "model/model_interfaces.h"

inline constexpr CLSID CLSID_QMXGanttChartControl = qmx::MakeGuid("{5CDB2788-D543-4E96-852D-323B73E51997}");
inline constexpr const char* kGanttChartControlProgId = "QMXGanttChart.Control.1";
inline constexpr const char* kGanttChartControlVersionIndependentProgId = "QMXGanttChart.Control";

// A snapshot of task references taken when the enumerator is made.
struct IEnumTasks : IUnknown {
    QMX_INTERFACE_ID("{800C2CEB-7EC3-4B0C-B83C-E7C526D17BDD}");

    virtual HRESULT GetCount(LONG* pnCount) = 0;
    // VARIANT_TRUE once every task has been returned.
    virtual HRESULT End(VARIANT_BOOL* pvbEnd) = 0;
    // The next task with S_OK, or null with S_FALSE at the end.
    virtual HRESULT Next(ITask** ppTask) = 0;
    // E_INVALIDARG if negative; S_FALSE when it passes the end (it stops there).
    virtual HRESULT Skip(LONG nCount) = 0;
    virtual HRESULT Reset() = 0;
    // A copy at the same position.
    virtual HRESULT Clone(IEnumTasks** ppEnum) = 0;
};

struct IGanttChartControl : IUnknown {
    QMX_INTERFACE_ID("{7ACF31C6-E782-4956-AC55-BC5D15C0D6F4}");

    // The first and last day of the project: the task tree's cached range;
    // with no tasks MinDate is kNoLaterBound and MaxDate kNoEarlierBound.
    virtual HRESULT get_MinDate(DATE* pMinDate) = 0;
    virtual HRESULT get_MaxDate(DATE* pMaxDate) = 0;
    // Every task whose ancestors are all expanded, in display order,
    // including rows scrolled out of sight.
    virtual HRESULT EnumVisibleTasks(IEnumTasks** ppEnum) = 0;
    // Top and bottom of the task's whole tree row in tree-view client pixels;
    // -1, -1 and S_FALSE for a task without a row (hidden in a collapsed parent).
    virtual HRESULT GetTaskTreeItemBounds(ITask* pTask, LONG* plTop, LONG* plBottom) = 0;
    // The tree's row height.
    virtual HRESULT GetTaskTreeItemHeight(LONG* plHeight) = 0;
    virtual HRESULT get_TaskTree(ITaskTree** ppTaskTree) = 0;
};
