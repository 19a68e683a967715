#include "chart/drag_cursors.h"

#include <QBitmap>
#include <QImage>

namespace qmx {

namespace {

constexpr int kCursorSize = 32;
constexpr int kHotSpot = kCursorSize / 2;

// The pictures, one string per row: '#' black, 'o' white, '.' transparent.

// 204: a horizontal double arrow around a small box.
const char* const kMovePicture[kCursorSize] = {
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    ".....ooo...ooooooooooo...ooo....",
    "....oo#o...o#########o...o#oo...",
    "...oo##o...o#ooooooo#o...o##oo..",
    "..oo###o...o#o.....o#o...o###oo.",
    ".oo####ooooo#o.....o#ooooo####oo",
    ".o#########o#o.....o#o#########o",
    ".oo####ooooo#o.....o#ooooo####oo",
    "..oo###o...o#o.....o#o...o###oo.",
    "...oo##o...o#ooooooo#o...o##oo..",
    "....oo#o...o#########o...o#oo...",
    ".....ooo...ooooooooooo...ooo....",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
};

// 205: a horizontal double arrow through a vertical bar.
const char* const kResizePicture[kCursorSize] = {
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "..............oooo..............",
    "..............o##o..............",
    "..............o##o..............",
    "..............o##o..............",
    "..............o##o..............",
    "..............o##o..............",
    ".......ooo....o##o....ooo.......",
    "......oo#o....o##o....o#oo......",
    ".....oo##o....o##o....o##oo.....",
    "....oo###o....o##o....o###oo....",
    "...oo####oooooo##oooooo####oo...",
    "...o##########o##o##########o...",
    "...oo####oooooo##oooooo####oo...",
    "....oo###o....o##o....o###oo....",
    ".....oo##o....o##o....o##oo.....",
    "......oo#o....o##o....o#oo......",
    ".......ooo....o##o....ooo.......",
    "..............o##o..............",
    "..............o##o..............",
    "..............o##o..............",
    "..............o##o..............",
    "..............o##o..............",
    "..............oooo..............",
    "................................",
    "................................",
    "................................",
    "................................",
};

// 206: a percent sign over a horizontal double arrow.
const char* const kPercentPicture[kCursorSize] = {
    "................................",
    "................................",
    "................................",
    "....................oooo........",
    "..........ooooo....oo##o........",
    ".........oo###oo..oo##oo........",
    ".........o#ooo#o.oo##oo.........",
    ".........o#o.o#ooo##oo..........",
    ".........o#ooo#oo##oo...........",
    ".........oo###oo##oo............",
    "..........ooooo##oo.............",
    "............oo##oo..............",
    "...........oo##oo.ooooo.........",
    "..........oo##oo.oo###oo........",
    ".........oo##oo..o#ooo#o........",
    ".........o##oo...o#o.o#o........",
    ".........oooo....o#ooo#o........",
    ".................oo###oo........",
    "..................ooooo.........",
    ".........ooo.........ooo........",
    "........oo#o.........o#oo.......",
    ".......oo##o.........o##oo......",
    "......oo###o.........o###oo.....",
    ".....oo####ooooooooooo####oo....",
    ".....o#####################o....",
    ".....oo####ooooooooooo####oo....",
    "......oo###o.........o###oo.....",
    ".......oo##o.........o##oo......",
    "........oo#o.........o#oo.......",
    ".........ooo.........ooo........",
    "................................",
    "................................",
};

// Black where the picture is black, the mask wherever it is not transparent.
QBitmap Plane(const char* const* rows, bool mask)
{
    QImage image(kCursorSize, kCursorSize, QImage::Format_MonoLSB);
    image.setColorCount(2);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < kCursorSize; ++y)
        for (int x = 0; x < kCursorSize; ++x) {
            const char c = rows[y][x];
            image.setPixel(x, y, mask ? (c != '.' ? 1 : 0) : (c == '#' ? 1 : 0));
        }
    return QBitmap::fromImage(image, Qt::MonoOnly | Qt::ThresholdDither);
}

}  // namespace

const char* const* DragCursorPicture(int resourceId)
{
    switch (resourceId) {
    case IDC_DRAG_MOVE: return kMovePicture;
    case IDC_DRAG_RESIZE: return kResizePicture;
    case IDC_DRAG_PERCENT: return kPercentPicture;
    default: return nullptr;
    }
}

std::optional<QCursor> LoadDragCursor(int resourceId)
{
    const char* const* rows = DragCursorPicture(resourceId);
    if (!rows) return std::nullopt;
    return QCursor(Plane(rows, false), Plane(rows, true), kHotSpot, kHotSpot);
}

}  // namespace qmx
