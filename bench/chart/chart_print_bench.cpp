// Printing the tasks view of large plans: every page of 10,000 and 100,000
// visible tasks onto an A4 image at 150 dpi (the control's and panes' own
// work), and 10,000 tasks into a PDF at 300 dpi (about 230 pages, the
// writer's work included). The plan: groups of a summary and nine subtasks
// chained finish-to-start, every summary expanded.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include <QApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QWidget>

#include "automation/bstr.h"
#include "bench/chart/chart_bench_support.h"
#include "chart/gantt_chart_control.h"
#include "chart/print_job.h"
#include "chart/tests/chart_test_support.h"

namespace {

using qmx::ComPtr;
using qmx::QMXGanttChartControl;

struct Control {
    ComPtr<QMXGanttChartControl> control;
    QWidget* window = nullptr;
};

Control& Loaded(int tasks)
{
    static std::map<int, std::unique_ptr<Control>> made;
    auto& slot = made[tasks];
    if (slot) return *slot;
    slot = std::make_unique<Control>();
    slot->control = qmx::MakeObject<QMXGanttChartControl>();
    if (FAILED(slot->control->CreateControlWindow(nullptr, &slot->window))) std::abort();
    slot->window->resize(1200, 800);
    ComPtr<ITaskTree> tree;
    slot->control->get_TaskTree(tree.ReleaseAndGetAddressOf());
    tree->put_AutocorrectTaskDates(VARIANT_FALSE);
    const DATE start = qmx::bench::PlanStart();
    for (int group = 0; group < tasks / 10; ++group) {
        ComPtr<ITask> summary;
        tree->AddTask(0, -1, qmx::Utf8ToBstr("Group " + std::to_string(group)), summary.ReleaseAndGetAddressOf());
        LONG summaryId = 0;
        summary->get_ID(&summaryId);
        LONG previous = 0;
        for (int k = 0; k < 9; ++k) {
            ComPtr<ITask> task;
            tree->AddTask(summaryId, -1, qmx::Utf8ToBstr("Task " + std::to_string(k)), task.ReleaseAndGetAddressOf());
            const DATE first = start + group % 5 + k / 2;
            task->put_EndDate(first + 1.5);
            task->put_StartDate(first);
            task->put_PercentComplete(k * 10);
            LONG id = 0;
            task->get_ID(&id);
            if (previous) tree->DependencyLink(previous, id, dtFinishToStart);
            previous = id;
        }
        slot->control->ExpandTask(summary.Get(), VARIANT_TRUE);
    }
    slot->control->AdjustTimeRange();
    QApplication::processEvents();
    return *slot;
}

void BM_PrintAllPagesToImage(benchmark::State& state)
{
    Control& c = Loaded(int(state.range(0)));
    // A4 at 150 dpi: 1240 x 1754 pixels.
    QImage page(1240, 1754, QImage::Format_RGB32);
    page.setDotsPerMeterX(5906);
    page.setDotsPerMeterY(5906);
    LONG pages = 0;
    for (auto _ : state) {
        QPainter painter(&page);
        const qmx::PrintJobResult job =
            qmx::RunPrintJob(c.control.Get(), painter, 1, 0, [&painter, &page] {
                painter.fillRect(page.rect(), Qt::white);
                return true;
            });
        if (FAILED(job.hr)) state.SkipWithError("printing failed");
        pages = job.printed;
    }
    state.counters["pages"] = double(pages);
}
BENCHMARK(BM_PrintAllPagesToImage)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PrintToPdf(benchmark::State& state)
{
    Control& c = Loaded(int(state.range(0)));
    QTemporaryDir folder;
    LONG pages = 0;
    for (auto _ : state) {
        QPdfWriter writer(folder.filePath("plan.pdf"));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter(&writer);
        const qmx::PrintJobResult job =
            qmx::RunPrintJob(c.control.Get(), painter, 1, 0, [&writer] { return writer.newPage(); });
        painter.end();
        if (FAILED(job.hr)) state.SkipWithError("printing failed");
        pages = job.printed;
    }
    state.counters["pages"] = double(pages);
}
BENCHMARK(BM_PrintToPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv)
{
    qmx::bench::StartBenchmarkProcess("chart_print_bench");
    if (FAILED(qmx::testing::RegisterChartLibrary()) ||
        FAILED(qmx::testing::RegisterBuiltLibrary("libQMXSimpleGrid.so")))
        return 1;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    qmx::bench::EndBenchmarkProcess();
    return 0;
}
