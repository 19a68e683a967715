// The chart pane's layout over a real model and its pictures: bars, progress
// bands, summary brackets, milestones, labels, weekends and the four arrow
// kinds, checked pixel by pixel where the drawing rules put them.

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include <QFont>
#include <QPainter>

#include "automation/bstr.h"
#include "chart/chart_layout.h"
#include "chart/chart_painter.h"
#include "chart/tests/chart_control_double.h"
#include "chart/tests/chart_test_support.h"

namespace qmx::testing {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kDefault(192, 224, 255);
const QColor kLightBand(192, 192, 192);
const QColor kLink(128, 128, 255);
const QColor kWeekend(224, 224, 224);
const QColor kWeekendEdge(192, 192, 192);
const QColor kGrid(128, 128, 128);

// A week from Monday 13 June 2005 over 700 pixels: 100 pixels a day.
const DATE kMonday = Day(2005, 6, 13);
constexpr LONG kWidth = 700;
constexpr LONG kHeight = 200;

LayoutFrame WeekFrame() { return LayoutFrame{kWidth, kHeight, kMonday, kMonday + 6, 8}; }

ChartBackdrop WeekBackdrop()
{
    ChartBackdrop backdrop;
    backdrop.periodXs = {0, kWidth};
    for (LONG day = 0; day <= 7; ++day) backdrop.dayCells.push_back({day * 100, day % 7 + 1});
    return backdrop;
}

QFont ChartFont()
{
    QFont font;
    font.setPixelSize(10);
    return font;
}

QImage Render(const ChartLayout& layout, const ChartBackdrop& backdrop = {})
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::magenta);  // anything left unpainted shows
    QPainter painter(&image);
    PaintChart(painter, image.size(), backdrop, layout, ChartFont());
    return image;
}

void SetColor(ITask* task, COLORREF color)
{
    ComPtr<ITaskAppearance> appearance;
    ASSERT_EQ(task->get_Appearance(appearance.ReleaseAndGetAddressOf()), S_OK);
    appearance->put_Color(color);
}

void Assign(ChartControlDouble& control, ITask* task, const char* name)
{
    ComPtr<IResource> resource;
    control.Resources()->Add(Utf8ToBstr(name), resource.ReleaseAndGetAddressOf());
    ComPtr<ITaskResources> assignments;
    task->get_Resources(assignments.ReleaseAndGetAddressOf());
    ComPtr<ITaskResource> assignment;
    assignments->Add(resource.Get(), assignment.ReleaseAndGetAddressOf());
}

LONG IdOf(ITask* task)
{
    LONG id = -1;
    task->get_ID(&id);
    return id;
}

struct PixelRow {
    int x;
    int y;
    QColor expected;
    const char* what;
};

void ExpectPixels(const QImage& image, std::initializer_list<PixelRow> rows, const char* scene)
{
    for (const PixelRow& row : rows) {
        EXPECT_EQ(Pixel(image, row.x, row.y).name(), row.expected.name())
            << scene << ": " << row.what << " at (" << row.x << ", " << row.y << ")";
    }
}

class ChartDrawing : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    ComPtr<ChartControlDouble> control = MakeObject<ChartControlDouble>();
};

TEST_F(ChartDrawing, LayoutFollowsTheVisibleRowsOnly)
{
    // Rows: parent (collapsed: child and grandchild hidden), other, last.
    const auto parent = control->AddTask(0, kMonday + 1, kMonday + 2);
    const auto child = control->AddTask(IdOf(parent.Get()), kMonday + 1, kMonday + 3);
    const auto grandchild = control->AddTask(IdOf(child.Get()), kMonday + 2, kMonday + 3);
    const auto other = control->AddTask(0, kMonday + 4, kMonday + 5);
    const auto last = control->AddTask(0, kMonday + 5, kMonday + 6);
    control->Tree()->DependencyLink(IdOf(child.Get()), IdOf(other.Get()), dtStartToStart);
    control->Tree()->DependencyLink(IdOf(other.Get()), IdOf(last.Get()), dtFinishToStart);
    control->SetCollapsed(parent.Get(), true);

    ChartLayout layout;
    ASSERT_EQ(LayOutChart(control.Get(), WeekFrame(), layout), S_OK);
    ASSERT_EQ(layout.Items().size(), 3u);
    EXPECT_EQ(layout.Find(child.Get()), nullptr);
    EXPECT_EQ(layout.Find(grandchild.Get()), nullptr);
    const TaskItem* item = layout.Find(other.Get());
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Top, 18 + 8);
    EXPECT_EQ(item->Bottom, 36 + 8);
    EXPECT_EQ(item->Left, 400);
    EXPECT_EQ(item->Right, 500);
    // The parent is a summary (of its hidden children) spanning them.
    EXPECT_EQ(layout.Find(parent.Get())->Kind(), BarKind::Summary);
    EXPECT_EQ(layout.Find(parent.Get())->Right, 300);
    // Only the link between two laid-out tasks is kept.
    ASSERT_EQ(layout.Links().size(), 1u);
    EXPECT_EQ(layout.Links()[0].predecessor, other.Get());
    EXPECT_EQ(layout.Links()[0].successor, last.Get());
    EXPECT_EQ(layout.Links()[0].type, dtFinishToStart);
    // 200 pixels of 18-pixel rows: 12 rows, the last one partial.
    ASSERT_EQ(layout.Rows().size(), 12u);
    EXPECT_EQ(layout.Rows()[0], parent.Get());
    EXPECT_EQ(layout.Rows()[1], other.Get());
    EXPECT_EQ(layout.Rows()[2], last.Get());
    EXPECT_EQ(layout.Rows()[3], nullptr);

    // Expanded, the children come between parent and other.
    control->SetCollapsed(parent.Get(), false);
    ASSERT_EQ(LayOutChart(control.Get(), WeekFrame(), layout), S_OK);
    EXPECT_EQ(layout.Items().size(), 5u);
    EXPECT_EQ(layout.Rows()[2], grandchild.Get());
    EXPECT_EQ(layout.Links().size(), 2u);

    // Scrolled by two rows: every task keeps its item, rows above the area
    // are no row.
    control->SetFirstVisibleRow(2);
    ASSERT_EQ(LayOutChart(control.Get(), WeekFrame(), layout), S_OK);
    EXPECT_EQ(layout.Items().size(), 5u);
    EXPECT_EQ(layout.Find(parent.Get())->Top, -36 + 8);
    EXPECT_EQ(layout.Rows()[0], grandchild.Get());

    // No height, or no row height: nothing laid out.
    ASSERT_EQ(LayOutChart(control.Get(), LayoutFrame{kWidth, 0, kMonday, kMonday + 6, 8}, layout), S_OK);
    EXPECT_TRUE(layout.Items().empty());
    EXPECT_TRUE(layout.Rows().empty());
}

TEST_F(ChartDrawing, ColoursAndLabels)
{
    const auto red = control->AddTask(0, kMonday, kMonday + 1);
    const auto inherits = control->AddTask(IdOf(red.Get()), kMonday, kMonday + 1);
    const auto grandchild = control->AddTask(IdOf(inherits.Get()), kMonday, kMonday + 1);
    const auto plain = control->AddTask(0, kMonday, kMonday + 1);
    const auto milestone = control->AddTask(0, kMonday, kMonday + 1);
    SetColor(red.Get(), RGB(255, 0, 0));
    milestone->put_IsMilestone(VARIANT_TRUE);
    Assign(*control, grandchild.Get(), "Alice");
    Assign(*control, grandchild.Get(), "Bob");
    Assign(*control, milestone.Get(), "Carol");
    Assign(*control, inherits.Get(), "Dave");

    ChartLayout layout;
    ASSERT_EQ(LayOutChart(control.Get(), WeekFrame(), layout), S_OK);
    EXPECT_EQ(layout.Find(inherits.Get())->Color, RGB(255, 0, 0));
    EXPECT_EQ(layout.Find(grandchild.Get())->Color, RGB(255, 0, 0));
    EXPECT_EQ(layout.Find(plain.Get())->Color, RGB(192, 224, 255));
    EXPECT_EQ(layout.Find(grandchild.Get())->Label, u"Alice,Bob");
    EXPECT_EQ(layout.Find(milestone.Get())->Label, u"");  // milestones and summaries carry none
    EXPECT_EQ(layout.Find(inherits.Get())->Label, u"");

    // The default appearance colours every task without a colour of its own.
    ComPtr<ITaskAppearance> defaults;
    control->Tree()->get_DefaultTaskAppearance(defaults.ReleaseAndGetAddressOf());
    defaults->put_Color(RGB(0, 128, 0));
    ASSERT_EQ(LayOutChart(control.Get(), WeekFrame(), layout), S_OK);
    EXPECT_EQ(layout.Find(plain.Get())->Color, RGB(0, 128, 0));
    EXPECT_EQ(layout.Find(grandchild.Get())->Color, RGB(255, 0, 0));

    EXPECT_EQ(BarLabelText(0, "Alice"), "Alice");
    EXPECT_EQ(BarLabelText(40, "Alice"), "[40%] Alice");
    EXPECT_EQ(BarLabelText(40, ""), "[40%] ");
}

TEST_F(ChartDrawing, BarsBandsBracketsAndDiamonds)
{
    // One task a row, rows 18 pixels from y = 8.
    const auto normal = control->AddTask(0, kMonday + 1, kMonday + 3);       // row 0: 100..300, 40 %
    const auto black = control->AddTask(0, kMonday + 1, kMonday + 2);        // row 1: 100..200, 100 %
    const auto labelled = control->AddTask(0, kMonday + 1, kMonday + 2);     // row 2: 0 %, two resources
    const auto thin = control->AddTask(0, kMonday + 4, kMonday + 4);         // row 3: one pixel at 400
    const auto summary = control->AddTask(0, kMonday + 2, kMonday + 4);      // row 4: 200..400
    const auto child = control->AddTask(IdOf(summary.Get()), kMonday + 2, kMonday + 4);  // row 5
    const auto milestone = control->AddTask(0, kMonday + 2.5, kMonday + 2.5);  // row 6: at 250
    normal->put_PercentComplete(40);
    black->put_PercentComplete(100);
    SetColor(black.Get(), RGB(0, 0, 0));
    Assign(*control, labelled.Get(), "Alice");
    Assign(*control, labelled.Get(), "Bob");
    summary->put_PercentComplete(40);
    milestone->put_IsMilestone(VARIANT_TRUE);
    (void)child;
    (void)thin;

    ChartLayout layout;
    ASSERT_EQ(LayOutChart(control.Get(), WeekFrame(), layout), S_OK);
    const QImage image = Render(layout, WeekBackdrop());
    SavePicture(image, "chart_bars");

    ExpectPixels(image,
                 {
                     // Normal bar 100..300 over rows 11..22, outline inside.
                     {100, 11, kBlack, "top-left corner"},
                     {299, 11, kBlack, "top-right corner"},
                     {100, 22, kBlack, "bottom-left corner"},
                     {299, 22, kBlack, "bottom-right corner"},
                     {300, 15, kWhite, "right of the bar"},
                     {100, 10, kWhite, "above the bar"},
                     {150, 23, kWhite, "below the bar"},
                     {150, 12, kDefault, "fill"},
                     // Band 4 pixels high at 15..18, from 101 to 101 + 198 x 40 / 100.
                     {101, 15, kBlack, "band start"},
                     {179, 18, kBlack, "band end"},
                     {180, 15, kDefault, "after the band"},
                     {150, 14, kDefault, "above the band"},
                     {150, 19, kDefault, "below the band"},
                     // Black bar at 100 %: light band over the whole inside.
                     {101, 33, kLightBand, "light band start"},
                     {198, 36, kLightBand, "light band end"},
                     {199, 33, kBlack, "outline after the band"},
                     {150, 30, kBlack, "black fill"},
                     // 0 %: no band.
                     {101, 51, kDefault, "no band at 0 %"},
                     {198, 51, kDefault, "no band at 0 %"},
                     // One pixel wide at 400.
                     {400, 65, kBlack, "thin bar top"},
                     {400, 76, kBlack, "thin bar bottom"},
                     {401, 70, kWhite, "right of the thin bar"},
                     {399, 70, kWhite, "left of the thin bar"},
                     {400, 77, kWhite, "below the thin bar"},
                     // Summary 200..400: rows 86 and 87, brackets 6..1 wide below.
                     {200, 86, kBlack, "summary row 1"},
                     {399, 87, kBlack, "summary row 2"},
                     {400, 86, kWhite, "right of the summary"},
                     {300, 88, kWhite, "under the summary's middle"},
                     {203, 88, kBlack, "left bracket, 4 wide"},
                     {204, 88, kWhite, "left bracket ends"},
                     {396, 88, kBlack, "right bracket, 4 wide"},
                     {395, 88, kWhite, "right bracket starts"},
                     {200, 91, kBlack, "left bracket tip"},
                     {201, 91, kWhite, "left bracket tip, 1 wide"},
                     {399, 91, kBlack, "right bracket tip"},
                     {398, 91, kWhite, "right bracket tip, 1 wide"},
                     {200, 92, kWhite, "below the bracket"},
                     // Milestone at 250, centre row 125.
                     {246, 125, kBlack, "diamond middle left"},
                     {254, 125, kBlack, "diamond middle right"},
                     {245, 125, kWhite, "left of the diamond"},
                     {255, 125, kWhite, "right of the diamond"},
                     {250, 121, kBlack, "diamond top"},
                     {249, 121, kWhite, "diamond top, 1 wide"},
                     {250, 129, kBlack, "diamond bottom"},
                     {250, 120, kWhite, "above the diamond"},
                     {250, 130, kWhite, "below the diamond"},
                     {248, 123, kBlack, "diamond row -2"},
                     {247, 123, kWhite, "diamond row -2, 5 wide"},
                     // Saturday 500..600: filled right of its left edge, edge line at 600.
                     {500, 190, kWhite, "Saturday's left edge"},
                     {501, 190, kWeekend, "Saturday"},
                     {599, 190, kWeekend, "Saturday"},
                     {600, 190, kWeekendEdge, "Saturday's right edge"},
                     {650, 190, kWeekend, "Sunday"},
                     {450, 190, kWhite, "Friday"},
                     {0, 190, kGrid, "period line"},
                 },
                 "bars");

    // Labels: dark text right of the bar at Right + 10, none for the
    // milestone or a 0 % bar without resources.
    auto hasText = [&](int left, int top, int right, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (Pixel(image, x, y).lightness() < 128) return true;
        return false;
    };
    EXPECT_TRUE(hasText(310, 8, 360, 26)) << "[40%] of the normal bar";
    EXPECT_FALSE(hasText(300, 8, 310, 26)) << "gap before the label";
    EXPECT_TRUE(hasText(210, 44, 260, 62)) << "resources of the 0 % bar";
    EXPECT_TRUE(hasText(410, 80, 460, 98)) << "[40%] of the summary";
    EXPECT_FALSE(hasText(258, 116, 400, 134)) << "no label for a milestone";
    EXPECT_FALSE(hasText(402, 62, 500, 80)) << "no label for a 0 % bar without resources";
}

// Each arrow kind between a predecessor 100..300 in row 0 (bar 11..22,
// centre 17) and a successor in row 1 (bar 29..40, centre 35).
TEST_F(ChartDrawing, ArrowsOfEveryKindWithHeads)
{
    struct Case {
        const char* name;
        QMXDependencyType type;
        DATE successorStart;
        DATE successorEnd;
        std::vector<PixelRow> pixels;
    };
    const Case cases[] = {
        {"finish-to-start, straight down", dtFinishToStart, kMonday + 4, kMonday + 5,
         {{300, 17, kLink, "leaves the bar's end"},
          {400, 17, kLink, "corner"},
          {401, 17, kWhite, "no overshoot"},
          {400, 27, kLink, "down"},
          {400, 28, kLink, "tip"},
          {399, 27, kLink, "head, 3 wide"},
          {396, 24, kLink, "head, 9 wide"},
          {404, 24, kLink, "head, 9 wide"},
          {395, 24, kWhite, "head edge"},
          {405, 24, kWhite, "head edge"},
          {400, 23, kLink, "path through the head"},
          {400, 29, kBlack, "successor's outline"}}},
        {"finish-to-start, round the predecessor's row", dtFinishToStart, kMonday + 0.5, kMonday + 2.5,
         {{300, 17, kLink, "leaves the bar's end"},
          {306, 17, kLink, "stub"},
          {307, 20, kLink, "down to the row edge"},
          {200, 25, kLink, "along the row's last line"},
          {41, 25, kWhite, "turn at L2 - 8"},
          {42, 30, kLink, "down to the successor"},
          {49, 35, kLink, "tip"},
          {45, 31, kLink, "head, 9 wide"},
          {45, 39, kLink, "head, 9 wide"},
          {45, 30, kWhite, "head edge"},
          {50, 35, kBlack, "successor's outline"}}},
        {"start-to-start", dtStartToStart, kMonday + 2, kMonday + 4,
         {{99, 17, kLink, "leaves the bar's start"},
          {92, 17, kLink, "corner"},
          {91, 17, kWhite, "no overshoot"},
          {92, 34, kLink, "down"},
          {150, 35, kLink, "right"},
          {199, 35, kLink, "tip"},
          {195, 31, kLink, "head, 9 wide"},
          {195, 39, kLink, "head, 9 wide"},
          {195, 30, kWhite, "head edge"},
          {200, 35, kBlack, "successor's outline"}}},
        {"start-to-finish, round the predecessor's row", dtStartToFinish, kMonday + 3, kMonday + 5,
         {{99, 17, kLink, "leaves the bar's start"},
          {92, 20, kLink, "down"},
          {300, 25, kLink, "along the row's last line"},
          {507, 30, kLink, "down beyond the successor's end"},
          {508, 25, kWhite, "no overshoot"},
          {500, 35, kLink, "tip"},
          {504, 31, kLink, "head, 9 wide"},
          {504, 39, kLink, "head, 9 wide"},
          {504, 40, kWhite, "head edge"},
          {499, 35, kBlack, "successor's outline"}}},
        {"finish-to-finish", dtFinishToFinish, kMonday + 2, kMonday + 4,
         {{300, 17, kLink, "leaves the bar's end"},
          {407, 17, kLink, "corner"},
          {408, 17, kWhite, "no overshoot"},
          {407, 30, kLink, "down"},
          {400, 35, kLink, "tip"},
          {404, 31, kLink, "head, 9 wide"},
          {404, 39, kLink, "head, 9 wide"},
          {399, 35, kBlack, "successor's outline"}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        auto control = MakeObject<ChartControlDouble>();
        control->Tree()->put_AutocorrectTaskDates(VARIANT_FALSE);  // keep the dates as drawn
        const auto p = control->AddTask(0, kMonday + 1, kMonday + 3);
        const auto s = control->AddTask(0, c.successorStart, c.successorEnd);
        ASSERT_EQ(control->Tree()->DependencyLink(IdOf(p.Get()), IdOf(s.Get()), c.type), S_OK) << c.name;
        ChartLayout layout;
        ASSERT_EQ(LayOutChart(control.Get(), WeekFrame(), layout), S_OK);
        const QImage image = Render(layout);
        SavePicture(image, "chart_arrow_" + std::to_string(n++));
        for (const PixelRow& row : c.pixels) {
            EXPECT_EQ(Pixel(image, row.x, row.y).name(), row.expected.name())
                << c.name << ": " << row.what << " at (" << row.x << ", " << row.y << ")";
        }
    }
}

// Thousands of rows: only the rows inside the area are looked at, and the
// picture is that of the rows in view.
TEST_F(ChartDrawing, ManyRowsDrawOnlyWhatIsInView)
{
    constexpr int kTasks = 5000;
    for (int i = 0; i < kTasks; ++i) control->AddTask(0, kMonday + i % 5, kMonday + i % 5 + 1);
    control->SetFirstVisibleRow(4000);
    ChartLayout layout;
    ASSERT_EQ(LayOutChart(control.Get(), WeekFrame(), layout), S_OK);
    EXPECT_EQ(layout.Items().size(), std::size_t(kTasks));
    const auto [first, last] = layout.ItemsNear(0, kHeight, 10);
    EXPECT_LE(last - first, std::size_t(kHeight / 18 + 4));
    EXPECT_LE(first, 4000u);
    EXPECT_GE(last, 4011u);
    // Row 0 of the area holds task 4000 (4000 % 5 = 0: 0..100).
    const QImage image = Render(layout);
    EXPECT_EQ(Pixel(image, 0, 11).name(), kBlack.name());
    EXPECT_EQ(Pixel(image, 50, 12).name(), kDefault.name());
    EXPECT_EQ(Pixel(image, 150, 12).name(), kWhite.name());
}

// The screen's layout reads only the tasks near the area, yet draws what a
// layout of every task draws: bars, labels, colours inherited from parents
// far above, and arrows whose ends both lie far outside the area.
TEST_F(ChartDrawing, NearAreaLayoutDrawsLikeTheWholeLayout)
{
    control->Tree()->put_AutocorrectTaskDates(VARIANT_FALSE);  // keep the dates as drawn
    std::vector<ComPtr<ITask>> rows;  // in display order
    const auto add = [&](LONG parent, int i) {
        rows.push_back(control->AddTask(parent, kMonday + i % 5, kMonday + i % 5 + 1 + i % 2));
        return IdOf(rows.back().Get());
    };
    const LONG red = add(0, 0);
    SetColor(rows.back().Get(), RGB(255, 0, 0));
    for (int i = 1; i < 150; ++i) add(red, i);
    const LONG plain = add(0, 150);
    for (int i = 151; i < 260; ++i) {
        add(plain, i);
        if (i % 7 == 0) Assign(*control, rows.back().Get(), "Ann");
    }
    const LONG collapsed = add(0, 260);
    ComPtr<ITask> hidden = control->AddTask(collapsed, kMonday, kMonday + 1);
    control->SetCollapsed(rows.back().Get(), true);
    for (int i = 261; i < 300; ++i) add(0, i);
    const auto link = [&](std::size_t from, std::size_t to, QMXDependencyType type) {
        ASSERT_EQ(control->Tree()->DependencyLink(IdOf(rows[from].Get()), IdOf(rows[to].Get()), type), S_OK);
    };
    for (std::size_t i = 1; i + 1 < rows.size(); i += 3) link(i, i + 1, dtFinishToStart);
    link(10, 290, dtFinishToStart);   // far above to far below
    link(20, 280, dtStartToStart);
    link(270, 30, dtFinishToFinish);  // far below to far above
    link(5, 295, dtStartToFinish);
    link(160, 298, dtFinishToStart);  // near to far
    ASSERT_EQ(control->Tree()->DependencyLink(IdOf(rows[155].Get()), IdOf(hidden.Get()), dtFinishToStart), S_OK);

    LayoutFrame nearFrame = WeekFrame();
    nearFrame.nearAreaOnly = true;
    for (LONG first : {0, 100, 150, 158, 250, 290}) {
        control->SetFirstVisibleRow(first);
        ChartLayout whole;
        ChartLayout near;
        ASSERT_EQ(LayOutChart(control.Get(), WeekFrame(), whole), S_OK);
        ASSERT_EQ(LayOutChart(control.Get(), nearFrame, near), S_OK);
        EXPECT_LT(near.Items().size(), whole.Items().size() / 2) << first;
        EXPECT_TRUE(Render(near, WeekBackdrop()) == Render(whole, WeekBackdrop())) << "first row " << first;
        ASSERT_EQ(near.Rows(), whole.Rows()) << first;
        for (ITask* task : near.Rows()) {
            if (!task) continue;
            const TaskItem* a = near.Find(task);
            const TaskItem* b = whole.Find(task);
            ASSERT_TRUE(a && b) << first;
            EXPECT_EQ(a->Left, b->Left) << first;
            EXPECT_EQ(a->Right, b->Right) << first;
            EXPECT_EQ(a->Top, b->Top) << first;
            EXPECT_EQ(a->Color, b->Color) << first;
            EXPECT_EQ(a->Label, b->Label) << first;
        }
        if (first == 150) {
            // The arrows from rows 5, 10 and 20 and back to row 30 cross the area.
            const auto crossing = std::count_if(near.Links().begin(), near.Links().end(), [&](const TaskLink& l) {
                const TaskItem& p = near.Items()[l.predecessorItem];
                const TaskItem& s = near.Items()[l.successorItem];
                return std::max(p.Top, s.Top) > kHeight && std::min(p.Bottom, s.Bottom) < 0;
            });
            EXPECT_EQ(crossing, 4) << first;
        }
    }
}

}  // namespace
}  // namespace qmx::testing
