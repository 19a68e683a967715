// Registering the add-in through the entry points the registration tool
// calls: the class, and its key under the host's add-in key, replaced whole
// and removed again, which the host's add-in manager then reads.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <QTemporaryDir>

#include "addin/addin_identity.h"
#include "addin/addin_registration.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registration.h"
#include "automation/runtime/registry_store.h"
#include "maphost/app/add_in_manager.h"

namespace qmx::addin {
namespace {

const std::string kKey = "SOFTWARE/Mindjet/MindManager/5/AddIns/QMXGanttDisplay.Mm5GanttDisplay.AddIn.1";
const std::string kClassKey = "SOFTWARE/Classes/CLSID/{871ADE26-2AF0-4069-BAB9-7F388DAC2667}";

RegisterServerFn EntryPoint(const char* symbol)
{
    void* library = dlopen(QMX_ADDIN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    return library ? reinterpret_cast<RegisterServerFn>(dlsym(library, symbol)) : nullptr;
}

TEST(AddInRegistration, TheEntryPointsRegisterTheClassAndTheAddInKeyAndRemoveThem)
{
    RegistryStore store;  // the test's own store
    // What a former version or a hand edit left under the key goes.
    store.SetNumber(kKey, "LoadBehavior", 3);
    store.SetString(kKey, "Stale", "left over");
    store.CreateKey(kKey + "/Old");
    store.SetNumber("SOFTWARE/Mindjet/MindManager/5/AddIns/Other.AddIn", "LoadBehavior", 2);

    const RegisterServerFn registerServer = EntryPoint(kRegisterServerSymbol);
    const RegisterServerFn unregisterServer = EntryPoint(kUnregisterServerSymbol);
    ASSERT_NE(registerServer, nullptr);
    ASSERT_NE(unregisterServer, nullptr);
    ASSERT_EQ(registerServer(), S_OK);

    struct Row {
        std::string key, name, value;
    };
    const Row strings[] = {
        {kClassKey, "", "QMXMm5GanttDisplayAddIn Class"},
        {kClassKey + "/ProgID", "", "QMXGanttDisplay.Mm5GanttDisplay.AddIn.1"},
        {kClassKey + "/VersionIndependentProgID", "", "QMXGanttDisplay.Mm5GanttDisplay.AddIn"},
        {kClassKey + "/InprocServer32", "ThreadingModel", "Apartment"},
        {kClassKey + "/TypeLib", "", "{14815C0E-192F-4327-B84B-D7A87550F817}"},
        {kClassKey, "AppID", "{DBC627B3-B8DA-4413-B7BA-4EF81688AA5D}"},
        {"SOFTWARE/Classes/AppID/{DBC627B3-B8DA-4413-B7BA-4EF81688AA5D}", "", "QMXMm5GanttDisplayAddIn Class"},
        {"SOFTWARE/Classes/QMXGanttDisplay.Mm5GanttDisplay.AddIn/CurVer", "", "QMXGanttDisplay.Mm5GanttDisplay.AddIn.1"},
        {kKey, "FriendlyName", "QMXGanttDisplay Task Synchronization"},
        {kKey, "Description", ""},
    };
    for (const Row& row : strings)
        EXPECT_EQ(store.GetString(row.key, row.name), row.value) << row.key << " " << row.name;
    EXPECT_EQ(store.GetNumber(kKey, "CommandLineSafe"), 0u);
    EXPECT_EQ(store.GetNumber(kKey, "LoadBehavior"), 2u);
    EXPECT_EQ(store.GetString(kKey, "Stale"), std::nullopt);
    EXPECT_TRUE(store.SubKeys(kKey).empty());
    // The library registered is the add-in's own file, so it can be created.
    char* real = realpath(QMX_ADDIN_LIBRARY, nullptr);
    EXPECT_EQ(store.GetString(kClassKey + "/InprocServer32"), std::string(real));
    std::free(real);
    ComPtr<IDTExtensibility2> addIn;
    EXPECT_EQ(CreateInstance(kAddInVersionIndependentProgId, &addIn), S_OK);

    // The host lists it with its name, to be loaded at its start.
    bool listed = false;
    for (const map::AddInEntry& entry : map::AddInManager(nullptr).List()) {
        if (entry.progId != kAddInProgId) continue;
        listed = true;
        EXPECT_EQ(entry.friendlyName, kAddInFriendlyName);
        EXPECT_EQ(entry.description, "");
        EXPECT_EQ(entry.loadBehavior & map::kLoadAtStartup, map::kLoadAtStartup);
    }
    EXPECT_TRUE(listed);

    // Registering again changes nothing; unregistering removes the add-in's
    // keys and no one else's.
    ASSERT_EQ(registerServer(), S_OK);
    EXPECT_EQ(store.GetNumber(kKey, "LoadBehavior"), 2u);
    ASSERT_EQ(unregisterServer(), S_OK);
    for (const std::string& key : {kKey, kClassKey, std::string("SOFTWARE/Classes/AppID/{DBC627B3-B8DA-4413-B7BA-4EF81688AA5D}"),
                                   std::string("SOFTWARE/Classes/QMXGanttDisplay.Mm5GanttDisplay.AddIn"),
                                   std::string("SOFTWARE/Classes/QMXGanttDisplay.Mm5GanttDisplay.AddIn.1")})
        EXPECT_FALSE(store.KeyExists(key)) << key;
    EXPECT_EQ(store.GetNumber("SOFTWARE/Mindjet/MindManager/5/AddIns/Other.AddIn", "LoadBehavior"), 2u);
    EXPECT_EQ(unregisterServer(), S_OK);  // already gone: no failure
}

TEST(AddInRegistration, AStoreThatCannotBeWrittenFailsTheRegistration)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // A folder where the file should be: nothing can be stored.
    const QString path = folder.filePath("registry.ini");
    ASSERT_TRUE(QDir().mkdir(path));
    RegistryStore store(path.toStdString());
    EXPECT_TRUE(FAILED(RegisterAddIn(store, "/usr/lib/libQMXMm5GanttDisplay.so")));
}

}  // namespace
}  // namespace qmx::addin
