// QMXSimpleGridControl: a light grid of text cells with a header row, one
// selected row and column, vertical scrolling and in-place editing through
// an edit box or a drop-down list whose contents the host supplies in
// events.
#pragma once

#include <QFont>
#include <QPointer>

#include "automation/com_object.h"
#include "automation/event_source.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/widget_control.h"
#include "grid/grid_data.h"
#include "grid/grid_editor_params.h"
#include "grid/grid_painter.h"
#include "grid/grid_persistence.h"
#include "grid/grid_window.h"
#include "grid/simple_grid_interfaces.h"

namespace qmx {

// Besides ISimpleGridControl the grid answers ISimpleGridControlEventSource
// (its connection point), IWidgetControl (its window inside the host's),
// IPersistGridProperties (Border, ColCount and Editable to and from a
// property bag) and ISimpleGridView (drawing without a window).
class QMXSimpleGridControl final : public ComObject<ISimpleGridControl, ISimpleGridControlEventSource, IWidgetControl,
                                                    IPersistGridProperties, ISimpleGridView> {
public:
    // The row height until the window's drop-down editor gives its own.
    static constexpr LONG kInitialRowHeight = 21;

    QMXSimpleGridControl();

    static ClassInfo Registration();

    // ISimpleGridControl
    HRESULT get_Border(VARIANT_BOOL* pvbBorder) override;
    HRESULT put_Border(VARIANT_BOOL vbBorder) override;
    HRESULT get_ColCount(LONG* pnCount) override;
    HRESULT put_ColCount(LONG nCount) override;
    HRESULT get_ColWidths(LONG iIndex, LONG* pnWidth) override;
    HRESULT put_ColWidths(LONG iIndex, LONG nWidth) override;
    HRESULT get_ColHeaders(LONG iIndex, BSTR* pbsHeader) override;
    HRESULT put_ColHeaders(LONG iIndex, const BSTR& bsHeader) override;
    HRESULT get_RowCount(LONG* pnCount) override;
    HRESULT get_CellText(LONG iRow, LONG iCol, BSTR* pbsText) override;
    HRESULT put_CellText(LONG iRow, LONG iCol, const BSTR& bsText) override;
    HRESULT get_CellData(LONG iRow, LONG iCol, LONG* pnData) override;
    HRESULT put_CellData(LONG iRow, LONG iCol, LONG nData) override;
    HRESULT get_TopRow(LONG* piRow) override;
    HRESULT put_TopRow(LONG iRow) override;
    HRESULT get_SelectedRow(LONG* piRow) override;
    HRESULT put_SelectedRow(LONG iRow) override;
    HRESULT get_SelectedCol(LONG* piCol) override;
    HRESULT put_SelectedCol(LONG iCol) override;
    HRESULT get_Editable(VARIANT_BOOL* pvbEditable) override;
    HRESULT put_Editable(VARIANT_BOOL vbEditable) override;
    HRESULT InsertRow(LONG iIndex) override;
    HRESULT DeleteRow(LONG iIndex) override;
    HRESULT DeleteAllRows() override;
    HRESULT OpenEditor() override;
    HRESULT CloseEditor(VARIANT_BOOL vbSaveChanges) override;

    // ISimpleGridControlEventSource
    HRESULT Advise(_ISimpleGridControlEvents* pSink, DWORD* pdwCookie) override;
    HRESULT Unadvise(DWORD dwCookie) override;

    // IWidgetControl
    HRESULT CreateControlWindow(QWidget* parent, QWidget** ppWindow) override;
    HRESULT GetControlWindow(QWidget** ppWindow) override;

    // IPersistGridProperties
    HRESULT InitNew() override;
    HRESULT Load(IGridPropertyBag* pBag) override;
    HRESULT Save(IGridPropertyBag* pBag) override;

    // ISimpleGridView
    HRESULT Draw(QPainter* painter, LONG left, LONG top, LONG right, LONG bottom) override;

    LONG RowHeight() const { return rowHeight_; }
    GridEditorKind OpenEditorKind() const { return openEditor_; }

    // From the window; points are client coordinates.
    void PaintClient(QPainter& painter);
    void OnClientResized();
    void OnLeftButtonDown(QPoint point);
    void OnLeftButtonDblClk(QPoint point);
    void OnRightButtonDown(QPoint point);
    // globalPoint is ignored for a request from the keyboard.
    void OnContextMenu(QPoint globalPoint, bool fromKeyboard);
    // True when the key is one of the grid's.
    bool OnKeyDown(int key, bool ctrl);
    void OnWheelNotches(int notches);
    // A scroll-bar request; trackedPosition is the thumb's place while it
    // is dragged.
    void OnScrollAction(int action, int trackedPosition);
    void OnFocusIn();
    // Enter (save) or Escape (cancel) in an editor.
    void OnEditorKey(bool save);
    void OnComboSelectionChanged();
    void OnPaletteChanged();
    void OnFontChanged(const QFont& font);

private:
    ~QMXSimpleGridControl() override;

    GridMetrics Metrics() const;
    // Calls every sink; the first failure of a sink, else S_OK.
    template <class F>
    HRESULT Fire(F&& call);

    void SetTopRow(LONG row);
    void MakeSelectedRowVisible();
    void SelectRow(LONG row);
    // After rows or the client height changed: TopRow within its range,
    // the scroll bar told, the editor placed.
    void SyncScrollRange();
    bool CellOnScreen(LONG row, LONG col) const;
    // Whether a row at this index, or one above, shows on the screen.
    bool RowPositionOnScreen(LONG row) const;
    // Shows the open editor over its cell, or hides it while the cell is
    // off the screen.
    void PlaceEditor();
    void CloseEditorWindow();

    void Redraw();
    void RepaintRow(LONG row);
    void RepaintCell(LONG row, LONG col);
    void RepaintHeader(LONG col);

    bool border_ = true;
    bool editable_ = false;
    GridData data_;
    LONG topRow_ = 0;
    LONG selectedRow_ = -1;
    LONG selectedCol_ = 0;
    LONG rowHeight_ = kInitialRowHeight;
    QFont font_;
    GridPaintStyle style_;

    GridEditorKind openEditor_ = GridEditorKind::None;
    bool editorShown_ = false;   // false while an editor whose Init event failed is open
    bool editorInvalidated_ = false;
    bool closingEditor_ = false;
    ComPtr<QMXSimpleGridEditParam> editParam_;
    ComPtr<QMXSimpleGridComboParam> comboParam_;

    QPointer<GridWindow> window_;
    EventSource<_ISimpleGridControlEvents> events_;
};

template <class F>
HRESULT QMXSimpleGridControl::Fire(F&& call)
{
    HRESULT result = S_OK;
    events_.Fire([&](_ISimpleGridControlEvents* sink) {
        const HRESULT hr = call(sink);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    });
    return result;
}

}  // namespace qmx
