// The chart pane's printing: one stripe per visible task, laid out once per
// print job in device pixels, and drawn page by page into the rectangle the
// composite control gives. Work per page is what the page shows: bars are
// found by binary search and links through an index of row bands.
#include <algorithm>

#include <QPainter>

#include "chart/chart_control_interfaces.h"
#include "chart/gantt_chart_pane.h"

namespace qmx {

namespace {

// Rows of the link index's bands, in stripes.
constexpr LONG kStripesPerBand = 32;

}  // namespace

HRESULT QMXGanttChartPane::PreparePrinting(QPainter* hDC, LONG nTaskStripeHeight, LONG nTopMargin)
{
    if (!hDC) return E_POINTER;
    if (!control_ || !timeline_) return E_UNEXPECTED;
    if (nTaskStripeHeight <= 0 || nTopMargin < 0) return E_INVALIDARG;
    print_.reset();
    printing_.Clear();
    const std::optional<DeviceScale> scale = DeviceScale::Of(hDC->device());
    if (!scale) return E_FAIL;
    PrintState state;
    state.scale = *scale;
    state.stripeHeight = nTaskStripeHeight;
    state.topMargin = nTopMargin;
    state.metrics = PrintedChartMetrics(*scale);
    if (!ReadView(state.view)) return E_FAIL;
    print_ = std::move(state);

    ComPtr<IEnumTasks> tasks;
    LONG count = 0;
    HRESULT hr = control_->EnumVisibleTasks(tasks.ReleaseAndGetAddressOf());
    if (FAILED(hr) || !tasks || FAILED(tasks->GetCount(&count))) {
        print_.reset();
        return E_FAIL;
    }
    // Task k's stripe: from k x stripe to (k + 1) x stripe, plus the margin.
    LayoutFrame frame;
    frame.width = 0;  // mapped for each printed rectangle
    frame.viewStart = print_->view.viewStart;
    frame.viewEnd = print_->view.viewEnd;
    frame.topMargin = 0;
    frame.rowHeight = std::max(PrintY(nTaskStripeHeight), LONG(1));
    frame.height = std::max(PrintY(double(count) * nTaskStripeHeight + nTopMargin), LONG(0)) + 1;
    frame.fixedRows = [this](std::size_t place, LONG& top, LONG& bottom) {
        const double stripeTop = double(place) * print_->stripeHeight + print_->topMargin;
        top = PrintY(stripeTop);
        bottom = PrintY(stripeTop + print_->stripeHeight);
    };
    hr = LayOutChart(control_, frame, printing_);
    if (FAILED(hr)) {
        print_.reset();
        printing_.Clear();
        return E_FAIL;
    }
    IndexPrintedLinks();

    hr = timeline_->PreparePrinting(hDC);
    if (FAILED(hr)) {
        print_.reset();
        printing_.Clear();
        return hr;
    }
    print_->labelFont = chartFont_;
    print_->labelFont.setPixelSize(std::max(1, int(PrintY(page_layout::kLabelFontHeight))));
    return S_OK;
}

void QMXGanttChartPane::IndexPrintedLinks()
{
    PrintState& state = *print_;
    state.bandHeight = std::max(PrintY(double(kStripesPerBand) * state.stripeHeight), LONG(1));
    const auto& items = printing_.Items();
    const LONG reach = std::max(state.metrics.headLength, state.metrics.headHalfWidth + 1);
    const LONG end = items.empty() ? 0 : items.back().Bottom + reach;
    state.linkBands.assign(std::size_t(std::max(end, LONG(0)) / state.bandHeight + 1), {});
    const auto& links = printing_.Links();
    state.linkStamp.assign(links.size(), 0);
    state.page = 0;
    for (std::size_t k = 0; k < links.size(); ++k) {
        const TaskItem& p = items[links[k].predecessorItem];
        const TaskItem& s = items[links[k].successorItem];
        const LONG top = std::max(std::min(p.Top, s.Top) - reach, LONG(0));
        const LONG bottom = std::max(std::max(p.Bottom, s.Bottom) + reach, top);
        const std::size_t last = std::min(std::size_t(bottom / state.bandHeight), state.linkBands.size() - 1);
        for (std::size_t band = std::size_t(top / state.bandHeight); band <= last; ++band)
            state.linkBands[band].push_back(k);
    }
}

std::vector<std::size_t> QMXGanttChartPane::PrintedLinksIn(LONG top, LONG bottom)
{
    PrintState& state = *print_;
    std::vector<std::size_t> found;
    if (state.linkBands.empty() || bottom <= top) return found;
    ++state.page;
    const std::size_t first = std::size_t(std::max(top, LONG(0)) / state.bandHeight);
    const std::size_t last =
        std::min(std::size_t(std::max(bottom - 1, LONG(0)) / state.bandHeight), state.linkBands.size() - 1);
    for (std::size_t band = first; band <= last; ++band) {
        for (std::size_t k : state.linkBands[band]) {
            if (state.linkStamp[k] == state.page) continue;
            state.linkStamp[k] = state.page;
            found.push_back(k);
        }
    }
    // In layout order, as the screen draws them.
    std::sort(found.begin(), found.end());
    return found;
}

HRESULT QMXGanttChartPane::EndPrinting()
{
    HRESULT hr = S_OK;
    if (timeline_) hr = timeline_->EndPrinting();
    print_.reset();
    printing_.Clear();
    return hr;
}

HRESULT QMXGanttChartPane::PrintTimelinePane(QPainter* hDC, LONG left, LONG top, LONG right, LONG bottom)
{
    if (!hDC) return E_POINTER;
    if (!timeline_) return E_UNEXPECTED;
    return timeline_->Print(hDC, left, top, right, bottom);
}

HRESULT QMXGanttChartPane::PrintChartPane(QPainter* hDC, LONG iFromTask, LONG iToTask, LONG left, LONG top,
                                          LONG right, LONG bottom)
{
    if (!hDC) return E_POINTER;
    if (!print_ || !control_ || !timeline_) return E_UNEXPECTED;
    if (iFromTask < 0 || iToTask < iFromTask) return E_INVALIDARG;
    PrintState& state = *print_;
    const QRect rect(QPoint(int(state.scale.X(left)), int(PrintY(top))),
                     QPoint(int(state.scale.X(right)) - 1, int(PrintY(bottom)) - 1));
    if (rect.isEmpty()) return S_OK;
    if (state.mappedWidth != rect.width()) {
        printing_.MapDates(rect.width(), state.view.viewStart, state.view.viewEnd, false);
        state.mappedWidth = rect.width();
    }
    // The page shows the layout from the first task's stripe on.
    const LONG offset = PrintY(double(iFromTask) * state.stripeHeight);
    ChartPaintScope scope;
    scope.area = QRect(0, int(offset), rect.width(), rect.height());
    scope.barTop = PrintY(double(iFromTask) * state.stripeHeight + state.topMargin);
    scope.barBottom = PrintY((double(iToTask) + 1) * state.stripeHeight + state.topMargin);
    const std::vector<std::size_t> links = PrintedLinksIn(offset, offset + rect.height());
    scope.links = &links;
    const ChartBackdrop backdrop = MakeBackdrop(state.view, rect.width(), true);

    hDC->save();
    hDC->setClipRect(rect, Qt::IntersectClip);
    hDC->translate(rect.left(), rect.top() - offset);
    PaintChartPart(*hDC, scope, backdrop, printing_, state.labelFont, state.metrics);
    hDC->restore();
    return S_OK;
}

}  // namespace qmx
