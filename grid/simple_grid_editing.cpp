// The editor protocol of the grid: asking the host which editor a cell
// gets, opening it with the host's parameters, closing it with the host's
// consent and writing the value back.

#include "grid/simple_grid_control.h"

namespace qmx {

HRESULT QMXSimpleGridControl::OpenEditor()
{
    if (!data_.IsCell(selectedRow_, selectedCol_) || !window_) return E_FAIL;
    if (!editParam_ || !comboParam_) return E_OUTOFMEMORY;
    if (openEditor_ != GridEditorKind::None) {
        window_->FocusEditor(openEditor_);
        return S_FALSE;
    }
    ComPtr<QMXSimpleGridControl> keepAlive(this);  // a sink may drop its last reference
    // A cell scrolled out of view is brought back before its editor opens.
    MakeSelectedRowVisible();
    const LONG row = selectedRow_;
    const LONG col = selectedCol_;

    _CellEditorType type = etNone;
    Fire([&](_ISimpleGridControlEvents* sink) { return sink->QueryCellEditor(row, col, &type); });
    if (type != etEdit && type != etCombo) return S_FALSE;
    // The host may have changed the grid, or opened an editor itself, while
    // it was asked.
    if (openEditor_ != GridEditorKind::None) return S_FALSE;
    if (!window_ || !data_.IsCell(selectedRow_, selectedCol_)) return E_FAIL;

    HRESULT fired = S_OK;
    editorInvalidated_ = false;
    editorShown_ = false;
    if (type == etEdit) {
        RETURN_IF_FAILED(editParam_->put_Text(data_.Text(selectedRow_, selectedCol_)));
        openEditor_ = GridEditorKind::Edit;
        fired = Fire([&](_ISimpleGridControlEvents* sink) {
            return sink->InitEditEditor(row, col, editParam_.Get());
        });
        if (SUCCEEDED(fired) && openEditor_ == GridEditorKind::Edit && window_) window_->WriteEditBox(*editParam_);
    } else {
        comboParam_->ClearItems();
        comboParam_->put_Selection(-1);
        openEditor_ = GridEditorKind::Combo;
        fired = Fire([&](_ISimpleGridControlEvents* sink) {
            return sink->InitComboEditor(row, col, comboParam_.Get());
        });
        if (SUCCEEDED(fired) && openEditor_ == GridEditorKind::Combo && window_) window_->FillComboBox(*comboParam_);
    }
    // An editor whose Init event failed stays hidden; it is open all the
    // same until it is closed.
    if (FAILED(fired) || openEditor_ == GridEditorKind::None || !window_) return S_OK;
    editorShown_ = true;
    PlaceEditor();
    window_->FocusEditor(openEditor_);
    return S_OK;
}

HRESULT QMXSimpleGridControl::CloseEditor(VARIANT_BOOL vbSaveChanges)
{
    if (openEditor_ == GridEditorKind::None) return S_OK;
    // A close asked for from inside the close event waits for the one
    // running.
    if (closingEditor_) return S_FALSE;
    ComPtr<QMXSimpleGridControl> keepAlive(this);
    const GridEditorKind kind = openEditor_;
    // An editor that never showed holds another cell's value; its
    // parameter keeps what the host gave it.
    if (editorShown_ && window_) {
        if (kind == GridEditorKind::Edit) {
            window_->ReadEditBox(*editParam_);
        } else {
            window_->ReadComboBox(*comboParam_);
        }
    }

    const LONG row = selectedRow_;
    const LONG col = selectedCol_;
    VARIANT_BOOL close = VARIANT_TRUE;
    closingEditor_ = true;
    const HRESULT fired = Fire([&](_ISimpleGridControlEvents* sink) {
        return kind == GridEditorKind::Edit
                   ? sink->CloseEditEditor(row, col, vbSaveChanges, editParam_.Get(), &close)
                   : sink->CloseComboEditor(row, col, vbSaveChanges, comboParam_.Get(), &close);
    });
    closingEditor_ = false;
    // A failing close event consents to closing.
    if (SUCCEEDED(fired) && close == VARIANT_FALSE) {
        if (window_) window_->FocusEditor(openEditor_);
        return S_FALSE;
    }

    // The cell moved with its row if the host inserted or deleted rows
    // above it; it is gone if the host deleted it (or its column, or all
    // rows) while the editor was open, and then nothing is written.
    if (vbSaveChanges != VARIANT_FALSE && !editorInvalidated_) {
        const BSTR& text = kind == GridEditorKind::Edit ? editParam_->Text() : comboParam_->Text();
        put_CellText(selectedRow_, selectedCol_, text);
    }
    CloseEditorWindow();
    return S_OK;
}

void QMXSimpleGridControl::CloseEditorWindow()
{
    openEditor_ = GridEditorKind::None;
    editorShown_ = false;
    editorInvalidated_ = false;
    if (window_) {
        window_->HideEditors();
        window_->setFocus(Qt::OtherFocusReason);
    }
}

void QMXSimpleGridControl::PlaceEditor()
{
    if (openEditor_ == GridEditorKind::None || !window_) return;
    std::optional<GridRect> cell;
    if (editorShown_ && data_.IsCell(selectedRow_, selectedCol_)) cell = CellRect(Metrics(), selectedRow_, selectedCol_);
    window_->PlaceEditor(openEditor_, cell);
}

void QMXSimpleGridControl::OnEditorKey(bool save) { CloseEditor(ToVariantBool(save)); }

void QMXSimpleGridControl::OnComboSelectionChanged()
{
    if (openEditor_ != GridEditorKind::Combo || !editorShown_ || !window_) return;
    const std::optional<LONG> id = window_->ComboSelectionId();
    if (!id) return;
    const LONG row = selectedRow_;
    const LONG col = selectedCol_;
    Fire([&](_ISimpleGridControlEvents* sink) { return sink->ComboSelChange(row, col, *id); });
}

void QMXSimpleGridControl::OnFocusIn()
{
    // The focus belongs to the open editor.
    if (openEditor_ != GridEditorKind::None && window_) window_->FocusEditor(openEditor_);
}

}  // namespace qmx
