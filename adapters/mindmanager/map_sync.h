// Keeping a map and the project model in step: loading a map into the
// model, writing each model change into the map, and applying the changes
// the user makes in the map to the model.
#pragma once

#include <unordered_map>
#include <vector>

#include "adapters/contract/document_data.h"
#include "adapters/mindmanager/map_memory.h"
#include "adapters/mindmanager/topic_values.h"
#include "automation/com_ptr.h"
#include "maphost/api/map_interfaces.h"

namespace qmx::mm {

class TopicWalk;
struct WalkedTopic;
struct LoadFrame;

class MapSync {
public:
    // The document data is not counted; null until connected.
    void SetDocumentData(IDocumentData* data) { data_ = data; }
    IDocumentData* DocumentData() const { return data_; }

    // The map shown; null when none. Setting one forgets the memory.
    void SetDocument(IMmDocument* document);
    IMmDocument* Document() const { return document_.Get(); }

    MapMemory& Memory() { return memory_; }
    const MapMemory& Memory() const { return memory_; }

    // Empties the model and reads the map into it.
    HRESULT Load();

    // Model changes, written into the map.
    HRESULT FilePropertiesUpdate();
    HRESULT TaskNew(LONG taskId);
    HRESULT TaskDelete(LONG taskId);
    HRESULT TaskMove(LONG taskId);
    HRESULT TaskUpdate(LONG taskId);
    HRESULT TaskLinksChanged(LONG sourceTaskId, LONG dependentTaskId);
    HRESULT TaskResourceNew(LONG taskId, LONG resourceId);
    HRESULT TaskResourceDelete(LONG taskId, LONG resourceId);
    HRESULT TaskResourceUpdate(LONG taskId);
    HRESULT ResourceNew(LONG resourceId);
    HRESULT ResourceDelete(LONG resourceId);
    HRESULT ResourceUpdate(LONG resourceId);
    HRESULT DocumentViewUpdate();

    // Map changes, applied to the model (ignored while writing).
    void TopicAdded(IMmTopic* topic);
    void TopicChanged(IMmTopic* topic);
    void TopicDeleting(IMmTopic* topic);

private:
    struct Model {
        ComPtr<ITaskTree> tree;
        ComPtr<IResources> resources;
    };
    HRESULT GetModel(Model* model) const;
    HRESULT CentralTopic(ComPtr<IMmTopic>* topic) const;
    HRESULT FindTopic(LONG taskId, ComPtr<IMmTopic>* topic) const;
    // The range of every topic of the document; null when the map gives none.
    IMmRange* TopicRange() const;
    HRESULT FindTaskAndTopic(LONG taskId, ComPtr<ITask>* task, ComPtr<IMmTopic>* topic) const;
    HRESULT FindParentTopic(ITask* task, ComPtr<IMmTopic>* topic) const;

    // Loading.
    // The central topic's attributes hold the settings and the pool.
    HRESULT LoadSettings(IMmTopic* central, const TopicParts& settings, const Model& model);
    void LoadPool(const TopicParts& settings, const Model& model);
    HRESULT LoadTopics(IMmTopic* central, const Model& model);
    void CheckIdentity(TopicWalk& walk, const WalkedTopic& topic);
    // Gives the task of a topic whose sub-topics are all read its values,
    // assignments and links, and answers its dates.
    void FinishTopic(LoadFrame& frame, const Model& model, DATE* start, DATE* end);
    void LoadAssignments(const BSTR& names, const BSTR& loads, ITask* task, const Model& model);
    // The pool's resource of a name; one is made (with no use yet) when the
    // memory knows none of that name.
    ComPtr<IResource> ResourceNamed(const BSTR& name, const Model& model, LONG* id, bool* made);
    void ApplyLoads(const TopicParts& parts, ITaskResources* assignments);
    void ApplyLoads(const BSTR& loads, ITaskResources* assignments);
    void CollectPredecessors(const BSTR& links, LONG taskId);
    void ResolvePendingLinks(const Model& model);

    // Writing.
    HRESULT WriteResources();
    HRESULT WriteResourcesIfNotYet();
    HRESULT WriteAssignments(LONG taskId, LONG leftOut);
    HRESULT WriteLinks(LONG taskId, bool successors);
    // The tasks linked to deleted ones: sources, whose topics' Successors
    // named a deleted task, and dependents, whose Predecessors did.
    struct LinkPartners {
        std::vector<LONG> sources;
        std::vector<LONG> dependents;
        void Collect(ITask* task);
    };
    // Rewrites each partner's list once, leaving out the deleted tasks.
    void RewritePartnerLinks(LinkPartners& partners, const std::vector<LONG>& deleted);
    void IncreaseUseCount(LONG resourceId);
    void DecreaseUseCount(LONG resourceId);
    // Every task of the tree, parents before children, without recursion.
    static std::vector<ComPtr<ITask>> AllTasks(ITaskTree* tree);

    // Map events.
    void AddTaskForTopic(IMmTopic* topic, LONG parentTaskId);
    void CopyTopicIntoTask(IMmTopic* topic, ITask* task);
    void AlignAssignments(IMmTopic* topic, ITask* task, const Model& model);
    void RelinkPastedCopy(IMmTopic* topic, LONG taskId);
    LONG TaskIndexOfTopic(IMmTopic* topic) const;
    void FollowMove(IMmTopic* topic, LONG taskId, const Model& model);

    IDocumentData* data_ = nullptr;
    ComPtr<IMmDocument> document_;
    // The range of every topic of the document: the same object for the
    // document's life, asked for once.
    mutable ComPtr<IMmRange> range_;
    MapMemory memory_;
    // The task the adapter is updating from the map: its TaskUpdate is ours.
    LONG updatingTaskId_ = -1;
    // Topics added below a topic that has no task yet, by the parent's GUID
    // (upper case).
    std::unordered_map<BSTR, std::vector<ComPtr<IMmTopic>>> waitingTopics_;
};

}  // namespace qmx::mm
