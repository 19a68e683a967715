// The task tree's items without a window: rows, the caret and selected bits,
// ranges, deletion and moves, against a plain recount.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "chart/task_tree_items.h"

namespace qmx {
namespace {

// The visible items by a plain recursive walk, for comparison.
void CountRows(TreeItem* parent, std::vector<TreeItem*>& rows)
{
    for (TreeItem* i = parent->firstChild; i; i = i->next) {
        rows.push_back(i);
        if (i->expanded) CountRows(i, rows);
    }
}

std::vector<QString> Texts(const std::vector<TreeItem*>& items)
{
    std::vector<QString> texts;
    for (const TreeItem* i : items) texts.push_back(i->text);
    return texts;
}

std::vector<QString> SelectedTexts(TaskTreeItems& items)
{
    std::vector<QString> texts;
    for (TreeItem* i : items.VisibleRows()) {
        if (i->selected) texts.push_back(i->text);
    }
    return texts;
}

// a, b (b1, b2 (b21)), c, all expanded.
struct Plan {
    TaskTreeItems items;
    TreeItem *a, *b, *b1, *b2, *b21, *c;
    Plan()
    {
        a = items.Append(nullptr, nullptr, "a");
        b = items.Append(nullptr, nullptr, "b");
        c = items.Append(nullptr, nullptr, "c");
        b1 = items.Append(b, nullptr, "b1");
        b2 = items.Append(b, nullptr, "b2");
        b21 = items.Append(b2, nullptr, "b21");
        items.SetExpanded(b, true);
        items.SetExpanded(b2, true);
    }
};

TEST(TaskTreeItems, RowsFollowExpansion)
{
    Plan p;
    EXPECT_EQ(Texts(p.items.VisibleRows()), (std::vector<QString>{"a", "b", "b1", "b2", "b21", "c"}));
    p.items.SetExpanded(p.b, false);
    EXPECT_EQ(Texts(p.items.VisibleRows()), (std::vector<QString>{"a", "b", "c"}));
    EXPECT_EQ(p.items.RowOf(p.b21), -1);
    EXPECT_EQ(p.items.RowOf(p.c), 2);
    // The inner item kept its state while hidden.
    p.items.SetExpanded(p.b, true);
    EXPECT_EQ(p.items.RowOf(p.b21), 4);
}

TEST(TaskTreeItems, InsertAfterKeepsTheGivenOrder)
{
    Plan p;
    TreeItem* first = p.items.InsertAfter(p.b, nullptr, nullptr, "b0");
    TreeItem* mid = p.items.InsertAfter(nullptr, p.a, nullptr, "ab");
    EXPECT_EQ(Texts(p.items.VisibleRows()), (std::vector<QString>{"a", "ab", "b", "b0", "b1", "b2", "b21", "c"}));
    EXPECT_EQ(p.items.RowOf(first), 3);
    EXPECT_EQ(p.items.RowOf(mid), 1);
}

TEST(TaskTreeItems, AppendedRowsMatchARecountAfterRandomEdits)
{
    std::mt19937 random(7);
    TaskTreeItems items;
    std::vector<TreeItem*> all;
    for (int step = 0; step < 2000; ++step) {
        const int action = int(random() % 10);
        if (all.empty() || action < 6) {
            TreeItem* parent = all.empty() || random() % 3 == 0 ? nullptr : all[random() % all.size()];
            all.push_back(items.Append(parent, nullptr, QString::number(step)));
        } else if (action < 8) {
            TreeItem* item = all[random() % all.size()];
            items.SetExpanded(item, !item->expanded);
        } else if (action == 8) {
            TreeItem* item = all[random() % all.size()];
            items.Delete(item, [&all](TreeItem* gone) { std::erase(all, gone); });
        } else {
            (void)items.VisibleRows();  // rows valid: the next appends take the short way
        }
        if (step % 50 == 0) {
            std::vector<TreeItem*> expected;
            CountRows(items.Root(), expected);
            ASSERT_EQ(items.VisibleRows(), expected) << "step " << step;
            for (std::size_t row = 0; row < expected.size(); ++row)
                ASSERT_EQ(items.RowOf(expected[row]), LONG(row));
        }
    }
    EXPECT_EQ(items.Count(), all.size());
}

TEST(TaskTreeItems, SelectionOperations)
{
    struct Case {
        const char* name;
        void (*act)(Plan&);
        std::vector<QString> selected;
        const char* caret;
    };
    const Case cases[] = {
        {"select only", [](Plan& p) { p.items.SelectOnly(p.b1); }, {"b1"}, "b1"},
        {"toggle three",
         [](Plan& p) {
             p.items.SelectOnly(p.a);
             p.items.Toggle(p.b2, true);
             p.items.Toggle(p.c, true);
         },
         {"a", "b2", "c"},
         "c"},
        {"toggle off the caret's bit",
         [](Plan& p) {
             p.items.SelectOnly(p.a);
             p.items.Toggle(p.b, true);
             p.items.Toggle(p.b, true);
         },
         {"a"},
         "b"},
        {"toggle without flip keeps it selected",
         [](Plan& p) {
             p.items.SelectOnly(p.a);
             p.items.Toggle(p.b, false);
         },
         {"a", "b"},
         "b"},
        {"range downwards",
         [](Plan& p) {
             p.items.SelectOnly(p.b);
             p.items.SelectRange(p.b, p.b21);
         },
         {"b", "b1", "b2", "b21"},
         "b21"},
        {"range upwards",
         [](Plan& p) {
             p.items.SelectOnly(p.c);
             p.items.SelectRange(p.c, p.b1);
         },
         {"b1", "b2", "b21", "c"},
         "b1"},
        {"range replaces an earlier selection",
         [](Plan& p) {
             p.items.SelectOnly(p.a);
             p.items.Toggle(p.c, true);
             p.items.SelectRange(p.b1, p.b2);
         },
         {"b1", "b2"},
         "b2"},
        {"range without anchor does nothing",
         [](Plan& p) {
             p.items.SelectOnly(p.a);
             p.items.SelectRange(nullptr, p.c);
         },
         {"a"},
         "a"},
        {"clear keeps the caret",
         [](Plan& p) {
             p.items.SelectOnly(p.a);
             p.items.Toggle(p.c, true);
             p.items.ClearSelection();
         },
         {"c"},
         "c"},
        {"no caret",
         [](Plan& p) {
             p.items.SelectOnly(p.a);
             p.items.ClearSelection();
             p.items.SetCaret(nullptr);
         },
         {},
         ""},
        {"deselect descendants",
         [](Plan& p) {
             p.items.SelectOnly(p.b);
             p.items.SelectRange(p.b, p.c);
             p.items.DeselectDescendants(p.b);
         },
         {"b", "c"},
         "c"},
        {"collapse moves a hidden caret up",
         [](Plan& p) {
             p.items.SelectOnly(p.b21);
             p.items.SetExpanded(p.b, false);
         },
         {"b"},
         "b"},
        {"deleting the caret moves it to the next sibling",
         [](Plan& p) {
             p.items.SelectOnly(p.b1);
             p.items.Delete(p.b1);
         },
         {"b2"},
         "b2"},
        {"deleting the last child's caret moves it to the previous one",
         [](Plan& p) {
             p.items.SelectOnly(p.b21);
             p.items.Delete(p.b2);
         },
         {"b1"},
         "b1"},
    };
    for (const Case& c : cases) {
        Plan p;
        c.act(p);
        EXPECT_EQ(SelectedTexts(p.items), c.selected) << c.name;
        EXPECT_EQ(p.items.Caret() ? p.items.Caret()->text : QString(), QString(c.caret)) << c.name;
        EXPECT_EQ(p.items.SelectedCount(), c.selected.size()) << c.name;
    }
}

TEST(TaskTreeItems, MoveKeepsTheSubtreeAndItsStates)
{
    Plan p;
    p.items.SetLook(p.b2, 5, true);
    p.items.Move(p.b2, p.a, nullptr);
    EXPECT_EQ(p.b2->parent, p.a);
    EXPECT_TRUE(p.b2->expanded);
    EXPECT_TRUE(p.b2->bold);
    EXPECT_EQ(p.b21->parent, p.b2);
    p.items.SetExpanded(p.a, true);
    EXPECT_EQ(Texts(p.items.VisibleRows()), (std::vector<QString>{"a", "b2", "b21", "b", "b1", "c"}));
    // To the front of the root list, then after c.
    p.items.Move(p.c, nullptr, nullptr);
    p.items.Move(p.a, nullptr, p.b);
    EXPECT_EQ(Texts(p.items.VisibleRows()), (std::vector<QString>{"c", "b", "b1", "a", "b2", "b21"}));
}

TEST(TaskTreeItems, DeletingADeepChainNeedsNoRecursion)
{
    TaskTreeItems items;
    TreeItem* parent = nullptr;
    TreeItem* top = nullptr;
    for (int depth = 0; depth < 200000; ++depth) {
        parent = items.Append(parent, nullptr, QString());
        items.SetExpanded(parent, true);
        if (!top) top = parent;
    }
    EXPECT_EQ(items.VisibleRows().size(), 200000u);
    int deleted = 0;
    items.SetAnchor(parent);
    items.Delete(top, [&deleted](TreeItem*) { ++deleted; });
    EXPECT_EQ(deleted, 200000);
    EXPECT_EQ(items.Count(), 0u);
    EXPECT_EQ(items.Anchor(), nullptr);
    EXPECT_TRUE(items.VisibleRows().empty());
}

}  // namespace
}  // namespace qmx
