// The chart control as the application object sees it, over a real model:
// the selection, view and panes are set by the test, the calls the
// application makes on it are written down, and the test fires its events.
// Like the real control it raises TaskResourceDeleted for the assignments
// the model drops with a resource.
#pragma once

#include <string>
#include <vector>

#include "automation/com_object.h"
#include "automation/event_source.h"
#include "chart/chart_control_interfaces.h"
#include "model/null_sinks.h"
#include "model/project_model.h"

namespace qmx::testing {

class ChartControlStandIn final : public ComObject<IGanttChartControl, IGanttChartControlEventSource>,
                                  private ITaskTreeSink,
                                  private ITaskResourceSink {
public:
    ChartControlStandIn();

    ITaskTree* Tree() const { return model_.TaskTree(); }
    IResources* Pool() const { return model_.Resources(); }
    // A task appended to the parent's subtasks (0: the root).
    ComPtr<ITask> Add(LONG parentId, const std::string& name);
    // The selection in display order; the caret is the last of them.
    void Select(const std::vector<ITask*>& tasks);
    void SelectResource(IResource* resource) { selectedResource_ = resource; }

    EventSource<_IGanttChartControlEvents>& Events() { return events_; }
    std::vector<std::string> calls;
    BSTR title;
    QMXGanttChartView view = gcTasksView;
    bool panesEnabled = true;
    bool treeVisible = true;
    bool chartVisible = true;
    bool timelineVisible = true;

    HRESULT get_Hwnd(LONG* pHwnd) override;
    HRESULT put_Title(const BSTR& bsTitle) override;
    HRESULT get_Title(BSTR* pbsTitle) override;
    HRESULT put_CurrentView(QMXGanttChartView View) override;
    HRESULT get_CurrentView(QMXGanttChartView* pView) override;
    HRESULT put_PanesEnabled(VARIANT_BOOL vbEnabled) override;
    HRESULT get_PanesEnabled(VARIANT_BOOL* pvbEnabled) override;
    HRESULT put_TreePaneVisible(VARIANT_BOOL vbVisible) override;
    HRESULT get_TreePaneVisible(VARIANT_BOOL* pvbVisible) override;
    HRESULT put_GanttChartPaneVisible(VARIANT_BOOL vbVisible) override;
    HRESULT get_GanttChartPaneVisible(VARIANT_BOOL* pvbVisible) override;
    HRESULT put_TimelinePaneVisible(VARIANT_BOOL vbVisible) override;
    HRESULT get_TimelinePaneVisible(VARIANT_BOOL* pvbVisible) override;
    HRESULT get_MinDate(DATE* pMinDate) override;
    HRESULT get_MaxDate(DATE* pMaxDate) override;
    HRESULT ZoomIn() override;
    HRESULT ZoomOut() override;
    HRESULT ResetTimeRange() override;
    HRESULT AdjustTimeRange() override;
    HRESULT get_CurrentViewSettings(BSTR* pbsSettings) override;
    HRESULT put_CurrentViewSettings(const BSTR& bsSettings) override;
    HRESULT ExpandTask(ITask* pTask, VARIANT_BOOL vbExpand) override;
    HRESULT EnumVisibleTasks(IEnumTasks** ppEnum) override;
    HRESULT GetTaskTreeItemBounds(ITask* pTask, LONG* plTop, LONG* plBottom) override;
    HRESULT GetTaskTreeItemHeight(LONG* plHeight) override;
    HRESULT get_TaskTree(ITaskTree** ppTaskTree) override;
    HRESULT get_Resources(IResources** ppResources) override;
    HRESULT get_SelectedTask(ITask** ppTask) override;
    HRESULT EnumSelectedTasks(VARIANT_BOOL vbSkipChild, IEnumTasks** ppEnum) override;
    HRESULT EditTaskName(ITask* pTask) override;
    HRESULT get_SelectedResource(IResource** ppResource) override;
    HRESULT put_SelectedResource(IResource* pResource) override;
    HRESULT PreparePrinting(QPainter*, LONG*) override { return E_NOTIMPL; }
    HRESULT EndPrinting() override { return E_NOTIMPL; }
    HRESULT PrintPage(QPainter*, LONG) override { return E_NOTIMPL; }

    HRESULT Advise(_IGanttChartControlEvents* pSink, DWORD* pdwCookie) override;
    HRESULT Unadvise(DWORD dwCookie) override;

private:
    void OnTaskAdded(ITask*) override {}
    void OnTaskDeleting(ITask* pTask) override;
    void OnAllTasksDeleted() override { selection_.clear(); }
    void OnTaskMoved(ITask*) override {}
    void OnTaskChanged(ITask* pTask, DWORD mask, bool fireEvent) override;
    void OnDefaultAppearanceChanged() override {}
    void OnTaskResourceAdded(ITaskResource*) override {}
    void OnTaskResourceDeleted(ITaskResource* pTaskResource, bool fireEvent) override;
    void OnTaskResourceChanged(ITaskResource*) override {}

    ProjectModel model_;
    EventSource<_IGanttChartControlEvents> events_;
    std::vector<ComPtr<ITask>> selection_;
    ComPtr<IResource> selectedResource_;
};

}  // namespace qmx::testing
