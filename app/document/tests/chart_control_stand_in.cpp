#include "app/document/tests/chart_control_stand_in.h"

#include <algorithm>
#include <set>

#include "automation/bstr.h"
#include "chart/task_enumerator.h"

namespace qmx::testing {

namespace {

std::string Flag(VARIANT_BOOL value) { return value == VARIANT_TRUE ? "on" : "off"; }

HRESULT Get(bool value, VARIANT_BOOL* out)
{
    if (!out) return E_POINTER;
    *out = ToVariantBool(value);
    return S_OK;
}

}  // namespace

ChartControlStandIn::ChartControlStandIn()
    : model_(this, &NullSinks::Instance(), this, &NullSinks::Instance())
{
}

ComPtr<ITask> ChartControlStandIn::Add(LONG parentId, const std::string& name)
{
    ComPtr<ITask> task;
    model_.TaskTree()->AddTask(parentId, -1, Utf8ToBstr(name), task.ReleaseAndGetAddressOf());
    return task;
}

void ChartControlStandIn::Select(const std::vector<ITask*>& tasks)
{
    selection_.assign(tasks.begin(), tasks.end());
}

void ChartControlStandIn::OnTaskDeleting(ITask* pTask)
{
    std::erase_if(selection_, [pTask](const ComPtr<ITask>& t) { return t.Get() == pTask; });
}

void ChartControlStandIn::OnTaskChanged(ITask* pTask, DWORD, bool fireEvent)
{
    if (fireEvent) events_.Fire([pTask](_IGanttChartControlEvents* sink) { sink->TaskChanged(pTask); });
}

void ChartControlStandIn::OnTaskResourceDeleted(ITaskResource* pTaskResource, bool fireEvent)
{
    if (fireEvent)
        events_.Fire([pTaskResource](_IGanttChartControlEvents* sink) { sink->TaskResourceDeleted(pTaskResource); });
}

HRESULT ChartControlStandIn::get_Hwnd(LONG* pHwnd)
{
    if (!pHwnd) return E_POINTER;
    *pHwnd = 4711;
    return S_OK;
}

HRESULT ChartControlStandIn::put_Title(const BSTR& bsTitle)
{
    title = bsTitle;
    calls.push_back("Title " + BstrToUtf8(bsTitle));
    return S_OK;
}

HRESULT ChartControlStandIn::get_Title(BSTR* pbsTitle)
{
    if (!pbsTitle) return E_POINTER;
    *pbsTitle = title;
    return S_OK;
}

HRESULT ChartControlStandIn::put_CurrentView(QMXGanttChartView View)
{
    view = View;
    calls.push_back("CurrentView " + std::to_string(View));
    return S_OK;
}

HRESULT ChartControlStandIn::get_CurrentView(QMXGanttChartView* pView)
{
    if (!pView) return E_POINTER;
    *pView = view;
    return S_OK;
}

HRESULT ChartControlStandIn::put_PanesEnabled(VARIANT_BOOL vbEnabled)
{
    panesEnabled = vbEnabled == VARIANT_TRUE;
    calls.push_back("PanesEnabled " + Flag(vbEnabled));
    return S_OK;
}

HRESULT ChartControlStandIn::get_PanesEnabled(VARIANT_BOOL* p) { return Get(panesEnabled, p); }

HRESULT ChartControlStandIn::put_TreePaneVisible(VARIANT_BOOL v)
{
    treeVisible = v == VARIANT_TRUE;
    calls.push_back("TreePaneVisible " + Flag(v));
    return S_OK;
}

HRESULT ChartControlStandIn::get_TreePaneVisible(VARIANT_BOOL* p) { return Get(treeVisible, p); }

HRESULT ChartControlStandIn::put_GanttChartPaneVisible(VARIANT_BOOL v)
{
    chartVisible = v == VARIANT_TRUE;
    calls.push_back("GanttChartPaneVisible " + Flag(v));
    return S_OK;
}

HRESULT ChartControlStandIn::get_GanttChartPaneVisible(VARIANT_BOOL* p) { return Get(chartVisible, p); }

HRESULT ChartControlStandIn::put_TimelinePaneVisible(VARIANT_BOOL v)
{
    timelineVisible = v == VARIANT_TRUE;
    calls.push_back("TimelinePaneVisible " + Flag(v));
    return S_OK;
}

HRESULT ChartControlStandIn::get_TimelinePaneVisible(VARIANT_BOOL* p) { return Get(timelineVisible, p); }

HRESULT ChartControlStandIn::get_MinDate(DATE* p) { return p ? (*p = model_.MinDate(), S_OK) : E_POINTER; }
HRESULT ChartControlStandIn::get_MaxDate(DATE* p) { return p ? (*p = model_.MaxDate(), S_OK) : E_POINTER; }

HRESULT ChartControlStandIn::ZoomIn()
{
    calls.push_back("ZoomIn");
    return S_OK;
}

HRESULT ChartControlStandIn::ZoomOut()
{
    calls.push_back("ZoomOut");
    return S_OK;
}

HRESULT ChartControlStandIn::ResetTimeRange()
{
    calls.push_back("ResetTimeRange");
    return S_OK;
}

HRESULT ChartControlStandIn::AdjustTimeRange()
{
    calls.push_back("AdjustTimeRange");
    return S_OK;
}

HRESULT ChartControlStandIn::get_CurrentViewSettings(BSTR* p) { return p ? (*p = u"settings", S_OK) : E_POINTER; }

HRESULT ChartControlStandIn::put_CurrentViewSettings(const BSTR& bsSettings)
{
    calls.push_back("CurrentViewSettings " + BstrToUtf8(bsSettings));
    return S_OK;
}

HRESULT ChartControlStandIn::ExpandTask(ITask*, VARIANT_BOOL vbExpand)
{
    calls.push_back("ExpandTask " + Flag(vbExpand));
    return S_OK;
}

HRESULT ChartControlStandIn::EnumVisibleTasks(IEnumTasks**) { return E_NOTIMPL; }
HRESULT ChartControlStandIn::GetTaskTreeItemBounds(ITask*, LONG*, LONG*) { return E_NOTIMPL; }
HRESULT ChartControlStandIn::GetTaskTreeItemHeight(LONG*) { return E_NOTIMPL; }

HRESULT ChartControlStandIn::get_TaskTree(ITaskTree** pp)
{
    return pp ? ComPtr<ITaskTree>(model_.TaskTree()).CopyTo(pp) : E_POINTER;
}

HRESULT ChartControlStandIn::get_Resources(IResources** pp)
{
    return pp ? ComPtr<IResources>(model_.Resources()).CopyTo(pp) : E_POINTER;
}

HRESULT ChartControlStandIn::get_SelectedTask(ITask** ppTask)
{
    if (!ppTask) return E_POINTER;
    *ppTask = nullptr;
    if (selection_.empty()) return S_FALSE;
    selection_.back().CopyTo(ppTask);
    return S_OK;
}

HRESULT ChartControlStandIn::EnumSelectedTasks(VARIANT_BOOL vbSkipChild, IEnumTasks** ppEnum)
{
    std::vector<ComPtr<ITask>> tasks;
    const std::set<ITask*> selected = [&] {
        std::set<ITask*> s;
        for (const auto& t : selection_) s.insert(t.Get());
        return s;
    }();
    for (const ComPtr<ITask>& task : selection_) {
        bool underSelected = false;
        ComPtr<ITask> parent;
        task->get_ParentTask(parent.ReleaseAndGetAddressOf());
        while (vbSkipChild == VARIANT_TRUE && parent && !underSelected) {
            underSelected = selected.count(parent.Get()) != 0;
            ComPtr<ITask> up;
            parent->get_ParentTask(up.ReleaseAndGetAddressOf());
            parent = up;
        }
        if (!underSelected) tasks.push_back(task);
    }
    return TaskEnumerator::Create(std::move(tasks), ppEnum);
}

HRESULT ChartControlStandIn::EditTaskName(ITask* pTask)
{
    LONG id = -1;
    if (pTask) pTask->get_ID(&id);
    calls.push_back("EditTaskName " + std::to_string(id));
    return S_OK;
}

HRESULT ChartControlStandIn::get_SelectedResource(IResource** pp)
{
    if (!pp) return E_POINTER;
    *pp = nullptr;
    if (!selectedResource_) return S_FALSE;
    selectedResource_.CopyTo(pp);
    return S_OK;
}

HRESULT ChartControlStandIn::put_SelectedResource(IResource* pResource)
{
    selectedResource_ = pResource;
    LONG id = -1;
    if (pResource) pResource->get_ID(&id);
    calls.push_back("SelectedResource " + std::to_string(id));
    return S_OK;
}

HRESULT ChartControlStandIn::Advise(_IGanttChartControlEvents* pSink, DWORD* pdwCookie)
{
    return events_.Advise(pSink, pdwCookie);
}

HRESULT ChartControlStandIn::Unadvise(DWORD dwCookie) { return events_.Unadvise(dwCookie); }

}  // namespace qmx::testing
