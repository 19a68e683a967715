// The whole road with both real programs on the test's private bus: the
// test starts the map host program as a local server, with the add-in
// registered to load at its start, and opens a map there. Running the
// add-in's command in the host starts the display application, whose map
// adapter reads the map. What the test sees of the plan is what the adapter
// leaves in the map: the GuidCopy attribute it writes on every topic it
// knows. The display application's process is found by its program file.
#include <gtest/gtest.h>

#include <signal.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTemporaryDir>

#include "adapters/mindmanager/tests/process_support.h"
#include "adapters/mindmanager/topic_values.h"
#include "addin/tests/road_support.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "automation/remoting/object_proxy.h"
#include "maphost/api/map_codes.h"
#include "maphost/remote/map_faces.h"

namespace qmx::addin {
namespace {

using mm::testing::Ended;
using mm::testing::Pump;
using testing::DisplayProcesses;
using testing::Known;
using testing::ShowCommand;
using testing::SubTopic;
using testing::WriteMapFile;

TEST(AddInRoad, TheCommandInTheHostShowsTheMapInTheDisplayApplication)
{
    ASSERT_NO_FATAL_FAILURE(testing::RegisterBothPrograms());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("plan.mmap"));
    WriteMapFile(file);
    ASSERT_TRUE(DisplayProcesses().empty());

    // The host starts and loads the add-in, whose command is then there.
    ComPtr<IMmApplication> host;
    ASSERT_EQ(remoting::CreateLocalInstance(map::kHostIdentifier, &host), S_OK);
    ComPtr<remoting::IRemoteObject> remote;
    ASSERT_EQ(host.As(&remote), S_OK);
    const qint64 hostPid =
        remoting::Apartment::Instance().Connection().interface()->servicePid(remote->RemoteBus()).value();
    ComPtr<IMmCommand> command = ShowCommand(host.Get());
    ASSERT_TRUE(command) << "the add-in was not loaded";
    VARIANT_BOOL enabled = VARIANT_TRUE, checked = VARIANT_TRUE;
    ASSERT_EQ(command->QueryState(&enabled, &checked), S_OK);
    EXPECT_EQ(enabled, VARIANT_FALSE);  // no map open yet

    ComPtr<IMmDocuments> documents;
    ComPtr<IMmDocument> document;
    ComPtr<IMmTopic> central;
    ASSERT_EQ(host->get_Documents(VARIANT_FALSE, documents.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(documents->Open(FileNameToBstr(file.toStdString()), BSTR(), VARIANT_FALSE,
                              document.ReleaseAndGetAddressOf()),
              S_OK);
    ASSERT_EQ(document->get_CentralTopic(central.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmTopic> design = SubTopic(central.Get(), 1);
    ComPtr<IMmTopic> build = SubTopic(central.Get(), 2);
    ASSERT_TRUE(design && build);
    EXPECT_FALSE(Known(design.Get()));
    ASSERT_EQ(command->QueryState(&enabled, &checked), S_OK);
    EXPECT_EQ(enabled, VARIANT_TRUE);

    // Running the command starts the display application, which reads the map.
    ASSERT_EQ(command->Execute(), S_OK);
    EXPECT_TRUE(Pump(30000, [&] { return Known(design.Get()) && Known(build.Get()); }));
    const std::set<qint64> started = DisplayProcesses();
    ASSERT_EQ(started.size(), 1u);

    // A topic added in the host reaches the plan; a changed one stays known.
    ComPtr<IMmTopic> test;
    ASSERT_EQ(build->AddSubTopic(u"Test", test.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(Pump(20000, [&] { return Known(test.Get()); }));
    ASSERT_EQ(design->put_Text(u"Design review"), S_OK);
    ComPtr<IMmTopic> deploy;
    ASSERT_EQ(central->AddSubTopic(u"Deploy", deploy.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(Pump(20000, [&] { return Known(deploy.Get()); }));
    EXPECT_TRUE(Known(design.Get()));
    ASSERT_EQ(test->Delete(), S_OK);
    ComPtr<IMmTopic> release;
    ASSERT_EQ(central->AddSubTopic(u"Release", release.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(Pump(20000, [&] { return Known(release.Get()); }));

    // A link made in the host (a changed topic): the plan links the tasks and
    // writes the other end, the predecessor's Successors.
    const std::u16string deployGuid(mm::GuidOf(deploy.Get()));
    const auto successorsOfDeploy = [&] { return std::u16string(mm::GetAttribute(deploy.Get(), mm::kSuccessors)); };
    ASSERT_EQ(mm::SetAttribute(release.Get(), mm::kPredecessors, BSTR(deployGuid + u",2")), S_OK);
    EXPECT_TRUE(Pump(20000, [&] {
        return successorsOfDeploy().find(std::u16string(mm::GuidOf(release.Get()))) != std::u16string::npos;
    })) << QString::fromStdU16String(successorsOfDeploy()).toStdString();
    // The predecessor deleted in the host; the road goes on.
    ASSERT_EQ(deploy->Delete(), S_OK);

    // Running it again shows the same display application.
    ASSERT_EQ(command->Execute(), S_OK);
    Pump(500, [] { return false; });
    EXPECT_EQ(DisplayProcesses(), started);

    // The user quits the display application (its process is gone): the
    // next run starts a new one, which reads the map again.
    for (const qint64 pid : started) ::kill(pid_t(pid), SIGKILL);
    EXPECT_TRUE(Pump(15000, [&] { return DisplayProcesses().empty(); }));
    ComPtr<IMmTopic> unseen;
    ASSERT_EQ(central->AddSubTopic(u"Added meanwhile", unseen.ReleaseAndGetAddressOf()), S_OK);
    Pump(300, [] { return false; });
    EXPECT_FALSE(Known(unseen.Get()));
    ASSERT_EQ(command->Execute(), S_OK);
    EXPECT_TRUE(Pump(30000, [&] { return Known(unseen.Get()); }));
    const std::set<qint64> restarted = DisplayProcesses();
    ASSERT_EQ(restarted.size(), 1u);
    EXPECT_NE(*restarted.begin(), *started.begin());

    // Another map made current is followed; closing it returns to the first.
    ComPtr<IMmDocument> other;
    ComPtr<IMmTopic> otherCentral, other1;
    ASSERT_EQ(documents->Add(0, other.ReleaseAndGetAddressOf()), S_OK);
    other->get_CentralTopic(otherCentral.ReleaseAndGetAddressOf());
    ASSERT_EQ(otherCentral->AddSubTopic(u"Elsewhere", other1.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(Pump(20000, [&] { return Known(other1.Get()); }));
    ASSERT_EQ(other->Close(), S_OK);
    ComPtr<IMmTopic> late;
    ASSERT_EQ(central->AddSubTopic(u"Late", late.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(Pump(20000, [&] { return Known(late.Get()); }));

    // Closing the last map leaves the display application running for the
    // user; the next map made current in the host is the one it shows.
    ASSERT_EQ(document->Close(), S_OK);
    ComPtr<IMmDocument> after;
    ComPtr<IMmTopic> afterCentral, afterTopic;
    ASSERT_EQ(documents->Add(0, after.ReleaseAndGetAddressOf()), S_OK);
    after->get_CentralTopic(afterCentral.ReleaseAndGetAddressOf());
    ASSERT_EQ(afterCentral->AddSubTopic(u"Next map", afterTopic.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(Pump(20000, [&] { return Known(afterTopic.Get()); }));
    EXPECT_EQ(DisplayProcesses(), restarted);

    // The end: the host, then the display application, which the user
    // controls (it was made visible) and so outlives the host.
    command = nullptr;
    central = design = build = test = deploy = release = late = otherCentral = other1 = unseen = nullptr;
    afterCentral = afterTopic = nullptr;
    document = other = after = nullptr;
    documents = nullptr;
    remote = nullptr;
    host = nullptr;
    ::kill(pid_t(hostPid), SIGTERM);
    EXPECT_TRUE(Pump(15000, [&] { return Ended(hostPid); }));
    for (const qint64 pid : DisplayProcesses()) ::kill(pid_t(pid), SIGKILL);
}

}  // namespace
}  // namespace qmx::addin

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
