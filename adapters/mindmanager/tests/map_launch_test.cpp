// Own mode's launch of the mind-mapping application as a local server, on
// the test's private session bus, with servers that fail in every way one
// can: not registered, missing, ending, crashing, never registering, or
// serving something else.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

#include "adapters/mindmanager/mm5_adapter.h"
#include "adapters/mindmanager/tests/map_fixture.h"
#include "automation/error_info.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

namespace qmx::mm::testing {
namespace {

void ForgetServer()
{
    RegistryStore store;
    store.DeleteKey(ClsidKey(kMapApplicationClsid));
    store.DeleteKey("MindManager.Application.5");
}

// Ends the servers this test started that still run (one that served
// something else waits a while for a client to ask again).
void EndStartedServers()
{
    QFile children(QStringLiteral("/proc/self/task/%1/children").arg(getpid()));
    if (!children.open(QIODevice::ReadOnly)) return;
    for (const QByteArray& pid : children.readAll().split(' '))
        if (pid.trimmed().toInt() > 0) kill(pid.trimmed().toInt(), SIGTERM);
}

struct LaunchCase {
    const char* what;
    const char* mode;     // the test server's behaviour
    const char* program;  // null: the test server; "" no registration
    bool progId;          // registered by ProgID too, or by class ID only
};

TEST(MapLaunch, AFailedLaunchSaysSoAndHoldsNoMap)
{
    const LaunchCase cases[] = {
        {"no server registered", "", "", true},
        {"a program that does not exist", "", "/nonexistent/QMXMapHost", true},
        {"a server that ends at once", "exit", nullptr, true},
        {"a server that crashes", "crash", nullptr, true},
        {"a server that never registers", "noclaim", nullptr, true},
        {"a server of another class", "", nullptr, true},
        {"a server registered by class ID only", "exit", nullptr, false},
    };
    for (const LaunchCase& c : cases) {
        SCOPED_TRACE(c.what);
        ForgetServer();
        RegistryStore store;
        const std::string program = c.program ? c.program : QMX_TEST_SERVER;
        if (!program.empty()) {
            if (c.progId)
                ASSERT_EQ(RegisterLocalServer(store,
                                              ClassInfo{kMapApplicationClsid, "MindManager.Application.5",
                                                        "MindManager.Application", "map application"},
                                              program),
                          S_OK);
            else
                ASSERT_TRUE(store.SetString(ClsidKey(kMapApplicationClsid) + "/LocalServer32", {}, program));
        }
        setenv("QMX_TEST_SERVER_MODE", c.mode, 1);

        auto data = MakeObject<CSiteDocument>();
        auto adapter = MakeObject<CMm5Adapter>();
        adapter->SetLauncher(LocalServerLauncher(1500));
        adapter->Connect(data.Get());
        for (int attempt = 0; attempt < 2; ++attempt) {  // a failed launch keeps nothing: the next one tries anew
            QElapsedTimer clock;
            clock.start();
            ClearErrorInfo();
            const HRESULT hr = attempt == 0 ? adapter->FileOpen(0, u"/maps/plan.mmap") : adapter->FileNew(0);
            EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
            EXPECT_LT(clock.elapsed(), 6000);
            const auto error = GetErrorInfo();
            ASSERT_TRUE(error);
            EXPECT_EQ(error->description, u"Failed to launch MindManagerX5");
            EXPECT_EQ(error->source, u"QMXMm5Adapter");
            EXPECT_EQ(error->iid, IGanttAdapter::iid);
            VARIANT_BOOL opened = VARIANT_TRUE;
            adapter->get_DocIsOpened(&opened);
            EXPECT_EQ(opened, VARIANT_FALSE);
        }
        EXPECT_EQ(adapter->FileSave(), S_FALSE);
        adapter->Disconnect();
    }
    unsetenv("QMX_TEST_SERVER_MODE");
    ForgetServer();
    EndStartedServers();
}

}  // namespace
}  // namespace qmx::mm::testing

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
