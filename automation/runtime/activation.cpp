#include "automation/runtime/activation.h"

#include <dlfcn.h>

#include <map>
#include <string>

#include "automation/class_factory.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

namespace qmx {

namespace {

// Loaded libraries stay loaded for the life of the process: objects they
// created may outlive any one activation.
std::map<std::string, void*>& LoadedLibraries()
{
    static std::map<std::string, void*> libraries;
    return libraries;
}

void* LoadLibrary(const std::string& path)
{
    auto& libraries = LoadedLibraries();
    if (auto it = libraries.find(path); it != libraries.end()) return it->second;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle) libraries.emplace(path, handle);
    return handle;
}

}  // namespace

HRESULT CLSIDFromProgID(const RegistryStore& store, std::string_view progId, CLSID* pclsid)
{
    if (!pclsid) return E_POINTER;
    *pclsid = GUID_NULL;
    if (progId.empty() || progId.find('/') != std::string_view::npos) return CO_E_CLASSSTRING;
    std::string key = std::string(kClassesKey) + "/" + std::string(progId);
    // A version-independent ProgID names its current version.
    if (auto current = store.GetString(key + "/CurVer"); current && !current->empty() &&
                                                         current->find('/') == std::string::npos)
        key = std::string(kClassesKey) + "/" + *current;
    const auto text = store.GetString(key + "/CLSID");
    if (!text) return CO_E_CLASSSTRING;
    const auto clsid = ParseGuid(*text);
    if (!clsid) return CO_E_CLASSSTRING;
    *pclsid = *clsid;
    return S_OK;
}

HRESULT CLSIDFromProgID(std::string_view progId, CLSID* pclsid)
{
    return CLSIDFromProgID(RegistryStore(), progId, pclsid);
}

HRESULT GetClassObject(const RegistryStore& store, REFCLSID clsid, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    const auto path = store.GetString(ClsidKey(clsid) + "/InprocServer32");
    if (!path || path->empty()) return REGDB_E_CLASSNOTREG;
    void* library = LoadLibrary(*path);
    if (!library) return CO_E_DLLNOTFOUND;
    auto entry = reinterpret_cast<GetClassObjectFn>(dlsym(library, kGetClassObjectSymbol));
    if (!entry) return CO_E_ERRORINDLL;
    return entry(&clsid, &riid, ppv);
}

HRESULT CreateInstance(const RegistryStore& store, REFCLSID clsid, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    ComPtr<IClassFactory> factory;
    HRESULT hr = GetClassObject(store, clsid, IClassFactory::iid, reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf()));
    if (FAILED(hr)) return hr;
    if (!factory) return E_UNEXPECTED;
    return factory->CreateInstance(nullptr, riid, ppv);
}

HRESULT CreateInstance(REFCLSID clsid, REFIID riid, void** ppv)
{
    return CreateInstance(RegistryStore(), clsid, riid, ppv);
}

HRESULT CreateInstance(std::string_view progId, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    const RegistryStore store;
    CLSID clsid;
    const HRESULT hr = CLSIDFromProgID(store, progId, &clsid);
    if (FAILED(hr)) return hr;
    return CreateInstance(store, clsid, riid, ppv);
}

}  // namespace qmx
