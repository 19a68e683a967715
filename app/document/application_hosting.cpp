// IApplication: what a host application calls to connect an adapter to
// itself and to show, hide and end the display application.
#include <QWidget>

#include "adapters/contract/hosted_adapter.h"
#include "app/document/application_object_impl.h"
#include "app/document/application_shell.h"
#include "app/document/modal_dialogs.h"

namespace qmx {

bool ApplicationObject::EnsureMainWindow()
{
    state_.shell.SetUserControl(true);
    return state_.shell.MainWindow() || state_.shell.CreateMainWindow();
}

void ApplicationObject::SetStandalone(bool standalone)
{
    state_.standalone = standalone;
    state_.shell.StandaloneModeChanged(standalone);
}

HRESULT ApplicationObject::Connect(IUnknown* pHostApp, const BSTR& bsHostAppId, LONG hwndHost,
                                   const VARIANT& varAdditional)
{
    const ComPtr<IApplication> self(this);
    state_.hostWindow = hwndHost;
    if (!EnsureMainWindow()) return E_FAIL;

    ComPtr<IGanttAdapter> chosen;
    ComPtr<IHostedAdapter> hosted;
    // A copy: an adapter's answer may reach back into the application.
    const std::vector<ComPtr<IGanttAdapter>> adapters = state_.adapters.Adapters();
    for (const ComPtr<IGanttAdapter>& adapter : adapters) {
        ComPtr<IHostedAdapter> candidate;
        if (FAILED(adapter.As(&candidate)) || !candidate) continue;
        VARIANT_BOOL supports = VARIANT_FALSE;
        if (SUCCEEDED(candidate->SupportsHostApp(bsHostAppId, &supports)) && supports == VARIANT_TRUE) {
            chosen = adapter;
            hosted = candidate;
            break;
        }
    }
    // No adapter serves this host: nothing can become current.
    if (!chosen) return E_FAIL;
    const HRESULT hr = hosted->ConnectHostApp(pHostApp, bsHostAppId, varAdditional);
    if (FAILED(hr)) return hr;

    state_.currentAdapter = chosen;
    state_.currentDocType = 0;
    if (state_.control) state_.control->put_PanesEnabled(VARIANT_TRUE);
    SetStandalone(false);
    return S_OK;
}

HRESULT ApplicationObject::Disconnect()
{
    const ComPtr<IApplication> self(this);
    if (const ComPtr<IGanttAdapter> adapter = std::move(state_.currentAdapter)) {
        state_.currentAdapter = nullptr;
        ComPtr<IHostedAdapter> hosted;
        if (SUCCEEDED(adapter.As(&hosted)) && hosted) hosted->DisconnectHostApp();
    }
    SetStandalone(true);
    state_.hostWindow = 0;
    return S_OK;
}

HRESULT ApplicationObject::get_Visible(VARIANT_BOOL* pvbVisible)
{
    if (!pvbVisible) return E_POINTER;
    QWidget* window = state_.shell.MainWindow();
    *pvbVisible = ToVariantBool(window && window->isVisible());
    return S_OK;
}

HRESULT ApplicationObject::put_Visible(VARIANT_BOOL vbVisible)
{
    if (!EnsureMainWindow()) return E_FAIL;
    QWidget* window = state_.shell.MainWindow();
    if (!window) return E_FAIL;
    if (vbVisible == VARIANT_TRUE) {
        if (window->isMinimized()) window->showNormal();
        else window->show();
        window->raise();
        window->activateWindow();
        state_.shell.SetUserControl(true);
    } else {
        CancelModalDialog(window);
        window->hide();
        state_.shell.SetUserControl(false);
    }
    return S_OK;
}

HRESULT ApplicationObject::get_Hwnd(LONG* phWnd)
{
    if (!phWnd) return E_POINTER;
    QWidget* window = state_.shell.MainWindow();
    *phWnd = window ? static_cast<LONG>(static_cast<std::uint32_t>(window->winId())) : 0;
    return S_OK;
}

HRESULT ApplicationObject::Quit()
{
    const ComPtr<IApplication> self(this);
    if (state_.shell.MainWindow()) {
        state_.shell.SendExitCommand();
        return S_OK;
    }
    bool canExit = true;
    Shutdown(true, &canExit);
    state_.shell.PostQuit();
    return S_OK;
}

}  // namespace qmx
