#include "grid/grid_painter.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QString>

#include "grid/grid_data.h"
#include "grid/grid_text.h"

namespace qmx {

namespace {

// Fills (left, top)..(right, bottom), right and bottom excluded; nothing for
// an empty span.
void Fill(QPainter& painter, LONG left, LONG top, LONG right, LONG bottom, const QColor& color)
{
    if (right <= left || bottom <= top) return;
    painter.fillRect(QRect(left, top, right - left, bottom - top), color);
}

// A raised cell: lit left and top, shaded right and bottom, face inside.
void PaintRaised(QPainter& painter, const GridRect& r, const GridPaintStyle& style)
{
    Fill(painter, r.left, r.top, r.right, r.top + 1, style.buttonHighlight);
    Fill(painter, r.left, r.top, r.left + 1, r.bottom, style.buttonHighlight);
    Fill(painter, r.right - 1, r.top, r.right, r.bottom, style.buttonShadow);
    Fill(painter, r.left, r.bottom - 1, r.right, r.bottom, style.buttonShadow);
    Fill(painter, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, style.buttonFace);
}

// A single-line text inside the rectangle inset 4 pixels left and right and
// 1 pixel top and bottom, cut with an ellipsis where it does not fit.
void PaintText(QPainter& painter, const GridRect& r, const BSTR& text, Qt::Alignment vertical, const QColor& color)
{
    const QRect box(r.left + 4, r.top + 1, r.right - r.left - 8, r.bottom - r.top - 2);
    if (box.width() <= 0 || box.height() <= 0 || text.empty()) return;
    const QString shown = painter.fontMetrics().elidedText(ToQString(text), Qt::ElideRight, box.width());
    painter.setPen(color);
    painter.drawText(box, Qt::AlignLeft | vertical | Qt::TextSingleLine, shown);
}

}  // namespace

void GridPaintStyle::SetColorsFrom(const QPalette& palette)
{
    const auto color = [&](QPalette::ColorRole role) { return palette.color(QPalette::Active, role); };
    buttonText = color(QPalette::ButtonText);
    buttonFace = color(QPalette::Button);
    buttonHighlight = color(QPalette::Light);
    buttonShadow = color(QPalette::Dark);
    windowText = color(QPalette::Text);
    window = color(QPalette::Base);
    highlightText = color(QPalette::HighlightedText);
    highlight = color(QPalette::Highlight);
}

void PaintSunkenEdge(QPainter& painter, LONG width, LONG height, const GridPaintStyle& style)
{
    if (width <= 0 || height <= 0) return;
    Fill(painter, 0, 0, 1, height, style.buttonShadow);
    Fill(painter, 0, 0, width - 1, 1, style.buttonShadow);
    Fill(painter, width - 1, 0, width, height, style.buttonHighlight);
    Fill(painter, 1, height - 1, width, height, style.buttonHighlight);
}

void PaintGrid(QPainter& painter, const GridMetrics& m, const GridData& data, GridSelection selection,
               const GridPaintStyle& style, const QFont& font)
{
    if (m.clientWidth <= 0 || m.clientHeight <= 0) return;
    painter.save();
    painter.setFont(font);
    const LONG b = m.border;
    const LONG innerRight = m.clientWidth - b;
    const LONG innerBottom = m.clientHeight - b;
    painter.setClipRect(QRect(b, b, innerRight - b, innerBottom - b));

    // The columns on the screen, and where the last one ends.
    const std::vector<ColumnSpan> columns = VisibleColumnSpans(m);
    const LONG columnsRight = std::min(ColumnsRight(m), innerRight);
    const LONG bodyTop = b + m.rowHeight;

    // 1. Header band.
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const GridRect r{columns[c].left, b, columns[c].right, bodyTop};
        PaintRaised(painter, r, style);
        PaintText(painter, r, data.Header(static_cast<LONG>(c)), Qt::AlignBottom, style.buttonText);
    }
    if (columnsRight < innerRight) PaintRaised(painter, GridRect{columnsRight, b, innerRight, bodyTop}, style);

    // 2. Grid lines: at the left edge of every column and after the last,
    // and along the top of every row position.
    for (const ColumnSpan& column : columns) Fill(painter, column.left, bodyTop, column.left + 1, innerBottom, style.buttonFace);
    if (columnsRight < innerRight) Fill(painter, columnsRight, bodyTop, columnsRight + 1, innerBottom, style.buttonFace);
    const LONG positions = VisibleRowPositions(m);
    for (LONG k = 0; k < positions; ++k) {
        const LONG y = bodyTop + k * m.rowHeight;
        Fill(painter, b, y, columnsRight, y + 1, style.buttonFace);
    }

    // 3. Cells, each inside its lines, then the space right of the columns.
    for (LONG k = 0; k < positions; ++k) {
        const LONG row = m.topRow + k;
        const bool filled = row < data.RowCount();
        const bool selectedRow = filled && row == selection.row;
        const LONG top = bodyTop + k * m.rowHeight;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const GridRect r{columns[c].left, top, columns[c].right, top + m.rowHeight};
            Fill(painter, r.left + 1, r.top + 1, r.right, r.bottom, selectedRow ? style.highlight : style.window);
            if (!filled) continue;
            const auto col = static_cast<LONG>(c);
            if (selectedRow && col == selection.col) {
                // The selected cell's outline, on the outermost pixels of
                // its filled area.
                Fill(painter, r.left + 1, r.top + 1, r.right, r.top + 2, style.buttonFace);
                Fill(painter, r.left + 1, r.bottom - 1, r.right, r.bottom, style.buttonFace);
                Fill(painter, r.left + 1, r.top + 1, r.left + 2, r.bottom, style.buttonFace);
                Fill(painter, r.right - 1, r.top + 1, r.right, r.bottom, style.buttonFace);
            }
            PaintText(painter, r, data.Text(row, col), Qt::AlignVCenter,
                      selectedRow ? style.highlightText : style.windowText);
        }
    }
    Fill(painter, columnsRight + 1, bodyTop, innerRight, innerBottom, style.window);

    // 4. Own border.
    painter.setClipping(false);
    if (b > 0) PaintSunkenEdge(painter, m.clientWidth, m.clientHeight, style);
    painter.restore();
}

}  // namespace qmx
