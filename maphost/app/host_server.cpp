#include "maphost/app/host_server.h"

#include "automation/class_factory.h"
#include "automation/remoting/apartment.h"
#include "automation/remoting/local_server.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"
#include "maphost/api/map_codes.h"
#include "maphost/remote/map_faces.h"

namespace qmx::map {

namespace {

constexpr CLSID kApplicationClass = MakeGuid(kApplicationClassText);

ClassInfo HostClass()
{
    return ClassInfo{kApplicationClass, kHostIdentifier, "MindManager.Application", "QMXMapHost Application"};
}

struct Switch {
    const char* name;
    HostCommandLine::Action action;
    bool embedding;
};

constexpr Switch kSwitches[] = {
    {"Embedding", HostCommandLine::Action::Run, true},
    {"Automation", HostCommandLine::Action::Run, true},
    {"RegServer", HostCommandLine::Action::Register, false},
    {"UnregServer", HostCommandLine::Action::Unregister, false},
};

// Answers the program's application object, whoever asks.
class ApplicationFactory final : public ComObject<IClassFactory> {
public:
    explicit ApplicationFactory(IMmApplication* application) : application_(application) {}
    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override
    {
        if (!ppvObject) return E_POINTER;
        *ppvObject = nullptr;
        if (pUnkOuter) return CLASS_E_NOAGGREGATION;
        return application_->QueryInterface(riid, ppvObject);
    }
    HRESULT LockServer(bool) override { return S_OK; }

private:
    ComPtr<IMmApplication> application_;
};

QString Describe(HRESULT hr) { return QString::asprintf("0x%08X", unsigned(hr)); }

}  // namespace

HostCommandLine ParseHostCommandLine(const QStringList& arguments)
{
    HostCommandLine result;
    for (const QString& argument : arguments) {
        const bool switchLike = argument.size() > 1 && (argument.front() == u'/' || argument.front() == u'-');
        const Switch* known = nullptr;
        for (const Switch& candidate : kSwitches) {
            if (switchLike && argument.mid(1).compare(QLatin1String(candidate.name), Qt::CaseInsensitive) == 0)
                known = &candidate;
        }
        if (known) {
            if (known->action != HostCommandLine::Action::Run) result.action = known->action;
            result.embedding = result.embedding || known->embedding;
        } else if (!argument.isEmpty() && !(switchLike && argument.front() == u'-')) {
            result.files << argument;
        }
    }
    return result;
}

bool RegisterHostServer(const QString& program, QString* message)
{
    RegistryStore store;
    const HRESULT hr = RegisterLocalServer(store, HostClass(), program.toStdString());
    if (SUCCEEDED(hr)) return true;
    if (message) *message = QStringLiteral("The map host could not be registered (%1).").arg(Describe(hr));
    return false;
}

bool UnregisterHostServer(QString* message)
{
    RegistryStore store;
    const HRESULT hr = UnregisterServer(store, HostClass());
    if (SUCCEEDED(hr)) return true;
    if (message) *message = QStringLiteral("The map host's registration could not be removed (%1).").arg(Describe(hr));
    return false;
}

bool ServeHostApplication(IMmApplication* application, std::function<void()> quit)
{
    if (!application) return false;
    RegisterMapFaces();
    remoting::Apartment& apartment = remoting::Apartment::Instance();
    apartment.SetLastReleaseHandler(std::move(quit));
    ComPtr<ApplicationFactory> factory = MakeObject<ApplicationFactory>(application);
    return factory && remoting::ServeClassObject(factory.Get());
}

}  // namespace qmx::map
