// The map host program's objects through their proxies: a map opened, read,
// changed and saved over the bus, malformed calls answered with errors, and
// the program's registration and lifetime.
#include <QDBusMessage>
#include <QTemporaryDir>

#include "automation/remoting/tests/hostile_calls.h"
#include "maphost/remote/tests/map_remote_fixture.h"

namespace qmx::map::testing {
namespace {

ComPtr<IUnknown> Identity(IUnknown* object)
{
    ComPtr<IUnknown> identity;
    if (object) object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.ReleaseAndGetAddressOf()));
    return identity;
}

ComPtr<IMmDocument> NewMap(IMmApplication* application)
{
    ComPtr<IMmDocuments> documents;
    EXPECT_EQ(application->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmDocument> document;
    EXPECT_EQ(documents->Add(0, document.ReleaseAndGetAddressOf()), S_OK);
    return document;
}

ComPtr<IMmTopic> AddTopic(IMmTopic* parent, const BSTR& text)
{
    ComPtr<IMmTopic> topic;
    EXPECT_EQ(parent->AddSubTopic(text, topic.ReleaseAndGetAddressOf()), S_OK);
    return topic;
}

using RemoteMapOperationsTest = RemoteMapTest;

TEST_F(RemoteMapOperationsTest, RegistrationMakesTheHostActivatableAndItsRemovalDoesNot)
{
    RegistryStore store;
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/CLSID/" + std::string(kApplicationClassText) + "/LocalServer32"),
              std::string(QMX_MAP_HOST_PROGRAM));
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/" + std::string(kHostIdentifier) + "/CLSID"),
              std::string(kApplicationClassText));
    ASSERT_EQ(QProcess::execute(QStringLiteral(QMX_MAP_HOST_PROGRAM), {QStringLiteral("/UNREGSERVER")}), 0);
    ComPtr<IMmApplication> application;
    EXPECT_EQ(remoting::CreateLocalInstance(kHostIdentifier, &application), CO_E_CLASSSTRING);
    ASSERT_EQ(QProcess::execute(QStringLiteral(QMX_MAP_HOST_PROGRAM), {QStringLiteral("-regserver")}), 0);
    EXPECT_TRUE(StartHost());
}

TEST_F(RemoteMapOperationsTest, TopicsAndTheirValuesAreReadAndChangedAcrossTheBus)
{
    ComPtr<IMmApplication> application = StartHost();
    ASSERT_TRUE(application);
    ComPtr<IMmDocument> document = NewMap(application.Get());
    ASSERT_TRUE(document);
    ComPtr<IMmTopic> central;
    ASSERT_EQ(document->get_CentralTopic(central.ReleaseAndGetAddressOf()), S_OK);
    const BSTR awkward = u"Plan \u00e9\u4e2d " + std::u16string(1, char16_t(0xD800)) + std::u16string(u"\0end", 4);
    ASSERT_EQ(central->put_Text(awkward), S_OK);
    BSTR text;
    EXPECT_EQ(central->get_Text(&text), S_OK);
    EXPECT_EQ(text, awkward);
    VARIANT_BOOL flag = 0;
    EXPECT_EQ(central->get_IsCentralTopic(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);

    ComPtr<IMmTopic> design = AddTopic(central.Get(), u"Design");
    ComPtr<IMmTopic> build = AddTopic(central.Get(), u"Build");
    ASSERT_TRUE(design && build);
    ComPtr<IMmTopics> topics;
    ASSERT_EQ(central->get_SubTopics(VARIANT_FALSE, topics.ReleaseAndGetAddressOf()), S_OK);
    LONG count = 0;
    EXPECT_EQ(topics->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2);
    ComPtr<IMmTopic> first;
    ASSERT_EQ(topics->Item(1, first.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Identity(first.Get()), Identity(design.Get()));  // one proxy per object
    EXPECT_EQ(topics->Item(3, first.ReleaseAndGetAddressOf()), E_INVALIDARG);

    // Task information: accepted values come back; refused ones leave the old.
    ComPtr<IMmTaskInfo> task;
    ASSERT_EQ(design->get_TaskInfo(task.ReleaseAndGetAddressOf()), S_OK);
    struct LongCase {
        HRESULT (IMmTaskInfo::*put)(LONG);
        HRESULT (IMmTaskInfo::*get)(LONG*);
        LONG value;
        bool accepted;
        LONG expected;
    };
    const LongCase longCases[] = {
        {&IMmTaskInfo::put_Priority, &IMmTaskInfo::get_Priority, 3, true, 3},
        {&IMmTaskInfo::put_Priority, &IMmTaskInfo::get_Priority, 10, false, 3},
        {&IMmTaskInfo::put_DurationUnit, &IMmTaskInfo::get_DurationUnit, kDurationDays, true, kDurationDays},
        {&IMmTaskInfo::put_DurationUnit, &IMmTaskInfo::get_DurationUnit, 4, false, kDurationDays},
        {&IMmTaskInfo::put_PercentComplete, &IMmTaskInfo::get_PercentComplete, 100, true, 100},
        {&IMmTaskInfo::put_PercentComplete, &IMmTaskInfo::get_PercentComplete, -1, false, 100},
    };
    for (const LongCase& c : longCases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(SUCCEEDED((task.Get()->*c.put)(c.value)), c.accepted);
        LONG back = -99;
        EXPECT_EQ((task.Get()->*c.get)(&back), S_OK);
        EXPECT_EQ(back, c.expected);
    }
    struct DoubleCase {
        HRESULT (IMmTaskInfo::*put)(double);
        HRESULT (IMmTaskInfo::*get)(double*);
        double value;
        bool accepted;
        double expected;
    };
    const DoubleCase doubleCases[] = {
        {&IMmTaskInfo::put_StartDate, &IMmTaskInfo::get_StartDate, 46000.25, true, 46000.25},
        {&IMmTaskInfo::put_DueDate, &IMmTaskInfo::get_DueDate, 46004.5, true, 46004.5},
        {&IMmTaskInfo::put_DueDate, &IMmTaskInfo::get_DueDate, 1e9, false, 46004.5},
        {&IMmTaskInfo::put_DurationHours, &IMmTaskInfo::get_DurationHours, 36.5, true, 36.5},
        {&IMmTaskInfo::put_DurationHours, &IMmTaskInfo::get_DurationHours, -2, false, 36.5},
    };
    for (const DoubleCase& c : doubleCases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(SUCCEEDED((task.Get()->*c.put)(c.value)), c.accepted);
        double back = -99;
        EXPECT_EQ((task.Get()->*c.get)(&back), S_OK);
        EXPECT_EQ(back, c.expected);
    }
    EXPECT_EQ(task->put_Resources(u"Ann;Bob"), S_OK);
    EXPECT_EQ(task->get_Resources(&text), S_OK);
    EXPECT_EQ(text, u"Ann;Bob");

    // Attributes by namespace.
    ComPtr<IMmAttributes> attributes;
    ASSERT_EQ(design->get_Attributes(u"urn:test", attributes.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(attributes->SetAttributeValue(u"Predecessors", u"{A},2"), S_OK);
    EXPECT_EQ(attributes->SetAttributeValue(u"Empty", u""), S_OK);
    EXPECT_EQ(attributes->GetAttributeValue(u"Predecessors", &text), S_OK);
    EXPECT_EQ(text, u"{A},2");
    EXPECT_EQ(attributes->GetAttributeValue(u"Absent", &text), S_FALSE);
    EXPECT_EQ(text, u"");
    EXPECT_EQ(attributes->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(attributes->get_Name(1, &text), S_OK);
    EXPECT_EQ(text, u"Empty");
    EXPECT_EQ(attributes->DeleteAttribute(u"Empty"), S_OK);
    EXPECT_EQ(attributes->DeleteAttribute(u"Empty"), S_FALSE);

    // Fill colour and flags.
    DWORD fill = 0;
    EXPECT_EQ(design->get_FillColor(&fill), S_FALSE);
    EXPECT_EQ(design->put_FillColor(0x80FF0010u), S_OK);
    EXPECT_EQ(design->get_FillColor(&fill), S_OK);
    EXPECT_EQ(fill, 0x80FF0010u);
    EXPECT_EQ(design->ClearFillColor(), S_OK);
    EXPECT_EQ(design->get_HasFillColor(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_FALSE);
    EXPECT_EQ(build->put_IsCallout(VARIANT_TRUE), S_OK);
    EXPECT_EQ(build->get_IsCallout(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);
    EXPECT_EQ(design->put_Collapsed(VARIANT_TRUE), S_OK);
    EXPECT_EQ(design->get_Collapsed(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);

    // A move, the parent, a lookup by GUID, a delete.
    EXPECT_EQ(topics->Insert(build.Get(), 1), S_OK);
    ASSERT_EQ(topics->Item(1, first.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Identity(first.Get()), Identity(build.Get()));
    EXPECT_EQ(topics->Insert(central.Get(), 1), E_FAIL);
    ComPtr<IMmTopic> parent;
    EXPECT_EQ(build->get_ParentTopic(parent.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Identity(parent.Get()), Identity(central.Get()));
    ComPtr<IMmDocument> owner;
    EXPECT_EQ(build->get_Document(owner.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Identity(owner.Get()), Identity(document.Get()));
    BSTR guid;
    ASSERT_EQ(design->get_Guid(&guid), S_OK);
    ComPtr<IMmRange> range;
    ASSERT_EQ(document->get_Range(2, 0, range.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmTopic> found;
    EXPECT_EQ(range->TopicByGuid(guid, found.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Identity(found.Get()), Identity(design.Get()));
    EXPECT_EQ(range->get_Count(&count), S_OK);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(design->Delete(), S_OK);
    EXPECT_EQ(range->TopicByGuid(guid, found.ReleaseAndGetAddressOf()), E_INVALIDARG);
    EXPECT_EQ(central->Delete(), E_FAIL);
    EXPECT_EQ(topics->get_Count(&count), S_OK);
    EXPECT_EQ(count, 1);

    std::int64_t handle = -1;
    EXPECT_EQ(application->get_MainWindowHandle(&handle), S_OK);
}

TEST_F(RemoteMapOperationsTest, AMapSavedThroughTheHostReopensWithItsValues)
{
    QTemporaryDir folder;
    const BSTR file = (folder.filePath(QStringLiteral("plan.mmap"))).toStdU16String();
    BSTR guid;
    {
        ComPtr<IMmApplication> application = StartHost();
        ASSERT_TRUE(application);
        ComPtr<IMmDocument> document = NewMap(application.Get());
        ComPtr<IMmTopic> central;
        ASSERT_EQ(document->get_CentralTopic(central.ReleaseAndGetAddressOf()), S_OK);
        ComPtr<IMmTopic> topic = AddTopic(central.Get(), u"Kept");
        topic->get_Guid(&guid);
        ComPtr<IMmAttributes> attributes;
        ASSERT_EQ(topic->get_Attributes(u"urn:test", attributes.ReleaseAndGetAddressOf()), S_OK);
        attributes->SetAttributeValue(u"Key", u"value");
        ComPtr<IMmDocumentProperties> properties;
        ASSERT_EQ(document->get_Properties(properties.ReleaseAndGetAddressOf()), S_OK);
        EXPECT_EQ(properties->put_Description(u"About the plan"), S_OK);
        VARIANT_BOOL modified = 0;
        EXPECT_EQ(document->get_IsModified(&modified), S_OK);
        EXPECT_EQ(modified, VARIANT_TRUE);
        EXPECT_EQ(document->Save(), E_FAIL) << "a map without a file needs Save As";
        ASSERT_EQ(document->SaveAs(file, kFormatMap), S_OK);
        BSTR name;
        EXPECT_EQ(document->get_FullName(&name), S_OK);
        EXPECT_EQ(name, file);
        EXPECT_EQ(document->get_IsModified(&modified), S_OK);
        EXPECT_EQ(modified, VARIANT_FALSE);
    }
    ComPtr<IMmApplication> application = StartHost();  // another process
    ASSERT_TRUE(application);
    ComPtr<IMmDocuments> documents;
    ASSERT_EQ(application->get_Documents(VARIANT_FALSE, documents.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmDocument> document;
    EXPECT_TRUE(FAILED(documents->Open(u"/nonexistent/none.mmap", u"", VARIANT_FALSE, document.ReleaseAndGetAddressOf())));
    EXPECT_FALSE(document);
    ASSERT_EQ(documents->Open(file, u"", VARIANT_TRUE, document.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmRange> range;
    ASSERT_EQ(document->get_Range(2, 0, range.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmTopic> topic;
    ASSERT_EQ(range->TopicByGuid(guid, topic.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmAttributes> attributes;
    ASSERT_EQ(topic->get_Attributes(u"urn:test", attributes.ReleaseAndGetAddressOf()), S_OK);
    BSTR value;
    EXPECT_EQ(attributes->GetAttributeValue(u"Key", &value), S_OK);
    EXPECT_EQ(value, u"value");
    ComPtr<IMmDocumentProperties> properties;
    ASSERT_EQ(document->get_Properties(properties.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(properties->get_Description(&value), S_OK);
    EXPECT_EQ(value, u"About the plan");
    EXPECT_EQ(document->Save(), E_ACCESSDENIED) << "opened read-only";
    ComPtr<IMmDocument> active;
    EXPECT_EQ(application->get_ActiveDocument(active.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Identity(active.Get()), Identity(document.Get()));
    EXPECT_EQ(document->Close(), S_OK);
    EXPECT_EQ(application->get_ActiveDocument(active.ReleaseAndGetAddressOf()), S_FALSE);
}

TEST_F(RemoteMapOperationsTest, MalformedCallsGetErrorsAndTheHostKeepsServing)
{
    ComPtr<IMmApplication> application = StartHost();
    ASSERT_TRUE(application);
    ComPtr<IMmDocument> document = NewMap(application.Get());
    ComPtr<IMmTopic> central;
    ASSERT_EQ(document->get_CentralTopic(central.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmEventManager> manager;
    ASSERT_EQ(application->get_EventManager(manager.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmEventSubscription> subscription;
    ASSERT_EQ(manager->Register(kEventTopicMask, -1, -1, 0, subscription.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmConnectionPoint> point;
    ASSERT_EQ(subscription->get_ConnectionPoint(point.ReleaseAndGetAddressOf()), S_OK);

    auto remote = [](IUnknown* proxy) {
        ComPtr<remoting::IRemoteObject> r;
        QueryTo(proxy, r.ReleaseAndGetAddressOf());
        return r;
    };
    const QString bus = remote(application.Get())->RemoteBus();
    const int replayed = remoting::testing::ReplayHostileCalls(
        QStringLiteral(QMX_MAP_REMOTE_DATA "/hostile_calls.txt"), bus,
        {{QStringLiteral("$APPLICATION"), remote(application.Get())->RemotePath()},
         {QStringLiteral("$DOCUMENT"), remote(document.Get())->RemotePath()},
         {QStringLiteral("$TOPIC"), remote(central.Get())->RemotePath()},
         {QStringLiteral("$MANAGER"), remote(manager.Get())->RemotePath()},
         {QStringLiteral("$POINT"), remote(point.Get())->RemotePath()}},
        [&] {
            BSTR text;
            ASSERT_EQ(central->get_Text(&text), S_OK);
        });
    EXPECT_GT(replayed, 10);
    BSTR text;
    EXPECT_EQ(central->get_Text(&text), S_OK);
    EXPECT_EQ(text, u"Central Topic");
}

TEST_F(RemoteMapOperationsTest, TheHostEndsWhenItsLastClientLetsGo)
{
    ComPtr<IMmApplication> application = StartHost();
    ASSERT_TRUE(application);
    ComPtr<IMmDocument> document = NewMap(application.Get());
    const qint64 pid = ProcessOf(application.Get());
    ASSERT_GT(pid, 0);
    application = nullptr;
    Pump(300);
    EXPECT_FALSE(ProcessEnded(pid)) << "the document is still held";
    document = nullptr;
    Pump(5000, [&] { return ProcessEnded(pid); });
    EXPECT_TRUE(ProcessEnded(pid));
}

}  // namespace
}  // namespace qmx::map::testing

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
