// The links of a file made in one batch against the same file linked one
// DependencyLink call at a time: random files, compared by their whole
// loaded plan and by the error a refused link gives.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "adapters/xml/project_reader.h"
#include "adapters/xml/tests/one_by_one_document.h"
#include "automation/bstr.h"
#include "automation/date_time.h"
#include "automation/error_info.h"
#include "tools/project_dump.h"

namespace qmx::xml {
namespace {

using testing::COneByOneDocument;

struct Loaded {
    HRESULT hr = S_OK;
    std::string error;
    std::string plan;
};

Loaded Load(const std::string& xml, bool oneByOne)
{
    Loaded loaded;
    auto document = MakeObject<CProjectDocument>();
    ComPtr<IDocumentData> data(document.Get());
    if (oneByOne) data = ComPtr<IDocumentData>(MakeObject<COneByOneDocument>(document.Get()).Get());
    loaded.hr = ReadProject(xml, data.Get());
    if (auto info = GetErrorInfo()) loaded.error = BstrToUtf8(info->description);
    EXPECT_EQ(S_OK, DumpProjectJson(document.Get(), &loaded.plan));
    return loaded;
}

// A random file: nested tasks with dates, and links to any task, to none,
// to itself, of any kind.
std::string RandomFile(std::mt19937& random)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const int tasks = pick(1, 30);
    const int wild = pick(0, 20);
    // The tree first: each task under one of the tasks still open.
    std::vector<int> parent(tasks + 1, 0);
    std::vector<int> open;
    for (int id = 1; id <= tasks; ++id) {
        const int close = open.empty() ? 0 : pick(0, 2) == 0 ? static_cast<int>(open.size()) : pick(0, open.size());
        open.resize(open.size() - close);
        parent[id] = open.empty() ? 0 : open.back();
        open.push_back(id);
    }
    auto related = [&](int a, int b) {
        for (int t = parent[b]; t; t = parent[t])
            if (t == a) return true;
        for (int t = parent[a]; t; t = parent[t])
            if (t == b) return true;
        return false;
    };
    std::string xml = "<project><tasks autocorrect='" + std::to_string(pick(0, 3) > 0) + "'>";
    std::vector<int> stack;
    for (int id = 1; id <= tasks; ++id) {
        while (!stack.empty() && stack.back() != parent[id]) {
            xml += "</task>";
            stack.pop_back();
        }
        xml += "<task id='" + std::to_string(id) + "' start='" + std::to_string(pick(1, 25)) + "/3/2026." +
               std::to_string(pick(0, 7)) + "' duration='" + std::to_string(pick(0, 10) * 0.5) + "'>";
        stack.push_back(id);
        for (int n = pick(0, 2); n > 0; --n) {
            // Mostly to a later task outside its own line of the tree.
            int dependent = pick(1, tasks + 1);
            if (pick(0, 99) >= wild) {
                if (id == tasks) break;
                dependent = pick(id + 1, tasks);
                if (related(id, dependent)) continue;
            }
            xml += "<depend id='" + std::to_string(dependent) + "' type='" + std::to_string(pick(0, 4)) + "'/>";
        }
    }
    for (std::size_t i = 0; i < stack.size(); ++i) xml += "</task>";
    return xml + "</tasks></project>";
}

TEST(LinkLoadingTest, ABatchLoadsWhatLinkingOneByOneLoads)
{
    FixToday(*DateFromCivil(2026, 3, 1));
    std::mt19937 random(1208);
    int failed = 0;
    for (int round = 0; round < 400; ++round) {
        const std::string xml = RandomFile(random);
        SCOPED_TRACE(xml);
        const Loaded batch = Load(xml, false);
        const Loaded single = Load(xml, true);
        EXPECT_EQ(batch.hr, single.hr);
        EXPECT_EQ(batch.error, single.error);
        EXPECT_EQ(batch.plan, single.plan);
        failed += FAILED(single.hr);
    }
    EXPECT_GT(failed, 50);
    EXPECT_LT(failed, 350);
    UnfixToday();
}

}  // namespace
}  // namespace qmx::xml
