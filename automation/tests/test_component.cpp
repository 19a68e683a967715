#include "automation/tests/test_component.h"

#include "automation/class_factory.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

namespace {

class TestGreeter final : public qmx::ComObject<ITestGreeter> {
public:
    HRESULT Greet(const BSTR& bsName, BSTR* pbsGreeting) override
    {
        if (!pbsGreeting) return E_POINTER;
        *pbsGreeting = u"Hello, " + bsName;
        return S_OK;
    }
};

const qmx::ClassInfo kInfo{CLSID_TestGreeter, kTestGreeterProgId, kTestGreeterVersionIndependentProgId,
                           "Test greeter"};

}  // namespace

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    if (!rclsid || !riid || !ppv) return E_POINTER;
    return qmx::GetClassObjectFor<TestGreeter>(*rclsid, CLSID_TestGreeter, *riid, ppv);
}

QMX_EXPORT HRESULT DllRegisterServer()
{
    qmx::RegistryStore store;
    return qmx::RegisterInprocServer(store, kInfo, qmx::ModulePath(reinterpret_cast<const void*>(&DllRegisterServer)));
}

QMX_EXPORT HRESULT DllUnregisterServer()
{
    qmx::RegistryStore store;
    return qmx::UnregisterServer(store, kInfo);
}
