#include "adapters/mindmanager/map_launcher.h"

#include "automation/error_info.h"
#include "automation/remoting/local_server.h"
#include "automation/runtime/registry_store.h"
#include "maphost/api/map_codes.h"
#include "maphost/remote/map_faces.h"

namespace qmx::mm {

ApplicationLauncher LocalServerLauncher(int timeoutMs)
{
    return [timeoutMs](IMmApplication** ppApplication) -> HRESULT {
        if (!ppApplication) return E_POINTER;
        *ppApplication = nullptr;
        map::RegisterMapFaces();
        void** out = reinterpret_cast<void**>(ppApplication);
        const HRESULT hr = remoting::CreateLocalInstance(map::kHostIdentifier, IMmApplication::iid, out, timeoutMs);
        if (hr != CO_E_CLASSSTRING && hr != REGDB_E_CLASSNOTREG) return hr;
        return remoting::CreateLocalInstance(RegistryStore(), kMapApplicationClsid, IMmApplication::iid, out,
                                             timeoutMs);
    };
}

ApplicationLauncher LocalServerLauncher() { return LocalServerLauncher(remoting::kActivationTimeoutMs); }

}  // namespace qmx::mm
