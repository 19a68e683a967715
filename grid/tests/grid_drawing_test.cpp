// The grid's picture, read back pixel by pixel where the drawing rules put
// the header, the grid lines, the cells, the selection and the border; the
// pictures are saved for a human to look at, one with an open editor.

#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>

#include "grid/tests/grid_test_support.h"

namespace qmx::testing {
namespace {

// Colours that are all different, so each pixel tells which part drew it.
const QColor kButtonFace(200, 200, 180);
const QColor kButtonText(10, 10, 90);
const QColor kLight(250, 250, 230);
const QColor kDark(120, 120, 100);
const QColor kBase(255, 255, 245);
const QColor kText(20, 20, 20);
const QColor kHighlight(40, 90, 200);
const QColor kHighlightText(255, 255, 0);

QPalette TestPalette()
{
    QPalette p = QApplication::palette();
    p.setColor(QPalette::Button, kButtonFace);
    p.setColor(QPalette::ButtonText, kButtonText);
    p.setColor(QPalette::Light, kLight);
    p.setColor(QPalette::Dark, kDark);
    p.setColor(QPalette::Base, kBase);
    p.setColor(QPalette::Text, kText);
    p.setColor(QPalette::Highlight, kHighlight);
    p.setColor(QPalette::HighlightedText, kHighlightText);
    return p;
}

QColor At(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)).toRgb(); }

class GridDrawingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureApplication();
        ASSERT_EQ(RegisterGridLibrary(), S_OK);
    }

    // Two columns (60 and 100 pixels) headed "ID" and "Name", three rows,
    // row 1 column 1 selected; the test palette set after the window was
    // made, so the grid must rebuild its colours.
    void SetUp() override
    {
        f.grid->put_ColCount(2);
        f.grid->put_ColWidths(0, 60);
        f.grid->put_ColWidths(1, 100);
        f.grid->put_ColHeaders(0, Text("ID"));
        f.grid->put_ColHeaders(1, Text("Name"));
        const char* names[] = {"Alice", "Bob with a name far too long for its cell", "Carol"};
        for (LONG r = 0; r < 3; ++r) {
            f.grid->InsertRow(r);
            f.grid->put_CellText(r, 0, Text(std::to_string(r + 1).c_str()));
            f.grid->put_CellText(r, 1, Text(names[r]));
        }
        f.grid->put_SelectedRow(1);
        f.grid->put_SelectedCol(1);
        f.window->setPalette(TestPalette());
    }

    QImage Grab() const { return f.window->grab().toImage(); }

    GridFixture f{240, 2 + ExpectedRowHeight() * 6 + ExpectedRowHeight() / 2};
    const int r = ExpectedRowHeight();
};

TEST_F(GridDrawingTest, HeaderLinesCellsAndSelection)
{
    const QImage image = Grab();
    EXPECT_FALSE(SavePicture(image, "grid_selection").empty());
    // Client pixel (x, y) is window pixel (x + 1, y + 1) inside the static
    // edge.
    const auto c = [&](int x, int y) { return At(image, x + 1, y + 1); };
    struct Row {
        const char* what;
        QColor got, expected;
    };
    const Row rows[] = {
        {"static edge, top-left", At(image, 0, 0), kDark},
        {"static edge, left", At(image, 0, 30), kDark},
        {"static edge, bottom-right", At(image, 239, image.height() - 1), kLight},
        {"static edge, right", At(image, 239, 30), kLight},
        {"header lit left edge", c(0, 5), kLight},
        {"header lit top edge", c(30, 0), kLight},
        {"header face", c(2, 2), kButtonFace},
        {"header shaded right edge", c(59, 5), kDark},
        {"header shaded bottom edge", c(30, r - 1), kDark},
        {"second header lit left edge", c(60, 5), kLight},
        {"header band after the columns", c(200, 5), kButtonFace},
        {"header band after the columns, lit top", c(200, 0), kLight},
        {"grid line left of column 1", c(60, r + 5), kButtonFace},
        {"grid line after the last column", c(160, r + 5), kButtonFace},
        {"grid line under the header", c(30, r), kButtonFace},
        {"grid line under row 0", c(30, 2 * r), kButtonFace},
        {"cell of row 0", c(2, r + 2), kBase},
        {"selected row, other cell", c(2, 2 * r + 2), kHighlight},
        {"selected cell outline, left", c(61, 2 * r + 5), kButtonFace},
        {"selected cell outline, top", c(80, 2 * r + 1), kButtonFace},
        {"selected cell outline, right", c(159, 2 * r + 5), kButtonFace},
        {"selected cell outline, bottom", c(80, 3 * r - 1), kButtonFace},
        {"selected cell inside", c(62, 2 * r + 2), kHighlight},
        {"empty row position", c(2, 4 * r + 2), kBase},
        {"grid line through empty positions", c(60, 5 * r + 5), kButtonFace},
        {"right of the columns", c(200, 2 * r + 5), kBase},
    };
    for (const Row& row : rows) EXPECT_EQ(row.got, row.expected) << row.what;

    // Texts: the header's in button text, the selected row's in highlight
    // text, the others' in window text, each within its cell. Glyph edges
    // are smoothed, so a stroke's core is near the colour, not on it.
    const auto hasColor = [&](int left, int top, int right, int bottom, const QColor& color) {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const QColor p = c(x, y);
                if (std::abs(p.red() - color.red()) + std::abs(p.green() - color.green()) +
                        std::abs(p.blue() - color.blue()) < 90)
                    return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(hasColor(4, 1, 56, r - 1, kButtonText));
    EXPECT_TRUE(hasColor(64, 2 * r + 1, 156, 3 * r - 1, kHighlightText));
    EXPECT_TRUE(hasColor(64, r + 1, 156, 2 * r - 1, kText));
    EXPECT_FALSE(hasColor(156, 2 * r + 1, 160, 3 * r, kHighlightText));  // the long name is cut

    // A new palette is taken at once.
    QPalette p = TestPalette();
    p.setColor(QPalette::Highlight, QColor(0, 160, 0));
    f.window->setPalette(p);
    EXPECT_EQ(At(Grab(), 3, 2 * r + 3), QColor(0, 160, 0));
}

TEST_F(GridDrawingTest, OpenEditorsSitOnTheirCell)
{
    f.sink->editorFor = [](LONG, LONG col) { return col == 1 ? etEdit : etCombo; };
    f.sink->onInitCombo = [](LONG, LONG, ISimpleGridComboParam* param) {
        param->AddItem(1, Text("Developer"));
        param->AddItem(2, Text("Designer"));
        param->put_Selection(2);
        return S_OK;
    };
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    auto* edit = f.window->findChild<QLineEdit*>();
    edit->setText("Bob");
    QApplication::processEvents();
    QImage image = Grab();
    EXPECT_FALSE(SavePicture(image, "grid_edit_editor").empty());
    // The edit box covers the selected cell (its background is the window
    // colour, not the selection's), the rest of the row stays highlighted.
    EXPECT_EQ(At(image, 1 + 100, 1 + 2 * r + r / 2), kBase);
    EXPECT_EQ(At(image, 1 + 2, 1 + 2 * r + 2), kHighlight);
    ASSERT_EQ(f.grid->CloseEditor(VARIANT_TRUE), S_OK);

    f.grid->put_SelectedCol(0);
    ASSERT_EQ(f.grid->OpenEditor(), S_OK);
    QApplication::processEvents();
    image = Grab();
    EXPECT_FALSE(SavePicture(image, "grid_combo_editor").empty());
    EXPECT_NE(At(image, 1 + 30, 1 + 2 * r + r / 2), kHighlight);
    EXPECT_EQ(At(image, 1 + 100, 1 + 2 * r + 2), kHighlight);
}

TEST_F(GridDrawingTest, WithoutAWindowTheGridDrawsItsOwnBorder)
{
    ComPtr<ISimpleGridView> view = f.Query<ISimpleGridView>();
    ASSERT_TRUE(view);
    const auto draw = [&] {
        QImage image(200, 120, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        EXPECT_EQ(view->Draw(&painter, 10, 10, 190, 110), S_OK);
        painter.end();
        return image;
    };
    QImage image = draw();
    SavePicture(image, "grid_windowless");
    struct Row {
        const char* what;
        QColor got, expected;
    };
    const Row bordered[] = {
        {"outside", At(image, 5, 5), QColor(Qt::black)},
        {"border top-left", At(image, 10, 10), kDark},
        {"border top", At(image, 100, 10), kDark},
        {"border left", At(image, 10, 60), kDark},
        {"border right", At(image, 189, 60), kLight},
        {"border bottom", At(image, 100, 109), kLight},
        {"header inside the border", At(image, 11, 11 + 5), kLight},
        {"header face", At(image, 13, 13), kButtonFace},
        {"outside, right", At(image, 190, 60), QColor(Qt::black)},
    };
    for (const Row& row : bordered) EXPECT_EQ(row.got, row.expected) << row.what;

    f.grid->put_Border(VARIANT_FALSE);
    image = draw();
    EXPECT_EQ(At(image, 10, 10), kLight);  // the header starts at the corner
    EXPECT_EQ(At(image, 12, 12), kButtonFace);
    EXPECT_EQ(At(image, 189, 60), kBase);
    EXPECT_EQ(view->Draw(nullptr, 0, 0, 10, 10), E_POINTER);

    // A windowed grid without Border has no static edge.
    const QImage windowed = Grab();
    EXPECT_EQ(At(windowed, 0, 0), kLight);
    EXPECT_EQ(At(windowed, 2, 2), kButtonFace);
}

}  // namespace
}  // namespace qmx::testing
