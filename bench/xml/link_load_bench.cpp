// Loading files whose links cost the most to make one by one, autocorrect
// on, 100,000 tasks each (the argument), from bytes in memory:
//  - a chain whose links come from its end: each new link pushes every task
//    linked before it;
//  - two chains with links from the late half of one to the early half of
//    the other, the other chain linked first: every cycle check walks far
//    on both sides;
//  - half the tasks linked finish to start to one summary holding the other
//    half: every push moves all the summary's children;
//  - random nesting, random links between leaves in a random order, random
//    kinds and dates;
//  - the same with a last link that closes a cycle (the load fails there).
// The "OneByOne" runs read the same files through a tree that hides the
// batch, at smaller sizes, for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "adapters/xml/project_reader.h"
#include "adapters/xml/tests/one_by_one_document.h"
#include "automation/date_time.h"
#include "tools/project_document.h"

namespace {

using qmx::ComPtr;
using qmx::CProjectDocument;

std::string Open(long id, int day, float duration)
{
    return "<task id='" + std::to_string(id) + "' start='" + std::to_string(day % 28 + 1) + "/" +
           std::to_string(day / 28 % 12 + 1) + "/" + std::to_string(2026 + day / 336) + "' duration='" +
           std::to_string(duration) + "'>";
}

std::string Depend(long id, int type = 2)
{
    return "<depend id='" + std::to_string(id) + "' type='" + std::to_string(type) + "'/>";
}

const char* kHead = "<project><tasks autocorrect='1'>";
const char* kTail = "</tasks></project>";

std::string ChainFromItsEnd(long n)
{
    std::string xml = kHead;
    for (long id = n; id >= 1; --id) xml += Open(id, 0, 1) + (id < n ? Depend(id + 1) : "") + "</task>";
    return xml + kTail;
}

std::string CrossLinkedChains(long n)
{
    // B (ids h + 1 .. 2h) first, then A (1 .. h) with links from its late
    // half to B's early half.
    const long h = n / 2;
    std::string xml = kHead;
    for (long b = h + 1; b <= 2 * h; ++b) xml += Open(b, 0, 1) + (b < 2 * h ? Depend(b + 1) : "") + "</task>";
    for (long a = 1; a <= h; ++a) {
        xml += Open(a, 0, 1);
        if (a < h) xml += Depend(a + 1);
        if (a > h / 2 && a % 2 == 0) xml += Depend(h + (a - h / 2));
        xml += "</task>";
    }
    return xml + kTail;
}

std::string SummaryOfManyPredecessors(long n)
{
    const long h = n / 2;
    const long summary = h + 1;
    std::string xml = kHead;
    for (long s = 1; s <= h; ++s) xml += Open(s, static_cast<int>(s % 3000), 1) + Depend(summary) + "</task>";
    xml += Open(summary, 0, 1);
    for (long c = summary + 1; c <= summary + h; ++c) xml += Open(c, static_cast<int>(c % 7), 1) + "</task>";
    return xml + "</task>" + kTail;
}

std::string RandomPlan(long n, bool closeCycle)
{
    std::mt19937 random(20261208);
    auto pick = [&](long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(random); };
    // The tree in file order: each task under one of the tasks still open.
    std::vector<long> parent(n + 1, 0);
    std::vector<long> open;
    std::vector<bool> leaf(n + 1, true);
    for (long id = 1; id <= n; ++id) {
        while (!open.empty() && (open.size() > 6 || pick(0, 2) == 0)) open.pop_back();
        parent[id] = open.empty() ? 0 : open.back();
        if (parent[id]) leaf[parent[id]] = false;
        open.push_back(id);
    }
    std::vector<long> leaves;
    for (long id = 1; id <= n; ++id)
        if (leaf[id]) leaves.push_back(id);
    std::shuffle(leaves.begin(), leaves.end(), random);  // the links follow this order
    std::vector<std::vector<std::pair<long, int>>> links(n + 1);
    for (long k = 0; k < n; ++k) {
        long a = pick(0, static_cast<long>(leaves.size()) - 2);
        long b = pick(a + 1, std::min<long>(a + 50, static_cast<long>(leaves.size()) - 1));
        links[leaves[a]].push_back({leaves[b], static_cast<int>(pick(0, 3))});
    }
    if (closeCycle) links[leaves[0]].push_back({n + 1, 2});

    std::string xml = kHead;
    std::vector<long> stack;
    for (long id = 1; id <= n; ++id) {
        while (!stack.empty() && stack.back() != parent[id]) {
            xml += "</task>";
            stack.pop_back();
        }
        xml += Open(id, static_cast<int>(pick(0, 400)), static_cast<float>(pick(0, 12)) * 0.5f);
        std::sort(links[id].begin(), links[id].end());
        links[id].erase(std::unique(links[id].begin(), links[id].end(),
                                    [](const auto& x, const auto& y) { return x.first == y.first; }),
                        links[id].end());
        for (const auto& [dependent, type] : links[id]) xml += Depend(dependent, type);
        stack.push_back(id);
    }
    for (std::size_t i = 0; i < stack.size(); ++i) xml += "</task>";
    if (closeCycle) xml += Open(n + 1, 0, 1) + Depend(leaves[0]) + "</task>";
    return xml + kTail;
}

void Load(benchmark::State& state, std::string (*make)(long), bool oneByOne, bool expectFailure)
{
    qmx::FixToday(*qmx::DateFromCivil(2026, 1, 1));
    const std::string xml = make(state.range(0));
    for (auto _ : state) {
        auto document = qmx::MakeObject<CProjectDocument>();
        ComPtr<IDocumentData> data(document.Get());
        if (oneByOne) data = ComPtr<IDocumentData>(qmx::MakeObject<qmx::xml::testing::COneByOneDocument>(document.Get()).Get());
        const HRESULT hr = qmx::xml::ReadProject(xml, data.Get());
        if (FAILED(hr) != expectFailure) state.SkipWithError("unexpected result of the load");
        state.PauseTiming();
        document.Reset();
        data.Reset();
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(xml.size());
    qmx::UnfixToday();
}

std::string RandomLinks(long n) { return RandomPlan(n, false); }
std::string RandomLinksEndingInACycle(long n) { return RandomPlan(n, true); }

void BM_LoadChainFromItsEnd(benchmark::State& s) { Load(s, ChainFromItsEnd, false, false); }
void BM_LoadCrossLinkedChains(benchmark::State& s) { Load(s, CrossLinkedChains, false, false); }
void BM_LoadSummaryOfManyPredecessors(benchmark::State& s) { Load(s, SummaryOfManyPredecessors, false, false); }
void BM_LoadRandomLinks(benchmark::State& s) { Load(s, RandomLinks, false, false); }
void BM_LoadRandomLinksEndingInACycle(benchmark::State& s) { Load(s, RandomLinksEndingInACycle, false, true); }
BENCHMARK(BM_LoadChainFromItsEnd)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadCrossLinkedChains)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadSummaryOfManyPredecessors)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadRandomLinks)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadRandomLinksEndingInACycle)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadChainFromItsEndOneByOne(benchmark::State& s) { Load(s, ChainFromItsEnd, true, false); }
void BM_LoadCrossLinkedChainsOneByOne(benchmark::State& s) { Load(s, CrossLinkedChains, true, false); }
void BM_LoadSummaryOfManyPredecessorsOneByOne(benchmark::State& s) { Load(s, SummaryOfManyPredecessors, true, false); }
BENCHMARK(BM_LoadChainFromItsEndOneByOne)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LoadCrossLinkedChainsOneByOne)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LoadSummaryOfManyPredecessorsOneByOne)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
