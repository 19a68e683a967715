// The composite chart control's interfaces: IGanttChartControl, the task
// enumerator it hands out, its outgoing events and their connection point.
#pragma once

#include "automation/types.h"
#include "automation/unknown.h"
#include "model/model_interfaces.h"

class QPainter;

enum QMXGanttChartView : LONG {
    gcTasksView = 0,
    gcResourcesView = 1,
};

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

    // The native window id of the control's window, 0 while it has none.
    virtual HRESULT get_Hwnd(LONG* pHwnd) = 0;
    // The text of the title bar above the tree (null when none).
    virtual HRESULT put_Title(const BSTR& bsTitle) = 0;
    virtual HRESULT get_Title(BSTR* pbsTitle) = 0;
    // gcTasksView or gcResourcesView; other values E_INVALIDARG.
    virtual HRESULT put_CurrentView(QMXGanttChartView View) = 0;
    virtual HRESULT get_CurrentView(QMXGanttChartView* pView) = 0;
    virtual HRESULT put_PanesEnabled(VARIANT_BOOL vbEnabled) = 0;
    virtual HRESULT get_PanesEnabled(VARIANT_BOOL* pvbEnabled) = 0;
    virtual HRESULT put_TreePaneVisible(VARIANT_BOOL vbVisible) = 0;
    virtual HRESULT get_TreePaneVisible(VARIANT_BOOL* pvbVisible) = 0;
    virtual HRESULT put_GanttChartPaneVisible(VARIANT_BOOL vbVisible) = 0;
    virtual HRESULT get_GanttChartPaneVisible(VARIANT_BOOL* pvbVisible) = 0;
    // Forwarded to the chart pane.
    virtual HRESULT put_TimelinePaneVisible(VARIANT_BOOL vbVisible) = 0;
    virtual HRESULT get_TimelinePaneVisible(VARIANT_BOOL* pvbVisible) = 0;
    // The first and last day of the project: the task tree's cached range;
    // with no tasks MinDate is kNoLaterBound and MaxDate kNoEarlierBound.
    virtual HRESULT get_MinDate(DATE* pMinDate) = 0;
    virtual HRESULT get_MaxDate(DATE* pMaxDate) = 0;
    // Forwarded to the chart pane; AdjustTimeRange fits the project's range.
    virtual HRESULT ZoomIn() = 0;
    virtual HRESULT ZoomOut() = 0;
    virtual HRESULT ResetTimeRange() = 0;
    virtual HRESULT AdjustTimeRange() = 0;
    // The view-settings string of the chart pane.
    virtual HRESULT get_CurrentViewSettings(BSTR* pbsSettings) = 0;
    virtual HRESULT put_CurrentViewSettings(const BSTR& bsSettings) = 0;
    // Expands (VARIANT_TRUE) or collapses the task's tree item.
    virtual HRESULT ExpandTask(ITask* pTask, VARIANT_BOOL vbExpand) = 0;
    // Every task whose ancestors are all expanded, in display order,
    // including rows scrolled out of sight.
    virtual HRESULT EnumVisibleTasks(IEnumTasks** ppEnum) = 0;
    // Top and bottom of the task's whole tree row in tree-view client pixels;
    // -1, -1 and S_FALSE for a task without a row (hidden in a collapsed parent).
    virtual HRESULT GetTaskTreeItemBounds(ITask* pTask, LONG* plTop, LONG* plBottom) = 0;
    // The tree's row height.
    virtual HRESULT GetTaskTreeItemHeight(LONG* plHeight) = 0;
    virtual HRESULT get_TaskTree(ITaskTree** ppTaskTree) = 0;
    virtual HRESULT get_Resources(IResources** ppResources) = 0;
    // The caret item's task with S_OK; null with S_FALSE when there is none.
    virtual HRESULT get_SelectedTask(ITask** ppTask) = 0;
    // The selected tasks in display order; with vbSkipChild VARIANT_TRUE a
    // selected task stands for its whole subtree.
    virtual HRESULT EnumSelectedTasks(VARIANT_BOOL vbSkipChild, IEnumTasks** ppEnum) = 0;
    // Makes the task's item the caret and starts editing its label.
    virtual HRESULT EditTaskName(ITask* pTask) = 0;
    // The resource of the grid's selected row; null with S_FALSE when none.
    virtual HRESULT get_SelectedResource(IResource** ppResource) = 0;
    // Selects the resource's row; S_FALSE when the grid has no such row.
    virtual HRESULT put_SelectedResource(IResource* pResource) = 0;
    // Printing: the host owns the job and passes its painter.
    virtual HRESULT PreparePrinting(QPainter* hDC, LONG* pnPageCount) = 0;
    virtual HRESULT EndPrinting() = 0;
    virtual HRESULT PrintPage(QPainter* hDC, LONG iPage) = 0;
};

// Dispatch ids of _IGanttChartControlEvents.
inline constexpr LONG DISPID_GANTTCHARTCONTROL_TASKDBLCLICK = 1;
inline constexpr LONG DISPID_GANTTCHARTCONTROL_TASKTREEKEYDOWN = 2;
inline constexpr LONG DISPID_GANTTCHARTCONTROL_TASKTREECONTEXTMENU = 3;
inline constexpr LONG DISPID_GANTTCHARTCONTROL_RESOURCEDBLCLICK = 4;
inline constexpr LONG DISPID_GANTTCHARTCONTROL_RESOURCELISTCONTEXTMENU = 5;
inline constexpr LONG DISPID_GANTTCHARTCONTROL_TASKCHANGED = 6;
inline constexpr LONG DISPID_GANTTCHARTCONTROL_TASKRESOURCEDELETED = 7;
inline constexpr LONG DISPID_GANTTCHARTCONTROL_TIMERANGECHANGED = 8;

struct _IGanttChartControlEvents : IUnknown {
    QMX_INTERFACE_ID("{3562DAF1-C62C-487F-9400-97F8FC40D177}");

    virtual HRESULT TaskDblClick(ITask* pTask) = 0;
    // A key went down in the task tree, before the tree handles it; nKey is
    // the virtual-key code. Setting *pvbHandled to VARIANT_TRUE consumes it.
    virtual HRESULT TaskTreeKeyDown(LONG nKey, VARIANT_BOOL* pvbHandled) = 0;
    // Screen coordinates.
    virtual HRESULT TaskTreeContextMenu(LONG xPos, LONG yPos) = 0;
    // The resource of the grid's selected row, null when none is selected.
    virtual HRESULT ResourceDblClick(IResource* pResource) = 0;
    virtual HRESULT ResourceListContextMenu(LONG xPos, LONG yPos) = 0;
    // A change the caller did not make directly: a consequence in the model,
    // a label edit in the tree or a drag on the chart.
    virtual HRESULT TaskChanged(ITask* pTask) = 0;
    // An assignment removed because its resource left the pool.
    virtual HRESULT TaskResourceDeleted(ITaskResource* pTaskResource) = 0;
    virtual HRESULT TimeRangeChanged() = 0;
};

// The connection point of _IGanttChartControlEvents, answered by the control.
struct IGanttChartControlEventSource : IUnknown {
    QMX_INTERFACE_ID("{C24C873D-D53B-4D16-BEB7-39FFEFEE02F4}");

    // E_POINTER for a null sink or cookie pointer.
    virtual HRESULT Advise(_IGanttChartControlEvents* pSink, DWORD* pdwCookie) = 0;
    // CONNECT_E_NOCONNECTION for an unknown cookie.
    virtual HRESULT Unadvise(DWORD dwCookie) = 0;
};
