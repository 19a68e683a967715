// Printing of the tasks view: the page arithmetic, the results of the three
// calls, and printed pages drawn on an image device of a known size (4
// pixels a millimetre), checked at the millimetre positions of the layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QApplication>
#include <QPainter>

#include "automation/bstr.h"
#include "chart/gantt_chart_control.h"
#include "chart/gantt_chart_control_window.h"
#include "chart/print_geometry.h"
#include "chart/tests/chart_test_support.h"

namespace qmx {
namespace {

using testing::Day;
using testing::Pixel;

constexpr int kPixelsPerMm = 4;

// A white page of the given size in millimetres.
QImage Paper(int widthMm, int heightMm)
{
    QImage image(widthMm * kPixelsPerMm, heightMm * kPixelsPerMm, QImage::Format_RGB32);
    image.setDotsPerMeterX(kPixelsPerMm * 1000);
    image.setDotsPerMeterY(kPixelsPerMm * 1000);
    image.fill(Qt::white);
    return image;
}

int Mm(double mm) { return int(mm * kPixelsPerMm + 0.5); }

TEST(PageLayout, FollowsThePaperSize)
{
    struct Case {
        LONG width, height;
        bool fits;
        LONG tree, chart, perPage;
    };
    const Case cases[] = {
        {210, 297, true, 57, 133, 44},  // A4 portrait: 190 x 277 printable
        {297, 210, true, 83, 194, 29},  // A4 landscape
        {210, 38, true, 57, 133, 1},    // just one row below the header
        {210, 37, false, 0, 0, 0},      // not even that
        {20, 297, false, 0, 0, 0},      // no chart column
        {0, 0, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto layout = ComputePageLayout(c.width, c.height);
        ASSERT_EQ(layout.has_value(), c.fits) << c.width << " x " << c.height;
        if (!layout) continue;
        EXPECT_EQ(layout->treeWidth, c.tree);
        EXPECT_EQ(layout->chartWidth, c.chart);
        EXPECT_EQ(layout->tasksPerPage, c.perPage);
    }
    const PageLayout a4 = *ComputePageLayout(210, 297);
    EXPECT_EQ(a4.PageCount(0), 0);
    EXPECT_EQ(a4.PageCount(44), 1);
    EXPECT_EQ(a4.PageCount(45), 2);
    EXPECT_EQ(a4.TasksOnPage(1, 45), std::make_pair(LONG(0), LONG(44)));
    EXPECT_EQ(a4.TasksOnPage(2, 45), std::make_pair(LONG(44), LONG(45)));
    EXPECT_EQ(a4.TasksOnPage(3, 45).first, 45);
    EXPECT_EQ(a4.TasksOnPage(0, 45).first, 45);
}

TEST(PageLayout, PrintedSizesFollowTheDevice)
{
    const DeviceScale scale{2480, 3508, 210, 297};  // A4 at 300 dpi
    EXPECT_EQ(scale.X(10), 118);
    EXPECT_EQ(scale.Y(2.5), 30);
    const ChartMetrics m = PrintedChartMetrics(scale);
    EXPECT_EQ(m.barHeight, 30);
    EXPECT_EQ(m.bandHeight, 9);
    EXPECT_EQ(m.milestoneHalf, 9);
    EXPECT_EQ(m.bracketSize, 12);
    EXPECT_EQ(m.arrowStub, 24);
    EXPECT_EQ(m.headLength, 8);
    EXPECT_EQ(m.headHalfWidth, 8);
    EXPECT_EQ(m.labelGap, 35);
}

class Printing : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testing::EnsureApplication();
        ASSERT_EQ(testing::RegisterChartLibrary(), S_OK);
        ASSERT_EQ(testing::RegisterBuiltLibrary("libQMXSimpleGrid.so"), S_OK);
    }

    void SetUp() override
    {
        control_ = MakeObject<QMXGanttChartControl>();
        ASSERT_EQ(control_->CreateControlWindow(nullptr, &window_), S_OK);
        window_->resize(800, 300);
        window_->show();
        QApplication::processEvents();
        control_->get_TaskTree(tree_.ReleaseAndGetAddressOf());
        control_->put_Title(Utf8ToBstr("Printed plan"));
    }

    void TearDown() override
    {
        tree_ = nullptr;
        control_ = nullptr;
    }

    ComPtr<ITask> Add(ITask* parent, const std::string& name, DATE start, DATE end)
    {
        LONG parentId = 0;
        if (parent) parent->get_ID(&parentId);
        ComPtr<ITask> task;
        EXPECT_EQ(tree_->AddTask(parentId, -1, Utf8ToBstr(name), task.ReleaseAndGetAddressOf()), S_OK);
        task->put_StartDate(start);
        task->put_EndDate(end);
        return task;
    }

    // Tasks one after the other, a day each, from 2 March 2026 on.
    void AddTasks(int count)
    {
        for (int i = 0; i < count; ++i) Add(nullptr, "Task " + std::to_string(i + 1), Day(2026, 3, 2) + i % 20,
                                            Day(2026, 3, 3) + i % 20);
        control_->AdjustTimeRange();
    }

    // Prepares, prints the page and ends; the page's result in `hr`.
    QImage PrintOne(LONG page, HRESULT& hr, LONG* pages = nullptr, int widthMm = 210, int heightMm = 297)
    {
        QImage image = Paper(widthMm, heightMm);
        QPainter painter(&image);
        LONG count = -1;
        hr = control_->PreparePrinting(&painter, &count);
        if (pages) *pages = count;
        if (SUCCEEDED(hr)) hr = control_->PrintPage(&painter, page);
        EXPECT_EQ(control_->EndPrinting(), S_OK);
        return image;
    }

    // Whether any pixel in the rectangle (millimetres) is not white.
    static bool Inked(const QImage& image, double left, double top, double right, double bottom)
    {
        for (int y = Mm(top); y < Mm(bottom); ++y)
            for (int x = Mm(left); x < Mm(right); ++x)
                if (Pixel(image, x, y) != QColor(Qt::white)) return true;
        return false;
    }

    // The chart pane's timeline and chart area as shown (its scroll bar,
    // which may animate, left out).
    QImage Screen()
    {
        QWidget* pane = control_->Window()->paneWindow;
        const QImage shown = pane->grab().toImage();
        return shown.copy(0, 0, shown.width(), shown.height() - 24);
    }

    ComPtr<QMXGanttChartControl> control_;
    QWidget* window_ = nullptr;
    ComPtr<ITaskTree> tree_;
};

TEST_F(Printing, ResultsOfTheCalls)
{
    QImage image = Paper(210, 297);
    QPainter painter(&image);
    EXPECT_EQ(control_->PreparePrinting(&painter, nullptr), E_POINTER);
    LONG pages = -1;
    EXPECT_EQ(control_->PreparePrinting(nullptr, &pages), E_POINTER);
    EXPECT_EQ(pages, 0);

    // An empty project has no pages.
    EXPECT_EQ(control_->PreparePrinting(&painter, &pages), S_OK);
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(control_->PrintPage(&painter, 1), S_FALSE);
    EXPECT_EQ(control_->EndPrinting(), S_OK);

    // 45 tasks on A4: two pages, the second with one row.
    AddTasks(45);
    EXPECT_EQ(control_->PreparePrinting(&painter, &pages), S_OK);
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(control_->PrintPage(&painter, 1), S_OK);
    EXPECT_EQ(control_->PrintPage(&painter, 2), S_OK);
    EXPECT_EQ(control_->PrintPage(&painter, 3), S_FALSE);
    EXPECT_EQ(control_->PrintPage(&painter, 0), S_FALSE);
    EXPECT_EQ(control_->PrintPage(nullptr, 1), E_POINTER);
    EXPECT_EQ(control_->EndPrinting(), S_OK);
    // Pages without a preparation are refused, not drawn from stale state.
    EXPECT_EQ(control_->PrintPage(&painter, 1), E_UNEXPECTED);
    painter.end();

    // Paper too small for one row below the header.
    HRESULT hr = S_OK;
    PrintOne(1, hr, &pages, 210, 37);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(pages, 0);
}

TEST_F(Printing, PageShowsHeaderRowsAndBarsWhereTheLayoutPutsThem)
{
    AddTasks(45);
    HRESULT hr = E_FAIL;
    const QImage first = PrintOne(1, hr);
    ASSERT_EQ(hr, S_OK);
    testing::SavePicture(first, "printed_page_1");
    const QColor frame(QApplication::palette().color(QPalette::Dark).rgb());
    const QColor face(QApplication::palette().color(QPalette::Button).rgb());
    // The title box: frame on its edges, header face inside, from 10 mm to
    // 67 mm across and 10 mm to 20 mm down.
    EXPECT_EQ(Pixel(first, Mm(10), Mm(15)), frame);
    EXPECT_EQ(Pixel(first, Mm(67), Mm(15)), frame);
    EXPECT_EQ(Pixel(first, Mm(30), Mm(10)), frame);
    EXPECT_EQ(Pixel(first, Mm(60), Mm(11)), face);
    EXPECT_TRUE(Inked(first, 11, 11, 40, 19));  // the title
    // Nothing in the margins.
    EXPECT_FALSE(Inked(first, 0, 0, 210, 9.9));
    EXPECT_FALSE(Inked(first, 0, 0, 9.9, 297));
    EXPECT_FALSE(Inked(first, 200.1, 0, 210, 297));
    // The timeline strip's outline on its bottom edge, 20 mm down.
    EXPECT_EQ(Pixel(first, Mm(150), Mm(20) - 1), frame);
    // Row 0's name right of its icon (10 + 2.5 + 4.5 mm), over the stripe
    // centre at 25 mm; row 43 (the page's last) at 22 + 43 x 6 mm.
    EXPECT_TRUE(Inked(first, 17, 23, 30, 25));
    EXPECT_TRUE(Inked(first, 17, 22 + 43 * 6 + 1, 30, 22 + 43 * 6 + 3));
    // The chart area runs to the last row's stripe and stops there.
    EXPECT_TRUE(Inked(first, 67, 22, 200, 22 + 44 * 6));
    EXPECT_FALSE(Inked(first, 10, 22 + 44 * 6 + 0.5, 200, 297));

    const QImage second = PrintOne(2, hr);
    ASSERT_EQ(hr, S_OK);
    testing::SavePicture(second, "printed_page_2");
    // One row: the chart ends 6 mm below the 2 mm margin.
    EXPECT_TRUE(Inked(second, 17, 23, 40, 25));
    EXPECT_TRUE(Inked(second, 67, 22, 200, 28));
    EXPECT_FALSE(Inked(second, 10, 28.5, 200, 297));
}

TEST_F(Printing, BarSitsOnItsStripeAtItsDates)
{
    // One task over the whole fitted range's first day: its bar 2.5 mm high
    // centred on the stripe, 25 mm down.
    ComPtr<ITask> task = Add(nullptr, "Only", Day(2026, 3, 2), Day(2026, 3, 9));
    control_->AdjustTimeRange();
    HRESULT hr = E_FAIL;
    const QImage page = PrintOne(1, hr);
    ASSERT_EQ(hr, S_OK);
    testing::SavePicture(page, "printed_bar");
    // Find the bar's outline along the stripe centre.
    int left = -1;
    for (int x = Mm(67); x < Mm(200) && left < 0; ++x)
        if (Pixel(page, x, Mm(25)) == QColor(Qt::black)) left = x;
    ASSERT_GT(left, 0);
    const QColor fill(192, 224, 255);
    EXPECT_EQ(Pixel(page, left + 3, Mm(25) - 3), fill);
    // Bar top and bottom: 2.5 mm high, the top at 25 - 1.25 mm.
    int top = Mm(25);
    while (Pixel(page, left + 3, top - 1) != QColor(Qt::white) && top > Mm(22)) --top;
    EXPECT_NEAR(top, Mm(25 - 1.25), 2);
}

TEST_F(Printing, RowNestedPastTheTreeColumnStillGetsItsStripe)
{
    // 15 levels: an indent of 60 mm passes the 57 mm tree column.
    ComPtr<ITask> parent;
    for (int level = 0; level < 16; ++level) {
        parent = Add(parent.Get(), "Level " + std::to_string(level), Day(2026, 3, 2), Day(2026, 3, 6));
        control_->ExpandTask(parent.Get(), VARIANT_TRUE);
    }
    control_->AdjustTimeRange();
    HRESULT hr = E_FAIL;
    const QImage page = PrintOne(1, hr);
    ASSERT_EQ(hr, S_OK);
    testing::SavePicture(page, "printed_nested");
    const double deepest = 22 + 15 * 6;
    EXPECT_FALSE(Inked(page, 10.5, deepest + 0.5, 66.5, deepest + 5.5));  // no tree row
    EXPECT_TRUE(Inked(page, 67.5, deepest + 1, 200, deepest + 5));        // but its bar
    const double shallow = 22 + 13 * 6;                                    // indent 52 mm
    EXPECT_TRUE(Inked(page, 52, shallow + 1, 66.5, shallow + 5));
}

TEST_F(Printing, LeavesTheScreenAsItWas)
{
    AddTasks(60);
    // A narrow window shows the short day labels on screen.
    window_->resize(420, 300);
    QApplication::processEvents();
    const QImage before = Screen();
    testing::SavePicture(before, "screen_before");
    HRESULT hr = E_FAIL;
    PrintOne(1, hr);
    ASSERT_EQ(hr, S_OK);
    PrintOne(2, hr);
    ASSERT_EQ(hr, S_OK);
    window_->update();
    QApplication::processEvents();
    const QImage after = Screen();
    testing::SavePicture(after, "screen_after");
    EXPECT_TRUE(after == before);
}

}  // namespace
}  // namespace qmx
