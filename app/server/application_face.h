// The D-Bus face of IApplication: what a host in another process calls.
#pragma once

#include "app/document/application_interface.h"
#include "automation/remoting/interface_face.h"

namespace qmx {

class ApplicationProxy final : public remoting::Facet<IApplication> {
public:
    using Facet::Facet;
    HRESULT Connect(IUnknown* pHostApp, const BSTR& bsHostAppId, LONG hwndHost, const VARIANT& varAdditional) override
    {
        QMX_REMOTE_CALL(Connect, pHostApp, bsHostAppId, hwndHost, varAdditional);
    }
    HRESULT Disconnect() override { QMX_REMOTE_CALL(Disconnect); }
    HRESULT get_Visible(VARIANT_BOOL* pvbVisible) override { QMX_REMOTE_CALL(get_Visible, pvbVisible); }
    HRESULT put_Visible(VARIANT_BOOL vbVisible) override { QMX_REMOTE_CALL(put_Visible, vbVisible); }
    HRESULT get_Hwnd(LONG* phWnd) override { QMX_REMOTE_CALL(get_Hwnd, phWnd); }
    HRESULT Quit() override { QMX_REMOTE_CALL(Quit); }
};

// Registers the face (once); every process that serves or calls
// IApplication across processes does this first.
void RegisterApplicationFace();

}  // namespace qmx
