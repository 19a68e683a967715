#include "app/print/print_chart.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "app/language_resources.h"
#include "app/user_interface.h"
#include "chart/chart_control_interfaces.h"
#include "chart/print_job.h"

namespace qmx {

namespace {

void ShowMessage(UserInterface& ui, int stringId, MessageIcon icon)
{
    ui.ShowMessage(LanguageResources::String(stringId).toStdU16String(), MessageButtons::Ok, icon, MessageAnswer::Ok);
}

}  // namespace

bool ShowPrintDialog(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    // The page count depends on the paper chosen here, so any range may be
    // asked for; the job keeps to the pages there are.
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, 9999);
    return dialog.exec() == QDialog::Accepted;
}

bool PrintChart(QWidget* parent, IGanttChartControl* control, UserInterface& ui, const ChoosePrinter& choose)
{
    if (!control) return false;
    QPrinter printer(QPrinter::HighResolution);
    // The whole sheet is the page: the chart keeps its own margins.
    printer.setFullPage(true);
    printer.setFromTo(0, 0);
    if (!choose || !choose(printer, parent)) return false;

    LONG first = 1;
    LONG last = 0;  // to the end
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = printer.toPage();
    }
    // Copies the printer cannot make itself are printed one after another.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);

    ui.SetWaitCursor(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        ui.SetWaitCursor(false);
        ShowMessage(ui, kPrinterFailedMessage, MessageIcon::Exclamation);
        return false;
    }
    PrintJobResult job;
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0 && !printer.newPage()) break;
        job = RunPrintJob(control, painter, first, last, [&printer] { return printer.newPage(); });
        if (FAILED(job.hr) || job.printed == 0) break;
    }
    const bool paperTooSmall = job.hr == E_FAIL && job.pageCount == 0;
    if (FAILED(job.hr)) printer.abort();
    painter.end();
    ui.SetWaitCursor(false);
    if (paperTooSmall) {
        ShowMessage(ui, kPaperTooSmallMessage, MessageIcon::Exclamation);
        return false;
    }
    if (FAILED(job.hr)) {
        ShowMessage(ui, kPrintingFailedMessage, MessageIcon::Error);
        return false;
    }
    return job.printed > 0;
}

}  // namespace qmx
