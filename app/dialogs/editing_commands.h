// The bodies of the editing commands that open the dialogs, through the
// user-interface seam: Task properties (also a double click on a task) and
// Resource properties act on the chart control's selection; New resource
// and Document properties use EditResourceName and EditDocumentProperties
// of text_dialogs.h. The adapter may be null: nothing is forwarded.
#pragma once

struct IGanttAdapter;
struct IGanttChartControl;

namespace qmx {

class UserInterface;

// The task dialog on the selected task; nothing without one. True on OK.
bool EditSelectedTask(UserInterface& ui, IGanttChartControl* control, IGanttAdapter* adapter);
// The resource name dialog on the selected resource; true when the name
// changed (and ResourceUpdate was forwarded).
bool EditSelectedResource(UserInterface& ui, IGanttChartControl* control, IGanttAdapter* adapter);

}  // namespace qmx
