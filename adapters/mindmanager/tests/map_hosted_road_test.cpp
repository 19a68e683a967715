// Hosted mode across processes: this test is the host. It holds a map in
// the in-process store, starts the display program through automation on
// the test's private bus and hands it the store's application in Connect,
// as the add-in does. The program's map adapter then reads and follows the
// map across the bus: the test sees its work in the map (the GuidCopy
// attribute it writes on every topic it knows), and every reference it
// took is given back on Disconnect.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include "adapters/mindmanager/tests/process_support.h"
#include "adapters/mindmanager/topic_values.h"
#include "app/server/application_face.h"
#include "automation/file_name.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "automation/remoting/object_proxy.h"
#include "maphost/api/map_factory.h"
#include "maphost/remote/map_faces.h"
#include "maphost/store/map_application.h"

namespace qmx::mm::testing {
namespace {

// The topic knows its task: the adapter marked it as its own.
bool Known(IMmTopic* topic) { return !GuidOf(topic).empty() && GetAttribute(topic, kGuidCopy) == GuidOf(topic); }

// The display program registered with the components it loads; started on
// the test's bus, and quit again.
class MapHostedRoad : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(QProcess::execute(QStringLiteral(QMX_DISPLAY_PROGRAM), {QStringLiteral("-RegServer")}), 0);
        for (const char* library : {"libQMXGanttChartControl.so", "libQMXSimpleGrid.so", "libQMXMm5Adapter.so"})
            ASSERT_EQ(RegisterLibrary(library), 0) << library;
        RegisterApplicationFace();
        map::RegisterMapFaces();
    }
    void StartDisplay()
    {
        ASSERT_EQ(remoting::CreateLocalInstance(kDisplayApplicationVersionIndependentProgId, &display), S_OK);
        ASSERT_EQ(display.As(&remote), S_OK);
        pid = remoting::Apartment::Instance().Connection().interface()->servicePid(remote->RemoteBus()).value();
    }
    void EndDisplay()
    {
        EXPECT_EQ(display->Quit(), S_OK);
        display = nullptr;
        remote = nullptr;
        EXPECT_TRUE(Pump(15000, [&] { return Ended(pid); }));
    }

    ComPtr<IApplication> display;
    ComPtr<remoting::IRemoteObject> remote;
    qint64 pid = 0;
};

TEST_F(MapHostedRoad, TheDisplayProgramFollowsTheHostsMapAcrossTheBus)
{

    ComPtr<IMmApplication> host;
    ASSERT_EQ(map::CreateInProcessApplication(host.ReleaseAndGetAddressOf()), S_OK);
    auto* store = static_cast<map::MapApplication*>(host.Get());
    ComPtr<IMmDocuments> documents;
    ComPtr<IMmDocument> document;
    ComPtr<IMmTopic> central, a, b;
    host->get_Documents(VARIANT_FALSE, documents.ReleaseAndGetAddressOf());
    ASSERT_EQ(documents->Add(0, document.ReleaseAndGetAddressOf()), S_OK);
    document->get_CentralTopic(central.ReleaseAndGetAddressOf());
    central->AddSubTopic(u"A", a.ReleaseAndGetAddressOf());
    a->AddSubTopic(u"B", b.ReleaseAndGetAddressOf());
    const ULONG before = store->RefCount();
    document->put_IsModified(VARIANT_FALSE);

    ASSERT_NO_FATAL_FAILURE(StartDisplay());

    // The adapter reads the map while this process waits in Connect.
    ASSERT_EQ(display->Connect(host.Get(), u"MindManager.Application.5", 0, VARIANT{}), S_OK);
    EXPECT_TRUE(Known(a.Get()));
    EXPECT_TRUE(Known(b.Get()));
    EXPECT_GT(store->RefCount(), before);  // the adapter holds the application
    // Marking the topics changed the map, and the map says so (the display
    // program shows the map's own state).
    VARIANT_BOOL modified = VARIANT_FALSE;
    ASSERT_EQ(document->get_IsModified(&modified), S_OK);
    EXPECT_EQ(modified, VARIANT_TRUE);

    // A topic added here comes to the adapter as an event across the bus.
    ComPtr<IMmTopic> c;
    central->AddSubTopic(u"C", c.ReleaseAndGetAddressOf());
    EXPECT_TRUE(Pump(20000, [&] { return Known(c.Get()); }));
    // Another map made current is followed (hosted mode's event 128).
    ComPtr<IMmDocument> other;
    ComPtr<IMmTopic> otherCentral, d;
    ASSERT_EQ(documents->Add(0, other.ReleaseAndGetAddressOf()), S_OK);
    other->get_CentralTopic(otherCentral.ReleaseAndGetAddressOf());
    otherCentral->AddSubTopic(u"D", d.ReleaseAndGetAddressOf());
    EXPECT_TRUE(Pump(20000, [&] { return Known(d.Get()); }));

    // Disconnect gives back every reference to the host's objects.
    ASSERT_EQ(display->Disconnect(), S_OK);
    EXPECT_TRUE(Pump(10000, [&] { return store->RefCount() == before; }))
        << store->RefCount() << " references, " << before << " before";
    ComPtr<IMmTopic> e;
    otherCentral->AddSubTopic(u"E", e.ReleaseAndGetAddressOf());
    Pump(300, [] { return false; });
    EXPECT_FALSE(Known(e.Get()));  // nobody follows the map any more

    EndDisplay();
}

// The lines of a map file, to tell what a load changed.
QStringList MapLines(IMmDocument* document, const QString& path)
{
    if (FAILED(document->SaveAs(FileNameToBstr(path.toStdString()), 0))) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

// A map the adapter has read and written before (every topic carries its
// GuidCopy, the links are on both ends, the dates agree with the links)
// comes through the hosted load as it was: the display program shows no
// change, and the map has none.
TEST_F(MapHostedRoad, AMapReadBeforeComesThroughTheLoadUnmodified)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    ComPtr<IMmApplication> host;
    ASSERT_EQ(map::CreateInProcessApplication(host.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmDocuments> documents;
    ComPtr<IMmDocument> document;
    host->get_Documents(VARIANT_FALSE, documents.ReleaseAndGetAddressOf());
    ASSERT_EQ(documents->Open(FileNameToBstr(QMX_EXAMPLE_MAP), BSTR(), VARIANT_FALSE, document.ReleaseAndGetAddressOf()),
              S_OK);
    const QStringList before = MapLines(document.Get(), dir.filePath(QStringLiteral("before.mmap")));
    ASSERT_FALSE(before.isEmpty());

    ASSERT_NO_FATAL_FAILURE(StartDisplay());
    ASSERT_EQ(display->Connect(host.Get(), u"MindManager.Application.5", 0, VARIANT{}), S_OK);
    // Whatever the program does once it has the plan (drawing, the window's
    // first layout) has had its time.
    Pump(500, [] { return false; });
    VARIANT_BOOL modified = VARIANT_TRUE;
    ASSERT_EQ(document->get_IsModified(&modified), S_OK);
    const QStringList after = MapLines(document.Get(), dir.filePath(QStringLiteral("after.mmap")));
    QStringList changed;
    for (const QString& line : after) {
        if (!before.contains(line)) changed << line;
    }
    EXPECT_EQ(modified, VARIANT_FALSE) << changed.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(changed.isEmpty()) << changed.join(QLatin1Char('\n')).toStdString();
    // The program did read the map: it follows it.
    ComPtr<IMmTopic> central, added;
    document->get_CentralTopic(central.ReleaseAndGetAddressOf());
    central->AddSubTopic(u"Added", added.ReleaseAndGetAddressOf());
    EXPECT_TRUE(Pump(20000, [&] { return Known(added.Get()); }));

    ASSERT_EQ(display->Disconnect(), S_OK);
    EndDisplay();
}

}  // namespace
}  // namespace qmx::mm::testing

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
