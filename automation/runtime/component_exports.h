// The entry points every component library exports, looked up by activation
// and by the registration tool (the roles of DllGetClassObject,
// DllRegisterServer and DllUnregisterServer).
#pragma once

#include "automation/guid.h"
#include "automation/hresult.h"

#define QMX_EXPORT extern "C" __attribute__((visibility("default")))

namespace qmx {
using GetClassObjectFn = HRESULT (*)(const CLSID* rclsid, const IID* riid, void** ppv);
using RegisterServerFn = HRESULT (*)();
inline constexpr const char* kGetClassObjectSymbol = "DllGetClassObject";
inline constexpr const char* kRegisterServerSymbol = "DllRegisterServer";
inline constexpr const char* kUnregisterServerSymbol = "DllUnregisterServer";
}  // namespace qmx

// A component library defines these three:
//   QMX_EXPORT HRESULT DllGetClassObject(const CLSID*, const IID*, void**);
//   QMX_EXPORT HRESULT DllRegisterServer();
//   QMX_EXPORT HRESULT DllUnregisterServer();
