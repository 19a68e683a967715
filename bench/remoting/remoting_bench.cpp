// Round trips to an object in the remoting tests' server process. Run on a
// session bus of its own: dbus-run-session -- bin/remoting_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <unistd.h>

#include "automation/com_object.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "automation/remoting/tests/test_interfaces.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

using namespace qmx;
using namespace qmx::remoting;
using namespace qmx::remoting::testing;

namespace {

ComPtr<ITestObject>& Server()
{
    static ComPtr<ITestObject> server;
    return server;
}

class Callback final : public ComObject<ITestCallback> {
public:
    HRESULT Compute(LONG n, LONG* p) override
    {
        *p = n;
        return S_OK;
    }
};

void SimpleCall(benchmark::State& state)
{
    LONG sum = 0;
    for (auto _ : state) {
        if (FAILED(Server()->Add(1, 2, &sum))) state.SkipWithError("call failed");
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(SimpleCall);

void StringCall(benchmark::State& state)
{
    const BSTR text(std::size_t(state.range(0)), u'q');
    BSTR back;
    for (auto _ : state) {
        if (FAILED(Server()->Echo(text, &back))) state.SkipWithError("call failed");
    }
}
BENCHMARK(StringCall)->Arg(16)->Arg(4096);

// The resident memory of a process in KiB, from /proc.
double ResidentKb(long pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble();
    }
    return -1;
}

// 10,000 calls that each hand an object out and back: the references held
// for the other process, the objects alive in it and the memory of both
// processes must not grow. A first round warms the allocators up.
void ObjectCalls(benchmark::State& state)
{
    auto callback = MakeObject<Callback>();
    LONG result = 0;
    LONG serverPid = 0;
    Server()->get_ProcessId(&serverPid);
    const auto round = [&] {
        for (int i = 0; i < 10000; ++i) {
            ComPtr<ITestObject> child;
            Server()->get_Child(child.ReleaseAndGetAddressOf());
            Server()->CallBack(callback.Get(), i, &result);
        }
        QCoreApplication::processEvents();
    };
    round();
    const double clientBefore = ResidentKb(long(getpid()));
    const double serverBefore = ResidentKb(serverPid);
    for (auto _ : state) round();
    LONG live = 0;
    Server()->get_LiveObjects(&live);
    state.counters["held_for_server"] = double(Apartment::Instance().HeldObjects());
    state.counters["callback_refs"] = double(callback->RefCount());
    state.counters["server_live_objects"] = double(live);
    state.counters["client_rss_growth_kb"] = ResidentKb(long(getpid())) - clientBefore;
    state.counters["server_rss_growth_kb"] = ResidentKb(serverPid) - serverBefore;
}
BENCHMARK(ObjectCalls)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir registry;
    setenv("QMX_REGISTRY", qPrintable(registry.filePath(QStringLiteral("registry.ini"))), 1);
    setenv("QMX_SYSTEM_REGISTRY", qPrintable(registry.filePath(QStringLiteral("system.ini"))), 1);
    RegisterTestInterfaces();
    RegistryStore store;
    RegisterLocalServer(store, ClassInfo{kTestServerClsid, "QMXTest.Server.1", "QMXTest.Server", "bench server"},
                        QMX_TEST_SERVER);
    if (FAILED(CreateLocalInstance("QMXTest.Server", &Server()))) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    Server() = nullptr;
    return 0;
}
