// What the map host's remote tests share: the host program and the peer
// program registered in the test's own registry store, their activation,
// and serving events while waiting.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <functional>

#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "automation/remoting/object_proxy.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"
#include "maphost/api/map_codes.h"
#include "maphost/remote/map_faces.h"
#include "maphost/remote/tests/map_test_peer.h"

namespace qmx::map::testing {

// Serves events for up to ms, or until done says so.
inline void Pump(int ms, const std::function<bool()>& done = {})
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && !(done && done())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
}

inline bool ProcessEnded(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.size() > close + 2 && text[close + 2] == 'Z';
}

// The process behind a proxy.
inline qint64 ProcessOf(IUnknown* proxy)
{
    ComPtr<remoting::IRemoteObject> remote;
    if (FAILED(QueryTo(proxy, remote.ReleaseAndGetAddressOf()))) return 0;
    return qint64(remoting::Apartment::Instance().Connection().interface()->servicePid(remote->RemoteBus()).value());
}

class RemoteMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterMapFaces();
        RegisterPeerFace();
        ASSERT_EQ(QProcess::execute(QStringLiteral(QMX_MAP_HOST_PROGRAM), {QStringLiteral("-RegServer")}), 0);
        RegistryStore store;
        ASSERT_TRUE(SUCCEEDED(RegisterLocalServer(
            store, ClassInfo{kPeerClsid, "QMXTest.MapPeer.1", "QMXTest.MapPeer", "map test peer"},
            QMX_MAP_PEER_PROGRAM)));
    }

    static ComPtr<IMmApplication> StartHost()
    {
        ComPtr<IMmApplication> application;
        EXPECT_EQ(remoting::CreateLocalInstance(kHostIdentifier, &application), S_OK);
        return application;
    }
    static ComPtr<IMapTestPeer> StartPeer()
    {
        ComPtr<IMapTestPeer> peer;
        EXPECT_EQ(remoting::CreateLocalInstance("QMXTest.MapPeer", &peer), S_OK);
        return peer;
    }
    static BSTR Heard(IMapTestPeer* peer)
    {
        BSTR log;
        EXPECT_EQ(peer->get_Heard(&log), S_OK);
        return log;
    }
};

}  // namespace qmx::map::testing
