// The real program under Xvfb: started on a private registry store and a
// copy of the example plan, driven by keyboard through xdotool, ended with
// File Exit; the saved plan is read back with qmxgantt. Skipped where Xvfb
// or xdotool is missing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "app/frame/tests/x_desktop.h"

namespace {

QString BuildDir(const char* variable) { return QString::fromLocal8Bit(qgetenv(variable)); }

using qmx::testing::RowsWithRun;
using qmx::testing::RunProgram;
using qmx::testing::XvfbDisplay;

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        xdotoolPath = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (!XvfbDisplay::Available())
            GTEST_SKIP() << "Xvfb or xdotool is not installed: the end-to-end test needs both (scripts/setup.sh)";
        ASSERT_TRUE(dir.isValid());

        // A display of its own.
        display = xvfb.Start();
        ASSERT_FALSE(display.isEmpty()) << "Xvfb gave no display number";

        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("QMX_REGISTRY"), dir.filePath(QStringLiteral("registry.ini")));
        env.insert(QStringLiteral("QMX_SYSTEM_REGISTRY"), dir.filePath(QStringLiteral("system-registry.ini")));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));

        const QString bin = BuildDir("QMX_BUILD_BIN_DIR");
        const QString lib = BuildDir("QMX_BUILD_LIB_DIR");
        for (const char* library : {"libQMXGanttChartControl.so", "libQMXSimpleGrid.so", "libQMXXmlAdapter.so"})
            ASSERT_TRUE(RunProgram(bin + QStringLiteral("/qmxregsvr"), {lib + QLatin1Char('/') + QLatin1String(library)}, env))
                << library;
        plan = dir.filePath(QStringLiteral("plan.qmxg"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QMX_EXAMPLE_PLAN), plan));
        QFile::setPermissions(plan, QFile::ReadOwner | QFile::WriteOwner);
    }

    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }

    std::optional<QString> Xdotool(const QStringList& arguments, int timeoutMs = 20000)
    {
        return RunProgram(xdotoolPath, arguments, env, timeoutMs);
    }
    void Keys(const QString& keys)
    {
        ASSERT_TRUE(Xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80"), keys}));
        QThread::msleep(300);
    }

    QString xdotoolPath, display, plan;
    QTemporaryDir dir;
    XvfbDisplay xvfb;
    QProcess program;
    QProcessEnvironment env;
};

TEST_F(EndToEndTest, OpensEditsSavesAndExits)
{
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(BuildDir("QMX_BUILD_BIN_DIR") + QStringLiteral("/QMXGanttDisplay"), {plan});
    ASSERT_TRUE(program.waitForStarted(10000));

    const auto found = Xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                                QStringLiteral("--class"), QStringLiteral("QMXGanttDisplay")},
                               30000);
    ASSERT_TRUE(found) << "the main window did not show";
    const QString window = found->split(QLatin1Char('\n'), Qt::SkipEmptyParts).value(0);
    ASSERT_FALSE(window.isEmpty());
    QThread::msleep(1500);  // the first paint

    // The picture of the screen, seen through a client of the same display.
    qputenv("DISPLAY", display.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "end_to_end_test";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    screen.save(QDir(BuildDir("XDG_RUNTIME_DIR")).filePath(QStringLiteral("end_to_end.png")));
    // The first bars are the summary bars of the four phases (the tree
    // opens collapsed), black, in the first rows under the timeline, right
    // of the task tree.
    const auto geometry = Xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    ASSERT_TRUE(geometry);
    QPoint origin;
    for (const QString& line : geometry->split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("X="))) origin.setX(line.mid(2).toInt());
        if (line.startsWith(QStringLiteral("Y="))) origin.setY(line.mid(2).toInt());
    }
    const QRect firstRows(origin + QPoint(90, 100), QSize(800, 90));
    EXPECT_GE(RowsWithRun(screen, firstRows, qRgb(0, 0, 0), 60), 3)
        << "no summary bars where the chart's first rows are";

    // Keyboard: into the tree, a new task named by typing, the first task
    // deleted after the confirmation, saved, File Exit.
    ASSERT_TRUE(Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}));
    Keys(QStringLiteral("Home"));
    Keys(QStringLiteral("End"));
    Keys(QStringLiteral("Insert"));
    ASSERT_TRUE(Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"),
                         QStringLiteral("Order printer paper")}));
    Keys(QStringLiteral("Return"));
    Keys(QStringLiteral("Home"));
    Keys(QStringLiteral("Delete"));
    // The confirmation is a window of its own; without a window manager it
    // gets the keyboard only when given it.
    const auto windows = Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--class"),
                                  QStringLiteral("QMXGanttDisplay")});
    ASSERT_TRUE(windows);
    const QString confirmation = windows->split(QLatin1Char('\n'), Qt::SkipEmptyParts).value(1);
    ASSERT_FALSE(confirmation.isEmpty()) << "no confirmation before deleting";
    ASSERT_TRUE(Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), confirmation}));
    Keys(QStringLiteral("y"));  // Yes
    ASSERT_TRUE(Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}));
    Keys(QStringLiteral("ctrl+s"));
    Keys(QStringLiteral("alt+f"));
    Keys(QStringLiteral("x"));  // E&xit
    ASSERT_TRUE(program.waitForFinished(20000)) << "File Exit did not end the program";
    EXPECT_EQ(program.exitCode(), 0);

    const auto dump = RunProgram(BuildDir("QMX_BUILD_BIN_DIR") + QStringLiteral("/qmxgantt"), {QStringLiteral("dump"), plan},
                          env);
    ASSERT_TRUE(dump);
    const QJsonObject saved = QJsonDocument::fromJson(dump->toUtf8()).object();
    QStringList names;
    for (const auto& task : saved.value(QStringLiteral("tasks")).toArray())
        names.push_back(task.toObject().value(QStringLiteral("name")).toString());
    EXPECT_TRUE(names.contains(QStringLiteral("Order printer paper"))) << names.join(u'|').toStdString();
    EXPECT_FALSE(names.contains(QStringLiteral("Project start"))) << "the deleted task came back";
    EXPECT_EQ(names.size(), 31);
}

}  // namespace
