#include "grid/grid_editor_params.h"

#include "grid/grid_text.h"

#include <new>
#include <stdexcept>

namespace qmx {

HRESULT QMXSimpleGridEditParam::get_Text(BSTR* pbsText) { return CopyText(text_, pbsText); }

HRESULT QMXSimpleGridEditParam::put_Text(const BSTR& bsText) { return CopyText(bsText, &text_); }

HRESULT QMXSimpleGridEditParam::get_IsNumber(VARIANT_BOOL* pvbIsNumber)
{
    if (!pvbIsNumber) return E_POINTER;
    *pvbIsNumber = ToVariantBool(isNumber_);
    return S_OK;
}

HRESULT QMXSimpleGridEditParam::put_IsNumber(VARIANT_BOOL vbIsNumber)
{
    isNumber_ = vbIsNumber != VARIANT_FALSE;
    return S_OK;
}

HRESULT QMXSimpleGridEditParam::get_MaxLength(LONG* pnMaxLength)
{
    if (!pnMaxLength) return E_POINTER;
    *pnMaxLength = maxLength_;
    return S_OK;
}

HRESULT QMXSimpleGridEditParam::put_MaxLength(LONG nMaxLength)
{
    maxLength_ = nMaxLength;
    return S_OK;
}

HRESULT QMXSimpleGridComboParam::AddItem(LONG ID, const BSTR& bsText)
{
    try {
        items_.push_back(Item{ID, bsText});
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::length_error&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT QMXSimpleGridComboParam::get_Selection(LONG* pID)
{
    if (!pID) return E_POINTER;
    *pID = selection_;
    return S_OK;
}

HRESULT QMXSimpleGridComboParam::put_Selection(LONG ID)
{
    selection_ = ID;
    return S_OK;
}

HRESULT QMXSimpleGridComboParam::get_Text(BSTR* pbsText) { return CopyText(text_, pbsText); }

HRESULT QMXSimpleGridComboParam::put_Text(const BSTR& bsText) { return CopyText(bsText, &text_); }

}  // namespace qmx
