// The simple grid as its hosts use it, created by ProgID from the built
// library with its window shown: inserting rows and setting their texts,
// and one full paint of a grid holding 100 to 100,000 rows (only the rows on
// the screen are painted, so the sizes should cost the same).

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include "automation/runtime/activation.h"
#include "automation/runtime/widget_control.h"
#include "grid/simple_grid_interfaces.h"
#include "grid/tests/grid_test_support.h"

namespace {

using qmx::ComPtr;
using qmx::testing::Text;

struct Grid {
    ComPtr<ISimpleGridControl> grid;
    QWidget* window = nullptr;
};

Grid MakeGrid()
{
    Grid made;
    if (FAILED(qmx::CreateInstance(kSimpleGridVersionIndependentProgId, &made.grid))) std::abort();
    ComPtr<IWidgetControl> control;
    made.grid.As(&control);
    control->CreateControlWindow(nullptr, &made.window);
    made.window->resize(600, 400);
    made.window->show();
    made.grid->put_ColCount(2);
    made.grid->put_ColWidths(1, 300);
    return made;
}

// Rows as the resources view fills them: an ID and a name per row,
// appended one after the other.
void Fill(ISimpleGridControl* grid, int rows)
{
    const BSTR name = Text("Resource with a name");
    for (int r = 0; r < rows; ++r) {
        grid->InsertRow(r);
        grid->put_CellText(r, 0, Text(std::to_string(r + 1).c_str()));
        grid->put_CellText(r, 1, name);
        grid->put_CellData(r, 0, r + 1);
    }
}

void BM_InsertRowsAndTexts(benchmark::State& state)
{
    Grid grid = MakeGrid();
    for (auto _ : state) {
        state.PauseTiming();
        grid.grid->DeleteAllRows();
        state.ResumeTiming();
        Fill(grid.grid.Get(), int(state.range(0)));
    }
    delete grid.window;
}
BENCHMARK(BM_InsertRowsAndTexts)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FullPaint(benchmark::State& state)
{
    Grid grid = MakeGrid();
    Fill(grid.grid.Get(), int(state.range(0)));
    grid.grid->put_SelectedRow(int(state.range(0)) / 2);
    grid.grid->put_TopRow(int(state.range(0)) / 2);
    QImage image(grid.window->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        grid.window->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    delete grid.window;
}
BENCHMARK(BM_FullPaint)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    // A registry store of its own, and the libraries of this build.
    char registry[] = "/tmp/grid_bench_XXXXXX";
    const int fd = mkstemp(registry);
    if (fd >= 0) close(fd);
    setenv("QMX_REGISTRY", registry, 1);
    if (!std::getenv("QMX_BUILD_LIB_DIR")) {
        const std::string exe = std::filesystem::canonical("/proc/self/exe").string();
        const std::string lib = exe.substr(0, exe.rfind('/')) + "/../lib";
        setenv("QMX_BUILD_LIB_DIR", lib.c_str(), 1);
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qmx::testing::EnsureApplication();
    if (FAILED(qmx::testing::RegisterGridLibrary())) return 1;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    unlink(registry);
    return 0;
}
