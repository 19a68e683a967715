#include "grid/grid_window.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QWheelEvent>

#include "automation/com_ptr.h"
#include "grid/grid_text.h"
#include "grid/simple_grid_control.h"

namespace qmx {

namespace {

// Marks a handler of the window as running while it calls into the control.
class HandlerScope {
public:
    explicit HandlerScope(int& depth) : depth_(depth) { ++depth_; }
    ~HandlerScope() { --depth_; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    int& depth_;
};

bool IsEnterOrEscape(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape; }

}  // namespace

GridWindow::GridWindow(QMXSimpleGridControl* control, const QFont& font, bool staticEdge, QWidget* parent)
    : QWidget(parent),
      control_(control),
      scrollBar_(new QScrollBar(Qt::Vertical, this)),
      edit_(new QLineEdit(this)),
      combo_(new QComboBox(this)),
      staticEdge_(staticEdge),
      barWidth_(scrollBar_->sizeHint().width())
{
    // Painting covers the whole window: no background erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click takes the focus only when no editor is open (the control
    // decides); the keyboard may tab in.
    setFocusPolicy(Qt::TabFocus);
    setFont(font);

    scrollBar_->hide();
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    connect(scrollBar_, &QScrollBar::actionTriggered, this, [this](int action) {
        if (!control_) return;
        const HandlerScope scope(eventDepth_);
        ComPtr<QMXSimpleGridControl> control(control_);
        control->OnScrollAction(action, scrollBar_->sliderPosition());
    });

    edit_->setObjectName(QStringLiteral("QMXGanttChart.SimpleGrid.Edit"));
    edit_->setFont(font);
    edit_->setFrame(false);
    edit_->setTextMargins(3, 0, 3, 0);
    edit_->hide();
    edit_->installEventFilter(this);

    combo_->setObjectName(QStringLiteral("QMXGanttChart.SimpleGrid.Combo"));
    combo_->setFont(font);
    combo_->setEditable(false);
    combo_->hide();
    combo_->installEventFilter(this);
    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!control_ || fillingCombo_) return;
        const HandlerScope scope(eventDepth_);
        ComPtr<QMXSimpleGridControl> control(control_);
        control->OnComboSelectionChanged();
    });
}

int GridWindow::ComboItemHeight() const { return combo_->sizeHint().height(); }

QPoint GridWindow::ClientOrigin() const { return staticEdge_ ? QPoint(1, 1) : QPoint(0, 0); }

QSize GridWindow::ClientSize() const
{
    const int edge = staticEdge_ ? 2 : 0;
    const int bar = barShown_ ? barWidth_ : 0;
    return QSize(std::max(0, width() - edge - bar), std::max(0, height() - edge));
}

void GridWindow::SetStaticEdge(bool on)
{
    if (staticEdge_ == on) return;
    staticEdge_ = on;
    LayoutScrollBar();
    update();
}

void GridWindow::LayoutScrollBar()
{
    const QPoint origin = ClientOrigin();
    const int edge = staticEdge_ ? 2 : 0;
    scrollBar_->setGeometry(width() - origin.x() - barWidth_, origin.y(), barWidth_, std::max(0, height() - edge));
}

void GridWindow::SetScrollState(LONG maxTopRow, LONG pageRows, LONG topRow)
{
    // Filling a grid row by row asks for this at every row: only changes
    // reach the bar.
    if (maxTopRow != scrollMax_) scrollBar_->setRange(0, maxTopRow);
    if (pageRows != scrollPage_) scrollBar_->setPageStep(std::max<LONG>(1, pageRows));
    if (topRow != scrollPos_ || scrollBar_->value() != topRow) scrollBar_->setValue(topRow);
    scrollMax_ = maxTopRow;
    scrollPage_ = pageRows;
    scrollPos_ = topRow;
    // As on the platform the grid was designed on, an empty range hides the
    // bar, and the client area grows by its width.
    const bool visible = maxTopRow > 0;
    if (visible != barShown_) {
        barShown_ = visible;
        LayoutScrollBar();
        scrollBar_->setVisible(visible);
        update();
    }
}

void GridWindow::UpdateClient(const QRect& clientRect) { update(clientRect.translated(ClientOrigin())); }

QPoint GridWindow::ToClient(const QPointF& windowPoint) const { return windowPoint.toPoint() - ClientOrigin(); }

void GridWindow::WriteEditBox(const QMXSimpleGridEditParam& param)
{
    const QString text = ToQString(param.Text());
    editLimit_ = param.MaxLength();
    // A limit of 0 or less is no limit of the host's. The limit holds for
    // typing: a longer text from the cell is shown whole, never cut.
    const int limit = editLimit_ > 0 ? editLimit_ : QMXSimpleGridEditParam::kDefaultMaxLength;
    edit_->setMaxLength(std::max<int>(limit, static_cast<int>(text.size())));
    edit_->setText(text);
    if (param.IsNumber()) {
        if (!edit_->validator()) {
            static const QRegularExpression digits(QStringLiteral("[0-9]*"));
            edit_->setValidator(new QRegularExpressionValidator(digits, edit_));
        }
    } else if (const QValidator* old = edit_->validator()) {
        edit_->setValidator(nullptr);
        delete old;
    }
    edit_->selectAll();
}

void GridWindow::ReadEditBox(QMXSimpleGridEditParam& param) const
{
    param.put_Text(ToBstr(edit_->text()));
    param.put_IsNumber(ToVariantBool(edit_->validator() != nullptr));
    param.put_MaxLength(editLimit_);
}

void GridWindow::FillComboBox(const QMXSimpleGridComboParam& param)
{
    fillingCombo_ = true;
    combo_->clear();
    for (const QMXSimpleGridComboParam::Item& item : param.Items()) combo_->addItem(ToQString(item.text), item.id);
    int index = -1;
    if (param.Selection() == -1) {
        if (!param.Text().empty()) {
            const QString prefix = ToQString(param.Text());
            for (int i = 0; i < combo_->count() && index < 0; ++i) {
                if (combo_->itemText(i).startsWith(prefix, Qt::CaseInsensitive)) index = i;
            }
        }
    } else {
        index = combo_->findData(param.Selection());
    }
    combo_->setCurrentIndex(index);
    // The list reaches kComboListHeight pixels below the cell.
    const int itemHeight = std::max(1, combo_->view()->sizeHintForRow(0));
    combo_->setMaxVisibleItems(std::max(1, kComboListHeight / itemHeight));
    fillingCombo_ = false;
}

std::optional<LONG> GridWindow::ComboSelectionId() const
{
    const int index = combo_->currentIndex();
    if (index < 0) return std::nullopt;
    return combo_->itemData(index).toInt();
}

void GridWindow::ReadComboBox(QMXSimpleGridComboParam& param) const
{
    const std::optional<LONG> id = ComboSelectionId();
    param.put_Selection(id.value_or(-1));
    param.put_Text(id ? ToBstr(combo_->currentText()) : BSTR());
}

QWidget* GridWindow::EditorWidget(GridEditorKind kind) const
{
    switch (kind) {
    case GridEditorKind::Edit:
        return edit_;
    case GridEditorKind::Combo:
        return combo_;
    case GridEditorKind::None:
        break;
    }
    return nullptr;
}

void GridWindow::PlaceEditor(GridEditorKind kind, const std::optional<GridRect>& cell)
{
    QWidget* editor = EditorWidget(kind);
    if (!editor) return;
    if (!cell) {
        // Hiding a focused child would send the focus anywhere in the
        // host's window; it stays with the grid.
        if (editor->hasFocus()) setFocus(Qt::OtherFocusReason);
        editor->hide();
        return;
    }
    const QPoint origin = ClientOrigin();
    editor->setGeometry(cell->left + origin.x(), cell->top + origin.y(), cell->right - cell->left,
                        cell->bottom - cell->top);
    if (!editor->isVisibleTo(this)) {
        const bool gridHadFocus = hasFocus();
        editor->show();
        if (gridHadFocus) editor->setFocus(Qt::OtherFocusReason);
    }
}

void GridWindow::HideEditors()
{
    if (edit_->hasFocus() || combo_->hasFocus()) setFocus(Qt::OtherFocusReason);
    combo_->hidePopup();
    edit_->hide();
    combo_->hide();
}

void GridWindow::FocusEditor(GridEditorKind kind)
{
    QWidget* editor = EditorWidget(kind);
    if (editor && editor->isVisibleTo(this)) editor->setFocus(Qt::OtherFocusReason);
}

void GridWindow::paintEvent(QPaintEvent*)
{
    if (!control_) return;
    const HandlerScope scope(eventDepth_);
    QPainter painter(this);
    if (staticEdge_) {
        GridPaintStyle edgeStyle;
        edgeStyle.SetColorsFrom(palette());
        PaintSunkenEdge(painter, width(), height(), edgeStyle);
    }
    const QPoint origin = ClientOrigin();
    const QSize client = ClientSize();
    painter.translate(origin);
    painter.setClipRect(QRect(QPoint(0, 0), client));
    control_->PaintClient(painter);
}

void GridWindow::resizeEvent(QResizeEvent*)
{
    LayoutScrollBar();
    if (!control_) return;
    const HandlerScope scope(eventDepth_);
    ComPtr<QMXSimpleGridControl> control(control_);
    control->OnClientResized();
}

void GridWindow::mousePressEvent(QMouseEvent* e)
{
    if (!control_) return;
    const HandlerScope scope(eventDepth_);
    ComPtr<QMXSimpleGridControl> control(control_);
    if (e->button() == Qt::LeftButton) {
        control->OnLeftButtonDown(ToClient(e->position()));
    } else if (e->button() == Qt::RightButton) {
        control->OnRightButtonDown(ToClient(e->position()));
    }
    e->accept();
}

void GridWindow::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (!control_) return;
    const HandlerScope scope(eventDepth_);
    ComPtr<QMXSimpleGridControl> control(control_);
    if (e->button() == Qt::LeftButton) {
        control->OnLeftButtonDblClk(ToClient(e->position()));
    } else if (e->button() == Qt::RightButton) {
        control->OnRightButtonDown(ToClient(e->position()));
    }
    e->accept();
}

void GridWindow::wheelEvent(QWheelEvent* e)
{
    if (!control_) return;
    // One row per notch of 120; finer wheels add up to notches.
    wheelRemainder_ += e->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ %= 120;
    e->accept();
    if (notches == 0) return;
    const HandlerScope scope(eventDepth_);
    ComPtr<QMXSimpleGridControl> control(control_);
    control->OnWheelNotches(notches);
}

void GridWindow::keyPressEvent(QKeyEvent* e)
{
    if (!control_) return;
    const HandlerScope scope(eventDepth_);
    ComPtr<QMXSimpleGridControl> control(control_);
    if (control->OnKeyDown(e->key(), e->modifiers().testFlag(Qt::ControlModifier))) {
        e->accept();
    } else {
        QWidget::keyPressEvent(e);
    }
}

void GridWindow::contextMenuEvent(QContextMenuEvent* e)
{
    if (!control_) return;
    const HandlerScope scope(eventDepth_);
    ComPtr<QMXSimpleGridControl> control(control_);
    control->OnContextMenu(e->globalPos(), e->reason() == QContextMenuEvent::Keyboard);
    e->accept();
}

void GridWindow::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    if (!control_) return;
    const HandlerScope scope(eventDepth_);
    control_->OnFocusIn();
}

void GridWindow::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (!control_) return;
    if (e->type() == QEvent::StyleChange) {
        barWidth_ = scrollBar_->sizeHint().width();
        LayoutScrollBar();
    }
    if (e->type() == QEvent::PaletteChange) {
        control_->OnPaletteChanged();
    } else if (e->type() == QEvent::FontChange) {
        control_->OnFontChanged(font());
    }
}

bool GridWindow::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != edit_ && watched != combo_) return QWidget::eventFilter(watched, e);
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride) return false;
    const auto* key = static_cast<QKeyEvent*>(e);
    if (!IsEnterOrEscape(key->key())) return false;
    // With the list dropped down, Enter and Escape belong to the list.
    if (watched == combo_ && combo_->view()->isVisible()) return false;
    if (e->type() == QEvent::ShortcutOverride) {
        // Claim the key before any shortcut of the host's window does.
        e->accept();
        return true;
    }
    if (control_) {
        const HandlerScope scope(eventDepth_);
        ComPtr<QMXSimpleGridControl> control(control_);
        control->OnEditorKey(key->key() != Qt::Key_Escape);
    }
    return true;
}

}  // namespace qmx
