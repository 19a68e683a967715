#include "addin/addin_registration.h"

#include "addin/addin_identity.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"
#include "maphost/app/add_in_manager.h"

namespace qmx::addin {

namespace {

ClassInfo AddInClass()
{
    return ClassInfo{kAddInClsid, kAddInProgId, kAddInVersionIndependentProgId, kAddInClassName};
}

std::string AppIdKey() { return std::string(kClassesKey) + "/AppID/" + GuidToString(kAddInAppId); }

}  // namespace

std::string AddInKey() { return std::string(map::kAddInsKey) + "/" + kAddInProgId; }

HRESULT RegisterAddIn(RegistryStore& store, const std::string& libraryPath)
{
    const HRESULT hr = RegisterInprocServer(store, AddInClass(), libraryPath);
    if (FAILED(hr)) return hr;
    const std::string classKey = ClsidKey(kAddInClsid);
    const std::string addInKey = AddInKey();
    store.DeleteKey(addInKey);
    const bool ok = store.SetString(classKey + "/TypeLib", "", GuidToString(kAddInTypeLibId)) &&
                    store.SetString(classKey, "AppID", GuidToString(kAddInAppId)) &&
                    store.SetString(AppIdKey(), "", kAddInClassName) &&
                    store.SetString(addInKey, "FriendlyName", kAddInFriendlyName) &&
                    store.SetString(addInKey, "Description", kAddInDescription) &&
                    store.SetNumber(addInKey, "CommandLineSafe", kAddInCommandLineSafe) &&
                    store.SetNumber(addInKey, "LoadBehavior", kAddInLoadBehavior);
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterAddIn(RegistryStore& store)
{
    store.DeleteKey(AddInKey());
    store.DeleteKey(AppIdKey());
    return UnregisterServer(store, AddInClass());
}

}  // namespace qmx::addin
