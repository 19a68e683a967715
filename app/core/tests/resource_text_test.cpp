#include <gtest/gtest.h>

#include "app/core/resource_text.h"

namespace qmx {
namespace {

TEST(ResourceTextTest, EntriesWithEscapesNotesAndBadLines)
{
    QStringList problems;
    const auto entries = ParseEntries(QStringLiteral("# a note\n"
                                                     "130 = One\\ttwo\\nthree \\\\ \\q\r\n"
                                                     "\n"
                                                     "  131=  a = b  \n"
                                                     "x = no id\n"
                                                     "70000 = too large\n"
                                                     "no equals sign\n"
                                                     "132 =\n"),
                                      &problems);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].id, 130);
    EXPECT_EQ(entries[0].text, QStringLiteral("One\ttwo\nthree \\ \\q"));
    EXPECT_EQ(entries[1].text, QStringLiteral("a = b"));
    EXPECT_EQ(entries[2].text, QString());
    EXPECT_EQ(problems, (QStringList{"line 5: expected \"ID = text\"", "line 6: expected \"ID = text\"",
                                     "line 7: expected \"ID = text\""}));
}

TEST(ResourceTextTest, MenusNestByIndentation)
{
    QStringList problems;
    const auto menus = ParseMenus(QStringLiteral("menu 128\n"
                                                 "  popup &File\n"
                                                 "    57600 &New...\n"
                                                 "    separator\n"
                                                 "    popup Sub\n"
                                                 "\t\t\t1 Deep\n"  // tabs: column 12
                                                 "    57665 E&xit\n"
                                                 "  popup &Edit\n"
                                                 "    57635 Cu&t\n"
                                                 "menu 4\n"
                                                 "    popup Tasks\n"
                                                 "        40010 New\n"),
                                  &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
    ASSERT_EQ(menus.size(), 2u);
    const auto& main = menus.at(128);
    ASSERT_EQ(main.size(), 2u);
    EXPECT_EQ(main[0].text, QStringLiteral("&File"));
    ASSERT_EQ(main[0].children.size(), 4u);
    EXPECT_EQ(main[0].children[0].commandId, 57600);
    EXPECT_TRUE(main[0].children[1].text.isEmpty());  // separator
    ASSERT_EQ(main[0].children[2].children.size(), 1u);
    EXPECT_EQ(main[0].children[2].children[0].text, QStringLiteral("Deep"));
    EXPECT_EQ(main[0].children[3].commandId, 57665);
    EXPECT_EQ(main[1].children.at(0).commandId, 57635);
    EXPECT_EQ(menus.at(4).at(0).children.at(0).commandId, 40010);
}

TEST(ResourceTextTest, BrokenMenusAreReportedAndSkipped)
{
    QStringList problems;
    const auto menus = ParseMenus(QStringLiteral("  57600 before any menu\n"
                                                 "menu x\n"
                                                 "menu 5\n"
                                                 "  popup A\n"
                                                 "      1 One\n"
                                                 "    2 between two levels\n"
                                                 "  3 Three\n"
                                                 "      4 under an item\n"
                                                 "  popup\n"
                                                 "  0 zero id\n"
                                                 "menu 5\n"
                                                 "  7 Again\n"),
                                  &problems);
    EXPECT_EQ(problems.size(), 7) << problems.join('\n').toStdString();
    // The second block of menu 5 replaces the first.
    ASSERT_EQ(menus.at(5).size(), 1u);
    EXPECT_EQ(menus.at(5)[0].commandId, 7);
}

TEST(ResourceTextTest, ToolBarsAndCommandTexts)
{
    QStringList problems;
    const auto bars = ParseToolBars(
        QStringLiteral("toolbar 128\n  57600 new\n  separator\n  57601 ../open\n  57603\ntoolbar 129\n  130 refresh\n"),
        &problems);
    EXPECT_EQ(problems.size(), 2);
    ASSERT_EQ(bars.at(128).size(), 2u);
    EXPECT_EQ(bars.at(128)[0].iconName, QStringLiteral("new"));
    EXPECT_EQ(bars.at(128)[1].commandId, 0);
    EXPECT_EQ(bars.at(129)[0].commandId, 130);

    EXPECT_EQ(SplitCommandText(QStringLiteral("Save the document | Save")),
              std::make_pair(QStringLiteral("Save the document"), QStringLiteral("Save")));
    EXPECT_EQ(SplitCommandText(QStringLiteral("Only a prompt")),
              std::make_pair(QStringLiteral("Only a prompt"), QString()));
}

}  // namespace
}  // namespace qmx
