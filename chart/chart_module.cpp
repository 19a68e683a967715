// The chart control library's entry points: class objects for activation and
// self-registration of every class the library serves.

#include <iterator>

#include "automation/class_factory.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"
#include "chart/gantt_chart_control.h"
#include "chart/gantt_chart_pane.h"
#include "chart/splitter.h"
#include "chart/timeline_pane.h"

namespace {

using ClassObjectFunction = HRESULT (*)(REFIID riid, void** ppv);

template <class T>
HRESULT ClassObjectOf(REFIID riid, void** ppv)
{
    qmx::ComPtr<qmx::ClassFactory<T>> factory = qmx::MakeObject<qmx::ClassFactory<T>>();
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(riid, ppv);
}

struct ClassEntry {
    qmx::ClassInfo (*registration)();
    ClassObjectFunction classObject;
};

// Every class of the library: how it is registered and its class object.
const ClassEntry kClasses[] = {
    {&qmx::QMXTimelinePane::Registration, &ClassObjectOf<qmx::QMXTimelinePane>},
    {&qmx::QMXGanttChartPane::Registration, &ClassObjectOf<qmx::QMXGanttChartPane>},
    {&qmx::QMXSplitter::Registration, &ClassObjectOf<qmx::QMXSplitter>},
    {&qmx::QMXGanttChartControl::Registration, &ClassObjectOf<qmx::QMXGanttChartControl>},
};

}  // namespace

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!rclsid || !riid) return E_POINTER;
    for (const ClassEntry& entry : kClasses) {
        if (entry.registration().clsid == *rclsid) return entry.classObject(*riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

QMX_EXPORT HRESULT DllUnregisterServer()
{
    qmx::RegistryStore store;
    HRESULT result = S_OK;
    for (const ClassEntry& entry : kClasses) {
        const HRESULT hr = qmx::UnregisterServer(store, entry.registration());
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

QMX_EXPORT HRESULT DllRegisterServer()
{
    qmx::RegistryStore store;
    const std::string library = qmx::ModulePath(reinterpret_cast<const void*>(&DllRegisterServer));
    if (library.empty()) return E_UNEXPECTED;
    for (const ClassEntry& entry : kClasses) {
        const HRESULT hr = qmx::RegisterInprocServer(store, entry.registration(), library);
        if (FAILED(hr)) {
            // Leave no half-registered library behind.
            DllUnregisterServer();
            return hr;
        }
    }
    return S_OK;
}
