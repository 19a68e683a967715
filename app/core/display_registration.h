// The program's own registration as the local server of
// QMXGanttDisplay.Application: the class with both ProgIDs, the type
// library and interface entries, the application ID, and the program's
// Adapters and Settings keys.
#pragma once

#include <string>

#include "automation/guid.h"
#include "automation/hresult.h"

namespace qmx {

class RegistryStore;

inline constexpr const char* kDisplayAppKey = "SOFTWARE/QMX/QMXGanttDisplay";
inline constexpr GUID kDisplayAppId = MakeGuid("{3DD96A8F-8154-45E5-A9B9-E535DFAB29EE}");
inline constexpr GUID kDisplayTypeLibId = MakeGuid("{7FF88B71-A679-4EC5-B411-0DF679CACB80}");
inline constexpr const char* kDisplayAppIdName = "QMXGanttDisplay";
inline constexpr const char* kDisplayAppIdExecutableKey = "QMXGanttDisplay.EXE";
inline constexpr const char* kDisplayClassDescription = "QMXGanttDisplayApplication Class";
inline constexpr const char* kDisplayTypeLibHelp = "QMXGanttDisplay 1.0 Type Library";

// Writes the application ID entries (with the Adapters and Settings keys,
// whose contents are kept), then the class, type library and interface
// entries naming executablePath as the local server. SELFREG_E_CLASS when
// the store cannot be written.
HRESULT RegisterDisplayApplication(RegistryStore& store, const std::string& executablePath);
// Removes the application ID entries, then the class, type library and
// interface entries. The Adapters and Settings keys stay.
HRESULT UnregisterDisplayApplication(RegistryStore& store);

}  // namespace qmx
