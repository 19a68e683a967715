// Saving a control's persisted properties to a property bag and loading them
// back: a container keeps the bag (in its document or settings) and hands it
// to the control.
#pragma once

#include <optional>

#include "automation/types.h"
#include "automation/unknown.h"
#include "automation/variant.h"

// Named values, written and read by the container's storage.
struct IGridPropertyBag : IUnknown {
    QMX_INTERFACE_ID("{A43D4C6C-1881-4695-8B9D-F0531545079D}");

    // E_INVALIDARG when the bag holds no value of that name.
    virtual HRESULT Read(const BSTR& bsName, VARIANT* pValue) = 0;
    virtual HRESULT Write(const BSTR& bsName, const VARIANT& value) = 0;
};

// A control whose persisted properties go to and come from a property bag.
struct IPersistGridProperties : IUnknown {
    QMX_INTERFACE_ID("{61B7087B-26F9-4C3B-BF1C-6D04008FE84B}");

    // The properties take their initial values.
    virtual HRESULT InitNew() = 0;
    // Reads every persisted property; a missing one keeps its value. A value
    // of the wrong kind or out of range answers E_INVALIDARG and changes
    // nothing at all.
    virtual HRESULT Load(IGridPropertyBag* pBag) = 0;
    // Writes every persisted property.
    virtual HRESULT Save(IGridPropertyBag* pBag) = 0;
};

namespace qmx {

// Conversions of a stored value to the kind of a property, as a container's
// storage may have kept it: a boolean from a boolean, a number (non-zero is
// true) or the words "true"/"false" (any case); an integer from an integer,
// a whole double within 32 bits or decimal digits with an optional sign.
// Anything else gives nothing.
std::optional<bool> PropertyToBool(const VARIANT& value);
std::optional<LONG> PropertyToLong(const VARIANT& value);

}  // namespace qmx
