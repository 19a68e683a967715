// Class registration in the registry store, with the same keys as on Windows:
//   SOFTWARE/Classes/<ProgID>/CLSID                 = {clsid}
//   SOFTWARE/Classes/<VersionIndependentProgID>/CLSID and /CurVer = <ProgID>
//   SOFTWARE/Classes/CLSID/{clsid}/InprocServer32   = library path
//   SOFTWARE/Classes/CLSID/{clsid}/LocalServer32    = executable path
#pragma once

#include <string>

#include "automation/guid.h"
#include "automation/hresult.h"

namespace qmx {

class RegistryStore;

struct ClassInfo {
    CLSID clsid;
    std::string progId;                     // "Component.Class.1"
    std::string versionIndependentProgId;   // "Component.Class"
    std::string description;
};

inline constexpr const char* kClassesKey = "SOFTWARE/Classes";

std::string ClsidKey(REFCLSID clsid);

HRESULT RegisterInprocServer(RegistryStore& store, const ClassInfo& info, const std::string& libraryPath);
HRESULT RegisterLocalServer(RegistryStore& store, const ClassInfo& info, const std::string& executablePath);
// Removes the class's keys; keys that are already gone are no failure.
HRESULT UnregisterServer(RegistryStore& store, const ClassInfo& info);

// The path of the shared library or program that holds the given address.
std::string ModulePath(const void* addressInModule);

}  // namespace qmx
