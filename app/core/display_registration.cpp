#include "app/core/display_registration.h"

#include "adapters/contract/gantt_adapter.h"
#include "app/document/application_interface.h"
#include "app/frame/window_placement.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

namespace qmx {
namespace {

ClassInfo DisplayClass()
{
    return ClassInfo{CLSID_QMXGanttDisplayApplication, kDisplayApplicationProgId,
                     kDisplayApplicationVersionIndependentProgId, kDisplayClassDescription};
}

std::string AppIdKey() { return std::string(kClassesKey) + "/AppID/" + GuidToString(kDisplayAppId); }
std::string AppIdExecutableKey() { return std::string(kClassesKey) + "/AppID/" + kDisplayAppIdExecutableKey; }
std::string TypeLibKey() { return std::string(kClassesKey) + "/TypeLib/" + GuidToString(kDisplayTypeLibId); }
std::string InterfaceKey() { return std::string(kClassesKey) + "/Interface/" + GuidToString(IApplication::iid); }

bool WriteAppIdEntries(RegistryStore& store)
{
    const std::string appId = GuidToString(kDisplayAppId);
    return store.SetString(AppIdKey(), "", kDisplayAppIdName) &&
           store.SetString(AppIdExecutableKey(), "AppID", appId) &&
           store.CreateKey(kAdaptersKey) && store.CreateKey(kSettingsKey);
}

bool WriteServerEntries(RegistryStore& store, const std::string& executablePath)
{
    if (FAILED(RegisterLocalServer(store, DisplayClass(), executablePath))) return false;
    const std::string clsidKey = ClsidKey(CLSID_QMXGanttDisplayApplication);
    const std::string libId = GuidToString(kDisplayTypeLibId);
    return store.CreateKey(clsidKey + "/Programmable") &&
           store.SetString(clsidKey, "AppID", GuidToString(kDisplayAppId)) &&
           store.SetString(clsidKey + "/TypeLib", "", libId) &&
           // The type library is part of the program itself.
           store.SetString(TypeLibKey() + "/1.0", "", kDisplayTypeLibHelp) &&
           store.SetString(TypeLibKey() + "/1.0/0/linux", "", executablePath) &&
           store.SetString(TypeLibKey() + "/1.0/FLAGS", "", "0") &&
           store.SetString(InterfaceKey(), "", "IApplication") &&
           store.SetString(InterfaceKey() + "/TypeLib", "", libId) &&
           store.SetString(InterfaceKey() + "/TypeLib", "Version", "1.0");
}

}  // namespace

HRESULT RegisterDisplayApplication(RegistryStore& store, const std::string& executablePath)
{
    if (executablePath.empty()) return E_INVALIDARG;
    if (!WriteAppIdEntries(store) || !WriteServerEntries(store, executablePath)) return SELFREG_E_CLASS;
    return S_OK;
}

HRESULT UnregisterDisplayApplication(RegistryStore& store)
{
    store.DeleteKey(AppIdKey());
    store.DeleteKey(AppIdExecutableKey());
    store.DeleteKey(TypeLibKey());
    store.DeleteKey(InterfaceKey());
    return UnregisterServer(store, DisplayClass());
}

}  // namespace qmx
