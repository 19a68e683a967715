#include "addin/command_handler.h"

#include "addin/addin_identity.h"
#include "addin/addin_messages.h"
#include "addin/addin_strings.h"
#include "app/server/application_face.h"
#include "automation/bstr.h"
#include "automation/error_info.h"
#include "automation/remoting/local_server.h"
#include "maphost/api/map_codes.h"

namespace qmx::addin {

CommandHandler::CommandHandler(IMmApplication* host, const std::u16string& imagePath) : host_(host)
{
    ComPtr<IMmCommands> commands;
    if (!host_ || FAILED(host_->get_Commands(commands.ReleaseAndGetAddressOf())) || !commands) return;
    ComPtr<IMmCommand> command;
    if (FAILED(commands->Add(Utf8ToBstr(kAddInVersionIndependentProgId), kShowCommandName, command.ReleaseAndGetAddressOf())) ||
        !command)
        return;
    command_ = command;
    command_->put_Caption(kShowCommandCaption);
    command_->put_ImagePath(imagePath);
    ComPtr<IMmConnectionPoint> point;
    if (SUCCEEDED(command_->get_ConnectionPoint(point.ReleaseAndGetAddressOf())) && point &&
        SUCCEEDED(point->Advise(static_cast<IMmCommandSink*>(this), &cookie_)))
        events_ = point;
}

HRESULT CommandHandler::PlaceCommand()
{
    if (!command_ || destroyed_) return E_FAIL;
    ComPtr<IMmUserInterfaces> items;
    ComPtr<IMmUserInterface> item;
    ComPtr<IMmUiControls> controls;
    RETURN_IF_FAILED(host_->get_UserInterfaces(items.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(items->Item(map::kAddInsUserInterfaceItem, item.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(item->get_Controls(controls.ReleaseAndGetAddressOf()));
    return controls->Add(command_.Get(), 0);
}

void CommandHandler::Destroy()
{
    if (destroyed_) return;
    destroyed_ = true;
    ComPtr<CommandHandler> keep(this);  // the host may drop the sink while we wait
    if (display_) HideAndDisconnect(std::move(display_));
    if (events_) events_->Unadvise(cookie_);
    events_ = nullptr;
    command_ = nullptr;
    host_ = nullptr;
}

HRESULT CommandHandler::OnRun()
{
    ShowDisplay();
    return S_OK;
}

HRESULT CommandHandler::OnUpdateState(VARIANT_BOOL* pEnabled, VARIANT_BOOL* pChecked)
{
    if (!pEnabled || !pChecked) return E_POINTER;
    bool enabled = false;
    ComPtr<IMmDocuments> documents;
    LONG count = 0;
    if (host_ && SUCCEEDED(host_->get_Documents(VARIANT_FALSE, documents.ReleaseAndGetAddressOf())) && documents &&
        SUCCEEDED(documents->get_Count(&count)))
        enabled = count > 0;
    enabled_ = ToVariantBool(enabled);
    checked_ = VARIANT_FALSE;
    *pEnabled = enabled_;
    *pChecked = checked_;
    return S_OK;
}

void CommandHandler::ShowDisplay()
{
    if (showing_ || destroyed_) return;
    showing_ = true;
    ComPtr<CommandHandler> keep(this);
    if (display_) {
        ComPtr<IApplication> held = display_;
        if (SUCCEEDED(held->put_Visible(VARIANT_TRUE))) {
            showing_ = false;
            return;
        }
        // The user has quit it: start a new one.
        if (display_ == held) display_ = nullptr;
    }
    if (!destroyed_) StartDisplay();
    showing_ = false;
}

void CommandHandler::StartDisplay()
{
    std::int64_t window = 0;
    host_->get_MainWindowHandle(&window);
    RegisterApplicationFace();
    ClearErrorInfo();
    ComPtr<IApplication> display;
    HRESULT hr = remoting::CreateLocalInstance(kDisplayApplicationVersionIndependentProgId, &display);
    if (destroyed_) return;  // unloaded meanwhile: a new instance ends with its last reference
    if (FAILED(hr)) return ShowFailure(window, kCannotStartDisplay, hr);

    ComPtr<IUnknown> hostObject;
    host_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(hostObject.ReleaseAndGetAddressOf()));
    // Window ids travel as 32-bit values.
    const auto hwnd = static_cast<LONG>(static_cast<std::uint32_t>(window));
    ClearErrorInfo();
    hr = display->Connect(hostObject.Get(), Utf8ToBstr(map::kHostIdentifier), hwnd, VARIANT{});
    if (destroyed_) {
        if (SUCCEEDED(hr)) display->Disconnect();
        return;
    }
    if (FAILED(hr)) return ShowFailure(window, kCannotConnectDisplay, hr);
    // Held before it is shown, so that unloading while the window comes up
    // takes it down again.
    display_ = display;
    display->put_Visible(VARIANT_TRUE);
}

void CommandHandler::HideAndDisconnect(ComPtr<IApplication> display)
{
    display->put_Visible(VARIANT_FALSE);
    display->Disconnect();
}

}  // namespace qmx::addin
