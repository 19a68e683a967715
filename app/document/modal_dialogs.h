// Cancelling the modal dialog that is open over the main window, as a
// host's Visible false does before it hides the window.
#pragma once

class QWidget;

namespace qmx {

// The first visible dialog whose parent is `window` is rejected; when it
// has a visible dialog of its own over it, that one (and so on inwards) is
// rejected first. False when no dialog was open.
bool CancelModalDialog(QWidget* window);

}  // namespace qmx
