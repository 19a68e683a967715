// The one application object of the process: IApplication, IDocumentData
// (with IAdapterSite) for the adapters, IAppCommands for the main frame,
// the chart control's event sink and IDisplayController on one object.
#pragma once

#include "app/document/application_interface.h"
#include "automation/com_ptr.h"

struct IDisplayController;

namespace qmx {

class ApplicationShell;
class RegistryStore;
class UserInterface;

// Creates the application object. The registry store (where the adapters
// are listed and their classes registered), the user-interface seam and the
// shell must outlive it. Null when it cannot be made.
ComPtr<IApplication> CreateApplicationObject(const RegistryStore& store, UserInterface& ui, ApplicationShell& shell);

// The controller interface of an object that CreateApplicationObject made;
// it lives as long as the object. Null for any other object.
IDisplayController* DisplayControllerOf(IApplication* application);

}  // namespace qmx
