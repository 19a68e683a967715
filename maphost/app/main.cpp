// QMXMapHost: the stand-in mind-mapping application. Opens the maps named on
// the command line (or a new one), loads the add-ins registered to load at
// start and shows its window. -RegServer and -UnregServer register it as the
// local server of the application class; started with -Embedding it serves
// its application object to the client that started it, without a window,
// and ends when the last client lets go.
#include <QApplication>
#include <cstdio>

#include "automation/remoting/apartment.h"
#include "maphost/app/add_in_manager.h"
#include "maphost/app/host_prompts.h"
#include "maphost/app/host_server.h"
#include "maphost/app/map_host_window.h"
#include "maphost/remote/map_faces.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QMXMapHost"));
    using namespace qmx::map;
    const HostCommandLine command = ParseHostCommandLine(QApplication::arguments().mid(1));
    if (command.action != HostCommandLine::Action::Run) {
        QString message;
        const bool done = command.action == HostCommandLine::Action::Register
                              ? RegisterHostServer(QApplication::applicationFilePath(), &message)
                              : UnregisterHostServer(&message);
        if (!done) std::fprintf(stderr, "QMXMapHost: %s\n", qPrintable(message));
        return done ? 0 : 1;
    }

    // Its objects may reach other processes through add-ins as well.
    RegisterMapFaces();
    qmx::ComPtr<MapApplication> maps = qmx::MakeObject<MapApplication>();
    DialogPrompts prompts;
    auto addIns = std::make_unique<AddInManager>(maps.Get());
    AddInManager* loader = addIns.get();
    int status = 0;
    {
        MapHostWindow window(maps.Get(), &prompts, std::move(addIns));
        for (const QString& file : command.files) window.OpenMap(file);
        if (command.embedding) {
            if (!ServeHostApplication(maps.Get(), [] { QApplication::quit(); })) {
                std::fprintf(stderr, "QMXMapHost: no client to serve (started without activation or no session bus)\n");
                return 1;
            }
        } else if (maps->Documents().empty()) {
            window.NewMap();
        }
        loader->LoadAtStartup();
        if (!command.embedding) window.show();
        status = QApplication::exec();
        // Clients' later calls fail as calls to a program that ended.
        qmx::remoting::Apartment::Instance().DisconnectAll();
    }
    return status;
}
