// A map application of the in-process store, a plan behind IDocumentData
// that also answers IAdapterSite, and the map adapter connected to both.
#pragma once

#include <gtest/gtest.h>

#include "adapters/contract/adapter_site.h"
#include "adapters/mindmanager/mm5_adapter.h"
#include "adapters/mindmanager/topic_values.h"
#include "automation/bstr.h"
#include "maphost/api/map_codes.h"
#include "maphost/api/map_factory.h"
#include "tools/project_document.h"

namespace qmx::mm::testing {

// The plan, with the calls the adapter makes on the application's site.
class CSiteDocument final : public ComObject<IDocumentData, IAdapterSite> {
public:
    CSiteDocument() : plan_(MakeObject<CProjectDocument>()) {}
    HRESULT get_TaskTree(ITaskTree** p) override { return plan_->get_TaskTree(p); }
    HRESULT get_Resources(IResources** p) override { return plan_->get_Resources(p); }
    HRESULT get_Properties(IDocumentProperties** p) override { return plan_->get_Properties(p); }
    HRESULT get_IsModified(VARIANT_BOOL* p) override { return plan_->get_IsModified(p); }
    HRESULT DeleteContents() override { return plan_->DeleteContents(); }
    HRESULT AdjustTimeRange() override { return plan_->AdjustTimeRange(); }
    HRESULT ResetTimeRange() override { return plan_->ResetTimeRange(); }
    HRESULT get_CurrentViewSettings(BSTR* p) override { return plan_->get_CurrentViewSettings(p); }
    HRESULT put_CurrentViewSettings(const BSTR& s) override { return plan_->put_CurrentViewSettings(s); }
    HRESULT ExpandTask(ITask* t, VARIANT_BOOL e) override { return plan_->ExpandTask(t, e); }
    HRESULT DocumentClosed() override
    {
        ++closed;
        return S_OK;
    }
    HRESULT DocumentNameChanged() override
    {
        ++renamed;
        return S_OK;
    }

    ITaskTree* Tree() const { return plan_->TaskTree(); }
    LONG TaskCount() const
    {
        ComPtr<IEnumTaskIDs> ids;
        Tree()->EnumTasks(ids.ReleaseAndGetAddressOf());
        LONG n = 0, id = 0;
        while (ids->Next(&id) == S_OK) ++n;
        return n;
    }
    IResources* Pool() const { return plan_->Resources(); }
    CProjectDocument* Plan() const { return plan_.Get(); }
    int closed = 0;
    int renamed = 0;

private:
    ComPtr<CProjectDocument> plan_;
};

class MapFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(map::CreateInProcessApplication(app.ReleaseAndGetAddressOf()), S_OK);
        ASSERT_EQ(app->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf()), S_OK);
        ASSERT_EQ(documents->Add(0, map.ReleaseAndGetAddressOf()), S_OK);
        ASSERT_EQ(map->get_CentralTopic(central.ReleaseAndGetAddressOf()), S_OK);
        data = MakeObject<CSiteDocument>();
        adapter = MakeObject<CMm5Adapter>();
        ComPtr<IMmApplication> launched = app;
        adapter->SetLauncher([launched](IMmApplication** pp) { return launched.CopyTo(pp); });
        adapter->Connect(data.Get());
    }
    void TearDown() override
    {
        if (adapter) adapter->Disconnect();
    }

    // Loads the map through the hosted road.
    void Attach() { ASSERT_EQ(adapter->ConnectHostApp(app.Get(), u"MindManager.Application.5", VARIANT{}), S_OK); }

    ComPtr<IMmTopic> Add(IMmTopic* parent, const char16_t* text)
    {
        ComPtr<IMmTopic> topic;
        EXPECT_EQ(parent->AddSubTopic(text, topic.ReleaseAndGetAddressOf()), S_OK);
        return topic;
    }
    static ComPtr<IMmTaskInfo> Info(IMmTopic* topic)
    {
        ComPtr<IMmTaskInfo> info;
        topic->get_TaskInfo(info.ReleaseAndGetAddressOf());
        return info;
    }
    static BSTR Attr(IMmTopic* topic, const char16_t* name) { return GetAttribute(topic, name); }
    static void SetAttr(IMmTopic* topic, const char16_t* name, const BSTR& value)
    {
        EXPECT_EQ(SetAttribute(topic, name, value), S_OK);
    }
    static BSTR Guid(IMmTopic* topic) { return GuidOf(topic); }

    ComPtr<ITask> TaskOf(IMmTopic* topic) const
    {
        ComPtr<ITask> task;
        const auto id = adapter->Memory().TaskOfGuid(Guid(topic));
        if (id) data->Tree()->GetTask(*id, task.ReleaseAndGetAddressOf());
        return task;
    }
    LONG IdOf(IMmTopic* topic) const { return adapter->Memory().TaskOfGuid(Guid(topic)).value_or(-1); }
    ComPtr<ITask> Task(LONG id) const
    {
        ComPtr<ITask> task;
        data->Tree()->GetTask(id, task.ReleaseAndGetAddressOf());
        return task;
    }
    ComPtr<IMmTopic> TopicOf(LONG taskId) const
    {
        ComPtr<IMmTopic> topic;
        ComPtr<IMmRange> range;
        const BSTR* guid = adapter->Memory().GuidOfTask(taskId);
        if (guid && SUCCEEDED(map->get_Range(2, 0, range.ReleaseAndGetAddressOf())))
            range->TopicByGuid(*guid, topic.ReleaseAndGetAddressOf());
        return topic;
    }
    LONG TaskCount() const { return data->TaskCount(); }
    static BSTR Text(IMmTopic* topic)
    {
        BSTR text;
        topic->get_Text(&text);
        return text;
    }
    static LONG SubTopicCount(IMmTopic* topic)
    {
        LONG n = 0;
        SubTopicsOf(topic)->get_Count(&n);
        return n;
    }
    static ComPtr<IMmTopic> SubTopic(IMmTopic* topic, LONG index)
    {
        ComPtr<IMmTopic> child;
        SubTopicsOf(topic)->Item(index, child.ReleaseAndGetAddressOf());
        return child;
    }

    ComPtr<IMmApplication> app;
    ComPtr<IMmDocuments> documents;
    ComPtr<IMmDocument> map;
    ComPtr<IMmTopic> central;
    ComPtr<CSiteDocument> data;
    ComPtr<CMm5Adapter> adapter;
};

}  // namespace qmx::mm::testing
