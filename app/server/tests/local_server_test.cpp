// The display application started through automation on the test's private
// session bus, driven by qmxgantt-client.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "app/server/application_face.h"
#include "app/server/tests/test_host.h"
#include "automation/com_object.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "automation/remoting/object_proxy.h"
#include "automation/remoting/tests/hostile_calls.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

namespace {

struct ClientRun {
    int status = -1;
    QStringList lines;
    QString errors;
};

ClientRun Client(const QStringList& arguments, int waitMs = 60000)
{
    QProcess client;
    client.start(QStringLiteral(QMX_CLIENT_PROGRAM), arguments);
    ClientRun run;
    if (!client.waitForFinished(waitMs)) {
        client.kill();
        client.waitForFinished();
        run.errors = QStringLiteral("timed out");
        return run;
    }
    run.status = client.exitCode();
    run.lines = QString::fromUtf8(client.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.errors = QString::fromUtf8(client.readAllStandardError());
    return run;
}

bool Ended(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.size() > close + 2 && text[close + 2] == 'Z';
}

// The program under the sanitizers starts and ends slowly: generous limits.
constexpr int kEndMs = 30000;

bool EndsWithin(qint64 pid, int ms = kEndMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!Ended(pid) && clock.elapsed() < ms) QThread::msleep(20);
    return Ended(pid);
}

class LocalServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The program registers itself as the local server of its class.
        ASSERT_EQ(QProcess::execute(QStringLiteral(QMX_DISPLAY_PROGRAM), {QStringLiteral("-RegServer")}), 0);
        // The window's chart control and the grid inside it.
        for (const char* library : {QMX_CHART_LIBRARY, QMX_GRID_LIBRARY}) {
            ASSERT_EQ(QProcess::execute(QStringLiteral(QMX_REGSVR), {QString::fromUtf8(library)}), 0) << library;
        }
        qmx::RegistryStore store;
        qmx::RegisterInprocServer(store,
                                  qmx::ClassInfo{qmx::testing::kHostedAdapterClsid, "QMXTest.HostedAdapter.1",
                                                 qmx::testing::kHostedAdapterProgId, "test"},
                                  QMX_HOSTED_ADAPTER);
        store.CreateKey(std::string("SOFTWARE/QMX/QMXGanttDisplay/Adapters/") + qmx::testing::kHostedAdapterProgId);
        qmx::RegisterApplicationFace();
        qmx::testing::RegisterTestHostFace();
    }
};

class TestHost final : public qmx::ComObject<ITestHost> {
public:
    HRESULT get_MapName(BSTR* p) override
    {
        ++calls;
        *p = u"host map";
        return S_OK;
    }
    int calls = 0;
};

qint64 ServerPid(IUnknown* proxy)
{
    qmx::ComPtr<qmx::remoting::IRemoteObject> remote;
    if (FAILED(qmx::QueryTo(proxy, remote.ReleaseAndGetAddressOf()))) return 0;
    return qmx::remoting::Apartment::Instance().Connection().interface()->servicePid(remote->RemoteBus()).value();
}

// Serves events until done or ms passed.
bool PumpUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

TEST_F(LocalServerTest, ConnectHandsTheHostToTheAdapterThatServesIt)
{
    qmx::ComPtr<IApplication> application;
    ASSERT_EQ(qmx::remoting::CreateLocalInstance(kDisplayApplicationVersionIndependentProgId, &application), S_OK);
    const qint64 pid = ServerPid(application.Get());
    auto host = qmx::MakeObject<TestHost>();

    // No adapter serves this host: a failure, and the host is not kept.
    EXPECT_TRUE(FAILED(application->Connect(host.Get(), u"Other.Host", 0, VARIANT{})));
    EXPECT_EQ(host->calls, 0);

    // The adapter reads the host's map while this process waits in Connect.
    EXPECT_EQ(application->Connect(host.Get(), u"QMXTest.Host.1", 1234, VARIANT{}), S_OK);
    EXPECT_EQ(host->calls, 1);
    PumpUntil([&] { return host->RefCount() == 2u; });
    EXPECT_EQ(host->RefCount(), 2u);  // the adapter holds it, and only it
    VARIANT_BOOL visible = VARIANT_TRUE;
    EXPECT_EQ(application->get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_FALSE);  // Connect shows nothing itself
    LONG hwnd = 0;
    EXPECT_EQ(application->get_Hwnd(&hwnd), S_OK);
    EXPECT_NE(hwnd, 0);  // but the window exists

    EXPECT_EQ(application->Disconnect(), S_OK);
    PumpUntil([&] { return host->RefCount() == 1u; });
    EXPECT_EQ(host->RefCount(), 1u);  // DisconnectHostApp let it go
    EXPECT_EQ(application->Disconnect(), S_OK);  // twice: nothing to let go

    EXPECT_EQ(application->Quit(), S_OK);
    EXPECT_TRUE(EndsWithin(pid));
    LONG after = 0;
    PumpUntil([&] { return application->get_Hwnd(&after) == RPC_E_DISCONNECTED; });
    EXPECT_EQ(application->get_Hwnd(&after), RPC_E_DISCONNECTED);
    application = nullptr;
}

TEST_F(LocalServerTest, PropertiesBeforeTheWindowDisconnectAndQuit)
{
    const ClientRun run = Client({"pid", "visible", "hwnd", "disconnect", "visible", "quit"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    ASSERT_EQ(run.lines.size(), 4) << run.lines.join(' ').toStdString();
    EXPECT_EQ(run.lines[1], "0");  // no window yet: not visible
    EXPECT_EQ(run.lines[2], "0");  // and no window id
    EXPECT_EQ(run.lines[3], "0");  // Disconnect without Connect creates no window
    EXPECT_TRUE(EndsWithin(run.lines[0].toLongLong()));
}

TEST_F(LocalServerTest, PropertiesBeforeAndAfterTheWindowAndQuit)
{
    const ClientRun run = Client({"pid", "visible", "hwnd", "show", "visible", "hwnd", "hide", "visible", "disconnect",
                            "visible", "quit"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    ASSERT_EQ(run.lines.size(), 7) << run.lines.join(' ').toStdString();
    EXPECT_EQ(run.lines[1], "0");   // no window yet: not visible
    EXPECT_EQ(run.lines[2], "0");   // and no window id
    EXPECT_EQ(run.lines[3], "-1");  // shown
    EXPECT_NE(run.lines[4], "0");   // a window id now
    EXPECT_EQ(run.lines[5], "0");   // hidden
    EXPECT_EQ(run.lines[6], "0");   // Disconnect without Connect changes no window
    EXPECT_TRUE(EndsWithin(run.lines[0].toLongLong()));
}

TEST_F(LocalServerTest, EveryActivationIsANewProcessThatEndsWithItsLastClient)
{
    const ClientRun first = Client({"pid"});
    const ClientRun second = Client({"pid"});
    ASSERT_EQ(first.status, 0) << first.errors.toStdString();
    ASSERT_EQ(second.status, 0) << second.errors.toStdString();
    ASSERT_EQ(first.lines.size(), 1);
    ASSERT_EQ(second.lines.size(), 1);
    EXPECT_NE(first.lines[0], second.lines[0]);
    // Nobody took control: each ends when its client lets go.
    EXPECT_TRUE(EndsWithin(first.lines[0].toLongLong()));
    EXPECT_TRUE(EndsWithin(second.lines[0].toLongLong()));
}

TEST_F(LocalServerTest, UserControlKeepsTheProgramAfterTheLastClient)
{
    const ClientRun run = Client({"pid", "show"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    const qint64 pid = run.lines.value(0).toLongLong();
    ASSERT_GT(pid, 0);
    QThread::msleep(1500);
    EXPECT_FALSE(Ended(pid));  // the user has it now
    kill(pid_t(pid), SIGTERM);
    EXPECT_TRUE(EndsWithin(pid));

    // Control given up again: the program ends with its last client.
    const ClientRun hidden = Client({"pid", "show", "hide"});
    ASSERT_EQ(hidden.status, 0) << hidden.errors.toStdString();
    EXPECT_TRUE(EndsWithin(hidden.lines.value(0).toLongLong()));
}

TEST_F(LocalServerTest, AKilledClientsReferencesAreReleased)
{
    QProcess client;
    client.start(QStringLiteral(QMX_CLIENT_PROGRAM), {"pid", "wait", "60000"});
    ASSERT_TRUE(client.waitForReadyRead(30000));
    const qint64 pid = client.readLine().trimmed().toLongLong();
    ASSERT_GT(pid, 0);
    client.kill();
    client.waitForFinished();
    EXPECT_TRUE(EndsWithin(pid));
}

// Calls that do not fit the application's face are refused with an error;
// none shows a window or ends the program, which keeps serving.
TEST_F(LocalServerTest, MalformedCallsGetErrorsAndTheProgramKeepsServing)
{
    qmx::ComPtr<IApplication> application;
    ASSERT_EQ(qmx::remoting::CreateLocalInstance(kDisplayApplicationVersionIndependentProgId, &application), S_OK);
    qmx::ComPtr<qmx::remoting::IRemoteObject> remote;
    ASSERT_EQ(qmx::QueryTo(application.Get(), remote.ReleaseAndGetAddressOf()), S_OK);
    const qint64 pid = ServerPid(application.Get());

    const int replayed = qmx::remoting::testing::ReplayHostileCalls(
        QStringLiteral(QMX_SERVER_TEST_DATA "/hostile_application_calls.txt"), remote->RemoteBus(),
        {{QStringLiteral("$OBJECT"), remote->RemotePath()}}, [&] {
            LONG hwnd = -1;
            ASSERT_EQ(application->get_Hwnd(&hwnd), S_OK);
            EXPECT_EQ(hwnd, 0);
        });
    EXPECT_GT(replayed, 10);
    EXPECT_FALSE(Ended(pid));

    // The references are still this client's: letting go ends the program.
    application = nullptr;
    remote = nullptr;
    QCoreApplication::processEvents();
    EXPECT_TRUE(EndsWithin(pid));
}

// A registered program that never claims its name: the client gives up at
// its time limit with a message that says so, and the program is stopped.
TEST_F(LocalServerTest, AServerThatNeverRegistersFailsActivationInTime)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString script = dir.filePath(QStringLiteral("silent-server"));
    const QString pidFile = dir.filePath(QStringLiteral("pid"));
    {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("#!/bin/sh\necho $$ > '%1'\nexec sleep 60\n").arg(pidFile).toUtf8());
    }
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qmx::RegistryStore store;
    CLSID clsid{};
    ASSERT_EQ(qmx::CLSIDFromProgID(store, kDisplayApplicationVersionIndependentProgId, &clsid), S_OK);
    const std::string key = qmx::ClsidKey(clsid) + "/LocalServer32";
    const std::string program = store.GetString(key).value_or("");
    ASSERT_TRUE(store.SetString(key, "", script.toStdString()));

    QElapsedTimer clock;
    clock.start();
    const ClientRun run = Client({"--timeout", "1500", "visible"});
    const qint64 took = clock.elapsed();
    ASSERT_TRUE(store.SetString(key, "", program));

    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.lines.isEmpty());
    EXPECT_TRUE(run.errors.contains(QStringLiteral("did not register within 1500 ms"))) << run.errors.toStdString();
    EXPECT_GE(took, 1500);
    EXPECT_LT(took, 15000);
    QFile pid(pidFile);
    ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
    EXPECT_TRUE(EndsWithin(pid.readAll().trimmed().toLongLong(), 5000));  // stopped, not left behind
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
