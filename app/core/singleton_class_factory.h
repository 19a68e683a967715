// The class object of QMXGanttDisplay.Application: it holds the one
// application object of the process, made together with the factory, and
// hands that same object to every activation.
#pragma once

#include "app/document/application_interface.h"
#include "automation/class_factory.h"
#include "automation/com_ptr.h"

namespace qmx {

class SingletonClassFactory final : public ComObject<IClassFactory> {
public:
    explicit SingletonClassFactory(ComPtr<IApplication> application) : application_(std::move(application)) {}

    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override
    {
        if (!ppvObject) return E_POINTER;
        *ppvObject = nullptr;
        if (pUnkOuter) return CLASS_E_NOAGGREGATION;
        if (!application_) return E_UNEXPECTED;
        return application_->QueryInterface(riid, ppvObject);
    }
    HRESULT LockServer(bool) override { return S_OK; }

    IApplication* Application() const { return application_.Get(); }
    // Lets go of the object (at the end of the process).
    void ReleaseApplication() { application_.Reset(); }

private:
    ComPtr<IApplication> application_;
};

}  // namespace qmx
