// The reference-counted interface every automation object answers.
#pragma once

#include "automation/guid.h"
#include "automation/hresult.h"
#include "automation/types.h"

// Declares the interface ID of an interface type inside its definition:
//     struct ITask : IUnknown { QMX_INTERFACE_ID("{...}"); ... };
#define QMX_INTERFACE_ID(text) static constexpr IID iid = ::qmx::MakeGuid(text)

struct IUnknown {
    QMX_INTERFACE_ID("{00000000-0000-0000-C000-000000000046}");

    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    // Objects end themselves in Release; nobody deletes through an interface.
    ~IUnknown() = default;
};

inline constexpr IID IID_IUnknown = IUnknown::iid;

namespace qmx {

// The interface ID attached to an interface type.
template <class T>
constexpr const IID& IidOf()
{
    return T::iid;
}

// QueryInterface typed by the requested interface.
template <class T>
HRESULT QueryTo(IUnknown* object, T** result)
{
    if (!result) return E_POINTER;
    *result = nullptr;
    if (!object) return E_POINTER;
    return object->QueryInterface(T::iid, reinterpret_cast<void**>(result));
}

}  // namespace qmx
