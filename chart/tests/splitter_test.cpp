// The splitter's drag steps: events before and after each step, a sink that
// cancels or changes the step, both orientations, and no event without
// travel.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "chart/splitter.h"
#include "chart/tests/chart_test_support.h"

namespace qmx::testing {
namespace {

class SplitterSink final : public ComObject<_ISplitterEvents> {
public:
    std::function<void(LONG*)> change = [](LONG*) {};
    std::vector<LONG> offered;  // deltas as BeforeMove received them
    int afterMoves = 0;

    HRESULT BeforeMove(LONG* pnDelta) override
    {
        offered.push_back(*pnDelta);
        change(pnDelta);
        return S_OK;
    }
    HRESULT AfterMove() override
    {
        ++afterMoves;
        return S_OK;
    }
};

class SplitterDrag : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }

    void Make(QMXSplitter::Orientation orientation)
    {
        splitter = MakeObject<QMXSplitter>(orientation);
        QWidget* created = nullptr;
        ASSERT_EQ(splitter->CreateControlWindow(&container, &created), S_OK);
        window = created;
        window->setGeometry(200, 100, 4, 4);
        DWORD cookie = 0;
        ASSERT_EQ(splitter->Advise(sink.Get(), &cookie), S_OK);
    }

    // The pointer at `along` pixels on the splitter's axis, in the
    // container's coordinates; the event carries it relative to the window
    // as it stands now.
    void Send(QEvent::Type type, int along)
    {
        const bool vertical = splitter->GetOrientation() == QMXSplitter::Orientation::Vertical;
        const QPoint inContainer = vertical ? QPoint(along, 102) : QPoint(202, along);
        const QPointF local = inContainer - window->pos();
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, window->mapToGlobal(local), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &event);
    }

    QWidget container;
    ComPtr<QMXSplitter> splitter;
    QWidget* window = nullptr;
    ComPtr<SplitterSink> sink = MakeObject<SplitterSink>();
};

TEST_F(SplitterDrag, EachStepMovesTheWindowByTheTravel)
{
    Make(QMXSplitter::Orientation::Vertical);
    EXPECT_EQ(window->cursor().shape(), Qt::SizeHorCursor);
    Send(QEvent::MouseButtonPress, 202);
    Send(QEvent::MouseMove, 212);
    EXPECT_EQ(window->x(), 210);
    Send(QEvent::MouseMove, 207);
    EXPECT_EQ(window->x(), 205);
    EXPECT_EQ(window->y(), 100);
    EXPECT_EQ(sink->offered, (std::vector<LONG>{10, -5}));
    EXPECT_EQ(sink->afterMoves, 2);
    Send(QEvent::MouseButtonRelease, 207);
    // Released: moves are no drag.
    Send(QEvent::MouseMove, 250);
    EXPECT_EQ(window->x(), 205);
    EXPECT_EQ(sink->afterMoves, 2);
}

TEST_F(SplitterDrag, CancelledStepStaysButIsReported)
{
    Make(QMXSplitter::Orientation::Vertical);
    sink->change = [](LONG* delta) { *delta = 0; };
    Send(QEvent::MouseButtonPress, 202);
    Send(QEvent::MouseMove, 230);
    Send(QEvent::MouseMove, 240);
    EXPECT_EQ(window->x(), 200);
    // Nothing applied: each step carries the whole travel from the press.
    EXPECT_EQ(sink->offered, (std::vector<LONG>{28, 38}));
    EXPECT_EQ(sink->afterMoves, 2);
}

TEST_F(SplitterDrag, HalvedStepsFollowAtHalfSpeed)
{
    Make(QMXSplitter::Orientation::Vertical);
    sink->change = [](LONG* delta) { *delta /= 2; };
    Send(QEvent::MouseButtonPress, 202);
    Send(QEvent::MouseMove, 222);  // 20 offered, 10 taken
    EXPECT_EQ(window->x(), 210);
    Send(QEvent::MouseMove, 222);  // the remaining 10 offered, 5 taken
    EXPECT_EQ(window->x(), 215);
    EXPECT_EQ(sink->offered, (std::vector<LONG>{20, 10}));
    EXPECT_EQ(sink->afterMoves, 2);
}

TEST_F(SplitterDrag, NoEventWithoutTravel)
{
    Make(QMXSplitter::Orientation::Vertical);
    Send(QEvent::MouseMove, 230);  // no press
    Send(QEvent::MouseButtonPress, 202);
    Send(QEvent::MouseMove, 202);
    Send(QEvent::MouseButtonRelease, 202);
    EXPECT_TRUE(sink->offered.empty());
    EXPECT_EQ(sink->afterMoves, 0);
    EXPECT_EQ(window->x(), 200);
}

TEST_F(SplitterDrag, HorizontalBarMovesAlongY)
{
    Make(QMXSplitter::Orientation::Horizontal);
    EXPECT_EQ(window->cursor().shape(), Qt::SizeVerCursor);
    Send(QEvent::MouseButtonPress, 102);
    Send(QEvent::MouseMove, 90);
    EXPECT_EQ(window->y(), 88);
    EXPECT_EQ(window->x(), 200);
    EXPECT_EQ(sink->offered, (std::vector<LONG>{-12}));
}

TEST_F(SplitterDrag, SinkMayReleaseTheSplitterDuringAStep)
{
    Make(QMXSplitter::Orientation::Vertical);
    QPointer<QWidget> guarded(window);
    sink->change = [this](LONG*) { splitter = nullptr; };
    Send(QEvent::MouseButtonPress, 202);
    Send(QEvent::MouseMove, 212);
    EXPECT_EQ(sink->afterMoves, 1);
    // The window goes once its handler has returned.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guarded.isNull());
}

TEST_F(SplitterDrag, BorderIsDrawnOnlyWhenVisible)
{
    Make(QMXSplitter::Orientation::Vertical);
    window->resize(8, 40);
    VARIANT_BOOL visible = VARIANT_TRUE;
    ASSERT_EQ(splitter->get_BorderVisible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_FALSE);
    const QImage plain = window->grab().toImage();
    ASSERT_EQ(splitter->put_BorderVisible(VARIANT_TRUE), S_OK);
    const QImage framed = window->grab().toImage();
    SavePicture(framed, "splitter_border");
    const QColor face = window->palette().color(QPalette::Button);
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) ASSERT_EQ(Pixel(plain, x, y).name(), face.name());
    EXPECT_NE(Pixel(framed, 7, 20).name(), face.name());  // the dark right edge of a raised frame
    EXPECT_EQ(Pixel(framed, 4, 20).name(), face.name());
    EXPECT_EQ(splitter->get_BorderVisible(nullptr), E_POINTER);
}

}  // namespace
}  // namespace qmx::testing
