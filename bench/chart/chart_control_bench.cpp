// The composite chart control at 100,000 tasks: the large XML plan read into
// a control whose window exists (tree items included) beside the same read
// into a bare model; one paint of the control's chart pane with every task
// visible; collapsing and expanding a summary of 10,000 children; and
// EnumSelectedTasks over 100,000 selected tasks.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include "adapters/contract/document_data.h"
#include "adapters/xml/project_reader.h"
#include "automation/bstr.h"
#include "automation/date_time.h"
#include "bench/chart/chart_bench_support.h"
#include "bench/xml/large_plan.h"
#include "chart/gantt_chart_control.h"
#include "chart/gantt_chart_control_window.h"
#include "chart/tests/chart_test_support.h"
#include "tools/project_document.h"

namespace {

using qmx::ComPtr;
using qmx::QMXGanttChartControl;

// The control's model offered to the reader as the application offers it;
// the document's properties are kept by a bare document beside it.
class ControlDocument final : public qmx::ComObject<IDocumentData> {
public:
    explicit ControlDocument(QMXGanttChartControl* control)
        : control_(control), properties_(qmx::MakeObject<qmx::CProjectDocument>())
    {
    }
    HRESULT get_TaskTree(ITaskTree** ppTaskTree) override { return control_->get_TaskTree(ppTaskTree); }
    HRESULT get_Resources(IResources** ppResources) override { return control_->get_Resources(ppResources); }
    HRESULT get_Properties(IDocumentProperties** ppProperties) override
    {
        return properties_->get_Properties(ppProperties);
    }
    HRESULT get_IsModified(VARIANT_BOOL* pvbModified) override { return properties_->get_IsModified(pvbModified); }
    HRESULT DeleteContents() override
    {
        ComPtr<ITaskTree> tree;
        ComPtr<IResources> pool;
        control_->get_TaskTree(tree.ReleaseAndGetAddressOf());
        control_->get_Resources(pool.ReleaseAndGetAddressOf());
        tree->DeleteAllTasks();
        return pool->DeleteAllResources();
    }
    HRESULT AdjustTimeRange() override { return control_->AdjustTimeRange(); }
    HRESULT ResetTimeRange() override { return control_->ResetTimeRange(); }
    HRESULT get_CurrentViewSettings(BSTR* pbsSettings) override { return control_->get_CurrentViewSettings(pbsSettings); }
    HRESULT put_CurrentViewSettings(const BSTR& bsSettings) override
    {
        return control_->put_CurrentViewSettings(bsSettings);
    }
    HRESULT ExpandTask(ITask* pTask, VARIANT_BOOL vbExpand) override { return control_->ExpandTask(pTask, vbExpand); }

private:
    QMXGanttChartControl* control_;
    ComPtr<qmx::CProjectDocument> properties_;
};

struct Control {
    ComPtr<QMXGanttChartControl> control;
    ComPtr<ControlDocument> document;
    QWidget* window = nullptr;
};

Control MakeControl()
{
    Control made;
    made.control = qmx::MakeObject<QMXGanttChartControl>();
    if (FAILED(made.control->CreateControlWindow(nullptr, &made.window))) std::abort();
    made.window->resize(1200, 800);
    made.window->show();
    QApplication::processEvents();
    made.document = qmx::MakeObject<ControlDocument>(made.control.Get());
    return made;
}

void BM_ReadIntoBareModel(benchmark::State& state)
{
    const std::string& bytes = qmx::bench::TheLargePlan().bytes;
    for (auto _ : state) {
        auto document = qmx::MakeObject<qmx::CProjectDocument>();
        if (FAILED(qmx::xml::ReadProject(bytes, document.Get()))) state.SkipWithError("read failed");
        state.PauseTiming();
        document.Reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReadIntoBareModel)->Unit(benchmark::kMillisecond);

void BM_ReadIntoControl(benchmark::State& state)
{
    const std::string& bytes = qmx::bench::TheLargePlan().bytes;
    Control c = MakeControl();
    for (auto _ : state) {
        if (FAILED(qmx::xml::ReadProject(bytes, c.document.Get()))) state.SkipWithError("read failed");
        state.PauseTiming();
        QApplication::processEvents();  // the paint the read asked for, outside the timing
        c.document->DeleteContents();
        state.ResumeTiming();
    }
    state.counters["items"] = double(c.control->Items().Count());
}
BENCHMARK(BM_ReadIntoControl)->Unit(benchmark::kMillisecond);

// A control holding the large plan with every summary expanded.
Control& Loaded()
{
    static Control c = [] {
        Control made = MakeControl();
        if (FAILED(qmx::xml::ReadProject(qmx::bench::TheLargePlan().bytes, made.document.Get()))) std::abort();
        for (qmx::TreeItem* i = made.control->Items().Root()->firstChild; i; i = i->next)
            made.control->Items().SetExpanded(i, true);
        made.control->AdjustTimeRange();
        made.control->Window()->Tree()->SetFirstRow(50000);
        return made;
    }();
    return c;
}

void BM_PaintPaneAllVisible(benchmark::State& state)
{
    Control& c = Loaded();
    QWidget* pane = c.control->Window()->paneWindow;
    QImage image(pane->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        pane->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["visible"] = double(c.control->Items().VisibleRows().size());
}
BENCHMARK(BM_PaintPaneAllVisible)->Unit(benchmark::kMillisecond);

// The control's share of that paint: the visible tasks and every row's
// bounds, as the pane's layout asks for them.
void BM_VisibleTaskBounds(benchmark::State& state)
{
    Control& c = Loaded();
    LONG top = 0;
    LONG bottom = 0;
    for (auto _ : state) {
        ComPtr<IEnumTasks> tasks;
        c.control->EnumVisibleTasks(tasks.ReleaseAndGetAddressOf());
        ComPtr<ITask> task;
        while (tasks->Next(task.ReleaseAndGetAddressOf()) == S_OK)
            c.control->GetTaskTreeItemBounds(task.Get(), &top, &bottom);
        benchmark::DoNotOptimize(top);
    }
}
BENCHMARK(BM_VisibleTaskBounds)->Unit(benchmark::kMillisecond);

// A summary of 10,000 children in a plan of 100,000 tasks: one collapse and
// one expand, each followed by a row query as the next paint makes it.
void BM_CollapseExpandSummary(benchmark::State& state)
{
    static Control c = [] {
        Control made = MakeControl();
        ComPtr<ITaskTree> tree;
        made.control->get_TaskTree(tree.ReleaseAndGetAddressOf());
        ComPtr<ITask> task;
        for (int group = 0; group < 10; ++group) {
            ComPtr<ITask> summary;
            tree->AddTask(0, -1, qmx::Utf8ToBstr("Summary"), summary.ReleaseAndGetAddressOf());
            LONG id = 0;
            summary->get_ID(&id);
            for (int k = 0; k < 9999; ++k) tree->AddTask(id, -1, qmx::Utf8ToBstr("Child"), task.ReleaseAndGetAddressOf());
            made.control->ExpandTask(summary.Get(), VARIANT_TRUE);
        }
        return made;
    }();
    ComPtr<ITaskTree> tree;
    c.control->get_TaskTree(tree.ReleaseAndGetAddressOf());
    ComPtr<ITask> summary;
    ComPtr<ITask> last;
    tree->GetTask(50001, summary.ReleaseAndGetAddressOf());
    tree->GetTask(100000, last.ReleaseAndGetAddressOf());
    LONG top = 0;
    LONG bottom = 0;
    for (auto _ : state) {
        c.control->ExpandTask(summary.Get(), VARIANT_FALSE);
        c.control->GetTaskTreeItemBounds(last.Get(), &top, &bottom);
        c.control->ExpandTask(summary.Get(), VARIANT_TRUE);
        c.control->GetTaskTreeItemBounds(last.Get(), &top, &bottom);
        benchmark::DoNotOptimize(top);
    }
}
BENCHMARK(BM_CollapseExpandSummary)->Unit(benchmark::kMillisecond);

void BM_EnumSelectedTasks(benchmark::State& state)
{
    Control& c = Loaded();
    qmx::TaskTreeItems& items = c.control->Items();
    const auto& rows = items.VisibleRows();
    items.SetCaret(rows.front());
    items.SelectRange(rows.front(), rows.back());
    const VARIANT_BOOL skip = ToVariantBool(state.range(0) != 0);
    LONG count = 0;
    for (auto _ : state) {
        ComPtr<IEnumTasks> tasks;
        c.control->EnumSelectedTasks(skip, tasks.ReleaseAndGetAddressOf());
        tasks->GetCount(&count);
    }
    state.counters["selected"] = double(items.SelectedCount());
    state.counters["enumerated"] = double(count);
}
BENCHMARK(BM_EnumSelectedTasks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qmx::bench::StartBenchmarkProcess("chart_control_bench");
    if (FAILED(qmx::testing::RegisterChartLibrary()) ||
        FAILED(qmx::testing::RegisterBuiltLibrary("libQMXSimpleGrid.so")))
        return 1;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    qmx::bench::EndBenchmarkProcess();
    return 0;
}
