// The add-in's command handler: it owns the command "ShowGanttDisplayCommand"
// on the host, answers the command's events, and holds the display
// application it started, from the add-in's connection to its disconnection.
#pragma once

#include <string>

#include "app/document/application_interface.h"
#include "automation/com_object.h"
#include "maphost/api/map_interfaces.h"

namespace qmx::addin {

class CommandHandler final : public ComObject<IMmCommandSink> {
public:
    // Adds the command to the host's command collection with its caption and
    // image, and connects to its events. Without a command collection, or
    // when the host refuses the command, the handler stays without one.
    CommandHandler(IMmApplication* host, const std::u16string& imagePath);

    bool HasCommand() const { return command_ != nullptr; }
    // Places the command on the host's user-interface item that carries the
    // add-ins' commands.
    HRESULT PlaceCommand();
    // Hides and disconnects the display application when one is held, then
    // lets go of the command's events, the command and the host. The command
    // stays in the host's collection. Nothing the handler does afterwards
    // reaches the host.
    void Destroy();

    // Event 1: shows the display application.
    HRESULT OnRun() override;
    // Event 2: enabled while the host has a map open, never checked.
    HRESULT OnUpdateState(VARIANT_BOOL* pEnabled, VARIANT_BOOL* pChecked) override;

private:
    void ShowDisplay();
    // Starts a new display application and connects it to the host; held
    // when that succeeded.
    void StartDisplay();
    static void HideAndDisconnect(ComPtr<IApplication> display);

    ComPtr<IMmApplication> host_;
    ComPtr<IMmCommand> command_;
    ComPtr<IMmConnectionPoint> events_;
    DWORD cookie_ = 0;
    ComPtr<IApplication> display_;
    VARIANT_BOOL enabled_ = VARIANT_FALSE;
    VARIANT_BOOL checked_ = VARIANT_FALSE;
    // Calls to the display application serve the host's events while they
    // wait, so the command can run again, or the add-in be unloaded, in the
    // middle of showing.
    bool showing_ = false;
    bool destroyed_ = false;
};

}  // namespace qmx::addin
