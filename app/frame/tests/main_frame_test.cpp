// The main window over the real chart control, with the application
// object, controller and document played by doubles: command routing and
// states, the status bar, closing in both modes, Exit, the recent files.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "app/dialogs/tests/scripted_user_interface.h"
#include "app/frame/chart_host_view.h"
#include "app/frame/main_frame.h"
#include "app/frame/tests/frame_doubles.h"
#include "app/frame/window_placement.h"
#include "automation/runtime/registry_store.h"
#include "chart/tests/chart_test_support.h"

namespace qmx {
namespace {

using testing::FakeCommands;
using testing::FakeController;
using testing::FakeDocument;
using testing::FakeRecentFiles;

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::EnsureApplication();
        ASSERT_EQ(testing::RegisterChartLibrary(), S_OK);
        ASSERT_EQ(testing::RegisterBuiltLibrary("libQMXSimpleGrid.so"), S_OK);
        commands = MakeObject<FakeCommands>();
        document = MakeObject<FakeDocument>();
    }

    QMXMainFrame* Make()
    {
        MainFrameServices services;
        services.commands = commands.Get();
        services.controller = &controller;
        services.document = document.Get();
        services.recentFiles = &recent;
        services.placement = &placement;
        services.ui = &ui;
        owned = CreateMainFrame(services);
        return static_cast<QMXMainFrame*>(owned.get());
    }

    static QAction* MenuAction(QMainWindow* window, int commandId)
    {
        for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
            for (QAction* action : menu->actions())
                if (action->data().toInt() == commandId) return action;
        return nullptr;
    }

    ComPtr<FakeCommands> commands;
    ComPtr<FakeDocument> document;
    FakeController controller;
    FakeRecentFiles recent;
    WindowPlacement placement;
    testing::ScriptedUserInterface ui;
    std::unique_ptr<MainFrame> owned;
};

TEST_F(MainFrameTest, HostsTheChartControlAsChild1000)
{
    QMXMainFrame* frame = Make();
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(frame->ChartControl(), nullptr);
    QWidget* window = frame->View()->ControlWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->objectName(), QStringLiteral("1000"));
    EXPECT_EQ(window->parentWidget(), frame->View());

    frame->resize(700, 500);
    frame->show();
    QApplication::processEvents();
    EXPECT_EQ(window->geometry(), frame->View()->rect()) << "the control fills the view";
    EXPECT_GT(window->width(), 400);
}

TEST_F(MainFrameTest, ChartControlThatCannotBeCreatedFailsWithMessage130)
{
    // A registry without the chart library.
    const std::string path = std::string(qgetenv("XDG_RUNTIME_DIR").constData()) + "/empty-registry.ini";
    RegistryStore empty(path, {});
    MainFrameServices services;
    services.commands = commands.Get();
    services.controller = &controller;
    services.ui = &ui;
    services.store = &empty;
    EXPECT_EQ(CreateMainFrame(services), nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The chart control cannot be created.");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
}

// Every command of the table reaches its own operation, and only while it is
// enabled; a disabled one never calls its operation, however it is sent.
TEST_F(MainFrameTest, RoutesEveryTableCommandToItsOperationOnlyWhenEnabled)
{
    QMXMainFrame* frame = Make();
    ASSERT_NE(frame, nullptr);
    for (std::size_t i = 0; i < kAppCommandIds.size(); ++i) {
        const int commandId = kAppCommandIds[i];
        const LONG operation = static_cast<LONG>(i) + 1;
        SCOPED_TRACE(commandId);
        commands->EnableAll(false);
        commands->executed.clear();
        frame->UpdateCommandStates();
        QAction* action = frame->Router().Action(commandId);
        EXPECT_FALSE(action->isEnabled());
        frame->SendCommand(commandId);
        EXPECT_TRUE(commands->executed.empty()) << "a disabled command ran";

        commands->enabled[static_cast<std::size_t>(operation)] = true;
        frame->UpdateCommandStates();
        EXPECT_TRUE(action->isEnabled());
        action->trigger();
        EXPECT_EQ(commands->executed, std::vector<LONG>{operation});

        // Enabled when the actions were refreshed, disabled since: the state
        // is asked again before the call.
        commands->executed.clear();
        commands->enabled[static_cast<std::size_t>(operation)] = false;
        frame->SendCommand(commandId);
        EXPECT_TRUE(commands->executed.empty());
    }
}

TEST_F(MainFrameTest, AcceleratorOfADisabledCommandDoesNothing)
{
    QMXMainFrame* frame = Make();
    ASSERT_NE(frame, nullptr);
    frame->show();
    QApplication::setActiveWindow(frame);
    commands->EnableAll(false);
    frame->UpdateCommandStates();
    QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(commands->executed.empty());

    commands->enabled[3] = true;  // File Save
    frame->UpdateCommandStates();
    QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(commands->executed, std::vector<LONG>{3});
}

TEST_F(MainFrameTest, StatesFollowTheQueriesAfterCommandsAndEvents)
{
    QMXMainFrame* frame = Make();
    ASSERT_NE(frame, nullptr);
    commands->enabled[26] = true;  // Tasks view, checked
    commands->checked[26] = 1;
    commands->enabled[27] = true;  // Resources view
    frame->UpdateCommandStates();
    QAction* tasks = frame->Router().Action(107);
    QAction* resources = frame->Router().Action(108);
    EXPECT_TRUE(tasks->isChecked());
    EXPECT_FALSE(resources->isChecked());

    // Choosing the resources view: the operation switches, the check marks follow.
    commands->onExecute = [this](LONG operation) {
        if (operation == 27) {
            commands->checked[26] = 0;
            commands->checked[27] = 1;
            commands->enabled[13] = false;  // New task: tasks view only
        }
    };
    commands->enabled[13] = true;
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->Router().Action(40010)->isEnabled());
    resources->trigger();
    EXPECT_FALSE(tasks->isChecked());
    EXPECT_TRUE(resources->isChecked());
    EXPECT_FALSE(frame->Router().Action(40010)->isEnabled());

    // A change the frame did not make itself (a click in the control)
    // shows after the event has been handled.
    commands->enabled[13] = true;
    QTest::mouseClick(frame->View()->ControlWindow(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(frame->Router().Action(40010)->isEnabled());

    // Without the command interface every table command is disabled.
    frame->Router().SetCommands(nullptr);
    frame->UpdateCommandStates();
    EXPECT_FALSE(tasks->isEnabled());
    EXPECT_FALSE(frame->Router().Action(40010)->isEnabled());
}

TEST_F(MainFrameTest, ModifiedIndicatorShowsOnlyWhileModified)
{
    QMXMainFrame* frame = Make();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->ModifiedIndicatorText(), QString());
    document->modified = true;
    frame->UpdateCommandStates();
    EXPECT_EQ(frame->ModifiedIndicatorText(), QStringLiteral("MOD"));
    document->modified = false;
    frame->UpdateCommandStates();
    EXPECT_EQ(frame->ModifiedIndicatorText(), QString());
}

TEST_F(MainFrameTest, MenusOfBothModesWithoutPrintPreview)
{
    QMXMainFrame* frame = Make();
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(MenuAction(frame, 57600), nullptr) << "stand-alone File New";
    EXPECT_EQ(MenuAction(frame, 125), nullptr);
    EXPECT_EQ(MenuAction(frame, 57609), nullptr) << "Print preview is removed";
    EXPECT_NE(MenuAction(frame, 57607), nullptr);
    auto* toolBar = frame->findChild<QToolBar*>(QStringLiteral("ToolBar"));
    ASSERT_NE(toolBar, nullptr);
    EXPECT_EQ(toolBar->windowTitle(), QStringLiteral("Standard"));
    EXPECT_EQ(toolBar->actions().size(), 7);
    EXPECT_EQ(frame->Router().Action(57603)->toolTip(), QStringLiteral("Save"));

    frame->SetStandaloneMode(false);
    EXPECT_EQ(MenuAction(frame, 57600), nullptr);
    EXPECT_NE(MenuAction(frame, 125), nullptr) << "hosted File Export";
    EXPECT_EQ(MenuAction(frame, 57609), nullptr);
    EXPECT_EQ(toolBar->actions().size(), 4);
    // Accelerators stay, whichever menu is shown.
    EXPECT_EQ(frame->Router().Action(57603)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
}

TEST_F(MainFrameTest, ClosingAsksTheCloseOperationAndExitDestroysOnlyWhenAllowed)
{
    QMXMainFrame* frame = Make();
    ASSERT_NE(frame, nullptr);
    frame->show();
    // Hosted: Close only hides.
    commands->onClose = [frame] { frame->hide(); };
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(commands->closes, 1);
    EXPECT_FALSE(frame->IsDestroyed());
    EXPECT_EQ(controller.shutdowns, 0);
    frame->show();
    EXPECT_TRUE(frame->isVisible()) << "the host can show it again";

    // Stand-alone: Close sends Exit; the user refuses the prompt to save.
    commands->onClose = [frame] { frame->SendCommand(kExitCommandId); };
    controller.canExit = false;
    frame->close();
    EXPECT_EQ(controller.shutdowns, 1);
    EXPECT_FALSE(controller.lastForce);
    EXPECT_FALSE(frame->IsDestroyed());
    EXPECT_TRUE(frame->isVisible());

    // A failed shutdown still ends the window, as an allowed one does.
    controller.canExit = false;
    controller.shutdownResult = E_FAIL;
    frame->SendCommand(kExitCommandId);
    EXPECT_TRUE(frame->IsDestroyed());
    EXPECT_FALSE(frame->isVisible());
    // Nothing reaches the application object afterwards.
    commands->EnableAll(true);
    frame->SendCommand(57600);
    EXPECT_TRUE(commands->executed.empty());
}

TEST_F(MainFrameTest, RecentFileThatNoLongerOpensIsRemoved)
{
    recent.files = {u"/plans/kept.qmxg", u"/plans/gone.qmxg", u"/plans/a&b.qmxg"};
    controller.openable = {u"/plans/kept.qmxg"};
    QMXMainFrame* frame = Make();
    ASSERT_NE(frame, nullptr);
    QMenu* file = frame->menuBar()->findChildren<QMenu*>().value(0);
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    EXPECT_EQ(frame->RecentFileEntries(),
              (QStringList{"&1 /plans/kept.qmxg", "&2 /plans/gone.qmxg", "&3 /plans/a&&b.qmxg"}));

    frame->SendCommand(kFirstRecentFileCommandId + 1);
    EXPECT_EQ(controller.opened.back(), u"/plans/gone.qmxg");
    EXPECT_EQ(recent.files, (std::vector<std::u16string>{u"/plans/kept.qmxg", u"/plans/a&b.qmxg"}));
    frame->SendCommand(kFirstRecentFileCommandId);
    EXPECT_EQ(recent.files.size(), 2u) << "a file that opens stays";
    frame->SendCommand(kFirstRecentFileCommandId + 7);
    EXPECT_EQ(controller.opened.size(), 2u) << "no such entry: nothing opened";

    emit file->aboutToShow();
    EXPECT_EQ(frame->RecentFileEntries(), (QStringList{"&1 /plans/kept.qmxg", "&2 /plans/a&&b.qmxg"}));
    recent.files.clear();
    emit file->aboutToShow();
    EXPECT_TRUE(frame->RecentFileEntries().isEmpty());
}

TEST_F(MainFrameTest, TaskColourGivesTheFocusBack)
{
    QMXMainFrame* frame = Make();
    ASSERT_NE(frame, nullptr);
    frame->show();
    QApplication::setActiveWindow(frame);
    auto* other = new QLineEdit(frame->statusBar());
    QWidget* control = frame->View()->ControlWindow();
    control->setFocus();
    QWidget* before = QApplication::focusWidget();
    ASSERT_NE(before, nullptr);
    commands->enabled[16] = true;
    commands->onExecute = [other](LONG operation) {
        if (operation == 16) other->setFocus();  // as a dialog would take it
    };
    frame->SendCommand(40013);
    EXPECT_EQ(commands->executed, std::vector<LONG>{16});
    EXPECT_EQ(QApplication::focusWidget(), before);
}

TEST_F(MainFrameTest, PlacementIsAppliedAndCaptured)
{
    placement.left = 40;
    placement.top = 30;
    placement.width = 640;
    placement.height = 420;
    QMXMainFrame* frame = Make();
    ASSERT_NE(frame, nullptr);
    frame->ShowWindow();
    QApplication::processEvents();
    EXPECT_EQ(frame->pos(), QPoint(40, 30));
    EXPECT_EQ(frame->size(), QSize(640, 420));

    frame->move(60, 50);
    frame->resize(700, 480);
    QApplication::processEvents();
    EXPECT_EQ(placement.left, 60);
    EXPECT_EQ(placement.top, 50);
    EXPECT_EQ(placement.width, 700);
    EXPECT_EQ(placement.height, 480);

    frame->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(placement.width, 700) << "a maximised window keeps its normal placement";
    controller.canExit = true;
    frame->SendCommand(kExitCommandId);
    EXPECT_TRUE(placement.maximized);
    EXPECT_EQ(placement.width, 700);
}

TEST_F(MainFrameTest, SavedMaximisedStateShowsMaximised)
{
    placement.maximized = true;
    QMXMainFrame* frame = Make();
    ASSERT_NE(frame, nullptr);
    frame->ShowWindow();
    EXPECT_TRUE(frame->isMaximized());
}

}  // namespace
}  // namespace qmx
