// A stand-in for the display application in the add-in's tests: a local
// server of the display application's class that writes every call it gets
// to the file $QMX_ADDIN_TEST_LOG, one line each, starting with its process
// ID. $QMX_ADDIN_TEST_CONNECT chooses how Connect answers: "refuse" fails,
// "slow" answers after a second (serving calls meanwhile), anything else
// succeeds. Like the real program it ends when its last client lets go,
// unless it was made visible, and on Quit.
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <unistd.h>

#include "app/document/application_interface.h"
#include "app/server/application_face.h"
#include "automation/bstr.h"
#include "automation/class_factory.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"

namespace {

void Log(const QString& line)
{
    QFile file(qEnvironmentVariable("QMX_ADDIN_TEST_LOG"));
    if (!file.open(QIODevice::Append | QIODevice::Text)) return;
    file.write(QStringLiteral("%1 %2\n").arg(getpid()).arg(line).toUtf8());
}

bool g_visible = false;

class RecordingDisplay final : public qmx::ComObject<IApplication> {
public:
    HRESULT Connect(IUnknown* pHostApp, const BSTR& bsHostAppId, LONG hwndHost, const VARIANT& varAdditional) override
    {
        Log(QStringLiteral("Connect host=%1 id=%2 hwnd=%3 additional=%4")
                .arg(pHostApp ? "object" : "none", QString::fromStdU16String(bsHostAppId))
                .arg(hwndHost)
                .arg(qmx::IsEmpty(varAdditional) ? "empty" : "value"));
        const QString mode = qEnvironmentVariable("QMX_ADDIN_TEST_CONNECT");
        if (mode == QLatin1String("refuse")) return E_FAIL;
        if (mode == QLatin1String("slow")) {
            QEventLoop wait;
            QTimer::singleShot(1000, &wait, &QEventLoop::quit);
            wait.exec();
        }
        host_ = pHostApp;
        return S_OK;
    }
    HRESULT Disconnect() override
    {
        Log(QStringLiteral("Disconnect"));
        host_ = nullptr;
        return S_OK;
    }
    HRESULT get_Visible(VARIANT_BOOL* pvbVisible) override
    {
        if (!pvbVisible) return E_POINTER;
        *pvbVisible = ToVariantBool(g_visible);
        return S_OK;
    }
    HRESULT put_Visible(VARIANT_BOOL vbVisible) override
    {
        Log(QStringLiteral("Visible %1").arg(vbVisible));
        g_visible = vbVisible == VARIANT_TRUE;
        return S_OK;
    }
    HRESULT get_Hwnd(LONG* phWnd) override
    {
        if (!phWnd) return E_POINTER;
        *phWnd = 0;
        return S_OK;
    }
    HRESULT Quit() override
    {
        Log(QStringLiteral("Quit"));
        QCoreApplication::quit();
        return S_OK;
    }

private:
    qmx::ComPtr<IUnknown> host_;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qmx::RegisterApplicationFace();
    qmx::remoting::Apartment::Instance().SetLastReleaseHandler([] {
        if (!g_visible) QCoreApplication::quit();
    });
    auto factory = qmx::MakeObject<qmx::ClassFactory<RecordingDisplay>>();
    if (!qmx::remoting::ServeClassObject(factory.Get())) return 1;
    Log(QStringLiteral("started"));
    const int status = QCoreApplication::exec();
    Log(QStringLiteral("exit"));
    return status;
}
