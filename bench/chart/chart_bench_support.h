// What the chart benchmarks share: the plan they run on and the process set
// up for a pane made by ProgID.
#pragma once

#include "automation/com_ptr.h"
#include "automation/types.h"
#include "chart/gantt_chart_pane_interfaces.h"
#include "chart/tests/chart_control_double.h"

class QWidget;

namespace qmx::bench {

// The plan's first day: Monday 13 June 2005.
DATE PlanStart();

// A plan of `tasks` visible tasks, built once per size: groups of a summary
// task and nine subtasks chained finish-to-start, subtask k from
// group start + k/2 to + k/2 + 1.5 days at k x 10 %, each with a resource; the
// group start steps through five days. The tree is scrolled to the middle
// row (tasks / 2, a summary for sizes divisible by 20).
testing::ChartControlDouble* Plan(int tasks);

// A chart pane made by ProgID from the built library, its window shown at
// the size given, with the view settings applied. Aborts when the library
// cannot be loaded.
struct BenchPane {
    ComPtr<IGanttChartPane> pane;
    QWidget* window = nullptr;
};
BenchPane MakeBenchPane(int width, int height, const char* viewSettings);

// Before the benchmarks run: a registry store of the process's own (removed
// by EndBenchmarkProcess), the libraries of this build, the offscreen
// platform and the application.
void StartBenchmarkProcess(const char* name);
void EndBenchmarkProcess();

}  // namespace qmx::bench
