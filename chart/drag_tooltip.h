// The tracking tooltip of a drag on the chart: a borderless tool-tip window
// that shows the dates or the percentage a drag would set and follows the
// pointer. Unlike QToolTip it stays up while the mouse moves and is placed
// exactly where the pane asks.
#pragma once

#include <QLabel>

namespace qmx {

class DragTooltip final : public QLabel {
public:
    // A window of its own, deleted with `owner`.
    explicit DragTooltip(QWidget* owner);

    // Shows the tooltip with its top-left corner at the screen position.
    void Activate(const QPoint& screenPosition, const QString& text);
    void TrackPosition(const QPoint& screenPosition);
    // A new text for the shown tooltip; resized to fit.
    void Refresh(const QString& text);
    void Deactivate();
    bool IsActive() const { return active_; }

private:
    bool active_ = false;
};

}  // namespace qmx
