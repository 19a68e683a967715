// Local servers: programs that serve automation objects to other processes.
//
// Activation looks the class's LocalServer32 up in the registry store,
// starts that program with -Embedding and a private activation token in the
// environment ($QMX_ACTIVATION_TOKEN), and waits, with a time limit, for the
// program to claim the bus name derived from the token. Then it asks the
// program's class object for the instance. Every activation starts a new
// process; the class object answers once.
#pragma once

#include <QString>
#include <string_view>

#include "automation/class_factory.h"
#include "automation/remoting/remote_results.h"

namespace qmx {
class RegistryStore;
}

namespace qmx::remoting {

inline constexpr int kActivationTimeoutMs = 30000;
inline constexpr const char* kActivationTokenVariable = "QMX_ACTIVATION_TOKEN";

// "org.qmx.Activation.t" followed by the token.
QString ActivationBusName(const QString& token);

// REGDB_E_CLASSNOTREG when the class has no local server; otherwise
// CO_E_SERVER_EXEC_FAILURE when the program cannot be started, ends or does
// not register in time (the error object says which), or the class object's
// own result.
HRESULT CreateLocalInstance(const RegistryStore& store, REFCLSID clsid, REFIID riid, void** ppv,
                            int timeoutMs = kActivationTimeoutMs);
// By ProgID (CurVer followed), in the default store.
HRESULT CreateLocalInstance(std::string_view progId, REFIID riid, void** ppv, int timeoutMs = kActivationTimeoutMs);

template <class T>
HRESULT CreateLocalInstance(std::string_view progId, ComPtr<T>* result, int timeoutMs = kActivationTimeoutMs)
{
    if (!result) return E_POINTER;
    return CreateLocalInstance(progId, T::iid, reinterpret_cast<void**>(result->ReleaseAndGetAddressOf()), timeoutMs);
}

// The server's side: reads (and removes) the activation token from the
// environment and registers the class object under the token's bus name.
// False when there is no token, no session bus or the name is taken.
bool ServeClassObject(IClassFactory* factory);

}  // namespace qmx::remoting
