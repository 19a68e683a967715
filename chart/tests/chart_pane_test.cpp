// The Gantt chart pane as its container sees it: created by ProgID from the
// built library, the timeline pane inside it, the time-scale methods, the
// view-settings string, the scroll bar and the picture of the chart area.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>

#include "automation/bstr.h"
#include "automation/date_time.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/widget_control.h"
#include "chart/gantt_chart_pane_interfaces.h"
#include "chart/splitter_interfaces.h"
#include "chart/tests/chart_control_double.h"
#include "chart/tests/chart_test_support.h"
#include "chart/timeline_interfaces.h"

namespace qmx::testing {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kWeekend(224, 224, 224);
const QColor kRange(0, 0, 255);

const DATE kMonday = Day(2005, 6, 13);
constexpr int kWidth = 700;
constexpr int kChartHeight = 200;

class PaneSink final : public ComObject<_IGanttChartPaneEvents> {
public:
    int timeRangeChanges = 0;
    HRESULT TaskLButtonDown(ITask*, LONG) override { return S_OK; }
    HRESULT TaskLButtonDblClk(ITask*) override { return S_OK; }
    HRESULT KeyDown(LONG, LONG) override { return S_OK; }
    HRESULT TaskChanged(ITask*) override { return S_OK; }
    HRESULT TimeRangeChanged() override
    {
        ++timeRangeChanges;
        return S_OK;
    }
};

std::string DayNumber(int y, int m, int d) { return std::to_string(LONG(Day(y, m, d))); }

class ChartPane : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureApplication();
        ASSERT_EQ(RegisterChartLibrary(), S_OK);
    }

    void SetUp() override
    {
        FixToday(kMonday);
        // A week from Monday 13 June 2005: 100 pixels a day.
        QWidget* created = nullptr;
        ASSERT_EQ(MakeShownPane(kWidth, kChartHeight, chart.Get(), sink.Get(), "0,1,13/6/2005,38000,39000,7,38516",
                                pane, created),
                  S_OK);
        window = created;
        scrollBar = window->findChild<QScrollBar*>();
        ASSERT_NE(scrollBar, nullptr);
    }

    void TearDown() override
    {
        pane = nullptr;  // deletes the window
        UnfixToday();
    }

    HRESULT Put(const char* settings) { return pane->put_CurrentViewSettings(Utf8ToBstr(settings)); }
    std::string Get()
    {
        BSTR text;
        EXPECT_EQ(pane->get_CurrentViewSettings(&text), S_OK);
        return BstrToUtf8(text);
    }
    QImage Grab() { return window->grab().toImage(); }
    LONG TimelineHeight()
    {
        LONG height = -1;
        pane->get_TimelineHeight(&height);
        return height;
    }
    LONG IdOf(ITask* task)
    {
        LONG id = -1;
        task->get_ID(&id);
        return id;
    }

    ComPtr<IGanttChartPane> pane;
    QPointer<QWidget> window;
    QScrollBar* scrollBar = nullptr;
    ComPtr<ChartControlDouble> chart = MakeObject<ChartControlDouble>();
    ComPtr<PaneSink> sink = MakeObject<PaneSink>();
};

TEST_F(ChartPane, HostsTheTimelineAlongItsTopEdge)
{
    const auto children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QWidget* timeline = nullptr;
    for (QWidget* child : children)
        if (child != scrollBar && !child->isWindow()) timeline = child;  // not the drag tooltip
    ASSERT_NE(timeline, nullptr);
    EXPECT_EQ(timeline->geometry(), QRect(0, 0, kWidth, 32));
    EXPECT_EQ(TimelineHeight(), 32);
    LONG margin = 0;
    EXPECT_EQ(pane->get_TopMargin(&margin), S_OK);
    EXPECT_EQ(margin, 8);
    EXPECT_EQ(pane->get_TopMargin(nullptr), E_POINTER);
    EXPECT_EQ(pane->get_TimelineHeight(nullptr), E_POINTER);

    // Resizing the pane takes the timeline along.
    window->resize(500, window->height());
    EXPECT_EQ(timeline->geometry(), QRect(0, 0, 500, 32));

    // The other controls of the library are made by ProgID too.
    ComPtr<ISplitter> splitter;
    EXPECT_EQ(CreateInstance(kSplitterVersionIndependentProgId, &splitter), S_OK);
    ComPtr<ISplitterEventSource> splitterEvents;
    EXPECT_EQ(splitter.As(&splitterEvents), S_OK);
}

TEST_F(ChartPane, ChartAreaStartsBelowTheVisibleTimeline)
{
    chart->AddTask(0, kMonday + 1, kMonday + 3);  // row 0, bar 100..300 at 11..22
    QImage image = Grab();
    SavePicture(image, "chart_pane_week");
    EXPECT_EQ(Pixel(image, 100, 32 + 11).name(), kBlack.name());
    EXPECT_EQ(Pixel(image, 100, 32 + 10).name(), kWhite.name());

    ASSERT_EQ(pane->put_TimelineHeight(40), S_OK);
    EXPECT_EQ(TimelineHeight(), 40);
    image = Grab();
    EXPECT_EQ(Pixel(image, 100, 40 + 11).name(), kBlack.name());
    EXPECT_EQ(pane->put_TimelineHeight(-1), E_INVALIDARG);

    ASSERT_EQ(pane->put_TimelinePaneVisible(VARIANT_FALSE), S_OK);
    VARIANT_BOOL visible = VARIANT_TRUE;
    ASSERT_EQ(pane->get_TimelinePaneVisible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_FALSE);
    image = Grab();
    SavePicture(image, "chart_pane_no_timeline");
    EXPECT_EQ(Pixel(image, 100, 11).name(), kBlack.name());
    EXPECT_EQ(Pixel(image, 150, 12).name(), QColor(192, 224, 255).name());

    // Without a control nothing is laid out or drawn.
    ASSERT_EQ(pane->SetGanttChartControl(nullptr), S_OK);
    image = Grab();
    EXPECT_NE(Pixel(image, 100, 11).name(), kBlack.name());
}

TEST_F(ChartPane, WeekendsOnlyUnderDaySubperiods)
{
    struct Row {
        const char* settings;
        int weekendX;  // a pixel inside the first Saturday column, or -1
    };
    const Row rows[] = {
        {"0,1,13/6/2005,38000,39000,7,38516", 550},
        // A month of 30 days: Saturday 18 June spans 117..140.
        {"1,1,13/6/2005,38000,39000,30,38516", 128},
        {"1,3,13/6/2005,38000,39000,91,38516", -1},  // week subperiods
        {"2,1,13/6/2005,38000,39000,365,38516", -1},  // month subperiods
    };
    for (const Row& row : rows) {
        ASSERT_EQ(Put(row.settings), S_OK) << row.settings;
        const QImage image = Grab();
        int weekendPixels = 0;
        for (int x = 0; x < kWidth; ++x) weekendPixels += Pixel(image, x, 32 + 150) == kWeekend ? 1 : 0;
        if (row.weekendX < 0) {
            EXPECT_EQ(weekendPixels, 0) << row.settings;
        } else {
            EXPECT_EQ(Pixel(image, row.weekendX, 32 + 150).name(), kWeekend.name()) << row.settings;
        }
    }
}

TEST_F(ChartPane, ProjectRangeLinesOnlyForARangeOfDays)
{
    struct Row {
        DATE start;
        DATE end;
        int firstX;  // -1: no lines at all
        int lastX;
    };
    const Row rows[] = {
        {kMonday + 1, kMonday + 3, 100, 300},
        {kMonday + 2, kMonday + 3, 200, 300},  // one day long
        {kMonday + 2, kMonday + 2, -1, -1},    // first and last day coincide
    };
    int n = 0;
    for (const Row& row : rows) {
        chart = MakeObject<ChartControlDouble>();
        ASSERT_EQ(pane->SetGanttChartControl(chart.Get()), S_OK);
        chart->AddTask(0, row.start, row.end);
        const QImage image = Grab();
        SavePicture(image, "chart_pane_range_" + std::to_string(n++));
        int blue = 0;
        for (int y = 32; y < 32 + kChartHeight; ++y)
            for (int x = 0; x < kWidth; ++x) blue += Pixel(image, x, y) == kRange ? 1 : 0;
        if (row.firstX < 0) {
            EXPECT_EQ(blue, 0);
            continue;
        }
        // Dotted from the top: three pixels on, three off.
        for (int x : {row.firstX, row.lastX}) {
            EXPECT_EQ(Pixel(image, x, 32 + 96).name(), kRange.name()) << x;
            EXPECT_EQ(Pixel(image, x, 32 + 98).name(), kRange.name()) << x;
            EXPECT_EQ(Pixel(image, x, 32 + 99).name(), kWhite.name()) << x;
            EXPECT_EQ(Pixel(image, x, 32 + 101).name(), kWhite.name()) << x;
        }
        // The dates beside the lines at the top: the first ending left of its
        // line, the last starting right of it.
        auto darkIn = [&](int left, int right) {
            for (int y = 32; y < 32 + 10; ++y)  // above the first bar
                for (int x = std::max(left, 0); x < std::min(right, kWidth); ++x)
                    if (Pixel(image, x, y).lightness() < 100 && Pixel(image, x, y) != kRange) return true;
            return false;
        };
        EXPECT_TRUE(darkIn(row.firstX - 80, row.firstX - 2));
        EXPECT_FALSE(darkIn(row.firstX - 2, row.firstX));
        EXPECT_TRUE(darkIn(row.lastX + 2, row.lastX + 80));
    }
}

TEST_F(ChartPane, ThreeMonthViewAfterARangeFit)
{
    ASSERT_EQ(pane->AdjustTimeRange(Day(2005, 2, 1), Day(2005, 5, 1)), S_OK);
    const std::string expected = "1,3,1/2/2005," + DayNumber(2004, 11, 1) + "," + DayNumber(2005, 7, 31) + ",89," +
                                 DayNumber(2005, 2, 1);
    EXPECT_EQ(Get(), expected);
    EXPECT_EQ(scrollBar->value(), LONG(Day(2005, 2, 1)));
    EXPECT_EQ(scrollBar->pageStep(), 89);

    // Writing the text back restores the view.
    ASSERT_EQ(pane->ResetTimeRange(), S_OK);
    EXPECT_EQ(Get().substr(0, 14), "0,1,13/6/2005,");
    ASSERT_EQ(pane->put_CurrentViewSettings(Utf8ToBstr(expected)), S_OK);
    EXPECT_EQ(Get(), expected);

    // No range to fit: nothing changes.
    EXPECT_EQ(pane->AdjustTimeRange(Day(2005, 5, 1), Day(2005, 5, 1)), S_OK);
    EXPECT_EQ(Get(), expected);
}

TEST_F(ChartPane, ViewSettingsRoundTripAndRejection)
{
    // Eighths of a day and every scroll field come back as written.
    const char* text = "0,1,15/6/2005.2,38000,39000,7,38518";
    ASSERT_EQ(Put(text), S_OK);
    EXPECT_EQ(Get(), text);
    EXPECT_EQ(pane->get_CurrentViewSettings(nullptr), E_POINTER);

    // Malformed: nothing applied.
    for (const char* bad : {"", "junk", "0,1,15/6/2005,1,2,3", "0,1,15/6/2005.8,1,2,3,4", "a,1,1/1/2005,1,2,3,4"}) {
        EXPECT_EQ(Put(bad), E_INVALIDARG) << bad;
        EXPECT_EQ(Get(), text) << bad;
    }
    // Well formed, refused by the timeline: what came before stays.
    EXPECT_EQ(Put("7,1,1/1/2006,1,2,3,4"), E_INVALIDARG);
    EXPECT_EQ(Get(), text);
    EXPECT_EQ(Put("1,0,1/1/2006,1,2,3,4"), E_INVALIDARG);
    EXPECT_EQ(Get().substr(0, 4), "1,1,");  // the period kind was applied
    EXPECT_EQ(Get().substr(4), "15/6/2005.2,38000,39000,7,38518");

    // A count between rungs of the zoom ladder rounds up to the next rung.
    ASSERT_EQ(Put("1,5,1/2/2005,38000,39000,120,38384"), S_OK);
    EXPECT_EQ(Get().substr(0, 4), "1,6,");
}

TEST_F(ChartPane, ZoomWalksTheLadder)
{
    ASSERT_EQ(pane->ResetTimeRange(), S_OK);
    EXPECT_EQ(Get().substr(0, 14), "0,1,13/6/2005,");
    ASSERT_EQ(pane->ZoomOut(), S_OK);
    EXPECT_EQ(Get().substr(0, 4), "0,2,");
    ASSERT_EQ(pane->ZoomOut(), S_OK);
    EXPECT_EQ(Get().substr(0, 4), "1,1,");
    for (int i = 0; i < 5; ++i) ASSERT_EQ(pane->ZoomOut(), S_OK);
    EXPECT_EQ(Get().substr(0, 4), "2,1,");  // level 7: a year
    for (int i = 0; i < 10; ++i) ASSERT_EQ(pane->ZoomIn(), S_OK);
    EXPECT_EQ(Get().substr(0, 4), "0,1,");  // never below one week
    EXPECT_EQ(scrollBar->pageStep(), 7);
}

TEST_F(ChartPane, ScrollBarCommandsMoveTheViewAndReport)
{
    const LONG monday = LONG(kMonday);
    scrollBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(sink->timeRangeChanges, 1);
    EXPECT_EQ(Get().substr(0, 14), "0,1,14/6/2005,");
    EXPECT_EQ(scrollBar->value(), monday + 1);
    scrollBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Get().substr(0, 14), "0,1,21/6/2005,");
    scrollBar->triggerAction(QAbstractSlider::SliderPageStepSub);
    scrollBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(Get().substr(0, 14), "0,1,13/6/2005,");
    EXPECT_EQ(sink->timeRangeChanges, 4);
    // Dragging the thumb starts the view at its position.
    scrollBar->setSliderPosition(monday + 30);
    EXPECT_EQ(Get().substr(0, 14), "0,1,13/7/2005,");
    EXPECT_EQ(sink->timeRangeChanges, 5);
    // Other commands are ignored and leave the bar where the view is.
    scrollBar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(sink->timeRangeChanges, 5);
    EXPECT_EQ(scrollBar->value(), monday + 30);
}

TEST_F(ChartPane, WindowCanGoFirst)
{
    delete window.data();
    QWidget* none = nullptr;
    ComPtr<IWidgetControl> control;
    ASSERT_EQ(pane.As(&control), S_OK);
    EXPECT_EQ(control->GetControlWindow(&none), S_FALSE);
    EXPECT_EQ(none, nullptr);
}

}  // namespace
}  // namespace qmx::testing
