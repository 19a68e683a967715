// The pane reports keys and mouse buttons to its container in the codes of
// the Windows messages it stands for: virtual-key codes with the message's
// key data, and the key-state flags of a button message.
#pragma once

#include <optional>

#include <Qt>

#include "automation/types.h"

namespace qmx {

// Virtual-key codes the container acts on.
inline constexpr LONG VK_BACK = 8;
inline constexpr LONG VK_TAB = 9;
inline constexpr LONG VK_RETURN = 13;
inline constexpr LONG VK_SHIFT = 16;
inline constexpr LONG VK_CONTROL = 17;
inline constexpr LONG VK_MENU = 18;
inline constexpr LONG VK_ESCAPE = 27;
inline constexpr LONG VK_SPACE = 32;
inline constexpr LONG VK_PRIOR = 33;
inline constexpr LONG VK_NEXT = 34;
inline constexpr LONG VK_END = 35;
inline constexpr LONG VK_HOME = 36;
inline constexpr LONG VK_LEFT = 37;
inline constexpr LONG VK_UP = 38;
inline constexpr LONG VK_RIGHT = 39;
inline constexpr LONG VK_DOWN = 40;
inline constexpr LONG VK_INSERT = 45;
inline constexpr LONG VK_DELETE = 46;
inline constexpr LONG VK_NUMPAD0 = 96;
inline constexpr LONG VK_MULTIPLY = 106;
inline constexpr LONG VK_ADD = 107;
inline constexpr LONG VK_SUBTRACT = 109;
inline constexpr LONG VK_DECIMAL = 110;
inline constexpr LONG VK_DIVIDE = 111;
inline constexpr LONG VK_F1 = 112;
inline constexpr LONG VK_F24 = 135;

// Key data: bit 24 for the extended keys (the navigation block beside the
// letters), bit 30 when the key was already down (auto-repeat).
inline constexpr LONG kKeyDataExtended = 0x01000000;
inline constexpr LONG kKeyDataRepeat = 0x40000000;

// Key-state flags of a button message.
inline constexpr LONG MK_LBUTTON = 0x0001;
inline constexpr LONG MK_RBUTTON = 0x0002;
inline constexpr LONG MK_SHIFT = 0x0004;
inline constexpr LONG MK_CONTROL = 0x0008;
inline constexpr LONG MK_MBUTTON = 0x0010;

// The virtual-key code of a Qt key; keypad keys (KeypadModifier) give the
// keypad codes. Nothing for a key without a code here.
std::optional<LONG> VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

// The key data of a key-down message: a repeat count of 1, the extended bit
// for the navigation block outside the keypad, the repeat bit on auto-repeat.
LONG KeyDataOf(int qtKey, Qt::KeyboardModifiers modifiers, bool autoRepeat);

// MK_ flags for the buttons held and the Shift and Control keys.
LONG MouseKeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

}  // namespace qmx
