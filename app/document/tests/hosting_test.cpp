// IApplication in-process: Connect, Disconnect, Visible, Hwnd, Quit, the
// Close operation of both modes, and Export of hosted mode.
#include "app/document/tests/app_object_fixture.h"

#include <QDialog>
#include <QTimer>

namespace qmx::testing {
namespace {

constexpr char kHost[] = "Host.Application.5";

class Hosting : public AppObjectTest {
protected:
    void SetUp() override
    {
        AppObjectTest::SetUp();
        Profile(kAdapterB).hosted = true;
        Profile(kAdapterB).servedHost = kHost;
        ASSERT_EQ(controller_->Initialize(), S_OK);
        Journal().clear();
    }
    HRESULT ConnectTo(const char* host) { return app_->Connect(nullptr, Utf8ToBstr(host), 77, VARIANT{}); }
};

TEST_F(Hosting, WindowQuestionsBeforeAWindowExists)
{
    LONG hwnd = -1;
    VARIANT_BOOL visible = VARIANT_TRUE;
    EXPECT_EQ(app_->get_Hwnd(&hwnd), S_OK);
    EXPECT_EQ(hwnd, 0);
    EXPECT_EQ(app_->get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_FALSE);
    EXPECT_EQ(app_->get_Hwnd(nullptr), E_POINTER);
    EXPECT_EQ(app_->get_Visible(nullptr), E_POINTER);
    EXPECT_TRUE(shell_.calls.empty());  // asking creates nothing

    EXPECT_EQ(app_->put_Visible(VARIANT_TRUE), S_OK);
    EXPECT_EQ(shell_.calls, Lines{"CreateMainWindow"});
    EXPECT_TRUE(shell_.userControl);
    app_->get_Visible(&visible);
    EXPECT_EQ(visible, VARIANT_TRUE);
    app_->get_Hwnd(&hwnd);
    EXPECT_NE(hwnd, 0);
    EXPECT_EQ(app_->put_Visible(VARIANT_FALSE), S_OK);
    app_->get_Visible(&visible);
    EXPECT_EQ(visible, VARIANT_FALSE);
    EXPECT_FALSE(shell_.userControl);
}

TEST_F(Hosting, ConnectHandsTheHostToTheAdapterThatServesIt)
{
    EXPECT_EQ(ConnectTo(kHost), S_OK);
    // A is not a hosted adapter and is not asked.
    EXPECT_EQ(Journal(), (Lines{"B SupportsHostApp Host.Application.5", "B ConnectHostApp Host.Application.5 empty"}));
    EXPECT_EQ(shell_.calls, (Lines{"CreateMainWindow", "HostedMode"}));
    EXPECT_TRUE(control_->panesEnabled);
    EXPECT_FALSE(controller_->IsStandalone());
    EXPECT_TRUE(Enabled(125));
    EXPECT_TRUE(Enabled(130));
    EXPECT_FALSE(Enabled(57603));
    EXPECT_FALSE(Enabled(57600));

    // Export offers every type but the current one, (B, 0).
    ui_.typeAnswer = 2;
    ui_.saveAnswer = u"/plans/copy.map";
    EXPECT_EQ(commands_->Execute(Op(125)), S_OK);
    EXPECT_EQ(ui_.typeLists, (std::vector<Lines>{{"export", "Plan A", "Text A", "Map B"}}));
    EXPECT_EQ(ui_.fileDialogs, Lines{"save Plan B (*.pln)|*.pln|Map B (*.map)|*.map|||map|"});
    EXPECT_EQ(JournalOf("B FileExport"), Lines{"B FileExport 1 /plans/copy.map"});

    EXPECT_EQ(commands_->Execute(Op(130)), S_OK);
    EXPECT_EQ(JournalOf("B Refresh"), Lines{"B Refresh"});

    // Close in hosted mode only hides the window.
    shell_.window->show();
    shell_.calls.clear();
    EXPECT_EQ(commands_->Close(), S_OK);
    EXPECT_FALSE(shell_.window->isVisible());
    EXPECT_TRUE(shell_.calls.empty());

    Journal().clear();
    EXPECT_EQ(app_->Disconnect(), S_OK);
    EXPECT_EQ(Journal(), Lines{"B DisconnectHostApp"});
    EXPECT_TRUE(controller_->IsStandalone());
    EXPECT_FALSE(Enabled(125));
}

TEST_F(Hosting, ConnectWithoutAServingAdapterChangesNothing)
{
    struct Row {
        const char* host;
        HRESULT connectHost;
        bool windowCanBeCreated;
        HRESULT result;
    };
    const Row rows[] = {
        {"Other.Application", S_OK, true, E_FAIL},
        {kHost, E_ACCESSDENIED, true, E_ACCESSDENIED},
        {kHost, S_OK, false, E_FAIL},
    };
    for (const Row& row : rows) {
        Profile(kAdapterB).connectHostResult = row.connectHost;
        shell_.windowCanBeCreated = row.windowCanBeCreated;
        shell_.window.reset();
        shell_.calls.clear();
        control_->calls.clear();
        EXPECT_EQ(ConnectTo(row.host), row.result) << row.host;
        EXPECT_TRUE(controller_->IsStandalone());
        EXPECT_EQ(shell_.calls, Lines{"CreateMainWindow"});
        EXPECT_TRUE(control_->calls.empty());
        EXPECT_FALSE(Enabled(125));
    }
}

TEST_F(Hosting, DisconnectWithoutConnectOnlySwitchesMode)
{
    EXPECT_EQ(app_->Disconnect(), S_OK);
    EXPECT_TRUE(Journal().empty());
    EXPECT_EQ(shell_.calls, Lines{"StandaloneMode"});
    EXPECT_TRUE(controller_->IsStandalone());
}

TEST_F(Hosting, HidingCancelsTheOpenDialogsInnermostFirst)
{
    ASSERT_EQ(app_->put_Visible(VARIANT_TRUE), S_OK);
    QWidget* window = shell_.window.get();
    QDialog outer(window);
    QDialog inner(&outer);
    std::vector<std::string> order;
    QObject::connect(&outer, &QDialog::rejected, [&] { order.push_back("outer"); });
    QObject::connect(&inner, &QDialog::rejected, [&] { order.push_back("inner"); });
    int innerResult = -1;
    QTimer::singleShot(0, &outer, [&] {
        QTimer::singleShot(0, &inner, [&] { app_->put_Visible(VARIANT_FALSE); });
        innerResult = inner.exec();
    });
    EXPECT_EQ(outer.exec(), QDialog::Rejected);
    EXPECT_EQ(innerResult, QDialog::Rejected);
    EXPECT_EQ(order, (Lines{"inner", "outer"}));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Hosting, QuitWithAndWithoutAWindow)
{
    ComPtr<ITask> task = control_->Add(0, "t");
    EXPECT_EQ(app_->Quit(), S_OK);
    EXPECT_EQ(shell_.calls, (Lines{"DisconnectClients", "PostQuit"}));
    EXPECT_EQ(Journal(), (Lines{"A Disconnect", "B Disconnect"}));
    VARIANT_BOOL valid = VARIANT_TRUE;
    task->get_IsValid(&valid);
    EXPECT_EQ(valid, VARIANT_FALSE);  // emptied, no prompt

    shell_.calls.clear();
    shell_.window = std::make_unique<QWidget>();
    EXPECT_EQ(app_->Quit(), S_OK);
    EXPECT_EQ(commands_->Close(), S_OK);  // stand-alone: Exit as well
    EXPECT_EQ(shell_.calls, (Lines{"Exit", "Exit"}));
}

TEST_F(Hosting, PrintGoesToTheView)
{
    ASSERT_EQ(controller_->OpenDocument(u"/plans/plan.pln"), S_OK);
    EXPECT_EQ(commands_->Execute(Op(57607)), S_OK);
    EXPECT_EQ(commands_->Execute(Op(57609)), S_OK);
    EXPECT_EQ(shell_.calls, (Lines{"Print", "PrintPreview"}));
}

}  // namespace
}  // namespace qmx::testing
