// ChartHostView: the main window's one view, the host of the composite
// chart control, and the print loop over the control's pages.
#pragma once

#include <QPointer>
#include <QWidget>

#include "automation/com_ptr.h"
#include "chart/chart_control_interfaces.h"

class QPrinter;

namespace qmx {

class RegistryStore;

class ChartHostView final : public QWidget {
public:
    // The child identifier of the control's window, kept as its object name.
    static constexpr int kControlChildId = 1000;

    explicit ChartHostView(QWidget* parent = nullptr);
    ~ChartHostView() override;

    // Creates the chart control by its ProgID "QMXGanttChart.Control"
    // (through `store`, null: the default one) as a visible child of
    // 400 x 300 pixels. A failure leaves the view without a control.
    HRESULT CreateControl(const RegistryStore* store);

    IGanttChartControl* Control() const { return control_.Get(); }
    QWidget* ControlWindow() const { return window_; }

    // The print loop: PreparePrinting gives the last page, PrintPage draws
    // each page of the printer's range, EndPrinting ends it. A failure of
    // PreparePrinting or of a page stops printing and is returned.
    HRESULT PrintTo(QPrinter& printer);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    ComPtr<IGanttChartControl> control_;
    QPointer<QWidget> window_;
};

}  // namespace qmx
