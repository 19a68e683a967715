#include "automation/remoting/wire_object.h"

#include <QDBusMetaType>

namespace qmx::remoting {

QDBusArgument& operator<<(QDBusArgument& argument, const WireObject& object)
{
    argument.beginStructure();
    argument << object.bus << object.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, WireObject& object)
{
    argument.beginStructure();
    argument >> object.bus >> object.path;
    argument.endStructure();
    return argument;
}

void RegisterWireTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<WireObject>();
        return true;
    }();
    (void)registered;
}

}  // namespace qmx::remoting
