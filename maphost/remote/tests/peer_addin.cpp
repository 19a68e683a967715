// A test add-in for the host program: at connection it starts the test peer
// (map_test_peer.h) and makes it listen to the host's application, so that a
// second process holds the host's objects directly and hears its events
// while the test drives the host as its other client.
#include "automation/class_factory.h"
#include "automation/remoting/local_server.h"
#include "automation/runtime/component_exports.h"
#include "maphost/api/map_codes.h"
#include "maphost/remote/map_faces.h"
#include "maphost/remote/tests/map_test_peer.h"

namespace {

constexpr CLSID kClsid = qmx::MakeGuid("{7E0C1D2A-5B3F-4C6E-8A9D-0F1E2D3C4B02}");

class PeerAddIn final : public qmx::ComObject<IDTExtensibility2> {
public:
    HRESULT OnConnection(IUnknown* pApplication, LONG, IUnknown*, const std::vector<VARIANT>&) override
    {
        qmx::map::RegisterMapFaces();
        qmx::map::testing::RegisterPeerFace();
        qmx::ComPtr<IMmApplication> application;
        RETURN_IF_FAILED(qmx::QueryTo(pApplication, application.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(qmx::remoting::CreateLocalInstance("QMXTest.MapPeer", &peer_));
        return peer_->Listen(application.Get(), qmx::map::kEventTopicMask | qmx::map::kEventDocumentActivated);
    }
    HRESULT OnDisconnection(LONG, const std::vector<VARIANT>&) override
    {
        if (peer_) peer_->StopListening();
        peer_ = nullptr;
        return S_OK;
    }
    HRESULT OnAddInsUpdate(const std::vector<VARIANT>&) override { return S_OK; }
    HRESULT OnStartupComplete(const std::vector<VARIANT>&) override { return S_OK; }
    HRESULT OnBeginShutdown(const std::vector<VARIANT>&) override { return S_OK; }

private:
    qmx::ComPtr<IMapTestPeer> peer_;
};

}  // namespace

QMX_EXPORT HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv)
{
    return qmx::GetClassObjectFor<PeerAddIn>(*rclsid, kClsid, *riid, ppv);
}
QMX_EXPORT HRESULT DllRegisterServer() { return S_OK; }
QMX_EXPORT HRESULT DllUnregisterServer() { return S_OK; }
