// Virtual-key codes, the key numbers that the keyboard events of the chart
// controls carry, and their translation from Qt's key events.
#pragma once

#include "automation/types.h"

class QKeyEvent;

namespace qmx {

inline constexpr LONG VK_BACK = 0x08;
inline constexpr LONG VK_TAB = 0x09;
inline constexpr LONG VK_RETURN = 0x0D;
inline constexpr LONG VK_SHIFT = 0x10;
inline constexpr LONG VK_CONTROL = 0x11;
inline constexpr LONG VK_MENU = 0x12;
inline constexpr LONG VK_ESCAPE = 0x1B;
inline constexpr LONG VK_SPACE = 0x20;
inline constexpr LONG VK_PRIOR = 0x21;
inline constexpr LONG VK_NEXT = 0x22;
inline constexpr LONG VK_END = 0x23;
inline constexpr LONG VK_HOME = 0x24;
inline constexpr LONG VK_LEFT = 0x25;
inline constexpr LONG VK_UP = 0x26;
inline constexpr LONG VK_RIGHT = 0x27;
inline constexpr LONG VK_DOWN = 0x28;
inline constexpr LONG VK_INSERT = 0x2D;
inline constexpr LONG VK_DELETE = 0x2E;
inline constexpr LONG VK_APPS = 0x5D;
inline constexpr LONG VK_MULTIPLY = 0x6A;
inline constexpr LONG VK_ADD = 0x6B;
inline constexpr LONG VK_SUBTRACT = 0x6D;
inline constexpr LONG VK_F1 = 0x70;
inline constexpr LONG VK_F2 = 0x71;

// The virtual-key code of a key event; 0 for a key without one. Keys of the
// numeric keypad give their keypad codes (the keypad minus is VK_SUBTRACT).
LONG VirtualKeyOf(const QKeyEvent& event);

}  // namespace qmx
