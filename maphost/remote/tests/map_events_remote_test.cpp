// Map events across processes: what a subscriber in another process hears
// of changes made in the map's process, and what becomes of subscriptions
// when the subscriber lets go or dies.
#include <csignal>

#include "automation/bstr.h"
#include "automation/com_object.h"
#include "maphost/api/map_factory.h"
#include "maphost/remote/event_forwarder.h"
#include "maphost/remote/event_routes.h"
#include "maphost/remote/tests/map_remote_fixture.h"

namespace qmx::map::testing {
namespace {

struct Event {
    LONG kind, phase, type;
    ComPtr<IMmDocument> document;
    ComPtr<IUnknown> object;
};

class RecordingSink final : public ComObject<IMmEventSink> {
public:
    HRESULT OnEvent(IUnknown* pEvent) override
    {
        ComPtr<IMmEventData> data;
        if (FAILED(QueryTo(pEvent, data.ReleaseAndGetAddressOf()))) return E_NOINTERFACE;
        Event h{};
        data->get_Kind(&h.kind);
        data->get_Phase(&h.phase);
        data->get_ObjectType(&h.type);
        data->get_Document(h.document.ReleaseAndGetAddressOf());
        data->get_Object(h.object.ReleaseAndGetAddressOf());
        heard.push_back(std::move(h));
        return S_OK;
    }
    std::vector<Event> heard;
};

ComPtr<IUnknown> Identity(IUnknown* object)
{
    ComPtr<IUnknown> identity;
    if (object) object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.ReleaseAndGetAddressOf()));
    return identity;
}

BSTR GuidOf(IMmTopic* topic)
{
    BSTR guid;
    topic->get_Guid(&guid);
    return guid;
}

struct Listening {
    ComPtr<IMmEventSubscription> subscription;
    ComPtr<IMmConnectionPoint> point;
    DWORD cookie = 0;
};

Listening Listen(IMmApplication* application, LONG mask, IMmEventSink* sink)
{
    Listening l;
    ComPtr<IMmEventManager> manager;
    EXPECT_EQ(application->get_EventManager(manager.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(manager->Register(mask, -1, -1, 0, l.subscription.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(l.subscription->get_ConnectionPoint(l.point.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(l.point->Advise(sink, &l.cookie), S_OK);
    return l;
}

constexpr LONG kDocumentMask =
    kEventDocumentNameChanged | kEventDocumentClosedWhileHeld | kEventDocumentActivated | kEventDocumentClosed;

class MapEventsRemoteTest : public RemoteMapTest {};

// The test process holds the map; the peer subscribes to it through proxies.
TEST_F(MapEventsRemoteTest, TopicEventsReachASubscriberInAnotherProcess)
{
    ComPtr<IMmApplication> application;
    ASSERT_EQ(CreateInProcessApplication(application.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmDocuments> documents;
    application->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
    ComPtr<IMmDocument> document;
    ASSERT_EQ(documents->Add(0, document.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmTopic> central;
    document->get_CentralTopic(central.ReleaseAndGetAddressOf());

    ComPtr<IMapTestPeer> peer = StartPeer();
    ASSERT_TRUE(peer);
    ASSERT_EQ(peer->Listen(application.Get(), kEventTopicMask | kDocumentMask), S_OK);
    EXPECT_EQ(ForwardedEventSinkCount(), 1u);

    ComPtr<IMmTopic> topic;
    ASSERT_EQ(central->AddSubTopic(u"One", topic.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(topic->put_Text(u"Renamed"), S_OK);
    const BSTR guid = GuidOf(topic.Get());
    ASSERT_EQ(topic->Delete(), S_OK);
    const BSTR expected = u"1 1 1 " + guid + u" Map1\n1 2 1 " + guid + u" Map1\n" +  //
                          u"4 1 1 " + guid + u" Map1\n4 2 1 " + guid + u" Map1\n" +  //
                          u"2 1 1 " + guid + u" Map1\n2 2 1 " + guid + u" Map1\n";
    BSTR heard;
    Pump(5000, [&] {
        heard += Heard(peer.Get());
        return heard.size() >= expected.size();
    });
    EXPECT_EQ(BstrToUtf8(heard), BstrToUtf8(expected));

    // The peer's own changes come back to it as results, not as topic
    // events; document events it causes it hears.
    ComPtr<IMmTopic> added;
    ASSERT_EQ(peer->AddSubTopic(central.Get(), u"By the peer", added.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(peer->Rename(added.Get(), u"Renamed by the peer"), S_OK);
    ComPtr<IMmDocument> second;
    ASSERT_EQ(documents->Add(0, second.ReleaseAndGetAddressOf()), S_OK);
    heard.clear();
    Pump(5000, [&] {
        heard += Heard(peer.Get());
        return !heard.empty();
    });
    Pump(200);
    heard += Heard(peer.Get());
    EXPECT_EQ(BstrToUtf8(heard), "128 2 2 - Map2\n");

    EXPECT_EQ(peer->StopListening(), S_OK);
    Pump(2000, [] { return ForwardedEventSinkCount() == 0; });
    EXPECT_EQ(ForwardedEventSinkCount(), 0u);
    EXPECT_EQ(topic->put_Text(u"Unheard"), E_FAIL) << "the topic left the map";
    ASSERT_EQ(central->put_Text(u"Unheard"), S_OK);
    Pump(300);
    EXPECT_EQ(BstrToUtf8(Heard(peer.Get())), "");
}

TEST_F(MapEventsRemoteTest, AKilledSubscriberLeavesNoSinkAndNoReferenceBehind)
{
    ComPtr<IMmApplication> application;
    ASSERT_EQ(CreateInProcessApplication(application.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmDocuments> documents;
    application->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
    ComPtr<IMmDocument> document;
    ASSERT_EQ(documents->Add(0, document.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmTopic> central;
    document->get_CentralTopic(central.ReleaseAndGetAddressOf());

    ComPtr<IMapTestPeer> peer = StartPeer();
    ASSERT_TRUE(peer);
    ASSERT_EQ(peer->Listen(application.Get(), kEventTopicMask), S_OK);
    ASSERT_EQ(peer->Keep(central.Get()), S_OK);
    ComPtr<IMmTopic> topic;
    ASSERT_EQ(central->AddSubTopic(u"Heard", topic.ReleaseAndGetAddressOf()), S_OK);
    Pump(300);
    EXPECT_EQ(ForwardedEventSinkCount(), 1u);
    EXPECT_GT(remoting::Apartment::Instance().HeldObjects(), 0u);

    LONG pid = 0;
    ASSERT_EQ(peer->get_ProcessId(&pid), S_OK);
    ASSERT_EQ(::kill(pid_t(pid), SIGKILL), 0);
    Pump(5000, [] { return ForwardedEventSinkCount() == 0 && remoting::Apartment::Instance().HeldObjects() == 0; });
    EXPECT_EQ(ForwardedEventSinkCount(), 0u);
    EXPECT_EQ(remoting::Apartment::Instance().HeldObjects(), 0u);
    EXPECT_EQ(central->put_Text(u"After"), S_OK);  // nobody to send to: no failure
    peer = nullptr;
}

// The host program's own document events reach the client whose calls
// caused them, with the document as the proxy the client holds; topic events
// of its own calls do not come back.
TEST_F(MapEventsRemoteTest, DocumentEventsOfTheHostReachItsClientWithTheDocumentItHolds)
{
    ComPtr<IMmApplication> application = StartHost();
    ASSERT_TRUE(application);
    ComPtr<RecordingSink> documentSink = MakeObject<RecordingSink>();
    ComPtr<RecordingSink> topicSink = MakeObject<RecordingSink>();
    ComPtr<RecordingSink> second = MakeObject<RecordingSink>();
    Listening documentEvents = Listen(application.Get(), kDocumentMask, documentSink.Get());
    Listening topicEvents = Listen(application.Get(), kEventTopicMask, topicSink.Get());
    DWORD secondCookie = 0;
    ASSERT_EQ(documentEvents.point->Advise(static_cast<IMmEventSink*>(second.Get()), &secondCookie), S_OK);
    EXPECT_NE(secondCookie, documentEvents.cookie);
    EXPECT_EQ(RemoteEventSinkCount(), 3u);

    ComPtr<IMmDocuments> documents;
    application->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
    ComPtr<IMmDocument> first, other;
    ASSERT_EQ(documents->Add(0, first.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(documents->Add(0, other.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IMmTopic> central;
    first->get_CentralTopic(central.ReleaseAndGetAddressOf());
    ComPtr<IMmTopic> topic;
    ASSERT_EQ(central->AddSubTopic(u"Own", topic.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(first->Activate(), S_OK);
    Pump(5000, [&] { return documentSink->heard.size() >= 3 && second->heard.size() >= 3; });
    ASSERT_EQ(documentSink->heard.size(), 3u);
    struct Expected {
        LONG kind;
        IMmDocument* document;
    };
    const Expected expected[] = {
        {kEventDocumentActivated, first.Get()}, {kEventDocumentActivated, other.Get()},
        {kEventDocumentActivated, first.Get()}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Event& h = documentSink->heard[i];
        EXPECT_EQ(h.kind, expected[i].kind);
        EXPECT_EQ(h.phase, kPhaseAfter);
        EXPECT_EQ(h.type, kObjectDocument);
        EXPECT_EQ(Identity(h.document.Get()), Identity(expected[i].document));  // the proxy already held
        EXPECT_EQ(Identity(h.object.Get()), Identity(expected[i].document));
    }
    EXPECT_EQ(second->heard.size(), 3u) << "each sink hears each event once";

    // One sink unadvised hears nothing more; the other still does.
    ASSERT_EQ(documentEvents.point->Unadvise(secondCookie), S_OK);
    EXPECT_EQ(documentEvents.point->Unadvise(secondCookie), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(other->Close(), S_OK);
    Pump(5000, [&] { return documentSink->heard.size() >= 5; });
    ASSERT_EQ(documentSink->heard.size(), 5u);
    EXPECT_EQ(documentSink->heard[3].kind, kEventDocumentClosedWhileHeld);
    EXPECT_EQ(documentSink->heard[4].kind, kEventDocumentClosed);
    EXPECT_EQ(Identity(documentSink->heard[4].object.Get()), Identity(other.Get()));
    EXPECT_EQ(second->heard.size(), 3u);
    EXPECT_TRUE(topicSink->heard.empty()) << "the results of our own calls are not events to us";

    EXPECT_EQ(documentEvents.point->Unadvise(documentEvents.cookie), S_OK);
    EXPECT_EQ(documentEvents.subscription->Unregister(), S_OK);
    // Unregistered with its sink still advised: the sink goes as well.
    EXPECT_EQ(topicEvents.subscription->Unregister(), S_OK);
    Pump(100);
    EXPECT_EQ(RemoteEventSinkCount(), 0u);
    ComPtr<IMmDocument> third;
    ASSERT_EQ(documents->Add(0, third.ReleaseAndGetAddressOf()), S_OK);  // would be event 128
    Pump(200);
    EXPECT_EQ(documentSink->heard.size(), 5u);
}

}  // namespace
}  // namespace qmx::map::testing
