// The component as the application meets it: registered by its entry
// points in the test's own registry store, created by ProgID, answering
// both of its interfaces.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "adapters/contract/gantt_adapter.h"
#include "adapters/contract/hosted_adapter.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registry_store.h"

namespace qmx {
namespace {

HRESULT CallEntryPoint(const char* symbol)
{
    const std::string path = std::string(std::getenv("QMX_BUILD_LIB_DIR")) + "/libQMXMm5Adapter.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        ADD_FAILURE() << dlerror();
        return E_FAIL;
    }
    auto entry = reinterpret_cast<RegisterServerFn>(dlsym(library, symbol));
    const HRESULT hr = entry ? entry() : E_FAIL;
    dlclose(library);
    return hr;
}

TEST(Mm5AdapterModule, RegistersCreatesAndUnregisters)
{
    ASSERT_EQ(CallEntryPoint(kRegisterServerSymbol), S_OK);
    RegistryStore store;
    const std::string clsid = "{C63189BC-D4BC-467C-A4D3-D7A8828A2B70}";
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/QMXGanttDisplay.Mm5Adapter.1/CLSID"), clsid);
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/QMXGanttDisplay.Mm5Adapter/CurVer"), "QMXGanttDisplay.Mm5Adapter.1");
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/CLSID/" + clsid), "QMXMm5Adapter Class");
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/CLSID/" + clsid + "/InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(store.SubKeys(kAdaptersKey), std::vector<std::string>{"QMXGanttDisplay.Mm5Adapter"});

    ComPtr<IGanttAdapter> adapter;
    ASSERT_EQ(CreateInstance<IGanttAdapter>("QMXGanttDisplay.Mm5Adapter", &adapter), S_OK);
    ComPtr<IHostedAdapter> hosted;
    ASSERT_EQ(adapter.As(&hosted), S_OK);
    BSTR name;
    ASSERT_EQ(adapter->GetName(&name), S_OK);
    EXPECT_EQ(name, u"QMXMm5Adapter");
    ASSERT_EQ(adapter->GetDescription(&name), S_OK);
    EXPECT_EQ(name, u"MindManagerX5 document adapter");
    EXPECT_EQ(adapter->GetName(nullptr), E_INVALIDARG);
    EXPECT_EQ(adapter->get_FileName(nullptr), E_POINTER);
    adapter = nullptr;
    hosted = nullptr;

    ASSERT_EQ(CallEntryPoint(kUnregisterServerSymbol), S_OK);
    EXPECT_FALSE(store.KeyExists("SOFTWARE/Classes/CLSID/" + clsid));
    EXPECT_TRUE(store.SubKeys(kAdaptersKey).empty());
}

}  // namespace
}  // namespace qmx
