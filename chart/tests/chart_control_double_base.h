// The members of IGanttChartControl that the chart pane never calls, answered
// with E_NOTIMPL, so that the chart control double only implements what the
// pane reads.
#pragma once

#include "automation/com_object.h"
#include "chart/chart_control_interfaces.h"

namespace qmx::testing {

class ChartControlDoubleBase : public ComObject<IGanttChartControl> {
public:
    HRESULT get_Hwnd(LONG*) override { return E_NOTIMPL; }
    HRESULT put_Title(const BSTR&) override { return E_NOTIMPL; }
    HRESULT get_Title(BSTR*) override { return E_NOTIMPL; }
    HRESULT put_CurrentView(QMXGanttChartView) override { return E_NOTIMPL; }
    HRESULT get_CurrentView(QMXGanttChartView*) override { return E_NOTIMPL; }
    HRESULT put_PanesEnabled(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT get_PanesEnabled(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT put_TreePaneVisible(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT get_TreePaneVisible(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT put_GanttChartPaneVisible(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT get_GanttChartPaneVisible(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT put_TimelinePaneVisible(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT get_TimelinePaneVisible(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT ZoomIn() override { return E_NOTIMPL; }
    HRESULT ZoomOut() override { return E_NOTIMPL; }
    HRESULT ResetTimeRange() override { return E_NOTIMPL; }
    HRESULT AdjustTimeRange() override { return E_NOTIMPL; }
    HRESULT get_CurrentViewSettings(BSTR*) override { return E_NOTIMPL; }
    HRESULT put_CurrentViewSettings(const BSTR&) override { return E_NOTIMPL; }
    HRESULT ExpandTask(ITask*, VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT get_Resources(IResources**) override { return E_NOTIMPL; }
    HRESULT get_SelectedTask(ITask**) override { return E_NOTIMPL; }
    HRESULT EnumSelectedTasks(VARIANT_BOOL, IEnumTasks**) override { return E_NOTIMPL; }
    HRESULT EditTaskName(ITask*) override { return E_NOTIMPL; }
    HRESULT get_SelectedResource(IResource**) override { return E_NOTIMPL; }
    HRESULT put_SelectedResource(IResource*) override { return E_NOTIMPL; }
    HRESULT PreparePrinting(QPainter*, LONG*) override { return E_NOTIMPL; }
    HRESULT EndPrinting() override { return E_NOTIMPL; }
    HRESULT PrintPage(QPainter*, LONG) override { return E_NOTIMPL; }
};

}  // namespace qmx::testing
