// One pointer move during a drag on the Gantt chart pane (created by ProgID
// from the built library) showing 1,000 and 100,000 tasks: the move drag
// (snapshot row and one outline) and the percent drag (the one bar). Each
// step includes the events the move leaves for the event loop. The plan is
// the paint benchmark's; the view one week from its first day, 1000 pixels
// wide: row 1 holds a subtask from 0 to 214 pixels at 0 %, row 2 its
// successor, pushed to 214 to 429, at 10 %: its percent mark at 236.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

#include "bench/chart/chart_bench_support.h"

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 800;
// Window y of row k's centre: timeline 32, top margin 8, rows of 18.
int RowY(int row) { return 32 + 8 + 18 * row + 9; }

qmx::bench::BenchPane& ThePane()
{
    static qmx::bench::BenchPane pane =
        qmx::bench::MakeBenchPane(kWidth, kHeight, "0,1,13/6/2005,38000,39000,7,38516");
    return pane;
}

void SendMouse(QWidget* window, QEvent::Type type, int x, int y, Qt::MouseButtons buttons)
{
    const QPoint at(x, y);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, window->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(window, &e);
}

// Presses at (x, row), runs the moves between two points `reach` pixels
// apart, then gives the drag up with Escape, so the plan stays unchanged.
void RunDrag(benchmark::State& state, int x, int row, int first, int reach)
{
    qmx::bench::BenchPane& pane = ThePane();
    pane.pane->SetGanttChartControl(qmx::bench::Plan(int(state.range(0))));
    pane.window->repaint();
    QApplication::processEvents();
    QWidget* window = pane.window;
    SendMouse(window, QEvent::MouseMove, x, RowY(row), Qt::NoButton);
    SendMouse(window, QEvent::MouseButtonPress, x, RowY(row), Qt::LeftButton);
    SendMouse(window, QEvent::MouseMove, first, RowY(row), Qt::LeftButton);
    const QLabel* tooltip = window->findChild<QLabel*>("qmx_drag_tooltip");
    if (!tooltip || !tooltip->isVisible()) state.SkipWithError("the drag did not start");
    int step = 0;
    for (auto _ : state) {
        SendMouse(window, QEvent::MouseMove, first + (++step % 2) * reach, RowY(row), Qt::LeftButton);
        QApplication::processEvents();
    }
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window, &escape);
    SendMouse(window, QEvent::MouseButtonRelease, first, RowY(row), Qt::NoButton);
    pane.pane->SetGanttChartControl(nullptr);
}

void BM_MoveDragStep(benchmark::State& state) { RunDrag(state, 100, 1, 140, 30); }
BENCHMARK(BM_MoveDragStep)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_PercentDragStep(benchmark::State& state) { RunDrag(state, 236, 2, 260, 30); }
BENCHMARK(BM_PercentDragStep)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    qmx::bench::StartBenchmarkProcess("chart_drag_bench");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    qmx::bench::EndBenchmarkProcess();
    return 0;
}
