// The composite chart control over a real model, with its real chart pane,
// splitter and grid made by ProgID, driven through its interface and with
// QTest's mouse and keys on an offscreen window.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

#include "automation/bstr.h"
#include "automation/runtime/activation.h"
#include "chart/chart_icons.h"
#include "chart/gantt_chart_control.h"
#include "chart/gantt_chart_control_window.h"
#include "chart/gantt_chart_pane_interfaces.h"
#include "chart/tests/chart_test_support.h"
#include "chart/virtual_keys.h"

namespace qmx {
namespace {

using testing::Day;
using testing::Pixel;

std::string NameOf(ITask* task)
{
    BSTR name;
    task->get_Name(&name);
    return BstrToUtf8(name);
}

// Every event as a line of text, and the tasks of TaskChanged.
class Recorder final : public ComObject<_IGanttChartControlEvents> {
public:
    std::vector<std::string> log;
    std::map<ITask*, int> changed;
    std::vector<ITaskResource*> deletedAssignments;
    std::vector<LONG> keys;
    bool consumeKeys = false;
    IResource* doubleClickedResource = reinterpret_cast<IResource*>(1);

    HRESULT TaskDblClick(ITask* pTask) override
    {
        log.push_back("TaskDblClick " + NameOf(pTask));
        return S_OK;
    }
    HRESULT TaskTreeKeyDown(LONG nKey, VARIANT_BOOL* pvbHandled) override
    {
        keys.push_back(nKey);
        if (consumeKeys) *pvbHandled = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT TaskTreeContextMenu(LONG xPos, LONG yPos) override
    {
        log.push_back("TaskTreeContextMenu " + std::to_string(xPos) + " " + std::to_string(yPos));
        return S_OK;
    }
    HRESULT ResourceDblClick(IResource* pResource) override
    {
        doubleClickedResource = pResource;
        log.push_back("ResourceDblClick");
        return S_OK;
    }
    HRESULT ResourceListContextMenu(LONG xPos, LONG yPos) override
    {
        log.push_back("ResourceListContextMenu " + std::to_string(xPos) + " " + std::to_string(yPos));
        return S_OK;
    }
    HRESULT TaskChanged(ITask* pTask) override
    {
        ++changed[pTask];
        log.push_back("TaskChanged " + NameOf(pTask));
        return S_OK;
    }
    HRESULT TaskResourceDeleted(ITaskResource* pTaskResource) override
    {
        deletedAssignments.push_back(pTaskResource);
        return S_OK;
    }
    HRESULT TimeRangeChanged() override
    {
        log.push_back("TimeRangeChanged");
        return S_OK;
    }
};

class ChartControl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testing::EnsureApplication();
        ASSERT_EQ(testing::RegisterChartLibrary(), S_OK);
        ASSERT_EQ(testing::RegisterBuiltLibrary("libQMXSimpleGrid.so"), S_OK);
    }

    void SetUp() override
    {
        control_ = MakeObject<QMXGanttChartControl>();
        QWidget* window = nullptr;
        ASSERT_EQ(control_->CreateControlWindow(nullptr, &window), S_OK);
        ASSERT_NE(window, nullptr);
        window->resize(800, 400);
        window->show();
        QApplication::processEvents();
        recorder_ = MakeObject<Recorder>();
        ASSERT_EQ(control_->Advise(recorder_.Get(), &cookie_), S_OK);
        control_->get_TaskTree(tree_.ReleaseAndGetAddressOf());
    }

    void TearDown() override
    {
        control_->Unadvise(cookie_);
        tree_ = nullptr;
        control_ = nullptr;
    }

    GanttChartControlWindow* Window() const { return control_->Window(); }
    TaskTreeView* Tree() const { return Window()->Tree(); }

    ComPtr<ITask> Add(ITask* parent, const std::string& name)
    {
        LONG parentId = 0;
        if (parent) parent->get_ID(&parentId);
        ComPtr<ITask> task;
        EXPECT_EQ(tree_->AddTask(parentId, -1, Utf8ToBstr(name), task.ReleaseAndGetAddressOf()), S_OK);
        return task;
    }

    static TreeItem* Item(ITask* task) { return QMXGanttChartControl::ItemOf(task); }

    QPoint LabelPoint(ITask* task) const
    {
        const QRect text = Tree()->ItemTextRect(Item(task));
        return QPoint(text.left() + 4, text.center().y());
    }

    void Click(ITask* task, Qt::KeyboardModifiers keys = {}, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(Tree(), button, keys, LabelPoint(task));
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers keys = {}) { QTest::keyClick(Tree(), key, keys); }

    std::vector<std::string> NamesOf(IEnumTasks* tasks) const
    {
        std::vector<std::string> names;
        ComPtr<ITask> task;
        while (tasks->Next(task.ReleaseAndGetAddressOf()) == S_OK) names.push_back(NameOf(task.Get()));
        return names;
    }

    std::vector<std::string> Selected(bool skipChildren) const
    {
        ComPtr<IEnumTasks> tasks;
        EXPECT_EQ(control_->EnumSelectedTasks(ToVariantBool(skipChildren), tasks.ReleaseAndGetAddressOf()), S_OK);
        return tasks ? NamesOf(tasks.Get()) : std::vector<std::string>{};
    }

    std::vector<std::string> Visible() const
    {
        ComPtr<IEnumTasks> tasks;
        EXPECT_EQ(control_->EnumVisibleTasks(tasks.ReleaseAndGetAddressOf()), S_OK);
        return NamesOf(tasks.Get());
    }

    ComPtr<QMXGanttChartControl> control_;
    ComPtr<Recorder> recorder_;
    ComPtr<ITaskTree> tree_;
    DWORD cookie_ = 0;
};

using Names = std::vector<std::string>;

TEST_F(ChartControl, CreatedByProgIdWithItsChildrenInPlace)
{
    ComPtr<IGanttChartControl> made;
    ASSERT_EQ(CreateInstance(kGanttChartControlVersionIndependentProgId, &made), S_OK);
    ComPtr<IWidgetControl> widget;
    ASSERT_EQ(made.As(&widget), S_OK);
    QWidget* window = nullptr;
    ASSERT_EQ(widget->CreateControlWindow(nullptr, &window), S_OK);
    window->resize(640, 300);
    EXPECT_EQ(made->PreparePrinting(nullptr, nullptr), E_POINTER);
    LONG pages = 7;
    EXPECT_EQ(made->PreparePrinting(nullptr, &pages), E_POINTER);
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(made->PrintPage(nullptr, 1), E_POINTER);
    EXPECT_EQ(made->EndPrinting(), S_OK);

    // This fixture's control: tabs on the left, then the page with the
    // tree, the splitter at 200 and the chart to the right edge.
    QTabBar* tabs = Window()->Tabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "Tasks");
    EXPECT_EQ(tabs->tabText(1), "Resources");
    EXPECT_EQ(tabs->shape(), QTabBar::RoundedWest);
    EXPECT_EQ(tabs->focusPolicy(), Qt::NoFocus);
    const int pageLeft = std::max(tabs->tabRect(0).right(), tabs->tabRect(1).right()) + 1 + 3;
    EXPECT_EQ(Window()->TasksPage()->geometry(), QRect(pageLeft, 0, 800 - pageLeft, 400));
    EXPECT_EQ(Window()->splitterWindow->geometry(), QRect(200, 0, 4, 400));
    EXPECT_EQ(Window()->paneWindow->geometry(), QRect(204, 0, 800 - pageLeft - 204, 400));
    LONG timeline = 0;
    ComPtr<IGanttChartPane> pane;
    // The title bar spans the timeline's height, the tree starts at the
    // chart's top margin below it.
    timeline = Window()->TitleBar()->height();
    EXPECT_GT(timeline, 0);
    EXPECT_EQ(Window()->TitleBar()->geometry(), QRect(0, 0, 200, timeline));
    EXPECT_EQ(Window()->TreeBackground()->geometry(), QRect(0, timeline, 200, 400 - timeline));
    EXPECT_EQ(Tree()->geometry(), QRect(0, 8, 200, 400 - timeline - 8));
    LONG height = 0;
    EXPECT_EQ(control_->GetTaskTreeItemHeight(&height), S_OK);
    EXPECT_EQ(height, 18);
}

TEST_F(ChartControl, ViewsAndPaneVisibility)
{
    EXPECT_EQ(control_->put_CurrentView(QMXGanttChartView(2)), E_INVALIDARG);
    EXPECT_EQ(control_->put_CurrentView(gcResourcesView), S_OK);
    QMXGanttChartView view = gcTasksView;
    control_->get_CurrentView(&view);
    EXPECT_EQ(view, gcResourcesView);
    EXPECT_FALSE(Window()->TasksPage()->isVisible());
    EXPECT_TRUE(Window()->ResourcesPage()->isVisible());
    EXPECT_EQ(Window()->gridWindow->geometry(), Window()->ResourcesPage()->rect());
    // A click on the first tab shows the tasks again, without an event.
    Window()->Tabs()->setCurrentIndex(0);
    EXPECT_TRUE(Window()->TasksPage()->isVisible());
    EXPECT_FALSE(Window()->ResourcesPage()->isVisible());
    EXPECT_TRUE(recorder_->log.empty());

    const int pageWidth = Window()->TasksPage()->width();
    ASSERT_EQ(control_->put_TreePaneVisible(VARIANT_FALSE), S_OK);
    EXPECT_EQ(Window()->paneWindow->geometry(), QRect(0, 0, pageWidth, 400));
    EXPECT_FALSE(Window()->TreeBackground()->isVisible());
    EXPECT_FALSE(Window()->splitterWindow->isVisible());
    EXPECT_FALSE(Window()->TitleBar()->isVisible());
    ASSERT_EQ(control_->put_TreePaneVisible(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(Window()->TitleBar()->isVisible());

    // Without the timeline there is no title bar, and the tree moves up.
    ASSERT_EQ(control_->put_TimelinePaneVisible(VARIANT_FALSE), S_OK);
    VARIANT_BOOL timeline = VARIANT_TRUE;
    control_->get_TimelinePaneVisible(&timeline);
    EXPECT_EQ(timeline, VARIANT_FALSE);
    EXPECT_FALSE(Window()->TitleBar()->isVisible());
    EXPECT_EQ(Window()->TreeBackground()->geometry(), QRect(0, 0, 200, 400));
    EXPECT_EQ(Tree()->geometry(), QRect(0, 8, 200, 392));

    ASSERT_EQ(control_->put_GanttChartPaneVisible(VARIANT_FALSE), S_OK);
    EXPECT_FALSE(Window()->paneWindow->isVisible());
    EXPECT_EQ(Window()->TreeBackground()->geometry(), QRect(0, 0, pageWidth, 400));
    EXPECT_EQ(Tree()->geometry(), QRect(0, 0, pageWidth, 400));

    ASSERT_EQ(control_->put_PanesEnabled(VARIANT_FALSE), S_OK);
    EXPECT_FALSE(Window()->TasksPage()->isEnabled());
    EXPECT_FALSE(Window()->ResourcesPage()->isEnabled());
}

TEST_F(ChartControl, TitleAndDateRange)
{
    BSTR title = u"x";
    EXPECT_EQ(control_->get_Title(&title), S_OK);
    EXPECT_TRUE(title.empty());
    EXPECT_EQ(control_->put_Title(u"Project plan"), S_OK);
    EXPECT_EQ(Window()->TitleBar()->Title(), "Project plan");

    DATE min = 0;
    DATE max = 0;
    EXPECT_EQ(control_->get_MinDate(&min), S_OK);
    EXPECT_EQ(control_->get_MaxDate(&max), S_OK);
    EXPECT_EQ(min, 1.7976931348623157e308);
    EXPECT_EQ(max, -1.7976931348623157e308);
    ComPtr<ITask> task = Add(nullptr, "a");
    task->put_EndDate(Day(2026, 3, 6));
    task->put_StartDate(Day(2026, 3, 2));
    control_->get_MinDate(&min);
    control_->get_MaxDate(&max);
    EXPECT_EQ(min, Day(2026, 3, 2));
    EXPECT_EQ(max, Day(2026, 3, 6));
}

TEST_F(ChartControl, SummaryLookFollowsChildren)
{
    ComPtr<ITask> a = Add(nullptr, "a");
    ComPtr<ITask> b = Add(nullptr, "b");
    ComPtr<ITask> c = Add(nullptr, "c");
    b->put_Priority(prHigh);
    EXPECT_EQ(Item(b.Get())->image, int(prHigh));
    EXPECT_FALSE(Item(b.Get())->bold);
    ComPtr<ITask> child = Add(b.Get(), "child");
    EXPECT_EQ(Item(b.Get())->image, kTreeImageSummary);
    EXPECT_TRUE(Item(b.Get())->bold);
    EXPECT_EQ(Item(child.Get())->parent, Item(b.Get()));
    EXPECT_EQ(Visible(), (Names{"a", "b", "c"}));  // a new parent stays collapsed
    control_->ExpandTask(b.Get(), VARIANT_TRUE);
    EXPECT_EQ(Visible(), (Names{"a", "b", "child", "c"}));

    LONG childId = 0;
    child->get_ID(&childId);
    ASSERT_EQ(tree_->DeleteTask(childId), S_OK);
    EXPECT_EQ(Item(b.Get())->image, int(prHigh));
    EXPECT_FALSE(Item(b.Get())->bold);
    EXPECT_EQ(Item(child.Get()), nullptr);

    c->put_IsMilestone(VARIANT_TRUE);
    EXPECT_EQ(Item(c.Get())->image, kTreeImageMilestone);
    recorder_->changed.clear();
    c->put_Name(u"");
    EXPECT_EQ(Item(c.Get())->text, "");
    EXPECT_TRUE(recorder_->changed.empty());
}

TEST_F(ChartControl, TreeFollowsTheModelOrder)
{
    ComPtr<ITask> a = Add(nullptr, "a");
    ComPtr<ITask> c = Add(nullptr, "c");
    ComPtr<ITasks> roots;
    tree_->get_RootTasks(roots.ReleaseAndGetAddressOf());
    ComPtr<ITask> b;
    ASSERT_EQ(roots->Add(1, u"b", b.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<ITask> first;
    ASSERT_EQ(roots->Add(0, u"first", first.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Visible(), (Names{"first", "a", "b", "c"}));
    // A task of another control's tree is not ours to expand or edit.
    auto other = MakeObject<QMXGanttChartControl>();
    ComPtr<ITaskTree> otherTree;
    other->get_TaskTree(otherTree.ReleaseAndGetAddressOf());
    ComPtr<ITask> stranger;
    otherTree->AddTask(0, -1, u"stranger", stranger.ReleaseAndGetAddressOf());
    otherTree->AddTask(stranger.Get() ? 1 : 0, -1, u"child", first.ReleaseAndGetAddressOf());
    EXPECT_EQ(control_->ExpandTask(stranger.Get(), VARIANT_TRUE), S_OK);
    EXPECT_EQ(control_->EditTaskName(stranger.Get()), S_OK);
    EXPECT_EQ(Tree()->EditedItem(), nullptr);
    EXPECT_FALSE(QMXGanttChartControl::ItemOf(stranger.Get())->expanded);

    tree_->DeleteAllTasks();
    EXPECT_TRUE(Visible().empty());
    EXPECT_EQ(control_->Items().Count(), 0u);
}

TEST_F(ChartControl, MovingASubtreeKeepsItAndMakesItTheCaret)
{
    ComPtr<ITask> a = Add(nullptr, "a");
    ComPtr<ITask> b = Add(nullptr, "b");
    ComPtr<ITask> b1 = Add(b.Get(), "b1");
    ComPtr<ITask> b11 = Add(b1.Get(), "b11");
    control_->ExpandTask(b.Get(), VARIANT_TRUE);
    control_->ExpandTask(b1.Get(), VARIANT_TRUE);
    Click(a.Get());
    LONG b1Id = 0;
    LONG aId = 0;
    b1->get_ID(&b1Id);
    a->get_ID(&aId);
    ASSERT_EQ(tree_->MoveTask(b1Id, aId, -1), S_OK);
    EXPECT_EQ(Item(b1.Get())->parent, Item(a.Get()));
    EXPECT_TRUE(Item(b1.Get())->expanded);
    EXPECT_EQ(Item(b1.Get())->text, "b1");
    EXPECT_EQ(Item(b11.Get())->parent, Item(b1.Get()));
    EXPECT_EQ(Item(a.Get())->image, kTreeImageSummary);
    EXPECT_EQ(Item(b.Get())->image, int(prNone));
    ComPtr<ITask> caret;
    EXPECT_EQ(control_->get_SelectedTask(caret.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(caret.Get(), b1.Get());
    EXPECT_EQ(Selected(false), Names{});  // the new place is hidden under the collapsed a
    control_->ExpandTask(a.Get(), VARIANT_TRUE);
    EXPECT_EQ(Visible(), (Names{"a", "b1", "b11", "b"}));
    EXPECT_EQ(Selected(false), Names{"b1"});
}

TEST_F(ChartControl, ControlClicksAndSkippingChildren)
{
    ComPtr<ITask> a = Add(nullptr, "a");
    ComPtr<ITask> b = Add(nullptr, "b");
    ComPtr<ITask> b1 = Add(b.Get(), "b1");
    ComPtr<ITask> c = Add(nullptr, "c");
    control_->ExpandTask(b.Get(), VARIANT_TRUE);
    Click(c.Get());
    Click(a.Get(), Qt::ControlModifier);
    Click(b1.Get(), Qt::ControlModifier);
    EXPECT_EQ(Selected(false), (Names{"a", "b1", "c"}));
    Click(b.Get(), Qt::ControlModifier);
    EXPECT_EQ(Selected(false), (Names{"a", "b", "b1", "c"}));
    EXPECT_EQ(Selected(true), (Names{"a", "b", "c"}));
    // A second Control click takes the item out again; it stays the caret.
    Click(a.Get(), Qt::ControlModifier);
    EXPECT_EQ(Selected(false), (Names{"b", "b1", "c"}));
    ComPtr<ITask> caret;
    control_->get_SelectedTask(caret.ReleaseAndGetAddressOf());
    EXPECT_EQ(caret.Get(), a.Get());

    // A click on empty space clears the selection and the caret.
    QTest::mouseClick(Tree(), Qt::LeftButton, {}, QPoint(100, 300));
    EXPECT_EQ(control_->get_SelectedTask(caret.ReleaseAndGetAddressOf()), S_FALSE);
    EXPECT_EQ(caret.Get(), nullptr);
    EXPECT_TRUE(Selected(false).empty());
}

TEST_F(ChartControl, ShiftRangesBothWaysAndArrowKeys)
{
    std::vector<ComPtr<ITask>> t;
    for (const char* name : {"t0", "t1", "t2", "t3", "t4"}) t.push_back(Add(nullptr, name));
    Click(t[1].Get());
    QTest::keyPress(Tree(), Qt::Key_Shift);  // the anchor is the caret
    Click(t[3].Get(), Qt::ShiftModifier);
    EXPECT_EQ(Selected(false), (Names{"t1", "t2", "t3"}));
    Click(t[0].Get(), Qt::ShiftModifier);  // the other way from the same anchor
    EXPECT_EQ(Selected(false), (Names{"t0", "t1"}));
    QTest::keyRelease(Tree(), Qt::Key_Shift);
    ComPtr<ITask> caret;
    control_->get_SelectedTask(caret.ReleaseAndGetAddressOf());
    EXPECT_EQ(caret.Get(), t[0].Get());
    // Shift + Down grows the selection from the caret; moving back into it
    // shrinks it again.
    Click(t[2].Get());
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Selected(false), (Names{"t2", "t3", "t4"}));
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Selected(false), (Names{"t2", "t3"}));
    // Control + Up moves the caret alone.
    Key(Qt::Key_Up, Qt::ControlModifier);
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(Selected(false), (Names{"t2", "t3"}));
    control_->get_SelectedTask(caret.ReleaseAndGetAddressOf());
    EXPECT_EQ(caret.Get(), t[1].Get());
    // A plain arrow key leaves only the new caret.
    Key(Qt::Key_Up);
    EXPECT_EQ(Selected(false), (Names{"t0"}));
    EXPECT_EQ(recorder_->keys.back(), VK_UP);

}

TEST_F(ChartControl, KeysTheContainerConsumesAndKeypadMinus)
{
    ComPtr<ITask> a = Add(nullptr, "a");
    ComPtr<ITask> a1 = Add(a.Get(), "a1");
    ComPtr<ITask> a11 = Add(a1.Get(), "a11");
    control_->ExpandTask(a.Get(), VARIANT_TRUE);
    control_->ExpandTask(a1.Get(), VARIANT_TRUE);
    Click(a.Get());
    recorder_->consumeKeys = true;
    Key(Qt::Key_Down);
    ComPtr<ITask> caret;
    control_->get_SelectedTask(caret.ReleaseAndGetAddressOf());
    EXPECT_EQ(caret.Get(), a.Get());
    EXPECT_EQ(recorder_->keys, (std::vector<LONG>{VK_DOWN}));
    recorder_->consumeKeys = false;
    Key(Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(recorder_->keys.back(), VK_SUBTRACT);
    EXPECT_EQ(Visible(), (Names{"a"}));
    control_->ExpandTask(a.Get(), VARIANT_TRUE);
    EXPECT_EQ(Visible(), (Names{"a", "a1"}));  // the descendants were collapsed too
    // Keyboard context menu: the bottom left of the caret's label.
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(-1, -1), QPoint(-1, -1));
    QApplication::sendEvent(Tree(), &menu);
    const QRect text = Tree()->ItemTextRect(Item(a.Get()));
    const QPoint corner = Tree()->mapToGlobal(QPoint(text.left(), text.bottom() + 1));
    EXPECT_EQ(recorder_->log.back(),
              "TaskTreeContextMenu " + std::to_string(corner.x()) + " " + std::to_string(corner.y()));
}

TEST_F(ChartControl, CollapsingByTheButtonDeselectsHiddenDescendants)
{
    ComPtr<ITask> a = Add(nullptr, "a");
    ComPtr<ITask> a1 = Add(a.Get(), "a1");
    ComPtr<ITask> a2 = Add(a.Get(), "a2");
    ComPtr<ITask> b = Add(nullptr, "b");
    control_->ExpandTask(a.Get(), VARIANT_TRUE);
    Click(b.Get());
    Click(a1.Get(), Qt::ControlModifier);
    Click(a2.Get(), Qt::ControlModifier);
    Click(b.Get(), Qt::ControlModifier);  // b is the caret, unselected; a1, a2 stay
    EXPECT_EQ(Selected(false), (Names{"a1", "a2"}));
    const QRect row = Tree()->ItemRowRect(Item(a.Get()));
    QTest::mouseClick(Tree(), Qt::LeftButton, {}, QPoint(row.left() + TaskTreeView::kIndent / 2, row.center().y()));
    EXPECT_EQ(Visible(), (Names{"a", "b"}));
    control_->ExpandTask(a.Get(), VARIANT_TRUE);
    EXPECT_TRUE(Selected(false).empty());
}

TEST_F(ChartControl, DoubleClickRaisesTaskDblClickWithoutExpanding)
{
    ComPtr<ITask> a = Add(nullptr, "a");
    ComPtr<ITask> a1 = Add(a.Get(), "a1");
    Click(a.Get());
    QTest::mouseDClick(Tree(), Qt::LeftButton, {}, LabelPoint(a.Get()));
    EXPECT_EQ(recorder_->log, Names{"TaskDblClick a"});
    EXPECT_EQ(Visible(), Names{"a"});
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    EXPECT_EQ(Tree()->EditedItem(), nullptr);  // no label edit after the double click
}

TEST_F(ChartControl, LabelEditCommitAndCancel)
{
    ComPtr<ITask> a = Add(nullptr, "a");
    ASSERT_EQ(control_->EditTaskName(a.Get()), S_OK);
    ASSERT_EQ(Tree()->EditedItem(), Item(a.Get()));
    Tree()->Editor()->setText("renamed");
    QTest::keyClick(Tree()->Editor(), Qt::Key_Return);
    EXPECT_EQ(NameOf(a.Get()), "renamed");
    EXPECT_EQ(Item(a.Get())->text, "renamed");
    EXPECT_EQ(recorder_->changed[a.Get()], 1);

    ASSERT_EQ(control_->EditTaskName(a.Get()), S_OK);
    Tree()->Editor()->setText("dropped");
    QTest::keyClick(Tree()->Editor(), Qt::Key_Escape);
    EXPECT_EQ(NameOf(a.Get()), "renamed");
    EXPECT_EQ(recorder_->changed[a.Get()], 1);
    EXPECT_EQ(Tree()->EditedItem(), nullptr);

    // A second click on the caret's label edits it once no double click came.
    Click(a.Get());
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_EQ(Tree()->EditedItem(), Item(a.Get()));
    // Deleting the task under the editor ends the edit without a change.
    LONG id = 0;
    a->get_ID(&id);
    tree_->DeleteTask(id);
    EXPECT_EQ(Tree()->EditedItem(), nullptr);
    EXPECT_EQ(recorder_->changed[a.Get()], 1);
}

TEST_F(ChartControl, ConsequentialChangesRaiseTaskChanged)
{
    ComPtr<ITask> a = Add(nullptr, "a");
    ComPtr<ITask> b = Add(nullptr, "b");
    ComPtr<ITask> c = Add(nullptr, "c");
    for (ITask* task : {a.Get(), b.Get(), c.Get()}) {
        task->put_EndDate(Day(2026, 3, 4));
        task->put_StartDate(Day(2026, 3, 2));
    }
    LONG ids[3];
    a->get_ID(&ids[0]);
    b->get_ID(&ids[1]);
    c->get_ID(&ids[2]);
    ASSERT_EQ(tree_->DependencyLink(ids[0], ids[1], dtStartToStart), S_OK);
    ASSERT_EQ(tree_->DependencyLink(ids[1], ids[2], dtStartToStart), S_OK);
    recorder_->changed.clear();
    a->put_Name(u"a2");
    EXPECT_TRUE(recorder_->changed.empty());
    EXPECT_EQ(Item(a.Get())->text, "a2");

    // Later within its end: the duration is recomputed, b and c pushed.
    ASSERT_EQ(a->put_StartDate(Day(2026, 3, 3)), S_OK);
    DATE bStart = 0;
    b->get_StartDate(&bStart);
    EXPECT_EQ(bStart, Day(2026, 3, 3));
    EXPECT_EQ(recorder_->changed[a.Get()], 1);
    EXPECT_EQ(recorder_->changed[b.Get()], 1);
    EXPECT_EQ(recorder_->changed[c.Get()], 1);
}

TEST_F(ChartControl, TaskResourceDeletedOncePerAssignment)
{
    ComPtr<IResources> pool;
    control_->get_Resources(pool.ReleaseAndGetAddressOf());
    ComPtr<IResource> worker;
    ComPtr<IResource> other;
    pool->Add(u"Worker", worker.ReleaseAndGetAddressOf());
    pool->Add(u"Other", other.ReleaseAndGetAddressOf());
    std::vector<ComPtr<ITaskResource>> assignments;
    for (const char* name : {"a", "b"}) {
        ComPtr<ITask> task = Add(nullptr, name);
        ComPtr<ITaskResources> list;
        task->get_Resources(list.ReleaseAndGetAddressOf());
        ComPtr<ITaskResource> assignment;
        list->Add(worker.Get(), assignment.ReleaseAndGetAddressOf());
        assignments.push_back(assignment);
        list->Add(other.Get(), assignment.ReleaseAndGetAddressOf());
        // Removing one directly raises nothing.
        LONG otherId = 0;
        other->get_ID(&otherId);
        list->Delete(otherId);
    }
    EXPECT_TRUE(recorder_->deletedAssignments.empty());
    LONG id = 0;
    worker->get_ID(&id);
    ASSERT_EQ(pool->Delete(id), S_OK);
    ASSERT_EQ(recorder_->deletedAssignments.size(), 2u);
    EXPECT_EQ(recorder_->deletedAssignments[0], assignments[0].Get());
    EXPECT_EQ(recorder_->deletedAssignments[1], assignments[1].Get());
}

TEST_F(ChartControl, ResourcesGridMirrorsThePool)
{
    ComPtr<IResources> pool;
    control_->get_Resources(pool.ReleaseAndGetAddressOf());
    ComPtr<IResource> first;
    ComPtr<IResource> second;
    pool->AddWithID(7, u"Anna", first.ReleaseAndGetAddressOf());
    pool->AddWithID(12, u"Ben", second.ReleaseAndGetAddressOf());
    ComPtr<IResource> selected;
    EXPECT_EQ(control_->get_SelectedResource(selected.ReleaseAndGetAddressOf()), S_FALSE);
    EXPECT_EQ(selected.Get(), nullptr);
    EXPECT_EQ(control_->put_SelectedResource(second.Get()), S_OK);
    EXPECT_EQ(control_->get_SelectedResource(selected.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(selected.Get(), second.Get());
    second->put_Name(u"Bert");
    pool->Delete(7);
    EXPECT_EQ(control_->get_SelectedResource(selected.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(selected.Get(), second.Get());
    EXPECT_EQ(control_->put_SelectedResource(first.Get()), S_FALSE);

    // A double click on the read-only grid names the selected resource.
    control_->put_CurrentView(gcResourcesView);
    QWidget* gridWindow = Window()->gridWindow;
    testing::SavePicture(Window()->grab().toImage(), "chart_control_resources");
    QTest::mouseDClick(gridWindow, Qt::LeftButton, {}, QPoint(60, 30));
    EXPECT_EQ(recorder_->doubleClickedResource, second.Get());
    pool->DeleteAllResources();
    EXPECT_EQ(control_->get_SelectedResource(selected.ReleaseAndGetAddressOf()), S_FALSE);
    QTest::mouseDClick(gridWindow, Qt::LeftButton, {}, QPoint(60, 30));
    EXPECT_EQ(recorder_->doubleClickedResource, nullptr);
}

TEST_F(ChartControl, SplitterStaysInsideThePage)
{
    QWidget* splitter = Window()->splitterWindow;
    const int pageWidth = Window()->TasksPage()->width();
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(2, 100));
    QTest::mouseMove(splitter, QPoint(2 - 500, 100));
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(2, 100));
    EXPECT_EQ(splitter->x(), 10);
    EXPECT_EQ(Window()->TreeBackground()->width(), 10);
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(2, 100));
    QTest::mouseMove(splitter, QPoint(2 + 2000, 100));
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(2, 100));
    EXPECT_EQ(splitter->x(), pageWidth - 14);
    EXPECT_EQ(Window()->paneWindow->geometry().left(), pageWidth - 10);
    // A narrower window puts it back inside.
    Window()->resize(300, 400);
    EXPECT_EQ(splitter->x(), Window()->TasksPage()->width() - 14);
    // Widened again, it goes back to where the drag left it, not where the
    // narrow window pushed it.
    Window()->resize(800, 400);
    EXPECT_EQ(splitter->x(), pageWidth - 14);
    // A drag in the narrow window is the new place.
    Window()->resize(300, 400);
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(2, 100));
    QTest::mouseMove(splitter, QPoint(2 - 100, 100));
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(2, 100));
    const int dragged = splitter->x();
    Window()->resize(800, 400);
    EXPECT_EQ(splitter->x(), dragged);
}

TEST_F(ChartControl, SplitterKeepsItsStartThroughASmallFirstSize)
{
    QWidget* splitter = Window()->splitterWindow;
    Window()->resize(120, 300);
    EXPECT_LT(splitter->x(), 200);
    Window()->resize(800, 400);
    EXPECT_EQ(splitter->x(), 200);
}

TEST_F(ChartControl, ItemBoundsFollowScrollingAndCollapse)
{
    ComPtr<ITask> parent = Add(nullptr, "parent");
    std::vector<ComPtr<ITask>> children;
    for (int i = 0; i < 60; ++i) children.push_back(Add(parent.Get(), "child " + std::to_string(i)));
    LONG top = 0;
    LONG bottom = 0;
    EXPECT_EQ(control_->GetTaskTreeItemBounds(children[0].Get(), &top, &bottom), S_FALSE);
    EXPECT_EQ(top, -1);
    EXPECT_EQ(bottom, -1);
    control_->ExpandTask(parent.Get(), VARIANT_TRUE);
    EXPECT_EQ(control_->GetTaskTreeItemBounds(children[5].Get(), &top, &bottom), S_OK);
    EXPECT_EQ(top, 6 * 18);
    EXPECT_EQ(bottom, 7 * 18);
    QWheelEvent wheel(QPointF(50, 50), Tree()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Tree(), &wheel);
    const LONG first = Tree()->FirstRow();
    EXPECT_GT(first, 0);
    EXPECT_EQ(control_->GetTaskTreeItemBounds(children[5].Get(), &top, &bottom), S_OK);
    EXPECT_EQ(top, (6 - first) * 18);
    // The horizontal bar is always there, so the tree's client height is
    // the page's minus that bar, as the chart pane's is.
    EXPECT_TRUE(Tree()->findChildren<QScrollBar*>().size() == 2);
    EXPECT_LT(Tree()->ClientRect().height(), Tree()->height());
}

TEST_F(ChartControl, TreeRowsLineUpWithChartRows)
{
    control_->put_Title(u"Nested plan");
    const DATE start = Day(2026, 3, 2);
    struct Row {
        const char* name;
        int parent;  // index into rows, -1 for the root
        int offset;
        int length;
    };
    const Row rows[] = {{"Design", -1, 0, 0},        {"Sketches", 0, 0, 3}, {"Review", 0, 3, 2},
                        {"Build", -1, 0, 0},         {"Frame", 3, 5, 4},    {"Wiring", 4, 5, 2},
                        {"Panels", 4, 7, 2},         {"Paint", 3, 9, 3},    {"Hand-over", -1, 12, 1}};
    std::vector<ComPtr<ITask>> tasks;
    for (const Row& row : rows) {
        ComPtr<ITask> task = Add(row.parent < 0 ? nullptr : tasks[std::size_t(row.parent)].Get(), row.name);
        if (row.length > 0) {
            task->put_EndDate(start + row.offset + row.length);
            task->put_StartDate(start + row.offset);
        }
        tasks.push_back(task);
    }
    for (const auto& task : tasks) control_->ExpandTask(task.Get(), VARIANT_TRUE);
    // Each leaf gets a bar colour of its own, so that its bar is found by it.
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        ComPtr<ITaskAppearance> look;
        tasks[i]->get_Appearance(look.ReleaseAndGetAddressOf());
        look->put_Color(RGB(std::uint8_t(40 + 20 * i), 200, 120));
    }
    ASSERT_EQ(control_->AdjustTimeRange(), S_OK);
    Click(tasks[5].Get());
    QApplication::processEvents();
    const QImage picture = Window()->grab().toImage();
    testing::SavePicture(picture, "chart_control_nested_plan");

    // For every leaf: the bar's pixels in the chart and the label's dark
    // pixels in the tree fall into the same row band of the picture.
    QWidget* pane = Window()->paneWindow;
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        // Summaries and the selected row look otherwise.
        if (Item(tasks[i].Get())->HasChildren() || i == 5) continue;
        LONG top = 0;
        LONG bottom = 0;
        ASSERT_EQ(control_->GetTaskTreeItemBounds(tasks[i].Get(), &top, &bottom), S_OK);
        const int rowTop = Tree()->mapTo(Window(), QPoint(0, top)).y();
        const int rowBottom = rowTop + 18;
        const QRect label = Tree()->ItemTextRect(Item(tasks[i].Get())).translated(Tree()->mapTo(Window(), QPoint()));
        // The label's glyphs lie inside the row, clear of its edges.
        int dark = 0;
        for (int y = rowTop; y < rowBottom; ++y) {
            for (int x = label.left(); x < label.right(); ++x) {
                if (Pixel(picture, x, y).lightness() >= 100) continue;
                EXPECT_TRUE(y > rowTop && y < rowBottom - 1) << rows[i].name << " y " << y;
                ++dark;
            }
        }
        EXPECT_GT(dark, 10) << rows[i].name;
        // The bar, in the task's own colour, in the same band.
        int barFirst = -1;
        int barLast = -1;
        const QColor colour(40 + 20 * int(i), 200, 120);
        const QRect paneRect(pane->mapTo(Window(), QPoint()), pane->size());
        for (int y = paneRect.top(); y < paneRect.bottom(); ++y) {
            for (int x = paneRect.left(); x < paneRect.right(); ++x) {
                if (Pixel(picture, x, y) == colour) {
                    if (barFirst < 0) barFirst = y;
                    barLast = y;
                    break;
                }
            }
        }
        ASSERT_GE(barFirst, 0) << rows[i].name;
        EXPECT_GE(barFirst, rowTop) << rows[i].name;
        EXPECT_LT(barLast, rowBottom) << rows[i].name;
    }
}

TEST_F(ChartControl, ClicksOnTheChartSelectInTheTree)
{
    const DATE start = Day(2026, 3, 2);
    std::vector<ComPtr<ITask>> tasks;
    for (int i = 0; i < 4; ++i) {
        ComPtr<ITask> task = Add(nullptr, "t" + std::to_string(i));
        task->put_EndDate(start + 2 * i + 2);
        task->put_StartDate(start + 2 * i);
        ComPtr<ITaskAppearance> look;
        task->get_Appearance(look.ReleaseAndGetAddressOf());
        look->put_Color(RGB(std::uint8_t(60 + 40 * i), 180, 90));
        tasks.push_back(task);
    }
    ASSERT_EQ(control_->AdjustTimeRange(), S_OK);
    QWidget* pane = Window()->paneWindow;
    const QImage picture = pane->grab().toImage();
    // The middle of each bar, found by its colour.
    auto barCentre = [&picture](int i) {
        const QColor colour(60 + 40 * i, 180, 90);
        QRect found;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (Pixel(picture, x, y) == colour) found |= QRect(x, y, 1, 1);
        return found.center();
    };
    QTest::mouseClick(pane, Qt::LeftButton, {}, barCentre(1));
    EXPECT_EQ(Selected(false), Names{"t1"});
    QTest::mouseClick(pane, Qt::LeftButton, Qt::ControlModifier, barCentre(3));
    EXPECT_EQ(Selected(false), (Names{"t1", "t3"}));
    // Shift pressed on the chart sets the anchor; a Shift click selects
    // the range in the tree.
    QTest::mouseClick(pane, Qt::LeftButton, {}, barCentre(2));
    QTest::keyPress(pane, Qt::Key_Shift);
    QTest::mouseClick(pane, Qt::LeftButton, Qt::ShiftModifier, barCentre(0));
    QTest::keyRelease(pane, Qt::Key_Shift);
    EXPECT_EQ(Selected(false), (Names{"t0", "t1", "t2"}));
    QTest::mouseDClick(pane, Qt::LeftButton, {}, barCentre(3));
    EXPECT_EQ(recorder_->log.back(), "TaskDblClick t3");
}

}  // namespace
}  // namespace qmx
