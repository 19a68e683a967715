// The commands that open the editing dialogs act on the chart control's
// selection, and on nothing without one.
#include "app/dialogs/editing_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/dialogs/tests/recording_adapter.h"
#include "app/dialogs/tests/scripted_user_interface.h"
#include "chart/tests/chart_control_double_base.h"
#include "model/null_sinks.h"
#include "model/project_model.h"

namespace qmx {
namespace {

using ::testing::ElementsAre;

// A chart control whose selection the test sets.
class SelectionControl final : public testing::ChartControlDoubleBase {
public:
    ComPtr<ITask> selectedTask;
    ComPtr<IResource> selectedResource;
    ComPtr<IResources> pool;

    HRESULT get_MinDate(DATE*) override { return E_NOTIMPL; }
    HRESULT get_MaxDate(DATE*) override { return E_NOTIMPL; }
    HRESULT EnumVisibleTasks(IEnumTasks**) override { return E_NOTIMPL; }
    HRESULT GetTaskTreeItemBounds(ITask*, LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT GetTaskTreeItemHeight(LONG*) override { return E_NOTIMPL; }
    HRESULT get_TaskTree(ITaskTree**) override { return E_NOTIMPL; }
    HRESULT get_Resources(IResources** pp) override { return pool.CopyTo(pp); }
    HRESULT get_SelectedTask(ITask** pp) override
    {
        if (!pp) return E_POINTER;
        if (!selectedTask) return *pp = nullptr, S_FALSE;
        return selectedTask.CopyTo(pp);
    }
    HRESULT get_SelectedResource(IResource** pp) override
    {
        if (!pp) return E_POINTER;
        if (!selectedResource) return *pp = nullptr, S_FALSE;
        return selectedResource.CopyTo(pp);
    }
};

TEST(EditingCommands, ActOnTheSelectionOnly)
{
    NullSinks sinks;
    ProjectModel model(&sinks, &sinks, &sinks, &sinks);
    const auto control = MakeObject<SelectionControl>();
    control->pool = model.Resources();
    const auto adapter = MakeObject<testing::RecordingAdapter>();
    testing::ScriptedUserInterface ui;
    ui.resourceNameAnswer = u"Renamed";

    EXPECT_FALSE(EditSelectedTask(ui, control.Get(), adapter.Get()));
    EXPECT_FALSE(EditSelectedResource(ui, control.Get(), adapter.Get()));
    EXPECT_TRUE(ui.taskDialogs.empty());

    model.TaskTree()->AddTask(0, -1, u"Task", control->selectedTask.ReleaseAndGetAddressOf());
    model.Resources()->Add(u"Ann", control->selectedResource.ReleaseAndGetAddressOf());
    EXPECT_TRUE(EditSelectedTask(ui, control.Get(), adapter.Get()));
    ASSERT_EQ(ui.taskDialogs.size(), 1u);
    EXPECT_EQ(ui.taskDialogs[0].task, control->selectedTask.Get());
    EXPECT_EQ(ui.taskDialogs[0].pool, model.Resources());
    EXPECT_EQ(ui.taskDialogs[0].adapter, adapter.Get());
    EXPECT_TRUE(EditSelectedResource(ui, control.Get(), adapter.Get()));
    EXPECT_THAT(adapter->log, ElementsAre("ResourceUpdate 1"));
}

}  // namespace
}  // namespace qmx
