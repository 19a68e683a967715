#include "app/frame/chart_host_view.h"

#include <algorithm>

#include <QPainter>
#include <QPrinter>
#include <QResizeEvent>

#include "automation/runtime/activation.h"
#include "automation/runtime/registry_store.h"
#include "automation/runtime/widget_control.h"
#include "chart/print_job.h"

namespace qmx {

ChartHostView::ChartHostView(QWidget* parent) : QWidget(parent)
{
    // The control covers the whole view: nothing to erase underneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

ChartHostView::~ChartHostView()
{
    // The window is a child of this view and goes with it; the control
    // object's last reference goes after it.
    delete window_.data();
    control_.Reset();
}

HRESULT ChartHostView::CreateControl(const RegistryStore* store)
{
    CLSID clsid{};
    HRESULT hr = store ? CLSIDFromProgID(*store, kGanttChartControlVersionIndependentProgId, &clsid)
                       : CLSIDFromProgID(kGanttChartControlVersionIndependentProgId, &clsid);
    if (FAILED(hr)) return hr;
    ComPtr<IGanttChartControl> control;
    hr = store ? CreateInstance(*store, clsid, IGanttChartControl::iid,
                                reinterpret_cast<void**>(control.ReleaseAndGetAddressOf()))
               : CreateInstance(clsid, &control);
    if (FAILED(hr)) return hr;
    ComPtr<IWidgetControl> widgetControl;
    if (FAILED(control.As(&widgetControl))) return E_NOINTERFACE;
    QWidget* window = nullptr;
    hr = widgetControl->CreateControlWindow(this, &window);
    if (FAILED(hr)) return hr;
    if (!window) return E_FAIL;
    window->setObjectName(QString::number(kControlChildId));
    window->setGeometry(0, 0, 400, 300);
    window->show();
    setFocusProxy(window);
    control_ = std::move(control);
    window_ = window;
    if (!size().isEmpty()) window->setGeometry(rect());
    return S_OK;
}

void ChartHostView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QWidget* top = window();
    if (window_ && !(top && top->isMinimized()) && !event->size().isEmpty()) window_->setGeometry(rect());
}

HRESULT ChartHostView::PrintTo(QPrinter& printer)
{
    if (!control_) return E_FAIL;
    QPainter painter;
    if (!painter.begin(&printer)) return E_FAIL;
    LONG first = 1;
    LONG last = 0;  // to the end
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = printer.toPage();
    }
    const PrintJobResult job =
        RunPrintJob(control_.Get(), painter, first, last, [&printer] { return printer.newPage(); });
    painter.end();
    return job.hr;
}

}  // namespace qmx
