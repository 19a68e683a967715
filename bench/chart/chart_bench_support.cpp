#include "bench/chart/chart_bench_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include <QWidget>

#include "automation/bstr.h"
#include "automation/date_time.h"
#include "chart/tests/chart_test_support.h"

namespace qmx::bench {

namespace {

using testing::ChartControlDouble;

ComPtr<ChartControlDouble> MakePlan(int tasks)
{
    auto control = MakeObject<ChartControlDouble>();
    ITaskTree* tree = control->Tree();
    ComPtr<IResource> resource;
    control->Resources()->Add(Utf8ToBstr("Alice"), resource.ReleaseAndGetAddressOf());
    for (int made = 0; made < tasks;) {
        const DATE groupStart = PlanStart() + (made / 10) % 5;
        const auto summary = control->AddTask(0, groupStart, groupStart + 1);
        ++made;
        LONG summaryId = 0;
        summary->get_ID(&summaryId);
        LONG previous = 0;
        for (int k = 0; k < 9 && made < tasks; ++k, ++made) {
            const auto task = control->AddTask(summaryId, groupStart + k * 0.5, groupStart + k * 0.5 + 1.5);
            task->put_PercentComplete(k * 10);
            ComPtr<ITaskResources> assignments;
            task->get_Resources(assignments.ReleaseAndGetAddressOf());
            ComPtr<ITaskResource> assignment;
            assignments->Add(resource.Get(), assignment.ReleaseAndGetAddressOf());
            LONG id = 0;
            task->get_ID(&id);
            if (previous != 0) tree->DependencyLink(previous, id, dtFinishToStart);
            previous = id;
        }
    }
    control->SetFirstVisibleRow(tasks / 2);
    return control;
}

std::string registryFile;

}  // namespace

DATE PlanStart() { return *DateFromCivil(2005, 6, 13); }

ChartControlDouble* Plan(int tasks)
{
    // Building 100,000 tasks takes longer than what is measured on them.
    static std::map<int, ComPtr<ChartControlDouble>> plans;
    auto& plan = plans[tasks];
    if (!plan) plan = MakePlan(tasks);
    return plan.Get();
}

BenchPane MakeBenchPane(int width, int height, const char* viewSettings)
{
    BenchPane made;
    if (FAILED(testing::RegisterChartLibrary()) ||
        FAILED(testing::MakeShownPane(width, height - 50, nullptr, nullptr, viewSettings, made.pane, made.window)))
        std::abort();
    return made;
}

void StartBenchmarkProcess(const char* name)
{
    std::string path = std::string("/tmp/") + name + "_XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd >= 0) close(fd);
    registryFile = path;
    setenv("QMX_REGISTRY", path.c_str(), 1);
    if (!std::getenv("QMX_BUILD_LIB_DIR")) {
        const std::string exe = std::filesystem::canonical("/proc/self/exe").string();
        const std::string lib = exe.substr(0, exe.rfind('/')) + "/../lib";
        setenv("QMX_BUILD_LIB_DIR", lib.c_str(), 1);
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::EnsureApplication();
}

void EndBenchmarkProcess()
{
    if (!registryFile.empty()) unlink(registryFile.c_str());
}

}  // namespace qmx::bench
