// The application object with the real parts of the program: the chart
// control, the grid and the XML adapter made by ProgID from the build's
// libraries, registered in the test's own registry store.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "adapters/contract/document_data.h"
#include "app/app_commands.h"
#include "app/display_controller.h"
#include "app/document/application_object.h"
#include "app/document/tests/scripted_ui.h"
#include "app/document/tests/test_shell.h"
#include "app/language_resources.h"
#include "automation/file_name.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registry_store.h"
#include "automation/runtime/widget_control.h"
#include "chart/chart_control_interfaces.h"

namespace qmx::testing {
namespace {

HRESULT RegisterBuilt(const char* fileName)
{
    const char* dir = std::getenv("QMX_BUILD_LIB_DIR");
    const std::string path = std::string(dir ? dir : ".") + "/" + fileName;
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return CO_E_DLLNOTFOUND;
    const auto registerServer = reinterpret_cast<RegisterServerFn>(dlsym(library, kRegisterServerSymbol));
    return registerServer ? registerServer() : CO_E_ERRORINDLL;
}

TEST(RealParts, OpenEditAndCloseAProjectFile)
{
    static int argc = 1;
    static char name[] = "real_parts_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    ASSERT_TRUE(LanguageResources::LoadFile(QStringLiteral(QMX_ENGLISH_RCC)));
    for (const char* library : {"libQMXGanttChartControl.so", "libQMXSimpleGrid.so", "libQMXXmlAdapter.so"})
        ASSERT_EQ(RegisterBuilt(library), S_OK) << library;

    QTemporaryDir dir;
    const QString plan = dir.filePath(QStringLiteral("example.qmxg"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QMX_EXAMPLE_PLAN), plan));

    RegistryStore store;
    ScriptedUi ui;
    TestShell shell;
    ComPtr<IApplication> app = CreateApplicationObject(store, ui, shell);
    ASSERT_TRUE(app);
    IDisplayController* controller = DisplayControllerOf(app.Get());
    ComPtr<IAppCommands> commands;
    ComPtr<IDocumentData> data;
    ASSERT_EQ(app.As(&commands), S_OK);
    ASSERT_EQ(app.As(&data), S_OK);

    ComPtr<IGanttChartControl> control;
    ASSERT_EQ(CreateInstance(kGanttChartControlVersionIndependentProgId, &control), S_OK);
    ComPtr<IWidgetControl> widget;
    ASSERT_EQ(control.As(&widget), S_OK);
    QWidget* window = nullptr;
    ASSERT_EQ(widget->CreateControlWindow(nullptr, &window), S_OK);
    window->resize(800, 400);
    window->show();
    controller->AttachControl(control.Get());
    VARIANT_BOOL panes = VARIANT_TRUE;
    control->get_PanesEnabled(&panes);
    EXPECT_EQ(panes, VARIANT_FALSE);

    ASSERT_EQ(controller->Initialize(), S_OK);
    EXPECT_TRUE(ui.messages.empty());
    const BSTR planName = FileNameToBstr(QFile::encodeName(plan).toStdString());
    ASSERT_EQ(controller->OpenDocument(planName), S_OK);
    EXPECT_EQ(shell.title, "example.qmxg");
    control->get_PanesEnabled(&panes);
    EXPECT_EQ(panes, VARIANT_TRUE);
    ComPtr<ITaskTree> tree;
    ComPtr<ITasks> roots;
    ASSERT_EQ(data->get_TaskTree(tree.ReleaseAndGetAddressOf()), S_OK);
    tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
    LONG count = 0;
    roots->get_Count(&count);
    EXPECT_GT(count, 0);

    // A new task makes the document modified; closing asks, and No drops it.
    VARIANT_BOOL modified = VARIANT_TRUE;
    data->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_FALSE);
    EXPECT_EQ(commands->Execute(AppCommandOperation(40010)), S_OK);
    roots->get_Count(&count);
    data->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_TRUE);
    ui.answers = {MessageAnswer::No};
    EXPECT_EQ(commands->Execute(AppCommandOperation(57602)), S_OK);
    ASSERT_EQ(ui.messages.size(), 1u);
    tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
    roots->get_Count(&count);
    EXPECT_EQ(count, 0);
    data->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_FALSE);

    bool canExit = false;
    EXPECT_EQ(controller->Shutdown(false, &canExit), S_OK);
    EXPECT_TRUE(canExit);
    tree = nullptr;
    roots = nullptr;
    data = nullptr;
    commands = nullptr;
    app = nullptr;
    control = nullptr;
}

}  // namespace
}  // namespace qmx::testing
