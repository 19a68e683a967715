// The built program itself: registration and unregistration through its
// command line, with the language file next to it, into a store of the
// test's own.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "automation/runtime/registry_store.h"

namespace qmx {
namespace {

const std::string kClsidKey = "SOFTWARE/Classes/CLSID/{F11FA755-D185-4670-A20D-A3C59ED7DB35}";

int RunProgram(const QString& registry, const QStringList& arguments)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QMX_REGISTRY"), registry);
    program.setProcessEnvironment(environment);
    program.start(QDir(qEnvironmentVariable("QMX_BUILD_BIN_DIR")).filePath(QStringLiteral("QMXGanttDisplay")),
                  arguments);
    if (!program.waitForFinished(60000)) {
        program.kill();
        program.waitForFinished();
        return -1;
    }
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
}

TEST(ProgramTest, RegistersAndUnregistersItselfWithoutAWindow)
{
    QTemporaryDir dir;
    const QString registry = dir.filePath(QStringLiteral("registry.ini"));
    ASSERT_EQ(RunProgram(registry, {QStringLiteral("/RegServer")}), 0);
    {
        RegistryStore store(registry.toStdString());
        const auto server = store.GetString(kClsidKey + "/LocalServer32");
        ASSERT_TRUE(server);
        EXPECT_EQ(QDir(QString::fromStdString(*server)).canonicalPath(),
                  QDir(qEnvironmentVariable("QMX_BUILD_BIN_DIR") + QStringLiteral("/QMXGanttDisplay")).canonicalPath());
        EXPECT_TRUE(store.KeyExists("SOFTWARE/QMX/QMXGanttDisplay/Adapters"));
        store.SetString("SOFTWARE/QMX/QMXGanttDisplay/Settings", "Language", "Klingon");
    }
    // An unknown language falls back to English.
    ASSERT_EQ(RunProgram(registry, {QStringLiteral("-unregserver")}), 0);
    RegistryStore store(registry.toStdString());
    EXPECT_FALSE(store.KeyExists(kClsidKey));
    EXPECT_TRUE(store.KeyExists("SOFTWARE/QMX/QMXGanttDisplay/Adapters"));
    EXPECT_EQ(store.GetString("SOFTWARE/QMX/QMXGanttDisplay/Settings", "Language"), "Klingon");
}

}  // namespace
}  // namespace qmx
