// The task tree pane's view: the items of a TaskTreeItems drawn as a tree
// view of 18-pixel rows with buttons, lines (also at the root), images and
// labels, the vertical scroll bar on the left and a horizontal one that is
// always shown. It applies the task tree's selection rules to mouse and
// keyboard (caret plus selected bits, Control toggles, Shift ranges from the
// anchor) and edits labels in place; what the container must hear goes to
// its Handler.
#pragma once

#include <QFont>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "automation/types.h"
#include "chart/task_tree_items.h"

class QLineEdit;
class QScrollBar;

namespace qmx {

class TaskTreeView final : public QWidget {
public:
    static constexpr int kRowHeight = 18;
    static constexpr int kIndent = 19;

    struct Handler {
        // A key went down, before the tree handles it; true consumes it.
        virtual bool OnTreeKeyDown(LONG virtualKey) = 0;
        virtual void OnTreeDoubleClick(TreeItem* item) = 0;
        // Screen coordinates.
        virtual void OnTreeContextMenu(const QPoint& globalPos) = 0;
        // The rows moved vertically.
        virtual void OnTreeScrolled() = 0;
        // A label edit ended: with the new text, or null when cancelled.
        // Returns whether the text is taken.
        virtual bool OnTreeLabelEdited(TreeItem* item, const QString* text) = 0;
        // An item was expanded or collapsed by the user.
        virtual void OnTreeItemExpanded(TreeItem* item) = 0;

    protected:
        ~Handler() = default;
    };

    // Where a point falls on a row.
    enum class HitPart { Nowhere, Indent, Button, Icon, Label, Right };
    struct Hit {
        TreeItem* item = nullptr;
        HitPart part = HitPart::Nowhere;
    };

    TaskTreeView(TaskTreeItems& items, Handler* handler, QWidget* parent);
    ~TaskTreeView() override;

    // Null when the container is going: no more calls to it.
    void SetHandler(Handler* handler) { handler_ = handler; }

    // The area inside the scroll bars, in widget coordinates: the tree-view
    // client area.
    QRect ClientRect() const;
    LONG FirstRow();
    void SetFirstRow(LONG row);
    // The item's whole row and its label in client coordinates; null when
    // it has no row.
    QRect ItemRowRect(TreeItem* item);
    QRect ItemTextRect(TreeItem* item);
    // Client coordinates.
    Hit HitTest(const QPoint& clientPos);

    // Expands the item's ancestors and scrolls it into view.
    void EnsureVisible(TreeItem* item);
    void BeginEdit(TreeItem* item);
    // Ends a running edit, keeping (save) or dropping its text.
    void EndEdit(bool save);
    QLineEdit* Editor() const { return editor_; }
    TreeItem* EditedItem() const { return edited_; }

    // Told by the items' owner.
    void ItemsChanged();
    void ItemDeleting(TreeItem* item);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayoutScrollBars();
    void UpdateScrollRanges();
    int PageRows() const;
    int LabelLeft(const TreeItem* item) const;
    int LabelWidth(const TreeItem* item) const;
    const QFont& FontOf(const TreeItem* item) const { return item->bold ? boldFont_ : font_; }
    void PaintRow(QPainter& painter, TreeItem* item, int y, const QRect& client);
    // The tree's own handling of keys and clicks.
    void DefaultKey(LONG virtualKey);
    void MoveCaret(TreeItem* item);
    void ToggleExpanded(TreeItem* item);
    void SetExpandedByUser(TreeItem* item, bool expanded);
    void ShiftMove(bool down);
    void ControlMove(bool down);

    TaskTreeItems& items_;
    Handler* handler_;
    QScrollBar* vbar_;
    QScrollBar* hbar_;
    QFont font_;
    QFont boldFont_;
    int contentWidth_ = 0;
    bool rangesValid_ = false;
    QLineEdit* editor_;
    TreeItem* edited_ = nullptr;
    bool ending_ = false;
    // The click on the caret's label starts an edit when no double click
    // follows.
    QTimer editTimer_;
    TreeItem* editCandidate_ = nullptr;
};

}  // namespace qmx
