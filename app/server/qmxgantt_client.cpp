// qmxgantt-client: starts the display application through automation and
// calls IApplication, for scripts and tests.
//
//   qmxgantt-client [--timeout MS] COMMAND...
//     visible          prints the Visible property (-1 or 0)
//     show | hide      sets Visible to VARIANT_TRUE or VARIANT_FALSE
//     hwnd             prints the Hwnd property
//     disconnect       calls Disconnect
//     quit             calls Quit
//     pid              prints the server's process ID (for tests: the
//                      process is found by its bus name)
//     wait MS          serves events for MS milliseconds
// Every activation starts a new process. Exit status 1 on a failure, with
// the result on standard error.
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>

#include "app/server/application_face.h"
#include "automation/bstr.h"
#include "automation/error_info.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "automation/remoting/object_proxy.h"
#include "automation/standard_streams.h"

namespace {

int Fail(const char* what, HRESULT hr)
{
    std::string text = "qmxgantt-client: " + std::string(what) + " failed: 0x";
    char code[16];
    std::snprintf(code, sizeof code, "%08X", unsigned(hr));
    text += code;
    if (auto error = qmx::GetErrorInfo(); error && !error->description.empty()) {
        text += " (" + qmx::BstrToUtf8(error->description) + ")";
    }
    std::fprintf(stderr, "%s\n", text.c_str());
    return 1;
}

void Print(long value)
{
    const std::string line = std::to_string(value) + "\n";
    qmx::WriteStandardOutput(line);
    std::fflush(stdout);  // a script may read it while the client waits
}

}  // namespace

int main(int argc, char** argv)
{
    qmx::EnsureStandardDescriptors();
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int timeoutMs = qmx::remoting::kActivationTimeoutMs;
    if (args.size() >= 2 && args[0] == QLatin1String("--timeout")) {
        timeoutMs = args[1].toInt();
        args = args.mid(2);
    }
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: qmxgantt-client [--timeout MS] visible|show|hide|hwnd|disconnect|quit|pid|wait MS...\n");
        return 2;
    }
    qmx::RegisterApplicationFace();
    qmx::ComPtr<IApplication> application;
    const HRESULT activated =
        qmx::remoting::CreateLocalInstance(kDisplayApplicationVersionIndependentProgId, &application, timeoutMs);
    if (FAILED(activated)) return Fail("activation", activated);

    for (int i = 0; i < args.size(); ++i) {
        const QString& command = args[i];
        HRESULT hr = S_OK;
        if (command == QLatin1String("visible")) {
            VARIANT_BOOL visible = VARIANT_FALSE;
            hr = application->get_Visible(&visible);
            if (SUCCEEDED(hr)) Print(visible);
        } else if (command == QLatin1String("show") || command == QLatin1String("hide")) {
            hr = application->put_Visible(command == QLatin1String("show") ? VARIANT_TRUE : VARIANT_FALSE);
        } else if (command == QLatin1String("hwnd")) {
            LONG hwnd = 0;
            hr = application->get_Hwnd(&hwnd);
            if (SUCCEEDED(hr)) Print(long(std::uint32_t(hwnd)));
        } else if (command == QLatin1String("disconnect")) {
            hr = application->Disconnect();
        } else if (command == QLatin1String("quit")) {
            hr = application->Quit();
        } else if (command == QLatin1String("pid")) {
            qmx::ComPtr<qmx::remoting::IRemoteObject> remote;
            hr = qmx::QueryTo(application.Get(), remote.ReleaseAndGetAddressOf());
            if (SUCCEEDED(hr)) {
                const auto pid = qmx::remoting::Apartment::Instance().Connection().interface()->servicePid(remote->RemoteBus());
                Print(long(pid.value()));
            }
        } else if (command == QLatin1String("wait") && i + 1 < args.size()) {
            const int ms = args[++i].toInt();
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < ms) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                QThread::msleep(5);
            }
        } else {
            std::fprintf(stderr, "qmxgantt-client: unknown command %s\n", qPrintable(command));
            return 2;
        }
        if (FAILED(hr)) return Fail(qPrintable(command), hr);
    }
    application = nullptr;
    QCoreApplication::processEvents();  // the release goes out
    return qmx::CloseStandardOutput("qmxgantt-client") ? 0 : 1;
}
