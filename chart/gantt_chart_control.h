// QMXGanttChartControl: the composite chart control. It owns the project
// model (one task tree and one resource pool) and is the owner of its four
// internal sinks; it shows the plan in a tasks view (task tree, splitter,
// Gantt chart pane and a title bar) and a resources view (a grid), chosen by
// vertical tabs, and turns what happens in them into its events.
#pragma once

#include <optional>
#include <vector>

#include <QColor>
#include <QFont>
#include <QPointer>

#include "automation/com_object.h"
#include "automation/event_source.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/widget_control.h"
#include "chart/chart_control_interfaces.h"
#include "chart/print_geometry.h"
#include "chart/task_enumerator.h"
#include "chart/task_tree_items.h"
#include "chart/task_tree_view.h"
#include "model/model_sinks.h"
#include "model/project_model.h"

struct IGanttChartPane;
struct ISplitter;
struct ISimpleGridControl;

namespace qmx {

class GanttChartControlWindow;

class QMXGanttChartControl final : public ComObject<IGanttChartControl, IGanttChartControlEventSource, IWidgetControl>,
                                   private ITaskTreeSink,
                                   private IDependencySink,
                                   private ITaskResourceSink,
                                   private IResourceSink,
                                   private TaskTreeItems::Observer,
                                   private TaskTreeView::Handler {
public:
    QMXGanttChartControl();

    static ClassInfo Registration();

    static constexpr int kSplitterWidth = 4;
    static constexpr int kSplitterStart = 200;
    static constexpr int kSplitterMinGap = 10;

    // IGanttChartControl
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
    // Printing (gantt_chart_control_printing.cpp): the page layout, the
    // tree column and the header are the control's; the chart pane prints
    // the timeline strip and the chart stripes.
    HRESULT PreparePrinting(QPainter* hDC, LONG* pnPageCount) override;
    HRESULT EndPrinting() override;
    HRESULT PrintPage(QPainter* hDC, LONG iPage) override;

    // IGanttChartControlEventSource
    HRESULT Advise(_IGanttChartControlEvents* pSink, DWORD* pdwCookie) override;
    HRESULT Unadvise(DWORD dwCookie) override;

    // IWidgetControl. Creates the control's window and every child; if any
    // child cannot be made, no window is left and the failure is returned.
    HRESULT CreateControlWindow(QWidget* parent, QWidget** ppWindow) override;
    HRESULT GetControlWindow(QWidget** ppWindow) override;

    // The parts, for the window and for tests.
    TaskTreeItems& Items() { return items_; }
    GanttChartControlWindow* Window() const;
    // The item a task of this control's tree keeps in its view cookie.
    static TreeItem* ItemOf(ITask* task);
    // The same for a task of any tree: null unless it is of this control's.
    TreeItem* OwnItemOf(ITask* task) const;

    // From the window and the child sinks.
    void Layout();
    void OnWindowDestroyed();
    void OnTabChanged();
    void OnSplitterBeforeMove(LONG* pnDelta);
    void OnPaneTaskLButtonDown(ITask* task, LONG keys);
    void OnPaneKeyDown(LONG key, LONG options);
    void FireTaskDblClick(ITask* task);
    void FireTaskChanged(ITask* task);
    void FireTimeRangeChanged();
    void OnGridDoubleClick();
    void FireResourceListContextMenu(LONG x, LONG y);
    void RepaintPane();

private:
    class PaneSink;
    class SplitterSink;
    class GridSink;

    ~QMXGanttChartControl() override;

    // ITaskTreeSink
    void OnTaskAdded(ITask* pTask) override;
    void OnTaskDeleting(ITask* pTask) override;
    void OnAllTasksDeleted() override;
    void OnTaskMoved(ITask* pTask) override;
    void OnTaskChanged(ITask* pTask, DWORD mask, bool fireEvent) override;
    void OnDefaultAppearanceChanged() override;
    // IDependencySink
    void OnDependencyAdded(ITaskDependency* pLink) override;
    void OnDependencyRemoved(ITaskDependency* pLink) override;
    void OnDependencyChanged(ITaskDependency* pLink) override;
    // ITaskResourceSink
    void OnTaskResourceAdded(ITaskResource* pTaskResource) override;
    void OnTaskResourceDeleted(ITaskResource* pTaskResource, bool fireEvent) override;
    void OnTaskResourceChanged(ITaskResource* pTaskResource) override;
    // IResourceSink
    void OnResourceAdded(IResource* pResource) override;
    void OnResourceDeleted(IResource* pResource) override;
    void OnAllResourcesDeleted() override;
    void OnResourceChanged(IResource* pResource) override;
    // TaskTreeItems::Observer
    void OnItemRowsChanged() override;
    void OnItemLookChanged(TreeItem* item) override;
    void OnItemSelectionChanged() override;
    void OnItemDeleting(TreeItem* item) override;
    // TaskTreeView::Handler
    bool OnTreeKeyDown(LONG virtualKey) override;
    void OnTreeDoubleClick(TreeItem* item) override;
    void OnTreeContextMenu(const QPoint& globalPos) override;
    void OnTreeScrolled() override;
    bool OnTreeLabelEdited(TreeItem* item, const QString* text) override;
    void OnTreeItemExpanded(TreeItem* item) override;

    // Item look from the task: summary image and bold with children, else
    // the milestone or priority image.
    void RefreshLook(TreeItem* item);
    void RefreshParentLook(TreeItem* parent);
    // Window creation steps.
    HRESULT CreateChildren(GanttChartControlWindow* window);
    HRESULT CreateSplitter(GanttChartControlWindow* window);
    HRESULT CreatePane(GanttChartControlWindow* window);
    HRESULT CreateGrid(GanttChartControlWindow* window);
    void DisconnectChildren();
    void UpdateVisibility();
    void ShowView(QMXGanttChartView view);
    // The grid row holding the resource (by its ID), -1 when none.
    LONG FindResourceRow(IResource* resource) const;
    bool HasPane() const { return bool(pane_); }

    // One printed tree row, taken from the visible items when printing is
    // prepared.
    struct PrintedRow {
        ComPtr<ITask> task;
        QString text;
        int depth = 0;
        int image = 0;
        bool hasChildren = false;
        bool expanded = false;
    };
    struct PrintState {
        DeviceScale scale;
        PageLayout page;
        std::vector<PrintedRow> rows;
        LONG pageCount = 0;
        QFont rowFont;
        QColor frameColor;
        QColor headerColor;
        QColor textColor;
    };
    void PrintTitleBox(QPainter& painter) const;
    void PrintTreeRow(QPainter& painter, const PrintedRow& row, LONG stripe) const;

    TaskTreeItems items_;
    ProjectModel model_;  // after the items: the sinks mirror into them
    // The visible rows' tasks as last enumerated; dropped whenever the rows
    // change (before the model goes, so no task outlives its tree here).
    TaskEnumerator::Snapshot visibleTasks_;
    BSTR title_;
    bool panesEnabled_ = true;
    bool treeVisible_ = true;
    // Where the splitter was last put, by its start or a drag, and where the
    // layout last placed it: a pane too narrow for that place pushes the
    // splitter aside only until the pane is wide enough again.
    int splitterWanted_ = kSplitterStart;
    int splitterPlaced_ = -1;
    bool chartVisible_ = true;
    LONG topMargin_ = 0;
    std::size_t boundsCursor_ = 0;  // the row after the last one GetTaskTreeItemBounds answered

    QPointer<GanttChartControlWindow> window_;
    ComPtr<IGanttChartPane> pane_;
    ComPtr<IWidgetControl> paneControl_;
    ComPtr<PaneSink> paneSink_;
    DWORD paneCookie_ = 0;
    ComPtr<ISplitter> splitter_;
    ComPtr<IWidgetControl> splitterControl_;
    ComPtr<SplitterSink> splitterSink_;
    DWORD splitterCookie_ = 0;
    ComPtr<ISimpleGridControl> grid_;
    ComPtr<IWidgetControl> gridControl_;
    ComPtr<GridSink> gridSink_;
    DWORD gridCookie_ = 0;
    EventSource<_IGanttChartControlEvents> events_;
    std::optional<PrintState> print_;
};

}  // namespace qmx
