// One paint of the Gantt chart pane (created by ProgID from the built
// library, timeline included) over plans of 1,000 to 100,000 visible tasks,
// and the layout and the drawing of the chart area apart. The plan: groups
// of a summary task and nine subtasks chained finish-to-start, each subtask
// with a resource; the tree scrolled to the middle of the plan. Then the
// views at the calendar's limits that a view-settings string can ask for:
// applying the string, and one paint of the pane showing such a view.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "automation/bstr.h"
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

constexpr const char* kBaseView = "1,1,13/6/2005,38000,39000,30,38516";

qmx::bench::BenchPane& ThePane()
{
    static qmx::bench::BenchPane pane = qmx::bench::MakeBenchPane(kWidth, kHeight, kBaseView);
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

// The screen's layout: only what can draw within the area.
void BM_LayOutNearArea(benchmark::State& state)
{
    ChartControlDouble* plan = Plan(int(state.range(0)));
    qmx::LayoutFrame frame = kFrame;
    frame.nearAreaOnly = true;
    qmx::ChartLayout layout;
    for (auto _ : state) {
        qmx::LayOutChart(plan, frame, layout);
        benchmark::DoNotOptimize(layout.Items().data());
    }
    state.counters["items"] = double(layout.Items().size());
    state.counters["links"] = double(layout.Links().size());
}
BENCHMARK(BM_LayOutNearArea)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

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

// Views as long as the calendar allows, reached as a document's view
// settings would: each string applied in turn from the month view of the
// paint benchmark.
struct ExtremeView {
    const char* name;
    std::vector<const char*> settings;
};
const ExtremeView kExtremeViews[] = {
    {"weeks 100-9999: 3.6M days", {"0,1,1/1/100,38000,39000,7,38516", "0,516557,1/1/100,38000,39000,7,38516"}},
    {"months 100-9999: 516k weeks", {"1,1,1/1/100,38000,39000,7,38516", "1,118800,1/1/100,38000,39000,7,38516"}},
    {"years 100-9999: 119k months", {"0,1,1/1/100,38000,39000,7,38516", "2,9900,1/1/100,38000,39000,7,38516"}},
    {"months 2005-9999: 417k weeks", {"1,95934,13/6/2005,38000,39000,7,38516"}},
};

// Back to the base view from any other: a week view first, which every
// long view can take with its count (a month view of 516,557 weeks' count
// would leave the calendar).
void ResetView(IGanttChartPane* pane)
{
    pane->put_CurrentViewSettings(qmx::Utf8ToBstr("0,1,13/6/2005,38000,39000,7,38516"));
    pane->put_CurrentViewSettings(qmx::Utf8ToBstr(kBaseView));
}

// Applies the view's strings from the base view; true when the pane shows
// the view the last string asks for. A well-formed view whose last zoom step
// the timeline refuses stays.
bool ApplyView(IGanttChartPane* pane, const ExtremeView& view)
{
    ResetView(pane);
    for (const char* text : view.settings) pane->put_CurrentViewSettings(qmx::Utf8ToBstr(text));
    BSTR shown;
    pane->get_CurrentViewSettings(&shown);
    const std::string text = qmx::BstrToUtf8(shown);
    const std::string wanted = view.settings.back();
    return text.substr(0, text.find(',', text.find(',') + 1)) == wanted.substr(0, wanted.find(',', wanted.find(',') + 1));
}

void BM_ApplyExtremeView(benchmark::State& state)
{
    qmx::bench::BenchPane& pane = ThePane();
    const ExtremeView& view = kExtremeViews[state.range(0)];
    state.SetLabel(view.name);
    if (!ApplyView(pane.pane.Get(), view)) state.SkipWithError("the view was not applied");
    for (auto _ : state) ApplyView(pane.pane.Get(), view);
    ResetView(pane.pane.Get());
}
BENCHMARK(BM_ApplyExtremeView)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// One paint of the pane, 1,000 tasks, at the bench's width and four times it.
void BM_PaintExtremeView(benchmark::State& state)
{
    qmx::bench::BenchPane& pane = ThePane();
    const ExtremeView& view = kExtremeViews[state.range(0)];
    state.SetLabel(std::string(view.name) + ", " + std::to_string(state.range(1)) + " px");
    pane.window->resize(int(state.range(1)), kHeight);
    if (!ApplyView(pane.pane.Get(), view)) state.SkipWithError("the view was not applied");
    pane.pane->SetGanttChartControl(Plan(1000));
    QImage image(pane.window->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        pane.window->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    pane.pane->SetGanttChartControl(nullptr);
    ResetView(pane.pane.Get());
    pane.window->resize(kWidth, kHeight);
}
BENCHMARK(BM_PaintExtremeView)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 3, 1), {kWidth, 4 * kWidth}})
    ->Unit(benchmark::kMillisecond);

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
