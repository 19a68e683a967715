// The component's entry points: the class object, and registration of the
// class with its entry in the display application's adapter list.
#include "adapters/mindmanager/mm5_adapter.h"
#include "automation/class_factory.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

namespace {

qmx::ClassInfo Mm5AdapterClass()
{
    return qmx::ClassInfo{qmx::mm::kMm5AdapterClsid, qmx::mm::kMm5AdapterProgId,
                          qmx::mm::kMm5AdapterVersionIndependentProgId, qmx::mm::kMm5AdapterDescription};
}

std::string AdapterListEntry()
{
    return std::string(qmx::kAdaptersKey) + "/" + qmx::mm::kMm5AdapterVersionIndependentProgId;
}

}  // namespace

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    if (!rclsid || !riid || !ppv) return E_POINTER;
    return qmx::GetClassObjectFor<qmx::mm::CMm5Adapter>(*rclsid, qmx::mm::kMm5AdapterClsid, *riid, ppv);
}

QMX_EXPORT HRESULT DllRegisterServer()
{
    qmx::RegistryStore store;
    const HRESULT hr = qmx::RegisterInprocServer(store, Mm5AdapterClass(),
                                                 qmx::ModulePath(reinterpret_cast<const void*>(&DllRegisterServer)));
    if (FAILED(hr)) return hr;
    // The display application finds its adapters as the empty sub-keys here.
    return store.CreateKey(AdapterListEntry()) ? S_OK : SELFREG_E_CLASS;
}

QMX_EXPORT HRESULT DllUnregisterServer()
{
    qmx::RegistryStore store;
    store.DeleteKey(AdapterListEntry());
    return qmx::UnregisterServer(store, Mm5AdapterClass());
}
