// The editor protocol of the grid with a host answering its events: which
// cells open which editor, the parameters going in and out, the host's
// consent to closing, Enter and Escape, and the editor following its cell
// while the host scrolls and changes rows.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "grid/tests/grid_test_support.h"

namespace qmx::testing {
namespace {

using Log = std::vector<std::string>;

class GridEditorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureApplication();
        ASSERT_EQ(RegisterGridLibrary(), S_OK);
    }

    // An editable grid of 10 rows by 3 columns; column 0 has an edit box,
    // column 1 a drop-down list of three items, column 2 no editor.
    void SetUp() override
    {
        f.Fill(10, 3);
        f.grid->put_Editable(VARIANT_TRUE);
        f.sink->editorFor = [](LONG, LONG col) { return col == 0 ? etEdit : col == 1 ? etCombo : etNone; };
        f.sink->onInitCombo = [](LONG, LONG, ISimpleGridComboParam* param) {
            param->AddItem(10, Text("Alpha"));
            param->AddItem(20, Text("Beta"));
            param->AddItem(30, Text(""));
            return S_OK;
        };
    }

    void Select(LONG row, LONG col)
    {
        f.grid->put_SelectedRow(row);
        f.grid->put_SelectedCol(col);
    }

    QLineEdit* Edit() const { return f.window->findChild<QLineEdit*>(); }
    QComboBox* Combo() const { return f.window->findChild<QComboBox*>(); }

    // The cell's rectangle in window coordinates.
    QRect CellGeometry(LONG row, LONG col) const
    {
        const LONG r = f.RowHeight();
        return QRect(1 + col * 40, 1 + (row - f.Top() + 1) * r, 40, r);
    }

    GridFixture f{300, 2 + ExpectedRowHeight() * 6 + ExpectedRowHeight() / 2};
};

TEST_F(GridEditorTest, AnEditBoxOpensWithTheCellTextAndWritesBackOnEnter)
{
    Select(2, 0);
    f.window->setFocus();
    QTest::keyClick(f.window, Qt::Key_F2);
    EXPECT_EQ(f.sink->log, (Log{"Query 2 0", "InitEdit 2 0"}));
    ASSERT_EQ(f.ShownEditor(), Edit());
    EXPECT_EQ(Edit()->text(), "r2c0");
    EXPECT_EQ(Edit()->geometry(), CellGeometry(2, 0));
    EXPECT_TRUE(Edit()->hasFocus());

    Edit()->clear();
    QTest::keyClicks(Edit(), "new text");
    QTest::keyClick(Edit(), Qt::Key_Return);
    EXPECT_EQ(f.sink->log.back(), "CloseEdit 2 0 save");
    EXPECT_EQ(f.CellText(2, 0), "new text");
    EXPECT_EQ(f.ShownEditor(), nullptr);
    EXPECT_TRUE(f.window->hasFocus());
    // Closed: the selection moves again.
    EXPECT_EQ(f.grid->put_SelectedRow(3), S_OK);
}

TEST_F(GridEditorTest, TheHostDecidesWhichCellsOpen)
{
    Select(2, 2);
    EXPECT_EQ(f.grid->OpenEditor(), S_FALSE);  // etNone: read-only column
    EXPECT_EQ(f.sink->log, (Log{"Query 2 2"}));
    EXPECT_EQ(f.ShownEditor(), nullptr);

    // Values other than etEdit and etCombo are no editor either.
    f.sink->editorFor = [](LONG, LONG) { return static_cast<_CellEditorType>(7); };
    Select(2, 0);
    EXPECT_EQ(f.grid->OpenEditor(), S_FALSE);
    EXPECT_EQ(f.ShownEditor(), nullptr);

    // Without a sink nothing opens.
    f.Query<ISimpleGridControlEventSource>()->Unadvise(f.cookie);
    f.sink->log.clear();
    EXPECT_EQ(f.grid->OpenEditor(), S_FALSE);
    EXPECT_TRUE(f.sink->log.empty());
    EXPECT_EQ(f.ShownEditor(), nullptr);
    EXPECT_EQ(f.grid->put_SelectedRow(4), S_OK);  // nothing open
    f.Query<ISimpleGridControlEventSource>()->Advise(f.sink.Get(), &f.cookie);

    // OpenEditor itself does not look at Editable.
    f.sink->editorFor = [](LONG, LONG) { return etEdit; };
    f.grid->put_Editable(VARIANT_FALSE);
    EXPECT_EQ(f.grid->OpenEditor(), S_OK);
    EXPECT_EQ(f.ShownEditor(), Edit());
}

TEST_F(GridEditorTest, DigitsOnlyAndLengthLimitComeFromTheParameter)
{
    f.sink->onInitEdit = [](LONG, LONG, ISimpleGridEditParam* param) {
        param->put_Text(Text(""));
        param->put_IsNumber(VARIANT_TRUE);
        param->put_MaxLength(3);
        return S_OK;
    };
    VARIANT_BOOL closedIsNumber = 0;
    LONG closedMaxLength = 0;
    f.sink->onCloseEdit = [&](LONG, LONG, bool, ISimpleGridEditParam* param) {
        param->get_IsNumber(&closedIsNumber);
        param->get_MaxLength(&closedMaxLength);
        return true;
    };
    Select(1, 0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    QTest::keyClicks(Edit(), "a1b2c3d4");
    EXPECT_EQ(Edit()->text(), "123");
    QTest::keyClick(Edit(), Qt::Key_Enter);
    EXPECT_EQ(f.CellText(1, 0), "123");
    EXPECT_EQ(closedIsNumber, VARIANT_TRUE);
    EXPECT_EQ(closedMaxLength, 3);

    // The next editor keeps them unless the host changes them; a longer
    // cell text shows whole and is not cut.
    f.sink->onInitEdit = nullptr;
    f.grid->put_CellText(2, 0, Text("12345678"));
    Select(2, 0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    EXPECT_EQ(Edit()->text(), "12345678");
    QTest::keyClicks(Edit(), "x");
    EXPECT_EQ(Edit()->text(), "12345678");
    EXPECT_EQ(f.grid->CloseEditor(VARIANT_TRUE), S_OK);
    EXPECT_EQ(f.CellText(2, 0), "12345678");

    // Back to free text.
    f.sink->onInitEdit = [](LONG, LONG, ISimpleGridEditParam* param) {
        param->put_IsNumber(VARIANT_FALSE);
        param->put_MaxLength(0);
        return S_OK;
    };
    Select(3, 0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    // The cell's text opens selected: typing replaces it.
    QTest::keyClicks(Edit(), "abc12345");
    EXPECT_EQ(Edit()->text(), "abc12345");
}

TEST_F(GridEditorTest, AHostRefusingToCloseKeepsTheEditorOpenWithTheFocus)
{
    f.sink->onCloseEdit = [](LONG, LONG, bool save, ISimpleGridEditParam* param) {
        BSTR text;
        param->get_Text(&text);
        return !save || Utf8(text).find_first_not_of("0123456789") == std::string::npos;
    };
    Select(4, 0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    Edit()->setText("12x");
    EXPECT_EQ(f.grid->CloseEditor(VARIANT_TRUE), S_FALSE);
    EXPECT_EQ(f.ShownEditor(), Edit());
    EXPECT_TRUE(Edit()->hasFocus());
    EXPECT_EQ(f.CellText(4, 0), "r4c0");
    // Refused while open: the selection and the widths.
    EXPECT_EQ(f.grid->put_SelectedRow(1), S_FALSE);
    EXPECT_EQ(f.grid->put_SelectedCol(1), S_FALSE);
    EXPECT_EQ(f.grid->put_ColWidths(0, 80), S_FALSE);
    EXPECT_EQ(f.Selected(), 4);

    // A click elsewhere tries to close, and does nothing more when refused.
    QTest::mouseClick(f.window, Qt::LeftButton, Qt::NoModifier, f.CellCenter(1, 2));
    EXPECT_EQ(f.Selected(), 4);
    EXPECT_EQ(f.ShownEditor(), Edit());
    // Enter too.
    QTest::keyClick(Edit(), Qt::Key_Return);
    EXPECT_EQ(f.ShownEditor(), Edit());

    Edit()->setText("12");
    QTest::mouseClick(f.window, Qt::LeftButton, Qt::NoModifier, f.CellCenter(1, 2));
    EXPECT_EQ(f.ShownEditor(), nullptr);
    EXPECT_EQ(f.CellText(4, 0), "12");
    EXPECT_EQ(f.Selected(), 1);  // the click went on once the editor closed
    EXPECT_EQ(f.SelectedCol(), 2);
}

TEST_F(GridEditorTest, EscapeClosesWithoutWriting)
{
    Select(3, 0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    QTest::keyClicks(Edit(), "changed");
    QTest::keyClick(Edit(), Qt::Key_Escape);
    EXPECT_EQ(f.sink->log.back(), "CloseEdit 3 0 cancel");
    EXPECT_EQ(f.CellText(3, 0), "r3c0");
    EXPECT_EQ(f.ShownEditor(), nullptr);
}

TEST_F(GridEditorTest, ClicksOpenOnlyTheSelectedCell)
{
    Select(1, 0);
    QTest::mouseClick(f.window, Qt::LeftButton, Qt::NoModifier, f.CellCenter(2, 0));
    EXPECT_EQ(f.Selected(), 2);
    EXPECT_TRUE(f.sink->log.empty());  // another cell: only selected
    QTest::mouseClick(f.window, Qt::LeftButton, Qt::NoModifier, f.CellCenter(2, 0));
    EXPECT_EQ(f.sink->log, (Log{"Query 2 0", "InitEdit 2 0"}));
    EXPECT_EQ(f.ShownEditor(), Edit());

    // Not on a read-only grid.
    EXPECT_EQ(f.grid->CloseEditor(VARIANT_FALSE), S_OK);
    f.grid->put_Editable(VARIANT_FALSE);
    f.sink->log.clear();
    QTest::mouseClick(f.window, Qt::LeftButton, Qt::NoModifier, f.CellCenter(2, 0));
    EXPECT_TRUE(f.sink->log.empty());
    // The right button never opens and never closes.
    f.grid->put_Editable(VARIANT_TRUE);
    QTest::mouseClick(f.window, Qt::RightButton, Qt::NoModifier, f.CellCenter(2, 0));
    EXPECT_EQ(f.ShownEditor(), nullptr);
}

TEST_F(GridEditorTest, ComboSelection)
{
    struct Row {
        const char* what;
        LONG selection;
        const char* text;
        int expectedIndex;
        const char* written;
    };
    const Row rows[] = {
        {"by ID", 20, "", 1, "Beta"},
        {"by ID, whatever the text", 10, "Beta", 0, "Alpha"},
        {"an unknown ID selects nothing", 99, "", -1, ""},
        {"prefix of any case", -1, "be", 1, "Beta"},
        {"first match from the top", -1, "", -1, ""},
        {"a text that matches nothing", -1, "Gamma", -1, ""},
    };
    for (const Row& r : rows) {
        f.grid->put_CellText(5, 1, Text("old"));
        f.sink->onInitCombo = [&](LONG, LONG, ISimpleGridComboParam* param) {
            LONG preset = 0;
            param->get_Selection(&preset);
            EXPECT_EQ(preset, -1) << r.what;
            param->AddItem(10, Text("Alpha"));
            param->AddItem(20, Text("Beta"));
            param->AddItem(30, Text("Bet"));
            param->put_Selection(r.selection);
            param->put_Text(Text(r.text));
            return S_OK;
        };
        Select(5, 1);
        ASSERT_EQ(f.grid->OpenEditor(), S_OK) << r.what;
        ASSERT_EQ(f.ShownEditor(), Combo()) << r.what;
        EXPECT_EQ(Combo()->count(), 3) << r.what;
        EXPECT_EQ(Combo()->currentIndex(), r.expectedIndex) << r.what;
        EXPECT_EQ(Combo()->geometry(), CellGeometry(5, 1)) << r.what;
        EXPECT_EQ(f.grid->CloseEditor(VARIANT_TRUE), S_OK) << r.what;
        EXPECT_EQ(f.CellText(5, 1), r.written) << r.what;
    }
    EXPECT_EQ(f.ShownEditor(), nullptr);
}

TEST_F(GridEditorTest, ComboReportsSelectionChangesAndHandsBackTheItem)
{
    LONG closedSelection = 0;
    BSTR closedText;
    f.sink->onCloseCombo = [&](LONG, LONG, bool, ISimpleGridComboParam* param) {
        param->get_Selection(&closedSelection);
        param->get_Text(&closedText);
        return true;
    };
    Select(0, 1);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    EXPECT_EQ(f.sink->log, (Log{"Query 0 1", "InitCombo 0 1"}));  // filling reports nothing
    EXPECT_EQ(Combo()->currentIndex(), -1);
    EXPECT_TRUE(Combo()->hasFocus());
    QTest::keyClick(Combo(), Qt::Key_Down);
    QTest::keyClick(Combo(), Qt::Key_Down);
    EXPECT_EQ(f.sink->log, (Log{"Query 0 1", "InitCombo 0 1", "SelChange 0 1 10", "SelChange 0 1 20"}));
    EXPECT_EQ(f.ShownEditor(), Combo());
    QTest::keyClick(Combo(), Qt::Key_Return);
    EXPECT_EQ(f.sink->log.back(), "CloseCombo 0 1 save");
    EXPECT_EQ(closedSelection, 20);
    EXPECT_EQ(Utf8(closedText), "Beta");
    EXPECT_EQ(f.CellText(0, 1), "Beta");

    // The empty item is an item like the others.
    Select(1, 1);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    Combo()->setCurrentIndex(2);
    EXPECT_EQ(f.sink->log.back(), "SelChange 1 1 30");
    EXPECT_EQ(f.grid->CloseEditor(VARIANT_TRUE), S_OK);
    EXPECT_EQ(closedSelection, 30);
    EXPECT_EQ(f.CellText(1, 1), "");
}

TEST_F(GridEditorTest, EnterWithTheListDroppedDownSelectsInTheList)
{
    Select(3, 1);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    Combo()->showPopup();
    QAbstractItemView* list = Combo()->view();
    ASSERT_TRUE(list->isVisible());
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(f.ShownEditor(), Combo());
    EXPECT_EQ(Combo()->currentIndex(), 1);
    EXPECT_EQ(f.sink->log.back(), "SelChange 3 1 20");
    // The next Enter, with the list closed, closes the editor.
    QTest::keyClick(Combo(), Qt::Key_Return);
    EXPECT_EQ(f.ShownEditor(), nullptr);
    EXPECT_EQ(f.CellText(3, 1), "Beta");
}

TEST_F(GridEditorTest, DeletingTheEditedRowSuppressesTheWriteBack)
{
    // Inside the close event, as a host removing an entry does.
    f.sink->onCloseEdit = [&](LONG row, LONG, bool, ISimpleGridEditParam*) {
        EXPECT_EQ(f.grid->DeleteRow(row), S_OK);
        return true;
    };
    Select(4, 0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    Edit()->setText("typed");
    EXPECT_EQ(f.grid->CloseEditor(VARIANT_TRUE), S_OK);
    EXPECT_EQ(f.CellText(4, 0), "r5c0");  // the row that took its place keeps its text
    EXPECT_EQ(f.ShownEditor(), nullptr);

    // Before the close, while the editor is open: nothing is written into
    // the row that took its place either.
    f.sink->onCloseEdit = nullptr;
    Select(2, 0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    Edit()->setText("typed");
    ASSERT_EQ(f.grid->DeleteRow(2), S_OK);
    EXPECT_EQ(f.grid->CloseEditor(VARIANT_TRUE), S_OK);
    EXPECT_EQ(f.CellText(2, 0), "r3c0");

    // Shrinking the columns under the edited cell and deleting all rows
    // count the same.
    Select(1, 2);
    f.sink->editorFor = [](LONG, LONG) { return etEdit; };
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    Edit()->setText("typed");
    ASSERT_EQ(f.grid->put_ColCount(2), S_OK);
    EXPECT_EQ(f.grid->CloseEditor(VARIANT_TRUE), S_OK);
    EXPECT_EQ(f.CellText(1, 1), "r1c1");

    Select(1, 0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    ASSERT_EQ(f.grid->DeleteAllRows(), S_OK);
    EXPECT_EQ(f.ShownEditor(), nullptr);  // no cell to sit on
    EXPECT_EQ(f.grid->CloseEditor(VARIANT_TRUE), S_OK);
    EXPECT_EQ(f.sink->log.back(), "CloseEdit -1 0 save");
}

TEST_F(GridEditorTest, TheEditorFollowsItsCell)
{
    f.Query<ISimpleGridControlEventSource>()->Unadvise(f.cookie);
    GridFixture g(300, 2 + ExpectedRowHeight() * 6 + ExpectedRowHeight() / 2);
    g.Fill(20, 3);
    g.sink->editorFor = [](LONG, LONG) { return etEdit; };
    auto* edit = g.window->findChild<QLineEdit*>();
    const LONG r = g.RowHeight();
    const auto at = [&](LONG row) { return QRect(1 + 40, 1 + (row - g.Top() + 1) * r, 40, r); };

    g.grid->put_SelectedRow(3);
    g.grid->put_SelectedCol(1);
    ASSERT_EQ(g.grid->OpenEditor(), S_OK);
    EXPECT_EQ(edit->geometry(), at(3));

    g.grid->put_TopRow(2);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->geometry(), at(3));
    g.grid->put_TopRow(4);  // scrolled out
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(g.window->hasFocus());  // the focus stays with the grid
    g.grid->put_TopRow(0);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_TRUE(edit->hasFocus());

    // Rows inserted or deleted above move it with its row.
    ASSERT_EQ(g.grid->InsertRow(0), S_OK);
    EXPECT_EQ(g.Selected(), 4);
    EXPECT_EQ(edit->geometry(), at(4));
    ASSERT_EQ(g.grid->InsertRow(0), S_OK);
    ASSERT_EQ(g.grid->InsertRow(0), S_OK);
    EXPECT_EQ(g.Selected(), 6);
    EXPECT_EQ(g.Top(), 2);  // kept on the screen
    EXPECT_EQ(edit->geometry(), at(6));
    ASSERT_EQ(g.grid->DeleteRow(10), S_OK);  // below: no move
    EXPECT_EQ(g.Selected(), 6);
    ASSERT_EQ(g.grid->DeleteRow(0), S_OK);
    EXPECT_EQ(g.Selected(), 5);
    EXPECT_EQ(edit->geometry(), at(5));
    g.grid->put_TopRow(5);
    ASSERT_EQ(g.grid->DeleteRow(1), S_OK);  // the edited row moves up past the top
    EXPECT_EQ(g.Selected(), 4);
    EXPECT_EQ(g.Top(), 4);
    EXPECT_EQ(edit->geometry(), at(4));

    // The value goes where the row went.
    edit->setText("moved");
    ASSERT_EQ(g.grid->InsertRow(0), S_OK);
    EXPECT_EQ(g.grid->CloseEditor(VARIANT_TRUE), S_OK);
    EXPECT_EQ(g.CellText(5, 1), "moved");
}

TEST_F(GridEditorTest, OpeningACellOutOfViewScrollsToItFirst)
{
    f.grid->put_TopRow(4);
    Select(1, 0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    EXPECT_EQ(f.Top(), 1);
    ASSERT_EQ(f.ShownEditor(), Edit());
    EXPECT_EQ(Edit()->geometry(), CellGeometry(1, 0));
    // A second open is refused; the editor stays as it is.
    EXPECT_EQ(f.grid->OpenEditor(), S_FALSE);
    EXPECT_EQ(std::count(f.sink->log.begin(), f.sink->log.end(), "InitEdit 1 0"), 1);
}

TEST_F(GridEditorTest, AFailingInitLeavesTheEditorHiddenButOpen)
{
    // A first edit leaves text in the edit box.
    Select(0, 0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    Edit()->setText("left over");
    ASSERT_EQ(f.grid->CloseEditor(VARIANT_FALSE), S_OK);

    f.sink->onInitEdit = [](LONG, LONG, ISimpleGridEditParam*) { return E_FAIL; };
    Select(6, 0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    EXPECT_EQ(f.ShownEditor(), nullptr);
    EXPECT_EQ(f.grid->put_SelectedRow(2), S_FALSE);  // it counts as open
    f.grid->put_TopRow(3);
    EXPECT_EQ(f.ShownEditor(), nullptr);  // and stays hidden
    EXPECT_EQ(f.grid->CloseEditor(VARIANT_TRUE), S_OK);
    EXPECT_EQ(f.sink->log.back(), "CloseEdit 6 0 save");
    // What the edit box held from before is not the cell's value.
    EXPECT_EQ(f.CellText(6, 0), "r6c0");
}

TEST_F(GridEditorTest, DoubleClickOpensOnAnEditableGrid)
{
    DoubleClick(f.window, f.CellCenter(3, 0));
    EXPECT_EQ(f.Selected(), 3);
    EXPECT_EQ(f.ShownEditor(), Edit());
    EXPECT_EQ(std::count(f.sink->log.begin(), f.sink->log.end(), "DblClk"), 0);
}

}  // namespace
}  // namespace qmx::testing
