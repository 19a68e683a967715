// Round trips to the map host's objects over D-Bus: a topic read and a topic
// change against the host program, and a change heard by a subscriber in
// another process (the test peer), from the change to the subscriber having
// read the topic and the document of both its events. Run on a session bus
// of its own: dbus-run-session -- bin/map_remote_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>

#include "automation/remoting/local_server.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"
#include "maphost/api/map_codes.h"
#include "maphost/api/map_factory.h"
#include "maphost/remote/map_faces.h"
#include "maphost/remote/tests/map_test_peer.h"

using namespace qmx;
using namespace qmx::map;
using namespace qmx::map::testing;

namespace {

struct Map {
    ComPtr<IMmApplication> application;
    ComPtr<IMmDocument> document;
    ComPtr<IMmTopic> topic;
};

Map& Host()
{
    static Map host;
    return host;
}

HRESULT OpenMap(IMmApplication* application, Map* map)
{
    map->application = application;
    ComPtr<IMmDocuments> documents;
    RETURN_IF_FAILED(application->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(documents->Add(0, map->document.ReleaseAndGetAddressOf()));
    ComPtr<IMmTopic> central;
    RETURN_IF_FAILED(map->document->get_CentralTopic(central.ReleaseAndGetAddressOf()));
    return central->AddSubTopic(u"Task", map->topic.ReleaseAndGetAddressOf());
}

void TopicRead(benchmark::State& state)
{
    BSTR text;
    for (auto _ : state) {
        if (FAILED(Host().topic->get_Text(&text))) state.SkipWithError("call failed");
    }
}
BENCHMARK(TopicRead);

void TaskInfoRead(benchmark::State& state)
{
    DATE start = 0;
    for (auto _ : state) {
        ComPtr<IMmTaskInfo> task;
        if (FAILED(Host().topic->get_TaskInfo(task.ReleaseAndGetAddressOf())) || FAILED(task->get_StartDate(&start)))
            state.SkipWithError("call failed");
    }
}
BENCHMARK(TaskInfoRead);

// The caller's own change: its events are not sent back to it.
void TopicChange(benchmark::State& state)
{
    int n = 0;
    for (auto _ : state) {
        if (FAILED(Host().topic->put_Text(++n % 2 ? u"Odd" : u"Even"))) state.SkipWithError("call failed");
    }
}
BENCHMARK(TopicChange);

// A change in the map's process heard by a subscriber in another: both
// events of the change delivered, and for each the subscriber asks the topic
// its GUID and the document its name (the peer's recorder).
void ChangeHeardElsewhere(benchmark::State& state)
{
    ComPtr<IMmApplication> application;
    Map local;
    ComPtr<IMapTestPeer> peer;
    if (FAILED(CreateInProcessApplication(application.ReleaseAndGetAddressOf())) ||
        FAILED(OpenMap(application.Get(), &local)) ||
        FAILED(remoting::CreateLocalInstance("QMXTest.MapPeer", &peer)) ||
        FAILED(peer->Listen(application.Get(), kEventTopicMask))) {
        state.SkipWithError("no peer");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        local.topic->put_Text(++n % 2 ? u"Odd" : u"Even");
        std::size_t lines = 0;
        while (lines < 2) {
            QCoreApplication::processEvents();
            BSTR heard;
            peer->get_Heard(&heard);
            lines += std::size_t(std::count(heard.begin(), heard.end(), u'\n'));
        }
    }
    peer->StopListening();
}
BENCHMARK(ChangeHeardElsewhere)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir registry;
    setenv("QMX_REGISTRY", qPrintable(registry.filePath(QStringLiteral("registry.ini"))), 1);
    setenv("QMX_SYSTEM_REGISTRY", qPrintable(registry.filePath(QStringLiteral("system.ini"))), 1);
    RegisterMapFaces();
    RegisterPeerFace();
    if (QProcess::execute(QStringLiteral(QMX_MAP_HOST_PROGRAM), {QStringLiteral("-RegServer")}) != 0) return 1;
    RegistryStore store;
    RegisterLocalServer(store, ClassInfo{kPeerClsid, "QMXTest.MapPeer.1", "QMXTest.MapPeer", "map bench peer"},
                        QMX_MAP_PEER_PROGRAM);
    ComPtr<IMmApplication> host;
    if (FAILED(remoting::CreateLocalInstance(kHostIdentifier, &host)) || FAILED(OpenMap(host.Get(), &Host()))) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    Host() = {};
    return 0;
}
