// A topic of a map: its values, its place in the tree and the automation
// objects that show it (task information, attributes, sub-topic list).
//
// A topic's values stay readable after it left its map (deleted, or its map
// closed); changing it, or its place, then fails.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "automation/com_object.h"
#include "maphost/api/map_codes.h"
#include "maphost/api/map_interfaces.h"

namespace qmx::map {

class MapDocument;
class MapTopic;

// The built-in task values of a topic.
struct TaskValues {
    LONG priority = 0;
    DATE start = 0;
    DATE due = 0;
    double durationHours = 0;
    LONG durationUnit = kDurationDays;
    LONG percentComplete = 0;
    BSTR resources;
    friend bool operator==(const TaskValues&, const TaskValues&) = default;
};

// Attribute values by namespace URI, then by name.
using AttributeTable = std::map<BSTR, std::map<BSTR, BSTR>>;

// Everything a topic holds apart from its identity and place: what a copy
// carries over.
struct TopicValues {
    BSTR text;
    TaskValues task;
    AttributeTable attributes;
    std::optional<DWORD> fill;
    bool collapsed = false;
    bool floating = false;
    bool callout = false;
    friend bool operator==(const TopicValues&, const TopicValues&) = default;
};

// The ranges the task information accepts.
inline constexpr LONG kMaxPriority = 9;
// DATE of 1 January 100 and 31 December 9999.
inline constexpr DATE kMinDate = -657434.0;
inline constexpr DATE kMaxDate = 2958465.0;
// Why a value is refused, or nothing when it is valid.
const char* CheckTaskValues(const TaskValues& task);

class MapTopicTaskInfo final : public EmbeddedObject<IMmTaskInfo> {
public:
    explicit MapTopicTaskInfo(MapTopic* topic);
    HRESULT get_Priority(LONG* pValue) override;
    HRESULT put_Priority(LONG value) override;
    HRESULT get_StartDate(DATE* pValue) override;
    HRESULT put_StartDate(DATE value) override;
    HRESULT get_DueDate(DATE* pValue) override;
    HRESULT put_DueDate(DATE value) override;
    HRESULT get_DurationHours(double* pValue) override;
    HRESULT put_DurationHours(double value) override;
    HRESULT get_DurationUnit(LONG* pValue) override;
    HRESULT put_DurationUnit(LONG value) override;
    HRESULT get_PercentComplete(LONG* pValue) override;
    HRESULT put_PercentComplete(LONG value) override;
    HRESULT get_Resources(BSTR* pValue) override;
    HRESULT put_Resources(const BSTR& value) override;

private:
    template <class T>
    HRESULT Get(T TaskValues::*field, T* pValue) const;
    template <class T>
    HRESULT Put(T TaskValues::*field, const T& value);
    MapTopic* topic_;
};

class MapTopicList final : public EmbeddedObject<IMmTopics> {
public:
    explicit MapTopicList(MapTopic* topic);
    HRESULT get_Count(LONG* pCount) override;
    HRESULT Item(LONG index, IMmTopic** ppTopic) override;
    HRESULT Insert(IMmTopic* pTopic, LONG position) override;

private:
    MapTopic* topic_;
};

class MapTopic final : public ComObject<IMmTopic, IMmTopicTree> {
public:
    MapTopic(MapDocument* document, const GUID& guid);

    HRESULT get_Guid(BSTR* pGuid) override;
    HRESULT get_Text(BSTR* pText) override;
    HRESULT put_Text(const BSTR& text) override;
    HRESULT get_SubTopics(VARIANT_BOOL flag, IMmTopics** ppTopics) override;
    HRESULT AddSubTopic(const BSTR& text, IMmTopic** ppTopic) override;
    HRESULT Delete() override;
    HRESULT get_TaskInfo(IMmTaskInfo** ppTaskInfo) override;
    HRESULT get_Attributes(const BSTR& namespaceUri, IMmAttributes** ppAttributes) override;
    HRESULT get_FillColor(DWORD* pColor) override;
    HRESULT put_FillColor(DWORD color) override;
    HRESULT get_HasFillColor(VARIANT_BOOL* pHas) override;
    HRESULT ClearFillColor() override;
    HRESULT get_Collapsed(VARIANT_BOOL* pCollapsed) override;
    HRESULT put_Collapsed(VARIANT_BOOL collapsed) override;
    HRESULT get_IsCentralTopic(VARIANT_BOOL* pCentral) override;
    HRESULT get_IsFloating(VARIANT_BOOL* pFloating) override;
    HRESULT put_IsFloating(VARIANT_BOOL floating) override;
    HRESULT get_IsCallout(VARIANT_BOOL* pCallout) override;
    HRESULT put_IsCallout(VARIANT_BOOL callout) override;
    HRESULT get_ParentTopic(IMmTopic** ppParent) override;
    HRESULT get_Document(IMmDocument** ppDocument) override;
    // IMmTopicTree
    HRESULT ReadTree(const BSTR& namespaceUri, const BSTR& attributeNames, IMmTreeReader** ppReader) override;
    HRESULT SetAttributes(const BSTR& namespaceUri, const BSTR& entries, LONG* pWritten) override;

    // For the document, the file formats and the host's window.
    const GUID& Guid() const { return guid_; }
    const TopicValues& Values() const { return values_; }
    MapTopic* Parent() const { return parent_; }
    const std::vector<MapTopic*>& Children() const { return children_; }
    MapDocument* Document() const { return document_; }
    bool IsCentral() const { return document_ && !parent_ && !pending_; }
    // In a map (not deleted, not closed, not waiting to be added).
    bool IsAlive() const { return document_ && !pending_; }
    // Fails with a description when the topic is not in a map.
    HRESULT CheckAlive(REFIID iid) const;
    // Runs change on a copy of the values; when it succeeds and changed
    // something, the copy replaces the values between the changed events
    // (before and after). A change that changes nothing raises no event.
    // A change refused by a sink of the before event's (it deleted the
    // topic, say) fails.
    HRESULT Change(REFIID iid, const std::function<HRESULT(TopicValues&)>& change);

private:
    friend class MapDocument;

    MapDocument* document_;  // null once deleted or closed
    GUID guid_;
    TopicValues values_;
    bool pending_ = false;             // made, not yet in the tree
    bool deleting_ = false;            // its deletion's before event runs
    MapTopic* parent_ = nullptr;       // null for the central topic
    std::vector<MapTopic*> children_;  // owned by the document's table
    MapTopicTaskInfo taskInfo_{this};
    MapTopicList list_{this};
};

// The attributes of one topic in one namespace (a small object of its own,
// holding the topic).
class MapTopicAttributes final : public ComObject<IMmAttributes> {
public:
    MapTopicAttributes(MapTopic* topic, BSTR namespaceUri);
    HRESULT GetAttributeValue(const BSTR& name, BSTR* pValue) override;
    HRESULT SetAttributeValue(const BSTR& name, const BSTR& value) override;
    HRESULT DeleteAttribute(const BSTR& name) override;
    HRESULT get_Count(LONG* pCount) override;
    HRESULT get_Name(LONG index, BSTR* pName) override;

private:
    const std::map<BSTR, BSTR>* Table() const;
    ComPtr<MapTopic> topic_;
    BSTR namespace_;
};

}  // namespace qmx::map
