// The forwarding of every editing command and chart event to the current
// adapter, in its order and with its arguments, and the command states.
#include "app/document/tests/app_object_fixture.h"

#include "app/document/message_ids.h"

namespace qmx::testing {
namespace {

constexpr LONG kEnter = 13, kInsert = 45, kDelete = 46, kF2 = 113, kSpace = 32;

class Forwarding : public AppObjectTest {
protected:
    void SetUp() override
    {
        AppObjectTest::SetUp();
        OpenPlan();
        // The adapter's open added task 1, "opened".
        control_->Tree()->GetTask(1, opened_.ReleaseAndGetAddressOf());
    }

    // The journal of adapter A without the TaskUpdate lines that the model's
    // own consequences (a summary growing, a pushed successor) add.
    Lines Told() const
    {
        Lines lines;
        for (const std::string& line : Journal())
            if (line.rfind("A ", 0) == 0) lines.push_back(line.substr(2));
        return lines;
    }

    VARIANT_BOOL Key(LONG key)
    {
        VARIANT_BOOL handled = VARIANT_FALSE;
        control_->Events().Fire([&](_IGanttChartControlEvents* sink) { sink->TaskTreeKeyDown(key, &handled); });
        return handled;
    }

    ComPtr<ITask> opened_;
};

TEST_F(Forwarding, NewTasksByCommandAndKeys)
{
    ComPtr<ITask> child = control_->Add(1, "child");  // ID 2
    Journal().clear();
    control_->Select({child.Get()});
    EXPECT_EQ(commands_->Execute(Op(40010)), S_OK);  // a subtask of the caret: 3
    EXPECT_EQ(Key(kEnter), VARIANT_TRUE);             // a sibling of the caret: 4 under 1
    EXPECT_EQ(Key(kInsert), VARIANT_TRUE);            // 5 under 2
    control_->Select({});
    EXPECT_EQ(Key(kInsert), VARIANT_TRUE);  // 6 at the root
    EXPECT_EQ(Key(kEnter), VARIANT_TRUE);   // 7 at the root
    EXPECT_EQ(Told(), (Lines{"TaskNew 3", "TaskNew 4", "TaskNew 5", "TaskNew 6", "TaskNew 7"}));
    EXPECT_EQ(control_->calls,
              (Lines{"EditTaskName 3", "EditTaskName 4", "EditTaskName 5", "EditTaskName 6", "EditTaskName 7"}));
    const LONG expectedParents[] = {2, 1, 2, 0, 0};
    for (LONG id = 3; id <= 7; ++id) {
        ComPtr<ITask> task;
        ComPtr<ITask> parent;
        control_->Tree()->GetTask(id, task.ReleaseAndGetAddressOf());
        task->get_ParentTask(parent.ReleaseAndGetAddressOf());
        LONG parentId = 0;
        if (parent) parent->get_ID(&parentId);
        EXPECT_EQ(parentId, expectedParents[id - 3]) << id;
        BSTR name;
        task->get_Name(&name);
        EXPECT_EQ(BstrToUtf8(name), Message(kStrNewTaskName));
    }
}

TEST_F(Forwarding, DeleteAsksAndSkipsChildrenOfSelectedTasks)
{
    ComPtr<ITask> a = control_->Add(0, "a");   // 2
    ComPtr<ITask> a1 = control_->Add(2, "a1"); // 3
    ComPtr<ITask> b = control_->Add(0, "b");   // 4
    control_->Select({a.Get(), a1.Get(), b.Get()});
    Journal().clear();

    ui_.answers = {MessageAnswer::No};
    EXPECT_EQ(commands_->Execute(Op(40011)), S_FALSE);
    EXPECT_TRUE(Told().empty());
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, Message(kMsgDeleteTasks));
    EXPECT_EQ(ui_.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(ui_.messages[0].defaultAnswer, MessageAnswer::No);

    ui_.answers = {MessageAnswer::Yes};
    EXPECT_EQ(Key(kDelete), VARIANT_TRUE);
    EXPECT_EQ(Told(), (Lines{"TaskDelete 2", "TaskDelete 4"}));
    VARIANT_BOOL exists = VARIANT_TRUE;
    control_->Tree()->TaskIDExists(3, &exists);
    EXPECT_EQ(exists, VARIANT_FALSE);

    // Delete and F2 without a selected task are left to the tree.
    control_->Select({});
    EXPECT_EQ(Key(kDelete), VARIANT_FALSE);
    EXPECT_EQ(Key(kF2), VARIANT_FALSE);
    EXPECT_EQ(Key(kSpace), VARIANT_FALSE);
    control_->Select({opened_.Get()});
    control_->calls.clear();
    EXPECT_EQ(Key(kF2), VARIANT_TRUE);
    EXPECT_EQ(control_->calls, Lines{"EditTaskName 1"});
}

TEST_F(Forwarding, MovesIndentAndOutdent)
{
    ComPtr<ITask> b = control_->Add(0, "b");  // 2
    ComPtr<ITask> c = control_->Add(0, "c");  // 3
    Journal().clear();
    control_->Select({c.Get()});
    EXPECT_EQ(commands_->Execute(Op(40014)), S_OK);  // up: 1 3 2
    EXPECT_EQ(commands_->Execute(Op(40016)), S_OK);  // indent under 1
    LONG index = -1;
    c->get_Index(&index);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(commands_->Execute(Op(40017)), S_OK);  // outdent: after 1
    c->get_Index(&index);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(commands_->Execute(Op(40015)), S_OK);  // down: 1 2 3
    c->get_Index(&index);
    EXPECT_EQ(index, 2);
    // Already last: the command is disabled and does nothing.
    EXPECT_EQ(commands_->Execute(Op(40015)), S_FALSE);
    EXPECT_EQ(JournalOf("A TaskMove"), (Lines{"A TaskMove 3", "A TaskMove 3", "A TaskMove 3", "A TaskMove 3"}));
}

TEST_F(Forwarding, IndentIntoADependencyCycleIsReported)
{
    // b must start after the end of c, which starts after a: b cannot go under a.
    ComPtr<ITask> b = control_->Add(0, "b");  // 2
    ComPtr<ITask> c = control_->Add(0, "c");  // 3
    ASSERT_EQ(control_->Tree()->DependencyLink(1, 3, dtFinishToStart), S_OK);
    ASSERT_EQ(control_->Tree()->DependencyLink(3, 2, dtFinishToStart), S_OK);
    Journal().clear();
    control_->Select({b.Get()});
    EXPECT_EQ(commands_->Execute(Op(40016)), E_TASK_CYCLE);
    EXPECT_EQ(ui_.Texts(), Lines{Message(kMsgTaskCycle)});
    EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(JournalOf("A TaskMove").empty());
}

TEST_F(Forwarding, LinkMakesAChainAndUnlinkTellsFirstForOneTask)
{
    ComPtr<ITask> b = control_->Add(0, "b");  // 2
    ComPtr<ITask> c = control_->Add(0, "c");  // 3
    Journal().clear();
    control_->Select({opened_.Get(), b.Get(), c.Get()});
    EXPECT_EQ(commands_->Execute(Op(40018)), S_OK);
    EXPECT_EQ(JournalOf("A TaskDependency"), (Lines{"A TaskDependencyLink 1 2 2", "A TaskDependencyLink 2 3 2"}));
    VARIANT_BOOL path = VARIANT_FALSE;
    control_->Tree()->TaskPathExists(1, 3, &path);
    EXPECT_EQ(path, VARIANT_TRUE);
    ComPtr<ITaskDependencies> successors;
    LONG count = 0;
    opened_->get_Successors(successors.ReleaseAndGetAddressOf());
    successors->get_Count(&count);
    EXPECT_EQ(count, 1);  // not 1 to 3

    // One task: the adapter hears of each link while the model still has it.
    Journal().clear();
    control_->Select({b.Get()});
    EXPECT_EQ(commands_->Execute(Op(40019)), S_OK);
    EXPECT_EQ(JournalOf("A TaskDependency"),
              (Lines{"A TaskDependencyUnlink(held) 1 2", "A TaskDependencyUnlink(held) 2 3"}));
    control_->Tree()->TaskPathExists(1, 3, &path);
    EXPECT_EQ(path, VARIANT_FALSE);
    b->get_Successors(successors.ReleaseAndGetAddressOf());
    successors->get_Count(&count);
    EXPECT_EQ(count, 0);
}

TEST_F(Forwarding, UnlinkOfSeveralTasksTakesEachPairInEitherDirection)
{
    ComPtr<ITask> b = control_->Add(0, "b");  // 2
    ComPtr<ITask> c = control_->Add(0, "c");  // 3
    ComPtr<ITask> d = control_->Add(0, "d");  // 4, not selected
    ASSERT_EQ(control_->Tree()->DependencyLink(1, 2, dtFinishToStart), S_OK);
    ASSERT_EQ(control_->Tree()->DependencyLink(3, 2, dtStartToStart), S_OK);
    ASSERT_EQ(control_->Tree()->DependencyLink(3, 1, dtFinishToStart), S_OK);
    ASSERT_EQ(control_->Tree()->DependencyLink(2, 4, dtFinishToStart), S_OK);
    Journal().clear();
    control_->Select({opened_.Get(), b.Get(), c.Get()});
    EXPECT_EQ(commands_->Execute(Op(40019)), S_OK);
    // Pairs (1,2), (1,3), (2,3) in that order; made after the model's unlink.
    EXPECT_EQ(JournalOf("A TaskDependency"),
              (Lines{"A TaskDependencyUnlink 1 2", "A TaskDependencyUnlink 3 1", "A TaskDependencyUnlink 3 2"}));
    VARIANT_BOOL path = VARIANT_FALSE;
    control_->Tree()->TaskPathExists(2, 4, &path);
    EXPECT_EQ(path, VARIANT_TRUE);  // d was not selected
}

TEST_F(Forwarding, TaskColourIsSetWhenItChanged)
{
    control_->Select({opened_.Get()});
    ui_.colorAnswer = RGB(192, 224, 255);  // what the default colour shows: no change
    EXPECT_EQ(commands_->Execute(Op(40013)), S_FALSE);
    ui_.colorAnswer = RGB(255, 0, 0);
    EXPECT_EQ(commands_->Execute(Op(40013)), S_OK);
    EXPECT_EQ(ui_.colorPresets, (std::vector<std::uint32_t>{RGB(192, 224, 255), RGB(192, 224, 255)}));
    EXPECT_EQ(Told(), Lines{"TaskUpdate 1"});
    ComPtr<ITaskAppearance> appearance;
    opened_->get_Appearance(appearance.ReleaseAndGetAddressOf());
    COLORREF color = 0;
    appearance->get_Color(&color);
    EXPECT_EQ(color, RGB(255, 0, 0));
    ui_.colorAnswer = std::nullopt;
    EXPECT_EQ(commands_->Execute(Op(40013)), S_FALSE);
    EXPECT_EQ(ui_.colorPresets.back(), RGB(255, 0, 0));
}

TEST_F(Forwarding, ResourcesNewRenameAndDelete)
{
    ui_.resourceNameAnswer = u"Ann";
    EXPECT_EQ(commands_->Execute(Op(40020)), S_OK);
    EXPECT_EQ(control_->calls, (Lines{"CurrentView 1", "SelectedResource 1"}));
    EXPECT_EQ(Told(), (Lines{"ResourceNew 1", "ResourceUpdate 1"}));

    // The name dialog left unchanged tells nothing more.
    Journal().clear();
    ui_.resourceNameAnswer = std::nullopt;
    EXPECT_EQ(commands_->Execute(Op(40020)), S_OK);
    EXPECT_EQ(Told(), Lines{"ResourceNew 2"});
    ComPtr<IResource> second;
    control_->Pool()->GetResourceByID(2, second.ReleaseAndGetAddressOf());
    BSTR name;
    second->get_Name(&name);
    EXPECT_EQ(BstrToUtf8(name), Message(kStrNewResourceName));

    // A double click renames the selected resource.
    Journal().clear();
    ui_.resourceNameAnswer = u"Bob";
    control_->Events().Fire([&](_IGanttChartControlEvents* sink) { sink->ResourceDblClick(second.Get()); });
    EXPECT_EQ(Told(), Lines{"ResourceUpdate 2"});

    // Deleting drops its assignments first, each told by the control's event.
    ComPtr<ITaskResources> assignments;
    ComPtr<ITaskResource> assignment;
    opened_->get_Resources(assignments.ReleaseAndGetAddressOf());
    ASSERT_EQ(assignments->Add(second.Get(), assignment.ReleaseAndGetAddressOf()), S_OK);
    Journal().clear();
    EXPECT_EQ(commands_->Execute(Op(40021)), S_OK);
    EXPECT_EQ(Told(), (Lines{"TaskResourceDelete 1 2", "ResourceDelete 2"}));
    VARIANT_BOOL exists = VARIANT_TRUE;
    control_->Pool()->ResourceIDExists(2, &exists);
    EXPECT_EQ(exists, VARIANT_FALSE);
}

TEST_F(Forwarding, ViewSettingsAndDocumentProperties)
{
    EXPECT_EQ(commands_->Execute(Op(102)), S_OK);
    EXPECT_EQ(commands_->Execute(Op(103)), S_OK);
    EXPECT_EQ(commands_->Execute(Op(119)), S_OK);
    // A cannot keep match colours: the command stays disabled.
    EXPECT_EQ(commands_->Execute(Op(124)), S_FALSE);
    // Refresh belongs to hosted mode.
    EXPECT_EQ(commands_->Execute(Op(130)), S_FALSE);
    ui_.documentAnswer = std::make_pair(std::u16string(u"Plan"), std::u16string(u"Notes"));
    EXPECT_EQ(commands_->Execute(Op(40006)), S_OK);
    EXPECT_EQ(Told(), (Lines{"DocumentViewUpdate", "DocumentViewUpdate", "FilePropertiesUpdate",
                             "FilePropertiesUpdate"}));
    EXPECT_EQ(control_->calls, (Lines{"ZoomIn", "ZoomOut", "Title Plan"}));
    VARIANT_BOOL autocorrect = VARIANT_TRUE;
    control_->Tree()->get_AutocorrectTaskDates(&autocorrect);
    EXPECT_EQ(autocorrect, VARIANT_FALSE);

    // Cancelled: nothing.
    Journal().clear();
    ui_.documentAnswer = std::nullopt;
    EXPECT_EQ(commands_->Execute(Op(40006)), S_FALSE);
    EXPECT_TRUE(Told().empty());
}

TEST_F(Forwarding, ControlEvents)
{
    ComPtr<ITaskResources> assignments;
    auto fire = [&](auto call) { control_->Events().Fire(call); };
    fire([&](_IGanttChartControlEvents* s) { s->TaskChanged(opened_.Get()); });
    fire([](_IGanttChartControlEvents* s) { s->TimeRangeChanged(); });
    fire([](_IGanttChartControlEvents* s) { s->TaskTreeContextMenu(10, 20); });
    fire([](_IGanttChartControlEvents* s) { s->ResourceListContextMenu(5, 6); });
    control_->Select({opened_.Get()});
    fire([&](_IGanttChartControlEvents* s) { s->TaskDblClick(opened_.Get()); });
    EXPECT_EQ(Told(), (Lines{"TaskUpdate 1", "DocumentViewUpdate"}));
    EXPECT_EQ(ui_.menus, (Lines{"0 10 20", "1 5 6"}));
    EXPECT_EQ(ui_.taskDialogs, 1);
    EXPECT_NE(ui_.taskDialogAdapter, nullptr);

    // With no document, changes stay in the model and reach no adapter.
    commands_->Execute(Op(57602));
    Journal().clear();
    fire([&](_IGanttChartControlEvents* s) { s->TaskChanged(opened_.Get()); });
    EXPECT_EQ(Key(kInsert), VARIANT_TRUE);
    EXPECT_TRUE(Journal().empty());
}

TEST_F(AppObjectTest, CommandStates)
{
    struct Row {
        int command;
        bool enabled;
        LONG checked;
    };
    auto check = [&](const char* scene, std::initializer_list<Row> rows) {
        for (const Row& row : rows) {
            LONG checked = -1;
            EXPECT_EQ(Enabled(row.command, &checked), row.enabled) << scene << " " << row.command;
            EXPECT_EQ(checked, row.checked) << scene << " " << row.command;
        }
    };
    ASSERT_EQ(controller_->Initialize(), S_OK);
    check("nothing open", {{57600, true, 0}, {57601, true, 0}, {57603, false, 0}, {40003, false, 0},
                           {125, false, 0}, {57602, false, 0}, {57607, false, 0}, {40006, false, 0},
                           {40010, false, 0}, {40020, false, 0}, {107, true, 1}, {108, true, 0},
                           {135, true, 1}, {136, true, 1}, {137, true, 1}, {102, false, 0}, {130, false, 0}});

    ASSERT_EQ(controller_->OpenDocument(u"/plans/plan.pln"), S_OK);
    ComPtr<ITask> first;
    control_->Tree()->GetTask(1, first.ReleaseAndGetAddressOf());
    ComPtr<ITask> second = control_->Add(0, "second");
    check("open, nothing selected",
          {{57603, true, 0}, {40003, true, 0}, {125, false, 0}, {57602, true, 0}, {57607, true, 0},
           {57609, true, 0}, {40006, true, 0}, {57635, false, 0}, {57637, false, 0}, {40010, true, 0},
           {40011, false, 0}, {40012, false, 0}, {40018, true, 0}, {40019, true, 0}, {40020, true, 0},
           {102, true, 0}, {119, true, 1}, {124, false, 1}, {130, false, 0}});

    control_->Select({first.Get()});
    check("first selected", {{57635, true, 0}, {40011, true, 0}, {40012, true, 0}, {40013, true, 0},
                             {40014, false, 0}, {40015, true, 0}, {40016, false, 0}, {40017, false, 0}});
    control_->Select({second.Get()});
    check("second selected", {{40014, true, 0}, {40015, false, 0}, {40016, true, 0}, {40017, false, 0}});
    ComPtr<ITask> child = control_->Add(2, "child");
    control_->Select({child.Get()});
    check("a child selected", {{40017, true, 0}, {40014, false, 0}, {40015, false, 0}});
    control_->Select({first.Get(), second.Get()});
    check("two selected", {{40011, true, 0}, {40012, false, 0}, {40013, false, 0}, {40014, false, 0}});

    control_->chartVisible = false;
    check("chart hidden", {{135, false, 1}, {136, false, 1}, {137, true, 0}});
    control_->chartVisible = true;
    control_->treeVisible = false;
    check("tree hidden", {{135, true, 0}, {136, true, 1}, {137, false, 1}});
    control_->treeVisible = true;

    control_->view = gcResourcesView;
    check("resources view", {{107, true, 0}, {108, true, 1}, {135, false, 1}, {136, false, 1}, {137, false, 1},
                             {40010, false, 0}, {40011, false, 0}, {40021, false, 0}, {40022, false, 0},
                             {57635, false, 0}, {102, false, 0}});
    ComPtr<IResource> resource;
    control_->Pool()->Add(u"r", resource.ReleaseAndGetAddressOf());
    control_->SelectResource(resource.Get());
    check("a resource selected", {{40021, true, 0}, {40022, true, 0}, {57635, true, 0}, {57634, true, 0}});

    VARIANT_BOOL enabled = VARIANT_FALSE;
    LONG checked = 0;
    EXPECT_EQ(commands_->QueryState(0, &enabled, &checked), E_INVALIDARG);
    EXPECT_EQ(commands_->QueryState(36, &enabled, &checked), E_INVALIDARG);
    EXPECT_EQ(commands_->Execute(36), E_INVALIDARG);
}

TEST_F(Forwarding, ViewAndPaneCommands)
{
    EXPECT_EQ(commands_->Execute(Op(136)), S_OK);
    EXPECT_EQ(commands_->Execute(Op(135)), S_OK);
    // The chart pane is now the only one: it stays.
    EXPECT_EQ(commands_->Execute(Op(137)), S_FALSE);
    EXPECT_EQ(commands_->Execute(Op(108)), S_OK);
    EXPECT_EQ(commands_->Execute(Op(107)), S_OK);
    EXPECT_EQ(control_->calls,
              (Lines{"TimelinePaneVisible off", "TreePaneVisible off", "CurrentView 1", "CurrentView 0"}));
    EXPECT_TRUE(Told().empty());
}

}  // namespace
}  // namespace qmx::testing
