// The adapter against the real host program over the test's private
// session bus: own mode launches QMXMapHost as a local server and opens a
// map file there; edits go both ways (the plan's into the map, and edits
// made inside the host by a test add-in back into the plan); the map is
// saved and read again from its file; the host ending mid-session drops the
// plan without a hang.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <algorithm>
#include <functional>

#include "adapters/mindmanager/tests/process_support.h"
#include "adapters/mindmanager/tests/counting_map.h"
#include "app/app_commands.h"
#include "app/display_controller.h"
#include "app/document/application_object.h"
#include "app/document/tests/scripted_ui.h"
#include "app/document/tests/test_shell.h"
#include "app/language_resources.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/widget_control.h"
#include "chart/chart_control_interfaces.h"
#include "adapters/mindmanager/tests/map_fixture.h"
#include "automation/file_name.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/object_proxy.h"
#include "automation/remoting/remote_results.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

namespace qmx::mm::testing {
namespace {

constexpr DATE kDay = 45292;
constexpr CLSID kHostEditorClsid = MakeGuid("{8E2B6C4A-1D3F-4B7A-9C52-0F6E4D2A8B31}");

// A map file made with the in-process store: "Plan" with the topics
// "Host edits me" (dated, 10 %, naming Ann) and "Second", linked after it.
void WriteMapFile(const QString& path)
{
    ComPtr<IMmApplication> app;
    ASSERT_EQ(map::CreateInProcessApplication(app.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmDocuments> documents;
    ComPtr<IMmDocument> document;
    ComPtr<IMmTopic> central, first, second;
    app->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
    documents->Add(0, document.ReleaseAndGetAddressOf());
    document->get_CentralTopic(central.ReleaseAndGetAddressOf());
    central->put_Text(u"Plan");
    central->AddSubTopic(u"Host edits me", first.ReleaseAndGetAddressOf());
    central->AddSubTopic(u"Second", second.ReleaseAndGetAddressOf());
    ComPtr<IMmTaskInfo> info;
    first->get_TaskInfo(info.ReleaseAndGetAddressOf());
    info->put_StartDate(kDay);
    info->put_DurationHours(16);
    info->put_PercentComplete(10);
    info->put_Resources(u"Ann");
    SetAttribute(second.Get(), kPredecessors, GuidOf(first.Get()) + u",2");
    ASSERT_EQ(document->SaveAs(FileNameToBstr(path.toStdString()), 0), S_OK);
}

class MapHostRoad : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The host program registers itself as the application's local server.
        ASSERT_EQ(QProcess::execute(QStringLiteral(QMX_MAP_HOST), {QStringLiteral("-RegServer")}), 0);
        RegistryStore store;
        ASSERT_EQ(RegisterInprocServer(store,
                                       ClassInfo{kHostEditorClsid, "QMXTest.HostEditor.1", "QMXTest.HostEditor",
                                                 "host editor"},
                                       QMX_HOST_EDITOR),
                  S_OK);
        const std::string addIn = "SOFTWARE/Mindjet/MindManager/5/AddIns/QMXTest.HostEditor.1";
        ASSERT_TRUE(store.CreateKey(addIn));
        ASSERT_TRUE(store.SetNumber(addIn, "LoadBehavior", 2));
    }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        file = dir.filePath(QStringLiteral("plan.mmap"));
        WriteMapFile(file);
        data = MakeObject<CSiteDocument>();
        adapter = MakeObject<CMm5Adapter>();
        adapter->Connect(data.Get());
    }
    void TearDown() override
    {
        if (adapter) adapter->Disconnect();
    }

    BSTR FileBstr() const { return FileNameToBstr(file.toStdString()); }
    ComPtr<ITask> TaskNamed(const char16_t* name) const
    {
        ComPtr<IEnumTaskIDs> ids;
        data->Tree()->EnumTasks(ids.ReleaseAndGetAddressOf());
        LONG id = 0;
        while (ids->Next(&id) == S_OK) {
            ComPtr<ITask> task;
            BSTR text;
            data->Tree()->GetTask(id, task.ReleaseAndGetAddressOf());
            if (task && SUCCEEDED(task->get_Name(&text)) && text == name) return task;
        }
        return nullptr;
    }
    LONG TaskCount() const
    {
        ComPtr<IEnumTaskIDs> ids;
        data->Tree()->EnumTasks(ids.ReleaseAndGetAddressOf());
        LONG n = 0, id = 0;
        while (ids->Next(&id) == S_OK) ++n;
        return n;
    }
    static LONG IdOf(ITask* task)
    {
        LONG id = -1;
        task->get_ID(&id);
        return id;
    }

    QTemporaryDir dir;
    QString file;
    ComPtr<CSiteDocument> data;
    ComPtr<CMm5Adapter> adapter;
};

// The host's process of a proxy.
qint64 HostPid(IUnknown* proxy)
{
    ComPtr<remoting::IRemoteObject> remote;
    if (FAILED(QueryTo(proxy, remote.ReleaseAndGetAddressOf()))) return 0;
    return remoting::Apartment::Instance().Connection().interface()->servicePid(remote->RemoteBus()).value();
}

TEST_F(MapHostRoad, OwnModeOpensEditsBothWaysSavesAndReopens)
{
    // The launch goes through the counting stand-in, so that the calls of
    // one edit across the bus can be told.
    auto counter = std::make_shared<CallCounter>();
    qint64 hostPid = 0;
    adapter->SetLauncher([&](IMmApplication** pp) {
        ComPtr<IMmApplication> real;
        RETURN_IF_FAILED(LocalServerLauncher()(real.ReleaseAndGetAddressOf()));
        hostPid = HostPid(real.Get());
        return CountingApplication(real.Get(), counter).CopyTo(pp);
    });
    ASSERT_EQ(adapter->FileOpen(0, FileBstr()), S_OK);
    ASSERT_GT(hostPid, 0);
    EXPECT_EQ(TaskCount(), 2);
    ComPtr<ITask> first = TaskNamed(u"Host edits me");
    ComPtr<ITask> second = TaskNamed(u"Second");
    ASSERT_TRUE(first && second);
    LONG percent = 0;
    first->get_PercentComplete(&percent);
    EXPECT_EQ(percent, 10);
    ComPtr<ITaskDependencies> predecessors;
    LONG links = 0;
    second->get_Predecessors(predecessors.ReleaseAndGetAddressOf());
    predecessors->get_Count(&links);
    EXPECT_EQ(links, 1);
    BSTR name;
    adapter->get_FileName(&name);
    EXPECT_EQ(name, FileBstr());

    // An edit in the plan, written across the bus.
    second->put_PercentComplete(25);
    counter->Reset();
    ASSERT_EQ(adapter->TaskUpdate(IdOf(second.Get())), S_OK);
    RecordProperty("calls_per_edit_over_dbus", std::to_string(counter->Total()));
    EXPECT_LE(counter->Total(), 13) << counter->Report();
    ComPtr<ITask> added;
    ASSERT_EQ(data->Tree()->AddTask(0, -1, u"added in the plan", added.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(adapter->TaskNew(IdOf(added.Get())), S_OK);

    // The plan's new name reaches the host, whose add-in then edits the map
    // there: its changes come back as events.
    ComPtr<IDocumentProperties> properties;
    data->get_Properties(properties.ReleaseAndGetAddressOf());
    properties->put_Name(u"edit in the host");
    ASSERT_EQ(adapter->FilePropertiesUpdate(), S_OK);
    EXPECT_TRUE(Pump(20000, [&] { return TaskNamed(u"edited in the host") && TaskNamed(u"added in the host"); }));
    if (const auto edited = TaskNamed(u"edited in the host")) {
        edited->get_PercentComplete(&percent);
        EXPECT_EQ(percent, 80);
    }
    EXPECT_EQ(TaskCount(), 4);
    VARIANT_BOOL modified = VARIANT_FALSE;
    adapter->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_TRUE);

    // Saved by the host into the file, which the in-process store reads back.
    ASSERT_EQ(adapter->FileSave(), S_OK);
    adapter->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_FALSE);
    {
        ComPtr<IMmApplication> reader;
        ComPtr<IMmDocuments> documents;
        ComPtr<IMmDocument> saved;
        ComPtr<IMmTopic> central;
        map::CreateInProcessApplication(reader.ReleaseAndGetAddressOf());
        reader->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
        ASSERT_EQ(documents->Open(FileBstr(), BSTR(), VARIANT_TRUE, saved.ReleaseAndGetAddressOf()), S_OK);
        saved->get_CentralTopic(central.ReleaseAndGetAddressOf());
        BSTR text;
        central->get_Text(&text);
        EXPECT_EQ(text, u"edit in the host");
        ComPtr<IMmTopics> topics;
        central->get_SubTopics(VARIANT_FALSE, topics.ReleaseAndGetAddressOf());
        LONG count = 0;
        topics->get_Count(&count);
        EXPECT_EQ(count, 4);
    }

    // Closing leaves the map in the host; the adapter's release of the host
    // at the end lets the host program end.
    ASSERT_EQ(adapter->FileClose(), S_OK);
    EXPECT_EQ(TaskCount(), 0);
    adapter->Disconnect();
    adapter = nullptr;
    EXPECT_TRUE(Pump(15000, [&] { return Ended(hostPid); })) << "the host program still runs";

    // Reopened in a new host from the file: every edit of both programs is there.
    data = MakeObject<CSiteDocument>();
    adapter = MakeObject<CMm5Adapter>();
    adapter->Connect(data.Get());
    ASSERT_EQ(adapter->FileOpen(0, FileBstr()), S_OK);
    EXPECT_EQ(TaskCount(), 4);
    ASSERT_TRUE(TaskNamed(u"edited in the host"));
    ASSERT_TRUE(TaskNamed(u"added in the host"));
    ASSERT_TRUE(TaskNamed(u"added in the plan"));
    TaskNamed(u"Second")->get_PercentComplete(&percent);
    EXPECT_EQ(percent, 25);
    TaskNamed(u"edited in the host")->get_PercentComplete(&percent);
    EXPECT_EQ(percent, 80);
}

TEST_F(MapHostRoad, TheHostEndingMidSessionDropsThePlanWithoutAHang)
{
    qint64 hostPid = 0;
    adapter->SetLauncher([&](IMmApplication** pp) {
        RETURN_IF_FAILED(LocalServerLauncher()(pp));
        hostPid = HostPid(*pp);
        return S_OK;
    });
    ASSERT_EQ(adapter->FileOpen(0, FileBstr()), S_OK);
    ASSERT_EQ(TaskCount(), 2);
    ASSERT_GT(hostPid, 0);
    ::kill(pid_t(hostPid), SIGKILL);
    // The peer's name goes away; the next write fails at once.
    ComPtr<ITask> first = TaskNamed(u"Host edits me");
    ASSERT_TRUE(first);
    first->put_PercentComplete(50);
    QElapsedTimer clock;
    clock.start();
    HRESULT hr = S_OK;
    Pump(10000, [&] {
        hr = adapter->TaskUpdate(IdOf(first.Get()));
        return FAILED(hr) || hr == S_FALSE;
    });
    EXPECT_EQ(hr, RPC_E_DISCONNECTED);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(TaskCount(), 0);
    EXPECT_EQ(data->closed, 1);
    VARIANT_BOOL opened = VARIANT_TRUE;
    adapter->get_DocIsOpened(&opened);
    EXPECT_EQ(opened, VARIANT_FALSE);
    // A later open launches a new host.
    ASSERT_EQ(adapter->FileOpen(0, FileBstr()), S_OK);
    EXPECT_EQ(TaskCount(), 2);
}

// The whole display application's side: its File Open finds the map
// adapter by the file's type, and the commands edit, save and close.
TEST_F(MapHostRoad, TheDisplayApplicationsFileOpenWorksAgainstTheHost)
{
    ASSERT_TRUE(LanguageResources::LoadFile(QStringLiteral(QMX_ENGLISH_RCC)));
    for (const char* library : {"libQMXGanttChartControl.so", "libQMXSimpleGrid.so", "libQMXMm5Adapter.so"})
        ASSERT_EQ(RegisterLibrary(library), 0) << library;
    RegistryStore store;
    qmx::testing::ScriptedUi ui;
    qmx::testing::TestShell shell;
    ComPtr<IApplication> app = CreateApplicationObject(store, ui, shell);
    ASSERT_TRUE(app);
    IDisplayController* controller = DisplayControllerOf(app.Get());
    ComPtr<IAppCommands> commands;
    ComPtr<IDocumentData> plan;
    ASSERT_EQ(app.As(&commands), S_OK);
    ASSERT_EQ(app.As(&plan), S_OK);
    ComPtr<IGanttChartControl> control;
    ASSERT_EQ(CreateInstance(kGanttChartControlVersionIndependentProgId, &control), S_OK);
    ComPtr<IWidgetControl> widget;
    ASSERT_EQ(control.As(&widget), S_OK);
    QWidget* window = nullptr;
    ASSERT_EQ(widget->CreateControlWindow(nullptr, &window), S_OK);
    controller->AttachControl(control.Get());
    ASSERT_EQ(controller->Initialize(), S_OK);
    EXPECT_TRUE(ui.messages.empty()) << ui.Texts().front();
    const auto run = [&](int command) { return commands->Execute(AppCommandOperation(command)); };
    const auto names = [&] {
        std::vector<std::u16string> list;
        ComPtr<ITaskTree> tree;
        ComPtr<IEnumTaskIDs> ids;
        plan->get_TaskTree(tree.ReleaseAndGetAddressOf());
        tree->EnumTasks(ids.ReleaseAndGetAddressOf());
        LONG id = 0;
        while (ids->Next(&id) == S_OK) {
            ComPtr<ITask> task;
            BSTR name;
            tree->GetTask(id, task.ReleaseAndGetAddressOf());
            task->get_Name(&name);
            list.push_back(name);
        }
        return list;
    };
    const auto has = [&](const char16_t* name) {
        const auto list = names();
        return std::find(list.begin(), list.end(), std::u16string(name)) != list.end();
    };

    // File Open: the dialog offers the map type; the file opens in the host.
    ui.openAnswer = std::u16string(FileBstr());
    ASSERT_EQ(run(57601), S_OK) << (ui.messages.empty() ? "" : ui.Texts().back());
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_NE(ui.fileDialogs[0].find("MindManagerX5 map (*.mmap)"), std::string::npos) << ui.fileDialogs[0];
    EXPECT_EQ(shell.title, "plan.mmap");
    EXPECT_EQ(names().size(), 2u);

    // Edits in the program: a new task, and the plan's name, after which the
    // host's add-in edits the map in the host.
    ASSERT_EQ(run(40010), S_OK);
    EXPECT_EQ(names().size(), 3u);
    ui.documentAnswer = std::pair<std::u16string, std::u16string>(u"edit in the host", u"");
    ASSERT_EQ(run(40006), S_OK);
    EXPECT_TRUE(Pump(20000, [&] { return has(u"edited in the host") && has(u"added in the host"); }));

    // Save, close (the map stays open in the host), and open again.
    ASSERT_EQ(run(57603), S_OK) << (ui.messages.empty() ? "" : ui.Texts().back());
    ASSERT_EQ(run(57602), S_OK);
    EXPECT_TRUE(names().empty());
    ASSERT_EQ(run(57601), S_OK);
    EXPECT_EQ(names().size(), 4u);
    EXPECT_TRUE(has(u"edited in the host"));
    EXPECT_TRUE(has(u"added in the host"));
    EXPECT_TRUE(ui.messages.empty()) << ui.Texts().front();
    {
        // What the host saved is in the file.
        ComPtr<IMmApplication> reader;
        ComPtr<IMmDocuments> documents;
        ComPtr<IMmDocument> saved;
        ComPtr<IMmTopic> central;
        map::CreateInProcessApplication(reader.ReleaseAndGetAddressOf());
        reader->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
        ASSERT_EQ(documents->Open(FileBstr(), BSTR(), VARIANT_TRUE, saved.ReleaseAndGetAddressOf()), S_OK);
        saved->get_CentralTopic(central.ReleaseAndGetAddressOf());
        ComPtr<IMmTopics> topics;
        central->get_SubTopics(VARIANT_FALSE, topics.ReleaseAndGetAddressOf());
        LONG count = 0;
        topics->get_Count(&count);
        EXPECT_EQ(count, 4);
    }

    bool canExit = false;
    EXPECT_EQ(controller->Shutdown(true, &canExit), S_OK);
    plan = nullptr;
    commands = nullptr;
    app = nullptr;
    control = nullptr;
}

}  // namespace
}  // namespace qmx::mm::testing

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
