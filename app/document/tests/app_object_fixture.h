// The application object over a chart control stand-in, the test adapters
// of a temporary registry store, a scripted user interface and a test shell.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QTemporaryDir>

#include "adapters/contract/gantt_adapter.h"
#include "app/app_commands.h"
#include "app/display_controller.h"
#include "app/document/application_object.h"
#include "app/document/message_text.h"
#include "app/document/tests/chart_control_stand_in.h"
#include "app/document/tests/scripted_ui.h"
#include "app/document/tests/test_adapters.h"
#include "app/document/tests/test_shell.h"
#include "automation/bstr.h"
#include "automation/runtime/registry_store.h"

namespace qmx::testing {

using Lines = std::vector<std::string>;

inline void EnsureApplication()
{
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "app_document_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// The text of message `id` as the application shows it.
inline std::string Message(int id, std::initializer_list<std::u16string_view> args = {})
{
    return BstrToUtf8(MessageText(id, args));
}

// The operation of a command identifier.
inline LONG Op(int commandId) { return AppCommandOperation(commandId); }

class AppObjectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }

    void SetUp() override
    {
        ResetProfiles();
        ASSERT_TRUE(dir_.isValid());
        store_ = std::make_unique<RegistryStore>(dir_.filePath("registry.ini").toStdString());
        Register({kAdapterA, kAdapterB});
        app_ = CreateApplicationObject(*store_, ui_, shell_);
        ASSERT_TRUE(app_);
        controller_ = DisplayControllerOf(app_.Get());
        ASSERT_NE(controller_, nullptr);
        ASSERT_EQ(app_.As(&commands_), S_OK);
        ASSERT_EQ(app_.As(&data_), S_OK);
        control_ = MakeObject<ChartControlStandIn>();
        controller_->AttachControl(control_.Get());
    }

    void TearDown() override
    {
        bool canExit = false;
        controller_->Shutdown(true, &canExit);
        commands_ = nullptr;
        data_ = nullptr;
        app_ = nullptr;
    }

    void Register(const std::vector<std::string>& listed) { RegisterTestAdapters(*store_, listed); }

    // The adapters created and a plan of adapter A opened, the journal cleared.
    void OpenPlan(const std::u16string& name = u"/plans/plan.pln")
    {
        ASSERT_EQ(controller_->Initialize(), S_OK);
        ASSERT_EQ(controller_->OpenDocument(name), S_OK);
        Journal().clear();
        control_->calls.clear();
    }

    // A change the control reports, which marks the test adapter modified.
    void Modify(ITask* task)
    {
        control_->Events().Fire([task](_IGanttChartControlEvents* sink) { sink->TaskChanged(task); });
    }

    bool Enabled(int commandId, LONG* checked = nullptr)
    {
        VARIANT_BOOL enabled = VARIANT_FALSE;
        LONG check = 0;
        EXPECT_EQ(commands_->QueryState(Op(commandId), &enabled, &check), S_OK);
        if (checked) *checked = check;
        return enabled == VARIANT_TRUE;
    }

    QTemporaryDir dir_;
    std::unique_ptr<RegistryStore> store_;
    ScriptedUi ui_;
    TestShell shell_;
    ComPtr<IApplication> app_;
    IDisplayController* controller_ = nullptr;
    ComPtr<IAppCommands> commands_;
    ComPtr<IDocumentData> data_;
    ComPtr<ChartControlStandIn> control_;
};

}  // namespace qmx::testing
