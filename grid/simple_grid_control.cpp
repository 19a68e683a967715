#include "grid/simple_grid_control.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>

#include <QApplication>
#include <QPainter>

#include "grid/grid_text.h"

namespace qmx {

namespace {

// The application's default UI font at an 11-pixel character height, normal
// weight: the grid's cell and header font.
QFont GridFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

QMXSimpleGridControl::QMXSimpleGridControl()
    : font_(GridFont()),
      editParam_(MakeObject<QMXSimpleGridEditParam>()),
      comboParam_(MakeObject<QMXSimpleGridComboParam>())
{
    style_.SetColorsFrom(QApplication::palette());
}

QMXSimpleGridControl::~QMXSimpleGridControl()
{
    events_.UnadviseAll();
    if (GridWindow* window = window_.data()) {
        window->Detach();
        // A sink may let the grid go from inside one of the window's own
        // handlers; the window must not be deleted under it.
        if (window->InEvent()) {
            window->hide();
            window->deleteLater();
        } else {
            delete window;
        }
    }
}

ClassInfo QMXSimpleGridControl::Registration()
{
    return ClassInfo{CLSID_QMXSimpleGridControl, kSimpleGridProgId, kSimpleGridVersionIndependentProgId,
                     kSimpleGridDescription};
}

GridMetrics QMXSimpleGridControl::Metrics() const
{
    GridMetrics m;
    if (window_) {
        const QSize client = window_->ClientSize();
        m.clientWidth = client.width();
        m.clientHeight = client.height();
    }
    m.rowHeight = rowHeight_;
    m.border = 0;  // a windowed grid has the static edge around its client area
    m.topRow = topRow_;
    m.rowCount = data_.RowCount();
    m.colWidths = data_.ColWidths();
    return m;
}

// ------------------------------------------------------------- properties

HRESULT QMXSimpleGridControl::get_Border(VARIANT_BOOL* pvbBorder)
{
    if (!pvbBorder) return E_POINTER;
    *pvbBorder = ToVariantBool(border_);
    return S_OK;
}

HRESULT QMXSimpleGridControl::put_Border(VARIANT_BOOL vbBorder)
{
    const bool border = vbBorder != VARIANT_FALSE;
    if (border == border_) return S_OK;
    border_ = border;
    if (window_) {
        window_->SetStaticEdge(border_);
        SyncScrollRange();
    }
    Redraw();
    return S_OK;
}

HRESULT QMXSimpleGridControl::get_ColCount(LONG* pnCount)
{
    if (!pnCount) return E_POINTER;
    *pnCount = data_.ColCount();
    return S_OK;
}

HRESULT QMXSimpleGridControl::put_ColCount(LONG nCount)
{
    if (nCount < 0) return E_INVALIDARG;
    if (nCount == data_.ColCount()) return S_OK;
    RETURN_IF_FAILED(data_.SetColCount(nCount));
    if (selectedCol_ >= nCount) {
        selectedCol_ = nCount > 0 ? nCount - 1 : 0;
        if (openEditor_ != GridEditorKind::None) editorInvalidated_ = true;
    }
    PlaceEditor();
    Redraw();
    return S_OK;
}

HRESULT QMXSimpleGridControl::get_ColWidths(LONG iIndex, LONG* pnWidth)
{
    if (!pnWidth) return E_POINTER;
    if (!data_.IsColumn(iIndex)) return E_INVALIDARG;
    *pnWidth = data_.ColWidths()[iIndex];
    return S_OK;
}

HRESULT QMXSimpleGridControl::put_ColWidths(LONG iIndex, LONG nWidth)
{
    if (!data_.IsColumn(iIndex) || nWidth <= 0) return E_INVALIDARG;
    if (data_.ColWidths()[iIndex] == nWidth) return S_OK;
    if (openEditor_ != GridEditorKind::None) return S_FALSE;
    data_.SetColWidth(iIndex, nWidth);
    Redraw();
    return S_OK;
}

HRESULT QMXSimpleGridControl::get_ColHeaders(LONG iIndex, BSTR* pbsHeader)
{
    if (!pbsHeader) return E_POINTER;
    if (!data_.IsColumn(iIndex)) return E_INVALIDARG;
    return CopyText(data_.Header(iIndex), pbsHeader);
}

HRESULT QMXSimpleGridControl::put_ColHeaders(LONG iIndex, const BSTR& bsHeader)
{
    if (!data_.IsColumn(iIndex)) return E_INVALIDARG;
    RETURN_IF_FAILED(data_.SetHeader(iIndex, bsHeader));
    RepaintHeader(iIndex);
    return S_OK;
}

HRESULT QMXSimpleGridControl::get_RowCount(LONG* pnCount)
{
    if (!pnCount) return E_POINTER;
    *pnCount = data_.RowCount();
    return S_OK;
}

HRESULT QMXSimpleGridControl::get_CellText(LONG iRow, LONG iCol, BSTR* pbsText)
{
    if (!pbsText) return E_POINTER;
    if (!data_.IsCell(iRow, iCol)) return E_INVALIDARG;
    return CopyText(data_.Text(iRow, iCol), pbsText);
}

HRESULT QMXSimpleGridControl::put_CellText(LONG iRow, LONG iCol, const BSTR& bsText)
{
    if (!data_.IsCell(iRow, iCol)) return E_INVALIDARG;
    RETURN_IF_FAILED(data_.SetText(iRow, iCol, bsText));
    RepaintCell(iRow, iCol);
    return S_OK;
}

HRESULT QMXSimpleGridControl::get_CellData(LONG iRow, LONG iCol, LONG* pnData)
{
    if (!pnData) return E_POINTER;
    if (!data_.IsCell(iRow, iCol)) return E_INVALIDARG;
    *pnData = data_.Data(iRow, iCol);
    return S_OK;
}

HRESULT QMXSimpleGridControl::put_CellData(LONG iRow, LONG iCol, LONG nData)
{
    if (!data_.IsCell(iRow, iCol)) return E_INVALIDARG;
    data_.SetData(iRow, iCol, nData);
    return S_OK;
}

HRESULT QMXSimpleGridControl::get_TopRow(LONG* piRow)
{
    if (!piRow) return E_POINTER;
    *piRow = topRow_;
    return S_OK;
}

HRESULT QMXSimpleGridControl::put_TopRow(LONG iRow)
{
    SetTopRow(iRow);
    return S_OK;
}

HRESULT QMXSimpleGridControl::get_SelectedRow(LONG* piRow)
{
    if (!piRow) return E_POINTER;
    *piRow = selectedRow_;
    return selectedRow_ < 0 ? S_FALSE : S_OK;
}

HRESULT QMXSimpleGridControl::put_SelectedRow(LONG iRow)
{
    const LONG row = data_.IsRow(iRow) ? iRow : -1;
    if (row == selectedRow_) return S_OK;
    if (openEditor_ != GridEditorKind::None) return S_FALSE;
    const LONG old = selectedRow_;
    selectedRow_ = row;
    RepaintRow(old);
    RepaintRow(row);
    return S_OK;
}

HRESULT QMXSimpleGridControl::get_SelectedCol(LONG* piCol)
{
    if (!piCol) return E_POINTER;
    *piCol = selectedCol_;
    return S_OK;
}

HRESULT QMXSimpleGridControl::put_SelectedCol(LONG iCol)
{
    if (!data_.IsColumn(iCol)) return E_INVALIDARG;
    if (iCol == selectedCol_) return S_OK;
    if (openEditor_ != GridEditorKind::None) return S_FALSE;
    const LONG old = selectedCol_;
    selectedCol_ = iCol;
    RepaintCell(selectedRow_, old);
    RepaintCell(selectedRow_, iCol);
    return S_OK;
}

HRESULT QMXSimpleGridControl::get_Editable(VARIANT_BOOL* pvbEditable)
{
    if (!pvbEditable) return E_POINTER;
    *pvbEditable = ToVariantBool(editable_);
    return S_OK;
}

HRESULT QMXSimpleGridControl::put_Editable(VARIANT_BOOL vbEditable)
{
    editable_ = vbEditable != VARIANT_FALSE;
    return S_OK;
}

// ------------------------------------------------------------------- rows

HRESULT QMXSimpleGridControl::InsertRow(LONG iIndex)
{
    const LONG index = iIndex >= 0 && iIndex <= data_.RowCount() ? iIndex : data_.RowCount();
    const bool editing = openEditor_ != GridEditorKind::None;
    const bool editedRowShown = editing && CellOnScreen(selectedRow_, selectedCol_);
    RETURN_IF_FAILED(data_.InsertRow(index));
    const bool selectionMoved = selectedRow_ >= 0 && selectedRow_ >= index;
    if (selectionMoved) ++selectedRow_;
    const LONG oldTop = topRow_;
    SyncScrollRange();
    // The edited row stays on the screen and the editor moves with it.
    if (selectionMoved && editedRowShown) MakeSelectedRowVisible();
    PlaceEditor();
    // A row added below the screen changes only the scroll bar.
    if (topRow_ != oldTop || RowPositionOnScreen(index)) Redraw();
    return S_OK;
}

HRESULT QMXSimpleGridControl::DeleteRow(LONG iIndex)
{
    if (!data_.IsRow(iIndex)) return E_INVALIDARG;
    const bool editing = openEditor_ != GridEditorKind::None;
    const bool editedRowShown = editing && CellOnScreen(selectedRow_, selectedCol_);
    const bool wasLast = iIndex == data_.RowCount() - 1;
    data_.DeleteRow(iIndex);
    bool selectionMoved = false;
    if (iIndex == selectedRow_) {
        if (editing) editorInvalidated_ = true;
        if (wasLast) selectedRow_ = data_.RowCount() - 1;
    } else if (iIndex < selectedRow_) {
        --selectedRow_;
        selectionMoved = true;
    }
    SyncScrollRange();
    if (selectionMoved && editedRowShown) MakeSelectedRowVisible();
    PlaceEditor();
    Redraw();
    return S_OK;
}

HRESULT QMXSimpleGridControl::DeleteAllRows()
{
    if (openEditor_ != GridEditorKind::None) editorInvalidated_ = true;
    data_.DeleteAllRows();
    selectedRow_ = -1;
    SyncScrollRange();
    PlaceEditor();
    Redraw();
    return S_OK;
}

// ------------------------------------------------------ scrolling, repaint

void QMXSimpleGridControl::SetTopRow(LONG row)
{
    const LONG page = PageRows(Metrics());
    const LONG top = std::clamp(row, LONG{0}, MaxTopRow(data_.RowCount(), page));
    if (top == topRow_) return;
    topRow_ = top;
    if (window_) window_->SetScrollState(MaxTopRow(data_.RowCount(), page), page, topRow_);
    PlaceEditor();
    Redraw();
}

void QMXSimpleGridControl::MakeSelectedRowVisible()
{
    if (selectedRow_ < 0) return;
    SetTopRow(TopRowShowing(selectedRow_, topRow_, PageRows(Metrics())));
}

void QMXSimpleGridControl::SelectRow(LONG row)
{
    put_SelectedRow(row);
    MakeSelectedRowVisible();
}

void QMXSimpleGridControl::SyncScrollRange()
{
    const LONG page = PageRows(Metrics());
    const LONG maxTop = MaxTopRow(data_.RowCount(), page);
    if (topRow_ > maxTop) {
        topRow_ = maxTop;
        Redraw();
    }
    if (window_) window_->SetScrollState(maxTop, page, topRow_);
    PlaceEditor();
}

bool QMXSimpleGridControl::RowPositionOnScreen(LONG row) const
{
    return std::int64_t(row) < std::int64_t(topRow_) + VisibleRowPositions(Metrics());
}

bool QMXSimpleGridControl::CellOnScreen(LONG row, LONG col) const
{
    return data_.IsCell(row, col) && CellRect(Metrics(), row, col).has_value();
}

void QMXSimpleGridControl::Redraw()
{
    if (window_) window_->update();
}

void QMXSimpleGridControl::RepaintRow(LONG row)
{
    if (!window_ || row < 0) return;
    const GridMetrics m = Metrics();
    if (const std::optional<GridRect> r = CellRect(m, row, 0)) {
        window_->UpdateClient(QRect(0, r->top, m.clientWidth, r->bottom - r->top));
    }
}

void QMXSimpleGridControl::RepaintCell(LONG row, LONG col)
{
    if (!window_ || row < 0) return;
    if (const std::optional<GridRect> r = CellRect(Metrics(), row, col)) {
        window_->UpdateClient(QRect(r->left, r->top, r->right - r->left, r->bottom - r->top));
    }
}

void QMXSimpleGridControl::RepaintHeader(LONG col)
{
    if (!window_) return;
    if (const std::optional<GridRect> r = HeaderRect(Metrics(), col)) {
        window_->UpdateClient(QRect(r->left, r->top, r->right - r->left, r->bottom - r->top));
    }
}

// ----------------------------------------------------------------- events

HRESULT QMXSimpleGridControl::Advise(_ISimpleGridControlEvents* pSink, DWORD* pdwCookie)
{
    return events_.Advise(pSink, pdwCookie);
}

HRESULT QMXSimpleGridControl::Unadvise(DWORD dwCookie) { return events_.Unadvise(dwCookie); }

// ----------------------------------------------------------------- window

HRESULT QMXSimpleGridControl::CreateControlWindow(QWidget* parent, QWidget** ppWindow)
{
    if (!ppWindow) return E_POINTER;
    *ppWindow = nullptr;
    if (window_) {
        if (window_->parentWidget() != parent) window_->setParent(parent);
        *ppWindow = window_.data();
        return S_OK;
    }
    window_ = new (std::nothrow) GridWindow(this, font_, border_, parent);
    if (!window_) return E_OUTOFMEMORY;
    style_.SetColorsFrom(window_->palette());
    // Rows are as high as a closed drop-down list, so the combo editor fits
    // a row exactly.
    if (const int height = window_->ComboItemHeight(); height > 0) rowHeight_ = height;
    SyncScrollRange();
    *ppWindow = window_.data();
    return S_OK;
}

HRESULT QMXSimpleGridControl::GetControlWindow(QWidget** ppWindow)
{
    if (!ppWindow) return E_POINTER;
    *ppWindow = window_.data();
    return window_ ? S_OK : S_FALSE;
}

void QMXSimpleGridControl::PaintClient(QPainter& painter)
{
    PaintGrid(painter, Metrics(), data_, GridSelection{selectedRow_, selectedCol_}, style_, font_);
}

void QMXSimpleGridControl::OnClientResized() { SyncScrollRange(); }

void QMXSimpleGridControl::OnPaletteChanged()
{
    if (window_) style_.SetColorsFrom(window_->palette());
    Redraw();
}

void QMXSimpleGridControl::OnFontChanged(const QFont& font)
{
    if (font == font_) return;
    font_ = font;
    Redraw();
}

HRESULT QMXSimpleGridControl::Draw(QPainter* painter, LONG left, LONG top, LONG right, LONG bottom)
{
    if (!painter) return E_POINTER;
    if (right <= left || bottom <= top) return S_OK;
    GridMetrics m = Metrics();
    m.clientWidth = static_cast<LONG>(std::min<std::int64_t>(std::int64_t(right) - left, kGridFarRight));
    m.clientHeight = static_cast<LONG>(std::min<std::int64_t>(std::int64_t(bottom) - top, kGridFarRight));
    // Without a window of its own the grid draws its own border.
    m.border = border_ ? 1 : 0;
    painter->save();
    painter->translate(left, top);
    painter->setClipRect(QRect(0, 0, m.clientWidth, m.clientHeight));
    PaintGrid(*painter, m, data_, GridSelection{selectedRow_, selectedCol_}, style_, font_);
    painter->restore();
    return S_OK;
}

// ------------------------------------------------------------ persistence

namespace {

constexpr char16_t kBorderProperty[] = u"Border";      // DISPID_SIMPLEGRID_BORDER
constexpr char16_t kColCountProperty[] = u"ColCount";  // DISPID_SIMPLEGRID_COLCOUNT
constexpr char16_t kEditableProperty[] = u"Editable";  // DISPID_SIMPLEGRID_EDITABLE

// Reads one property: nothing when the bag has no value of that name, an
// empty optional inside when the value cannot be converted.
template <class T>
std::optional<std::optional<T>> ReadProperty(IGridPropertyBag* bag, const char16_t* name,
                                             std::optional<T> (*convert)(const VARIANT&))
{
    VARIANT value;
    if (FAILED(bag->Read(name, &value))) return std::nullopt;
    return convert(value);
}

}  // namespace

HRESULT QMXSimpleGridControl::InitNew()
{
    RETURN_IF_FAILED(put_Border(VARIANT_TRUE));
    RETURN_IF_FAILED(put_ColCount(0));
    return put_Editable(VARIANT_FALSE);
}

HRESULT QMXSimpleGridControl::Load(IGridPropertyBag* pBag)
{
    if (!pBag) return E_POINTER;
    const auto border = ReadProperty<bool>(pBag, kBorderProperty, &PropertyToBool);
    const auto colCount = ReadProperty<LONG>(pBag, kColCountProperty, &PropertyToLong);
    const auto editable = ReadProperty<bool>(pBag, kEditableProperty, &PropertyToBool);
    // Every value is checked before any is taken.
    if ((border && !*border) || (colCount && (!*colCount || **colCount < 0)) || (editable && !*editable))
        return E_INVALIDARG;
    if (colCount) RETURN_IF_FAILED(put_ColCount(**colCount));
    if (border) put_Border(ToVariantBool(**border));
    if (editable) put_Editable(ToVariantBool(**editable));
    return S_OK;
}

HRESULT QMXSimpleGridControl::Save(IGridPropertyBag* pBag)
{
    if (!pBag) return E_POINTER;
    RETURN_IF_FAILED(pBag->Write(kBorderProperty, VARIANT(border_)));
    RETURN_IF_FAILED(pBag->Write(kColCountProperty, VARIANT(std::int32_t{data_.ColCount()})));
    return pBag->Write(kEditableProperty, VARIANT(editable_));
}

}  // namespace qmx
