// Registering a document adapter: its class in-process, and its empty
// entry under kAdaptersKey through which the display application finds it.
// For the entry points of adapter libraries (link qmx_automation_runtime).
#pragma once

#include <string>

#include "adapters/contract/gantt_adapter.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

namespace qmx {

inline std::string AdapterListEntry(const ClassInfo& info)
{
    return std::string(kAdaptersKey) + "/" + info.versionIndependentProgId;
}

// codeInModule: any address inside the adapter's library.
inline HRESULT RegisterAdapter(const ClassInfo& info, const void* codeInModule)
{
    RegistryStore store;
    const HRESULT hr = RegisterInprocServer(store, info, ModulePath(codeInModule));
    if (FAILED(hr)) return hr;
    return store.CreateKey(AdapterListEntry(info)) ? S_OK : SELFREG_E_CLASS;
}

inline HRESULT UnregisterAdapter(const ClassInfo& info)
{
    RegistryStore store;
    store.DeleteKey(AdapterListEntry(info));
    return UnregisterServer(store, info);
}

}  // namespace qmx
