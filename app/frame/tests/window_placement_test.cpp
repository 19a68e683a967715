// The saved placement: when it may be used, and its round trip through the
// Settings key.
#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "app/frame/window_placement.h"
#include "automation/runtime/registry_store.h"

namespace qmx {
namespace {

struct PlacementCase {
    const char* what;
    std::int32_t left, top, width, height;
    bool usable;
};

TEST(WindowPlacementTest, SavedRectangleIsUsedOnlyWhereItMeetsTheDesktop)
{
    const QRect desktop(0, 0, 1920, 1040);
    const PlacementCase cases[] = {
        {"on screen", 100, 80, 800, 600, true},
        {"reaching in from the left", -700, 10, 800, 600, true},
        {"entirely off the left", -800, 10, 800, 600, false},
        {"entirely off the top", 10, -600, 800, 600, false},
        {"starting beyond the width", 1920, 10, 800, 600, false},
        {"starting beyond the height", 10, 1040, 800, 600, false},
        {"just inside the bottom right", 1919, 1039, 800, 600, true},
        {"absent values", kUseDefaultPlacement, kUseDefaultPlacement, kUseDefaultPlacement, kUseDefaultPlacement,
         false},
        {"absent size", 100, 100, kUseDefaultPlacement, kUseDefaultPlacement, false},
        {"no size", 100, 100, 0, 0, false},
        {"negative size that still sums positive", 100, 100, -50, -50, false},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.what);
        WindowPlacement placement;
        placement.left = c.left;
        placement.top = c.top;
        placement.width = c.width;
        placement.height = c.height;
        const QRect rect = placement.UsableRect(desktop);
        EXPECT_EQ(rect.isValid(), c.usable);
        if (c.usable) {
            EXPECT_EQ(rect, QRect(c.left, c.top, c.width, c.height));
        }
    }
    // A desktop whose screens start left of zero.
    WindowPlacement left;
    left.Capture(QRect(-1500, 100, 800, 600));
    EXPECT_TRUE(left.UsableRect(QRect(-1920, 0, 3840, 1080)).isValid());
}

TEST(WindowPlacementTest, RoundTripsThroughTheSettingsKeyAndKeepsDefaultsOfBadValues)
{
    const std::string path = std::string(qgetenv("XDG_RUNTIME_DIR").constData()) + "/placement.ini";
    std::filesystem::remove(path);
    RegistryStore store(path, {});

    const WindowPlacement absent = WindowPlacement::Load(store);
    EXPECT_EQ(absent.left, kUseDefaultPlacement);
    EXPECT_EQ(absent.height, kUseDefaultPlacement);
    EXPECT_FALSE(absent.maximized);

    WindowPlacement saved;
    saved.Capture(QRect(-20, 15, 1024, 700));
    saved.maximized = true;
    ASSERT_TRUE(saved.Save(store));
    const WindowPlacement loaded = WindowPlacement::Load(RegistryStore(path, {}));
    EXPECT_EQ(loaded.left, -20);
    EXPECT_EQ(loaded.top, 15);
    EXPECT_EQ(loaded.width, 1024);
    EXPECT_EQ(loaded.height, 700);
    EXPECT_TRUE(loaded.maximized);

    // Values that are no numbers keep their defaults; a maximised flag other
    // than 1 means a normal window.
    ASSERT_TRUE(store.SetString(kSettingsKey, "MainWndWidth", "wide"));
    ASSERT_TRUE(store.SetNumber(kSettingsKey, "MainWndMaximized", 7));
    const WindowPlacement bad = WindowPlacement::Load(store);
    EXPECT_EQ(bad.width, kUseDefaultPlacement);
    EXPECT_EQ(bad.left, -20);
    EXPECT_FALSE(bad.maximized);
}

TEST(WindowPlacementTest, UnwritableStoreIsSilentlyNotSaved)
{
    const std::string folder = std::string(qgetenv("XDG_RUNTIME_DIR").constData()) + "/read-only";
    std::filesystem::create_directories(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    RegistryStore store(folder + "/registry.ini", {});
    WindowPlacement placement;
    placement.Capture(QRect(1, 2, 300, 400));
    if (::access(folder.c_str(), W_OK) == 0) {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        GTEST_SKIP() << "running as a user who may write anywhere";
    }
    EXPECT_FALSE(placement.Save(store));
    EXPECT_EQ(WindowPlacement::Load(store).width, kUseDefaultPlacement);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace qmx
