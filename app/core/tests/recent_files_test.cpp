#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/core/profile_recent_files.h"
#include "automation/runtime/registry_store.h"

namespace qmx {
namespace {

const std::string kKey = RecentFileListKey(u"QMX");

TEST(RecentFilesTest, MostRecentFirstWithoutDuplicatesAtMostFive)
{
    QTemporaryDir dir;
    RegistryStore store(dir.filePath("registry.ini").toStdString());
    ProfileRecentFiles list(&store, kKey);
    for (const char16_t* name : {u"/a.xml", u"/b.xml", u"/c.xml", u"/d.xml", u"/e.xml", u"/f.xml"}) list.Add(name);
    EXPECT_EQ(list.Files(), (std::vector<std::u16string>{u"/f.xml", u"/e.xml", u"/d.xml", u"/c.xml", u"/b.xml"}));

    list.Add(u"/c.xml");  // moves to the front
    list.Add(u"/C.xml");  // another file: names are case-sensitive
    EXPECT_EQ(list.Files(), (std::vector<std::u16string>{u"/C.xml", u"/c.xml", u"/f.xml", u"/e.xml", u"/d.xml"}));
    list.Add(u"");  // nothing
    list.Remove(1);
    list.Remove(17);  // out of range: nothing
    EXPECT_EQ(list.Files(), (std::vector<std::u16string>{u"/C.xml", u"/f.xml", u"/e.xml", u"/d.xml"}));

    // The list is the user's: another start reads it back.
    ProfileRecentFiles again(&store, kKey);
    EXPECT_EQ(again.Files(), list.Files());
    EXPECT_EQ(store.GetString(kKey, "File1"), "/C.xml");
    EXPECT_FALSE(store.GetString(kKey, "File5"));
}

TEST(RecentFilesTest, StoredListIsReadDefensively)
{
    QTemporaryDir dir;
    RegistryStore store(dir.filePath("registry.ini").toStdString());
    // Gaps, duplicates and a name that is not UTF-8 (kept byte for byte).
    store.SetString(kKey, "File1", "/x.xml");
    store.SetString(kKey, "File3", "/x.xml");
    store.SetString(kKey, "File4", "/caf\xE9.xml");
    store.SetString(kKey, "File9", "/ignored.xml");
    ProfileRecentFiles list(&store, kKey);
    ASSERT_EQ(list.Files().size(), 2u);
    EXPECT_EQ(list.Files()[0], u"/x.xml");
    list.Add(u"/y.xml");
    ProfileRecentFiles again(&store, kKey);
    EXPECT_EQ(store.GetString(kKey, "File3"), "/caf\xE9.xml");
    EXPECT_EQ(again.Files(), list.Files());
}

TEST(RecentFilesTest, ProfileKeyStaysInsideTheProgramsKey)
{
    EXPECT_EQ(RecentFileListKey(u"QMX"), "Software/QMX/QMXGanttDisplay/Recent File List");
    EXPECT_EQ(RecentFileListKey(u"../a/b"), "Software/.._a_b/QMXGanttDisplay/Recent File List");
    EXPECT_EQ(RecentFileListKey(u""), "Software/QMX/QMXGanttDisplay/Recent File List");
}

}  // namespace
}  // namespace qmx
