// The whole road as a user drives it, under Xvfb: the map host program,
// started as a local server on the test's private bus and shown, opens a
// map and loads the add-in; its Add-ins menu runs the command, which starts
// the display application. Bars are dragged and tasks linked in the display
// application with the mouse and the keyboard (xdotool), and the topics
// are read over the bus. The plan is seen as the user sees it: the tasks the
// display application copies to the clipboard (read here on the same
// display), and its window. Screenshots of both windows go to the test's
// runtime folder. Skipped where Xvfb or xdotool is missing.
#include <gtest/gtest.h>

#include <signal.h>
#include <xcb/xcb.h>

#include <QClipboard>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QMimeData>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "adapters/mindmanager/tests/process_support.h"
#include "adapters/mindmanager/topic_values.h"
#include "addin/tests/road_support.h"
#include "app/document/clipboard_format.h"
#include "app/frame/tests/x_desktop.h"
#include "automation/date_time.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "automation/remoting/object_proxy.h"
#include "maphost/api/map_codes.h"
#include "maphost/api/map_window.h"
#include "maphost/remote/map_faces.h"

namespace qmx::addin {
namespace {

using mm::testing::Ended;
using mm::testing::Pump;
using qmx::testing::Bars;
using qmx::testing::Xdotool;
using testing::DisplayProcesses;
using testing::Known;
using testing::SubTopic;

// The display is started by main() before the application object.
QString g_display;

constexpr QRgb kBarColour = qRgb(192, 224, 255);  // a task without a colour of its own
constexpr char kTaskFormat[] = "QMXGantt Tasks";
constexpr QRect kHostPlace(0, 0, 620, 760);
constexpr QRect kDisplayPlace(630, 0, 970, 760);

QImage Screen() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }

void Save(const QImage& picture, const char* name)
{
    picture.save(QDir(QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"))).filePath(QLatin1String(name)));
}

DATE StartOf(IMmTopic* topic)
{
    ComPtr<IMmTaskInfo> info;
    DATE date = -1;
    if (SUCCEEDED(topic->get_TaskInfo(info.ReleaseAndGetAddressOf())) && info) info->get_StartDate(&date);
    return date;
}

DATE DueOf(IMmTopic* topic)
{
    ComPtr<IMmTaskInfo> info;
    DATE date = -1;
    if (SUCCEEDED(topic->get_TaskInfo(info.ReleaseAndGetAddressOf())) && info) info->get_DueDate(&date);
    return date;
}

void SetDates(IMmTopic* topic, DATE start, DATE due)
{
    ComPtr<IMmTaskInfo> info;
    ASSERT_EQ(topic->get_TaskInfo(info.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(info->put_StartDate(start), S_OK);
    ASSERT_EQ(info->put_DueDate(due), S_OK);
}

// What the window manager sends when the user closes a window.
bool AskToClose(const QString& window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return false;
    const auto atom = [connection](const char* name) {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return value;
    };
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window.toUInt();
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
    return true;
}

class AddInRoadDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (g_display.isEmpty())
            GTEST_SKIP() << "Xvfb or xdotool is not installed, or Xvfb did not start: this test needs both";
        env = QProcessEnvironment::systemEnvironment();
        xdo = std::make_unique<Xdotool>(env);
    }

    // The display application's main window, once it shows.
    QString DisplayWindow(int timeoutMs = 30000)
    {
        if (xdo->Search({QStringLiteral("--onlyvisible"), QStringLiteral("--class"), QStringLiteral("QMXGanttDisplay")},
                        true, timeoutMs)
                .isEmpty())
            return {};
        return xdo->Largest({QStringLiteral("--onlyvisible"), QStringLiteral("--class"), QStringLiteral("QMXGanttDisplay")});
    }
    bool DisplayShows()
    {
        return !xdo->Search({QStringLiteral("--onlyvisible"), QStringLiteral("--class"), QStringLiteral("QMXGanttDisplay")})
                    .isEmpty();
    }
    // Runs the command as a user does: the host's Add-ins menu, "Show &QMXGantt".
    void RunCommandFromTheMenu()
    {
        ASSERT_TRUE(xdo->Focus(hostWindow));
        ASSERT_TRUE(xdo->Keys(QStringLiteral("alt+a")));
        ASSERT_TRUE(xdo->Keys(QStringLiteral("q")));
    }
    // Selects the tasks of the given rows in the display's task tree: a
    // click on the first, Ctrl+click on each other. The rows are those of
    // the first window's bars, the tree lies left of the chart.
    void SelectRows(const QString& window, const std::vector<int>& rowCentres)
    {
        const int treeX = xdo->Geometry(window).left() + 90;
        for (std::size_t i = 0; i < rowCentres.size(); ++i)
            EXPECT_TRUE(xdo->Click(QPoint(treeX, rowCentres[i]), i == 0 ? QString() : QStringLiteral("ctrl")));
    }
    // The display application's tasks in the given rows, selected and
    // copied (Ctrl+C); their names as the clipboard carries them. Nothing
    // when no copy reached the clipboard in time.
    std::optional<QStringList> CopiedTaskNames(const QString& window, const std::vector<int>& rowCentres)
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("not a copy of tasks"));
        Pump(300, [] { return false; });
        EXPECT_TRUE(xdo->Focus(window));
        SelectRows(window, rowCentres);
        xdo->Keys(QStringLiteral("ctrl+c"));
        QByteArray block;
        Pump(10000, [&] {
            const QMimeData* data = QGuiApplication::clipboard()->mimeData();
            if (data && data->hasFormat(QLatin1String(kTaskFormat))) block = data->data(QLatin1String(kTaskFormat));
            return !block.isEmpty();
        });
        if (block.isEmpty()) return std::nullopt;
        const auto records = DecodeTasks(std::string(block.constData(), std::size_t(block.size())));
        EXPECT_TRUE(records) << "the clipboard's block does not read";
        if (!records) return std::nullopt;
        QStringList names;
        for (const TaskRecord& record : *records) names << QString::fromStdU16String(std::u16string(record.name));
        return names;
    }
    // The bars of the display's chart, top to bottom: blocks of the bar
    // colour as high as a normal bar (the tool bar's checked buttons share
    // the colour, but are higher).
    std::vector<QRect> BarsOf(const QString& window)
    {
        std::vector<QRect> bars;
        for (const QRect& block : Bars(Screen(), xdo->Geometry(window), kBarColour, 8))
            if (block.height() >= 8 && block.height() <= 14) bars.push_back(block);
        return bars;
    }

    QProcessEnvironment env;
    std::unique_ptr<Xdotool> xdo;
    QString hostWindow;
};

TEST_F(AddInRoadDesktop, TheUserDrivesBothProgramsAlongTheRoad)
{
    ASSERT_NO_FATAL_FAILURE(testing::RegisterBothPrograms());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("plan.mmap"));
    testing::WriteMapFile(file);
    ASSERT_TRUE(DisplayProcesses().empty());

    // 1. The host starts (hidden, as a program a client starts), is shown,
    // opens the map and has loaded the add-in.
    ComPtr<IMmApplication> host;
    ASSERT_EQ(remoting::CreateLocalInstance(map::kHostIdentifier, &host), S_OK);
    ComPtr<remoting::IRemoteObject> remote;
    ASSERT_EQ(host.As(&remote), S_OK);
    const qint64 hostPid =
        remoting::Apartment::Instance().Connection().interface()->servicePid(remote->RemoteBus()).value();
    ComPtr<IMmApplicationWindow> hostWindowFace;
    ASSERT_EQ(host.As(&hostWindowFace), S_OK);
    VARIANT_BOOL shown = VARIANT_TRUE;
    ASSERT_EQ(hostWindowFace->get_Visible(&shown), S_OK);
    EXPECT_EQ(shown, VARIANT_FALSE);
    ASSERT_EQ(hostWindowFace->put_Visible(VARIANT_TRUE), S_OK);
    const QStringList hostWindows =
        xdo->Search({QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral("QMX Map Host")}, true);
    ASSERT_FALSE(hostWindows.isEmpty()) << "the host's window did not show";
    hostWindow = xdo->Largest({QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral("QMX Map Host")});
    ASSERT_TRUE(xdo->Place(hostWindow, kHostPlace));
    ASSERT_TRUE(testing::ShowCommand(host.Get())) << "the add-in was not loaded";

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
    ComPtr<IMmTopic> test, deploy;
    ASSERT_EQ(central->AddSubTopic(u"Test", test.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(central->AddSubTopic(u"Deploy", deploy.ReleaseAndGetAddressOf()), S_OK);
    const DATE today = Today();
    SetDates(design.Get(), today + 1, today + 5);
    SetDates(build.Get(), today + 8, today + 12);
    SetDates(test.Get(), today + 13, today + 15);
    SetDates(deploy.Get(), today + 16, today + 17);

    // The command from the host's menu starts the display application.
    RunCommandFromTheMenu();
    const QString display = DisplayWindow();
    ASSERT_FALSE(display.isEmpty()) << "the display application's window did not show";
    EXPECT_TRUE(Pump(30000, [&] { return Known(design.Get()) && Known(deploy.Get()); }));
    const std::set<qint64> started = DisplayProcesses();
    ASSERT_EQ(started.size(), 1u);
    ASSERT_TRUE(xdo->Place(display, kDisplayPlace));
    Pump(1500, [] { return false; });  // laid out again at its new size
    std::vector<QRect> bars;
    EXPECT_TRUE(Pump(15000, [&] {
        bars = BarsOf(display);
        return bars.size() == 4;
    })) << bars.size() << " bars";
    Save(Screen(), "road_desktop_started.png");
    ASSERT_EQ(bars.size(), 4u);
    std::vector<int> rows;
    for (const QRect& bar : bars) rows.push_back(bar.center().y());

    // 2. The first bar (Design, four days) dragged three days later: its
    // topic's dates follow, the duration kept.
    ASSERT_EQ(StartOf(design.Get()), today + 1);
    const QRect designBar = bars[0];
    const double pixelsPerDay = designBar.width() / 4.0;
    ASSERT_GT(pixelsPerDay, 4.0) << "the bars are too short to drag by days";
    const QPoint grip = designBar.center();
    ASSERT_TRUE(xdo->Drag(grip, grip + QPoint(int(3 * pixelsPerDay + 0.5), 0)));
    EXPECT_TRUE(Pump(15000, [&] { return StartOf(design.Get()) == today + 4; })) << StartOf(design.Get()) - today;
    EXPECT_EQ(DueOf(design.Get()), today + 8);

    // 3. The first two tasks selected from the keyboard and linked (Link
    // Tasks, Ctrl+F2): the successor's topic names its predecessor, the
    // predecessor's its successor.
    const std::u16string designGuid(mm::GuidOf(design.Get())), buildGuid(mm::GuidOf(build.Get()));
    const auto attribute = [](IMmTopic* topic, const char16_t* name) {
        return std::u16string(mm::GetAttribute(topic, name));
    };
    ASSERT_TRUE(xdo->Focus(display));
    SelectRows(display, {rows[0], rows[1]});
    ASSERT_TRUE(xdo->Keys(QStringLiteral("ctrl+F2")));
    EXPECT_TRUE(Pump(15000, [&] {
        return attribute(build.Get(), mm::kPredecessors).find(designGuid) != std::u16string::npos &&
               attribute(design.Get(), mm::kSuccessors).find(buildGuid) != std::u16string::npos;
    })) << QString::fromStdU16String(attribute(build.Get(), mm::kPredecessors)).toStdString();
    // The host's panel shows the dragged topic (its row in the outline).
    xdo->Click(kHostPlace.topLeft() + QPoint(64, 80));
    Pump(1500, [] { return false; });  // the arrow drawn
    Save(Screen(), "road_desktop_linked.png");

    // 4. The plan as the display application copies it; a topic renamed and
    // one deleted in the host change it.
    const auto before = CopiedTaskNames(display, rows);
    ASSERT_TRUE(before) << "Ctrl+C put no tasks on the clipboard";
    EXPECT_EQ(*before, (QStringList{QStringLiteral("Design"), QStringLiteral("Build"), QStringLiteral("Test"),
                                    QStringLiteral("Deploy")}));
    ASSERT_EQ(build->put_Text(u"Build and package"), S_OK);
    ASSERT_EQ(test->Delete(), S_OK);
    std::optional<QStringList> after;
    EXPECT_TRUE(Pump(20000, [&] {
        after = CopiedTaskNames(display, {rows[0], rows[1], rows[2]});
        return after && after->size() == 3;
    }));
    ASSERT_TRUE(after);
    EXPECT_EQ(*after,
              (QStringList{QStringLiteral("Design"), QStringLiteral("Build and package"), QStringLiteral("Deploy")}));

    // 5. Running the command again shows the same display application;
    // closing its window only hides it (it is the host's), and the next run
    // shows it again. Once its process is gone, a run starts a new one.
    RunCommandFromTheMenu();
    Pump(500, [] { return false; });
    EXPECT_EQ(DisplayProcesses(), started);
    EXPECT_TRUE(DisplayShows());
    ASSERT_TRUE(AskToClose(display));
    EXPECT_TRUE(Pump(15000, [&] { return !DisplayShows(); })) << "closing the window did not hide it";
    EXPECT_EQ(DisplayProcesses(), started);
    RunCommandFromTheMenu();
    EXPECT_FALSE(DisplayWindow(15000).isEmpty()) << "the command did not show the hidden display application";
    EXPECT_EQ(DisplayProcesses(), started);
    for (const qint64 pid : started) ::kill(pid_t(pid), SIGKILL);
    EXPECT_TRUE(Pump(15000, [&] { return DisplayProcesses().empty(); }));
    RunCommandFromTheMenu();
    const QString second = DisplayWindow();
    ASSERT_FALSE(second.isEmpty()) << "the command did not start a new display application";
    const std::set<qint64> restarted = DisplayProcesses();
    ASSERT_EQ(restarted.size(), 1u);
    EXPECT_NE(*restarted.begin(), *started.begin());
    ASSERT_TRUE(xdo->Place(second, kDisplayPlace));
    EXPECT_TRUE(Pump(15000, [&] { return BarsOf(second).size() == 3; })) << BarsOf(second).size() << " bars";
    Save(Screen(), "road_desktop_restarted.png");

    // 7. The map closed in the host: the plan empties (no bars, nothing to
    // copy), and the display application stays with the host.
    ASSERT_EQ(document->Close(), S_OK);
    EXPECT_TRUE(Pump(15000, [&] { return BarsOf(second).empty(); })) << BarsOf(second).size() << " bars";
    EXPECT_FALSE(CopiedTaskNames(second, {rows[0], rows[1]})) << "tasks were copied from a plan that should be empty";
    EXPECT_TRUE(DisplayShows());
    EXPECT_EQ(DisplayProcesses(), restarted);
    Save(Screen(), "road_desktop_closed.png");

    // 6. The add-in unloaded in the host's Add-ins dialog (its one entry
    // unchecked with the space bar): the display application is hidden and
    // disconnected, and with its last reference gone its process ends.
    ASSERT_TRUE(xdo->Focus(hostWindow));
    ASSERT_TRUE(xdo->Keys(QStringLiteral("alt+a")));
    ASSERT_TRUE(xdo->Keys(QStringLiteral("a")));
    const QStringList dialogs =
        xdo->Search({QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral("^Add-ins$")}, true, 15000);
    ASSERT_FALSE(dialogs.isEmpty()) << "the Add-ins dialog did not show";
    ASSERT_TRUE(xdo->Focus(dialogs.front()));
    ASSERT_TRUE(xdo->Keys(QStringLiteral("Home")));
    ASSERT_TRUE(xdo->Keys(QStringLiteral("space")));
    EXPECT_TRUE(Pump(15000, [&] { return !DisplayShows(); })) << "the display application still shows";
    EXPECT_TRUE(Pump(15000, [&] { return DisplayProcesses().empty(); })) << "the display application did not end";
    ASSERT_TRUE(xdo->Focus(dialogs.front()));
    ASSERT_TRUE(xdo->Keys(QStringLiteral("Escape")));

    // The end: the host, which the test started.
    central = design = build = test = deploy = nullptr;
    document = nullptr;
    documents = nullptr;
    hostWindowFace = nullptr;
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
    // Both programs, started from here, and the test's own picture of the
    // screen and clipboard use one display of the test's own.
    qmx::testing::XvfbDisplay xvfb;
    if (qmx::testing::XvfbDisplay::Available()) qmx::addin::g_display = xvfb.Start(QStringLiteral("1600x800x24"));
    std::unique_ptr<QCoreApplication> app;
    if (!qmx::addin::g_display.isEmpty()) {
        qputenv("DISPLAY", qmx::addin::g_display.toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
        qunsetenv("WAYLAND_DISPLAY");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    app.reset();
    return result;
}
