// The main window's Print command: the platform's print dialog (printer,
// page range, copies, paper and orientation), then a print job over the
// composite control with the wait cursor, and a clear message when the job
// cannot be done.
#pragma once

#include <functional>

class QPrinter;
class QWidget;
struct IGanttChartControl;

namespace qmx {

class UserInterface;

// Lets the user set up the printer; false on Cancel. The default shows
// QPrintDialog; tests pass their own.
using ChoosePrinter = std::function<bool(QPrinter& printer, QWidget* parent)>;
bool ShowPrintDialog(QPrinter& printer, QWidget* parent);

// The messages of the command: string identifiers of the language resources.
inline constexpr int kPaperTooSmallMessage = 174;
inline constexpr int kPrinterFailedMessage = 175;
inline constexpr int kPrintingFailedMessage = 176;

// Runs the command: true when pages went to the printer.
bool PrintChart(QWidget* parent, IGanttChartControl* control, UserInterface& ui,
                const ChoosePrinter& choose = ShowPrintDialog);

}  // namespace qmx
