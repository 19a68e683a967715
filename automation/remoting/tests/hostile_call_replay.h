// Replays a file of hostile D-Bus calls with dbus-send. Each line is
// "path|interface|member|arguments|error name"; "$OBJECT" in the path and the
// arguments stands for the object under test. Every call must get the error
// named, and after each one afterEach checks that the peer still serves.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

namespace qmx::remoting::testing {

// The number of calls replayed.
inline int ReplayHostileCalls(const QString& file, const QString& bus, const QString& object,
                              const std::function<void()>& afterEach)
{
    QFile cases(file);
    if (!cases.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ADD_FAILURE() << "cannot read " << file.toStdString();
        return 0;
    }
    int replayed = 0;
    while (!cases.atEnd()) {
        const QString line = QString::fromUtf8(cases.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList fields = line.split(QLatin1Char('|'));
        if (fields.size() != 5) {
            ADD_FAILURE() << "not five fields: " << line.toStdString();
            continue;
        }
        SCOPED_TRACE(line.toStdString());
        QStringList arguments{QStringLiteral("--session"), QStringLiteral("--print-reply"),
                              QStringLiteral("--dest=") + bus,
                              QString(fields[0]).replace(QStringLiteral("$OBJECT"), object),
                              fields[1] + QLatin1Char('.') + fields[2]};
        for (const QString& a : fields[3].split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            arguments << QString(a).replace(QStringLiteral("$OBJECT"), object);
        }
        QProcess send;
        send.start(QStringLiteral("dbus-send"), arguments);
        if (!send.waitForStarted()) {
            ADD_FAILURE() << "dbus-send does not start";
            return replayed;
        }
        // This process may be the peer: it serves while dbus-send waits.
        while (!send.waitForFinished(20)) QCoreApplication::processEvents();
        const QString output = QString::fromUtf8(send.readAllStandardError() + send.readAllStandardOutput());
        EXPECT_TRUE(output.contains(fields[4])) << output.left(300).toStdString();
        ++replayed;
        afterEach();
    }
    return replayed;
}

}  // namespace qmx::remoting::testing
