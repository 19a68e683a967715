// The display application started through automation on the test's private
// session bus, driven by qmxgantt-client.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <csignal>

#include "app/server/application_face.h"
#include "app/server/tests/test_host.h"
#include "automation/com_object.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "automation/remoting/object_proxy.h"
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

bool EndsWithin(qint64 pid, int ms)
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

TEST_F(LocalServerTest, DISABLED_ConnectHandsTheHostToTheAdapterThatServesIt)
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
    QCoreApplication::processEvents();
    EXPECT_EQ(host->RefCount(), 2u);  // the adapter holds it

    EXPECT_EQ(application->Disconnect(), S_OK);
    for (int i = 0; i < 100 && host->RefCount() != 1; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    EXPECT_EQ(host->RefCount(), 1u);  // DisconnectHostApp let it go

    EXPECT_EQ(application->Quit(), S_OK);
    EXPECT_TRUE(EndsWithin(pid, 10000));
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
    EXPECT_TRUE(EndsWithin(run.lines[0].toLongLong(), 10000));
}

// Off for now: these create the main window, and the test's registry does
// not register the chart control (QMXGanttChartControl, QMXSimpleGrid), so
// the server shows its "cannot be created" message box, which nobody answers
// in the server; the host's call waits for it until its time limit. To turn
// them on, register both libraries with qmxregsvr in SetUpTestSuite and make
// the test depend on them.
TEST_F(LocalServerTest, DISABLED_PropertiesBeforeAndAfterTheWindowAndQuit)
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
    EXPECT_TRUE(EndsWithin(run.lines[0].toLongLong(), 10000));
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
    EXPECT_TRUE(EndsWithin(first.lines[0].toLongLong(), 10000));
    EXPECT_TRUE(EndsWithin(second.lines[0].toLongLong(), 10000));
}

TEST_F(LocalServerTest, DISABLED_UserControlKeepsTheProgramAfterTheLastClient)
{
    const ClientRun run = Client({"pid", "show"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    const qint64 pid = run.lines.value(0).toLongLong();
    ASSERT_GT(pid, 0);
    QThread::msleep(1000);
    EXPECT_FALSE(Ended(pid));
    kill(pid_t(pid), SIGTERM);
    EndsWithin(pid, 5000);
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
    EXPECT_TRUE(EndsWithin(pid, 10000));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
