#include "chart/print_job.h"

#include <algorithm>

#include "chart/chart_control_interfaces.h"

namespace qmx {

PrintJobResult RunPrintJob(IGanttChartControl* control, QPainter& painter, LONG firstPage, LONG lastPage,
                           const std::function<bool()>& newPage)
{
    PrintJobResult result;
    if (!control) {
        result.hr = E_POINTER;
        return result;
    }
    result.hr = control->PreparePrinting(&painter, &result.pageCount);
    if (SUCCEEDED(result.hr)) {
        const LONG first = std::max(firstPage, LONG(1));
        const LONG last = lastPage <= 0 ? result.pageCount : std::min(lastPage, result.pageCount);
        for (LONG page = first; page <= last; ++page) {
            if (page > first && newPage && !newPage()) {
                result.hr = E_ABORT;
                break;
            }
            const HRESULT hr = control->PrintPage(&painter, page);
            if (FAILED(hr)) {
                result.hr = hr;
                break;
            }
            ++result.printed;
        }
        if (SUCCEEDED(result.hr)) result.hr = S_OK;
    } else {
        result.pageCount = 0;
    }
    const HRESULT ended = control->EndPrinting();
    if (SUCCEEDED(result.hr) && FAILED(ended)) result.hr = ended;
    return result;
}

}  // namespace qmx
