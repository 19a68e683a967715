#include "app/frame/lock_keys.h"

#include <QGuiApplication>

#if QMX_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace qmx {

std::optional<LockKeyState> ReadLockKeyState()
{
#if QMX_HAVE_X11
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return std::nullopt;
    // The indicators by their names, as the keyboard description gives them.
    const auto indicator = [display](const char* name, bool* on) {
        const Atom atom = XInternAtom(display, name, True);
        Bool state = False;
        if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr)) return false;
        *on = state != False;
        return true;
    };
    LockKeyState state;
    if (!indicator("Caps Lock", &state.capsLock) || !indicator("Num Lock", &state.numLock)) return std::nullopt;
    indicator("Scroll Lock", &state.scrollLock);
    return state;
#else
    return std::nullopt;
#endif
}

}  // namespace qmx
