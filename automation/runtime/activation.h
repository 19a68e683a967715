// In-process activation: ProgID to CLSID to library, through the registry
// store; the library's class object creates the instance.
#pragma once

#include <string>
#include <string_view>

#include "automation/com_ptr.h"

namespace qmx {

class RegistryStore;

// Follows a version-independent ProgID's CurVer. CO_E_CLASSSTRING for an
// unknown or malformed ProgID.
HRESULT CLSIDFromProgID(std::string_view progId, CLSID* pclsid);
HRESULT CLSIDFromProgID(const RegistryStore& store, std::string_view progId, CLSID* pclsid);

// Loads the class's in-process library (once per process) and asks its class
// object. REGDB_E_CLASSNOTREG for an unregistered class, CO_E_DLLNOTFOUND for
// a library that cannot be loaded, CO_E_ERRORINDLL for one without the entry
// point, E_NOINTERFACE for an interface the object does not answer.
HRESULT GetClassObject(const RegistryStore& store, REFCLSID clsid, REFIID riid, void** ppv);
HRESULT CreateInstance(const RegistryStore& store, REFCLSID clsid, REFIID riid, void** ppv);
HRESULT CreateInstance(REFCLSID clsid, REFIID riid, void** ppv);
HRESULT CreateInstance(std::string_view progId, REFIID riid, void** ppv);

template <class T>
HRESULT CreateInstance(std::string_view progId, ComPtr<T>* result)
{
    if (!result) return E_POINTER;
    return CreateInstance(progId, T::iid, reinterpret_cast<void**>(result->ReleaseAndGetAddressOf()));
}

template <class T>
HRESULT CreateInstance(REFCLSID clsid, ComPtr<T>* result)
{
    if (!result) return E_POINTER;
    return CreateInstance(clsid, T::iid, reinterpret_cast<void**>(result->ReleaseAndGetAddressOf()));
}

}  // namespace qmx
