// Replays a file of hostile D-Bus calls with dbus-send. Each line is
// "path|interface|member|arguments|error": the call (arguments as dbus-send
// takes them, separated by blanks) and the D-Bus error name its reply must
// carry; "#" starts a comment. Placeholders such as "$OBJECT" in the path
// and the arguments are replaced by the paths given. After each call,
// stillServing checks the server answers as before.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <functional>
#include <utility>
#include <vector>

namespace qmx::remoting::testing {

inline int ReplayHostileCalls(const QString& fileName, const QString& bus,
                              const std::vector<std::pair<QString, QString>>& paths,
                              const std::function<void()>& stillServing)
{
    auto substitute = [&](QString text) {
        for (const auto& [placeholder, path] : paths) text.replace(placeholder, path);
        return text;
    };
    QFile cases(fileName);
    if (!cases.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ADD_FAILURE() << "cannot read " << fileName.toStdString();
        return 0;
    }
    int replayed = 0;
    while (!cases.atEnd()) {
        const QString line = QString::fromUtf8(cases.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList fields = line.split(QLatin1Char('|'));
        EXPECT_EQ(fields.size(), 5) << line.toStdString();
        if (fields.size() != 5) continue;
        SCOPED_TRACE(line.toStdString());
        QStringList arguments{QStringLiteral("--session"), QStringLiteral("--print-reply"),
                              QStringLiteral("--dest=") + bus, substitute(fields[0]),
                              fields[1] + QLatin1Char('.') + fields[2]};
        for (const QString& a : fields[3].split(QLatin1Char(' '), Qt::SkipEmptyParts)) arguments << substitute(a);
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
        if (stillServing) stillServing();
    }
    return replayed;
}

}  // namespace qmx::remoting::testing
