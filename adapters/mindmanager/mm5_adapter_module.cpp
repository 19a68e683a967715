// The component's entry points: the class object, and registration of the
// class with its entry in the display application's adapter list.
#include "adapters/contract/adapter_registration.h"
#include "adapters/mindmanager/mm5_adapter.h"
#include "automation/class_factory.h"
#include "maphost/remote/map_faces.h"

namespace {

qmx::ClassInfo Mm5AdapterClass()
{
    return qmx::ClassInfo{qmx::mm::kMm5AdapterClsid, qmx::mm::kMm5AdapterProgId,
                          qmx::mm::kMm5AdapterVersionIndependentProgId, qmx::mm::kMm5AdapterDescription};
}

}  // namespace

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    if (!rclsid || !riid || !ppv) return E_POINTER;
    // A host in another process hands its objects over as proxies.
    qmx::map::RegisterMapFaces();
    return qmx::GetClassObjectFor<qmx::mm::CMm5Adapter>(*rclsid, qmx::mm::kMm5AdapterClsid, *riid, ppv);
}

QMX_EXPORT HRESULT DllRegisterServer()
{
    return qmx::RegisterAdapter(Mm5AdapterClass(), reinterpret_cast<const void*>(&DllRegisterServer));
}

QMX_EXPORT HRESULT DllUnregisterServer() { return qmx::UnregisterAdapter(Mm5AdapterClass()); }
