// A tiny component library used to test registration and activation.
#pragma once

#include "automation/unknown.h"

struct ITestGreeter : IUnknown {
    QMX_INTERFACE_ID("{7E1D1C55-1A2B-4C3D-9E8F-0A1B2C3D4E5F}");
    virtual HRESULT Greet(const BSTR& bsName, BSTR* pbsGreeting) = 0;
};

inline constexpr CLSID CLSID_TestGreeter = qmx::MakeGuid("{7E1D1C55-1A2B-4C3D-9E8F-0A1B2C3D4E60}");
inline constexpr const char* kTestGreeterProgId = "QMXTest.Greeter.1";
inline constexpr const char* kTestGreeterVersionIndependentProgId = "QMXTest.Greeter";
