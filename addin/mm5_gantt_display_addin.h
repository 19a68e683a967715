// The add-in object the map host loads through IDTExtensibility2: it keeps
// the host's application and a command handler from connection to
// disconnection.
#pragma once

#include "addin/command_handler.h"
#include "automation/com_object.h"
#include "maphost/api/map_interfaces.h"

namespace qmx::addin {

class CMm5GanttDisplayAddIn final : public ComObject<IDTExtensibility2> {
public:
    ~CMm5GanttDisplayAddIn() override;

    // Keeps the host's application interface and creates the command
    // handler; element 0 of the custom array, read as a boolean, places the
    // command in the host's user interface. E_NOINTERFACE when the object is
    // not the host's application.
    HRESULT OnConnection(IUnknown* pApplication, LONG connectMode, IUnknown* pAddInInst,
                         const std::vector<VARIANT>& customArray) override;
    // Destroys the command handler: the display application it holds is
    // hidden and disconnected.
    HRESULT OnDisconnection(LONG removeMode, const std::vector<VARIANT>& customArray) override;
    HRESULT OnAddInsUpdate(const std::vector<VARIANT>& customArray) override;
    HRESULT OnStartupComplete(const std::vector<VARIANT>& customArray) override;
    HRESULT OnBeginShutdown(const std::vector<VARIANT>& customArray) override;

private:
    void DestroyHandler();

    ComPtr<IMmApplication> host_;
    ComPtr<CommandHandler> handler_;
};

// The element of a custom array read as a boolean, as a variant converts:
// a number is true when it is not zero, a text "true" or "false" in any
// case, or a number; empty, objects and other texts are false.
bool VariantIsTrue(const VARIANT& value);

}  // namespace qmx::addin
