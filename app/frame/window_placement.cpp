#include "app/frame/window_placement.h"

#include "automation/runtime/registry_store.h"

namespace qmx {

namespace {

constexpr const char* kLeft = "MainWndLeft";
constexpr const char* kTop = "MainWndTop";
constexpr const char* kWidth = "MainWndWidth";
constexpr const char* kHeight = "MainWndHeight";
constexpr const char* kMaximized = "MainWndMaximized";

void Read(const RegistryStore& store, const char* name, std::int32_t& value)
{
    if (const auto stored = store.GetNumber(kSettingsKey, name)) value = static_cast<std::int32_t>(*stored);
}

}  // namespace

WindowPlacement WindowPlacement::Load(const RegistryStore& store)
{
    WindowPlacement placement;
    Read(store, kLeft, placement.left);
    Read(store, kTop, placement.top);
    Read(store, kWidth, placement.width);
    Read(store, kHeight, placement.height);
    std::int32_t maximized = 0;
    Read(store, kMaximized, maximized);
    placement.maximized = maximized == 1;
    return placement;
}

bool WindowPlacement::Save(RegistryStore& store) const
{
    // Stop at the first refusal: a store that cannot be written keeps what
    // it had.
    return store.SetNumber(kSettingsKey, kLeft, static_cast<std::uint32_t>(left)) &&
           store.SetNumber(kSettingsKey, kTop, static_cast<std::uint32_t>(top)) &&
           store.SetNumber(kSettingsKey, kWidth, static_cast<std::uint32_t>(width)) &&
           store.SetNumber(kSettingsKey, kHeight, static_cast<std::uint32_t>(height)) &&
           store.SetNumber(kSettingsKey, kMaximized, maximized ? 1u : 0u);
}

QRect WindowPlacement::UsableRect(const QRect& desktop) const
{
    // 64-bit sums: the defaults are the most negative 32-bit number.
    const std::int64_t right = std::int64_t{left} + width;
    const std::int64_t bottom = std::int64_t{top} + height;
    const std::int64_t desktopRight = std::int64_t{desktop.x()} + desktop.width();
    const std::int64_t desktopBottom = std::int64_t{desktop.y()} + desktop.height();
    if (left < desktopRight && top < desktopBottom && right > desktop.x() && bottom > desktop.y() && width > 0 &&
        height > 0)
        return QRect(left, top, width, height);
    return {};
}

void WindowPlacement::Capture(const QRect& rect)
{
    left = rect.x();
    top = rect.y();
    width = rect.width();
    height = rect.height();
}

}  // namespace qmx
