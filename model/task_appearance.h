// CTaskAppearance: the colour of a task, or the tree's default colour for new
// tasks. It lives inside its owner and shares the owner's reference count.
#pragma once

#include "automation/com_object.h"
#include "model/model_interfaces.h"

namespace qmx {

class CTaskAppearance;

// The object told of a Color put: it decides whether the put is allowed,
// stores the value and reports it.
struct AppearanceOwner {
    virtual HRESULT PutAppearanceColor(CTaskAppearance& appearance, COLORREF color) = 0;

protected:
    ~AppearanceOwner() = default;
};

class CTaskAppearance final : public EmbeddedObject<ITaskAppearance> {
public:
    CTaskAppearance(IUnknown* owner, AppearanceOwner* listener) : EmbeddedObject(owner), listener_(listener) {}

    HRESULT get_Color(COLORREF* pColor) override
    {
        if (!pColor) return E_POINTER;
        *pColor = color_;
        return S_OK;
    }
    HRESULT put_Color(COLORREF Color) override { return listener_->PutAppearanceColor(*this, Color); }

    COLORREF Color() const { return color_; }
    void StoreColor(COLORREF color) { color_ = color; }

private:
    AppearanceOwner* listener_;
    COLORREF color_ = kNoTaskColor;
};

}  // namespace qmx
