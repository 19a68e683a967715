// The test peer program (map_test_peer.h): served once to the test that
// starts it, ends when the test lets go.
#include <QCoreApplication>
#include <unistd.h>

#include "automation/bstr.h"
#include "automation/class_factory.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "maphost/remote/map_faces.h"
#include "maphost/remote/tests/map_test_peer.h"

namespace {

using namespace qmx;

class Recorder final : public ComObject<IMmEventSink> {
public:
    HRESULT OnEvent(IUnknown* pEvent) override
    {
        ComPtr<IMmEventData> data;
        if (FAILED(QueryTo(pEvent, data.ReleaseAndGetAddressOf()))) return E_NOINTERFACE;
        LONG kind = 0, phase = 0, type = 0;
        data->get_Kind(&kind);
        data->get_Phase(&phase);
        data->get_ObjectType(&type);
        ComPtr<IUnknown> object;
        ComPtr<IMmTopic> topic;
        BSTR guid = u"-";
        if (SUCCEEDED(data->get_Object(object.ReleaseAndGetAddressOf())) && object &&
            SUCCEEDED(QueryTo(object.Get(), topic.ReleaseAndGetAddressOf()))) {
            topic->get_Guid(&guid);
        }
        ComPtr<IMmDocument> document;
        BSTR name = u"-";
        if (SUCCEEDED(data->get_Document(document.ReleaseAndGetAddressOf())) && document) document->get_Name(&name);
        log += Utf8ToBstr(std::to_string(kind) + ' ' + std::to_string(phase) + ' ' + std::to_string(type) + ' ') +
               guid + u" " + name + u"\n";
        return S_OK;
    }
    BSTR log;
};

class Peer final : public ComObject<IMapTestPeer> {
public:
    HRESULT Listen(IMmApplication* application, LONG mask) override
    {
        StopListening();
        ComPtr<IMmEventManager> manager;
        RETURN_IF_FAILED(application->get_EventManager(manager.ReleaseAndGetAddressOf()));
        RETURN_IF_FAILED(manager->Register(mask, -1, -1, 0, subscription_.ReleaseAndGetAddressOf()));
        ComPtr<IMmConnectionPoint> point;
        RETURN_IF_FAILED(subscription_->get_ConnectionPoint(point.ReleaseAndGetAddressOf()));
        return point->Advise(static_cast<IMmEventSink*>(recorder_.Get()), &cookie_);
    }
    HRESULT StopListening() override
    {
        if (!subscription_) return S_FALSE;
        ComPtr<IMmConnectionPoint> point;
        if (SUCCEEDED(subscription_->get_ConnectionPoint(point.ReleaseAndGetAddressOf())) && point)
            point->Unadvise(cookie_);
        subscription_->Unregister();
        subscription_ = nullptr;
        return S_OK;
    }
    HRESULT get_Heard(BSTR* log) override
    {
        *log = std::move(recorder_->log);
        recorder_->log.clear();
        return S_OK;
    }
    HRESULT Rename(IMmTopic* topic, const BSTR& text) override { return topic ? topic->put_Text(text) : E_POINTER; }
    HRESULT AddSubTopic(IMmTopic* parent, const BSTR& text, IMmTopic** child) override
    {
        return parent ? parent->AddSubTopic(text, child) : E_POINTER;
    }
    HRESULT Delete(IMmTopic* topic) override { return topic ? topic->Delete() : E_POINTER; }
    HRESULT Keep(IUnknown* object) override
    {
        kept_.emplace_back(object);
        return S_OK;
    }
    HRESULT Forget() override
    {
        kept_.clear();
        return S_OK;
    }
    HRESULT get_ProcessId(LONG* pid) override
    {
        *pid = LONG(getpid());
        return S_OK;
    }

private:
    ComPtr<Recorder> recorder_ = MakeObject<Recorder>();
    ComPtr<IMmEventSubscription> subscription_;
    DWORD cookie_ = 0;
    std::vector<ComPtr<IUnknown>> kept_;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qmx::map::RegisterMapFaces();
    qmx::map::testing::RegisterPeerFace();
    ComPtr<IClassFactory> factory = MakeObject<ClassFactory<Peer>>();
    if (!qmx::remoting::ServeClassObject(factory.Get())) return 1;
    factory = nullptr;
    qmx::remoting::Apartment::Instance().SetLastReleaseHandler([] { QCoreApplication::quit(); });
    return QCoreApplication::exec();
}
