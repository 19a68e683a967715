// The map adapter against the host program across the session bus (run it
// inside a bus of its own: dbus-run-session -- bin/mm_adapter_dbus_bench):
// own mode opens a map file of 10,000 task topics with 10,000 links in
// QMXMapHost, loads it again through the topics' tree reader (a few hundred
// topics a round trip) or, for comparison, one call per value, and writes
// one task edit back. The calls go through the counting stand-in, so each figure
// comes with its round trips.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "adapters/mindmanager/mm5_adapter.h"
#include "adapters/mindmanager/tests/counting_map.h"
#include "automation/file_name.h"
#include "bench/mindmanager/map_bench_support.h"
#include "maphost/api/map_factory.h"

namespace {

using namespace qmx;
using qmx::mm::testing::CallCounter;
using qmx::mm::testing::CountingApplication;

QTemporaryDir* g_dir = nullptr;

// The map file of `tasks` task topics, written once per size.
BSTR MapFile(int tasks)
{
    const QString path = g_dir->filePath(QStringLiteral("plan%1.mmap").arg(tasks));
    const BSTR name = FileNameToBstr(path.toStdString());
    if (QFile::exists(path)) return name;
    ComPtr<IMmApplication> app;
    ComPtr<IMmDocuments> documents;
    ComPtr<IMmDocument> document;
    map::CreateInProcessApplication(app.ReleaseAndGetAddressOf());
    app->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
    documents->Add(0, document.ReleaseAndGetAddressOf());
    bench::BuildPlanMap(document.Get(), tasks);
    document->SaveAs(name, 0);
    return name;
}

struct RemoteMap {
    ComPtr<CProjectDocument> plan = MakeObject<CProjectDocument>();
    ComPtr<mm::CMm5Adapter> adapter = MakeObject<mm::CMm5Adapter>();
    std::shared_ptr<CallCounter> counter = std::make_shared<CallCounter>();
    HRESULT opened = E_FAIL;

    explicit RemoteMap(int tasks, bool singleCalls = false)
    {
        if (singleCalls) counter->HideTreeReader();
        adapter->Connect(plan.Get());
        auto counted = counter;
        adapter->SetLauncher([counted](IMmApplication** pp) {
            ComPtr<IMmApplication> real;
            RETURN_IF_FAILED(mm::LocalServerLauncher()(real.ReleaseAndGetAddressOf()));
            return CountingApplication(real.Get(), counted).CopyTo(pp);
        });
        opened = adapter->FileOpen(0, MapFile(tasks));
    }
    ~RemoteMap() { adapter->Disconnect(); }
};

void DBusLoad(benchmark::State& state, bool singleCalls)
{
    const int tasks = int(state.range(0));
    RemoteMap remote(tasks, singleCalls);
    if (FAILED(remote.opened)) {
        state.SkipWithError("the host program could not open the map");
        return;
    }
    long calls = 0;
    for (auto _ : state) {
        remote.counter->Reset();
        if (FAILED(remote.adapter->Refresh())) state.SkipWithError("load failed");
        calls = remote.counter->Total();
    }
    state.counters["links"] = double(bench::CountLinks(remote.plan.Get()));
    state.counters["calls_per_topic"] = double(calls) / bench::TopicCount(tasks);
    state.counters["calls"] = double(calls);
}
void BM_DBusLoadMap(benchmark::State& state) { DBusLoad(state, false); }
BENCHMARK(BM_DBusLoadMap)->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(2)->Unit(benchmark::kMillisecond);

// Without the tree reader: one round trip per value of every topic.
void BM_DBusLoadMapSingleCalls(benchmark::State& state) { DBusLoad(state, true); }
BENCHMARK(BM_DBusLoadMapSingleCalls)->Arg(1000)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_DBusWriteBackOneEdit(benchmark::State& state)
{
    const int tasks = int(state.range(0));
    RemoteMap remote(tasks);
    // A task in the middle of the map (IDs count the group topics too).
    const LONG edited = tasks / 2;
    ComPtr<ITask> task;
    remote.plan->TaskTree()->GetTask(edited, task.ReleaseAndGetAddressOf());
    if (FAILED(remote.opened) || !task) {
        state.SkipWithError("the host program could not open the map");
        return;
    }
    int n = 0;
    long calls = 0;
    for (auto _ : state) {
        task->put_PercentComplete(++n % 100);
        remote.counter->Reset();
        if (FAILED(remote.adapter->TaskUpdate(edited))) state.SkipWithError("write failed");
        calls = remote.counter->Total();
    }
    state.counters["calls_per_edit"] = double(calls);
}
BENCHMARK(BM_DBusWriteBackOneEdit)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    // The host program shows no window when started as a server.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // A registry store of the run's own, which the host program inherits.
    setenv("QMX_REGISTRY", qPrintable(dir.filePath(QStringLiteral("registry.ini"))), 1);
    if (QProcess::execute(QStringLiteral(QMX_MAP_HOST), {QStringLiteral("-RegServer")}) != 0) return 1;
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
