#include <set>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/app_commands.h"
#include "app/frame/window_placement.h"
#include "app/language_resources.h"
#include "automation/runtime/registry_store.h"

namespace qmx {
namespace {

// A folder holding the program's language files as a test arranges them.
class LanguageFolder {
public:
    LanguageFolder() : store_(dir_.filePath("registry.ini").toStdString()) {}

    void Add(const char* language, const QString& from)
    {
        ASSERT_TRUE(QFile::copy(from, dir_.filePath(LanguageResources::FileName(language))));
    }
    void AddGarbage(const char* language)
    {
        QFile file(dir_.filePath(LanguageResources::FileName(language)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a resource file");
    }
    void SetLanguage(const char* language) { store_.SetString(kSettingsKey, "Language", language); }
    bool Load() { return LanguageResources::Load(store_, dir_.path()); }
    QString Path(const char* language) const { return dir_.filePath(LanguageResources::FileName(language)); }

private:
    QTemporaryDir dir_;
    RegistryStore store_;
};

const QString kEnglish = QStringLiteral(QMX_ENGLISH_RCC);
const QString kTestLanguage = QStringLiteral(QMX_TEST_LANGUAGE_RCC);

TEST(LanguageResourcesTest, ChoosesTheLanguageElseEnglishElseFails)
{
    struct Row {
        const char* setting;  // null: no value
        bool englishPresent;
        bool testPresent;
        bool garbagePresent;
        bool loads;
        const char* file;  // the one in use afterwards
        const char* title;
    };
    const Row rows[] = {
        {nullptr, true, true, false, true, "English", "QMXGantt"},
        {"Test", true, true, false, true, "Test", "Test title"},
        {"Klingon", true, true, false, true, "English", "QMXGantt"},
        {"Broken", true, false, true, true, "English", "QMXGantt"},
        {"../Test", true, true, false, true, "English", "QMXGantt"},
        {"", true, false, false, true, "English", "QMXGantt"},
        {"Test", false, true, false, true, "Test", "Test title"},
        {"Klingon", false, true, false, false, nullptr, nullptr},
        {nullptr, false, false, false, false, nullptr, nullptr},
    };
    for (const Row& row : rows) {
        LanguageFolder folder;
        if (row.englishPresent) folder.Add("English", kEnglish);
        if (row.testPresent) folder.Add("Test", kTestLanguage);
        if (row.garbagePresent) folder.AddGarbage("Broken");
        if (row.setting) folder.SetLanguage(row.setting);
        const std::string context = row.setting ? row.setting : "(none)";
        ASSERT_TRUE(LanguageResources::LoadFile(kEnglish));
        if (!row.loads) {
            const QString before = LanguageResources::LoadedFile();
            EXPECT_FALSE(folder.Load()) << context;
            // What was loaded before stays in use.
            EXPECT_EQ(LanguageResources::LoadedFile(), before) << context;
            continue;
        }
        ASSERT_TRUE(folder.Load()) << context;
        EXPECT_EQ(LanguageResources::LoadedFile(), folder.Path(row.file)) << context;
        EXPECT_EQ(LanguageResources::String(128), QString::fromUtf8(row.title)) << context;
    }
    EXPECT_TRUE(LanguageResources::FileName(QString(257, u'a')).isEmpty());
    EXPECT_FALSE(LanguageResources::FileName(QString(256, u'a')).isEmpty());
    EXPECT_TRUE(LanguageResources::FileName(QStringLiteral("a\nb")).isEmpty());
    EXPECT_TRUE(LanguageResources::FileName(QStringLiteral("..")).isEmpty());
}

class EnglishTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LanguageResources::LoadFile(kEnglish)); }
};

// Every command a menu or tool bar names, walking sub-menus.
void CollectCommands(const std::vector<MenuItemSpec>& items, std::set<int>& into)
{
    for (const MenuItemSpec& item : items) {
        if (item.commandId) into.insert(item.commandId);
        CollectCommands(item.children, into);
    }
}

TEST_F(EnglishTest, HoldsEveryStringTheProgramNames)
{
    std::vector<int> ids = {128, 129, 173, 60000};
    for (int id = 130; id <= 165; ++id) ids.push_back(id);
    for (int id : ids) EXPECT_FALSE(LanguageResources::String(id).isEmpty()) << id;
    EXPECT_EQ(LanguageResources::String(144), QStringLiteral("Task Properties"));
    EXPECT_EQ(LanguageResources::String(161), QStringLiteral("hours"));
    // The formats take their arguments in order.
    EXPECT_EQ(LanguageResources::String(131).count(QStringLiteral("%s")), 2);
    EXPECT_EQ(LanguageResources::String(132).count(QStringLiteral("%s")), 1);
    // A command answers its prompt and tool-tip, as the window reads them.
    EXPECT_EQ(LanguageResources::String(57603), QStringLiteral("Save the document\nSave"));
    // The units are told apart by their first letters.
    EXPECT_NE(LanguageResources::String(161)[0], LanguageResources::String(162)[0]);
    EXPECT_NE(LanguageResources::String(162)[0], LanguageResources::String(163)[0]);
}

TEST_F(EnglishTest, MenusToolBarsAndAcceleratorsReachEveryCommand)
{
    const auto standalone = LanguageResources::Menu(128);
    const auto hosted = LanguageResources::Menu(129);
    const auto context = LanguageResources::Menu(4);
    ASSERT_FALSE(standalone.empty());
    ASSERT_FALSE(hosted.empty());
    ASSERT_EQ(context.size(), 2u);  // the task tree's, the resource list's

    std::set<int> inStandalone, inHosted;
    CollectCommands(standalone, inStandalone);
    CollectCommands(hosted, inHosted);
    for (int id : kAppCommandIds) EXPECT_TRUE(inStandalone.count(id) || inHosted.count(id)) << id;
    for (int id : {57600, 57601, 57603, 40003, 57602, 40006, 57665, 57664, 126, kFirstRecentFileCommandId})
        EXPECT_TRUE(inStandalone.count(id)) << id;
    for (int id : {125, 130}) EXPECT_TRUE(inHosted.count(id)) << id;

    std::set<int> commands = inStandalone;
    commands.insert(inHosted.begin(), inHosted.end());
    for (int bar : {128, 129}) {
        const auto buttons = LanguageResources::ToolBar(bar);
        ASSERT_FALSE(buttons.empty()) << bar;
        for (const ToolBarButtonSpec& button : buttons) {
            if (!button.commandId) continue;
            EXPECT_FALSE(LanguageResources::ToolBarIcon(button.iconName).isNull()) << button.iconName.toStdString();
            EXPECT_FALSE(LanguageResources::CommandToolTip(button.commandId).isEmpty()) << button.commandId;
            commands.insert(button.commandId);
        }
    }
    for (int id : commands) EXPECT_FALSE(LanguageResources::CommandPrompt(id).isEmpty()) << id;

    const auto accelerators = LanguageResources::Accelerators();
    ASSERT_FALSE(accelerators.empty());
    std::set<QKeySequence> keys;
    for (const AcceleratorSpec& accelerator : accelerators) {
        EXPECT_TRUE(commands.count(accelerator.commandId)) << accelerator.commandId;
        EXPECT_TRUE(keys.insert(accelerator.keys).second) << accelerator.keys.toString().toStdString();
    }
    EXPECT_FALSE(LanguageResources::Icon(128).isNull());
}

TEST_F(EnglishTest, DialogLayoutsLoad)
{
    for (int id : {100, 109, 112, 113, 114, 115, 116, 139}) {
        const auto dialog = LanguageResources::LoadDialog(id, nullptr);
        EXPECT_TRUE(dialog) << id;
    }
    EXPECT_FALSE(LanguageResources::LoadDialog(999, nullptr));
}

}  // namespace
}  // namespace qmx
