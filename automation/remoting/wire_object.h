// An object reference on the wire: the owner's unique bus name and the
// object's path, D-Bus type "(so)". A null reference is ("", "/").
#pragma once

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QMetaType>
#include <QString>

namespace qmx::remoting {

struct WireObject {
    QString bus;
    QDBusObjectPath path{QStringLiteral("/")};

    bool IsNull() const { return bus.isEmpty(); }
};

QDBusArgument& operator<<(QDBusArgument& argument, const WireObject& object);
const QDBusArgument& operator>>(const QDBusArgument& argument, WireObject& object);

// Registers the wire types with QtDBus; called by the apartment.
void RegisterWireTypes();

}  // namespace qmx::remoting

Q_DECLARE_METATYPE(qmx::remoting::WireObject)
