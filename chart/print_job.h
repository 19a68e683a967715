// One print job over the composite control, as a host runs it: prepare,
// print a range of pages, end. Shared by the display application's Print
// command and the command-line export.
#pragma once

#include <functional>

#include "automation/hresult.h"
#include "automation/types.h"

class QPainter;
struct IGanttChartControl;

namespace qmx {

struct PrintJobResult {
    HRESULT hr = S_OK;   // the first failure, S_OK when every page printed
    LONG pageCount = 0;  // as the preparation answered
    LONG printed = 0;    // pages printed
};

// Prints pages firstPage to lastPage (counted from 1; lastPage 0 or past
// the end: to the last page) on the painter's device. `newPage` is called
// before every page but the first and stops the job when it answers false
// (E_ABORT). Printing is ended on the control whatever happened.
PrintJobResult RunPrintJob(IGanttChartControl* control, QPainter& painter, LONG firstPage, LONG lastPage,
                           const std::function<bool()>& newPage);

}  // namespace qmx
