// The task dialog driven through its widgets and its grids, over a real
// model, with a recording adapter and a scripted user interface.
#include "app/dialogs/task_properties_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/dialogs/dialog_resources.h"
#include "app/dialogs/general_page.h"
#include "app/dialogs/map_grid_page.h"
#include "app/dialogs/tests/recording_adapter.h"
#include "app/dialogs/tests/scripted_user_interface.h"
#include "automation/date_time.h"
#include "grid/tests/grid_test_support.h"
#include "model/null_sinks.h"
#include "model/project_model.h"

namespace qmx {
namespace {

using ::testing::ElementsAre;
using testing::RecordingAdapter;
using testing::ScriptedUserInterface;

const DurationUnitNames kEnglish = {u"hours", u"days", u"weeks"};

DATE Day(int year, int month, int day) { return *DateFromCivil(year, month, day); }

std::string Text(ISimpleGridControl* grid, LONG row, LONG col)
{
    BSTR text;
    grid->get_CellText(row, col, &text);
    return BstrToUtf8(text);
}

LONG Rows(ISimpleGridControl* grid)
{
    LONG count = 0;
    grid->get_RowCount(&count);
    return count;
}

QWidget* GridWindow(MapGridPage* page) { return page->Layout()->findChild<QWidget*>(QStringLiteral("grid")); }

// Opens the drop-down editor of a cell, picks the item with that text and
// closes it as Enter would.
void Choose(MapGridPage* page, LONG row, LONG col, const QString& item)
{
    ISimpleGridControl* grid = page->Grid();
    ASSERT_EQ(grid->put_SelectedRow(row), S_OK);
    ASSERT_EQ(grid->put_SelectedCol(col), S_OK);
    ASSERT_EQ(grid->OpenEditor(), S_OK);
    auto* combo = GridWindow(page)->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    const int index = combo->findText(item, Qt::MatchExactly);
    ASSERT_GE(index, 0) << item.toStdString();
    combo->setCurrentIndex(index);
    ASSERT_EQ(grid->CloseEditor(VARIANT_TRUE), S_OK);
}

void Type(MapGridPage* page, LONG row, LONG col, const QString& text)
{
    ISimpleGridControl* grid = page->Grid();
    ASSERT_EQ(grid->put_SelectedRow(row), S_OK);
    ASSERT_EQ(grid->put_SelectedCol(col), S_OK);
    ASSERT_EQ(grid->OpenEditor(), S_OK);
    auto* edit = GridWindow(page)->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, text);
    ASSERT_EQ(grid->CloseEditor(VARIANT_TRUE), S_OK);
}

// Tasks Design 1, Build 2, Test 3, Ship 4 at the root, 4-9 March 2024;
// Test has predecessors Design (finish-to-start, so Test runs 9-14 March)
// and Build (start-to-start)
// and carries Ann at 100 units; the pool holds Ann 1 and Bob 2.
class TaskPropertiesDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testing::EnsureApplication();
        ASSERT_EQ(testing::RegisterGridLibrary(), S_OK);
    }

    TaskPropertiesDialogTest() : model_(&sinks_, &sinks_, &sinks_, &sinks_), adapter_(MakeObject<RecordingAdapter>())
    {
        FixToday(Day(2024, 3, 4));
        for (const char16_t* name : {u"Design", u"Build", u"Test", u"Ship"}) {
            ComPtr<ITask> task;
            Tree()->AddTask(0, -1, name, task.ReleaseAndGetAddressOf());
            task->put_EndDate(Day(2024, 3, 9));
        }
        Tree()->DependencyLink(1, 3, dtFinishToStart);
        Tree()->DependencyLink(2, 3, dtStartToStart);
        for (const char16_t* name : {u"Ann", u"Bob"}) {
            ComPtr<IResource> resource;
            Pool()->Add(name, resource.ReleaseAndGetAddressOf());
        }
        ComPtr<IResource> ann;
        ComPtr<ITaskResources> list;
        ComPtr<ITaskResource> assignment;
        Pool()->GetResourceByID(1, ann.ReleaseAndGetAddressOf());
        Task(3)->get_Resources(list.ReleaseAndGetAddressOf());
        list->Add(ann.Get(), assignment.ReleaseAndGetAddressOf());
    }
    ~TaskPropertiesDialogTest() override { UnfixToday(); }

    ITaskTree* Tree() const { return model_.TaskTree(); }
    IResources* Pool() const { return model_.Resources(); }
    ComPtr<ITask> Task(LONG id) const
    {
        ComPtr<ITask> task;
        Tree()->GetTask(id, task.ReleaseAndGetAddressOf());
        return task;
    }

    // The dialog on a task, shown, its edits kept by the fixture.
    TaskPropertiesDialog* Open(LONG id, bool notes = true)
    {
        dialog_.reset();
        edits_ = LoadTaskDialogEdits(Task(id).Get(), notes, kEnglish);
        dialog_ = std::make_unique<TaskPropertiesDialog>(&*edits_, Task(id).Get(), Pool(), &ui_);
        dialog_->show();
        dialog_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
        return dialog_.get();
    }
    template <class W>
    W* Control(const char* name) const
    {
        return dialog_->findChild<W*>(QString::fromLatin1(name));
    }
    void WriteBack(LONG id) { WriteBackTaskEdits(*edits_, Task(id).Get(), Pool(), adapter_.Get()); }
    std::vector<std::string>& Log() { return adapter_->log; }

    NullSinks sinks_;
    ProjectModel model_;
    ComPtr<RecordingAdapter> adapter_;
    ScriptedUserInterface ui_;
    std::optional<TaskDialogEdits> edits_;
    std::unique_ptr<TaskPropertiesDialog> dialog_;
};

TEST_F(TaskPropertiesDialogTest, HasANotesPageOnlyWhenTheAdapterKeepsNotes)
{
    for (bool notes : {true, false}) {
        TaskPropertiesDialog* dialog = Open(3, notes);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Task Properties"));
        QStringList titles;
        for (int i = 0; i < dialog->Tabs()->count(); ++i) titles << dialog->Tabs()->tabText(i);
        QStringList expected = {QStringLiteral("General"), QStringLiteral("Predecessors"), QStringLiteral("Resources")};
        if (notes) expected << QStringLiteral("Notes");
        EXPECT_EQ(titles, expected);
        EXPECT_EQ(dialog->Notes() != nullptr, notes);
    }
}

TEST_F(TaskPropertiesDialogTest, TypedHoursAreStoredAsDaysAndShownInHours)
{
    Open(3);
    auto* duration = Control<QLineEdit>("durationEdit");
    auto* end = Control<QDateEdit>("endDateEdit");
    EXPECT_EQ(duration->text(), QStringLiteral("5 days"));
    duration->setFocus();
    duration->selectAll();
    QTest::keyClicks(duration, QStringLiteral("16h"));
    Control<QLineEdit>("nameEdit")->setFocus();  // leaving the field moves the end
    EXPECT_EQ(end->date(), QDate(2024, 3, 11));
    dialog_->accept();
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    WriteBack(3);
    EXPECT_THAT(Log(), ElementsAre("TaskUpdate 3"));
    float days = 0;
    QMXDurationUnit unit = duDay;
    Task(3)->get_Duration(&days);
    Task(3)->get_DurationUnit(&unit);
    EXPECT_FLOAT_EQ(days, 2.0f);
    EXPECT_EQ(unit, duHour);
    Open(3);
    EXPECT_EQ(Control<QLineEdit>("durationEdit")->text(), QStringLiteral("16 hours"));
}

TEST_F(TaskPropertiesDialogTest, AnEndBeforeTheStartIsRefusedOnOk)
{
    Open(3);
    Control<QDateEdit>("endDateEdit")->setDate(QDate(2024, 3, 1));
    EXPECT_EQ(Control<QLineEdit>("durationEdit")->text(), QStringLiteral("0 days"));
    dialog_->Tabs()->setCurrentIndex(2);  // leaving the page checks it too
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(dialog_->Tabs()->currentIndex(), 0);
    dialog_->accept();
    ASSERT_EQ(ui_.messages.size(), 2u);
    for (const auto& message : ui_.messages) {
        EXPECT_EQ(message.text, "The end date must not be before the start date.");
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
    }
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(dialog_->Tabs()->currentIndex(), 0);
}

TEST_F(TaskPropertiesDialogTest, AnInvalidDurationKeepsTheGeneralPage)
{
    Open(3);
    auto* duration = Control<QLineEdit>("durationEdit");
    duration->selectAll();
    QTest::keyClicks(duration, QStringLiteral("soon"));
    dialog_->Tabs()->setCurrentIndex(1);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, BstrToUtf8(ResourceString(kBadDurationMessage)));
    EXPECT_EQ(dialog_->Tabs()->currentIndex(), 0);
    EXPECT_EQ(Control<QDateEdit>("endDateEdit")->date(), QDate(2024, 3, 14));  // ignored when left
}

TEST_F(TaskPropertiesDialogTest, ASummaryTaskKeepsItsDatesWhileTheTreeCorrectsThem)
{
    ComPtr<ITask> child;
    Tree()->AddTask(3, -1, u"Part", child.ReleaseAndGetAddressOf());
    Open(3);
    for (const char* name : {"durationEdit", "startDateEdit", "endDateEdit"})
        EXPECT_FALSE(Control<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(Control<QWidget>("nameEdit")->isEnabled());
    Tree()->put_AutocorrectTaskDates(VARIANT_FALSE);
    Open(3);
    EXPECT_TRUE(Control<QWidget>("startDateEdit")->isEnabled());
}

TEST_F(TaskPropertiesDialogTest, DefaultColourBoxColourButtonAndSample)
{
    Open(3);
    auto* box = Control<QCheckBox>("defaultColorCheck");
    auto* sample = Control<QWidget>("colorSample");
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(sample->palette().color(QPalette::Window), sample->palette().color(QPalette::Button));
    box->click();
    EXPECT_EQ(sample->palette().color(QPalette::Window), QColor(0xC0, 0xE0, 0xFF));
    box->click();
    ui_.colorAnswer = RGB(200, 10, 20);
    Control<QPushButton>("colorButton")->click();
    EXPECT_THAT(ui_.colorPresets, ElementsAre(0u));
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(sample->palette().color(QPalette::Window), QColor(200, 10, 20));
    dialog_->accept();
    WriteBack(3);
    ComPtr<ITaskAppearance> appearance;
    COLORREF color = 0;
    Task(3)->get_Appearance(appearance.ReleaseAndGetAddressOf());
    appearance->get_Color(&color);
    EXPECT_EQ(color, RGB(200, 10, 20));
}

TEST_F(TaskPropertiesDialogTest, PredecessorsAreEditedInTheirGrid)
{
    TaskPropertiesDialog* dialog = Open(3);
    MapGridPage* page = dialog->Predecessors();
    ISimpleGridControl* grid = page->Grid();
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(Rows(grid), 3);
    EXPECT_EQ(Text(grid, 0, 0), "Design");
    EXPECT_EQ(Text(grid, 0, 1), "1");
    EXPECT_EQ(Text(grid, 0, 2), "Finish-to-start");
    EXPECT_EQ(Text(grid, 1, 2), "Start-to-start");
    EXPECT_EQ(Text(grid, 2, 0), "");

    // The list offers neither the task itself nor another row's task.
    grid->put_SelectedRow(2);
    grid->put_SelectedCol(0);
    grid->OpenEditor();
    auto* combo = GridWindow(page)->findChild<QComboBox*>();
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    EXPECT_EQ(items, (QStringList{QString(), QStringLiteral("Ship")}));
    grid->CloseEditor(VARIANT_FALSE);

    Choose(page, 2, 0, QStringLiteral("Ship"));             // added, finish-to-start
    ASSERT_EQ(Rows(grid), 4);
    EXPECT_EQ(Text(grid, 2, 0), "Ship");
    EXPECT_EQ(Text(grid, 2, 2), "Finish-to-start");
    Choose(page, 1, 2, QStringLiteral("Finish-to-finish"));  // type of Build changed
    EXPECT_EQ(Text(grid, 1, 2), "Finish-to-finish");
    Choose(page, 0, 0, QString());                           // Design removed
    ASSERT_EQ(Rows(grid), 3);
    EXPECT_EQ(Text(grid, 0, 0), "Build");

    dialog->accept();
    WriteBack(3);
    EXPECT_THAT(Log(), ElementsAre("TaskDependencyUnlink 1 3", "TaskDependencyUpdate 2 3",
                                   "TaskDependencyLink 4 3 2"));
}

TEST_F(TaskPropertiesDialogTest, AssignmentsAreEditedInTheirGrid)
{
    TaskPropertiesDialog* dialog = Open(3);
    MapGridPage* page = dialog->Resources();
    ISimpleGridControl* grid = page->Grid();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(Text(grid, 0, 0), "Ann");
    EXPECT_EQ(Text(grid, 0, 2), "100");
    Choose(page, 1, 0, QStringLiteral("Bob"));
    EXPECT_EQ(Text(grid, 1, 2), "100");
    Type(page, 1, 2, QStringLiteral("250"));
    EXPECT_EQ(Text(grid, 1, 2), "250");
    Type(page, 0, 2, QString());  // an emptied cell keeps its units
    EXPECT_EQ(Text(grid, 0, 2), "100");
    // The empty row's units take no editor.
    grid->put_SelectedRow(2);
    grid->put_SelectedCol(2);
    EXPECT_EQ(grid->OpenEditor(), S_FALSE);

    dialog->accept();
    WriteBack(3);
    EXPECT_THAT(Log(), ElementsAre("TaskResourceNew 3 2", "TaskResourceUpdate 3 2"));
    ComPtr<ITaskResources> list;
    ComPtr<ITaskResource> bob;
    LONG units = 0;
    Task(3)->get_Resources(list.ReleaseAndGetAddressOf());
    ASSERT_EQ(list->GetTaskResourceByID(2, bob.ReleaseAndGetAddressOf()), S_OK);
    bob->get_Units(&units);
    EXPECT_EQ(units, 250);
}

TEST_F(TaskPropertiesDialogTest, OkClosesAnOpenCellEditorFirst)
{
    TaskPropertiesDialog* dialog = Open(3);
    ISimpleGridControl* grid = dialog->Resources()->Grid();
    grid->put_SelectedRow(0);
    grid->put_SelectedCol(2);
    ASSERT_EQ(grid->OpenEditor(), S_OK);
    auto* edit = GridWindow(dialog->Resources())->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("40"));
    dialog->accept();
    WriteBack(3);
    EXPECT_THAT(Log(), ElementsAre("TaskResourceUpdate 3 1"));
}

// The command's road: modal, answered from a timer.
TEST_F(TaskPropertiesDialogTest, RunningTheDialogWritesBackOnlyOnOk)
{
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        Log().clear();
        ui_.waitCursor.clear();
        QTimer::singleShot(0, [ok] {
            auto* dialog = dynamic_cast<TaskPropertiesDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("nameEdit"));
            name->selectAll();
            QTest::keyClicks(name, QStringLiteral("Check"));
            dialog->findChild<QPlainTextEdit*>(QStringLiteral("notesEdit"))->setPlainText(QStringLiteral("n"));
            if (ok)
                dialog->accept();
            else
                dialog->reject();
        });
        EXPECT_EQ(RunTaskPropertiesDialog(nullptr, ui_, Task(3).Get(), Pool(), adapter_.Get()), ok);
        BSTR name;
        Task(3)->get_Name(&name);
        if (ok) {
            EXPECT_THAT(Log(), ElementsAre("TaskUpdate 3", "TaskUpdate 3"));
            EXPECT_THAT(ui_.waitCursor, ElementsAre(true, false));
            EXPECT_EQ(name, u"Check");
        } else {
            EXPECT_TRUE(Log().empty());
            EXPECT_TRUE(ui_.waitCursor.empty());
            EXPECT_EQ(name, u"Test");
        }
    }
}

TEST_F(TaskPropertiesDialogTest, PicturesOfEveryPage)
{
    TaskPropertiesDialog* dialog = Open(3);
    dialog->resize(460, 340);
    const char* names[] = {"task_dialog_general", "task_dialog_predecessors", "task_dialog_resources",
                           "task_dialog_notes"};
    for (int i = 0; i < dialog->Tabs()->count(); ++i) {
        dialog->Tabs()->setCurrentIndex(i);
        QApplication::processEvents();
        const std::string path = testing::SavePicture(dialog->grab().toImage(), names[i]);
        EXPECT_FALSE(path.empty());
    }
}

}  // namespace
}  // namespace qmx
