#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "adapters/contract/gantt_adapter.h"
#include "app/core/display_registration.h"
#include "app/document/application_interface.h"
#include "app/frame/window_placement.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/registry_store.h"

namespace qmx {
namespace {

class RegistrationTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RegistryStore store{dir.filePath("registry.ini").toStdString()};
};

TEST_F(RegistrationTest, RegisterWritesClassProgIdsAppIdAndProgramKeys)
{
    ASSERT_EQ(RegisterDisplayApplication(store, "/opt/qmx/bin/QMXGanttDisplay"), S_OK);

    const std::string clsid = "{F11FA755-D185-4670-A20D-A3C59ED7DB35}";
    const std::string appId = "{3DD96A8F-8154-45E5-A9B9-E535DFAB29EE}";
    const std::string clsidKey = "SOFTWARE/Classes/CLSID/" + clsid;
    struct Row {
        std::string key, name, value;
    };
    const Row rows[] = {
        {"SOFTWARE/Classes/QMXGanttDisplay.Application.1/CLSID", "", clsid},
        {"SOFTWARE/Classes/QMXGanttDisplay.Application/CLSID", "", clsid},
        {"SOFTWARE/Classes/QMXGanttDisplay.Application/CurVer", "", "QMXGanttDisplay.Application.1"},
        {clsidKey, "", "QMXGanttDisplayApplication Class"},
        {clsidKey + "/LocalServer32", "", "/opt/qmx/bin/QMXGanttDisplay"},
        {clsidKey, "AppID", appId},
        {clsidKey + "/TypeLib", "", "{7FF88B71-A679-4EC5-B411-0DF679CACB80}"},
        {"SOFTWARE/Classes/AppID/" + appId, "", "QMXGanttDisplay"},
        {"SOFTWARE/Classes/AppID/QMXGanttDisplay.EXE", "AppID", appId},
        {"SOFTWARE/Classes/TypeLib/{7FF88B71-A679-4EC5-B411-0DF679CACB80}/1.0", "",
         "QMXGanttDisplay 1.0 Type Library"},
    };
    for (const Row& row : rows) EXPECT_EQ(store.GetString(row.key, row.name), row.value) << row.key << " " << row.name;
    EXPECT_TRUE(store.KeyExists(clsidKey + "/Programmable"));
    EXPECT_TRUE(store.KeyExists(kAdaptersKey));
    EXPECT_TRUE(store.KeyExists(kSettingsKey));

    CLSID found{};
    EXPECT_EQ(CLSIDFromProgID(store, "QMXGanttDisplay.Application", &found), S_OK);
    EXPECT_EQ(found, CLSID_QMXGanttDisplayApplication);
}

TEST_F(RegistrationTest, UnregisterKeepsAdaptersAndSettings)
{
    ASSERT_TRUE(store.CreateKey(std::string(kAdaptersKey) + "/QMXGanttDisplay.XmlAdapter"));
    ASSERT_TRUE(store.SetString(kSettingsKey, "Language", "English"));
    ASSERT_EQ(RegisterDisplayApplication(store, "/bin/QMXGanttDisplay"), S_OK);
    // Registering again keeps what the keys held.
    ASSERT_EQ(RegisterDisplayApplication(store, "/bin/QMXGanttDisplay"), S_OK);
    EXPECT_EQ(store.GetString(kSettingsKey, "Language"), "English");

    ASSERT_EQ(UnregisterDisplayApplication(store), S_OK);
    for (const char* key : {"SOFTWARE/Classes/QMXGanttDisplay.Application", "SOFTWARE/Classes/QMXGanttDisplay.Application.1",
                            "SOFTWARE/Classes/AppID/QMXGanttDisplay.EXE",
                            "SOFTWARE/Classes/CLSID/{F11FA755-D185-4670-A20D-A3C59ED7DB35}",
                            "SOFTWARE/Classes/AppID/{3DD96A8F-8154-45E5-A9B9-E535DFAB29EE}",
                            "SOFTWARE/Classes/TypeLib/{7FF88B71-A679-4EC5-B411-0DF679CACB80}"})
        EXPECT_FALSE(store.KeyExists(key)) << key;
    EXPECT_TRUE(store.KeyExists(std::string(kAdaptersKey) + "/QMXGanttDisplay.XmlAdapter"));
    EXPECT_EQ(store.GetString(kSettingsKey, "Language"), "English");
    // Unregistering what is not registered is no failure.
    EXPECT_EQ(UnregisterDisplayApplication(store), S_OK);
}

TEST_F(RegistrationTest, UnwritableStoreFails)
{
    RegistryStore readOnly("/proc/qmx-no-such-dir/registry.ini");
    EXPECT_EQ(RegisterDisplayApplication(readOnly, "/bin/QMXGanttDisplay"), SELFREG_E_CLASS);
    EXPECT_EQ(RegisterDisplayApplication(store, ""), E_INVALIDARG);
}

}  // namespace
}  // namespace qmx
