// The grid's window: the client area the grid paints, the static edge of a
// bordered grid, the vertical scroll bar and the two editor windows. It
// forwards input to its control, which owns it.
#pragma once

#include <optional>
#include <vector>

#include <QWidget>

#include "automation/types.h"
#include "grid/grid_editor_params.h"
#include "grid/grid_geometry.h"

class QComboBox;
class QLineEdit;
class QScrollBar;

namespace qmx {

class QMXSimpleGridControl;

enum class GridEditorKind { None, Edit, Combo };

class GridWindow final : public QWidget {
public:
    // How far the drop-down list of the combo editor reaches below its cell.
    static constexpr int kComboListHeight = 96;

    GridWindow(QMXSimpleGridControl* control, const QFont& font, bool staticEdge, QWidget* parent);

    // Called by the control as it ends; the window then ignores all input.
    void Detach() { control_ = nullptr; }
    // True while one of the window's handlers is calling the control.
    bool InEvent() const { return eventDepth_ > 0; }

    // The client area: the window inside the static edge, left of the
    // scroll bar; its top-left corner in window coordinates.
    QPoint ClientOrigin() const;
    QSize ClientSize() const;
    void SetStaticEdge(bool on);
    // The height a closed drop-down list needs: the grid's row height.
    int ComboItemHeight() const;

    // Range 0..maxTopRow; the bar is hidden when there is nothing to scroll.
    void SetScrollState(LONG maxTopRow, LONG pageRows, LONG topRow);
    void UpdateClient(const QRect& clientRect);

    // Moves the parameter into the edit box: text, digits-only, limit.
    void WriteEditBox(const QMXSimpleGridEditParam& param);
    // Reads the edit box back into the parameter.
    void ReadEditBox(QMXSimpleGridEditParam& param) const;
    // Fills the list from the parameter and selects as it asks: the item of
    // the parameter's Selection, or when that is -1 the first item whose
    // text begins with the parameter's Text (any case), or none.
    void FillComboBox(const QMXSimpleGridComboParam& param);
    // The selected item's ID and text, or -1 and empty.
    void ReadComboBox(QMXSimpleGridComboParam& param) const;
    std::optional<LONG> ComboSelectionId() const;

    // Puts the editor over the client rectangle of its cell and shows it;
    // hides it when there is no rectangle. A hidden editor gives its focus
    // to the grid window.
    void PlaceEditor(GridEditorKind kind, const std::optional<GridRect>& cell);
    void HideEditors();
    void FocusEditor(GridEditorKind kind);
    QWidget* EditorWidget(GridEditorKind kind) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void LayoutScrollBar();
    QPoint ToClient(const QPointF& windowPoint) const;

    QMXSimpleGridControl* control_;
    QScrollBar* scrollBar_;
    QLineEdit* edit_;
    QComboBox* combo_;
    bool staticEdge_;
    int barWidth_;          // the scroll bar's width in the current style
    bool barShown_ = false;
    LONG scrollMax_ = 0, scrollPage_ = 0, scrollPos_ = 0;
    LONG editLimit_ = QMXSimpleGridEditParam::kDefaultMaxLength;
    bool fillingCombo_ = false;
    int wheelRemainder_ = 0;
    int eventDepth_ = 0;
};

}  // namespace qmx
