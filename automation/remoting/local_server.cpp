#include "automation/remoting/local_server.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QUuid>
#include <cstdlib>
#include <set>

#include "automation/bstr.h"
#include "automation/error_info.h"
#include "automation/remoting/apartment.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"

namespace qmx::remoting {

namespace {

HRESULT Failure(const QString& text)
{
    return ReportError(CO_E_SERVER_EXEC_FAILURE, IClassFactory::iid, u"QMXGantt activation",
                       Utf8ToBstr(text.toStdString()));
}

enum class Outcome { Waiting, Claimed, Exited, NotStarted, TimedOut };

}  // namespace

QString ActivationBusName(const QString& token) { return QStringLiteral("org.qmx.Activation.t") + token; }

HRESULT CreateLocalInstance(const RegistryStore& store, REFCLSID clsid, REFIID riid, void** ppv, int timeoutMs)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    const auto program = store.GetString(ClsidKey(clsid) + "/LocalServer32");
    if (!program || program->empty()) return REGDB_E_CLASSNOTREG;
    Apartment& apartment = Apartment::Instance();
    if (!apartment.IsConnected()) return Failure(QStringLiteral("There is no session bus to start the server on."));

    const QString token = QUuid::createUuid().toString(QUuid::Id128);
    const QString busName = ActivationBusName(token);
    QDBusServiceWatcher watcher(busName, apartment.Connection(), QDBusServiceWatcher::WatchForRegistration);

    // The process object is not owned by this call: deleting a QProcess kills
    // its program, and the server must outlive the activation (and this
    // client). It is deleted once the program has ended.
    auto* process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(kActivationTokenVariable), token);
    process->setProcessEnvironment(environment);
    process->setProgram(QString::fromStdString(*program));
    process->setArguments({QStringLiteral("-Embedding")});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);

    Outcome outcome = Outcome::Waiting;
    QEventLoop loop;
    auto settle = [&](Outcome o) {
        if (outcome != Outcome::Waiting) return;
        outcome = o;
        loop.quit();
    };
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceRegistered, &loop, [&] { settle(Outcome::Claimed); });
    QObject::connect(process, &QProcess::finished, &loop, [&] { settle(Outcome::Exited); });
    QObject::connect(process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) settle(Outcome::NotStarted);
    });
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);  // a coarse timer may give up 5 % early
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] { settle(Outcome::TimedOut); });
    timer.start(timeoutMs);
    process->start();
    if (outcome == Outcome::Waiting) loop.exec();
    QObject::disconnect(process, nullptr, &loop, nullptr);

    const QString name = QString::fromStdString(*program);
    if (outcome != Outcome::Claimed) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(2000);
        }
        const int status = process->exitCode();
        const bool crashed = process->exitStatus() == QProcess::CrashExit;
        delete process;
        switch (outcome) {
        case Outcome::NotStarted: return Failure(QStringLiteral("The server %1 cannot be started.").arg(name));
        case Outcome::TimedOut:
            return Failure(QStringLiteral("The server %1 did not register within %2 ms.").arg(name).arg(timeoutMs));
        default:
            return Failure(crashed ? QStringLiteral("The server %1 crashed before it registered.").arg(name)
                                   : QStringLiteral("The server %1 ended with status %2 before it registered.")
                                         .arg(name)
                                         .arg(status));
        }
    }
    // Kept for as long as the program runs, past the end of this one.
    static auto* running = new std::set<QProcess*>;
    running->insert(process);
    QObject::connect(process, &QProcess::finished, process, [process] {
        running->erase(process);
        process->deleteLater();
    });

    QDBusMessage call = QDBusMessage::createMethodCall(busName, QLatin1String(kRemotingPath),
                                                       QLatin1String(kRemotingInterface), QStringLiteral("CreateInstance"));
    call << QString::fromStdString(GuidToString(riid));
    QDBusMessage reply;
    const HRESULT sent = apartment.Call(call, &reply);
    if (FAILED(sent)) return Failure(QStringLiteral("The server %1 ended before it gave out its object.").arg(name));
    if (reply.signature() != QLatin1String("i(so)")) return RPC_E_INVALID_DATA;
    const HRESULT created = reply.arguments().at(0).toInt();
    WireObject wire;
    if (!DecodeWireObject(reply.arguments().at(1), &wire)) return RPC_E_INVALID_DATA;
    if (FAILED(created)) return created;
    if (wire.IsNull()) return E_NOINTERFACE;
    return apartment.Unmarshal(wire, riid, ppv);
}

HRESULT CreateLocalInstance(std::string_view progId, REFIID riid, void** ppv, int timeoutMs)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    const RegistryStore store;
    CLSID clsid{};
    RETURN_IF_FAILED(CLSIDFromProgID(store, progId, &clsid));
    return CreateLocalInstance(store, clsid, riid, ppv, timeoutMs);
}

bool ServeClassObject(IClassFactory* factory)
{
    const char* token = std::getenv(kActivationTokenVariable);
    if (!token || !*token) return false;
    const QString name = ActivationBusName(QString::fromLatin1(token));
    unsetenv(kActivationTokenVariable);  // not for the programs this one starts
    return Apartment::Instance().ServeClassObject(factory, name);
}

}  // namespace qmx::remoting
