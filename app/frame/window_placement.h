// The main window's saved placement: the "MainWnd..." values of the
// Settings key. DisplayApp loads it at start, before the window is made, and
// saves it at exit; the window captures its rectangle into it on every move
// and resize and when it is destroyed.
#pragma once

#include <cstdint>

#include <QRect>

namespace qmx {

class RegistryStore;

inline constexpr const char* kSettingsKey = "SOFTWARE/QMX/QMXGanttDisplay/Settings";
// The value that means "no saved value: use the platform's default".
inline constexpr std::int32_t kUseDefaultPlacement = static_cast<std::int32_t>(0x80000000u);

struct WindowPlacement {
    std::int32_t left = kUseDefaultPlacement;
    std::int32_t top = kUseDefaultPlacement;
    std::int32_t width = kUseDefaultPlacement;
    std::int32_t height = kUseDefaultPlacement;
    bool maximized = false;

    // Reads the values; an absent or unreadable one keeps its default.
    static WindowPlacement Load(const RegistryStore& store);
    // Writes all five values; false (and nothing shown) when the store
    // cannot be written.
    bool Save(RegistryStore& store) const;

    // The saved rectangle (left and top of the window's frame, width and
    // height of its inside, as QWidget::move and resize take them) when it
    // may be used on a desktop of the given geometry: it starts before the
    // desktop's right and bottom edges and reaches past its left and top
    // ones. Otherwise null, and the window keeps the platform's default.
    QRect UsableRect(const QRect& desktop) const;
    // Stores a rectangle of the same kind.
    void Capture(const QRect& rect);
};

}  // namespace qmx
