// The two editor parameter objects the grid hands to its host in the editor
// events. They are plain storage; the grid moves their values into and out
// of its editor windows.
#pragma once

#include <vector>

#include "automation/com_object.h"
#include "grid/simple_grid_interfaces.h"

namespace qmx {

class QMXSimpleGridEditParam final : public ComObject<ISimpleGridEditParam> {
public:
    // The edit box's own limit when nobody set one.
    static constexpr LONG kDefaultMaxLength = 32767;

    HRESULT get_Text(BSTR* pbsText) override;
    HRESULT put_Text(const BSTR& bsText) override;
    HRESULT get_IsNumber(VARIANT_BOOL* pvbIsNumber) override;
    HRESULT put_IsNumber(VARIANT_BOOL vbIsNumber) override;
    HRESULT get_MaxLength(LONG* pnMaxLength) override;
    HRESULT put_MaxLength(LONG nMaxLength) override;

    const BSTR& Text() const { return text_; }
    bool IsNumber() const { return isNumber_; }
    LONG MaxLength() const { return maxLength_; }

private:
    BSTR text_;
    bool isNumber_ = false;
    LONG maxLength_ = kDefaultMaxLength;
};

class QMXSimpleGridComboParam final : public ComObject<ISimpleGridComboParam> {
public:
    struct Item {
        LONG id = 0;
        BSTR text;
    };

    HRESULT AddItem(LONG ID, const BSTR& bsText) override;
    HRESULT get_Selection(LONG* pID) override;
    HRESULT put_Selection(LONG ID) override;
    HRESULT get_Text(BSTR* pbsText) override;
    HRESULT put_Text(const BSTR& bsText) override;

    const std::vector<Item>& Items() const { return items_; }
    void ClearItems() { items_.clear(); }
    LONG Selection() const { return selection_; }
    const BSTR& Text() const { return text_; }

private:
    std::vector<Item> items_;
    LONG selection_ = -1;
    BSTR text_;
};

}  // namespace qmx
