#include "app/server/local_server_parts.h"

#include <memory>

#include "app/core/display_app.h"
#include "app/server/application_face.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"

namespace qmx {

void InstallLocalServer(DisplayAppParts& parts, std::function<void()> quit)
{
    auto userControl = std::make_shared<bool>(false);
    auto serving = std::make_shared<bool>(false);
    parts.registerClassObject = [userControl, serving, quit](IClassFactory* factory) {
        RegisterApplicationFace();
        remoting::Apartment& apartment = remoting::Apartment::Instance();
        apartment.SetLastReleaseHandler([userControl, quit] {
            if (!*userControl) quit();
        });
        *serving = remoting::ServeClassObject(factory);
        return *serving;
    };
    parts.revokeClassObjects = [] { remoting::Apartment::Instance().SetLastReleaseHandler({}); };
    parts.disconnectClients = [] { remoting::Apartment::Instance().DisconnectAll(); };
    parts.userControlChanged = [userControl, serving, quit](bool control) {
        *userControl = control;
        // Control given up after the last client went: nothing keeps the
        // program any more.
        if (!control && *serving && remoting::Apartment::Instance().HeldObjects() == 0) quit();
    };
}

}  // namespace qmx
