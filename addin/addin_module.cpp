// The component's entry points: the class object, and registration of the
// class with its key under the map host's add-in key.
#include "addin/addin_identity.h"
#include "addin/addin_registration.h"
#include "addin/mm5_gantt_display_addin.h"
#include "automation/class_factory.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    if (!rclsid || !riid || !ppv) return E_POINTER;
    return qmx::GetClassObjectFor<qmx::addin::CMm5GanttDisplayAddIn>(*rclsid, qmx::addin::kAddInClsid, *riid, ppv);
}

QMX_EXPORT HRESULT DllRegisterServer()
{
    qmx::RegistryStore store;
    return qmx::addin::RegisterAddIn(store, qmx::ModulePath(reinterpret_cast<const void*>(&DllRegisterServer)));
}

QMX_EXPORT HRESULT DllUnregisterServer()
{
    qmx::RegistryStore store;
    return qmx::addin::UnregisterAddIn(store);
}
