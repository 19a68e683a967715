// What the chart pane remembers between the mouse messages of a drag.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include "automation/com_ptr.h"
#include "chart/chart_drag.h"
#include "chart/chart_layout.h"

namespace qmx {

struct DragState {
    // The task under the mouse at the last hit test, and its item as it was
    // then; both are released at the next hit test.
    ComPtr<ITask> hoveredTask;
    TaskItem hoveredItem;
    bool buttonDown = false;  // pressed on the hovered task; the window has the mouse
    DragMode mode = DragMode::None;
    bool endZone = false;
    bool percentZone = false;
    LONG pressX = 0;  // window pixels
    LONG lastX = 0;
    LONG trackedPercent = 0;
    // The dragged task's row as it was drawn when the drag began (window
    // coordinates), and what is shown over it now: the row with the outline,
    // or, in a percent drag, the bar alone.
    QImage snapshot;
    QRect snapshotRect;
    QImage feedback;
    QRect feedbackRect;
    QString tooltipText;
    // The view the drag maps pixels to dates with; a drag ends when it moves.
    DragFrame frame;
};

}  // namespace qmx
