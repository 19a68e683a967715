// Large plans through the model's interfaces: building, linking a long
// chain from its end, against the task order or in random order, pushing a
// long chain, linking one more predecessor to a large summary, a path across converging links, deleting a widely assigned
// resource, enumeration, lookup and deletion.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/date_time.h"
#include "model/project_model.h"

namespace {

using qmx::ComPtr;
using qmx::ProjectModel;

constexpr LONG kTasks = 100000;
constexpr DATE kDay0 = 45355.0;

std::unique_ptr<ProjectModel> NewModel()
{
    return std::make_unique<ProjectModel>(nullptr, nullptr, nullptr, nullptr);
}

ComPtr<ITasks> Roots(ProjectModel& model)
{
    ComPtr<ITasks> roots;
    model.TaskTree()->get_RootTasks(roots.ReleaseAndGetAddressOf());
    return roots;
}

// kTasks root tasks linked finish to start one after another.
std::unique_ptr<ProjectModel> BuildChain()
{
    auto model = NewModel();
    auto roots = Roots(*model);
    ComPtr<ITask> task;
    for (LONG i = 0; i < kTasks; ++i) roots->Add(-1, u"", task.ReleaseAndGetAddressOf());
    for (LONG id = 1; id < kTasks; ++id) model->TaskTree()->DependencyLink(id, id + 1, dtFinishToStart);
    return model;
}

// 100,000 root tasks and 100,000 links (a chain and one more).
void BM_BuildFlatPlan(benchmark::State& state)
{
    qmx::FixToday(kDay0);
    for (auto _ : state) {
        auto model = BuildChain();
        model->TaskTree()->DependencyLink(1, kTasks, dtStartToStart);
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    qmx::UnfixToday();
}
BENCHMARK(BM_BuildFlatPlan)->Unit(benchmark::kMillisecond)->Iterations(3);

// 100 phases of 10 groups of 99 tasks (100,100 tasks), filled the way the
// file reader does it: tasks in tree order with their dates, then links in
// the order of their source tasks (phase to phase, group to group, task to
// task, across groups and phases): 100,097 links.
void BM_BuildNestedPlan(benchmark::State& state)
{
    constexpr LONG kPhases = 100, kGroups = 10, kLeaves = 99;
    qmx::FixToday(kDay0);
    for (auto _ : state) {
        auto model = NewModel();
        ITaskTree* tree = model->TaskTree();
        auto roots = Roots(*model);
        struct Link {
            LONG source, dependent;
        };
        std::vector<Link> links;
        LONG day = 0;
        LONG previousLeaf = 0;
        ComPtr<ITask> phase, group, leaf;
        ComPtr<ITasks> list;
        for (LONG p = 0; p < kPhases; ++p) {
            roots->Add(-1, u"phase", phase.ReleaseAndGetAddressOf());
            LONG phaseId = 0;
            phase->get_ID(&phaseId);
            if (p + 1 < kPhases) links.push_back({phaseId, phaseId + 1 + kGroups * (kLeaves + 1)});
            for (LONG g = 0; g < kGroups; ++g) {
                phase->get_Subtasks(list.ReleaseAndGetAddressOf());
                list->Add(-1, u"group", group.ReleaseAndGetAddressOf());
                LONG groupId = 0;
                group->get_ID(&groupId);
                if (g + 1 < kGroups) links.push_back({groupId, groupId + kLeaves + 1});
                group->get_Subtasks(list.ReleaseAndGetAddressOf());
                for (LONG l = 0; l < kLeaves; ++l) {
                    list->Add(-1, u"task", leaf.ReleaseAndGetAddressOf());
                    leaf->put_StartDate(kDay0 + day);
                    leaf->put_EndDate(kDay0 + day + 1);
                    ++day;
                    LONG leafId = 0;
                    leaf->get_ID(&leafId);
                    if (previousLeaf) links.push_back({previousLeaf, leafId});
                    previousLeaf = leafId;
                }
            }
        }
        // The reader makes the links in the order of their source tasks.
        std::stable_sort(links.begin(), links.end(), [](const Link& a, const Link& b) { return a.source < b.source; });
        for (const Link& link : links) {
            if (tree->DependencyLink(link.source, link.dependent, dtFinishToStart) != S_OK) {
                state.SkipWithError("link refused");
                break;
            }
        }
        state.counters["links"] = static_cast<double>(links.size());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    qmx::UnfixToday();
}
BENCHMARK(BM_BuildNestedPlan)->Unit(benchmark::kMillisecond)->Iterations(3);

// kTasks root tasks with dates that already satisfy a finish-to-start chain
// in the given direction: ascending (each task a day after the one before
// it in the list) or descending.
std::unique_ptr<ProjectModel> ChainReadyTasks(bool ascending)
{
    auto model = NewModel();
    auto roots = Roots(*model);
    ComPtr<ITask> task;
    for (LONG i = 0; i < kTasks; ++i) {
        roots->Add(-1, u"", task.ReleaseAndGetAddressOf());
        task->SetStartEndDate(kDay0 + (ascending ? i : kTasks - 1 - i));
    }
    return model;
}

// Makes the (source, dependent) links of a 100,000-task chain in the given
// order over fresh tasks (in chain order or against it).
void LinkChain(benchmark::State& state, bool tasksInChainOrder, const std::vector<std::pair<LONG, LONG>>& links)
{
    qmx::FixToday(kDay0);
    for (auto _ : state) {
        state.PauseTiming();
        auto model = ChainReadyTasks(tasksInChainOrder);
        state.ResumeTiming();
        for (const auto& [source, dependent] : links) {
            if (model->TaskTree()->DependencyLink(source, dependent, dtFinishToStart) != S_OK) {
                state.SkipWithError("link refused");
                break;
            }
        }
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    qmx::UnfixToday();
}

// A 100,000-task chain linked from its end towards its head: each new link
// goes in front of the chain built so far.
void BM_LinkChainBackToFront(benchmark::State& state)
{
    std::vector<std::pair<LONG, LONG>> links;
    for (LONG id = kTasks - 1; id >= 1; --id) links.emplace_back(id, id + 1);
    LinkChain(state, true, links);
}
BENCHMARK(BM_LinkChainBackToFront)->Unit(benchmark::kMillisecond)->Iterations(3);

// A 100,000-task chain running against the order of the tasks, linked the
// way the file reader makes links (in the order of their source tasks):
// task k + 1 comes before task k.
void BM_LinkChainAgainstTaskOrder(benchmark::State& state)
{
    std::vector<std::pair<LONG, LONG>> links;
    for (LONG id = 1; id < kTasks; ++id) links.emplace_back(id + 1, id);
    LinkChain(state, false, links);
}
BENCHMARK(BM_LinkChainAgainstTaskOrder)->Unit(benchmark::kMillisecond)->Iterations(3);

// A 100,000-task chain whose links are made in random order: every link
// joins two pieces of the chain.
void BM_LinkChainInRandomOrder(benchmark::State& state)
{
    std::vector<std::pair<LONG, LONG>> links;
    for (LONG id = 1; id < kTasks; ++id) links.emplace_back(id, id + 1);
    std::shuffle(links.begin(), links.end(), std::mt19937(7));
    LinkChain(state, true, links);
}
BENCHMARK(BM_LinkChainInRandomOrder)->Unit(benchmark::kMillisecond)->Iterations(3);

// The head of a 100,000-task finish-to-start chain moves a day later: every
// task of the chain is pushed.
void BM_PushChain(benchmark::State& state)
{
    qmx::FixToday(kDay0);
    auto model = BuildChain();
    ComPtr<ITask> head, tail;
    model->TaskTree()->GetTask(1, head.ReleaseAndGetAddressOf());
    model->TaskTree()->GetTask(kTasks, tail.ReleaseAndGetAddressOf());
    DATE start = kDay0;
    for (auto _ : state) {
        start += 1;
        head->SetStartEndDate(start);
    }
    DATE last = 0;
    tail->get_StartDate(&last);
    if (last != start + kTasks - 1) state.SkipWithError("the chain was not pushed to its end");
    qmx::UnfixToday();
}
BENCHMARK(BM_PushChain)->Unit(benchmark::kMillisecond);

// One more finish-to-start predecessor for a summary of kTasks children,
// linked interactively: the push moves every child, and each child's
// bounds take the summary's links once.
void BM_LinkOneMorePredecessorToLargeSummary(benchmark::State& state)
{
    qmx::FixToday(kDay0);
    auto model = NewModel();
    ITaskTree* tree = model->TaskTree();
    auto roots = Roots(*model);
    constexpr LONG kSources = 1000;
    ComPtr<ITask> task, summary;
    for (LONG i = 0; i < kSources; ++i) roots->Add(-1, u"", task.ReleaseAndGetAddressOf());
    roots->Add(-1, u"summary", summary.ReleaseAndGetAddressOf());
    ComPtr<ITasks> children;
    summary->get_Subtasks(children.ReleaseAndGetAddressOf());
    for (LONG i = 0; i < kTasks; ++i) children->Add(-1, u"", task.ReleaseAndGetAddressOf());
    for (LONG id = 1; id < kSources; ++id) tree->DependencyLink(id, kSources + 1, dtFinishToStart);
    ComPtr<ITask> last;
    tree->GetTask(kSources, last.ReleaseAndGetAddressOf());
    DATE end = kDay0 + 1;
    for (auto _ : state) {
        state.PauseTiming();
        tree->DependencyUnlink(kSources, kSources + 1);
        end += 1;
        last->SetStartEndDate(end - 1);
        state.ResumeTiming();
        if (tree->DependencyLink(kSources, kSources + 1, dtFinishToStart) != S_OK) state.SkipWithError("refused");
    }
    DATE start = 0;
    task->get_StartDate(&start);
    if (start != end) state.SkipWithError("the children were not pushed");
    qmx::UnfixToday();
}
BENCHMARK(BM_LinkOneMorePredecessorToLargeSummary)->Unit(benchmark::kMillisecond)->Iterations(5);

// A ladder of 30 diamonds: 2^30 link paths from its first to its last task.
void BM_PathAcrossDiamonds(benchmark::State& state)
{
    auto model = NewModel();
    ITaskTree* tree = model->TaskTree();
    auto roots = Roots(*model);
    ComPtr<ITask> task;
    auto add = [&] {
        roots->Add(-1, u"", task.ReleaseAndGetAddressOf());
        LONG id = 0;
        task->get_ID(&id);
        return id;
    };
    const LONG first = add();
    LONG s = first;
    for (int i = 0; i < 30; ++i) {
        const LONG a = add(), b = add(), next = add();
        for (LONG mid : {a, b}) {
            tree->DependencyLink(s, mid, dtFinishToStart);
            tree->DependencyLink(mid, next, dtFinishToStart);
        }
        s = next;
    }
    const LONG outside = add();
    for (auto _ : state) {
        VARIANT_BOOL found = VARIANT_FALSE, notFound = VARIANT_TRUE;
        tree->TaskPathExists(first, s, &found);
        tree->TaskPathExists(first, outside, &notFound);  // explores everything
        if (found != VARIANT_TRUE || notFound != VARIANT_FALSE) state.SkipWithError("wrong answer");
    }
}
BENCHMARK(BM_PathAcrossDiamonds)->Unit(benchmark::kMicrosecond);

// One resource assigned to every tenth of 100,000 tasks, then deleted.
void BM_DeleteWidelyAssignedResource(benchmark::State& state)
{
    auto model = BuildChain();
    IResources* pool = model->Resources();
    std::vector<ComPtr<ITaskResources>> lists;
    for (LONG id = 1; id <= kTasks; id += 10) {
        ComPtr<ITask> task;
        model->TaskTree()->GetTask(id, task.ReleaseAndGetAddressOf());
        lists.emplace_back();
        task->get_Resources(lists.back().ReleaseAndGetAddressOf());
    }
    for (auto _ : state) {
        state.PauseTiming();
        ComPtr<IResource> resource;
        pool->Add(u"crew", resource.ReleaseAndGetAddressOf());
        LONG id = 0;
        resource->get_ID(&id);
        for (auto& list : lists) {
            ComPtr<ITaskResource> assignment;
            list->Add(resource.Get(), assignment.ReleaseAndGetAddressOf());
        }
        state.ResumeTiming();
        pool->Delete(id);
    }
    state.counters["assignments"] = static_cast<double>(lists.size());
}
BENCHMARK(BM_DeleteWidelyAssignedResource)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_EnumerateIds(benchmark::State& state)
{
    auto model = BuildChain();
    for (auto _ : state) {
        ComPtr<IEnumTaskIDs> ids;
        model->TaskTree()->EnumTasks(ids.ReleaseAndGetAddressOf());
        LONG id = 0, count = 0;
        while (ids->Next(&id) == S_OK) ++count;
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_EnumerateIds)->Unit(benchmark::kMillisecond);

void BM_LookUpById(benchmark::State& state)
{
    auto model = BuildChain();
    std::mt19937 random(1);
    std::vector<LONG> ids(kTasks);
    for (auto& id : ids) id = std::uniform_int_distribution<LONG>(1, kTasks)(random);
    for (auto _ : state) {
        for (LONG id : ids) {
            ComPtr<ITask> task;
            model->TaskTree()->GetTask(id, task.ReleaseAndGetAddressOf());
            benchmark::DoNotOptimize(task.Get());
        }
    }
    state.SetItemsProcessed(state.iterations() * kTasks);
}
BENCHMARK(BM_LookUpById)->Unit(benchmark::kMillisecond);

// Every task of a 100,000-task plan linked to one final milestone, deleted
// one by one from the top, then the whole tree emptied.
void BM_DeleteTasksFromTheTop(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto model = NewModel();
        auto roots = Roots(*model);
        ComPtr<ITask> task;
        for (LONG i = 0; i <= kTasks; ++i) roots->Add(-1, u"", task.ReleaseAndGetAddressOf());
        for (LONG id = 1; id <= kTasks; ++id) model->TaskTree()->DependencyLink(id, kTasks + 1, dtFinishToStart);
        state.ResumeTiming();
        for (LONG id = 1; id <= kTasks / 2; ++id) model->TaskTree()->DeleteTask(id);
        model->TaskTree()->DeleteAllTasks();
    }
}
BENCHMARK(BM_DeleteTasksFromTheTop)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
