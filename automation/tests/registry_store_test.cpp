// The registry store over an INI file.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>

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
