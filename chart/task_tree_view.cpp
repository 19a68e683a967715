#include "chart/task_tree_view.h"

#include <algorithm>

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "chart/chart_icons.h"
#include "chart/virtual_keys.h"

namespace qmx {

namespace {

constexpr int kButtonSize = 9;
constexpr int kLabelPadding = 2;  // on either side of the text inside the label

// A dotted line of GDI's alternate pixels, as tree lines are drawn.
void DottedHorizontal(QPainter& p, int x0, int x1, int y)
{
    for (int x = x0 + ((x0 + y) & 1); x < x1; x += 2) p.drawPoint(x, y);
}

void DottedVertical(QPainter& p, int x, int y0, int y1)
{
    for (int y = y0 + ((x + y0) & 1); y < y1; y += 2) p.drawPoint(x, y);
}

}  // namespace

TaskTreeView::TaskTreeView(TaskTreeItems& items, Handler* handler, QWidget* parent)
    : QWidget(parent),
      items_(items),
      handler_(handler),
      vbar_(new QScrollBar(Qt::Vertical, this)),
      hbar_(new QScrollBar(Qt::Horizontal, this)),
      editor_(new QLineEdit(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    font_ = font();
    boldFont_ = font_;
    boldFont_.setBold(true);
    vbar_->setFocusPolicy(Qt::NoFocus);
    hbar_->setFocusPolicy(Qt::NoFocus);
    vbar_->setSingleStep(1);
    hbar_->setSingleStep(kIndent);
    connect(vbar_, &QScrollBar::valueChanged, this, [this] {
        EndEdit(true);
        update();
        if (handler_) handler_->OnTreeScrolled();
    });
    connect(hbar_, &QScrollBar::valueChanged, this, [this] {
        EndEdit(true);
        update();
    });
    editor_->hide();
    editor_->setFrame(true);
    editor_->installEventFilter(this);
    editTimer_.setSingleShot(true);
    connect(&editTimer_, &QTimer::timeout, this, [this] {
        if (editCandidate_ && editCandidate_ == items_.Caret()) BeginEdit(editCandidate_);
        editCandidate_ = nullptr;
    });
    LayoutScrollBars();
}

TaskTreeView::~TaskTreeView()
{
    handler_ = nullptr;
}

QRect TaskTreeView::ClientRect() const
{
    const int left = vbar_->isVisible() ? vbar_->width() : 0;
    return QRect(left, 0, std::max(0, width() - left), std::max(0, height() - hbar_->sizeHint().height()));
}

int TaskTreeView::PageRows() const
{
    return std::max(0, ClientRect().height() / kRowHeight);
}

void TaskTreeView::LayoutScrollBars()
{
    const int barWidth = vbar_->sizeHint().width();
    const int barHeight = hbar_->sizeHint().height();
    const LONG rows = static_cast<LONG>(items_.VisibleRows().size());
    const int page = std::max(0, (height() - barHeight) / kRowHeight);
    const bool vertical = rows > page;
    vbar_->setVisible(vertical);
    if (vertical) vbar_->setGeometry(0, 0, barWidth, std::max(0, height() - barHeight));
    const int left = vertical ? barWidth : 0;
    hbar_->setGeometry(left, height() - barHeight, std::max(0, width() - left), barHeight);
    hbar_->show();
}

void TaskTreeView::UpdateScrollRanges()
{
    rangesValid_ = true;
    LayoutScrollBars();
    const LONG rows = static_cast<LONG>(items_.VisibleRows().size());
    const int page = PageRows();
    vbar_->setPageStep(std::max(1, page));
    vbar_->setRange(0, std::max(0, rows - page));
    const int client = ClientRect().width();
    // The range stays empty while every label fits: the bar itself is kept,
    // so that the tree's client height equals the chart pane's.
    hbar_->setPageStep(std::max(1, client));
    hbar_->setRange(0, std::max(0, contentWidth_ - client));
}

LONG TaskTreeView::FirstRow()
{
    if (!rangesValid_) UpdateScrollRanges();
    return vbar_->value();
}

void TaskTreeView::SetFirstRow(LONG row)
{
    if (!rangesValid_) UpdateScrollRanges();
    vbar_->setValue(row);
}

void TaskTreeView::ItemsChanged()
{
    rangesValid_ = false;
    update();
}

void TaskTreeView::ItemDeleting(TreeItem* item)
{
    if (editCandidate_ == item) editCandidate_ = nullptr;
    if (edited_ == item) {
        edited_ = nullptr;
        editor_->hide();
    }
}

int TaskTreeView::LabelLeft(const TreeItem* item) const
{
    return (TaskTreeItems::Depth(item) + 1) * kIndent + kIconSize + 1;
}

int TaskTreeView::LabelWidth(const TreeItem* item) const
{
    return QFontMetrics(FontOf(item)).horizontalAdvance(item->text) + 2 * kLabelPadding;
}

QRect TaskTreeView::ItemRowRect(TreeItem* item)
{
    const LONG row = items_.RowOf(item);
    if (row < 0) return QRect();
    const QRect client = ClientRect();
    return QRect(client.left(), client.top() + (row - FirstRow()) * kRowHeight, client.width(), kRowHeight);
}

QRect TaskTreeView::ItemTextRect(TreeItem* item)
{
    const QRect row = ItemRowRect(item);
    if (row.isNull()) return row;
    return QRect(row.left() - hbar_->value() + LabelLeft(item), row.top(), LabelWidth(item), kRowHeight);
}

TaskTreeView::Hit TaskTreeView::HitTest(const QPoint& clientPos)
{
    const QRect client = ClientRect();
    if (!client.contains(clientPos)) return {};
    const LONG row = FirstRow() + (clientPos.y() - client.top()) / kRowHeight;
    const auto& rows = items_.VisibleRows();
    if (row < 0 || std::size_t(row) >= rows.size()) return {};
    TreeItem* item = rows[std::size_t(row)];
    const int x = clientPos.x() - client.left() + hbar_->value();
    const int level = TaskTreeItems::Depth(item) * kIndent;
    const int label = LabelLeft(item);
    if (x < level) return {item, HitPart::Indent};
    if (x < level + kIndent) return {item, item->HasChildren() ? HitPart::Button : HitPart::Indent};
    if (x < label) return {item, HitPart::Icon};
    if (x < label + LabelWidth(item)) return {item, HitPart::Label};
    return {item, HitPart::Right};
}

void TaskTreeView::EnsureVisible(TreeItem* item)
{
    if (!item || items_.IsRoot(item)) return;
    for (TreeItem* p = item->parent; p && !items_.IsRoot(p); p = p->parent) items_.SetExpanded(p, true);
    const LONG row = items_.RowOf(item);
    const LONG first = FirstRow();
    const int page = std::max(1, PageRows());
    if (row < first) {
        SetFirstRow(row);
    } else if (row >= first + page) {
        SetFirstRow(row - page + 1);
    }
}

void TaskTreeView::BeginEdit(TreeItem* item)
{
    EndEdit(true);
    if (!item) return;
    EnsureVisible(item);
    edited_ = item;
    const QRect text = ItemTextRect(item);
    const int width = std::max(text.width() + 24, 60);
    editor_->setFont(FontOf(item));
    editor_->setGeometry(text.left(), text.top() - 1, std::min(width, std::max(20, width)), kRowHeight + 2);
    editor_->setText(item->text);
    editor_->selectAll();
    editor_->show();
    editor_->setFocus(Qt::OtherFocusReason);
}

void TaskTreeView::EndEdit(bool save)
{
    if (!edited_ || ending_) return;
    ending_ = true;
    TreeItem* item = edited_;
    const QString text = editor_->text();
    edited_ = nullptr;
    const bool hadFocus = editor_->hasFocus();
    editor_->hide();
    if (hadFocus) setFocus(Qt::OtherFocusReason);
    if (handler_) handler_->OnTreeLabelEdited(item, save ? &text : nullptr);
    ending_ = false;
    update();
}

bool TaskTreeView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == editor_ && edited_) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                EndEdit(true);
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                EndEdit(false);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            EndEdit(true);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TaskTreeView::resizeEvent(QResizeEvent*)
{
    rangesValid_ = false;
    UpdateScrollRanges();
}

void TaskTreeView::paintEvent(QPaintEvent*)
{
    if (!rangesValid_) UpdateScrollRanges();
    QPainter painter(this);
    const QRect client = ClientRect();
    painter.fillRect(client, palette().color(QPalette::Base));
    const auto& rows = items_.VisibleRows();
    const LONG first = FirstRow();
    const LONG last = std::min<LONG>(static_cast<LONG>(rows.size()), first + client.height() / kRowHeight + 1);
    painter.setClipRect(client);
    int widest = contentWidth_;
    for (LONG row = first; row < last; ++row) {
        TreeItem* item = rows[std::size_t(row)];
        PaintRow(painter, item, client.top() + (row - first) * kRowHeight, client);
        widest = std::max(widest, LabelLeft(item) + LabelWidth(item) + kLabelPadding);
    }
    if (widest != contentWidth_) {
        // The widest label seen grows the horizontal range after the paint.
        contentWidth_ = widest;
        QMetaObject::invokeMethod(this, [this] { UpdateScrollRanges(); }, Qt::QueuedConnection);
    }
}

void TaskTreeView::PaintRow(QPainter& painter, TreeItem* item, int y, const QRect& client)
{
    const int x0 = client.left() - hbar_->value();
    const int depth = TaskTreeItems::Depth(item);
    const int mid = y + kRowHeight / 2;
    const QColor lineColour = palette().color(QPalette::Mid);
    painter.setPen(lineColour);
    // Lines: the item's own joint, then the runs of ancestors with siblings
    // still to come below.
    const int cx = x0 + depth * kIndent + kIndent / 2;
    DottedHorizontal(painter, cx, x0 + (depth + 1) * kIndent, mid);
    const bool firstAtRoot = !item->prev && items_.IsRoot(item->parent);
    DottedVertical(painter, cx, firstAtRoot ? mid : y, item->next ? y + kRowHeight : mid + 1);
    int level = depth - 1;
    for (const TreeItem* a = item->parent; a && !items_.IsRoot(a); a = a->parent, --level) {
        if (a->next) DottedVertical(painter, x0 + level * kIndent + kIndent / 2, y, y + kRowHeight);
    }
    if (item->HasChildren()) {
        const QRect box(cx - kButtonSize / 2, mid - kButtonSize / 2, kButtonSize, kButtonSize);
        painter.fillRect(box, palette().color(QPalette::Base));
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawLine(box.left() + 2, mid, box.right() - 2, mid);
        if (!item->expanded) painter.drawLine(cx, box.top() + 2, cx, box.bottom() - 2);
    }
    const int iconX = x0 + (depth + 1) * kIndent;
    painter.drawPixmap(iconX, y + (kRowHeight - kIconSize) / 2, TaskTreeImage(item->image));
    const QRect label(x0 + LabelLeft(item), y, LabelWidth(item), kRowHeight);
    const bool focused = hasFocus() || editor_->hasFocus();
    QColor text = palette().color(QPalette::Text);
    if (item->selected && item != edited_) {
        // Always-visible selection: the highlight with the focus, the
        // button face without it.
        painter.fillRect(label, focused ? palette().color(QPalette::Highlight) : palette().color(QPalette::Button));
        text = focused ? palette().color(QPalette::HighlightedText) : palette().color(QPalette::ButtonText);
    }
    painter.setFont(FontOf(item));
    painter.setPen(text);
    painter.drawText(label.adjusted(kLabelPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     item->text);
    if (item == items_.Caret() && focused) {
        painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
        painter.drawRect(label.adjusted(0, 0, -1, -1));
    }
    Q_UNUSED(client);
}

void TaskTreeView::focusInEvent(QFocusEvent*)
{
    update();
}

void TaskTreeView::focusOutEvent(QFocusEvent*)
{
    update();
}

void TaskTreeView::SetExpandedByUser(TreeItem* item, bool expanded)
{
    if (!item || !item->HasChildren() || item->expanded == expanded) return;
    items_.SetExpanded(item, expanded);
    if (handler_) handler_->OnTreeItemExpanded(item);
}

void TaskTreeView::ToggleExpanded(TreeItem* item)
{
    SetExpandedByUser(item, !item->expanded);
}

void TaskTreeView::MoveCaret(TreeItem* item)
{
    if (!item) return;
    items_.SetCaret(item);
    EnsureVisible(item);
}

void TaskTreeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    EndEdit(true);
    setFocus(Qt::MouseFocusReason);
    const bool left = event->button() == Qt::LeftButton;
    const Hit hit = HitTest(event->position().toPoint());
    const Qt::KeyboardModifiers keys = event->modifiers();
    switch (hit.part) {
    case HitPart::Nowhere:
    case HitPart::Right:
        items_.ClearSelection();
        items_.SetCaret(nullptr);
        return;
    case HitPart::Icon:
    case HitPart::Label:
        if (keys & Qt::ControlModifier) {
            items_.Toggle(hit.item, left);
        } else if (keys & Qt::ShiftModifier) {
            if (items_.Anchor()) items_.SelectRange(items_.Anchor(), hit.item);
        } else if (left && hit.item == items_.Caret()) {
            // The tree's own handling: a second click on the caret's label
            // edits it, unless it becomes a double click.
            if (hit.part == HitPart::Label) {
                editCandidate_ = hit.item;
                editTimer_.start(QApplication::doubleClickInterval());
            }
        } else {
            items_.SelectOnly(hit.item);
        }
        return;
    case HitPart::Button:
        if (left) {
            if (hit.item->expanded) items_.DeselectDescendants(hit.item);
            ToggleExpanded(hit.item);
        }
        return;
    case HitPart::Indent:
        return;
    }
}

void TaskTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const Hit hit = HitTest(event->position().toPoint());
    if (hit.part == HitPart::Icon || hit.part == HitPart::Label) {
        editTimer_.stop();
        editCandidate_ = nullptr;
        EndEdit(false);
        if (handler_) handler_->OnTreeDoubleClick(hit.item);
    } else if (hit.part == HitPart::Button) {
        // A second press on the button.
        if (hit.item->expanded) items_.DeselectDescendants(hit.item);
        ToggleExpanded(hit.item);
    }
}

void TaskTreeView::wheelEvent(QWheelEvent* event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0) return;
    EndEdit(true);
    const int lines = std::max(1, QApplication::wheelScrollLines());
    SetFirstRow(FirstRow() - notches * lines);
    event->accept();
}

void TaskTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (!handler_) return;
    if (event->reason() != QContextMenuEvent::Keyboard) {
        handler_->OnTreeContextMenu(event->globalPos());
        return;
    }
    TreeItem* caret = items_.Caret();
    const QRect text = caret ? ItemTextRect(caret) : QRect();
    const QPoint local = text.isNull() ? ClientRect().topLeft() : QPoint(text.left(), text.bottom() + 1);
    handler_->OnTreeContextMenu(mapToGlobal(local));
}

void TaskTreeView::ShiftMove(bool down)
{
    TreeItem* old = items_.Caret();
    if (!old) return;
    TreeItem* next = down ? items_.NextVisible(old) : items_.PrevVisible(old);
    if (!next) return;
    const bool nextWasSelected = next->selected;
    MoveCaret(next);
    // Moving onto an unselected item grows the selection; moving back into
    // it shrinks it.
    if (!nextWasSelected) items_.SetSelected(old, true);
}

void TaskTreeView::ControlMove(bool down)
{
    TreeItem* old = items_.Caret();
    if (!old) return;
    TreeItem* next = down ? items_.NextVisible(old) : items_.PrevVisible(old);
    if (!next) return;
    const bool oldSelected = old->selected;
    const bool nextSelected = next->selected;
    MoveCaret(next);
    items_.SetSelected(old, oldSelected);
    items_.SetSelected(next, nextSelected);
}

void TaskTreeView::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    const LONG key = VirtualKeyOf(event->key(), event->modifiers()).value_or(0);
    if (key != 0 && handler_ && handler_->OnTreeKeyDown(key)) return;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (key == VK_SHIFT) {
        if (!event->isAutoRepeat()) items_.SetAnchor(items_.Caret());
        return;
    }
    const bool vertical = key == VK_UP || key == VK_DOWN;
    if (vertical && shift) {
        ShiftMove(key == VK_DOWN);
        return;
    }
    if (vertical && control) {
        ControlMove(key == VK_DOWN);
        return;
    }
    if (key == VK_SUBTRACT && control) {
        if (TreeItem* caret = items_.Caret()) {
            items_.CollapseSubtree(caret);
            if (handler_) handler_->OnTreeItemExpanded(caret);
        }
        return;
    }
    if ((key >= VK_LEFT && key <= VK_DOWN) && !shift && !control) items_.ClearSelection();
    DefaultKey(key);
}

void TaskTreeView::DefaultKey(LONG key)
{
    TreeItem* caret = items_.Caret();
    const auto& rows = items_.VisibleRows();
    if (rows.empty()) return;
    const int page = std::max(1, PageRows());
    auto rowItem = [&rows](LONG row) {
        row = std::clamp<LONG>(row, 0, static_cast<LONG>(rows.size()) - 1);
        return rows[std::size_t(row)];
    };
    if (!caret) {
        if (key == VK_UP || key == VK_DOWN || key == VK_HOME || key == VK_END || key == VK_PRIOR || key == VK_NEXT)
            MoveCaret(key == VK_END ? rows.back() : rows.front());
        return;
    }
    const LONG row = items_.RowOf(caret);
    switch (key) {
    case VK_UP: MoveCaret(items_.PrevVisible(caret)); break;
    case VK_DOWN: MoveCaret(items_.NextVisible(caret)); break;
    case VK_HOME: MoveCaret(rows.front()); break;
    case VK_END: MoveCaret(rows.back()); break;
    case VK_PRIOR: MoveCaret(rowItem(row - page + 1)); break;
    case VK_NEXT: MoveCaret(rowItem(row + page - 1)); break;
    case VK_LEFT:
        if (caret->HasChildren() && caret->expanded) {
            SetExpandedByUser(caret, false);
        } else if (!items_.IsRoot(caret->parent)) {
            MoveCaret(caret->parent);
        }
        break;
    case VK_RIGHT:
        if (caret->HasChildren() && !caret->expanded) {
            SetExpandedByUser(caret, true);
        } else if (caret->firstChild) {
            MoveCaret(caret->firstChild);
        }
        break;
    case VK_ADD: SetExpandedByUser(caret, true); break;
    case VK_SUBTRACT: SetExpandedByUser(caret, false); break;
    case VK_F1 + 1:  // F2 BeginEdit(caret); break;
    default: break;
    }
}

}  // namespace qmx
