// What the road tests with both real programs share: whether a topic is
// known to the display application's adapter, the display program's
// processes, a small map file, and finding the add-in's command in the host.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <set>

#include "adapters/mindmanager/tests/process_support.h"
#include "adapters/mindmanager/topic_values.h"
#include "addin/addin_identity.h"
#include "automation/file_name.h"
#include "maphost/api/map_factory.h"
#include "maphost/api/map_interfaces.h"
#include "maphost/remote/map_faces.h"

namespace qmx::addin::testing {

// Both programs, the display's components and the add-in in the test's
// registry store; the host's faces known to this process.
inline void RegisterBothPrograms()
{
    ASSERT_EQ(QProcess::execute(QStringLiteral(QMX_MAP_HOST), {QStringLiteral("-RegServer")}), 0);
    ASSERT_EQ(QProcess::execute(QStringLiteral(QMX_DISPLAY_PROGRAM), {QStringLiteral("-RegServer")}), 0);
    for (const char* library : {"libQMXGanttChartControl.so", "libQMXSimpleGrid.so", "libQMXMm5Adapter.so",
                                "libQMXMm5GanttDisplay.so"})
        ASSERT_EQ(mm::testing::RegisterLibrary(library), 0) << library;
    map::RegisterMapFaces();
}

// The topic knows its task: the adapter marked it as its own.
inline bool Known(IMmTopic* topic)
{
    return !mm::GuidOf(topic).empty() && mm::GetAttribute(topic, mm::kGuidCopy) == mm::GuidOf(topic);
}

// The processes running the display program.
inline std::set<qint64> DisplayProcesses()
{
    std::set<qint64> pids;
    const QString program = QFileInfo(QStringLiteral(QMX_DISPLAY_PROGRAM)).canonicalFilePath();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number) continue;
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() == program && !mm::testing::Ended(pid))
            pids.insert(pid);
    }
    return pids;
}

// A map file "Plan" with the top-level topics "Design" and "Build".
inline void WriteMapFile(const QString& path)
{
    ComPtr<IMmApplication> app;
    ASSERT_EQ(map::CreateInProcessApplication(app.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmDocuments> documents;
    ComPtr<IMmDocument> document;
    ComPtr<IMmTopic> central, first, second;
    app->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
    documents->Add(0, document.ReleaseAndGetAddressOf());
    document->get_CentralTopic(central.ReleaseAndGetAddressOf());
    central->put_Text(u"Plan");
    central->AddSubTopic(u"Design", first.ReleaseAndGetAddressOf());
    central->AddSubTopic(u"Build", second.ReleaseAndGetAddressOf());
    ASSERT_EQ(document->SaveAs(FileNameToBstr(path.toStdString()), 0), S_OK);
}

inline ComPtr<IMmTopic> SubTopic(IMmTopic* parent, LONG index)
{
    ComPtr<IMmTopics> topics;
    ComPtr<IMmTopic> topic;
    if (FAILED(parent->get_SubTopics(VARIANT_FALSE, topics.ReleaseAndGetAddressOf())) || !topics) return nullptr;
    topics->Item(index, topic.ReleaseAndGetAddressOf());
    return topic;
}

inline ComPtr<IMmCommand> ShowCommand(IMmApplication* host)
{
    ComPtr<IMmCommands> commands;
    if (FAILED(host->get_Commands(commands.ReleaseAndGetAddressOf())) || !commands) return nullptr;
    LONG count = 0;
    commands->get_Count(&count);
    for (LONG i = 1; i <= count; ++i) {
        ComPtr<IMmCommand> command;
        BSTR name;
        if (SUCCEEDED(commands->Item(i, command.ReleaseAndGetAddressOf())) && command &&
            SUCCEEDED(command->get_Name(&name)) && name == kShowCommandName)
            return command;
    }
    return nullptr;
}

}  // namespace qmx::addin::testing
