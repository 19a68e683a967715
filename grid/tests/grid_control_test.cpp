// The grid as its host sees it: created by ProgID from the built library,
// driven through ISimpleGridControl, its window's keyboard, mouse, wheel,
// scroll bar and context-menu requests, and its persisted properties.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include <QApplication>
#include <QContextMenuEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "automation/runtime/activation.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"
#include "automation/runtime/widget_control.h"
#include "grid/grid_persistence.h"
#include "grid/tests/grid_test_support.h"

namespace qmx::testing {
namespace {

class GridControlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureApplication();
        ASSERT_EQ(RegisterGridLibrary(), S_OK);
    }
};

// A grid whose page holds exactly five whole rows and a half one.
int FivePageHeight() { return 2 + ExpectedRowHeight() * 6 + ExpectedRowHeight() / 2; }

TEST_F(GridControlTest, RegisteredUnderBothProgIdsAsAControl)
{
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kSimpleGridProgId, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_QMXSimpleGridControl);
    ASSERT_EQ(CLSIDFromProgID(kSimpleGridVersionIndependentProgId, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_QMXSimpleGridControl);

    RegistryStore store;
    const std::string key = ClsidKey(CLSID_QMXSimpleGridControl);
    EXPECT_EQ(store.GetString(key), std::optional<std::string>(kSimpleGridDescription));
    EXPECT_EQ(store.GetString(key + "/InprocServer32", "ThreadingModel"), std::optional<std::string>("Apartment"));
    for (const char* mark : {"/Control", "/Insertable", "/Programmable"}) EXPECT_TRUE(store.KeyExists(key + mark)) << mark;
    EXPECT_EQ(store.GetString(key + "/TypeLib"), std::optional<std::string>("{6F3CC07B-1951-47AC-ABEA-1A09320AC2D2}"));
    const std::optional<std::string> bitmap = store.GetString(key + "/ToolboxBitmap32");
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(bitmap->ends_with("libQMXSimpleGrid.so, 102")) << *bitmap;

    ComPtr<ISimpleGridControl> grid;
    ASSERT_EQ(CreateInstance(kSimpleGridProgId, &grid), S_OK);
    ComPtr<IWidgetControl> control;
    EXPECT_EQ(grid.As(&control), S_OK);
    ComPtr<IPersistGridProperties> persist;
    EXPECT_EQ(grid.As(&persist), S_OK);
}

TEST_F(GridControlTest, InitialStateAndArgumentChecks)
{
    ComPtr<ISimpleGridControl> grid;
    ASSERT_EQ(CreateInstance(kSimpleGridVersionIndependentProgId, &grid), S_OK);
    VARIANT_BOOL flag = 0;
    LONG n = 5;
    BSTR text;
    EXPECT_EQ(grid->get_Border(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);
    EXPECT_EQ(grid->get_Editable(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_FALSE);
    EXPECT_EQ(grid->get_ColCount(&n), S_OK);
    EXPECT_EQ(n, 0);
    // No rows: nothing selected, answered with S_FALSE.
    EXPECT_EQ(grid->get_SelectedRow(&n), S_FALSE);
    EXPECT_EQ(n, -1);

    ASSERT_EQ(grid->put_ColCount(2), S_OK);
    ASSERT_EQ(grid->InsertRow(0), S_OK);
    struct Row {
        const char* what;
        HRESULT got, expected;
    };
    const Row rows[] = {
        {"Border null", grid->get_Border(nullptr), E_POINTER},
        {"ColCount null", grid->get_ColCount(nullptr), E_POINTER},
        {"ColWidths null", grid->get_ColWidths(0, nullptr), E_POINTER},
        {"ColHeaders null", grid->get_ColHeaders(0, nullptr), E_POINTER},
        {"RowCount null", grid->get_RowCount(nullptr), E_POINTER},
        {"CellText null", grid->get_CellText(0, 0, nullptr), E_POINTER},
        {"CellData null", grid->get_CellData(0, 0, nullptr), E_POINTER},
        {"TopRow null", grid->get_TopRow(nullptr), E_POINTER},
        {"SelectedRow null", grid->get_SelectedRow(nullptr), E_POINTER},
        {"SelectedCol null", grid->get_SelectedCol(nullptr), E_POINTER},
        {"Editable null", grid->get_Editable(nullptr), E_POINTER},
        {"ColCount -1", grid->put_ColCount(-1), E_INVALIDARG},
        {"ColWidths get 2", grid->get_ColWidths(2, &n), E_INVALIDARG},
        {"ColWidths get -1", grid->get_ColWidths(-1, &n), E_INVALIDARG},
        {"ColWidths put 0", grid->put_ColWidths(0, 0), E_INVALIDARG},
        {"ColWidths put -5", grid->put_ColWidths(1, -5), E_INVALIDARG},
        {"ColWidths put col 2", grid->put_ColWidths(2, 10), E_INVALIDARG},
        {"ColHeaders put 2", grid->put_ColHeaders(2, Text("x")), E_INVALIDARG},
        {"CellText get row 1", grid->get_CellText(1, 0, &text), E_INVALIDARG},
        {"CellText put col 2", grid->put_CellText(0, 2, Text("x")), E_INVALIDARG},
        {"CellData put row -1", grid->put_CellData(-1, 0, 3), E_INVALIDARG},
        {"CellData get col -1", grid->get_CellData(0, -1, &n), E_INVALIDARG},
        {"SelectedCol 2", grid->put_SelectedCol(2), E_INVALIDARG},
        {"SelectedCol -1", grid->put_SelectedCol(-1), E_INVALIDARG},
        {"DeleteRow 1", grid->DeleteRow(1), E_INVALIDARG},
        {"DeleteRow -1", grid->DeleteRow(-1), E_INVALIDARG},
        {"OpenEditor without selection", grid->OpenEditor(), E_FAIL},
        {"CloseEditor with none open", grid->CloseEditor(VARIANT_TRUE), S_OK},
    };
    for (const Row& r : rows) EXPECT_EQ(r.got, r.expected) << r.what;
    // The refused puts changed nothing.
    EXPECT_EQ(grid->get_ColWidths(0, &n), S_OK);
    EXPECT_EQ(n, 40);
    EXPECT_EQ(grid->get_RowCount(&n), S_OK);
    EXPECT_EQ(n, 1);
    // A selected row outside the rows means none.
    EXPECT_EQ(grid->put_SelectedRow(0), S_OK);
    EXPECT_EQ(grid->put_SelectedRow(7), S_OK);
    EXPECT_EQ(grid->get_SelectedRow(&n), S_FALSE);
    EXPECT_EQ(n, -1);
}

TEST_F(GridControlTest, ColCountAndRowsMoveTheSelection)
{
    GridFixture f;
    f.Fill(4, 3);
    // New cells are empty and hold 0.
    LONG data = -1;
    ASSERT_EQ(f.grid->put_CellData(1, 2, 9), S_OK);
    ASSERT_EQ(f.grid->put_ColCount(5), S_OK);
    EXPECT_EQ(f.grid->get_CellData(1, 4, &data), S_OK);
    EXPECT_EQ(data, 0);
    EXPECT_EQ(f.CellText(1, 4), "");
    EXPECT_EQ(f.CellText(1, 2), "r1c2");
    LONG width = 0;
    f.grid->get_ColWidths(4, &width);
    EXPECT_EQ(width, 40);

    // Shrinking below the selected column selects the new last column.
    f.grid->put_SelectedRow(1);
    f.grid->put_SelectedCol(4);
    ASSERT_EQ(f.grid->put_ColCount(2), S_OK);
    EXPECT_EQ(f.SelectedCol(), 1);
    ASSERT_EQ(f.grid->put_ColCount(0), S_OK);
    EXPECT_EQ(f.SelectedCol(), 0);
    ASSERT_EQ(f.grid->put_ColCount(3), S_OK);
    EXPECT_EQ(f.CellText(0, 0), "");

    struct Row {
        const char* what;
        LONG rows, selected;
        bool insert;
        LONG index;
        LONG expectedSelected, expectedRows;
    };
    const Row rows[] = {
        {"insert above the selection", 4, 2, true, 1, 3, 5},
        {"insert at the selection", 4, 2, true, 2, 3, 5},
        {"insert below it", 4, 2, true, 3, 2, 5},
        {"insert past the end appends", 4, 2, true, 99, 2, 5},
        {"insert at -1 appends", 4, 3, true, -1, 3, 5},
        {"delete above the selection", 4, 2, false, 0, 1, 3},
        {"delete below it", 4, 2, false, 3, 2, 3},
        {"delete the selected row", 4, 1, false, 1, 1, 3},
        {"delete the selected last row", 4, 3, false, 3, 2, 3},
        {"delete the only row", 1, 0, false, 0, -1, 0},
    };
    for (const Row& r : rows) {
        GridFixture g;
        g.Fill(r.rows, 2);
        g.grid->put_SelectedRow(r.selected);
        ASSERT_EQ(r.insert ? g.grid->InsertRow(r.index) : g.grid->DeleteRow(r.index), S_OK) << r.what;
        EXPECT_EQ(g.Selected(), r.expectedSelected) << r.what;
        LONG count = 0;
        g.grid->get_RowCount(&count);
        EXPECT_EQ(count, r.expectedRows) << r.what;
    }

    GridFixture g;
    g.Fill(3, 2);
    g.grid->InsertRow(99);
    EXPECT_EQ(g.CellText(3, 1), "");
    EXPECT_EQ(g.CellText(2, 1), "r2c1");
    g.grid->put_SelectedRow(1);
    ASSERT_EQ(g.grid->DeleteAllRows(), S_OK);
    EXPECT_EQ(g.Selected(), -1);
    EXPECT_EQ(g.Top(), 0);
}

TEST_F(GridControlTest, TopRowAndScrollBar)
{
    GridFixture f(200, FivePageHeight());
    f.Fill(20, 2);
    auto* bar = f.window->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum(), 15);  // 20 rows, 5 on the page
    EXPECT_EQ(bar->pageStep(), 5);

    struct Row {
        LONG put, expected;
    };
    for (const Row& r : {Row{3, 3}, Row{100, 15}, Row{-4, 0}, Row{15, 15}}) {
        EXPECT_EQ(f.grid->put_TopRow(r.put), S_OK);
        EXPECT_EQ(f.Top(), r.expected) << r.put;
        EXPECT_EQ(bar->value(), r.expected) << r.put;
    }

    // Scroll-bar requests go through TopRow.
    f.grid->put_TopRow(4);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(f.Top(), 5);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(f.Top(), 4);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(f.Top(), 9);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(f.Top(), 15);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(f.Top(), 10);
    // Dragging the thumb follows the tracked position.
    bar->setSliderDown(true);
    bar->setSliderPosition(7);
    EXPECT_EQ(f.Top(), 7);
    bar->setSliderDown(false);
    EXPECT_EQ(f.Top(), 7);

    // Fewer rows: TopRow comes down with the range; none to scroll hides
    // the bar.
    for (int i = 0; i < 8; ++i) f.grid->DeleteRow(0);
    EXPECT_EQ(f.Top(), 7);
    EXPECT_EQ(bar->maximum(), 7);
    f.grid->DeleteRow(0);
    EXPECT_EQ(f.Top(), 6);
    while (true) {
        LONG count = 0;
        f.grid->get_RowCount(&count);
        if (count <= 5) break;
        f.grid->DeleteRow(0);
    }
    EXPECT_EQ(f.Top(), 0);
    EXPECT_FALSE(bar->isVisible());
}

TEST_F(GridControlTest, WheelScrollsOneRowPerNotch)
{
    GridFixture f(200, FivePageHeight());
    f.Fill(20, 2);
    const auto turn = [&](int delta) {
        const QPointF at(20, 40);
        QWheelEvent event(at, f.window->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.window, &event);
        return f.Top();
    };
    EXPECT_EQ(turn(-240), 2);  // downwards for a negative turn
    EXPECT_EQ(turn(120), 1);
    EXPECT_EQ(turn(60), 1);    // half a notch waits for the other half
    EXPECT_EQ(turn(60), 0);
    EXPECT_EQ(turn(120), 0);
    EXPECT_EQ(turn(-120 * 40), 15);
}

TEST_F(GridControlTest, KeyboardTable)
{
    struct Row {
        const char* what;
        LONG row, col, top;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        LONG expectedRow, expectedCol, expectedTop;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    // 20 rows, 3 columns, 5 rows on a page.
    const Row rows[] = {
        {"Down with nothing selected", -1, 0, 0, Qt::Key_Down, none, 0, 0, 0},
        {"Up with nothing selected", -1, 0, 0, Qt::Key_Up, none, -1, 0, 0},
        {"Up on the first row", 0, 0, 0, Qt::Key_Up, none, 0, 0, 0},
        {"Up", 3, 1, 0, Qt::Key_Up, none, 2, 1, 0},
        {"Up above the page scrolls", 6, 0, 6, Qt::Key_Up, none, 5, 0, 5},
        {"Down", 2, 0, 0, Qt::Key_Down, none, 3, 0, 0},
        {"Down below the page scrolls", 4, 0, 0, Qt::Key_Down, none, 5, 0, 1},
        {"Down on the last row", 19, 0, 15, Qt::Key_Down, none, 19, 0, 15},
        {"Ctrl+Down scrolls only", 2, 0, 3, Qt::Key_Down, ctrl, 2, 0, 4},
        {"Ctrl+Up scrolls only", 2, 0, 3, Qt::Key_Up, ctrl, 2, 0, 2},
        {"Ctrl+Up at the top", 2, 0, 0, Qt::Key_Up, ctrl, 2, 0, 0},
        {"Ctrl+Down at the bottom", 2, 0, 15, Qt::Key_Down, ctrl, 2, 0, 15},
        {"Right", 1, 0, 0, Qt::Key_Right, none, 1, 1, 0},
        {"Right on the last column", 1, 2, 0, Qt::Key_Right, none, 1, 2, 0},
        {"Left", 1, 2, 0, Qt::Key_Left, none, 1, 1, 0},
        {"Left on the first column", 1, 0, 0, Qt::Key_Left, none, 1, 0, 0},
        {"Left brings the row back", 10, 1, 0, Qt::Key_Left, none, 10, 0, 6},
        {"Page Up", 12, 0, 10, Qt::Key_PageUp, none, 7, 0, 7},
        {"Page Up near the top", 3, 0, 0, Qt::Key_PageUp, none, 0, 0, 0},
        {"Page Up with nothing selected", -1, 0, 4, Qt::Key_PageUp, none, 0, 0, 0},
        {"Page Down", 3, 0, 0, Qt::Key_PageDown, none, 8, 0, 4},
        {"Page Down near the end", 17, 0, 15, Qt::Key_PageDown, none, 19, 0, 15},
        {"Home", 4, 2, 0, Qt::Key_Home, none, 4, 0, 0},
        {"Ctrl+Home", 12, 2, 10, Qt::Key_Home, ctrl, 0, 0, 0},
        {"End", 4, 0, 0, Qt::Key_End, none, 4, 2, 0},
        {"Ctrl+End", 0, 0, 0, Qt::Key_End, ctrl, 19, 2, 15},
        {"F2 on a read-only grid", 3, 1, 0, Qt::Key_F2, none, 3, 1, 0},
    };
    for (const Row& r : rows) {
        GridFixture f(200, FivePageHeight());
        f.Fill(20, 3);
        f.grid->put_SelectedRow(r.row);
        f.grid->put_SelectedCol(r.col);
        f.grid->put_TopRow(r.top);
        f.window->setFocus();
        QTest::keyClick(f.window, r.key, r.modifiers);
        EXPECT_EQ(f.Selected(), r.expectedRow) << r.what;
        EXPECT_EQ(f.SelectedCol(), r.expectedCol) << r.what;
        EXPECT_EQ(f.Top(), r.expectedTop) << r.what;
        EXPECT_TRUE(f.sink->log.empty()) << r.what;  // nothing asks for an editor
    }

    // With no rows, Page Up and Down select nothing.
    GridFixture empty;
    empty.grid->put_ColCount(2);
    empty.window->setFocus();
    for (Qt::Key key : {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Down, Qt::Key_End}) {
        QTest::keyClick(empty.window, key, key == Qt::Key_End ? ctrl : none);
        EXPECT_EQ(empty.Selected(), -1) << key;
    }
}

TEST_F(GridControlTest, MouseSelectsAndTheColumnBoundaryBelongsToItsColumn)
{
    GridFixture f(300, FivePageHeight());
    f.Fill(20, 3);
    const LONG r = f.RowHeight();
    // The window has its one-pixel edge: client x = window x - 1.
    struct Row {
        const char* what;
        Qt::MouseButton button;
        QPoint at;
        LONG expectedRow, expectedCol;
    };
    const Row rows[] = {
        {"first row, first column", Qt::LeftButton, QPoint(1 + 10, 1 + r + 2), 0, 0},
        {"right boundary of column 0", Qt::LeftButton, QPoint(1 + 40, 1 + 2 * r + 2), 1, 0},
        {"one right of it", Qt::LeftButton, QPoint(1 + 41, 1 + 2 * r + 2), 1, 1},
        {"last column", Qt::LeftButton, QPoint(1 + 100, 1 + 3 * r + 2), 2, 2},
        {"right of the columns", Qt::LeftButton, QPoint(1 + 150, 1 + 3 * r + 2), -1, 0},
        {"header", Qt::LeftButton, QPoint(1 + 10, 1 + r - 1), -1, 0},
        {"right button selects", Qt::RightButton, QPoint(1 + 60, 1 + 4 * r + 2), 3, 1},
    };
    for (const Row& row : rows) {
        GridFixture g(300, FivePageHeight());
        g.Fill(20, 3);
        QTest::mouseClick(g.window, row.button, Qt::NoModifier, row.at);
        EXPECT_EQ(g.Selected(), row.expectedRow) << row.what;
        EXPECT_EQ(g.SelectedCol(), row.expectedCol) << row.what;
    }

    // A click on a scrolled grid hits the rows on the screen.
    f.Activate();
    f.grid->put_TopRow(6);
    QTest::mouseClick(f.window, Qt::LeftButton, Qt::NoModifier, f.CellCenter(8, 1));
    EXPECT_EQ(f.Selected(), 8);
    EXPECT_EQ(f.SelectedCol(), 1);
    EXPECT_TRUE(f.window->hasFocus());
}

TEST_F(GridControlTest, DoubleClick)
{
    GridFixture f;
    f.Fill(3, 2);
    DoubleClick(f.window, f.CellCenter(1, 0));
    EXPECT_EQ(f.sink->log, (std::vector<std::string>{"DblClk"}));
    EXPECT_EQ(f.Selected(), 1);

    // Editable: a double click on a cell asks for the selected cell's
    // editor instead.
    f.sink->log.clear();
    f.grid->put_Editable(VARIANT_TRUE);
    DoubleClick(f.window, f.CellCenter(2, 1));
    EXPECT_EQ(f.sink->log, (std::vector<std::string>{"Query 2 1"}));
    // Not on a cell: nothing.
    f.sink->log.clear();
    DoubleClick(f.window, QPoint(250, 100));
    EXPECT_TRUE(f.sink->log.empty());
}

TEST_F(GridControlTest, AHostMayLetTheGridGoFromInsideAnEvent)
{
    GridFixture f;
    f.Fill(3, 2);
    QPointer<QWidget> window = f.window;
    f.sink->onDblClk = [&] {
        f.Query<ISimpleGridControlEventSource>()->Unadvise(f.cookie);
        f.grid.Reset();  // the last reference, while the window's handler runs
    };
    DoubleClick(f.window, f.CellCenter(1, 0));
    EXPECT_FALSE(f.grid);
    // The window goes once its handler has returned.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(GridControlTest, ContextMenuRequests)
{
    GridFixture f(200, FivePageHeight());
    f.Fill(20, 2);
    const LONG r = f.RowHeight();
    const auto request = [&](QContextMenuEvent::Reason reason, QPoint global) {
        f.sink->log.clear();
        QContextMenuEvent event(reason, f.window->mapFromGlobal(global), global);
        QApplication::sendEvent(f.window, &event);
        return f.sink->log.size() == 1 ? f.sink->lastContextMenu : QPoint(-9999, -9999);
    };
    const QPoint none(-9999, -9999);

    // From the keyboard with nothing selected: the client's top-left corner.
    EXPECT_EQ(request(QContextMenuEvent::Keyboard, QPoint(-1, -1)), f.window->mapToGlobal(QPoint(1, 1)));
    // With a selection: the bottom-left corner of the selected cell.
    f.grid->put_SelectedRow(2);
    f.grid->put_SelectedCol(1);
    EXPECT_EQ(request(QContextMenuEvent::Keyboard, QPoint(-1, -1)), f.window->mapToGlobal(QPoint(1 + 40, 1 + 4 * r)));
    // Scrolled out: nothing.
    f.grid->put_TopRow(5);
    EXPECT_EQ(request(QContextMenuEvent::Keyboard, QPoint(-1, -1)), none);
    // From the mouse: the request's own point.
    const QPoint mouse = f.window->mapToGlobal(QPoint(30, 50));
    EXPECT_EQ(request(QContextMenuEvent::Mouse, mouse), mouse);
}

// A property bag kept in memory.
class MemoryBag final : public ComObject<IGridPropertyBag> {
public:
    HRESULT Read(const BSTR& bsName, VARIANT* pValue) override
    {
        const auto it = values.find(bsName);
        if (it == values.end()) return E_INVALIDARG;
        *pValue = it->second;
        return S_OK;
    }
    HRESULT Write(const BSTR& bsName, const VARIANT& value) override
    {
        values[bsName] = value;
        return S_OK;
    }
    std::map<BSTR, VARIANT> values;
};

TEST_F(GridControlTest, PersistedProperties)
{
    ComPtr<ISimpleGridControl> grid;
    ASSERT_EQ(CreateInstance(kSimpleGridVersionIndependentProgId, &grid), S_OK);
    ComPtr<IPersistGridProperties> persist;
    ASSERT_EQ(grid.As(&persist), S_OK);
    grid->put_Border(VARIANT_FALSE);
    grid->put_ColCount(3);
    grid->put_Editable(VARIANT_TRUE);
    grid->put_ColWidths(0, 99);  // not persisted
    auto bag = MakeObject<MemoryBag>();
    ASSERT_EQ(persist->Save(bag.Get()), S_OK);
    EXPECT_EQ(bag->values.size(), 3u);
    EXPECT_EQ(bag->values[u"Border"], VARIANT(false));
    EXPECT_EQ(bag->values[u"ColCount"], VARIANT(std::int32_t{3}));
    EXPECT_EQ(bag->values[u"Editable"], VARIANT(true));

    ComPtr<ISimpleGridControl> copy;
    ASSERT_EQ(CreateInstance(kSimpleGridVersionIndependentProgId, &copy), S_OK);
    ComPtr<IPersistGridProperties> copyPersist;
    ASSERT_EQ(copy.As(&copyPersist), S_OK);
    ASSERT_EQ(copyPersist->Load(bag.Get()), S_OK);
    VARIANT_BOOL flag = 0;
    LONG n = 0;
    copy->get_Border(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);
    copy->get_Editable(&flag);
    EXPECT_EQ(flag, VARIANT_TRUE);
    copy->get_ColCount(&n);
    EXPECT_EQ(n, 3);
    copy->get_ColWidths(0, &n);
    EXPECT_EQ(n, 40);

    // A bad value anywhere changes nothing at all; a missing one keeps its
    // value.
    struct Row {
        const char* what;
        std::map<BSTR, VARIANT> values;
        HRESULT expected;
        VARIANT_BOOL border;
        LONG colCount;
    };
    const Row rows[] = {
        {"negative column count", {{u"Border", VARIANT(true)}, {u"ColCount", VARIANT(std::int32_t{-2})}}, E_INVALIDARG,
         VARIANT_FALSE, 3},
        {"column count as words", {{u"Border", VARIANT(true)}, {u"ColCount", VARIANT(BSTR(u"many"))}}, E_INVALIDARG,
         VARIANT_FALSE, 3},
        {"border of no kind", {{u"Border", VARIANT()}, {u"ColCount", VARIANT(std::int32_t{1})}}, E_INVALIDARG,
         VARIANT_FALSE, 3},
        {"only the border, as text", {{u"Border", VARIANT(BSTR(u"true"))}}, S_OK, VARIANT_TRUE, 3},
        {"column count as digits", {{u"ColCount", VARIANT(BSTR(u"5"))}}, S_OK, VARIANT_FALSE, 5},
    };
    for (const Row& r : rows) {
        copy->put_Border(VARIANT_FALSE);
        copy->put_ColCount(3);
        auto input = MakeObject<MemoryBag>();
        input->values = r.values;
        EXPECT_EQ(copyPersist->Load(input.Get()), r.expected) << r.what;
        copy->get_Border(&flag);
        EXPECT_EQ(flag, r.border) << r.what;
        copy->get_ColCount(&n);
        EXPECT_EQ(n, r.colCount) << r.what;
    }
    EXPECT_EQ(copyPersist->Load(nullptr), E_POINTER);
    EXPECT_EQ(copyPersist->InitNew(), S_OK);
    copy->get_ColCount(&n);
    EXPECT_EQ(n, 0);
}

}  // namespace
}  // namespace qmx::testing
