#include "adapters/mindmanager/map_sync.h"

#include "adapters/mindmanager/topic_values.h"

namespace qmx::mm {

void MapSync::SetDocument(IMmDocument* document)
{
    document_ = document;
    range_ = nullptr;
    memory_.Clear();
    waitingTopics_.clear();
    updatingTaskId_ = -1;
}

HRESULT MapSync::GetModel(Model* model) const
{
    if (!data_) return E_UNEXPECTED;
    RETURN_IF_FAILED(data_->get_TaskTree(model->tree.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(data_->get_Resources(model->resources.ReleaseAndGetAddressOf()));
    if (!model->tree || !model->resources) return E_UNEXPECTED;
    return S_OK;
}

HRESULT MapSync::CentralTopic(ComPtr<IMmTopic>* topic) const
{
    if (!document_) return E_UNEXPECTED;
    RETURN_IF_FAILED(document_->get_CentralTopic(topic->ReleaseAndGetAddressOf()));
    return *topic ? S_OK : E_FAIL;
}

HRESULT MapSync::FindTopic(LONG taskId, ComPtr<IMmTopic>* topic) const
{
    if (!document_) return E_UNEXPECTED;
    const BSTR* guid = memory_.GuidOfTask(taskId);
    if (!guid) return E_INVALIDARG;
    if (!range_) {
        RETURN_IF_FAILED(document_->get_Range(2, 0, range_.ReleaseAndGetAddressOf()));
        if (!range_) return E_FAIL;
    }
    RETURN_IF_FAILED(range_->TopicByGuid(*guid, topic->ReleaseAndGetAddressOf()));
    return *topic ? S_OK : E_FAIL;
}

IMmRange* MapSync::TopicRange() const
{
    if (!range_ && document_ && FAILED(document_->get_Range(2, 0, range_.ReleaseAndGetAddressOf()))) range_ = nullptr;
    return range_.Get();
}

HRESULT MapSync::FindTaskAndTopic(LONG taskId, ComPtr<ITask>* task, ComPtr<IMmTopic>* topic) const
{
    Model model;
    RETURN_IF_FAILED(GetModel(&model));
    RETURN_IF_FAILED(FindTopic(taskId, topic));
    RETURN_IF_FAILED(model.tree->GetTask(taskId, task->ReleaseAndGetAddressOf()));
    return *task ? S_OK : E_FAIL;
}

HRESULT MapSync::FindParentTopic(ITask* task, ComPtr<IMmTopic>* topic) const
{
    ComPtr<ITask> parent;
    RETURN_IF_FAILED(task->get_ParentTask(parent.ReleaseAndGetAddressOf()));
    if (!parent) return CentralTopic(topic);
    LONG parentId = -1;
    RETURN_IF_FAILED(parent->get_ID(&parentId));
    return FindTopic(parentId, topic);
}

std::vector<ComPtr<ITask>> MapSync::AllTasks(ITaskTree* tree)
{
    std::vector<ComPtr<ITask>> all;
    std::vector<ComPtr<ITasks>> lists;
    ComPtr<ITasks> root;
    if (SUCCEEDED(tree->get_RootTasks(root.ReleaseAndGetAddressOf())) && root) lists.push_back(root);
    while (!lists.empty()) {
        ComPtr<ITasks> list = std::move(lists.back());
        lists.pop_back();
        LONG count = 0;
        list->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            ComPtr<ITask> task;
            if (FAILED(list->get_Tasks(i, task.ReleaseAndGetAddressOf())) || !task) continue;
            ComPtr<ITasks> subtasks;
            if (SUCCEEDED(task->get_Subtasks(subtasks.ReleaseAndGetAddressOf())) && subtasks)
                lists.push_back(subtasks);
            all.push_back(std::move(task));
        }
    }
    return all;
}

}  // namespace qmx::mm
