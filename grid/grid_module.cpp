// The grid library's entry points: the class object of the grid control and
// its self-registration.

#include <string>

#include "automation/class_factory.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"
#include "grid/simple_grid_control.h"

namespace {

std::string TypeLibKey() { return std::string(qmx::kClassesKey) + "/TypeLib/" + qmx::GuidToString(LIBID_QMXSimpleGridLib); }

// The marks of an insertable, programmable control with its tool-box
// picture and type library, beside the class's usual keys.
bool RegisterControlKeys(qmx::RegistryStore& store, const std::string& library)
{
    const std::string clsidKey = qmx::ClsidKey(CLSID_QMXSimpleGridControl);
    const std::string libid = qmx::GuidToString(LIBID_QMXSimpleGridLib);
    return store.CreateKey(clsidKey + "/Control") && store.CreateKey(clsidKey + "/Insertable") &&
           store.CreateKey(clsidKey + "/Programmable") &&
           store.SetString(clsidKey + "/ToolboxBitmap32", "",
                           library + ", " + std::to_string(kSimpleGridToolboxBitmap)) &&
           store.SetString(clsidKey + "/TypeLib", "", libid) &&
           store.SetString(clsidKey + "/Version", "", kSimpleGridLibVersion) &&
           store.SetString(TypeLibKey() + "/" + kSimpleGridLibVersion, "", kSimpleGridLibName) &&
           store.SetString(TypeLibKey() + "/" + kSimpleGridLibVersion + "/0/linux", "", library);
}

}  // namespace

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!rclsid || !riid) return E_POINTER;
    return qmx::GetClassObjectFor<qmx::QMXSimpleGridControl>(*rclsid, CLSID_QMXSimpleGridControl, *riid, ppv);
}

QMX_EXPORT HRESULT DllUnregisterServer()
{
    qmx::RegistryStore store;
    store.DeleteKey(TypeLibKey());
    return qmx::UnregisterServer(store, qmx::QMXSimpleGridControl::Registration());
}

QMX_EXPORT HRESULT DllRegisterServer()
{
    qmx::RegistryStore store;
    const std::string library = qmx::ModulePath(reinterpret_cast<const void*>(&DllRegisterServer));
    if (library.empty()) return E_UNEXPECTED;
    HRESULT hr = qmx::RegisterInprocServer(store, qmx::QMXSimpleGridControl::Registration(), library);
    if (SUCCEEDED(hr) && !RegisterControlKeys(store, library)) hr = SELFREG_E_CLASS;
    if (FAILED(hr)) {
        // Leave no half-registered library behind.
        DllUnregisterServer();
        return hr;
    }
    return S_OK;
}
