// The local server of the remoting tests. Its behaviour at start comes from
// $QMX_TEST_SERVER_MODE: "crash" aborts, "noclaim" never registers, "exit"
// ends with status 3; otherwise it serves ITestObject and ends when the last
// reference is released. Started as "test_server client", it is a client
// instead: it activates a server, prints the server's process ID and waits
// to be killed.
#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "automation/com_object.h"
#include "automation/event_source.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "automation/runtime/registry_store.h"
#include "automation/remoting/tests/test_interfaces.h"

using namespace qmx;
using namespace qmx::remoting;
using namespace qmx::remoting::testing;

namespace {

int g_live = 0;

class TestObject final : public ComObject<ITestObject> {
public:
    TestObject() { ++g_live; }
    ~TestObject() override { --g_live; }

    HRESULT Add(LONG a, LONG b, LONG* p) override
    {
        if (!p) return E_POINTER;
        *p = a + b;
        return S_OK;
    }
    HRESULT Echo(const BSTR& s, BSTR* p) override
    {
        *p = s;
        return S_OK;
    }
    HRESULT EchoVariant(const VARIANT& v, VARIANT* p) override
    {
        *p = v;
        return S_OK;
    }
    HRESULT EchoScalars(VARIANT_BOOL vb, DATE dt, ULONG u, VARIANT_BOOL* pvb, DATE* pdt, ULONG* pu) override
    {
        *pvb = vb;
        *pdt = dt;
        *pu = u;
        return S_FALSE;
    }
    HRESULT CallBack(ITestCallback* c, LONG n, LONG* p) override
    {
        if (!c) return E_POINTER;
        return c->Compute(n, p);
    }
    HRESULT get_Child(ITestObject** p) override
    {
        if (!child_) child_ = MakeObject<TestObject>();
        return child_.CopyTo(p);
    }
    HRESULT Same(IUnknown* a, IUnknown* b, VARIANT_BOOL* p) override
    {
        *p = ToVariantBool(a == b);
        return S_OK;
    }
    HRESULT Keep(IUnknown* o) override
    {
        kept_ = o;
        return S_OK;
    }
    HRESULT Forget() override
    {
        kept_ = nullptr;
        return S_OK;
    }
    HRESULT get_ProcessId(LONG* p) override
    {
        *p = LONG(getpid());
        return S_OK;
    }
    HRESULT get_LiveObjects(LONG* p) override
    {
        *p = g_live;
        return S_OK;
    }
    HRESULT Fire(const BSTR& s, LONG delay) override
    {
        ComPtr<ITestEvents> emitter = Emitter();
        if (!emitter) return E_FAIL;
        emitter->Happened(s, 1);
        QTimer::singleShot(delay, [emitter, s] { emitter->Happened(s, 2); });
        return S_OK;
    }
    HRESULT Die() override { _exit(4); }
    HRESULT Stall(LONG ms) override
    {
        QThread::msleep(static_cast<unsigned long>(std::max<LONG>(ms, 0)));
        return S_OK;
    }

private:
    ComPtr<ITestEvents> Emitter()
    {
        if (!emitter_) {
            Apartment::Instance().CreateEventEmitter(static_cast<ITestObject*>(this), ITestEvents::iid,
                                                     reinterpret_cast<void**>(emitter_.ReleaseAndGetAddressOf()));
        }
        return emitter_;
    }

    ComPtr<ITestObject> child_;
    ComPtr<IUnknown> kept_;
    ComPtr<ITestEvents> emitter_;
};

int RunClient()
{
    ComPtr<ITestObject> object;
    const HRESULT hr = CreateLocalInstance(RegistryStore(), kTestServerClsid, ITestObject::iid,
                                           reinterpret_cast<void**>(object.ReleaseAndGetAddressOf()));
    if (FAILED(hr)) return 2;
    LONG pid = 0;
    object->get_ProcessId(&pid);
    std::printf("%d\n", int(pid));
    std::fflush(stdout);
    return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    RegisterTestInterfaces();
    if (argc > 1 && std::string_view(argv[1]) == "client") return RunClient();

    const char* mode = std::getenv("QMX_TEST_SERVER_MODE");
    const std::string_view behaviour = mode ? mode : "";
    if (behaviour == "crash") std::abort();
    if (behaviour == "exit") return 3;
    if (behaviour == "noclaim") {
        QThread::sleep(60);
        return 0;
    }
    ComPtr<IClassFactory> factory = MakeObject<ClassFactory<TestObject>>();
    if (!ServeClassObject(factory.Get())) return 1;
    factory = nullptr;
    Apartment::Instance().SetLastReleaseHandler([] { QCoreApplication::quit(); });
    return QCoreApplication::exec();
}
