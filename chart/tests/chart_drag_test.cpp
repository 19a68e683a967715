// Dragging on the Gantt chart pane end to end: a pane made by ProgID from
// the built library over a real model, driven with mouse, key and wheel
// events; the model's dates and percent afterwards are checked against
// values worked out by hand from the drag rules.
//
// The view is the week from Monday 13 June 2005 on a 700-pixel chart area:
// 100 pixels a day, day subperiods. The chart area starts below the 32-pixel
// timeline; row k lies at window y 40 + 18k .. 58 + 18k, its centre at
// 49 + 18k. A task from 14 to 16 June has its bar from x 100 to 300.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <QApplication>
#include <QBitmap>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include "automation/bstr.h"
#include "automation/date_time.h"
#include "chart/gantt_chart_pane_interfaces.h"
#include "chart/tests/chart_control_double.h"
#include "chart/tests/chart_test_support.h"

namespace qmx::testing {
namespace {

const DATE kMonday = Day(2005, 6, 13);
const DATE kJune14 = kMonday + 1;
const DATE kJune16 = kMonday + 3;
constexpr int kWidth = 700;
constexpr int kChartHeight = 200;

int RowY(int row) { return 49 + 18 * row; }

struct KeyRecord {
    LONG key;
    LONG options;
};

class DragSink final : public ComObject<_IGanttChartPaneEvents> {
public:
    std::vector<LONG> buttonDownKeys;
    int doubleClicks = 0;
    std::vector<KeyRecord> keys;
    std::vector<ITask*> changed;
    int timeRangeChanges = 0;
    std::function<void(ITask*)> onButtonDown;

    HRESULT TaskLButtonDown(ITask* task, LONG keyState) override
    {
        buttonDownKeys.push_back(keyState);
        if (onButtonDown) onButtonDown(task);
        return S_OK;
    }
    HRESULT TaskLButtonDblClk(ITask*) override
    {
        ++doubleClicks;
        return S_OK;
    }
    HRESULT KeyDown(LONG key, LONG options) override
    {
        keys.push_back({key, options});
        return S_OK;
    }
    HRESULT TaskChanged(ITask* task) override
    {
        changed.push_back(task);
        return S_OK;
    }
    HRESULT TimeRangeChanged() override
    {
        ++timeRangeChanges;
        return S_OK;
    }
};

class ChartDrag : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureApplication();
        ASSERT_EQ(RegisterChartLibrary(), S_OK);
    }

    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        FixToday(kMonday);
        QWidget* created = nullptr;
        ASSERT_EQ(MakeShownPane(kWidth, kChartHeight, chart.Get(), sink.Get(), "0,1,13/6/2005,38000,39000,7,38516",
                                pane, created),
                  S_OK);
        window = created;
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        tooltip = window->findChild<QLabel*>("qmx_drag_tooltip");
        ASSERT_NE(tooltip, nullptr);
    }

    void TearDown() override
    {
        pane = nullptr;  // deletes the window
        UnfixToday();
        QLocale::setDefault(QLocale::c());
    }

    HRESULT Put(const char* settings) { return pane->put_CurrentViewSettings(Utf8ToBstr(settings)); }
    std::string ViewStart()
    {
        BSTR text;
        EXPECT_EQ(pane->get_CurrentViewSettings(&text), S_OK);
        const std::string settings = BstrToUtf8(text);
        return settings.substr(4, settings.find(',', 4) - 4);
    }

    // The pointer over the pane without a button.
    void Hover(int x, int y)
    {
        const QPoint at(x, y);
        QMouseEvent e(QEvent::MouseMove, at, window->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window, &e);
    }
    void Press(int x, int y, Qt::KeyboardModifiers modifiers = {})
    {
        Hover(x, y);
        QTest::mousePress(window, Qt::LeftButton, modifiers, QPoint(x, y));
    }
    void DragTo(int x, int y) { QTest::mouseMove(window, QPoint(x, y)); }
    void Release(int x, int y, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseRelease(window, Qt::LeftButton, modifiers, QPoint(x, y));
    }
    // A press at `from`, moves to `to` and a release there, all in row `row`.
    void Drag(int from, int to, int row = 0, Qt::KeyboardModifiers atRelease = {})
    {
        Press(from, RowY(row));
        DragTo(to, RowY(row));
        Release(to, RowY(row), atRelease);
    }

    // Which drag cursor the window shows: its resource ID, 0 for the
    // default cursor. Told apart by pixels black in one picture only.
    int ShownCursor()
    {
        const QCursor cursor = window->cursor();
        if (cursor.shape() != Qt::BitmapCursor) return cursor.shape() == Qt::ArrowCursor ? 0 : -1;
        const QImage b = cursor.bitmap().toImage();
        auto black = [&](int x, int y) { return QColor(b.pixel(x, y)) == Qt::black; };
        if (black(12, 12) && black(20, 20)) return 204;  // the box
        if (black(15, 6)) return 205;                    // the vertical bar
        if (black(21, 4)) return 206;                    // the percent sign
        return -1;
    }

    // A task added, and the pane repainted as the container does after
    // every change of the model.
    ComPtr<ITask> AddTask(DATE start, DATE end, LONG parent = 0)
    {
        ComPtr<ITask> task = chart->AddTask(parent, start, end);
        window->repaint();
        return task;
    }
    static DATE Start(ITask* task)
    {
        DATE d = 0;
        task->get_StartDate(&d);
        return d;
    }
    static DATE End(ITask* task)
    {
        DATE d = 0;
        task->get_EndDate(&d);
        return d;
    }
    static LONG Percent(ITask* task)
    {
        LONG p = -1;
        task->get_PercentComplete(&p);
        return p;
    }
    static LONG IdOf(ITask* task)
    {
        LONG id = -1;
        task->get_ID(&id);
        return id;
    }

    // The pane with the tooltip drawn where it stands on the screen.
    QImage PictureWithTooltip()
    {
        const QImage pane = window->grab().toImage();
        const QPoint at = window->mapFromGlobal(tooltip->pos());
        QImage picture(std::max(pane.width(), at.x() + tooltip->width()), pane.height(), QImage::Format_RGB32);
        picture.fill(Qt::darkGray);
        QPainter painter(&picture);
        painter.drawImage(0, 0, pane);
        if (tooltip->isVisible()) painter.drawImage(at, tooltip->grab().toImage());
        return picture;
    }

    ComPtr<IGanttChartPane> pane;
    QPointer<QWidget> window;
    QPointer<QLabel> tooltip;
    ComPtr<ChartControlDouble> chart = MakeObject<ChartControlDouble>();
    ComPtr<DragSink> sink = MakeObject<DragSink>();
};

TEST_F(ChartDrag, CursorsFollowTheZonesUnderThePointer)
{
    const auto task = AddTask(kJune14, kJune16);
    task->put_PercentComplete(40);  // mark at 101 + 198 x 40 / 100 = 180
    window->repaint();
    struct Row {
        int x, y, cursor;
    };
    const Row rows[] = {
        {300, RowY(0), 205}, {302, 41, 205},  // the end zone at any height of the row
        {180, RowY(0), 206}, {178, 56, 206},  // the percent mark
        {150, RowY(0), 0},   {305, RowY(0), 0},
        {300, 39, 0},        // the top margin
        {300, RowY(1), 0},   // an empty row
        {300, 20, 0},        // over the timeline's place
    };
    for (const Row& r : rows) {
        Hover(r.x, r.y);
        EXPECT_EQ(ShownCursor(), r.cursor) << r.x << "," << r.y;
    }
    // While moving a bar the move cursor shows.
    Press(150, RowY(0));
    DragTo(200, RowY(0));
    EXPECT_EQ(ShownCursor(), 204);
    Release(200, RowY(0));
}

TEST_F(ChartDrag, PressAndReleaseOrSmallTravelChangeNothing)
{
    const auto task = AddTask(kJune14, kJune16);
    Press(150, RowY(0), Qt::ShiftModifier);
    Release(150, RowY(0));
    ASSERT_EQ(sink->buttonDownKeys.size(), 1u);
    EXPECT_EQ(sink->buttonDownKeys[0], 1 | 4);  // left button, Shift

    // 3 pixels either way are no move.
    Press(150, RowY(0), Qt::ControlModifier);
    DragTo(153, RowY(0));
    DragTo(147, RowY(0));
    EXPECT_FALSE(tooltip->isVisible());
    Release(147, RowY(0));
    EXPECT_EQ(sink->buttonDownKeys.back(), 1 | 8);
    EXPECT_EQ(Start(task.Get()), kJune14);
    EXPECT_EQ(End(task.Get()), kJune16);
    EXPECT_TRUE(sink->changed.empty());

    // A press beside the bars reports nothing.
    Press(500, RowY(0));
    Release(500, RowY(0));
    EXPECT_EQ(sink->buttonDownKeys.size(), 2u);
}

TEST_F(ChartDrag, MoveSnapsToDaysAndWithAltToEighths)
{
    struct Row {
        int releaseX;
        bool alt;
        DATE start;  // Left 100 moved by release - 150 pixels, snapped
    };
    const Row rows[] = {
        {220, false, kMonday + 2},      // 1.7 days: 15 June
        {220, true, kMonday + 1.75},    // 14 June 18:00
        {190, false, kJune14},          // 1.4 days: back where it was, no change
        {40, false, kMonday},           // -0.1 days: 13 June
        {171, true, kMonday + 1.25},    // 1.21 days: 14 June 06:00
    };
    for (const Row& r : rows) {
        sink->changed.clear();
        const auto task = AddTask(kJune14, kJune16);
        window->repaint();  // the container repaints after every model change
        Press(150, RowY(0));
        DragTo(r.releaseX, RowY(0));
        Release(r.releaseX, RowY(0), r.alt ? Qt::AltModifier : Qt::NoModifier);
        EXPECT_EQ(Start(task.Get()), r.start) << r.releaseX << (r.alt ? " alt" : "");
        EXPECT_EQ(End(task.Get()), r.start + 2) << r.releaseX;
        EXPECT_EQ(sink->changed.size(), r.start == kJune14 ? 0u : 1u) << r.releaseX;
        if (!sink->changed.empty()) {
            EXPECT_EQ(sink->changed[0], task.Get());
        }
        EXPECT_FALSE(tooltip->isVisible());
        chart->Tree()->DeleteTask(IdOf(task.Get()));
        chart->RowsChanged();
    }
}

TEST_F(ChartDrag, MoveTooltipFollowsThePointerAndAlt)
{
    const auto task = AddTask(kJune14, kJune16);
    Press(150, RowY(0));
    DragTo(152, RowY(0));
    EXPECT_FALSE(tooltip->isVisible());
    DragTo(220, RowY(0));
    ASSERT_TRUE(tooltip->isVisible());
    EXPECT_EQ(tooltip->text().toStdString(), "6/15/05 + 0h ... 6/17/05 + 0h");
    EXPECT_EQ(tooltip->pos(), window->mapToGlobal(QPoint(220, RowY(0))) + QPoint(15, 0));
    QTest::keyPress(window, Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(tooltip->text().toStdString(), "6/14/05 + 18h ... 6/16/05 + 18h");
    EXPECT_TRUE(sink->keys.empty());  // Alt is a system key
    SavePicture(PictureWithTooltip(), "chart_drag_move_alt");
    QTest::keyRelease(window, Qt::Key_Alt, Qt::NoModifier);
    EXPECT_EQ(tooltip->text().toStdString(), "6/15/05 + 0h ... 6/17/05 + 0h");
    Release(220, RowY(0));
    EXPECT_FALSE(tooltip->isVisible());
    EXPECT_EQ(Start(task.Get()), kMonday + 2);
}

TEST_F(ChartDrag, FeedbackDrawsOneOutlineWithoutLayingOutTheChart)
{
    AddTask(kJune14, kJune16);
    QCoreApplication::processEvents();  // what was waiting to be painted is painted
    Press(150, RowY(0));
    const int layouts = chart->Enumerations();
    for (int x = 160; x <= 220; x += 5) DragTo(x, RowY(0));
    EXPECT_EQ(chart->Enumerations(), layouts);
    // A paint of the row alone shows the feedback as the moves left it,
    // still without a layout.
    QImage row(kWidth, 18, QImage::Format_RGB32);
    window->render(&row, QPoint(), QRegion(0, 40, kWidth, 18));
    EXPECT_EQ(chart->Enumerations(), layouts);
    EXPECT_EQ(Pixel(row, 170, 3), QColor(0, 0, 0));
    EXPECT_EQ(Pixel(row, 369, 9), QColor(0, 0, 0));
    EXPECT_EQ(Pixel(row, 340, 9), QColor(255, 255, 255));

    // The outline of the bar shifted by 70 pixels over the row as it was.
    const QImage picture = window->grab().toImage();
    SavePicture(PictureWithTooltip(), "chart_drag_move");
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    EXPECT_EQ(Pixel(picture, 170, 43), black);  // outline top-left
    EXPECT_EQ(Pixel(picture, 369, 49), black);  // its right edge
    EXPECT_EQ(Pixel(picture, 340, 49), white);  // no fill
    EXPECT_EQ(Pixel(picture, 370, 49), white);
    EXPECT_EQ(Pixel(picture, 150, 45), QColor(192, 224, 255));  // the bar stays where it was
    Release(220, RowY(0));
}

TEST_F(ChartDrag, YearViewSnapsToTheNearerFirstOfAMonth)
{
    // A year from 1 June 2005: 365 days on 700 pixels. A task from 10 to 20
    // July has Left round(700 x 39 / 365) = 75.
    ASSERT_EQ(Put("2,1,1/6/2005,38000,39000,365,38504"), S_OK);
    struct Row {
        int releaseX;
        bool alt;
        DATE start;
    };
    const Row rows[] = {
        {120, false, Day(2005, 8, 1)},   // edge 115: 59.96 days, 30 July 23:00: 1 August is nearer
        {75, false, Day(2005, 7, 1)},    // edge 70: 36.5 days, 7 July 12:00
        {120, true, Day(2005, 7, 31)},   // with Alt the nearest day
    };
    for (const Row& r : rows) {
        const auto task = AddTask(Day(2005, 7, 10), Day(2005, 7, 20));
        window->repaint();
        Press(80, RowY(0));
        DragTo(r.releaseX, RowY(0));
        if (!r.alt) {
            const std::string expected =
                r.start == Day(2005, 8, 1) ? "8/1/05 ... 8/11/05" : "7/1/05 ... 7/11/05";  // no hours
            EXPECT_EQ(tooltip->text().toStdString(), expected);
        }
        Release(r.releaseX, RowY(0), r.alt ? Qt::AltModifier : Qt::NoModifier);
        EXPECT_EQ(Start(task.Get()), r.start) << r.releaseX;
        EXPECT_EQ(End(task.Get()), r.start + 10) << r.releaseX;
        chart->Tree()->DeleteTask(IdOf(task.Get()));
        chart->RowsChanged();
    }
}

TEST_F(ChartDrag, ResizeMovesTheEndButNeverBeforeTheStart)
{
    struct Row {
        int releaseX;
        bool alt;
        DATE end;  // Right 300 moved by release - 300 pixels, snapped
        bool changed;
    };
    const Row rows[] = {
        {350, false, kMonday + 4, true},     // 3.5 days: 17 June
        {335, true, kMonday + 3.375, true},  // 3.35 days: 16 June 09:00
        {20, false, kJune16, false},         // 13 June is before the start: refused
        {60, false, kJune14, true},          // 14 June, the start itself: allowed
        {320, false, kJune16, false},        // snaps back to 16 June
    };
    for (const Row& r : rows) {
        sink->changed.clear();
        const auto task = AddTask(kJune14, kJune16);
        window->repaint();
        Press(300, RowY(0));
        EXPECT_TRUE(sink->buttonDownKeys.empty());  // no click event in the end zone
        EXPECT_TRUE(tooltip->isVisible());
        DragTo(r.releaseX, RowY(0));
        EXPECT_EQ(ShownCursor(), 205);
        Release(r.releaseX, RowY(0), r.alt ? Qt::AltModifier : Qt::NoModifier);
        EXPECT_EQ(Start(task.Get()), kJune14) << r.releaseX;
        EXPECT_EQ(End(task.Get()), r.end) << r.releaseX;
        EXPECT_EQ(sink->changed.size(), r.changed ? 1u : 0u) << r.releaseX;
        chart->Tree()->DeleteTask(IdOf(task.Get()));
        chart->RowsChanged();
    }

    const auto task = AddTask(kJune14, kJune16);
    window->repaint();
    Press(300, RowY(0));
    DragTo(350, RowY(0));
    EXPECT_EQ(tooltip->text().toStdString(), "6/14/05 + 0h ... 6/17/05 + 0h");
    QTest::keyPress(window, Qt::Key_Alt, Qt::AltModifier);
    DragTo(335, RowY(0));
    EXPECT_EQ(tooltip->text().toStdString(), "6/14/05 + 0h ... 6/16/05 + 0h");  // moves carry no Alt
    Release(335, RowY(0));
}

TEST_F(ChartDrag, PercentDragClampsAndAlwaysReports)
{
    struct Row {
        int releaseX;
        LONG percent;
    };
    // Mark at 180 for 40 %; e = 198.
    const Row rows[] = {{200, 50}, {1000, 100}, {-50, 0}, {180, 40}, {182, 41}};
    for (const Row& r : rows) {
        sink->changed.clear();
        const auto task = AddTask(kJune14, kJune16);
        task->put_PercentComplete(40);
        window->repaint();
        Press(180, RowY(0));
        EXPECT_TRUE(tooltip->isVisible());
        EXPECT_EQ(tooltip->text().toStdString(), "40 %");
        const int layouts = chart->Enumerations();
        DragTo(r.releaseX, RowY(0));
        EXPECT_EQ(chart->Enumerations(), layouts);
        EXPECT_EQ(tooltip->text().toStdString(), std::to_string(r.percent) + " %");
        EXPECT_EQ(ShownCursor(), 206);
        if (r.percent == 50) {
            // The band now ends at 101 + 198 x 50 / 100 = 200.
            const QImage picture = window->grab().toImage();
            SavePicture(PictureWithTooltip(), "chart_drag_percent");
            EXPECT_EQ(Pixel(picture, 199, 48), QColor(0, 0, 0));
            EXPECT_EQ(Pixel(picture, 200, 48), QColor(192, 224, 255));
        }
        Release(r.releaseX, RowY(0));
        EXPECT_EQ(Percent(task.Get()), r.percent);
        EXPECT_EQ(sink->changed.size(), 1u);  // also when unchanged
        chart->Tree()->DeleteTask(IdOf(task.Get()));
        chart->RowsChanged();
    }
}

TEST_F(ChartDrag, SummariesStayAndMilestonesMoveWithoutZones)
{
    const auto parent = AddTask(kJune14, kJune16);
    const auto child = AddTask(kJune14, kJune16, IdOf(parent.Get()));
    parent->put_PercentComplete(40);
    // The summary bar: pressed, but no move and no zones.
    Hover(299, RowY(0));
    EXPECT_EQ(ShownCursor(), 0);
    Hover(180, RowY(0));
    EXPECT_EQ(ShownCursor(), 0);
    Drag(150, 300, 0);
    EXPECT_EQ(sink->buttonDownKeys.size(), 1u);
    EXPECT_FALSE(tooltip->isVisible());
    EXPECT_EQ(Start(parent.Get()), kJune14);
    EXPECT_EQ(End(parent.Get()), kJune16);
    EXPECT_TRUE(sink->changed.empty());

    // A milestone on 15 June in row 2: its diamond at x 196..204.
    const auto milestone = AddTask(kMonday + 2, kMonday + 2);
    milestone->put_IsMilestone(VARIANT_TRUE);
    chart->RowsChanged();
    window->repaint();
    Hover(201, RowY(2));
    EXPECT_EQ(ShownCursor(), 0);  // no end zone
    Drag(200, 260, 2);            // 2.6 days: 16 June
    EXPECT_EQ(Start(milestone.Get()), kMonday + 3);
    EXPECT_EQ(End(milestone.Get()), kMonday + 3);
    ASSERT_EQ(sink->changed.size(), 1u);
    EXPECT_EQ(sink->changed[0], milestone.Get());
}

TEST_F(ChartDrag, TaskDeletedWhileThePressIsReported)
{
    const auto task = AddTask(kJune14, kJune16);
    AddTask(kJune14, kJune16);
    sink->onButtonDown = [&](ITask* pressed) { chart->Tree()->DeleteTask(IdOf(pressed)); };
    Press(150, RowY(0));
    DragTo(250, RowY(0));
    EXPECT_FALSE(tooltip->isVisible());
    Release(250, RowY(0));
    VARIANT_BOOL valid = VARIANT_TRUE;
    task->get_IsValid(&valid);
    EXPECT_EQ(valid, VARIANT_FALSE);
    EXPECT_TRUE(sink->changed.empty());
    // The layout of the last paint still holds it: a double click there is ignored.
    QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(150, RowY(0)));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(150, RowY(0)));
    EXPECT_EQ(sink->doubleClicks, 0);
}

TEST_F(ChartDrag, MovedTaskPushesItsSuccessor)
{
    const auto first = AddTask(kJune14, kJune16);
    const auto second = AddTask(kJune16, kJune16 + 1);
    ASSERT_EQ(chart->Tree()->DependencyLink(IdOf(first.Get()), IdOf(second.Get()), dtFinishToStart), S_OK);
    Drag(150, 250);  // one day later
    EXPECT_EQ(Start(first.Get()), kMonday + 2);
    EXPECT_EQ(End(first.Get()), kMonday + 4);
    EXPECT_EQ(Start(second.Get()), kMonday + 4);
    EXPECT_EQ(End(second.Get()), kMonday + 5);
    ASSERT_EQ(sink->changed.size(), 1u);  // the pushes are the model's to report
}

TEST_F(ChartDrag, EscapeFocusLossAndHidingEndTheDragUnchanged)
{
    const auto task = AddTask(kJune14, kJune16);
    task->put_PercentComplete(40);
    window->repaint();
    const std::vector<std::function<void()>> interruptions = {
        [&] { QTest::keyClick(window, Qt::Key_Escape); },
        [&] { window->clearFocus(); },
        [&] { window->hide(); },
    };
    int n = 0;
    for (const auto& interrupt : interruptions) {
        for (int from : {150, 300, 180}) {  // a move, a resize, a percent drag
            window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << n;
            if (n == 1) {  // losing the focus needs it first
                window->activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(window));
                window->setFocus();
                ASSERT_TRUE(window->hasFocus());
            }
            Press(from, RowY(0));
            DragTo(from + 120, RowY(0));
            EXPECT_TRUE(tooltip->isVisible()) << n;
            interrupt();
            EXPECT_FALSE(tooltip->isVisible()) << n;
            DragTo(from + 150, RowY(0));
            Release(from + 150, RowY(0));
            EXPECT_EQ(Start(task.Get()), kJune14) << n;
            EXPECT_EQ(End(task.Get()), kJune16) << n;
            EXPECT_EQ(Percent(task.Get()), 40) << n;
            EXPECT_TRUE(sink->changed.empty()) << n;
        }
        ++n;
    }
    ASSERT_EQ(sink->keys.size(), 3u);  // Escape is still reported
    EXPECT_EQ(sink->keys[0].key, 27);
}

TEST_F(ChartDrag, KeysDoubleClicksAndTheWheelAreReported)
{
    const auto task = AddTask(kJune14, kJune16);
    QTest::keyClick(window, Qt::Key_F2);
    QTest::keyClick(window, Qt::Key_Delete);
    QTest::keyClick(window, Qt::Key_Minus, Qt::KeypadModifier | Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_F, Qt::AltModifier);  // a system key
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, QString(), true);
    QApplication::sendEvent(window, &repeat);
    // QTest presses the Control key before the minus: both are reported.
    ASSERT_EQ(sink->keys.size(), 5u);
    EXPECT_EQ(sink->keys[0].key, 113);
    EXPECT_EQ(sink->keys[0].options, 1);
    EXPECT_EQ(sink->keys[1].key, 46);
    EXPECT_EQ(sink->keys[1].options, 0x01000001);
    EXPECT_EQ(sink->keys[2].key, 17);
    EXPECT_EQ(sink->keys[3].key, 109);
    EXPECT_EQ(sink->keys[4].key, 16);
    EXPECT_EQ(sink->keys[4].options, 0x40000001);

    QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(150, RowY(0)));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(150, RowY(0)));
    EXPECT_EQ(sink->doubleClicks, 1);
    QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(500, RowY(0)));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(500, RowY(0)));
    EXPECT_EQ(sink->doubleClicks, 1);

    auto wheel = [&](int delta) {
        const QPoint at(300, RowY(3));
        QWheelEvent e(at, window->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(window, &e);
    };
    wheel(-120);  // toward the user: one day later
    EXPECT_EQ(ViewStart(), "14/6/2005");
    EXPECT_EQ(sink->timeRangeChanges, 1);
    wheel(240);
    EXPECT_EQ(ViewStart(), "12/6/2005");
    EXPECT_EQ(sink->timeRangeChanges, 2);
    wheel(60);  // half a notch: nothing yet
    EXPECT_EQ(sink->timeRangeChanges, 2);
    wheel(60);
    EXPECT_EQ(ViewStart(), "11/6/2005");
    EXPECT_EQ(sink->timeRangeChanges, 3);
    EXPECT_EQ(Start(task.Get()), kJune14);
}

}  // namespace
}  // namespace qmx::testing
