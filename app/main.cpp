// QMXGanttDisplay: the display application.
#include <QApplication>
#include <QCoreApplication>
#include <QSessionManager>

#include "app/app_commands.h"
#include "app/core/display_app.h"
#include "app/core/qt_user_interface.h"
#include "app/document/application_object.h"
#include "app/frame/main_frame_factory.h"
#include "app/frame/window_placement.h"
#include "app/server/local_server_parts.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"
#include "automation/standard_streams.h"

namespace {

// Enabled and checked of a command for a menu that the window does not own.
std::pair<bool, int> CommandState(qmx::DisplayApp& app, int commandId)
{
    qmx::ComPtr<IAppCommands> commands;
    const int operation = qmx::AppCommandOperation(commandId);
    if (!app.Application() || operation == 0) return {true, 0};
    app.Application()->QueryInterface(IAppCommands::iid, reinterpret_cast<void**>(commands.ReleaseAndGetAddressOf()));
    if (!commands) return {true, 0};
    VARIANT_BOOL enabled = VARIANT_FALSE;
    LONG checked = 0;
    if (FAILED(commands->QueryState(operation, &enabled, &checked))) return {false, 0};
    return {enabled == VARIANT_TRUE, checked};
}

}  // namespace

int main(int argc, char* argv[])
{
    qmx::EnsureStandardDescriptors();
    QApplication application(argc, argv);
    // The window's Exit and the automation clients end the program, not the
    // last window closing (a hosted window only hides).
    QApplication::setQuitOnLastWindowClosed(false);

    qmx::RegistryStore store;
    qmx::QtUserInterface ui;

    qmx::DisplayAppParts parts;
    parts.store = &store;
    parts.ui = &ui;
    parts.programDir = QCoreApplication::applicationDirPath();
    parts.executablePath = qmx::ModulePath(reinterpret_cast<const void*>(&main));
    parts.createApplicationObject = qmx::CreateApplicationObject;
    parts.controllerOf = qmx::DisplayControllerOf;
    parts.createMainFrame = qmx::CreateMainFrame;
    parts.loadPlacement = &qmx::WindowPlacement::Load;
    parts.savePlacement = [](const qmx::WindowPlacement& placement, qmx::RegistryStore& into) {
        return placement.Save(into);
    };
    qmx::InstallLocalServer(parts, [] {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    qmx::DisplayApp app(std::move(parts));

    ui.SetHooks({
        [&app] { return app.MainWindow(); },
        [&app](int commandId) {
            if (app.Frame()) app.Frame()->SendCommand(commandId);
        },
        [&app](int commandId) { return CommandState(app, commandId); },
        [&app](int subMenu, int xPos, int yPos) {
            if (!app.Frame()) return false;
            app.Frame()->ShowContextMenu(subMenu, xPos, yPos);
            return true;
        },
    });

    // The desktop session is ending: a modified plan is not lost silently.
    // The user is asked as on closing, and cancelling cancels the log-off.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &application,
                     [&app](QSessionManager& manager) {
                         const bool mayInteract = manager.allowsInteraction();
                         if (!app.CommitSessionData(mayInteract)) manager.cancel();
                         if (mayInteract) manager.release();
                     });

    if (!app.InitInstance(QCoreApplication::arguments().mid(1))) return app.ExitCode();
    const int result = QApplication::exec();
    app.ExitInstance();
    return result;
}
