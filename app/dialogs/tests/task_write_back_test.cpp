// Loading a task into the dialog's edits and writing them back into a real
// model, with the notifications a recording adapter receives.
#include "app/dialogs/task_dialog_edits.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/dialogs/tests/recording_adapter.h"
#include "automation/date_time.h"
#include "model/null_sinks.h"
#include "model/project_model.h"

namespace qmx {
namespace {

using ::testing::ElementsAre;
using testing::RecordingAdapter;

const DurationUnitNames kEnglish = {u"hours", u"days", u"weeks"};

// Tasks 1 to 4 at the root; task 3 has predecessors 1 (finish-to-start)
// and 2 (start-to-start), and Ann (100 units) and Bob (50) of the pool
// Ann 1, Bob 2, Cid 3.
class TaskWriteBackTest : public ::testing::Test {
protected:
    TaskWriteBackTest() : model_(&sinks_, &sinks_, &sinks_, &sinks_), adapter_(MakeObject<RecordingAdapter>())
    {
        FixToday(*DateFromCivil(2024, 3, 4));
        for (int i = 0; i < 4; ++i) {
            ComPtr<ITask> task;
            Tree()->AddTask(0, -1, u"Task", task.ReleaseAndGetAddressOf());
        }
        Tree()->DependencyLink(1, 3, dtFinishToStart);
        Tree()->DependencyLink(2, 3, dtStartToStart);
        for (const char16_t* name : {u"Ann", u"Bob", u"Cid"}) {
            ComPtr<IResource> resource;
            Pool()->Add(name, resource.ReleaseAndGetAddressOf());
        }
        Assign(1, 100);
        Assign(2, 50);
    }
    ~TaskWriteBackTest() override { UnfixToday(); }

    ITaskTree* Tree() const { return model_.TaskTree(); }
    IResources* Pool() const { return model_.Resources(); }
    ComPtr<ITask> Task(LONG id) const
    {
        ComPtr<ITask> task;
        Tree()->GetTask(id, task.ReleaseAndGetAddressOf());
        return task;
    }
    void Assign(LONG resourceId, LONG units)
    {
        ComPtr<IResource> resource;
        ComPtr<ITaskResources> list;
        ComPtr<ITaskResource> assignment;
        Pool()->GetResourceByID(resourceId, resource.ReleaseAndGetAddressOf());
        Task(3)->get_Resources(list.ReleaseAndGetAddressOf());
        list->Add(resource.Get(), assignment.ReleaseAndGetAddressOf());
        assignment->put_Units(units);
    }
    TaskDialogEdits Load(bool notes = true) const { return *LoadTaskDialogEdits(Task(3).Get(), notes, kEnglish); }
    void WriteBack(const TaskDialogEdits& edits)
    {
        WriteBackTaskEdits(edits, Task(3).Get(), Pool(), adapter_.Get());
    }
    IdValueMap Predecessors() const { return Load().predecessors.Loaded(); }
    IdValueMap Assignments() const { return Load().assignments.Loaded(); }
    std::vector<std::string>& Log() { return adapter_->log; }

    NullSinks sinks_;
    ProjectModel model_;
    ComPtr<RecordingAdapter> adapter_;
};

TEST_F(TaskWriteBackTest, LoadsTheMapsOfTheTask)
{
    const TaskDialogEdits edits = Load();
    EXPECT_EQ(edits.predecessors.Loaded(), (IdValueMap{{1, dtFinishToStart}, {2, dtStartToStart}}));
    EXPECT_EQ(edits.predecessors.Rows(), (std::vector<LONG>{1, 2}));
    EXPECT_EQ(edits.assignments.Loaded(), (IdValueMap{{1, 100}, {2, 50}}));
    EXPECT_FALSE(edits.IsModified());
}

TEST_F(TaskWriteBackTest, EveryPageChangedIsWrittenInOrder)
{
    TaskDialogEdits edits = Load();
    edits.general.SetName(u"Renamed");
    edits.general.EditDurationText(u"16h");
    ASSERT_EQ(edits.general.Validate(), GeneralPageEdits::Check::Ok);
    // Predecessor 1 replaced by 4, which sorts after 2: the unlink of 1
    // and the type change of 2 come first, the link of 4 last.
    ASSERT_EQ(edits.predecessors.Choose(0, 4, kNewLinkType), MapPageEdits::Choice::Replaced);
    ASSERT_TRUE(edits.predecessors.SetValue(1, dtFinishToFinish));
    ASSERT_EQ(edits.assignments.Choose(0, kNoItem, kNewAssignmentUnits), MapPageEdits::Choice::Removed);
    ASSERT_TRUE(edits.assignments.SetValue(0, 75));
    ASSERT_EQ(edits.assignments.Choose(1, 3, kNewAssignmentUnits), MapPageEdits::Choice::Added);
    edits.notes.Set(u"Call the supplier");

    WriteBack(edits);

    EXPECT_THAT(Log(), ElementsAre("TaskUpdate 3", "TaskDependencyUnlink 1 3", "TaskDependencyUpdate 2 3",
                                   "TaskDependencyLink 4 3 2", "TaskResourceDelete 3 1", "TaskResourceUpdate 3 2",
                                   "TaskResourceNew 3 3", "TaskResourceUpdate 3 3", "TaskUpdate 3"));
    const ComPtr<ITask> task = Task(3);
    BSTR name, notes;
    float duration = 0;
    QMXDurationUnit unit = duDay;
    task->get_Name(&name);
    task->get_Notes(&notes);
    task->get_Duration(&duration);
    task->get_DurationUnit(&unit);
    EXPECT_EQ(name, u"Renamed");
    EXPECT_EQ(notes, u"Call the supplier");
    EXPECT_FLOAT_EQ(duration, 2.0f);
    EXPECT_EQ(unit, duHour);
    EXPECT_EQ(Predecessors(), (IdValueMap{{2, dtFinishToFinish}, {4, dtFinishToStart}}));
    EXPECT_EQ(Assignments(), (IdValueMap{{2, 75}, {3, 100}}));
}

TEST_F(TaskWriteBackTest, OnlyTheModifiedPagesAreWritten)
{
    struct Row {
        const char* what;
        void (*edit)(TaskDialogEdits&);
        std::vector<std::string> log;
    };
    const Row rows[] = {
        {"nothing", [](TaskDialogEdits&) {}, {}},
        {"a link type", [](TaskDialogEdits& e) { e.predecessors.SetValue(0, dtStartToStart); },
         {"TaskDependencyUpdate 1 3"}},
        {"units", [](TaskDialogEdits& e) { e.assignments.SetValue(1, 20); }, {"TaskResourceUpdate 3 2"}},
        {"a new assignment", [](TaskDialogEdits& e) { e.assignments.Choose(2, 3, kNewAssignmentUnits); },
         {"TaskResourceNew 3 3", "TaskResourceUpdate 3 3"}},
        {"a link removed and one added",
         [](TaskDialogEdits& e) {
             e.predecessors.Choose(1, kNoItem, kNewLinkType);
             e.predecessors.Choose(1, 4, kNewLinkType);
         },
         {"TaskDependencyUnlink 2 3", "TaskDependencyLink 4 3 2"}},
        {"a row chosen and put back", [](TaskDialogEdits& e) {
             e.predecessors.Choose(0, 4, kNewLinkType);
             e.predecessors.Choose(0, 1, kNewLinkType);
         },
         {}},
        {"notes", [](TaskDialogEdits& e) { e.notes.Set(u"n"); }, {"TaskUpdate 3"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Log().clear();
        TaskDialogEdits edits = Load();
        row.edit(edits);
        WriteBack(edits);
        EXPECT_EQ(Log(), row.log);
    }
}

TEST_F(TaskWriteBackTest, NotesAreNotWrittenWhenTheAdapterKeepsNone)
{
    TaskDialogEdits edits = Load(false);
    edits.notes.Set(u"lost anyway");
    EXPECT_FALSE(edits.IsModified());
    WriteBack(edits);
    BSTR notes;
    Task(3)->get_Notes(&notes);
    EXPECT_TRUE(notes.empty());
    EXPECT_TRUE(Log().empty());
}

TEST_F(TaskWriteBackTest, ALinkTheModelRefusesIsNotForwarded)
{
    ASSERT_EQ(Tree()->DependencyLink(3, 4, dtFinishToStart), S_OK);
    TaskDialogEdits edits = Load();
    ASSERT_EQ(edits.predecessors.Choose(2, 4, kNewLinkType), MapPageEdits::Choice::Added);
    WriteBack(edits);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(Predecessors(), (IdValueMap{{1, dtFinishToStart}, {2, dtStartToStart}}));
}

TEST_F(TaskWriteBackTest, ChangesMadeMeanwhileInTheModelAreNotReportedTwice)
{
    TaskDialogEdits edits = Load();
    edits.predecessors.Choose(0, kNoItem, kNewLinkType);
    edits.assignments.Choose(0, kNoItem, kNewAssignmentUnits);
    // The document removed the link and the assignment while the dialog was open.
    Tree()->DependencyUnlink(1, 3);
    ComPtr<ITaskResources> list;
    Task(3)->get_Resources(list.ReleaseAndGetAddressOf());
    list->Delete(1);
    WriteBack(edits);
    EXPECT_TRUE(Log().empty());
}

TEST_F(TaskWriteBackTest, ADeletedTaskGetsNothing)
{
    TaskDialogEdits edits = Load();
    edits.general.SetName(u"Gone");
    const ComPtr<ITask> task = Task(3);
    Tree()->DeleteTask(3);
    WriteBackTaskEdits(edits, task.Get(), Pool(), adapter_.Get());
    EXPECT_TRUE(Log().empty());
    EXPECT_FALSE(LoadTaskDialogEdits(task.Get(), true, kEnglish).has_value());
}

}  // namespace
}  // namespace qmx
