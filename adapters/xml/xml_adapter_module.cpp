// The component's entry points: the class object, and registration of the
// class with its entry in the display application's adapter list.
#include "adapters/contract/adapter_registration.h"
#include "adapters/xml/xml_adapter.h"
#include "automation/class_factory.h"

namespace {

qmx::ClassInfo XmlAdapterClass()
{
    return qmx::ClassInfo{qmx::xml::kXmlAdapterClsid, qmx::xml::kXmlAdapterProgId,
                          qmx::xml::kXmlAdapterVersionIndependentProgId, qmx::xml::kXmlAdapterDescription};
}

}  // namespace

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    if (!rclsid || !riid || !ppv) return E_POINTER;
    return qmx::GetClassObjectFor<qmx::xml::CXmlAdapter>(*rclsid, qmx::xml::kXmlAdapterClsid, *riid, ppv);
}

QMX_EXPORT HRESULT DllRegisterServer()
{
    return qmx::RegisterAdapter(XmlAdapterClass(), reinterpret_cast<const void*>(&DllRegisterServer));
}

QMX_EXPORT HRESULT DllUnregisterServer() { return qmx::UnregisterAdapter(XmlAdapterClass()); }
