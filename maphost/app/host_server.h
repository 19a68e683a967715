// The host program as a local server: its registration as the application
// class's LocalServer32, and the class object a start with -Embedding
// serves, which answers the program's one application object (the one its
// window shows).
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "maphost/api/map_interfaces.h"

namespace qmx::map {

struct HostCommandLine {
    enum class Action { Run, Register, Unregister };
    Action action = Action::Run;
    // -Embedding or -Automation: started by a client through automation.
    bool embedding = false;
    // The map files to open, in order.
    QStringList files;
};

// Switches start with "/" or "-" and match in any case: Embedding,
// Automation, RegServer, UnregServer. Any other "-" switch is ignored; every
// other argument names a map file ("/home/map.mmap" is a file).
HostCommandLine ParseHostCommandLine(const QStringList& arguments);

// Registers (or removes) program as the local server of the application
// class with the host identifier, in the user's registry store. The message
// says what failed.
bool RegisterHostServer(const QString& program, QString* message);
bool UnregisterHostServer(QString* message);

// Serves application to the client that started the program: the class
// object answers it once. When the last reference other processes hold goes,
// quit runs. False when the program was not started by a client (no
// activation token), or the bus cannot be reached.
bool ServeHostApplication(IMmApplication* application, std::function<void()> quit);

}  // namespace qmx::map
