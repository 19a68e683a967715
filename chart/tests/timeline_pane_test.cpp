// The timeline pane as its host sees it: created by ProgID from the built
// library, driven through ITimelinePane, its events and cell walkers, its
// window (size, wheel, focus) and its picture.

#include <dlfcn.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "automation/com_object.h"
#include "automation/date_time.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/widget_control.h"
#include "chart/timeline_interfaces.h"

namespace {

using qmx::ComPtr;

DATE D(int y, int m, int d) { return *qmx::DateFromCivil(y, m, d); }

QApplication& App()
{
    static int argc = 1;
    static char name[] = "timeline_pane_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

std::string LibraryPath()
{
    const char* dir = std::getenv("QMX_BUILD_LIB_DIR");
    return std::string(dir ? dir : ".") + "/libQMXGanttChartControl.so";
}

template <class Fn>
Fn LibraryEntry(const char* symbol)
{
    void* library = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    return reinterpret_cast<Fn>(dlsym(library, symbol));
}

class Sink final : public qmx::ComObject<_ITimelinePaneEvents> {
public:
    HRESULT StartDateChanged() override
    {
        ++count;
        if (onEvent) onEvent();
        return S_OK;
    }
    int count = 0;
    std::function<void()> onEvent;
};

class TimelinePaneTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        App();
        const auto registerServer = LibraryEntry<qmx::RegisterServerFn>(qmx::kRegisterServerSymbol);
        ASSERT_NE(registerServer, nullptr) << dlerror();
        ASSERT_EQ(registerServer(), S_OK);
    }

    void SetUp() override
    {
        qmx::FixToday(D(2005, 6, 15));  // a Wednesday
        ASSERT_EQ(qmx::CreateInstance(kTimelinePaneVersionIndependentProgId, &pane), S_OK);
        sink = qmx::MakeObject<Sink>();
        ASSERT_EQ(Query<ITimelinePaneEventSource>()->Advise(sink.Get(), &cookie), S_OK);
    }

    void TearDown() override
    {
        if (pane) Query<ITimelinePaneEventSource>()->Unadvise(cookie);
        pane.Reset();
        qmx::UnfixToday();
    }

    template <class I>
    ComPtr<I> Query()
    {
        ComPtr<I> result;
        EXPECT_EQ(pane->QueryInterface(I::iid, reinterpret_cast<void**>(result.ReleaseAndGetAddressOf())), S_OK);
        return result;
    }

    QWidget* CreateWindow(QWidget* parent, int width, int height)
    {
        QWidget* window = nullptr;
        EXPECT_EQ(Query<IWidgetControl>()->CreateControlWindow(parent, &window), S_OK);
        if (window) window->resize(width, height);
        return window;
    }

    std::vector<LONG> PeriodXs(bool printing = false)
    {
        auto cells = Query<ITimelinePeriodCells>();
        std::vector<LONG> xs;
        EXPECT_EQ(cells->Reset(printing), S_OK);
        LONG x = 0;
        while (cells->Next(&x) == S_OK) xs.push_back(x);
        return xs;
    }

    std::vector<std::pair<LONG, LONG>> SubperiodCells(bool printing = false)
    {
        auto cells = Query<ITimelineSubperiodCells>();
        std::vector<std::pair<LONG, LONG>> result;
        EXPECT_EQ(cells->Reset(printing), S_OK);
        LONG x = 0, value = 0;
        while (cells->Next(&x, &value) == S_OK) result.emplace_back(x, value);
        return result;
    }

    std::vector<LONG> SubperiodXs()
    {
        std::vector<LONG> xs;
        for (const auto& [x, value] : SubperiodCells()) xs.push_back(x);
        return xs;
    }

    DATE Get(HRESULT (ITimelinePane::*getter)(DATE*))
    {
        DATE value = -1;
        EXPECT_EQ((pane.Get()->*getter)(&value), S_OK);
        return value;
    }

    ComPtr<ITimelinePane> pane;
    ComPtr<Sink> sink;
    DWORD cookie = 0;
};

TEST_F(TimelinePaneTest, CreatedByProgIdWithTheDefaults)
{
    QMXTimelinePeriodType type = ptYear;
    LONG count = 0;
    QMXTimelineSubperiodType subType = stMonth;
    ASSERT_EQ(pane->get_PeriodType(&type), S_OK);
    ASSERT_EQ(pane->get_PeriodCount(&count), S_OK);
    ASSERT_EQ(pane->get_SubperiodType(&subType), S_OK);
    EXPECT_EQ(type, ptWeek);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(subType, stDay);
    EXPECT_EQ(Get(&ITimelinePane::get_StartDate), D(2005, 6, 15));
    EXPECT_EQ(Get(&ITimelinePane::get_ViewStartDate), D(2005, 6, 15));
    EXPECT_EQ(Get(&ITimelinePane::get_ViewEndDate), D(2005, 6, 21));
    // Two weeks show, as today is not a Monday; seven days, end marker
    // included, valued by day of week.
    EXPECT_EQ(PeriodXs().size(), 3u);
    std::vector<LONG> days;
    for (const auto& [x, value] : SubperiodCells()) days.push_back(value);
    EXPECT_EQ(days, (std::vector<LONG>{3, 4, 5, 6, 7, 1, 2, 3}));
    // The printing lists stay empty until printing fills them.
    EXPECT_TRUE(PeriodXs(true).empty());
    EXPECT_TRUE(SubperiodCells(true).empty());
    EXPECT_EQ(pane->PreparePrinting(nullptr), E_POINTER);
    EXPECT_EQ(pane->Print(nullptr, 0, 0, 10, 10), E_POINTER);

    // One object: every interface leads back to the same identity.
    auto periods = Query<ITimelinePeriodCells>();
    ComPtr<IUnknown> a, b;
    ASSERT_EQ(periods->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(a.ReleaseAndGetAddressOf())), S_OK);
    ASSERT_EQ(pane->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(b.ReleaseAndGetAddressOf())), S_OK);
    EXPECT_EQ(a.Get(), b.Get());
    ComPtr<ITimelinePane> back;
    EXPECT_EQ(periods->QueryInterface(ITimelinePane::iid, reinterpret_cast<void**>(back.ReleaseAndGetAddressOf())), S_OK);
    EXPECT_EQ(back.Get(), pane.Get());
}

TEST_F(TimelinePaneTest, RegistrationAndClassObject)
{
    CLSID clsid{};
    ASSERT_EQ(qmx::CLSIDFromProgID(kTimelinePaneProgId, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_QMXTimelinePane);
    const auto getClassObject = LibraryEntry<qmx::GetClassObjectFn>(qmx::kGetClassObjectSymbol);
    ASSERT_NE(getClassObject, nullptr);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(&ITimelinePane::iid, &IID_IUnknown, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);

    const auto unregisterServer = LibraryEntry<qmx::RegisterServerFn>(qmx::kUnregisterServerSymbol);
    ASSERT_EQ(unregisterServer(), S_OK);
    EXPECT_NE(qmx::CLSIDFromProgID(kTimelinePaneVersionIndependentProgId, &clsid), S_OK);
    ASSERT_EQ(LibraryEntry<qmx::RegisterServerFn>(qmx::kRegisterServerSymbol)(), S_OK);
    EXPECT_EQ(qmx::CLSIDFromProgID(kTimelinePaneVersionIndependentProgId, &clsid), S_OK);
}

TEST_F(TimelinePaneTest, NullOutPointers)
{
    const std::vector<std::function<HRESULT()>> calls = {
        [&] { return pane->get_PeriodType(nullptr); },
        [&] { return pane->get_PeriodCount(nullptr); },
        [&] { return pane->get_StartDate(nullptr); },
        [&] { return pane->get_ViewStartDate(nullptr); },
        [&] { return pane->get_ViewEndDate(nullptr); },
        [&] { return pane->get_SubperiodType(nullptr); },
        [&] { return Query<ITimelinePeriodCells>()->Next(nullptr); },
        [&] {
            LONG x = 0;
            return Query<ITimelineSubperiodCells>()->Next(&x, nullptr);
        },
        [&] { return Query<IWidgetControl>()->GetControlWindow(nullptr); },
        [&] {
            DWORD c = 0;
            return Query<ITimelinePaneEventSource>()->Advise(nullptr, &c);
        },
    };
    for (std::size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i](), E_POINTER) << i;
}

TEST_F(TimelinePaneTest, PutsValidateAndOnlyTheStartRaisesTheEvent)
{
    const double nan = std::nan("");
    const struct {
        const char* what;
        std::function<HRESULT()> put;
        HRESULT expected;
    } refused[] = {
        {"type 3", [&] { return pane->put_PeriodType(static_cast<QMXTimelinePeriodType>(3)); }, E_INVALIDARG},
        {"type -1", [&] { return pane->put_PeriodType(static_cast<QMXTimelinePeriodType>(-1)); }, E_INVALIDARG},
        {"count 0", [&] { return pane->put_PeriodCount(0); }, E_INVALIDARG},
        {"count -2", [&] { return pane->put_PeriodCount(-2); }, E_INVALIDARG},
        {"count beyond the calendar", [&] { return pane->put_PeriodCount(std::numeric_limits<LONG>::max()); }, E_INVALIDARG},
        {"start NaN", [&] { return pane->put_StartDate(nan); }, E_INVALIDARG},
        {"start in the year 10000", [&] { return pane->put_StartDate(D(9999, 12, 31) + 1); }, E_INVALIDARG},
        {"start equal", [&] { return pane->put_StartDate(D(2005, 6, 15)); }, S_OK},
        {"type equal", [&] { return pane->put_PeriodType(ptWeek); }, S_OK},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(r.put(), r.expected) << r.what;
        EXPECT_EQ(Get(&ITimelinePane::get_StartDate), D(2005, 6, 15)) << r.what;
        EXPECT_EQ(Get(&ITimelinePane::get_ViewEndDate), D(2005, 6, 21)) << r.what;
    }
    EXPECT_EQ(sink->count, 0);

    EXPECT_EQ(pane->put_PeriodType(ptMonth), S_OK);
    EXPECT_EQ(Get(&ITimelinePane::get_ViewEndDate), D(2005, 7, 14));
    EXPECT_EQ(pane->put_PeriodCount(3), S_OK);
    QMXTimelineSubperiodType subType = stDay;
    pane->get_SubperiodType(&subType);
    EXPECT_EQ(subType, stWeek);
    EXPECT_EQ(sink->count, 0);

    // The start keeps its time of day; the event sees the finished layout.
    DATE seenViewStart = 0;
    sink->onEvent = [&] { pane->get_ViewStartDate(&seenViewStart); };
    const DATE start = D(2005, 1, 31) + 0.75;
    EXPECT_EQ(pane->put_StartDate(start), S_OK);
    EXPECT_EQ(sink->count, 1);
    EXPECT_EQ(seenViewStart, D(2005, 1, 31));
    EXPECT_EQ(Get(&ITimelinePane::get_StartDate), start);
}

TEST_F(TimelinePaneTest, ChangeStartPeriodClampsTheDayAndRaisesTheEventTwice)
{
    ASSERT_EQ(pane->put_PeriodType(ptMonth), S_OK);
    ASSERT_EQ(pane->put_StartDate(D(2005, 1, 31)), S_OK);
    sink->count = 0;
    EXPECT_EQ(pane->ChangeStartPeriod(1), S_OK);
    EXPECT_EQ(Get(&ITimelinePane::get_StartDate), D(2005, 2, 28));
    EXPECT_EQ(sink->count, 2);

    // A move that lands on the same start still raises the extra event.
    sink->count = 0;
    EXPECT_EQ(pane->ChangeStartPeriod(0), S_OK);
    EXPECT_EQ(sink->count, 1);

    // Off the calendar: refused, nothing raised.
    sink->count = 0;
    EXPECT_EQ(pane->ChangeStartPeriod(-30000), E_INVALIDARG);
    EXPECT_EQ(Get(&ITimelinePane::get_StartDate), D(2005, 2, 28));
    EXPECT_EQ(sink->count, 0);
}

TEST_F(TimelinePaneTest, ChangeStartSubperiodBackToMonday)
{
    ASSERT_EQ(pane->put_PeriodType(ptMonth), S_OK);
    ASSERT_EQ(pane->put_PeriodCount(3), S_OK);
    sink->count = 0;
    EXPECT_EQ(pane->ChangeStartSubperiod(0), S_OK);  // leaves the Wednesday start
    EXPECT_EQ(sink->count, 0);
    EXPECT_EQ(pane->ChangeStartSubperiod(-1), S_OK);
    EXPECT_EQ(Get(&ITimelinePane::get_StartDate), D(2005, 6, 13));
    EXPECT_EQ(pane->ChangeStartSubperiod(2), S_OK);
    EXPECT_EQ(Get(&ITimelinePane::get_StartDate), D(2005, 6, 27));
    EXPECT_EQ(sink->count, 2);
}

TEST_F(TimelinePaneTest, WindowLaysOutOnCreationAndOnNonEmptyResizes)
{
    QWidget* window = CreateWindow(nullptr, 700, 40);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->testAttribute(Qt::WA_OpaquePaintEvent));
    QWidget* again = nullptr;
    EXPECT_EQ(Query<IWidgetControl>()->CreateControlWindow(nullptr, &again), S_OK);
    EXPECT_EQ(again, window);
    window->show();
    EXPECT_EQ(SubperiodXs(), (std::vector<LONG>{0, 100, 200, 300, 400, 500, 600, 700}));
    EXPECT_EQ(PeriodXs(), (std::vector<LONG>{-199, 500, 1200}));

    window->resize(350, 0);  // an empty size is ignored
    EXPECT_EQ(SubperiodXs().back(), 700);
    window->resize(350, 40);
    EXPECT_EQ(SubperiodXs(), (std::vector<LONG>{0, 50, 100, 150, 200, 250, 300, 350}));
    // A hidden window follows its size as well.
    window->hide();
    window->resize(140, 40);
    EXPECT_EQ(SubperiodXs().back(), 140);
}

void SendWheel(QWidget* window, int delta)
{
    QWheelEvent event(QPointF(10, 10), window->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window, &event);
}

TEST_F(TimelinePaneTest, WheelMovesBySubperiodsTowardTheUserLater)
{
    QWidget* window = CreateWindow(nullptr, 700, 40);
    const struct {
        int delta;
        DATE start;
    } rows[] = {
        {-120, D(2005, 6, 16)},  // toward the user: one day later
        {240, D(2005, 6, 14)},   // away: two days earlier
        {119, D(2005, 6, 14)},   // less than a notch: nothing
        {-359, D(2005, 6, 16)},  // -2.99 notches truncate to -2
    };
    for (const auto& r : rows) {
        SendWheel(window, r.delta);
        EXPECT_EQ(Get(&ITimelinePane::get_StartDate), r.start) << r.delta;
    }
}

TEST_F(TimelinePaneTest, LeftClickTakesTheFocus)
{
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    auto* edit = new QLineEdit(&host);
    layout->addWidget(edit);
    QWidget* window = CreateWindow(&host, 700, 40);
    layout->addWidget(window);
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    QTest::mouseClick(window, Qt::RightButton);
    EXPECT_TRUE(edit->hasFocus());
    QTest::mouseClick(window, Qt::LeftButton);
    EXPECT_TRUE(window->hasFocus());
}

TEST_F(TimelinePaneTest, WindowAndControlMayEndInEitherOrder)
{
    {
        auto* parent = new QWidget;
        CreateWindow(parent, 100, 40);
        delete parent;  // the parent takes the window along
        QWidget* window = reinterpret_cast<QWidget*>(1);
        EXPECT_EQ(Query<IWidgetControl>()->GetControlWindow(&window), S_FALSE);
        EXPECT_EQ(window, nullptr);
        EXPECT_EQ(pane->put_StartDate(D(2005, 7, 1)), S_OK);
    }
    QPointer<QWidget> window = CreateWindow(nullptr, 100, 40);
    ASSERT_TRUE(window);
    Query<ITimelinePaneEventSource>()->Unadvise(cookie);
    pane.Reset();  // the last release deletes the window
    EXPECT_TRUE(window.isNull());
}

TEST_F(TimelinePaneTest, SinkMayReleaseThePaneInsideTheWheelHandler)
{
    QPointer<QWidget> window = CreateWindow(nullptr, 100, 40);
    // Only the sink keeps the pane now; it lets go while handling the event
    // that the wheel raised inside the window's own handler.
    ComPtr<ITimelinePane> held = pane;
    pane.Reset();
    sink->onEvent = [&] {
        ComPtr<ITimelinePaneEventSource> source;
        held->QueryInterface(ITimelinePaneEventSource::iid, reinterpret_cast<void**>(source.ReleaseAndGetAddressOf()));
        source->Unadvise(cookie);
        source.Reset();
        held.Reset();
    };
    SendWheel(window, -120);
    EXPECT_EQ(sink->count, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

// ---------------------------------------------------------------- picture

QString PicturePath(const char* name)
{
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    return QString::fromUtf8(dir ? dir : ".") + u'/' + QString::fromUtf8(name);
}

QImage Render(QWidget* window, const char* name)
{
    QImage image(window->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);  // shows anything the pane leaves unpainted
    window->render(&image);
    image.save(PicturePath(name));
    return image;
}

// The first column in [from, to) with a pixel other than the background in
// rows [top, bottom), or -1.
int FirstInkColumn(const QImage& image, QRgb background, int from, int to, int top, int bottom)
{
    for (int x = from; x < to; ++x)
        for (int y = top; y < bottom; ++y)
            if (image.pixel(x, y) != background) return x;
    return -1;
}

TEST_F(TimelinePaneTest, PictureFollowsTheDrawingRules)
{
    QWidget* window = CreateWindow(nullptr, 700, 40);
    window->show();
    const QImage image = Render(window, "timeline_week.png");
    const QPalette& palette = window->palette();
    const QRgb line = palette.color(QPalette::Dark).rgb();
    const QRgb background = palette.color(QPalette::Button).rgb();
    ASSERT_NE(line, background);

    for (int x = 0; x < 700; ++x) {
        for (int y = 0; y < 40; ++y) ASSERT_NE(image.pixel(x, y), QColor(Qt::magenta).rgb()) << x << "," << y;
        // Upper row 0..19 ends in its line at 19, the lower row 20..39 at 39.
        EXPECT_EQ(image.pixel(x, 19), line) << x;
        EXPECT_EQ(image.pixel(x, 39), line) << x;
    }
    // Day lines every 100 pixels through the lower row; no line between.
    for (int k = 0; k < 7; ++k) {
        for (int y = 20; y < 39; ++y) EXPECT_EQ(image.pixel(100 * k, y), line) << k << "," << y;
        EXPECT_EQ(image.pixel(100 * k + 99, 21), background) << k;
    }
    // The one visible week line, at Monday 20 June: x = 500.
    for (int y = 0; y < 19; ++y) EXPECT_EQ(image.pixel(500, y), line) << y;
    // Week 25 began at -199: its label, 2 pixels further, lies left of the
    // pane and is clipped away; nothing but background up to the line.
    EXPECT_EQ(FirstInkColumn(image, background, 0, 500, 0, 19), -1);
    // Labels start 2 pixels after their line (the glyph's own bearing may
    // add a pixel) and stay inside their cells.
    const int weekLabel = FirstInkColumn(image, background, 501, 700, 0, 19);
    EXPECT_GE(weekLabel, 502);
    EXPECT_LE(weekLabel, 504);
    for (int k = 0; k < 7; ++k) {
        const int dayLabel = FirstInkColumn(image, background, 100 * k + 1, 100 * k + 100, 20, 39);
        EXPECT_GE(dayLabel, 100 * k + 2) << k;
        EXPECT_LE(dayLabel, 100 * k + 4) << k;
    }
}

TEST_F(TimelinePaneTest, PictureShowsTheTailOfAnEarlierPeriod)
{
    ASSERT_EQ(pane->put_StartDate(D(2005, 6, 14)), S_OK);  // a Tuesday: week 25 began at -99
    QWidget* window = CreateWindow(nullptr, 700, 40);
    window->show();
    const QImage image = Render(window, "timeline_week_tail.png");
    const QRgb background = window->palette().color(QPalette::Button).rgb();
    EXPECT_GE(FirstInkColumn(image, background, 0, 30, 0, 19), 0);
}

TEST_F(TimelinePaneTest, PicturesOfTheOtherScalesAndShortLabels)
{
    // Saved for a look; each must at least paint its rows' lines.
    QWidget* window = CreateWindow(nullptr, 700, 40);
    window->show();
    const struct {
        QMXTimelinePeriodType type;
        LONG count;
        DATE start;
        int width;
        const char* name;
    } rows[] = {
        {ptWeek, 2, D(2005, 6, 13), 360, "timeline_two_weeks_narrow.png"},
        {ptWeek, 2, D(2005, 6, 13), 700, "timeline_two_weeks_wide.png"},
        {ptMonth, 1, D(2005, 1, 31), 700, "timeline_month.png"},
        {ptMonth, 3, D(2005, 6, 15), 700, "timeline_three_months.png"},
        {ptYear, 1, D(2005, 3, 20), 700, "timeline_year.png"},
        {ptYear, 1, D(2005, 3, 20), 200, "timeline_year_narrow.png"},
    };
    for (const auto& r : rows) {
        ASSERT_EQ(pane->put_PeriodType(r.type), S_OK);
        ASSERT_EQ(pane->put_PeriodCount(r.count), S_OK);
        ASSERT_EQ(pane->put_StartDate(r.start), S_OK);
        window->resize(r.width, 40);
        const QImage image = Render(window, r.name);
        const QRgb line = window->palette().color(QPalette::Dark).rgb();
        EXPECT_EQ(image.pixel(r.width / 2, 19), line) << r.name;
        EXPECT_EQ(image.pixel(r.width / 2, 39), line) << r.name;
    }
}

TEST_F(TimelinePaneTest, TheLongestViewsShowNoCellsAtAnyWidth)
{
    QWidget* window = CreateWindow(nullptr, 1000, 40);
    window->show();
    ASSERT_EQ(pane->put_StartDate(D(100, 1, 1)), S_OK);
    const struct {
        QMXTimelinePeriodType type;
        LONG count;
    } views[] = {{ptWeek, 516557}, {ptMonth, 118800}, {ptYear, 9900}};
    for (const auto& v : views) {
        ASSERT_EQ(pane->put_PeriodCount(1), S_OK);
        ASSERT_EQ(pane->put_PeriodType(v.type), S_OK);
        ASSERT_EQ(pane->put_PeriodCount(v.count), S_OK);
        EXPECT_GT(Get(&ITimelinePane::get_ViewEndDate), D(9999, 12, 24)) << v.type;  // the calendar's last week
        for (int width : {1000, 5000, 3, 700}) {
            SCOPED_TRACE(testing::Message() << v.type << " w" << width);
            window->resize(width, 40);
            // Only the end markers: far more cells than pixels.
            EXPECT_EQ(PeriodXs().size(), 1u);
            EXPECT_EQ(SubperiodXs(), std::vector<LONG>{width});
        }
        const QImage image = Render(window, (std::string("timeline_whole_calendar_") + char('0' + v.type) + ".png").c_str());
        const QRgb line = window->palette().color(QPalette::Dark).rgb();
        EXPECT_EQ(image.pixel(350, 19), line);
        EXPECT_EQ(image.pixel(350, 39), line);
    }
}

}  // namespace
