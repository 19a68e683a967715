#include "automation/runtime/registration.h"

#include <dlfcn.h>

#include <cstdlib>

#include "automation/runtime/registry_store.h"

namespace qmx {

namespace {

std::string ProgIdKey(const std::string& progId) { return std::string(kClassesKey) + "/" + progId; }

HRESULT RegisterCommon(RegistryStore& store, const ClassInfo& info, const char* serverKey, const std::string& path)
{
    if (info.progId.empty() || info.clsid == GUID_NULL || path.empty()) return E_INVALIDARG;
    const std::string clsidText = GuidToString(info.clsid);
    const std::string clsidKey = ClsidKey(info.clsid);
    bool ok = store.SetString(ProgIdKey(info.progId), "", info.description) &&
              store.SetString(ProgIdKey(info.progId) + "/CLSID", "", clsidText) &&
              store.SetString(clsidKey, "", info.description) &&
              store.SetString(clsidKey + "/ProgID", "", info.progId) &&
              store.SetString(clsidKey + "/" + serverKey, "", path);
    if (ok && std::string(serverKey) == "InprocServer32")
        ok = store.SetString(clsidKey + "/InprocServer32", "ThreadingModel", "Apartment");
    if (ok && !info.versionIndependentProgId.empty()) {
        const std::string vi = ProgIdKey(info.versionIndependentProgId);
        ok = store.SetString(vi, "", info.description) && store.SetString(vi + "/CLSID", "", clsidText) &&
             store.SetString(vi + "/CurVer", "", info.progId) &&
             store.SetString(clsidKey + "/VersionIndependentProgID", "", info.versionIndependentProgId);
    }
    return ok ? S_OK : SELFREG_E_CLASS;
}

}  // namespace

std::string ClsidKey(REFCLSID clsid) { return std::string(kClassesKey) + "/CLSID/" + GuidToString(clsid); }

HRESULT RegisterInprocServer(RegistryStore& store, const ClassInfo& info, const std::string& libraryPath)
{
    return RegisterCommon(store, info, "InprocServer32", libraryPath);
}

HRESULT RegisterLocalServer(RegistryStore& store, const ClassInfo& info, const std::string& executablePath)
{
    return RegisterCommon(store, info, "LocalServer32", executablePath);
}

HRESULT UnregisterServer(RegistryStore& store, const ClassInfo& info)
{
    store.DeleteKey(ClsidKey(info.clsid));
    if (!info.progId.empty()) store.DeleteKey(ProgIdKey(info.progId));
    if (!info.versionIndependentProgId.empty()) store.DeleteKey(ProgIdKey(info.versionIndependentProgId));
    return S_OK;
}

std::string ModulePath(const void* addressInModule)
{
    Dl_info info{};
    if (!dladdr(addressInModule, &info) || !info.dli_fname) return {};
    char* resolved = realpath(info.dli_fname, nullptr);
    if (!resolved) return info.dli_fname;
    std::string path(resolved);
    std::free(resolved);
    return path;
}

}  // namespace qmx
