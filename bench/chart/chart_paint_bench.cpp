// One paint of the Gantt chart pane (created by ProgID from the built
// library, timeline included) over plans of 1,000 to 100,000 visible tasks,
// and the layout and the drawing of the chart area apart. The plan: groups
// of a summary task and nine subtasks chained finish-to-start, each subtask
// with a resource; the tree scrolled to the middle of the plan.

#include <benchmark/benchmark.h>

#include <memory>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "chart/chart_layout.h"
#include "chart/chart_painter.h"
#include "chart/gantt_chart_pane_interfaces.h"
#include "chart/tests/chart_control_double.h"
#include "bench/chart/chart_bench_support.h"

namespace {

using qmx::testing::ChartControlDouble;

const DATE kStart = qmx::bench::PlanStart();
constexpr int kWidth = 1000;
constexpr int kHeight = 800;

using qmx::bench::Plan;

qmx::bench::BenchPane& ThePane()
{
    static qmx::bench::BenchPane pane =
        qmx::bench::MakeBenchPane(kWidth, kHeight, "1,1,13/6/2005,38000,39000,30,38516");
    return pane;
}

void BM_PanePaint(benchmark::State& state)
{
    qmx::bench::BenchPane& pane = ThePane();
    pane.pane->SetGanttChartControl(Plan(int(state.range(0))));
    QImage image(pane.window->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        pane.window->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    pane.pane->SetGanttChartControl(nullptr);
}
BENCHMARK(BM_PanePaint)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

const qmx::LayoutFrame kFrame{kWidth, kHeight - 50, kStart, kStart + 29, 8};

void BM_LayOut(benchmark::State& state)
{
    ChartControlDouble* plan = Plan(int(state.range(0)));
    qmx::ChartLayout layout;
    for (auto _ : state) {
        qmx::LayOutChart(plan, kFrame, layout);
        benchmark::DoNotOptimize(layout.Items().data());
    }
    state.counters["links"] = double(layout.Links().size());
}
BENCHMARK(BM_LayOut)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DrawChartArea(benchmark::State& state)
{
    qmx::ChartLayout layout;
    qmx::LayOutChart(Plan(int(state.range(0))), kFrame, layout);
    qmx::ChartBackdrop backdrop;
    for (int day = 0; day <= 30; ++day) backdrop.dayCells.push_back({day * kWidth / 30, day % 7 + 1});
    backdrop.periodXs = {0, kWidth};
    QFont font;
    font.setPixelSize(10);
    QImage image(kWidth, kFrame.height, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        qmx::PaintChart(painter, image.size(), backdrop, layout, font);
    }
}
BENCHMARK(BM_DrawChartArea)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qmx::bench::StartBenchmarkProcess("chart_paint_bench");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    qmx::bench::EndBenchmarkProcess();
    return 0;
}
