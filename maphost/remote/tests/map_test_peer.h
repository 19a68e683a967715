// A second client of the map host for the tests: a program the test starts
// as a local server and hands the host's objects to, so that changes come
// from another process than the test's, and events reach a subscriber that
// is not the test.
#pragma once

#include "automation/guid.h"
#include "automation/remoting/interface_face.h"
#include "maphost/api/map_interfaces.h"

struct IMapTestPeer : IUnknown {
    QMX_INTERFACE_ID("{7E0C1D2A-5B3F-4C6E-8A9D-0F1E2D3C4B01}");
    // Registers with the application's event manager for mask and records
    // every event: "kind phase objectType guid document-name", one a line.
    virtual HRESULT Listen(IMmApplication* pApplication, LONG mask) = 0;
    virtual HRESULT StopListening() = 0;
    // The lines recorded since the last call.
    virtual HRESULT get_Heard(BSTR* pLog) = 0;
    virtual HRESULT Rename(IMmTopic* pTopic, const BSTR& text) = 0;
    virtual HRESULT AddSubTopic(IMmTopic* pParent, const BSTR& text, IMmTopic** ppChild) = 0;
    virtual HRESULT Delete(IMmTopic* pTopic) = 0;
    // Holds a reference until Forget.
    virtual HRESULT Keep(IUnknown* pObject) = 0;
    virtual HRESULT Forget() = 0;
    virtual HRESULT get_ProcessId(LONG* pPid) = 0;
};

namespace qmx::map::testing {

class MapTestPeerProxy final : public remoting::Facet<IMapTestPeer> {
public:
    using Facet::Facet;
    HRESULT Listen(IMmApplication* a, LONG m) override { QMX_REMOTE_CALL(Listen, a, m); }
    HRESULT StopListening() override { QMX_REMOTE_CALL(StopListening); }
    HRESULT get_Heard(BSTR* p) override { QMX_REMOTE_CALL(get_Heard, p); }
    HRESULT Rename(IMmTopic* t, const BSTR& s) override { QMX_REMOTE_CALL(Rename, t, s); }
    HRESULT AddSubTopic(IMmTopic* t, const BSTR& s, IMmTopic** p) override { QMX_REMOTE_CALL(AddSubTopic, t, s, p); }
    HRESULT Delete(IMmTopic* t) override { QMX_REMOTE_CALL(Delete, t); }
    HRESULT Keep(IUnknown* o) override { QMX_REMOTE_CALL(Keep, o); }
    HRESULT Forget() override { QMX_REMOTE_CALL(Forget); }
    HRESULT get_ProcessId(LONG* p) override { QMX_REMOTE_CALL(get_ProcessId, p); }
};

inline void RegisterPeerFace()
{
    remoting::RegisterInterface<IMapTestPeer, MapTestPeerProxy>(
        "org.qmx.test.IMapTestPeer",
        {QMX_REMOTE_METHOD(IMapTestPeer, Listen), QMX_REMOTE_METHOD(IMapTestPeer, StopListening),
         QMX_REMOTE_METHOD(IMapTestPeer, get_Heard), QMX_REMOTE_METHOD(IMapTestPeer, Rename),
         QMX_REMOTE_METHOD(IMapTestPeer, AddSubTopic), QMX_REMOTE_METHOD(IMapTestPeer, Delete),
         QMX_REMOTE_METHOD(IMapTestPeer, Keep), QMX_REMOTE_METHOD(IMapTestPeer, Forget),
         QMX_REMOTE_METHOD(IMapTestPeer, get_ProcessId)});
}

inline constexpr CLSID kPeerClsid = ::qmx::MakeGuid("{7E0C1D2A-5B3F-4C6E-8A9D-0F1E2D3C4B00}");

}  // namespace qmx::map::testing
