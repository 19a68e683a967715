#include "app/dialogs/editing_commands.h"

#include "app/dialogs/text_dialogs.h"
#include "app/user_interface.h"
#include "automation/com_ptr.h"
#include "chart/chart_control_interfaces.h"

namespace qmx {

bool EditSelectedTask(UserInterface& ui, IGanttChartControl* control, IGanttAdapter* adapter)
{
    if (!control) return false;
    ComPtr<ITask> task;
    if (control->get_SelectedTask(task.ReleaseAndGetAddressOf()) != S_OK || !task) return false;
    ComPtr<IResources> pool;
    control->get_Resources(pool.ReleaseAndGetAddressOf());
    return ui.EditTaskProperties(task.Get(), pool.Get(), adapter);
}

bool EditSelectedResource(UserInterface& ui, IGanttChartControl* control, IGanttAdapter* adapter)
{
    if (!control) return false;
    ComPtr<IResource> resource;
    if (control->get_SelectedResource(resource.ReleaseAndGetAddressOf()) != S_OK || !resource) return false;
    return EditResourceName(ui, resource.Get(), adapter);
}

}  // namespace qmx
