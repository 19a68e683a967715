// The registry store over an INI file.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace std::string_literals;

#include "automation/runtime/registry_store.h"

namespace {

class RegistryStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string Path(const char* name = "registry.ini") const { return (dir.path() + "/" + name).toStdString(); }
};

TEST_F(RegistryStoreTest, KeysAndValuesPersistAcrossInstances)
{
    {
        qmx::RegistryStore store(Path());
        EXPECT_TRUE(store.SetString("SOFTWARE/QMX/QMXGanttDisplay/Settings", "Language", "English"));
        EXPECT_TRUE(store.SetNumber("SOFTWARE/QMX/QMXGanttDisplay/Settings", "Flags", 0xFFFFFFFFu));
        EXPECT_TRUE(store.SetString("SOFTWARE/Classes/{ABC}/CLSID", "", "default value"));
        EXPECT_TRUE(store.CreateKey("SOFTWARE/QMX/QMXGanttDisplay/Adapters/QMXXmlAdapter.Adapter"));
    }
    qmx::RegistryStore store(Path());
    EXPECT_EQ(store.GetString("SOFTWARE/QMX/QMXGanttDisplay/Settings", "Language"), "English");
    EXPECT_EQ(store.GetNumber("SOFTWARE/QMX/QMXGanttDisplay/Settings", "Flags"), 0xFFFFFFFFu);
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/{ABC}/CLSID"), "default value");
    // A number is not a string and the other way round.
    EXPECT_FALSE(store.GetString("SOFTWARE/QMX/QMXGanttDisplay/Settings", "Flags"));
    EXPECT_FALSE(store.GetNumber("SOFTWARE/QMX/QMXGanttDisplay/Settings", "Language"));
    // Parents exist, and an empty key exists too.
    EXPECT_TRUE(store.KeyExists("SOFTWARE/QMX"));
    EXPECT_TRUE(store.KeyExists("SOFTWARE/QMX/QMXGanttDisplay/Adapters/QMXXmlAdapter.Adapter"));
    EXPECT_FALSE(store.KeyExists("SOFTWARE/QMX/Other"));
}

TEST_F(RegistryStoreTest, SubKeysAreListedInAStableOrder)
{
    qmx::RegistryStore store(Path());
    for (const char* name : {"Zeta", "alpha", "Beta", "Gamma.Adapter"})
        store.CreateKey(std::string("SOFTWARE/QMX/QMXGanttDisplay/Adapters/") + name);
    store.SetString("SOFTWARE/QMX/QMXGanttDisplay/Adapters/Beta/Sub", "x", "y");
    const auto keys = store.SubKeys("SOFTWARE/QMX/QMXGanttDisplay/Adapters");
    EXPECT_EQ(keys, (std::vector<std::string>{"Beta", "Gamma.Adapter", "Zeta", "alpha"}));
    EXPECT_EQ(store.SubKeys("SOFTWARE/QMX/QMXGanttDisplay/Adapters"), keys);
    EXPECT_TRUE(store.SubKeys("SOFTWARE/Nothing").empty());
}

TEST_F(RegistryStoreTest, DeletingAKeyTakesItsSubKeysAndNothingElse)
{
    qmx::RegistryStore store(Path());
    store.SetString("A/B/C", "v", "1");
    store.SetString("A/B", "w", "2");
    store.SetString("A/BB", "v", "3");
    EXPECT_TRUE(store.DeleteKey("A/B"));
    EXPECT_FALSE(store.KeyExists("A/B"));
    EXPECT_FALSE(store.KeyExists("A/B/C"));
    EXPECT_FALSE(store.GetString("A/B/C", "v"));
    EXPECT_EQ(store.GetString("A/BB", "v"), "3");
    EXPECT_FALSE(store.DeleteKey("A/B"));
    EXPECT_TRUE(store.DeleteValue("A/BB", "v"));
    EXPECT_FALSE(store.GetString("A/BB", "v"));
    EXPECT_TRUE(store.KeyExists("A/BB"));
}

TEST_F(RegistryStoreTest, AnyStringAndAnyNameSurvive)
{
    const std::string strings[] = {
        "dword:cafe", "dword:0000cafe", "dword:", "sz:", "sz:x", "sz:%41", "%41", "100%", "@", "@key", "@@x",
        "@Invalid()", "@Variant(\x01)", "a, b", "a;b", "\"quoted\"", " padded ", "", "line\nbreak", "tab\there",
        "back\\slash", "semi;colon=equals", "[group]", "#comment", "nul\0in"s, "bad\xFF" "byte", "\xC3", "\xE2\x82\xAC",
        "\xF0\x9F\x98\x80", "x=y\r\n[evil]\r\nz=1",
    };
    const std::string names[] = {
        "plain", "@", "@key", "@@", "a/b", "/lead", "trail/", "a\\b", "%2F", "100%", "dword:1", "sz:", "with space",
        "=", ";", "#", "[x]", "nul\0in"s, "bad\xFF", "\xC3\xA9", "Key", "key",
    };
    const std::string key = "SOFTWARE/QMX/Test";
    {
        qmx::RegistryStore store(Path());
        ASSERT_TRUE(store.SetString(key, "", "the default"));
        ASSERT_TRUE(store.SetNumber(key, "number", 0xCAFE));
        for (std::size_t i = 0; i < std::size(strings); ++i)
            ASSERT_TRUE(store.SetString(key, "s" + std::to_string(i), strings[i]));
        for (std::size_t i = 0; i < std::size(names); ++i) {
            ASSERT_TRUE(store.SetString(key, names[i], "value " + std::to_string(i)));
            ASSERT_TRUE(store.SetNumber(key + "/numbers", names[i], static_cast<std::uint32_t>(i)));
            ASSERT_TRUE(store.CreateKey(key + "/keys/" + names[i]));
        }
    }
    qmx::RegistryStore store(Path());
    for (std::size_t i = 0; i < std::size(strings); ++i) {
        SCOPED_TRACE(strings[i]);
        EXPECT_EQ(store.GetString(key, "s" + std::to_string(i)), strings[i]);
        EXPECT_FALSE(store.GetNumber(key, "s" + std::to_string(i)));
    }
    std::vector<std::string> subKeys;
    for (std::size_t i = 0; i < std::size(names); ++i) {
        SCOPED_TRACE(names[i]);
        const bool isPath = names[i].find('/') != std::string::npos;
        if (!isPath) subKeys.push_back(names[i]);
        EXPECT_EQ(store.GetString(key, names[i]), "value " + std::to_string(i));
        EXPECT_EQ(store.GetNumber(key + "/numbers", names[i]), i);
        if (!isPath) {
            EXPECT_TRUE(store.KeyExists(key + "/keys/" + names[i]));
        }
    }
    // Value names are no key's marker and no default value.
    EXPECT_EQ(store.GetString(key), "the default");
    EXPECT_EQ(store.GetNumber(key, "number"), 0xCAFEu);
    EXPECT_TRUE(store.KeyExists(key));
    // Key paths split at '/'; every other name is a sub-key as it is.
    subKeys.insert(subKeys.end(), {"a", "lead", "trail"});
    std::sort(subKeys.begin(), subKeys.end());
    EXPECT_EQ(store.SubKeys(key + "/keys"), subKeys);
    EXPECT_EQ(store.SubKeys(key), (std::vector<std::string>{"keys", "numbers"}));
    EXPECT_TRUE(store.DeleteValue(key, "@key"));
    EXPECT_TRUE(store.KeyExists(key)) << "the marker stays";
    EXPECT_FALSE(store.GetString(key, "@key"));
}

TEST_F(RegistryStoreTest, StoresOfTheEarlierFormatReadAsBefore)
{
    std::ofstream(Path()) << "[SOFTWARE]\n%40key=\n[SOFTWARE/Classes]\n%40key=\n"
                             "[SOFTWARE/Classes/QMX.Thing.1]\n%40=QMX Thing\n%40key=\nCLSID={F7843670-8FC0}\n"
                             "Flags=dword:0000002a\nPath=/usr/lib/libQMX.so\nOdd=dword:cafe\n";
    qmx::RegistryStore store(Path());
    EXPECT_TRUE(store.KeyExists("SOFTWARE/Classes/QMX.Thing.1"));
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/QMX.Thing.1"), "QMX Thing");
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/QMX.Thing.1", "CLSID"), "{F7843670-8FC0}");
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/QMX.Thing.1", "Path"), "/usr/lib/libQMX.so");
    EXPECT_EQ(store.GetNumber("SOFTWARE/Classes/QMX.Thing.1", "Flags"), 42u);
    // Not eight digits: never written as a number, so a string.
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/QMX.Thing.1", "Odd"), "dword:cafe");
    EXPECT_EQ(store.SubKeys("SOFTWARE/Classes"), std::vector<std::string>{"QMX.Thing.1"});
}

TEST_F(RegistryStoreTest, MissingOrUnusableFileReadsAsEmpty)
{
    qmx::RegistryStore missing(Path("absent/none.ini"));
    EXPECT_FALSE(missing.KeyExists("SOFTWARE"));
    EXPECT_FALSE(missing.GetString("SOFTWARE", "x"));
    EXPECT_TRUE(missing.SubKeys("SOFTWARE").empty());

    // A folder where the file should be: nothing can be read or written.
    QDir(dir.path()).mkdir("folder.ini");
    qmx::RegistryStore unusable(Path("folder.ini"));
    EXPECT_FALSE(unusable.SetString("SOFTWARE", "x", "y"));
    EXPECT_FALSE(unusable.GetString("SOFTWARE", "x"));

    // Garbage in the file is no crash either.
    std::ofstream(Path("garbage.ini"), std::ios::binary) << "\x00\xff[[[=\n=]\n@@@";
    qmx::RegistryStore garbage(Path("garbage.ini"));
    EXPECT_FALSE(garbage.KeyExists("SOFTWARE/QMX"));
}

TEST_F(RegistryStoreTest, DefaultPathFollowsTheEnvironment)
{
    const char* saved = std::getenv("QMX_REGISTRY");
    const std::string keep = saved ? saved : "";
    setenv("QMX_REGISTRY", "/tmp/some/registry.ini", 1);
    EXPECT_EQ(qmx::RegistryStore::DefaultPath(), "/tmp/some/registry.ini");
    unsetenv("QMX_REGISTRY");
    EXPECT_NE(qmx::RegistryStore::DefaultPath().find("QMX/registry.ini"), std::string::npos);
    if (saved) setenv("QMX_REGISTRY", keep.c_str(), 1);
}

}  // namespace

// The user's store read over the system store that serves every user.
TEST_F(RegistryStoreTest, UserStoreIsReadOverTheSystemStore)
{
    const std::string adapters = "SOFTWARE/QMX/QMXGanttDisplay/Adapters";
    {
        qmx::RegistryStore system(Path("system.ini"));
        system.SetString("SOFTWARE/Classes/Shared.Class/CLSID", "", "{SYSTEM}");
        system.SetString("SOFTWARE/Classes/System.Only/CLSID", "", "{ONLY}");
        system.SetNumber("SOFTWARE/QMX/Settings", "Flags", 1);
        system.CreateKey(adapters + "/Xml");
        system.CreateKey(adapters + "/Both");
        qmx::RegistryStore user(Path());
        user.SetString("SOFTWARE/Classes/Shared.Class/CLSID", "", "{USER}");
        user.SetNumber("SOFTWARE/QMX/Settings", "Flags", 2);
        user.CreateKey(adapters + "/Both");
        user.CreateKey(adapters + "/Mine");
    }
    qmx::RegistryStore store(Path(), Path("system.ini"));
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/Shared.Class/CLSID"), "{USER}");  // the user's value wins
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/System.Only/CLSID"), "{ONLY}");
    EXPECT_EQ(store.GetNumber("SOFTWARE/QMX/Settings", "Flags"), 2u);
    EXPECT_TRUE(store.KeyExists("SOFTWARE/Classes/System.Only"));
    EXPECT_FALSE(store.KeyExists("SOFTWARE/Classes/Neither"));
    // Sub-keys are the union, each once, in the stable order.
    EXPECT_EQ(store.SubKeys(adapters), (std::vector<std::string>{"Both", "Mine", "Xml"}));

    // Writes and deletes reach the user's store alone.
    EXPECT_TRUE(store.SetString("SOFTWARE/Classes/System.Only/CLSID", "", "{MINE}"));
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/System.Only/CLSID"), "{MINE}");
    EXPECT_TRUE(store.DeleteKey("SOFTWARE/Classes/System.Only"));
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/System.Only/CLSID"), "{ONLY}");  // the system's shows again
    EXPECT_FALSE(store.DeleteKey("SOFTWARE/Classes/System.Only"));              // nothing of the user's left
    const qmx::RegistryStore system(Path("system.ini"));
    EXPECT_EQ(system.GetString("SOFTWARE/Classes/System.Only/CLSID"), "{ONLY}");
    EXPECT_EQ(system.SubKeys(adapters), (std::vector<std::string>{"Both", "Xml"}));
}

TEST_F(RegistryStoreTest, SystemStoreIsFoundThroughTheEnvironment)
{
    const auto restore = [](const char* name, const char* old) { old ? setenv(name, old, 1) : unsetenv(name); };
    const char* oldSystem = std::getenv("QMX_SYSTEM_REGISTRY");
    const char* oldDirs = std::getenv("XDG_CONFIG_DIRS");
    const char* oldUser = std::getenv("QMX_REGISTRY");
    const std::string savedSystem = oldSystem ? oldSystem : "", savedDirs = oldDirs ? oldDirs : "",
                      savedUser = oldUser ? oldUser : "";
    unsetenv("QMX_SYSTEM_REGISTRY");

    const std::string first = Path("first"), second = Path("second");
    struct Case {
        std::string dirs;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"", "/etc/xdg/QMX/registry.ini"},                          // the default folder
        {first + ":" + second, first + "/QMX/registry.ini"},        // none exists: the first
        {"relative:" + second, second + "/QMX/registry.ini"},       // relative entries are ignored
    };
    for (const Case& c : cases) {
        c.dirs.empty() ? unsetenv("XDG_CONFIG_DIRS") : setenv("XDG_CONFIG_DIRS", c.dirs.c_str(), 1);
        EXPECT_EQ(qmx::RegistryStore::DefaultSystemPath(), c.expected) << c.dirs;
    }
    // The first folder whose store exists is taken.
    qmx::RegistryStore(second + "/QMX/registry.ini").CreateKey("SOFTWARE");
    setenv("XDG_CONFIG_DIRS", (first + ":" + second).c_str(), 1);
    EXPECT_EQ(qmx::RegistryStore::DefaultSystemPath(), second + "/QMX/registry.ini");
    // The override wins, and a default store opened on it reads it alone.
    setenv("QMX_SYSTEM_REGISTRY", Path("override.ini").c_str(), 1);
    EXPECT_EQ(qmx::RegistryStore::DefaultSystemPath(), Path("override.ini"));
    setenv("QMX_REGISTRY", Path("override.ini").c_str(), 1);
    EXPECT_TRUE(qmx::RegistryStore().SystemPath().empty());

    restore("QMX_SYSTEM_REGISTRY", oldSystem ? savedSystem.c_str() : nullptr);
    restore("XDG_CONFIG_DIRS", oldDirs ? savedDirs.c_str() : nullptr);
    restore("QMX_REGISTRY", oldUser ? savedUser.c_str() : nullptr);
}
