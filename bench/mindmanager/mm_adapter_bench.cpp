// The map adapter over the in-process store: loading maps of 10,000 and
// 100,000 task topics (every topic dated, naming a resource and linked to
// the topic before it), and writing one task edit back into a loaded map.
// Loading goes through the topics' tree reader; the single-call variant
// reads without it. The counted variants go through the counting stand-in for the road across
// processes and report the calls (round trips) per loaded topic and per
// edit.
#include <benchmark/benchmark.h>

#include <memory>

#include "adapters/mindmanager/mm5_adapter.h"
#include "adapters/mindmanager/tests/counting_map.h"
#include "bench/mindmanager/map_bench_support.h"
#include "maphost/api/map_factory.h"

namespace {

using namespace qmx;
using qmx::mm::testing::CallCounter;
using qmx::mm::testing::CountingApplication;

struct LoadedMap {
    ComPtr<IMmApplication> store;
    ComPtr<IMmApplication> app;  // the store, or its counting stand-in
    ComPtr<CProjectDocument> plan;
    ComPtr<mm::CMm5Adapter> adapter;
    std::shared_ptr<CallCounter> counter;

    LoadedMap(int tasks, bool counted, bool singleCalls = false)
    {
        map::CreateInProcessApplication(store.ReleaseAndGetAddressOf());
        ComPtr<IMmDocuments> documents;
        ComPtr<IMmDocument> document;
        store->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
        documents->Add(0, document.ReleaseAndGetAddressOf());
        bench::BuildPlanMap(document.Get(), tasks);
        app = store;
        if (counted) {
            counter = std::make_shared<CallCounter>();
            if (singleCalls) counter->HideTreeReader();
            app = CountingApplication(store.Get(), counter);
        }
        plan = MakeObject<CProjectDocument>();
        adapter = MakeObject<mm::CMm5Adapter>();
        adapter->Connect(plan.Get());
        adapter->ConnectHostApp(app.Get(), u"MindManager.Application.5", VARIANT{});
    }
    ~LoadedMap() { adapter->Disconnect(); }
};

void Load(benchmark::State& state, bool counted, bool singleCalls = false)
{
    const int tasks = int(state.range(0));
    LoadedMap loaded(tasks, counted, singleCalls);
    long calls = 0;
    for (auto _ : state) {
        if (loaded.counter) loaded.counter->Reset();
        if (FAILED(loaded.adapter->Refresh())) state.SkipWithError("load failed");
        if (loaded.counter) calls = loaded.counter->Total();
    }
    state.SetItemsProcessed(state.iterations() * tasks);
    state.counters["links"] = double(bench::CountLinks(loaded.plan.Get()));
    if (counted) state.counters["calls_per_topic"] = double(calls) / bench::TopicCount(tasks);
}

void BM_LoadMap(benchmark::State& state) { Load(state, false); }
BENCHMARK(BM_LoadMap)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LoadMapCounted(benchmark::State& state) { Load(state, true); }
BENCHMARK(BM_LoadMapCounted)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same map read without the tree reader, one call per value.
void BM_LoadMapCountedSingleCalls(benchmark::State& state) { Load(state, true, true); }
BENCHMARK(BM_LoadMapCountedSingleCalls)->Arg(10000)->Unit(benchmark::kMillisecond);

void WriteBack(benchmark::State& state, bool counted)
{
    LoadedMap loaded(int(state.range(0)), counted);
    ComPtr<ITask> task;
    loaded.plan->TaskTree()->GetTask(bench::kEditedTask, task.ReleaseAndGetAddressOf());
    int n = 0;
    long calls = 0;
    for (auto _ : state) {
        task->put_PercentComplete(++n % 100);
        if (loaded.counter) loaded.counter->Reset();
        if (FAILED(loaded.adapter->TaskUpdate(bench::kEditedTask))) state.SkipWithError("write failed");
        if (loaded.counter) calls = loaded.counter->Total();
    }
    if (counted) state.counters["calls_per_edit"] = double(calls);
}

void BM_WriteBackOneEdit(benchmark::State& state) { WriteBack(state, false); }
BENCHMARK(BM_WriteBackOneEdit)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_WriteBackOneEditCounted(benchmark::State& state) { WriteBack(state, true); }
BENCHMARK(BM_WriteBackOneEditCounted)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
