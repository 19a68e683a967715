// The composite chart control's window: creation of its children in order,
// the connections to the hosted children and their events, layout and
// visibility.
#include <algorithm>

#include <QTabBar>

#include "automation/runtime/activation.h"
#include "chart/chart_strings.h"
#include "chart/gantt_chart_control.h"
#include "chart/gantt_chart_control_window.h"
#include "chart/gantt_chart_pane_interfaces.h"
#include "chart/splitter_interfaces.h"
#include "chart/virtual_keys.h"
#include "grid/simple_grid_interfaces.h"

namespace qmx {

namespace {

constexpr LONG kResourceIdWidth = 40;
constexpr LONG kResourceNameWidth = 300;

BSTR ToBstr(const QString& text)
{
    return text.toStdU16String();
}

// Creates a hosted control by ProgID and its window under parent.
template <class Interface>
HRESULT CreateHosted(const char* progId, QWidget* parent, ComPtr<Interface>* object, ComPtr<IWidgetControl>* control,
                     QPointer<QWidget>* window)
{
    ComPtr<IWidgetControl> widgetControl;
    HRESULT hr = CreateInstance(progId, &widgetControl);
    if (FAILED(hr)) return hr;
    ComPtr<Interface> typed;
    if (FAILED(hr = widgetControl.As(&typed))) return hr;
    QWidget* created = nullptr;
    if (FAILED(hr = widgetControl->CreateControlWindow(parent, &created))) return hr;
    if (!created) return E_FAIL;
    *object = typed;
    *control = widgetControl;
    *window = created;
    created->show();
    return S_OK;
}

}  // namespace

// The sinks on the hosted children hold a plain pointer back, so that a
// child's reference to its sink does not keep the control alive.
class QMXGanttChartControl::SplitterSink final : public ComObject<_ISplitterEvents> {
public:
    explicit SplitterSink(QMXGanttChartControl* control) : control_(control) {}
    void Disconnect() { control_ = nullptr; }
    HRESULT BeforeMove(LONG* pnDelta) override
    {
        if (!pnDelta) return E_POINTER;
        if (control_) control_->OnSplitterBeforeMove(pnDelta);
        return S_OK;
    }
    HRESULT AfterMove() override
    {
        if (control_) control_->Layout();
        return S_OK;
    }

private:
    QMXGanttChartControl* control_;
};

class QMXGanttChartControl::PaneSink final : public ComObject<_IGanttChartPaneEvents> {
public:
    explicit PaneSink(QMXGanttChartControl* control) : control_(control) {}
    void Disconnect() { control_ = nullptr; }
    HRESULT TaskLButtonDown(ITask* pTask, LONG Keys) override
    {
        if (control_) control_->OnPaneTaskLButtonDown(pTask, Keys);
        return S_OK;
    }
    HRESULT TaskLButtonDblClk(ITask* pTask) override
    {
        if (control_) control_->FireTaskDblClick(pTask);
        return S_OK;
    }
    HRESULT KeyDown(LONG lKey, LONG lOptions) override
    {
        if (control_) control_->OnPaneKeyDown(lKey, lOptions);
        return S_OK;
    }
    HRESULT TaskChanged(ITask* pTask) override
    {
        if (control_) control_->FireTaskChanged(pTask);
        return S_OK;
    }
    HRESULT TimeRangeChanged() override
    {
        if (control_) control_->FireTimeRangeChanged();
        return S_OK;
    }

private:
    QMXGanttChartControl* control_;
};

class QMXGanttChartControl::GridSink final : public ComObject<_ISimpleGridControlEvents> {
public:
    explicit GridSink(QMXGanttChartControl* control) : control_(control) {}
    void Disconnect() { control_ = nullptr; }
    HRESULT OnLButtonDblClk() override
    {
        if (control_) control_->OnGridDoubleClick();
        return S_OK;
    }
    HRESULT ContextMenu(LONG xPos, LONG yPos) override
    {
        if (control_) control_->FireResourceListContextMenu(xPos, yPos);
        return S_OK;
    }
    // The resources view is read-only: no cell gets an editor.
    HRESULT QueryCellEditor(LONG, LONG, _CellEditorType* pCellEditorType) override
    {
        if (pCellEditorType) *pCellEditorType = etNone;
        return S_OK;
    }
    HRESULT InitEditEditor(LONG, LONG, ISimpleGridEditParam*) override { return S_OK; }
    HRESULT CloseEditEditor(LONG, LONG, VARIANT_BOOL, ISimpleGridEditParam*, VARIANT_BOOL*) override { return S_OK; }
    HRESULT InitComboEditor(LONG, LONG, ISimpleGridComboParam*) override { return S_OK; }
    HRESULT CloseComboEditor(LONG, LONG, VARIANT_BOOL, ISimpleGridComboParam*, VARIANT_BOOL*) override { return S_OK; }
    HRESULT ComboSelChange(LONG, LONG, LONG) override { return S_OK; }

private:
    QMXGanttChartControl* control_;
};

QMXGanttChartControl::QMXGanttChartControl() : model_(this, this, this, this)
{
    items_.SetObserver(this);
}

QMXGanttChartControl::~QMXGanttChartControl()
{
    items_.SetObserver(nullptr);
    if (window_) {
        window_->Detach();
        DisconnectChildren();
        delete window_.data();
    }
}

GanttChartControlWindow* QMXGanttChartControl::Window() const
{
    return window_;
}

HRESULT QMXGanttChartControl::CreateControlWindow(QWidget* parent, QWidget** ppWindow)
{
    if (!ppWindow) return E_POINTER;
    *ppWindow = nullptr;
    if (window_) {
        window_->setParent(parent);
        *ppWindow = window_;
        return S_OK;
    }
    auto* window = new (std::nothrow) GanttChartControlWindow(this, parent);
    if (!window) return E_OUTOFMEMORY;
    window_ = window;
    const HRESULT hr = CreateChildren(window);
    if (FAILED(hr)) {
        window->Detach();
        DisconnectChildren();
        window_ = nullptr;
        delete window;
        return hr;
    }
    window->Tree()->SetHandler(this);
    window->TitleBar()->SetTitle(QString::fromStdU16String(title_));
    window->TasksPage()->setEnabled(panesEnabled_);
    window->ResourcesPage()->setEnabled(panesEnabled_);
    UpdateVisibility();
    *ppWindow = window;
    return S_OK;
}

HRESULT QMXGanttChartControl::CreateChildren(GanttChartControlWindow* window)
{
    window->CreateOwnChildren();
    HRESULT hr = CreateSplitter(window);
    if (SUCCEEDED(hr)) hr = CreatePane(window);
    if (SUCCEEDED(hr)) hr = CreateGrid(window);
    return hr;
}

HRESULT QMXGanttChartControl::CreateSplitter(GanttChartControlWindow* window)
{
    HRESULT hr = CreateHosted(kSplitterVersionIndependentProgId, window->TasksPage(), &splitter_, &splitterControl_,
                              &window->splitterWindow);
    if (FAILED(hr)) return hr;
    ComPtr<ISplitterEventSource> source;
    if (FAILED(hr = splitter_.As(&source))) return hr;
    splitterSink_ = MakeObject<SplitterSink>(this);
    if (!splitterSink_) return E_OUTOFMEMORY;
    if (FAILED(hr = source->Advise(splitterSink_.Get(), &splitterCookie_))) return hr;
    window->splitterWindow->setGeometry(kSplitterStart, 0, kSplitterWidth, window->TasksPage()->height());
    return S_OK;
}

HRESULT QMXGanttChartControl::CreatePane(GanttChartControlWindow* window)
{
    HRESULT hr = CreateHosted(kGanttChartPaneVersionIndependentProgId, window->TasksPage(), &pane_, &paneControl_,
                              &window->paneWindow);
    if (FAILED(hr)) return hr;
    if (FAILED(hr = pane_->SetGanttChartControl(this))) return hr;
    ComPtr<IGanttChartPaneEventSource> source;
    if (FAILED(hr = pane_.As(&source))) return hr;
    paneSink_ = MakeObject<PaneSink>(this);
    if (!paneSink_) return E_OUTOFMEMORY;
    if (FAILED(hr = source->Advise(paneSink_.Get(), &paneCookie_))) return hr;
    return pane_->get_TopMargin(&topMargin_);
}

HRESULT QMXGanttChartControl::CreateGrid(GanttChartControlWindow* window)
{
    HRESULT hr = CreateHosted(kSimpleGridVersionIndependentProgId, window->ResourcesPage(), &grid_, &gridControl_,
                              &window->gridWindow);
    if (FAILED(hr)) return hr;
    ComPtr<ISimpleGridControlEventSource> source;
    if (FAILED(hr = grid_.As(&source))) return hr;
    gridSink_ = MakeObject<GridSink>(this);
    if (!gridSink_) return E_OUTOFMEMORY;
    if (FAILED(hr = source->Advise(gridSink_.Get(), &gridCookie_))) return hr;
    if (FAILED(hr = grid_->put_ColCount(2))) return hr;
    if (FAILED(hr = grid_->put_ColHeaders(0, ToBstr(LoadChartString(IDS_RESOURCE_COLUMN_ID))))) return hr;
    if (FAILED(hr = grid_->put_ColWidths(0, kResourceIdWidth))) return hr;
    if (FAILED(hr = grid_->put_ColHeaders(1, ToBstr(LoadChartString(IDS_RESOURCE_COLUMN_NAME))))) return hr;
    if (FAILED(hr = grid_->put_ColWidths(1, kResourceNameWidth))) return hr;
    // Resources that entered the pool before the grid existed.
    LONG count = 0;
    model_.Resources()->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IResource> resource;
        if (SUCCEEDED(model_.Resources()->get_Resources(i, resource.ReleaseAndGetAddressOf())))
            OnResourceAdded(resource.Get());
    }
    return S_OK;
}

void QMXGanttChartControl::DisconnectChildren()
{
    if (splitter_ && splitterCookie_) {
        ComPtr<ISplitterEventSource> source;
        if (SUCCEEDED(splitter_.As(&source))) source->Unadvise(splitterCookie_);
    }
    if (pane_ && paneCookie_) {
        ComPtr<IGanttChartPaneEventSource> source;
        if (SUCCEEDED(pane_.As(&source))) source->Unadvise(paneCookie_);
    }
    if (grid_ && gridCookie_) {
        ComPtr<ISimpleGridControlEventSource> source;
        if (SUCCEEDED(grid_.As(&source))) source->Unadvise(gridCookie_);
    }
    splitterCookie_ = paneCookie_ = gridCookie_ = 0;
    if (splitterSink_) splitterSink_->Disconnect();
    if (paneSink_) paneSink_->Disconnect();
    if (gridSink_) gridSink_->Disconnect();
    if (pane_) pane_->SetGanttChartControl(nullptr);
    splitterSink_ = nullptr;
    paneSink_ = nullptr;
    gridSink_ = nullptr;
    splitter_ = nullptr;
    splitterControl_ = nullptr;
    pane_ = nullptr;
    paneControl_ = nullptr;
    grid_ = nullptr;
    gridControl_ = nullptr;
}

void QMXGanttChartControl::OnWindowDestroyed()
{
    // The children's windows go with ours; the objects are let go.
    DisconnectChildren();
    window_ = nullptr;
}

void QMXGanttChartControl::UpdateVisibility()
{
    if (!window_) return;
    VARIANT_BOOL timeline = VARIANT_FALSE;
    if (pane_) pane_->get_TimelinePaneVisible(&timeline);
    window_->TitleBar()->setVisible(treeVisible_ && chartVisible_ && timeline != VARIANT_FALSE);
    window_->TreeBackground()->setVisible(treeVisible_);
    if (window_->paneWindow) window_->paneWindow->setVisible(chartVisible_);
    if (window_->splitterWindow) window_->splitterWindow->setVisible(treeVisible_ && chartVisible_);
    Layout();
}

void QMXGanttChartControl::Layout()
{
    GanttChartControlWindow* window = window_;
    if (!window) return;
    const int w = window->width();
    const int h = window->height();
    QTabBar* tabs = window->Tabs();
    tabs->setGeometry(0, 0, w, h + 2);
    int x = 0;
    for (int i = 0; i < tabs->count(); ++i) x = std::max(x, tabs->tabRect(i).right() + 1);
    x += 3;
    QWidget* page = window->TasksPage();
    page->setGeometry(x, 0, std::max(0, w - x), h);
    window->ResourcesPage()->setGeometry(x, 0, std::max(0, w - x), h);
    const int pw = page->width();
    const int ph = page->height();

    LONG th = 0;
    VARIANT_BOOL timeline = VARIANT_FALSE;
    if (pane_ && SUCCEEDED(pane_->get_TimelinePaneVisible(&timeline)) && timeline != VARIANT_FALSE)
        pane_->get_TimelineHeight(&th);

    QWidget* paneWindow = window->paneWindow;
    QWidget* splitterWindow = window->splitterWindow;
    QWidget* background = window->TreeBackground();
    TaskTreeView* tree = window->Tree();
    if (!treeVisible_) {
        if (paneWindow) {
            paneWindow->setGeometry(0, 0, pw, ph);
            paneWindow->update();
        }
    } else if (chartVisible_ && splitterWindow) {
        int left = splitterWindow->x();
        if (left != splitterPlaced_) splitterWanted_ = left;  // moved by a drag
        left = splitterWanted_;
        if (left + kSplitterWidth > pw - kSplitterMinGap) {
            left = pw - kSplitterMinGap - kSplitterWidth;
        } else if (left < kSplitterMinGap) {
            left = kSplitterMinGap;
        }
        splitterWindow->setGeometry(left, 0, kSplitterWidth, ph);
        splitterPlaced_ = left;
        if (paneWindow) {
            paneWindow->setGeometry(left + kSplitterWidth, 0, std::max(0, pw - left - kSplitterWidth), ph);
            paneWindow->update();
        }
        window->TitleBar()->setGeometry(0, 0, left, th);
        window->TitleBar()->update();
        background->setGeometry(0, th, left, std::max(0, ph - int(th)));
        // The tree starts at the chart's top margin, so that tree rows and
        // chart rows line up.
        tree->setGeometry(0, topMargin_, background->width(), std::max(0, background->height() - int(topMargin_)));
    } else {
        background->setGeometry(0, 0, pw, ph);
        tree->setGeometry(0, 0, pw, ph);
    }
    if (window->gridWindow) window->gridWindow->setGeometry(window->ResourcesPage()->rect());
    tabs->update();
}

void QMXGanttChartControl::OnSplitterBeforeMove(LONG* pnDelta)
{
    if (!window_ || !window_->splitterWindow) return;
    const int left = window_->splitterWindow->x();
    const int treeLeft = window_->Tree()->mapTo(window_->TasksPage(), QPoint(0, 0)).x();
    const int pageRight = window_->TasksPage()->width();
    LONG delta = *pnDelta;
    if (left + delta < treeLeft + kSplitterMinGap) delta = treeLeft + kSplitterMinGap - left;
    if (left + kSplitterWidth + delta > pageRight - kSplitterMinGap) delta = pageRight - kSplitterMinGap - kSplitterWidth - left;
    *pnDelta = delta;
}

void QMXGanttChartControl::OnPaneTaskLButtonDown(ITask* task, LONG keys)
{
    TreeItem* item = OwnItemOf(task);
    if (!item) return;
    if (keys & MK_CONTROL) {
        items_.Toggle(item, true);
    } else if (keys & MK_SHIFT) {
        items_.SelectRange(items_.Anchor(), item);
    } else {
        items_.SelectOnly(item);
    }
}

void QMXGanttChartControl::OnPaneKeyDown(LONG key, LONG options)
{
    if (key == VK_SHIFT && !(options & kKeyDataRepeat)) items_.SetAnchor(items_.Caret());
}

void QMXGanttChartControl::RepaintPane()
{
    if (window_ && window_->paneWindow) window_->paneWindow->update();
}

// ---------------------------------------------------------------------------
// Events.

void QMXGanttChartControl::FireTaskDblClick(ITask* task)
{
    events_.Fire([task](_IGanttChartControlEvents* sink) { sink->TaskDblClick(task); });
}

void QMXGanttChartControl::FireTaskChanged(ITask* task)
{
    events_.Fire([task](_IGanttChartControlEvents* sink) { sink->TaskChanged(task); });
}

void QMXGanttChartControl::FireTimeRangeChanged()
{
    events_.Fire([](_IGanttChartControlEvents* sink) { sink->TimeRangeChanged(); });
}

void QMXGanttChartControl::OnGridDoubleClick()
{
    // With no selected row the event carries no resource.
    ComPtr<IResource> resource;
    get_SelectedResource(resource.ReleaseAndGetAddressOf());
    IResource* selected = resource.Get();
    events_.Fire([selected](_IGanttChartControlEvents* sink) { sink->ResourceDblClick(selected); });
}

void QMXGanttChartControl::FireResourceListContextMenu(LONG x, LONG y)
{
    events_.Fire([x, y](_IGanttChartControlEvents* sink) { sink->ResourceListContextMenu(x, y); });
}

}  // namespace qmx
