// The add-in loaded by the map host's add-in manager in this process, with a
// recording stand-in registered as the display application's local server
// on the test's private bus: the command and its place, its state, showing,
// showing again, starting anew after the display went, unloading, and the
// failures the user is told about.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <signal.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "addin/addin_identity.h"
#include "addin/addin_strings.h"
#include "app/document/application_interface.h"
#include "automation/bstr.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"
#include "maphost/app/add_in_manager.h"

namespace qmx::addin {
namespace {

using map::AddInManager;
using map::MapApplication;
using map::MapCommand;

// The calls the stand-in display applications got, by process.
struct Call {
    QString pid;
    QString what;
};

class AddInHostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        void* library = dlopen(QMX_ADDIN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        auto registerServer = reinterpret_cast<RegisterServerFn>(dlsym(library, kRegisterServerSymbol));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
        RegistryStore store;
        ASSERT_EQ(RegisterLocalServer(store,
                                      ClassInfo{CLSID_QMXGanttDisplayApplication, kDisplayApplicationProgId,
                                                kDisplayApplicationVersionIndependentProgId, "recording display"},
                                      QMX_RECORDING_DISPLAY),
                  S_OK);
    }

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        log = folder.filePath(QStringLiteral("calls.log"));
        qputenv("QMX_ADDIN_TEST_LOG", log.toLocal8Bit());
        qunsetenv("QMX_ADDIN_TEST_CONNECT");
        host = MakeObject<MapApplication>();
        host->SetMainWindowHandle(0x2A0004);
        manager = std::make_unique<AddInManager>(host.Get());
    }

    void TearDown() override
    {
        manager.reset();
        // Every display application started here has ended.
        for (const QString& pid : Pids()) {
            if (killed.contains(pid)) continue;
            EXPECT_TRUE(WaitFor([&] { return Has(pid, "exit"); })) << pid.toStdString();
        }
        for (QWidget* widget : QApplication::topLevelWidgets()) widget->deleteLater();
        QCoreApplication::processEvents();
    }

    void Load() { ASSERT_EQ(manager->Load(kAddInProgId, map::kConnectAfterStartup), S_OK); }

    MapCommand* Command() const
    {
        for (LONG i = 1;; ++i) {
            ComPtr<IMmCommand> command;
            if (host->Commands().Item(i, command.ReleaseAndGetAddressOf()) != S_OK) return nullptr;
            if (static_cast<MapCommand*>(command.Get())->Name() == kShowCommandName)
                return static_cast<MapCommand*>(command.Get());
        }
    }

    bool Enabled() const
    {
        VARIANT_BOOL enabled = VARIANT_FALSE, checked = VARIANT_TRUE;
        EXPECT_EQ(Command()->QueryState(&enabled, &checked), S_OK);
        EXPECT_EQ(checked, VARIANT_FALSE);
        return enabled == VARIANT_TRUE;
    }

    std::vector<Call> Calls() const
    {
        std::vector<Call> calls;
        QFile file(log);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return calls;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const int space = line.indexOf(' ');
            if (space > 0) calls.push_back({QString::fromUtf8(line.left(space)), QString::fromUtf8(line.mid(space + 1))});
        }
        return calls;
    }
    // The calls of one process, without its start and end.
    QStringList CallsOf(const QString& pid) const
    {
        QStringList calls;
        for (const Call& call : Calls()) {
            if (call.pid == pid && call.what != "started" && call.what != "exit") calls.append(call.what);
        }
        return calls;
    }
    QStringList Pids() const
    {
        QStringList pids;
        for (const Call& call : Calls()) {
            if (!pids.contains(call.pid)) pids.append(call.pid);
        }
        return pids;
    }
    // Whether the process logged the line (its start and end included).
    bool Has(const QString& pid, const char* what) const
    {
        for (const Call& call : Calls()) {
            if (call.pid == pid && call.what == what) return true;
        }
        return false;
    }

    template <class Predicate>
    static bool WaitFor(Predicate done, int ms = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return done();
    }

    static QMessageBox* Message()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) return box;
        }
        return nullptr;
    }

    QTemporaryDir folder;
    QString log;
    QStringList killed;
    ComPtr<MapApplication> host;
    std::unique_ptr<AddInManager> manager;
};

const QString kConnected = QStringLiteral("Connect host=object id=MindManager.Application.5 hwnd=2752516 additional=empty");

TEST_F(AddInHostTest, LoadingAddsTheCommandWithItsCaptionAndImageAndPlacesIt)
{
    Load();
    MapCommand* command = Command();
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(BstrToUtf8(command->ProgId()), kAddInVersionIndependentProgId);
    EXPECT_EQ(command->Caption(), u"Show &QMXGantt");
    // The image lies in sys beside the add-in's file, and is a real bitmap.
    const std::string library = QMX_ADDIN_LIBRARY;
    const std::string image = library.substr(0, library.find_last_of('/')) + "/sys/QMXGantt.bmp";
    EXPECT_EQ(BstrToUtf8(command->ImagePath()), image);
    QImage bitmap;
    ASSERT_TRUE(bitmap.load(QString::fromStdString(image), "BMP"));
    EXPECT_EQ(bitmap.size(), QSize(16, 16));
    // Placed on the add-ins' item, once.
    const auto& placed = host->UserInterfaces().AddIns().Controls().Commands();
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].Get(), command);

    // Unloading takes it off the menu and leaves it in the command collection.
    EXPECT_EQ(manager->Unload(kAddInProgId, map::kDisconnectUserClosed), S_OK);
    EXPECT_TRUE(host->UserInterfaces().AddIns().Controls().Commands().empty());
    EXPECT_EQ(Command(), command);
    // Its events reach nobody now: running it starts nothing.
    command->Execute();
    EXPECT_TRUE(Pids().isEmpty());
}

TEST_F(AddInHostTest, ElementZeroOfTheCustomArrayPlacesTheCommand)
{
    struct Row {
        const char* what;
        std::vector<VARIANT> custom;
        bool placed;
    };
    const Row rows[] = {
        {"no elements", {}, false},
        {"empty", {VARIANT{}}, false},
        {"false", {VARIANT(false)}, false},
        {"true", {VARIANT(true)}, true},
        {"true, then false", {VARIANT(true), VARIANT(false)}, true},
        {"number 0", {VARIANT(std::int32_t(0))}, false},
        {"number -1", {VARIANT(std::int32_t(-1))}, true},
        {"double 0.5", {VARIANT(0.5)}, true},
        {"text True", {VARIANT(BSTR(u"True"))}, true},
        {"text false", {VARIANT(BSTR(u"false"))}, false},
        {"text 1", {VARIANT(BSTR(u"1"))}, true},
        {"text yes", {VARIANT(BSTR(u"yes"))}, false},
    };
    for (const Row& row : rows) {
        auto application = MakeObject<MapApplication>();
        ComPtr<IDTExtensibility2> addIn;
        ASSERT_EQ(CreateInstance(kAddInVersionIndependentProgId, &addIn), S_OK);
        EXPECT_EQ(addIn->OnConnection(static_cast<IMmApplication*>(application.Get()), 0, nullptr, row.custom), S_OK)
            << row.what;
        EXPECT_EQ(application->UserInterfaces().AddIns().Controls().Commands().size(), row.placed ? 1u : 0u) << row.what;
        LONG commands = 0;
        application->Commands().get_Count(&commands);
        EXPECT_EQ(commands, 1) << row.what;
        EXPECT_EQ(addIn->OnDisconnection(1, {}), S_OK);
    }
}

TEST_F(AddInHostTest, ConnectingToAnObjectThatIsNotTheHostFails)
{
    ComPtr<IDTExtensibility2> addIn;
    ASSERT_EQ(CreateInstance(kAddInVersionIndependentProgId, &addIn), S_OK);
    EXPECT_EQ(addIn->OnConnection(nullptr, 0, nullptr, {VARIANT(true)}), E_POINTER);
    EXPECT_EQ(addIn->OnConnection(addIn.Get(), 0, nullptr, {VARIANT(true)}), E_NOINTERFACE);
    EXPECT_EQ(addIn->OnDisconnection(1, {}), S_OK);  // nothing to undo
}

TEST_F(AddInHostTest, TheCommandIsEnabledOnlyWhileAMapIsOpen)
{
    Load();
    EXPECT_FALSE(Enabled());
    ComPtr<map::MapDocument> first, second;
    ASSERT_EQ(host->NewDocument(&first), S_OK);
    EXPECT_TRUE(Enabled());
    ASSERT_EQ(host->NewDocument(&second), S_OK);
    host->CloseDocument(first.Get());
    EXPECT_TRUE(Enabled());
    host->CloseDocument(second.Get());
    EXPECT_FALSE(Enabled());
    VARIANT_BOOL enabled = VARIANT_FALSE;
    EXPECT_EQ(Command()->QueryState(&enabled, nullptr), E_POINTER);
}

TEST_F(AddInHostTest, RunningShowsTheSameDisplayUntilItGoesThenStartsANewOne)
{
    ComPtr<map::MapDocument> document;
    host->NewDocument(&document);
    const ULONG unloadedRefs = host->RefCount();
    Load();
    const ULONG hostRefs = host->RefCount();

    Command()->Execute();
    ASSERT_EQ(Pids().size(), 1);
    const QString first = Pids()[0];
    EXPECT_EQ(CallsOf(first), QStringList({kConnected, "Visible -1"}));
    EXPECT_GT(host->RefCount(), hostRefs);  // the display holds the host

    // Again: the same display application is shown, nothing else is called.
    Command()->Execute();
    EXPECT_EQ(Pids().size(), 1);
    EXPECT_EQ(CallsOf(first), QStringList({kConnected, "Visible -1", "Visible -1"}));

    // The user quit it: the next run starts and connects a new one.
    kill(first.toInt(), SIGKILL);
    killed.append(first);
    ASSERT_TRUE(WaitFor([&] { return host->RefCount() == hostRefs; }));  // its hold on the host went with it
    Command()->Execute();
    ASSERT_EQ(Pids().size(), 2);
    const QString second = Pids()[1];
    EXPECT_EQ(CallsOf(second), QStringList({kConnected, "Visible -1"}));

    // Unloading hides and disconnects it; it ends with the add-in's reference.
    EXPECT_EQ(manager->Unload(kAddInProgId, map::kDisconnectUserClosed), S_OK);
    EXPECT_EQ(CallsOf(second), QStringList({kConnected, "Visible -1", "Visible 0", "Disconnect"}));
    EXPECT_TRUE(WaitFor([&] { return Has(second, "exit"); }));
    EXPECT_TRUE(WaitFor([&] { return host->RefCount() == unloadedRefs; })) << host->RefCount();
}

TEST_F(AddInHostTest, ADisplayThatRefusesToConnectIsReleasedAndTheUserTold)
{
    Load();
    ComPtr<map::MapDocument> document;
    host->NewDocument(&document);
    qputenv("QMX_ADDIN_TEST_CONNECT", "refuse");
    Command()->Execute();
    ASSERT_EQ(Pids().size(), 1);
    const QString refused = Pids()[0];
    EXPECT_TRUE(WaitFor([&] { return Has(refused, "exit"); }));  // not held: it ended
    EXPECT_FALSE(Has(refused, "Visible -1"));
    QMessageBox* box = Message();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "QMXMm5GanttDisplay Error");
    EXPECT_EQ(box->text().toStdU16String(), kCannotConnectDisplay);
    EXPECT_EQ(box->informativeText(), "Error code 0x80004005.");
    box->close();

    // The user can try again.
    qunsetenv("QMX_ADDIN_TEST_CONNECT");
    Command()->Execute();
    ASSERT_EQ(Pids().size(), 2);
    EXPECT_EQ(CallsOf(Pids()[1]), QStringList({kConnected, "Visible -1"}));
}

TEST_F(AddInHostTest, ADisplayThatCannotBeStartedIsReported)
{
    Load();
    ComPtr<map::MapDocument> document;
    host->NewDocument(&document);
    RegistryStore store;
    const std::string serverKey = ClsidKey(CLSID_QMXGanttDisplayApplication) + "/LocalServer32";
    const std::string registered = store.GetString(serverKey).value_or("");
    store.SetString(serverKey, "", folder.filePath("no-such-program").toStdString());
    Command()->Execute();
    store.SetString(serverKey, "", registered);
    QMessageBox* box = Message();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "QMXMm5GanttDisplay Error");
    EXPECT_EQ(box->text().toStdU16String(), kCannotStartDisplay);
    EXPECT_FALSE(box->informativeText().isEmpty());
    box->close();
    EXPECT_TRUE(Pids().isEmpty());
}

TEST_F(AddInHostTest, RunningAgainOrUnloadingWhileTheDisplayConnectsLeavesNoneBehind)
{
    ComPtr<map::MapDocument> document;
    host->NewDocument(&document);
    const ULONG unloadedRefs = host->RefCount();
    Load();
    qputenv("QMX_ADDIN_TEST_CONNECT", "slow");
    // While Connect waits, the command runs again and then the add-in is
    // unloaded.
    QTimer::singleShot(300, [&] { Command()->Execute(); });
    QTimer::singleShot(600, [&] { manager->Unload(kAddInProgId, map::kDisconnectUserClosed); });
    Command()->Execute();
    ASSERT_EQ(Pids().size(), 1);  // the second run started nothing
    const QString pid = Pids()[0];
    EXPECT_EQ(CallsOf(pid), QStringList({kConnected, "Disconnect"}));  // never shown, and let go
    EXPECT_TRUE(WaitFor([&] { return Has(pid, "exit"); }));
    EXPECT_TRUE(WaitFor([&] { return host->RefCount() == unloadedRefs; })) << host->RefCount();
}

}  // namespace
}  // namespace qmx::addin

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
