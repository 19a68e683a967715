// One paint of the Gantt chart pane (created by ProgID from the built
// library, timeline included) over plans of 1,000 to 100,000 visible tasks,
// and the layout and the drawing of the chart area apart. The plan: groups
// of a summary task and nine subtasks chained finish-to-start, each subtask
// with a resource; the tree scrolled to the middle of the plan.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "automation/bstr.h"
#include "automation/date_time.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/widget_control.h"
#include "chart/chart_layout.h"
#include "chart/chart_painter.h"
#include "chart/gantt_chart_pane_interfaces.h"
#include "chart/tests/chart_control_double.h"
#include "chart/tests/chart_test_support.h"

namespace {

using qmx::ComPtr;
using qmx::testing::ChartControlDouble;

const DATE kStart = *qmx::DateFromCivil(2005, 6, 13);
constexpr int kWidth = 1000;
constexpr int kHeight = 800;

ComPtr<ChartControlDouble> MakePlan(int tasks)
{
    auto control = qmx::MakeObject<ChartControlDouble>();
    ITaskTree* tree = control->Tree();
    ComPtr<IResource> resource;
    control->Resources()->Add(qmx::Utf8ToBstr("Alice"), resource.ReleaseAndGetAddressOf());
    for (int made = 0; made < tasks;) {
        const DATE groupStart = kStart + (made / 10) % 5;
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

// Plans are built once per size: building 100,000 tasks takes longer than
// painting them.
ChartControlDouble* Plan(int tasks)
{
    static std::map<int, ComPtr<ChartControlDouble>> plans;
    auto& plan = plans[tasks];
    if (!plan) plan = MakePlan(tasks);
    return plan.Get();
}

struct Pane {
    ComPtr<IGanttChartPane> pane;
    QWidget* window = nullptr;
};

Pane& ThePane()
{
    static Pane pane = [] {
        Pane made;
        if (FAILED(qmx::testing::RegisterChartLibrary())) std::abort();
        if (FAILED(qmx::CreateInstance(kGanttChartPaneVersionIndependentProgId, &made.pane))) std::abort();
        ComPtr<IWidgetControl> control;
        made.pane.As(&control);
        control->CreateControlWindow(nullptr, &made.window);
        made.window->resize(kWidth, kHeight);
        made.window->show();
        made.pane->put_CurrentViewSettings(qmx::Utf8ToBstr("1,1,13/6/2005,38000,39000,30,38516"));
        return made;
    }();
    return pane;
}

void BM_PanePaint(benchmark::State& state)
{
    Pane& pane = ThePane();
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
    const std::string registry = qmx::testing::SetUpBenchmarkProgram("chart_paint_bench");

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    unlink(registry.c_str());
    return 0;
}
