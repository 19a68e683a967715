// The items of the task tree view, kept apart from its window: an ordered
// tree of items with their text, image, bold, expanded and selected states,
// the caret, the rows of the visible items and the selection operations of
// the task tree. Every walk is iterative, and rows are rebuilt lazily in one
// pass after a change of structure or expansion, so that the row of an item
// is a lookup.
#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "automation/types.h"

struct ITask;

namespace qmx {

struct TreeItem {
    ITask* task = nullptr;  // no reference: the task keeps the item in its view cookie
    TreeItem* parent = nullptr;
    TreeItem* firstChild = nullptr;
    TreeItem* lastChild = nullptr;
    TreeItem* prev = nullptr;
    TreeItem* next = nullptr;
    QString text;
    int image = 0;
    bool bold = false;
    bool expanded = false;
    bool selected = false;
    // The visible row, valid while rowStamp equals the items' row stamp.
    LONG row = -1;
    std::uint64_t rowStamp = 0;

    bool HasChildren() const { return firstChild != nullptr; }
};

class TaskTreeItems {
public:
    // Told after changes the window shows.
    struct Observer {
        // Items were added, removed or moved, or expanded or collapsed.
        virtual void OnItemRowsChanged() = 0;
        // The text, image or bold state of an item changed.
        virtual void OnItemLookChanged(TreeItem* item) = 0;
        // The caret or a selected bit changed.
        virtual void OnItemSelectionChanged() = 0;
        // An item is about to be deleted (the caret has already moved on).
        virtual void OnItemDeleting(TreeItem* item) = 0;

    protected:
        ~Observer() = default;
    };

    TaskTreeItems();
    ~TaskTreeItems();
    TaskTreeItems(const TaskTreeItems&) = delete;
    TaskTreeItems& operator=(const TaskTreeItems&) = delete;

    void SetObserver(Observer* observer) { observer_ = observer; }

    // The invisible root; top-level items are its children.
    TreeItem* Root() { return &root_; }
    bool IsRoot(const TreeItem* item) const { return item == &root_; }

    // A new item under parent (null: the root) after the given sibling, or
    // first when after is null.
    TreeItem* InsertAfter(TreeItem* parent, TreeItem* after, ITask* task, const QString& text);
    TreeItem* Append(TreeItem* parent, ITask* task, const QString& text);
    // Deletes the item and its subtree; fn(item) is called for each deleted
    // item before it goes. If the caret is among them, the next sibling, else
    // the previous sibling, else the parent becomes the caret.
    template <class F>
    void Delete(TreeItem* item, F&& fn);
    void Delete(TreeItem* item)
    {
        Delete(item, [](TreeItem*) {});
    }
    // Deletes every item (no caret afterwards).
    void DeleteAll();
    // Moves the item with its subtree under newParent after the given
    // sibling (first when null). The subtree keeps its states.
    void Move(TreeItem* item, TreeItem* newParent, TreeItem* after);

    void SetText(TreeItem* item, const QString& text);
    void SetLook(TreeItem* item, int image, bool bold);
    // Expands or collapses one item (the state of an item without children
    // is kept for when children come). A caret hidden by a collapse moves to
    // the collapsed item.
    void SetExpanded(TreeItem* item, bool expanded);
    // Collapses the item and every item below it.
    void CollapseSubtree(TreeItem* item);

    // Rows: the visible items in display order (ancestors all expanded).
    const std::vector<TreeItem*>& VisibleRows();
    // The item's row, or -1 when it is hidden in a collapsed parent.
    LONG RowOf(TreeItem* item);
    // The visible item after or before, null at the ends.
    TreeItem* NextVisible(TreeItem* item);
    TreeItem* PrevVisible(TreeItem* item);
    // Depth below the root: 0 for top-level items.
    static int Depth(const TreeItem* item);

    // Selection. The caret always has its selected bit set by SetCaret; the
    // bits of other items make the multiple selection.
    TreeItem* Caret() const { return caret_; }
    // Makes the item the caret (null: none), clearing the old caret's bit.
    void SetCaret(TreeItem* item);
    void SetSelected(TreeItem* item, bool selected);
    // Removes every selected bit, then sets the caret's again.
    void ClearSelection();
    void SelectOnly(TreeItem* item);
    // The item becomes the caret, the old caret keeps its bit; with flip the
    // item's bit is the opposite of what it was.
    void Toggle(TreeItem* item, bool flip);
    // The visible items from the anchor to the item (either direction)
    // selected, the item the caret. Nothing without an anchor; an anchor
    // hidden in a collapsed parent selects only the item.
    void SelectRange(TreeItem* anchor, TreeItem* item);
    // Removes the selected bit from every item below the given one.
    void DeselectDescendants(TreeItem* item);
    std::size_t SelectedCount() const { return selectedCount_; }
    // The shift anchor: the caret when Shift was last pressed (in the tree
    // or on the chart); forgotten when its item goes.
    TreeItem* Anchor() const { return anchor_; }
    void SetAnchor(TreeItem* item) { anchor_ = item; }

    // Calls fn(item) for every item below the given one (not the item
    // itself), in display order.
    template <class F>
    void ForEachDescendant(TreeItem* item, F&& fn);
    std::size_t Count() const { return count_; }

private:
    static TreeItem* NextInSubtree(const TreeItem* top, TreeItem* item);
    void Link(TreeItem* item, TreeItem* parent, TreeItem* after);
    void Unlink(TreeItem* item);
    void RowsChanged();
    void BuildRows();
    void CaretLeaving(TreeItem* item);
    void CaretToCollapsing(TreeItem* item);
    void Deleting(TreeItem* item);

    TreeItem root_;
    TreeItem* caret_ = nullptr;
    TreeItem* anchor_ = nullptr;
    std::size_t selectedCount_ = 0;
    std::size_t count_ = 0;
    std::vector<TreeItem*> rows_;
    std::uint64_t rowStamp_ = 1;
    bool rowsValid_ = true;
    Observer* observer_ = nullptr;
};

// The item that follows in a depth-first walk limited to top's subtree.
inline TreeItem* TaskTreeItems::NextInSubtree(const TreeItem* top, TreeItem* item)
{
    if (item->firstChild) return item->firstChild;
    while (item != top) {
        if (item->next) return item->next;
        item = item->parent;
    }
    return nullptr;
}

template <class F>
void TaskTreeItems::ForEachDescendant(TreeItem* item, F&& fn)
{
    for (TreeItem* i = item->firstChild ? item->firstChild : nullptr; i; i = NextInSubtree(item, i)) fn(i);
}

template <class F>
void TaskTreeItems::Delete(TreeItem* item, F&& fn)
{
    if (!item || IsRoot(item)) return;
    CaretLeaving(item);
    Unlink(item);
    // Post-order without recursion: descend to a leaf, delete it, go on.
    TreeItem* i = item;
    while (i) {
        while (i->firstChild) i = i->firstChild;
        TreeItem* parent = i == item ? nullptr : i->parent;
        if (parent) {
            parent->firstChild = i->next;
            if (!i->next) parent->lastChild = nullptr;
        }
        fn(i);
        Deleting(i);
        delete i;
        i = parent;
    }
    RowsChanged();
}

}  // namespace qmx
