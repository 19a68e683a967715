// Remoting between this test and the test server program, on the private
// session bus the test runs in.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdlib>

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "automation/remoting/object_proxy.h"
#include "automation/remoting/tests/hostile_calls.h"
#include "automation/remoting/tests/test_interfaces.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

using namespace qmx;
using namespace qmx::remoting;
using namespace qmx::remoting::testing;

namespace {

const QString kServer = QStringLiteral(QMX_TEST_SERVER);

void RegisterServer(const std::string& program)
{
    RegistryStore store;
    ASSERT_TRUE(SUCCEEDED(RegisterLocalServer(
        store, ClassInfo{kTestServerClsid, "QMXTest.Server.1", "QMXTest.Server", "test server"}, program)));
}

ComPtr<ITestObject> Activate(HRESULT* result = nullptr, int timeoutMs = kActivationTimeoutMs)
{
    ComPtr<ITestObject> object;
    const HRESULT hr = CreateLocalInstance("QMXTest.Server", &object, timeoutMs);
    if (result) *result = hr;
    return object;
}

// Serves events for up to ms, or until done says so.
void Pump(int ms, const std::function<bool()>& done = {})
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && !(done && done())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
}

bool ProcessEnded(LONG pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.size() > close + 2 && text[close + 2] == 'Z';
}

class Callback final : public ComObject<ITestCallback> {
public:
    explicit Callback(ComPtr<ITestObject> server) : server_(std::move(server)) {}
    HRESULT Compute(LONG n, LONG* p) override
    {
        ++calls;
        // Calls back into the server, which is itself waiting in CallBack.
        return server_ ? server_->Add(n, 100, p) : (*p = n * 2, S_OK);
    }
    int calls = 0;

private:
    ComPtr<ITestObject> server_;
};

class Sink final : public ComObject<ITestEvents> {
public:
    HRESULT Happened(const BSTR& s, LONG n) override
    {
        heard.push_back({s, n});
        return S_OK;
    }
    std::vector<std::pair<BSTR, LONG>> heard;
};

class RemotingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestInterfaces();
        unsetenv("QMX_TEST_SERVER_MODE");
        RegisterServer(kServer.toStdString());
    }
};

TEST_F(RemotingTest, ValuesOfEveryKindCrossBothWays)
{
    ComPtr<ITestObject> object = Activate();
    ASSERT_TRUE(object);
    LONG sum = 0;
    EXPECT_EQ(object->Add(2, -5, &sum), S_OK);
    EXPECT_EQ(sum, -3);
    EXPECT_EQ(object->Add(1, 2, nullptr), E_POINTER);  // refused before the call goes out

    const BSTR texts[] = {u"", u"Gantt \u00e9\u4e2d", std::u16string(1, char16_t(0xDC80)) + u"lone", BSTR(100000, u'x'),
                          std::u16string(u"nul\0inside", 10)};
    for (const BSTR& text : texts) {
        BSTR back = u"stale";
        EXPECT_EQ(object->Echo(text, &back), S_OK);
        EXPECT_EQ(back, text);
    }
    const VARIANT values[] = {VARIANT{}, VARIANT{true}, VARIANT{std::int32_t(-7)}, VARIANT{2.5}, VARIANT{BSTR(u"v")}};
    for (const VARIANT& value : values) {
        VARIANT back;
        EXPECT_EQ(object->EchoVariant(value, &back), S_OK);
        EXPECT_EQ(back, value);
    }
    VARIANT_BOOL vb = 0;
    DATE dt = 0;
    ULONG u = 0;
    EXPECT_EQ(object->EchoScalars(VARIANT_BOOL(5), 45000.75, 0xFFFFFFFFu, &vb, &dt, &u), S_FALSE);  // result kept
    EXPECT_EQ(vb, 5);
    EXPECT_EQ(dt, 45000.75);
    EXPECT_EQ(u, 0xFFFFFFFFu);
}

TEST_F(RemotingTest, EveryActivationStartsItsOwnProcess)
{
    ComPtr<ITestObject> first = Activate();
    ComPtr<ITestObject> second = Activate();
    ASSERT_TRUE(first && second);
    LONG a = 0, b = 0;
    first->get_ProcessId(&a);
    second->get_ProcessId(&b);
    EXPECT_NE(a, b);
    EXPECT_NE(a, 0);
}

TEST_F(RemotingTest, ActivationFailuresComeBackInTime)
{
    struct Case {
        const char* mode;
        std::string program;
        HRESULT expected;
        int limitMs;
    };
    const Case cases[] = {
        {"crash", kServer.toStdString(), CO_E_SERVER_EXEC_FAILURE, 5000},
        {"exit", kServer.toStdString(), CO_E_SERVER_EXEC_FAILURE, 5000},
        {"noclaim", kServer.toStdString(), CO_E_SERVER_EXEC_FAILURE, 5000},
        {"", "/nonexistent/server", CO_E_SERVER_EXEC_FAILURE, 5000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        setenv("QMX_TEST_SERVER_MODE", c.mode, 1);
        RegisterServer(c.program);
        QElapsedTimer clock;
        clock.start();
        HRESULT hr = S_OK;
        ComPtr<ITestObject> object = Activate(&hr, 1500);
        EXPECT_EQ(hr, c.expected);
        EXPECT_FALSE(object);
        EXPECT_LT(clock.elapsed(), c.limitMs);
        const auto error = GetErrorInfo();
        ASSERT_TRUE(error);
        EXPECT_FALSE(error->description.empty());
    }
    unsetenv("QMX_TEST_SERVER_MODE");
    ComPtr<ITestObject> none;
    EXPECT_EQ(CreateLocalInstance("QMXTest.Unknown", &none), CO_E_CLASSSTRING);
    RegistryStore store;
    store.DeleteKey(ClsidKey(kTestServerClsid) + "/LocalServer32");
    EXPECT_EQ(CreateLocalInstance("QMXTest.Server", &none), REGDB_E_CLASSNOTREG);
}

TEST_F(RemotingTest, CalleeCallsBackWhileTheCallerWaits)
{
    ComPtr<ITestObject> object = Activate();
    ASSERT_TRUE(object);
    auto callback = MakeObject<Callback>(object);
    LONG result = 0;
    EXPECT_EQ(object->CallBack(callback.Get(), 5, &result), S_OK);
    EXPECT_EQ(result, 105);  // our callback asked the server, nested twice
    EXPECT_EQ(callback->calls, 1);
}

TEST_F(RemotingTest, ObjectIdentityAndReferenceLifetime)
{
    ComPtr<ITestObject> object = Activate();
    ASSERT_TRUE(object);
    ComPtr<ITestObject> child1, child2;
    ASSERT_EQ(object->get_Child(child1.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(object->get_Child(child2.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(child1.Get(), child2.Get());  // the same object arrives as the same proxy
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(child1.As(&unknown), S_OK);
    ComPtr<ITestCallback> notThere;
    EXPECT_EQ(child1.As(&notThere), E_NOINTERFACE);

    // A local object sent twice is one object on the other side; a proxy
    // sent back home is the original there.
    auto local = MakeObject<Callback>(nullptr);
    VARIANT_BOOL same = 0;
    EXPECT_EQ(object->Same(local.Get(), local.Get(), &same), S_OK);
    EXPECT_EQ(same, VARIANT_TRUE);
    EXPECT_EQ(object->Same(child1.Get(), local.Get(), &same), S_OK);
    EXPECT_EQ(same, VARIANT_FALSE);

    // The server holds our object while it keeps it, and lets go when told.
    EXPECT_EQ(object->Keep(local.Get()), S_OK);
    Pump(200);
    EXPECT_EQ(local->RefCount(), 2u);
    EXPECT_EQ(object->Forget(), S_OK);
    Pump(2000, [&] { return local->RefCount() == 1; });
    EXPECT_EQ(local->RefCount(), 1u);
    EXPECT_EQ(Apartment::Instance().HeldObjects(), 0u);

    LONG live = 0;
    object->get_LiveObjects(&live);
    EXPECT_EQ(live, 2);  // the object and its child
    child1 = nullptr;
    child2 = nullptr;
    unknown = nullptr;
    Pump(300);
    object->get_LiveObjects(&live);
    EXPECT_EQ(live, 2);  // the parent still holds its child

    // The last release ends a server nobody controls.
    LONG pid = 0;
    object->get_ProcessId(&pid);
    object = nullptr;
    Pump(5000, [&] { return ProcessEnded(pid); });
    EXPECT_TRUE(ProcessEnded(pid));
}

TEST_F(RemotingTest, ManyCallsLeaveNoReferencesBehind)
{
    ComPtr<ITestObject> object = Activate();
    ASSERT_TRUE(object);
    for (int i = 0; i < 2000; ++i) {
        ComPtr<ITestObject> child;
        ASSERT_EQ(object->get_Child(child.ReleaseAndGetAddressOf()), S_OK);
    }
    auto local = MakeObject<Callback>(nullptr);
    for (int i = 0; i < 500; ++i) {
        LONG r = 0;
        ASSERT_EQ(object->CallBack(local.Get(), i, &r), S_OK);
    }
    Pump(2000, [&] { return local->RefCount() == 1; });
    EXPECT_EQ(local->RefCount(), 1u);
    EXPECT_EQ(Apartment::Instance().HeldObjects(), 0u);
}

// Every call gets its reply, however quickly it comes: a reply taken in by
// the connection before the caller starts waiting must still end the wait.
// A lost one would stall until the call's limit (set short here), which
// the elapsed time shows.
TEST_F(RemotingTest, EveryReplyOfManyQuickCallsEndsItsWait)
{
    ComPtr<ITestObject> object = Activate();
    ASSERT_TRUE(object);
    Apartment& apartment = Apartment::Instance();
    apartment.SetCallTimeout(5000);
    QElapsedTimer clock;
    clock.start();
    int failed = 0;
    qint64 longest = 0;
    for (int i = 0; i < 5000; ++i) {
        const qint64 before = clock.elapsed();
        LONG sum = 0;
        if (object->Add(i, 1, &sum) != S_OK || sum != i + 1) ++failed;
        longest = std::max(longest, clock.elapsed() - before);
    }
    apartment.SetCallTimeout(0);
    EXPECT_EQ(failed, 0);
    EXPECT_LT(longest, 2000);
}

TEST_F(RemotingTest, CallsToAVanishedPeerFailAtOnce)
{
    ComPtr<ITestObject> object = Activate();
    ASSERT_TRUE(object);
    ComPtr<ITestObject> child;
    ASSERT_EQ(object->get_Child(child.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(object->Die(), RPC_E_DISCONNECTED);
    Pump(200);
    QElapsedTimer clock;
    clock.start();
    LONG sum = 0;
    EXPECT_EQ(child->Add(1, 1, &sum), RPC_E_DISCONNECTED);
    EXPECT_EQ(object->Add(1, 1, &sum), RPC_E_DISCONNECTED);
    EXPECT_LT(clock.elapsed(), 1000);
}

// A peer that is alive but does not answer: the call gives up at its time
// limit, and the peer is served normally once it answers again.
TEST_F(RemotingTest, ACallThatIsNotAnsweredInTimeTimesOut)
{
    ComPtr<ITestObject> object = Activate();
    ASSERT_TRUE(object);
    Apartment& apartment = Apartment::Instance();
    EXPECT_EQ(apartment.CallTimeout(), kCallTimeoutMs);
    apartment.SetCallTimeout(300);
    QElapsedTimer clock;
    clock.start();
    const HRESULT stalled = object->Stall(3000);
    const qint64 waited = clock.elapsed();
    apartment.SetCallTimeout(0);
    EXPECT_EQ(apartment.CallTimeout(), kCallTimeoutMs);
    EXPECT_EQ(stalled, RPC_E_TIMEOUT);
    EXPECT_GE(waited, 250);
    EXPECT_LT(waited, 2500);  // well before the peer answers

    // The stalled peer still lives and answers the next call (which waits
    // for the stall to end); the late reply of the first is dropped.
    LONG sum = 0;
    EXPECT_EQ(object->Add(2, 3, &sum), S_OK);
    EXPECT_EQ(sum, 5);
    EXPECT_EQ(object->Stall(0), S_OK);
}

TEST_F(RemotingTest, AKilledClientReleasesItsReferences)
{
    QProcess client;
    client.setProgram(kServer);
    client.setArguments({QStringLiteral("client")});
    client.start();
    ASSERT_TRUE(client.waitForReadyRead(10000));
    const LONG serverPid = client.readLine().trimmed().toInt();
    ASSERT_GT(serverPid, 0);
    EXPECT_FALSE(ProcessEnded(serverPid));
    kill(pid_t(client.processId()), SIGKILL);
    client.waitForFinished(5000);
    Pump(5000, [&] { return ProcessEnded(serverPid); });
    EXPECT_TRUE(ProcessEnded(serverPid));
}

TEST_F(RemotingTest, EventsCausedByOurOwnCallsAreDropped)
{
    ComPtr<ITestObject> object = Activate();
    ASSERT_TRUE(object);
    auto sink = MakeObject<Sink>();
    std::uint32_t cookie = 0;
    ASSERT_EQ(Apartment::Instance().Subscribe(object.Get(), ITestEvents::iid, sink.Get(), &cookie), S_OK);
    ASSERT_EQ(object->Fire(u"moved", 50), S_OK);
    Pump(3000, [&] { return !sink->heard.empty(); });
    Pump(100);
    // The first event was caused by our call; the timer's was caused by nobody.
    ASSERT_EQ(sink->heard.size(), 1u);
    EXPECT_EQ(sink->heard[0].first, u"moved");
    EXPECT_EQ(sink->heard[0].second, 2);

    EXPECT_EQ(Apartment::Instance().Unsubscribe(cookie), S_OK);
    EXPECT_EQ(Apartment::Instance().Unsubscribe(cookie), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(object->Fire(u"again", 10), S_OK);
    Pump(300);
    EXPECT_EQ(sink->heard.size(), 1u);
}

// Hostile messages: each line of the file is "path|interface|member|args"
// with its expected D-Bus error name; the server must answer each and keep
// serving.
TEST_F(RemotingTest, MalformedCallsGetErrorsAndTheServerKeepsServing)
{
    ComPtr<ITestObject> object = Activate();
    ASSERT_TRUE(object);
    ComPtr<IRemoteObject> remote;
    ASSERT_EQ(QueryTo(object.Get(), remote.ReleaseAndGetAddressOf()), S_OK);
    const QString bus = remote->RemoteBus();
    const QString path = remote->RemotePath();

    const int replayed = ReplayHostileCalls(QStringLiteral(QMX_TEST_DATA "/hostile_calls.txt"), bus,
                                            {{QStringLiteral("$OBJECT"), path}}, [&] {
                                                LONG sum = 0;
                                                ASSERT_EQ(object->Add(20, 22, &sum), S_OK);
                                                EXPECT_EQ(sum, 42);
                                            });
    EXPECT_GT(replayed, 5);

    // A string too long to accept (it cannot go on a command line).
    QDBusMessage huge = QDBusMessage::createMethodCall(bus, path, QStringLiteral("org.qmx.test.ITestObject"),
                                                       QStringLiteral("Echo"));
    huge << QByteArray((kMaxStringUnits + 1) * 2, 'a');
    const QDBusMessage answer = Apartment::Instance().Connection().call(huge, QDBus::Block, 60000);
    EXPECT_EQ(answer.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(answer.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    LONG sum = 0;
    EXPECT_EQ(object->Add(1, 2, &sum), S_OK);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
