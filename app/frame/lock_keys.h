// The state of the Caps Lock, Num Lock and Scroll Lock keys, where the
// platform lets a program read it: under X11 from the keyboard extension's
// indicators. Qt itself has no such query.
#pragma once

#include <optional>

namespace qmx {

struct LockKeyState {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// Null where the state cannot be read (Wayland, the offscreen platform, a
// build without the X11 headers): the status bar then hides its indicators
// rather than show a state it does not know.
std::optional<LockKeyState> ReadLockKeyState();

}  // namespace qmx
