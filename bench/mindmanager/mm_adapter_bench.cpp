// The map adapter over the in-process store: loading maps of 10,000 and
// 100,000 topics (every topic linked to its previous sibling, dated, with
// a resource), and writing one task edit back into a loaded map.
#include <benchmark/benchmark.h>

#include <string>

#include "adapters/mindmanager/mm5_adapter.h"
#include "adapters/mindmanager/topic_values.h"
#include "automation/bstr.h"
#include "maphost/api/map_factory.h"
#include "tools/project_document.h"

namespace {

using namespace qmx;

constexpr DATE kDay = 45292;

struct LoadedMap {
    ComPtr<IMmApplication> app;
    ComPtr<CProjectDocument> plan;
    ComPtr<mm::CMm5Adapter> adapter;

    // groups top-level topics with `perGroup` sub-topics each.
    LoadedMap(int groups, int perGroup)
    {
        map::CreateInProcessApplication(app.ReleaseAndGetAddressOf());
        ComPtr<IMmDocuments> documents;
        ComPtr<IMmDocument> document;
        ComPtr<IMmTopic> central;
        app->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
        documents->Add(0, document.ReleaseAndGetAddressOf());
        document->get_CentralTopic(central.ReleaseAndGetAddressOf());
        for (int g = 0; g < groups; ++g) {
            ComPtr<IMmTopic> group;
            central->AddSubTopic(u"Group", group.ReleaseAndGetAddressOf());
            BSTR previous;
            for (int i = 0; i < perGroup; ++i) {
                ComPtr<IMmTopic> topic;
                group->AddSubTopic(Utf8ToBstr("Task " + std::to_string(i)), topic.ReleaseAndGetAddressOf());
                ComPtr<IMmTaskInfo> info;
                topic->get_TaskInfo(info.ReleaseAndGetAddressOf());
                info->put_StartDate(kDay + i % 50);
                info->put_DurationHours(16);
                info->put_Resources(Utf8ToBstr("Person " + std::to_string(i % 20)));
                const BSTR guid = mm::GuidOf(topic.Get());
                if (!previous.empty()) mm::SetAttribute(topic.Get(), mm::kPredecessors, previous + u",2");
                previous = guid;
            }
        }
        plan = MakeObject<CProjectDocument>();
        adapter = MakeObject<mm::CMm5Adapter>();
        adapter->Connect(plan.Get());
        adapter->ConnectHostApp(app.Get(), u"MindManager.Application.5", VARIANT{});
    }
    ~LoadedMap() { adapter->Disconnect(); }
};

void BM_LoadMap(benchmark::State& state)
{
    const int topics = int(state.range(0));
    LoadedMap loaded(topics / 100, 99);  // with the group topics: topics in all
    for (auto _ : state) {
        if (FAILED(loaded.adapter->Refresh())) state.SkipWithError("load failed");
    }
    state.SetItemsProcessed(state.iterations() * topics);
}
BENCHMARK(BM_LoadMap)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteBackOneEdit(benchmark::State& state)
{
    LoadedMap loaded(int(state.range(0)) / 100, 99);
    ComPtr<ITask> task;
    loaded.plan->TaskTree()->GetTask(5000, task.ReleaseAndGetAddressOf());
    int n = 0;
    for (auto _ : state) {
        task->put_PercentComplete(++n % 100);
        if (FAILED(loaded.adapter->TaskUpdate(5000))) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteBackOneEdit)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
