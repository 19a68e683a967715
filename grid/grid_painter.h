// Drawing the grid: header band, grid lines, the cells of the rows on the
// screen and, for a grid without a window of its own, its sunken border.
#pragma once

#include <QColor>
#include <QFont>

#include "grid/grid_geometry.h"

class QPainter;
class QPalette;

namespace qmx {

class GridData;

// The system colours the grid draws with, taken from the palette.
struct GridPaintStyle {
    QColor buttonText;       // header texts
    QColor buttonFace;       // header cells and grid lines
    QColor buttonHighlight;  // lit edges
    QColor buttonShadow;     // shaded edges
    QColor windowText;       // cell texts
    QColor window;           // cell backgrounds
    QColor highlightText;    // texts of the selected row
    QColor highlight;        // background of the selected row

    // Button roles for the three-dimensional parts (the palette's Light and
    // Dark are what Qt draws button edges with), the base and text roles for
    // the cells, the highlight roles for the selection.
    void SetColorsFrom(const QPalette& palette);
};

struct GridSelection {
    LONG row = -1;  // -1 = none
    LONG col = 0;
};

// Paints the grid into the client area (0, 0)..(clientWidth, clientHeight)
// of the painter's current coordinates, in this order: header row, grid
// lines, cells of the rows from the top row to the last partly visible
// position, then the own border when m.border is 1. Only the rows and
// columns on the screen are visited. The painter's state is restored.
void PaintGrid(QPainter& painter, const GridMetrics& m, const GridData& data, GridSelection selection,
               const GridPaintStyle& style, const QFont& font);

// The one-pixel sunken edge along the inside of (0, 0)..(width, height):
// button shadow on the left and top, button highlight on the right and
// bottom.
void PaintSunkenEdge(QPainter& painter, LONG width, LONG height, const GridPaintStyle& style);

}  // namespace qmx
