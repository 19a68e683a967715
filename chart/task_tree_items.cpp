#include "chart/task_tree_items.h"

namespace qmx {

TaskTreeItems::TaskTreeItems()
{
    root_.expanded = true;
}

TaskTreeItems::~TaskTreeItems()
{
    observer_ = nullptr;
    DeleteAll();
}

void TaskTreeItems::Link(TreeItem* item, TreeItem* parent, TreeItem* after)
{
    item->parent = parent;
    item->prev = after;
    item->next = after ? after->next : parent->firstChild;
    if (item->next) {
        item->next->prev = item;
    } else {
        parent->lastChild = item;
    }
    if (after) {
        after->next = item;
    } else {
        parent->firstChild = item;
    }
}

void TaskTreeItems::Unlink(TreeItem* item)
{
    TreeItem* parent = item->parent;
    if (item->prev) {
        item->prev->next = item->next;
    } else {
        parent->firstChild = item->next;
    }
    if (item->next) {
        item->next->prev = item->prev;
    } else {
        parent->lastChild = item->prev;
    }
    item->prev = item->next = nullptr;
}

TreeItem* TaskTreeItems::InsertAfter(TreeItem* parent, TreeItem* after, ITask* task, const QString& text)
{
    if (!parent) parent = &root_;
    if (after && after->parent != parent) after = parent->lastChild;
    auto* item = new TreeItem;
    item->task = task;
    item->text = text;
    Link(item, parent, after);
    ++count_;
    // An item appended below the last visible row extends the rows without
    // a rebuild, as a file being read does for every task.
    if (rowsValid_ && !item->next && parent->expanded && (IsRoot(parent) || RowOf(parent) >= 0)) {
        const TreeItem* last = rows_.empty() ? nullptr : rows_.back();
        const TreeItem* before = item->prev ? item->prev : parent;
        bool lastInDisplay = before == last || (IsRoot(before) && !last);
        if (!lastInDisplay && item->prev) {
            // The previous sibling's subtree may end with the last row.
            const TreeItem* end = item->prev;
            while (end->expanded && end->lastChild) end = end->lastChild;
            lastInDisplay = end == last;
        }
        if (lastInDisplay) {
            item->row = static_cast<LONG>(rows_.size());
            item->rowStamp = rowStamp_;
            rows_.push_back(item);
            if (observer_) observer_->OnItemRowsChanged();
            return item;
        }
    }
    RowsChanged();
    return item;
}

TreeItem* TaskTreeItems::Append(TreeItem* parent, ITask* task, const QString& text)
{
    if (!parent) parent = &root_;
    return InsertAfter(parent, parent->lastChild, task, text);
}

void TaskTreeItems::CaretLeaving(TreeItem* item)
{
    if (!caret_) return;
    const TreeItem* i = caret_;
    while (i && i != item) i = i->parent;
    if (!i) return;
    TreeItem* next = item->next ? item->next : item->prev;
    if (!next && !IsRoot(item->parent)) next = item->parent;
    SetCaret(next);
}

void TaskTreeItems::Deleting(TreeItem* item)
{
    if (item->selected) --selectedCount_;
    if (caret_ == item) caret_ = nullptr;
    if (anchor_ == item) anchor_ = nullptr;
    --count_;
    if (observer_) observer_->OnItemDeleting(item);
}

void TaskTreeItems::DeleteAll()
{
    SetCaret(nullptr);
    while (root_.lastChild) {
        TreeItem* last = root_.lastChild;
        Unlink(last);
        last->parent = &root_;
        // Delete's caret handling is not needed any more.
        TreeItem* i = last;
        while (i) {
            while (i->firstChild) i = i->firstChild;
            TreeItem* parent = i == last ? nullptr : i->parent;
            if (parent) {
                parent->firstChild = i->next;
                if (!i->next) parent->lastChild = nullptr;
            }
            Deleting(i);
            delete i;
            i = parent;
        }
    }
    selectedCount_ = 0;
    count_ = 0;
    RowsChanged();
}

void TaskTreeItems::Move(TreeItem* item, TreeItem* newParent, TreeItem* after)
{
    if (!item || IsRoot(item)) return;
    if (!newParent) newParent = &root_;
    if (after == item) after = item->prev;
    if (after && after->parent != newParent) after = nullptr;
    Unlink(item);
    Link(item, newParent, after);
    RowsChanged();
}

void TaskTreeItems::SetText(TreeItem* item, const QString& text)
{
    if (item->text == text) return;
    item->text = text;
    if (observer_) observer_->OnItemLookChanged(item);
}

void TaskTreeItems::SetLook(TreeItem* item, int image, bool bold)
{
    if (item->image == image && item->bold == bold) return;
    item->image = image;
    item->bold = bold;
    if (observer_) observer_->OnItemLookChanged(item);
}

void TaskTreeItems::SetExpanded(TreeItem* item, bool expanded)
{
    if (!item || IsRoot(item) || item->expanded == expanded) return;
    if (!expanded) CaretToCollapsing(item);
    item->expanded = expanded;
    if (item->HasChildren()) RowsChanged();
}

void TaskTreeItems::CaretToCollapsing(TreeItem* item)
{
    // A caret hidden by the collapse moves up to the collapsed item.
    if (!caret_ || caret_ == item) return;
    const TreeItem* i = caret_->parent;
    while (i && i != item) i = i->parent;
    if (i) SetCaret(item);
}

void TaskTreeItems::CollapseSubtree(TreeItem* item)
{
    if (!item || IsRoot(item)) return;
    CaretToCollapsing(item);
    item->expanded = false;
    ForEachDescendant(item, [](TreeItem* i) { i->expanded = false; });
    RowsChanged();
}

void TaskTreeItems::RowsChanged()
{
    rowsValid_ = false;
    if (observer_) observer_->OnItemRowsChanged();
}

void TaskTreeItems::BuildRows()
{
    rows_.clear();
    ++rowStamp_;
    // Depth first through expanded items only: the walk never enters a
    // collapsed subtree, so collapsed children cost nothing.
    TreeItem* i = root_.firstChild;
    while (i) {
        i->row = static_cast<LONG>(rows_.size());
        i->rowStamp = rowStamp_;
        rows_.push_back(i);
        if (i->expanded && i->firstChild) {
            i = i->firstChild;
            continue;
        }
        while (i && !i->next) i = IsRoot(i->parent) ? nullptr : i->parent;
        if (i) i = i->next;
    }
    rowsValid_ = true;
}

const std::vector<TreeItem*>& TaskTreeItems::VisibleRows()
{
    if (!rowsValid_) BuildRows();
    return rows_;
}

LONG TaskTreeItems::RowOf(TreeItem* item)
{
    if (!item || IsRoot(item)) return -1;
    if (!rowsValid_) BuildRows();
    return item->rowStamp == rowStamp_ ? item->row : -1;
}

TreeItem* TaskTreeItems::NextVisible(TreeItem* item)
{
    const LONG row = RowOf(item);
    if (row < 0 || std::size_t(row) + 1 >= rows_.size()) return nullptr;
    return rows_[std::size_t(row) + 1];
}

TreeItem* TaskTreeItems::PrevVisible(TreeItem* item)
{
    const LONG row = RowOf(item);
    if (row <= 0) return nullptr;
    return rows_[std::size_t(row) - 1];
}

int TaskTreeItems::Depth(const TreeItem* item)
{
    int depth = -1;
    for (const TreeItem* i = item; i && i->parent; i = i->parent) ++depth;
    return depth;
}

void TaskTreeItems::SetSelected(TreeItem* item, bool selected)
{
    if (!item || IsRoot(item) || item->selected == selected) return;
    item->selected = selected;
    selected ? ++selectedCount_ : --selectedCount_;
    if (observer_) observer_->OnItemSelectionChanged();
}

void TaskTreeItems::SetCaret(TreeItem* item)
{
    if (item && IsRoot(item)) item = nullptr;
    if (item == caret_) {
        SetSelected(item, true);
        return;
    }
    if (caret_) SetSelected(caret_, false);
    caret_ = item;
    if (item) SetSelected(item, true);
    if (observer_) observer_->OnItemSelectionChanged();
}

void TaskTreeItems::ClearSelection()
{
    const std::size_t caretBit = caret_ && caret_->selected ? 1 : 0;
    if (selectedCount_ > caretBit) {
        Observer* observer = observer_;
        observer_ = nullptr;  // one notification for the whole clear
        ForEachDescendant(&root_, [this](TreeItem* i) { SetSelected(i, false); });
        observer_ = observer;
    }
    if (caret_) caret_->selected ? void() : SetSelected(caret_, true);
    if (observer_) observer_->OnItemSelectionChanged();
}

void TaskTreeItems::SelectOnly(TreeItem* item)
{
    ClearSelection();
    SetCaret(item);
}

void TaskTreeItems::Toggle(TreeItem* item, bool flip)
{
    if (!item) return;
    const bool wasSelected = item->selected;
    TreeItem* old = caret_;
    const bool oldSelected = old && old->selected;
    SetCaret(item);
    if (old && old != item) SetSelected(old, oldSelected);
    SetSelected(item, flip ? !wasSelected : true);
}

void TaskTreeItems::SelectRange(TreeItem* anchor, TreeItem* item)
{
    if (!anchor || !item) return;
    if (anchor == item) {
        ClearSelection();
        SetCaret(item);
        return;
    }
    const LONG from = RowOf(anchor);
    const LONG to = RowOf(item);
    if (from < 0 || to < 0) {
        SelectOnly(item);
        return;
    }
    ClearSelection();
    SetCaret(item);
    const LONG first = from < to ? from : to;
    const LONG last = from < to ? to : from;
    Observer* observer = observer_;
    observer_ = nullptr;
    for (LONG row = first; row <= last; ++row) SetSelected(rows_[std::size_t(row)], true);
    observer_ = observer;
    if (observer_) observer_->OnItemSelectionChanged();
}

void TaskTreeItems::DeselectDescendants(TreeItem* item)
{
    if (!item) return;
    bool changed = false;
    ForEachDescendant(item, [&](TreeItem* i) {
        if (i->selected) {
            i->selected = false;
            --selectedCount_;
            changed = true;
        }
    });
    if (changed && observer_) observer_->OnItemSelectionChanged();
}

}  // namespace qmx
