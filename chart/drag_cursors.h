// The chart pane's three drag cursors, kept as pictures in the chart library
// under their resource IDs: 32 x 32 monochrome, hot spot at the centre.
#pragma once

#include <optional>

#include <QCursor>

namespace qmx {

inline constexpr int IDC_DRAG_MOVE = 204;     // while moving a bar
inline constexpr int IDC_DRAG_RESIZE = 205;   // over a bar's right end, and while resizing
inline constexpr int IDC_DRAG_PERCENT = 206;  // over a bar's percent mark

// The picture of a cursor resource, 32 rows of 32 characters ('#' black, 'o'
// white, '.' transparent); null for an ID the library does not hold.
const char* const* DragCursorPicture(int resourceId);

// The cursor made from the picture; needs the application object. Nothing
// for an unknown ID.
std::optional<QCursor> LoadDragCursor(int resourceId);

}  // namespace qmx
