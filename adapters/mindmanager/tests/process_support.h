// What the tests across processes share: serving events until a condition
// holds, telling whether a started program has ended, and registering a
// library of the build with qmxregsvr (QMX_REGSVR).
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <functional>

namespace qmx::mm::testing {

// Serves events for up to ms or until done answers true; the last answer.
inline bool Pump(int ms, const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (done()) return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return done();
}

// A process that ended: gone, or a zombie not yet reaped.
inline bool Ended(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.size() > close + 2 && text[close + 2] == 'Z';
}

#ifdef QMX_REGSVR
// Registers the build's library `name` in the test's registry store.
inline int RegisterLibrary(const char* name)
{
    const QString dir = QString::fromLocal8Bit(qgetenv("QMX_BUILD_LIB_DIR"));
    return QProcess::execute(QStringLiteral(QMX_REGSVR), {dir + QLatin1Char('/') + QLatin1String(name)});
}
#endif

}  // namespace qmx::mm::testing
