// Registration through the registration tool and activation by ProgID.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <string>

#include "automation/runtime/activation.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"
#include "automation/tests/test_component.h"

namespace {

std::string BuildPath(const char* variable, const std::string& name)
{
    const char* dir = std::getenv(variable);
    return std::string(dir ? dir : ".") + "/" + name;
}

struct INotThere : IUnknown {
    QMX_INTERFACE_ID("{DEADBEEF-0000-4000-8000-000000000000}");
};

class ActivationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        registry = (dir.path() + "/registry.ini").toStdString();
        setenv("QMX_REGISTRY", registry.c_str(), 1);
    }

    int RunRegistrationTool(const std::string& arguments)
    {
        const std::string command = "'" + BuildPath("QMX_BUILD_BIN_DIR", "qmxregsvr") + "' --registry '" + registry +
                                    "' " + arguments + " > /dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string component = BuildPath("QMX_BUILD_LIB_DIR", "libqmx_test_component.so");
    QTemporaryDir dir;
    std::string registry;
};

TEST_F(ActivationTest, RegisteredComponentIsCreatedByProgIdAndUnregistered)
{
    ASSERT_EQ(RunRegistrationTool("'" + component + "'"), 0);

    qmx::RegistryStore store(registry);
    const auto library = store.GetString(qmx::ClsidKey(CLSID_TestGreeter) + "/InprocServer32");
    ASSERT_TRUE(library);
    EXPECT_EQ(library->front(), '/');  // registered with its absolute path
    EXPECT_NE(library->find("libqmx_test_component.so"), std::string::npos);
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/QMXTest.Greeter/CurVer"), kTestGreeterProgId);

    for (const char* progId : {kTestGreeterProgId, kTestGreeterVersionIndependentProgId}) {
        CLSID clsid;
        ASSERT_EQ(qmx::CLSIDFromProgID(progId, &clsid), S_OK) << progId;
        EXPECT_EQ(clsid, CLSID_TestGreeter);

        qmx::ComPtr<ITestGreeter> greeter;
        ASSERT_EQ(qmx::CreateInstance(progId, &greeter), S_OK) << progId;
        BSTR greeting;
        EXPECT_EQ(greeter->Greet(u"plan", &greeting), S_OK);
        EXPECT_EQ(greeting, u"Hello, plan");
    }

    ASSERT_EQ(RunRegistrationTool("-u '" + component + "'"), 0);
    qmx::ComPtr<ITestGreeter> greeter;
    EXPECT_EQ(qmx::CreateInstance(kTestGreeterProgId, &greeter), CO_E_CLASSSTRING);
    EXPECT_FALSE(qmx::RegistryStore(registry).KeyExists(qmx::ClsidKey(CLSID_TestGreeter)));
}

TEST_F(ActivationTest, FailuresAreResultsNotCrashes)
{
    ASSERT_EQ(RunRegistrationTool("'" + component + "'"), 0);
    void* object = reinterpret_cast<void*>(1);

    // An interface the object does not answer.
    EXPECT_EQ(qmx::CreateInstance(kTestGreeterProgId, INotThere::iid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    // Unknown and malformed ProgIDs.
    for (const char* progId : {"No.Such.Class", "", "../../etc", "QMXTest.Greeter/CLSID"})
        EXPECT_EQ(qmx::CreateInstance(progId, ITestGreeter::iid, &object), CO_E_CLASSSTRING) << progId;

    qmx::RegistryStore store(registry);
    auto registerAt = [&](const char* progId, const char* clsidText, const std::string& path) {
        const CLSID clsid = *qmx::ParseGuid(clsidText);
        EXPECT_EQ(qmx::RegisterInprocServer(store, {clsid, progId, "", "broken"}, path), S_OK);
    };
    // A library that is not there, a library that is no component, a file that is no library.
    registerAt("QMXTest.Missing.1", "{00000000-0000-4000-8000-000000000001}", dir.path().toStdString() + "/none.so");
    registerAt("QMXTest.NoEntry.1", "{00000000-0000-4000-8000-000000000002}",
               BuildPath("QMX_BUILD_LIB_DIR", "libqmx_test_no_entry_points.so"));
    registerAt("QMXTest.NotALibrary.1", "{00000000-0000-4000-8000-000000000003}", registry);
    EXPECT_EQ(qmx::CreateInstance("QMXTest.Missing.1", ITestGreeter::iid, &object), CO_E_DLLNOTFOUND);
    EXPECT_EQ(qmx::CreateInstance("QMXTest.NoEntry.1", ITestGreeter::iid, &object), CO_E_ERRORINDLL);
    EXPECT_EQ(qmx::CreateInstance("QMXTest.NotALibrary.1", ITestGreeter::iid, &object), CO_E_DLLNOTFOUND);

    // A ProgID whose CLSID has no server entry, and one whose CLSID text is garbage.
    store.SetString("SOFTWARE/Classes/QMXTest.Orphan.1/CLSID", "", "{00000000-0000-4000-8000-000000000009}");
    store.SetString("SOFTWARE/Classes/QMXTest.Garbled.1/CLSID", "", "not a guid");
    EXPECT_EQ(qmx::CreateInstance("QMXTest.Orphan.1", ITestGreeter::iid, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(qmx::CreateInstance("QMXTest.Garbled.1", ITestGreeter::iid, &object), CO_E_CLASSSTRING);
    EXPECT_EQ(qmx::CreateInstance("QMXTest.Greeter.1", ITestGreeter::iid, nullptr), E_POINTER);
}

TEST_F(ActivationTest, SystemRegistrationServesAUserWithNoRegistrationOfTheirOwn)
{
    const char* old = std::getenv("QMX_SYSTEM_REGISTRY");
    const std::string saved = old ? old : "";
    const std::string system = (dir.path() + "/etc/QMX/registry.ini").toStdString();
    setenv("QMX_SYSTEM_REGISTRY", system.c_str(), 1);
    const std::string tool = "'" + BuildPath("QMX_BUILD_BIN_DIR", "qmxregsvr") + "' --system ";
    const auto run = [](const std::string& command) {
        const int status = std::system((command + " > /dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    ASSERT_EQ(run(tool + "'" + component + "'"), 0);
    EXPECT_TRUE(qmx::RegistryStore(system).KeyExists(qmx::ClsidKey(CLSID_TestGreeter)));
    EXPECT_FALSE(qmx::RegistryStore(registry).KeyExists(qmx::ClsidKey(CLSID_TestGreeter)));  // nothing per user
    qmx::ComPtr<ITestGreeter> greeter;
    EXPECT_EQ(qmx::CreateInstance(kTestGreeterProgId, &greeter), S_OK);

    ASSERT_EQ(run(tool + "-u '" + component + "'"), 0);
    EXPECT_FALSE(qmx::RegistryStore(system).KeyExists(qmx::ClsidKey(CLSID_TestGreeter)));
    greeter = nullptr;
    EXPECT_EQ(qmx::CreateInstance(kTestGreeterProgId, &greeter), CO_E_CLASSSTRING);
    old ? setenv("QMX_SYSTEM_REGISTRY", saved.c_str(), 1) : unsetenv("QMX_SYSTEM_REGISTRY");
}

TEST_F(ActivationTest, RegistrationToolRejectsBadUsage)
{
    EXPECT_EQ(RunRegistrationTool(""), 2);
    EXPECT_EQ(RunRegistrationTool("--bogus x.so"), 2);
    EXPECT_EQ(RunRegistrationTool("'" + dir.path().toStdString() + "/none.so'"), 1);
    EXPECT_EQ(RunRegistrationTool("'" + BuildPath("QMX_BUILD_LIB_DIR", "libqmx_test_no_entry_points.so") + "'"), 1);
}

}  // namespace
