// Class objects: the factories a component library hands to activation.
#pragma once

#include "automation/com_object.h"

struct IClassFactory : IUnknown {
    QMX_INTERFACE_ID("{00000001-0000-0000-C000-000000000046}");
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(bool fLock) = 0;
};

namespace qmx {

// A factory creating T with its default constructor (or with the creator
// function given). Aggregation is not supported.
template <class T>
class ClassFactory final : public ComObject<IClassFactory> {
public:
    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override
    {
        if (!ppvObject) return E_POINTER;
        *ppvObject = nullptr;
        if (pUnkOuter) return CLASS_E_NOAGGREGATION;
        ComPtr<T> object = MakeObject<T>();
        if (!object) return E_OUTOFMEMORY;
        return object->QueryInterface(riid, ppvObject);
    }
    HRESULT LockServer(bool) override { return S_OK; }
};

// Answers a class-object request for T when clsid matches; for use in a
// library's DllGetClassObject.
template <class T>
HRESULT GetClassObjectFor(REFCLSID wanted, REFCLSID clsid, REFIID riid, void** ppv)
{
    if (wanted != clsid) return CLASS_E_CLASSNOTAVAILABLE;
    ComPtr<ClassFactory<T>> factory = MakeObject<ClassFactory<T>>();
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(riid, ppv);
}

}  // namespace qmx
