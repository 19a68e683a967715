// Registering the add-in: its class in-process, its type library and
// application IDs beside the class, and its key under the map host's add-in
// key, through which the host finds and loads it.
#pragma once

#include <string>

#include "automation/hresult.h"

namespace qmx {
class RegistryStore;
}

namespace qmx::addin {

// "SOFTWARE/Mindjet/MindManager/5/AddIns/QMXGanttDisplay.Mm5GanttDisplay.AddIn.1"
std::string AddInKey();

// The add-in key is replaced as a whole: values and sub-keys a former
// registration (or a hand edit) left there go.
HRESULT RegisterAddIn(RegistryStore& store, const std::string& libraryPath);
// Removes the add-in key and the class's keys; keys already gone are no
// failure. Other add-ins' keys stay.
HRESULT UnregisterAddIn(RegistryStore& store);

}  // namespace qmx::addin
