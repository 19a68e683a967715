// The host object the server tests hand to Connect, and its face.
#pragma once

#include "automation/remoting/interface_face.h"

struct ITestHost : IUnknown {
    QMX_INTERFACE_ID("{5E1D0C3A-7B2E-4F61-8A9C-3F2B6D7E1A01}");
    virtual HRESULT get_MapName(BSTR* pbsName) = 0;
};

namespace qmx::testing {

class TestHostProxy final : public remoting::Facet<ITestHost> {
public:
    using Facet::Facet;
    HRESULT get_MapName(BSTR* p) override { QMX_REMOTE_CALL(get_MapName, p); }
};

inline void RegisterTestHostFace()
{
    remoting::RegisterInterface<ITestHost, TestHostProxy>("org.qmx.test.ITestHost",
                                                          {QMX_REMOTE_METHOD(ITestHost, get_MapName)});
}

inline constexpr const char* kHostedAdapterProgId = "QMXTest.HostedAdapter";
inline constexpr CLSID kHostedAdapterClsid = ::qmx::MakeGuid("{5E1D0C3A-7B2E-4F61-8A9C-3F2B6D7E1A02}");
inline constexpr const char* kTestHostId = "QMXTest.Host.1";

}  // namespace qmx::testing
