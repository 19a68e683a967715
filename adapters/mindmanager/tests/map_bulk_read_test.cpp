// Loading through the tree reader and through single calls gives the same
// plan, the same memory and the same map afterwards, for maps of every kind
// the load knows (special topics, copies, dates from parents and children,
// both colour settings, hostile attribute texts, several chunks); the tree
// reader costs a few calls per map; a malformed answer fails the load with
// a message.
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "adapters/mindmanager/tests/counting_map.h"
#include "adapters/mindmanager/tests/map_fixture.h"
#include "adapters/mindmanager/topic_walk.h"
#include "automation/error_info.h"
#include "automation/file_name.h"
#include "automation/remoting/remote_results.h"

namespace qmx::mm::testing {
namespace {

constexpr DATE kDay = 45292;

BSTR HostileText(const char* file)
{
    std::ifstream in(std::string(QMX_MM_TEST_DATA "/hostile/") + file, std::ios::binary);
    EXPECT_TRUE(in) << file;
    std::stringstream bytes;
    bytes << in.rdbuf();
    return Utf8ToBstr(bytes.str());
}

// The plan as text: settings, pool, and per task in tree order its values,
// expansion, assignments and links (tasks by ID).
std::string Dump(CSiteDocument* data, const std::set<LONG>& expanded, const MapMemory& memory)
{
    std::ostringstream out;
    VARIANT_BOOL autocorrect = VARIANT_FALSE, match = VARIANT_FALSE;
    data->Tree()->get_AutocorrectTaskDates(&autocorrect);
    data->Tree()->get_MatchColors(&match);
    ComPtr<IDocumentProperties> properties;
    data->get_Properties(properties.ReleaseAndGetAddressOf());
    BSTR name, view;
    properties->get_Name(&name);
    data->get_CurrentViewSettings(&view);
    out << "settings " << autocorrect << ' ' << match << ' ' << BstrToUtf8(name) << ' ' << BstrToUtf8(view) << '\n';
    LONG resources = 0;
    data->Pool()->get_Count(&resources);
    for (LONG i = 0; i < resources; ++i) {
        ComPtr<IResource> resource;
        data->Pool()->get_Resources(i, resource.ReleaseAndGetAddressOf());
        LONG id = 0;
        BSTR text;
        resource->get_ID(&id);
        resource->get_Name(&text);
        const auto used = memory.resourceUseCount.find(id);
        out << "resource " << id << ' ' << BstrToUtf8(text) << " uses "
            << (used == memory.resourceUseCount.end() ? -1 : used->second) << '\n';
    }
    std::vector<std::pair<ComPtr<ITasks>, int>> lists;
    ComPtr<ITasks> roots;
    data->Tree()->get_RootTasks(roots.ReleaseAndGetAddressOf());
    std::vector<std::pair<ComPtr<ITask>, int>> stack;
    LONG count = 0;
    roots->get_Count(&count);
    for (LONG i = count - 1; i >= 0; --i) {
        ComPtr<ITask> task;
        roots->get_Tasks(i, task.ReleaseAndGetAddressOf());
        stack.emplace_back(task, 0);
    }
    while (!stack.empty()) {
        auto [task, depth] = stack.back();
        stack.pop_back();
        LONG id = 0, percent = 0;
        BSTR text;
        QMXPriority priority = prNone;
        DATE start = 0, end = 0;
        float duration = 0;
        QMXDurationUnit unit = duDay;
        VARIANT_BOOL milestone = VARIANT_FALSE;
        COLORREF color = 0;
        ComPtr<ITaskAppearance> appearance;
        task->get_ID(&id);
        task->get_Name(&text);
        task->get_Priority(&priority);
        task->get_StartDate(&start);
        task->get_EndDate(&end);
        task->get_Duration(&duration);
        task->get_DurationUnit(&unit);
        task->get_PercentComplete(&percent);
        task->get_IsMilestone(&milestone);
        task->get_Appearance(appearance.ReleaseAndGetAddressOf());
        appearance->get_Color(&color);
        const BSTR* guid = memory.GuidOfTask(id);
        out << std::string(std::size_t(depth), ' ') << id << " [" << BstrToUtf8(text) << "] " << priority << ' '
            << start << ' ' << end << ' ' << duration << ' ' << unit << ' ' << percent << ' ' << milestone << ' '
            << color << (expanded.count(id) ? " open" : " shut") << (guid ? " mapped" : " unmapped");
        ComPtr<ITaskResources> assignments;
        task->get_Resources(assignments.ReleaseAndGetAddressOf());
        LONG n = 0;
        assignments->get_Count(&n);
        for (LONG i = 0; i < n; ++i) {
            ComPtr<ITaskResource> assignment;
            ComPtr<IResource> resource;
            LONG units = 0, rid = 0;
            assignments->get_TaskResources(i, assignment.ReleaseAndGetAddressOf());
            assignment->get_Resource(resource.ReleaseAndGetAddressOf());
            assignment->get_Units(&units);
            resource->get_ID(&rid);
            out << " r" << rid << '=' << units;
        }
        ComPtr<ITaskDependencies> predecessors;
        task->get_Predecessors(predecessors.ReleaseAndGetAddressOf());
        predecessors->get_Count(&n);
        for (LONG i = 0; i < n; ++i) {
            ComPtr<ITaskDependency> link;
            ComPtr<ITask> pair;
            QMXDependencyType type = dtFinishToStart;
            LONG pairId = 0;
            predecessors->get_Dependencies(i, link.ReleaseAndGetAddressOf());
            link->get_PairTask(pair.ReleaseAndGetAddressOf());
            link->get_Type(&type);
            pair->get_ID(&pairId);
            out << " after" << pairId << '/' << type;
        }
        out << '\n';
        ComPtr<ITasks> subtasks;
        task->get_Subtasks(subtasks.ReleaseAndGetAddressOf());
        subtasks->get_Count(&count);
        for (LONG i = count - 1; i >= 0; --i) {
            ComPtr<ITask> child;
            subtasks->get_Tasks(i, child.ReleaseAndGetAddressOf());
            stack.emplace_back(child, depth + 1);
        }
    }
    return out.str();
}

// The plan behind the adapter, recording which tasks were expanded.
class CRecordingDocument final : public ComObject<IDocumentData, IAdapterSite> {
public:
    HRESULT get_TaskTree(ITaskTree** p) override { return site_->get_TaskTree(p); }
    HRESULT get_Resources(IResources** p) override { return site_->get_Resources(p); }
    HRESULT get_Properties(IDocumentProperties** p) override { return site_->get_Properties(p); }
    HRESULT get_IsModified(VARIANT_BOOL* p) override { return site_->get_IsModified(p); }
    HRESULT DeleteContents() override
    {
        expanded.clear();
        return site_->DeleteContents();
    }
    HRESULT AdjustTimeRange() override { return site_->AdjustTimeRange(); }
    HRESULT ResetTimeRange() override { return site_->ResetTimeRange(); }
    HRESULT get_CurrentViewSettings(BSTR* p) override { return site_->get_CurrentViewSettings(p); }
    HRESULT put_CurrentViewSettings(const BSTR& s) override { return site_->put_CurrentViewSettings(s); }
    HRESULT ExpandTask(ITask* t, VARIANT_BOOL e) override
    {
        LONG id = 0;
        t->get_ID(&id);
        if (e != VARIANT_FALSE) expanded.insert(id);
        return S_OK;
    }
    HRESULT DocumentClosed() override { return S_OK; }
    HRESULT DocumentNameChanged() override { return S_OK; }

    CSiteDocument* Site() const { return site_.Get(); }
    std::set<LONG> expanded;

private:
    ComPtr<CSiteDocument> site_ = MakeObject<CSiteDocument>();
};

enum class Road { Direct, CountedTreeReader, CountedSingleCalls };

// One map of the in-process store, loaded by an adapter of its own along one
// road.
struct LoadedMap {
    ComPtr<IMmApplication> app;
    ComPtr<IMmDocument> map;
    ComPtr<IMmTopic> central;
    ComPtr<CRecordingDocument> data = MakeObject<CRecordingDocument>();
    ComPtr<CMm5Adapter> adapter = MakeObject<CMm5Adapter>();
    std::shared_ptr<CallCounter> counter = std::make_shared<CallCounter>();

    LoadedMap()
    {
        map::CreateInProcessApplication(app.ReleaseAndGetAddressOf());
        ComPtr<IMmDocuments> documents;
        app->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
        documents->Add(0, map.ReleaseAndGetAddressOf());
        map->get_CentralTopic(central.ReleaseAndGetAddressOf());
        adapter->Connect(data.Get());
    }
    ~LoadedMap() { adapter->Disconnect(); }

    HRESULT Load(Road road)
    {
        ComPtr<IMmApplication> host = app;
        if (road != Road::Direct) host = CountingApplication(app.Get(), counter);
        if (road == Road::CountedSingleCalls) counter->HideTreeReader();
        return adapter->ConnectHostApp(host.Get(), u"MindManager.Application.5", VARIANT{});
    }
    std::string Plan() const { return Dump(data->Site(), data->expanded, adapter->Memory()); }
    // Every topic's GuidCopy, which the load makes its own GUID.
    std::string Identities() const
    {
        std::string text;
        std::vector<ComPtr<IMmTopic>> stack{central};
        while (!stack.empty()) {
            ComPtr<IMmTopic> topic = stack.back();
            stack.pop_back();
            text += BstrToUtf8(GetAttribute(topic.Get(), kGuidCopy) == GuidOf(topic.Get()) ? u"=" : u"!");
            ComPtr<IMmTopics> topics = SubTopicsOf(topic.Get());
            LONG n = 0;
            topics->get_Count(&n);
            for (LONG i = n; i >= 1; --i) {
                ComPtr<IMmTopic> child;
                topics->Item(i, child.ReleaseAndGetAddressOf());
                stack.push_back(child);
            }
        }
        return text;
    }
};

ComPtr<IMmTopic> AddTopic(IMmTopic* parent, const BSTR& text)
{
    ComPtr<IMmTopic> topic;
    EXPECT_EQ(parent->AddSubTopic(text, topic.ReleaseAndGetAddressOf()), S_OK);
    return topic;
}
ComPtr<IMmTaskInfo> InfoOf(IMmTopic* topic)
{
    ComPtr<IMmTaskInfo> info;
    topic->get_TaskInfo(info.ReleaseAndGetAddressOf());
    return info;
}

// A map holding a case of everything the load treats on its own.
void BuildEveryCase(IMmTopic* central, bool matchColors, int many)
{
    SetAttribute(central, kMatchColors, matchColors ? u"true" : u"false");
    SetAttribute(central, kAutocorrectDates, u"0");
    SetAttribute(central, kViewSettings, u"");
    SetAttribute(central, kResources, HostileText("duplicated_pool.txt"));
    auto group = AddTopic(central, u"Group: 12:ab");
    group->put_Collapsed(VARIANT_TRUE);
    auto first = AddTopic(group.Get(), BSTR(u"with\0nul", 8) + BSTR(1, char16_t(0xD800)));
    auto info = InfoOf(first.Get());
    info->put_StartDate(kDay);
    info->put_DurationHours(12);
    info->put_DurationUnit(1);
    info->put_Priority(5);
    info->put_PercentComplete(40);
    info->put_Resources(HostileText("names_with_blanks.txt"));
    first->put_FillColor(0xFF102030);
    SetAttribute(first.Get(), kColor, u"#405060");
    SetAttribute(first.Get(), kIsMilestone, u"1");
    SetAttribute(first.Get(), kTaskResources, HostileText("negative_loads.txt"));
    auto dueOnly = AddTopic(group.Get(), u"due only");
    InfoOf(dueOnly.Get())->put_DueDate(kDay + 9);
    SetAttribute(dueOnly.Get(), kIsMilestone, u"yes");
    SetAttribute(dueOnly.Get(), kPredecessors, GuidOf(first.Get()) + u",3;" + HostileText("malformed_links.txt"));
    // Floating topics and callouts are left out with what is below them.
    auto floating = AddTopic(central, u"floating");
    floating->put_IsFloating(VARIANT_TRUE);
    AddTopic(AddTopic(floating.Get(), u"below floating").Get(), u"further below");
    auto callout = AddTopic(group.Get(), u"callout");
    callout->put_IsCallout(VARIANT_TRUE);
    // A summary without dates takes its children's span.
    auto summary = AddTopic(central, u"summary");
    auto child = AddTopic(summary.Get(), u"child");
    InfoOf(child.Get())->put_StartDate(kDay + 3);
    InfoOf(child.Get())->put_DueDate(kDay + 5);
    AddTopic(child.Get(), u"inherits");
    // A copy: GuidCopy names the first topic; one with its own GUID in
    // lower case; links to the original and through hostile texts.
    auto copy = AddTopic(summary.Get(), u"copy");
    SetAttribute(copy.Get(), kGuidCopy, GuidOf(first.Get()));
    auto own = AddTopic(summary.Get(), u"own");
    BSTR lower = GuidOf(own.Get());
    for (char16_t& c : lower) c = char16_t(std::tolower(int(c)));
    SetAttribute(own.Get(), kGuidCopy, lower);
    SetAttribute(own.Get(), kPredecessors, GuidOf(first.Get()) + u";" + HostileText("out_of_range_types.txt"));
    SetAttribute(own.Get(), kTaskResources, HostileText("duplicated_links.txt"));
    // A deep chain and many siblings, over several chunks.
    ComPtr<IMmTopic> deep = summary;
    for (int i = 0; i < 40; ++i) deep = AddTopic(deep.Get(), u"deep");
    SetAttribute(deep.Get(), kPredecessors, HostileText("nul_in_links.txt") + u";" + GuidOf(dueOnly.Get()) + u",0");
    auto crowd = AddTopic(central, u"crowd");
    BSTR previous;
    for (int i = 0; i < many; ++i) {
        auto topic = AddTopic(crowd.Get(), Utf8ToBstr(std::to_string(i) + ":"));
        InfoOf(topic.Get())->put_StartDate(kDay + i % 30);
        InfoOf(topic.Get())->put_Resources(i % 3 ? u"Ann;Bob" : u"Zero");
        if (!previous.empty()) SetAttribute(topic.Get(), kPredecessors, previous + u",1");
        if (i % 7 == 0) topic->put_IsFloating(VARIANT_TRUE);
        previous = GuidOf(topic.Get());
    }
}

TEST(MapBulkRead, EveryRoadGivesTheSamePlanMemoryAndMap)
{
    for (const bool matchColors : {true, false}) {
        std::string plans[3], identities[3];
        const Road roads[] = {Road::Direct, Road::CountedTreeReader, Road::CountedSingleCalls};
        for (int r = 0; r < 3; ++r) {
            LoadedMap loaded;
            BuildEveryCase(loaded.central.Get(), matchColors, 1300);
            ASSERT_EQ(loaded.Load(roads[r]), S_OK);
            plans[r] = loaded.Plan();
            identities[r] = loaded.Identities();
            // A second load reads a map that is up to date.
            ASSERT_EQ(loaded.adapter->Refresh(), S_OK);
            EXPECT_EQ(loaded.Plan(), plans[r]);
        }
        EXPECT_EQ(plans[1], plans[0]) << "matchColors " << matchColors;
        EXPECT_EQ(plans[2], plans[0]) << "matchColors " << matchColors;
        EXPECT_EQ(identities[1], identities[0]);
        EXPECT_EQ(identities[2], identities[0]);
        // The floating topics and callouts keep their GuidCopy unwritten.
        EXPECT_NE(identities[0].find('!'), std::string::npos);
        EXPECT_NE(plans[0].find("after"), std::string::npos);
    }
}

TEST(MapBulkRead, AMapThatRefusesWritesTogetherTakesThemOneByOne)
{
    std::string identities[2];
    for (int r = 0; r < 2; ++r) {
        LoadedMap loaded;
        BuildEveryCase(loaded.central.Get(), true, 600);
        loaded.counter->refuseBulkWrites = r == 1;
        ASSERT_EQ(loaded.Load(Road::CountedTreeReader), S_OK);
        identities[r] = loaded.Identities();
        if (r == 1) {
            EXPECT_GT(loaded.counter->Of("IMmAttributes.SetAttributeValue"), 500);
        }
    }
    EXPECT_EQ(identities[1], identities[0]);
}

TEST(MapBulkRead, TheExampleMapLoadsTheSameOnBothRoads)
{
    std::string plans[2];
    for (int r = 0; r < 2; ++r) {
        LoadedMap loaded;
        ComPtr<IMmDocuments> documents;
        loaded.app->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
        ComPtr<IMmDocument> example;
        ASSERT_EQ(documents->Open(FileNameToBstr(QMX_EXAMPLE_MAP), u"", VARIANT_FALSE, example.ReleaseAndGetAddressOf()),
                  S_OK);
        ASSERT_EQ(loaded.Load(r ? Road::CountedSingleCalls : Road::CountedTreeReader), S_OK);
        plans[r] = loaded.Plan();
    }
    EXPECT_EQ(plans[0], plans[1]);
    EXPECT_GT(plans[0].size(), 200u);
}

TEST(MapBulkRead, TheTreeReaderCostsAFewCallsPerMap)
{
    for (const Road road : {Road::CountedTreeReader, Road::CountedSingleCalls}) {
        LoadedMap loaded;
        auto group = AddTopic(loaded.central.Get(), u"group");
        for (int i = 0; i < 1000; ++i) AddTopic(group.Get(), u"task");
        ASSERT_EQ(loaded.Load(road), S_OK);
        // The first load writes GuidCopy on every topic: through the tree
        // reader with its chunk, together.
        if (road == Road::CountedTreeReader) {
            EXPECT_EQ(loaded.counter->Of("IMmTopicTree.SetAttributes"), 2) << loaded.counter->Report();
            EXPECT_LE(loaded.counter->Total(), 40) << loaded.counter->Report();
        } else {
            EXPECT_EQ(loaded.counter->Of("IMmAttributes.SetAttributeValue"), 1001);
        }
        loaded.counter->Reset();
        ASSERT_EQ(loaded.adapter->Refresh(), S_OK);
        const double perTopic = double(loaded.counter->Total()) / 1001;
        if (road == Road::CountedTreeReader) {
            // Two chunks of 512 topics and the end, besides the settings.
            EXPECT_EQ(loaded.counter->Of("IMmTreeReader.Next"), 3) << loaded.counter->Report();
            EXPECT_LE(loaded.counter->Total(), 20) << loaded.counter->Report();
            EXPECT_EQ(loaded.counter->Of("IMmTopicTree.SetAttributes"), 0);
        } else {
            EXPECT_EQ(loaded.counter->Of("IMmTreeReader.Next"), 0);
            EXPECT_GE(perTopic, 20) << loaded.counter->Report();
        }
    }
}

// A peer whose answers are changed on their way: each must fail the load
// with a message, and leave no half of a walk behind to be used later.
TEST(MapBulkRead, MalformedAnswersFailTheLoadWithAMessage)
{
    struct Row {
        const char* what;
        std::function<void(HRESULT*, BSTR*)> change;
        HRESULT expected;
    };
    const auto replace = [](BSTR text, HRESULT hr = S_OK) {
        return [text, hr](HRESULT* result, BSTR* chunk) {
            *result = hr;
            *chunk = text;
        };
    };
    map::TopicRecord good;
    good.attributes.resize(kLoadedAttributeCount);
    BSTR one;
    map::AppendTopicRecord(good, &one);
    map::TopicRecord deeper = good;
    deeper.depth = 3;
    BSTR jump = one;
    map::AppendTopicRecord(deeper, &jump);
    BSTR tooMany;
    for (LONG i = 0; i <= kTopicsPerChunk; ++i) map::AppendTopicRecord(good, &tooMany);
    const Row rows[] = {
        {"cut short", [](HRESULT*, BSTR* chunk) { chunk->resize(chunk->size() / 2); }, RPC_E_INVALID_DATA},
        {"length beyond the end", replace(u"99:x"), RPC_E_INVALID_DATA},
        {"nine length digits", replace(u"000000001:1"), RPC_E_INVALID_DATA},
        {"no colon", replace(u"1x1"), RPC_E_INVALID_DATA},
        {"a depth jump", replace(jump), RPC_E_INVALID_DATA},
        {"depth 0", replace([] { BSTR t = u"1:0"; return t; }()), RPC_E_INVALID_DATA},
        {"more than asked", replace(tooMany), RPC_E_INVALID_DATA},
        {"an empty chunk that is not the end", replace(u""), RPC_E_INVALID_DATA},
        {"the end with topics", replace(one, S_FALSE), RPC_E_INVALID_DATA},
        {"a number that is not one",
         [](HRESULT*, BSTR* chunk) {
             const auto at = chunk->find(u"1:2");  // the first duration unit
             if (at != BSTR::npos) chunk->replace(at, 3, u"1:x");
         },
         RPC_E_INVALID_DATA},
        {"a peer gone", replace(u"", RPC_E_DISCONNECTED), RPC_E_DISCONNECTED},
    };
    for (const Row& row : rows) {
        LoadedMap loaded;
        for (int i = 0; i < 3; ++i) InfoOf(AddTopic(loaded.central.Get(), u"t").Get())->put_DurationUnit(2);
        loaded.counter->chunkFilter = row.change;
        ClearErrorInfo();
        EXPECT_EQ(loaded.Load(Road::CountedTreeReader), row.expected) << row.what;
        const auto error = GetErrorInfo();
        if (row.expected == RPC_E_INVALID_DATA) {
            ASSERT_TRUE(error) << row.what;
            EXPECT_NE(BstrToUtf8(error->description).find("could not be read"), std::string::npos) << row.what;
        }
        // The same map loads once the answers are sound again.
        loaded.counter->chunkFilter = nullptr;
        EXPECT_EQ(loaded.adapter->Refresh(), S_OK) << row.what;
        EXPECT_EQ(loaded.data->Site()->TaskCount(), 3) << row.what;
    }
}

}  // namespace
}  // namespace qmx::mm::testing
