// qmxregsvr: registers or unregisters a component library in the registry
// store by calling its registration entry point.

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "automation/runtime/component_exports.h"
#include "automation/runtime/registry_store.h"
#include "automation/standard_streams.h"

namespace {

void PrintUsage(std::FILE* out)
{
    std::fputs(
        "Usage: qmxregsvr [-u] [--system | --registry FILE] LIBRARY\n"
        "Registers the component library LIBRARY in the registry store.\n"
        "  -u, --unregister  unregister instead\n"
        "  --system          use the system store that serves every user\n"
        "                    ($QMX_SYSTEM_REGISTRY, else QMX/registry.ini under\n"
        "                    $XDG_CONFIG_DIRS, default /etc/xdg)\n"
        "  --registry FILE   use FILE as the registry store (default: $QMX_REGISTRY,\n"
        "                    else ~/.config/QMX/registry.ini)\n",
        out);
}

int Run(int argc, char** argv)
{
    bool unregister = false;
    std::string library;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "-u") == 0 || std::strcmp(arg, "--unregister") == 0) {
            unregister = true;
        } else if (std::strcmp(arg, "--registry") == 0 && i + 1 < argc) {
            setenv("QMX_REGISTRY", argv[++i], 1);
        } else if (std::strcmp(arg, "--system") == 0) {
            // The component registers itself in the default store: make that
            // the system file, read alone.
            const std::string system = qmx::RegistryStore::DefaultSystemPath();
            setenv("QMX_REGISTRY", system.c_str(), 1);
        } else if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
            PrintUsage(stdout);
            return 0;
        } else if (arg[0] == '-' || !library.empty()) {
            PrintUsage(stderr);
            return 2;
        } else {
            library = arg;
        }
    }
    if (library.empty()) {
        PrintUsage(stderr);
        return 2;
    }
    // dlopen searches the library path for a bare name; a file here is meant.
    if (library.find('/') == std::string::npos) library = "./" + library;

    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "qmxregsvr: cannot load %s: %s\n", library.c_str(), dlerror());
        return 1;
    }
    const char* symbol = unregister ? qmx::kUnregisterServerSymbol : qmx::kRegisterServerSymbol;
    auto entry = reinterpret_cast<qmx::RegisterServerFn>(dlsym(handle, symbol));
    if (!entry) {
        std::fprintf(stderr, "qmxregsvr: %s has no entry point %s\n", library.c_str(), symbol);
        return 1;
    }
    const HRESULT hr = entry();
    if (FAILED(hr)) {
        std::fprintf(stderr, "qmxregsvr: %s failed in %s: 0x%08X\n", library.c_str(), symbol, unsigned(hr));
        return 1;
    }
    std::printf("%s %s\n", unregister ? "Unregistered" : "Registered", library.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    qmx::EnsureStandardDescriptors();
    const int rc = Run(argc, argv);
    if (!qmx::CloseStandardOutput("qmxregsvr")) return rc == 0 ? 1 : rc;
    return rc;
}
