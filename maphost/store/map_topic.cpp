#include "maphost/store/map_topic.h"

#include <cmath>

#include "maphost/store/map_document.h"
#include "maphost/store/map_support.h"
#include "maphost/store/map_tree_reader.h"

namespace qmx::map {

namespace {

bool ValidDate(DATE date) { return std::isfinite(date) && date >= kMinDate && date <= kMaxDate; }

}  // namespace

const char* CheckTaskValues(const TaskValues& task)
{
    if (task.priority < 0 || task.priority > kMaxPriority) return "The priority must lie between 0 and 9.";
    if (!ValidDate(task.start) || !ValidDate(task.due)) return "The date lies outside the calendar.";
    if (!std::isfinite(task.durationHours) || task.durationHours < 0 || task.durationHours > 1e9)
        return "The duration must be a number of hours from 0.";
    if (task.durationUnit < kDurationHours || task.durationUnit > kDurationWeeks)
        return "The duration unit must be 1 (hours), 2 (days) or 3 (weeks).";
    if (task.percentComplete < 0 || task.percentComplete > 100)
        return "The percent complete must lie between 0 and 100.";
    return nullptr;
}

// ---- Task information ----

MapTopicTaskInfo::MapTopicTaskInfo(MapTopic* topic) : EmbeddedObject(static_cast<IMmTopic*>(topic)), topic_(topic) {}

template <class T>
HRESULT MapTopicTaskInfo::Get(T TaskValues::*field, T* pValue) const
{
    if (!pValue) return E_POINTER;
    *pValue = topic_->Values().task.*field;
    return S_OK;
}

template <class T>
HRESULT MapTopicTaskInfo::Put(T TaskValues::*field, const T& value)
{
    return topic_->Change(IMmTaskInfo::iid, [&](TopicValues& values) {
        values.task.*field = value;
        if (const char* why = CheckTaskValues(values.task)) return Fail(E_INVALIDARG, IMmTaskInfo::iid, why);
        return S_OK;
    });
}

HRESULT MapTopicTaskInfo::get_Priority(LONG* pValue) { return Get(&TaskValues::priority, pValue); }
HRESULT MapTopicTaskInfo::put_Priority(LONG value) { return Put(&TaskValues::priority, value); }
HRESULT MapTopicTaskInfo::get_StartDate(DATE* pValue) { return Get(&TaskValues::start, pValue); }
HRESULT MapTopicTaskInfo::put_StartDate(DATE value) { return Put(&TaskValues::start, value); }
HRESULT MapTopicTaskInfo::get_DueDate(DATE* pValue) { return Get(&TaskValues::due, pValue); }
HRESULT MapTopicTaskInfo::put_DueDate(DATE value) { return Put(&TaskValues::due, value); }
HRESULT MapTopicTaskInfo::get_DurationHours(double* pValue) { return Get(&TaskValues::durationHours, pValue); }
HRESULT MapTopicTaskInfo::put_DurationHours(double value) { return Put(&TaskValues::durationHours, value); }
HRESULT MapTopicTaskInfo::get_DurationUnit(LONG* pValue) { return Get(&TaskValues::durationUnit, pValue); }
HRESULT MapTopicTaskInfo::put_DurationUnit(LONG value) { return Put(&TaskValues::durationUnit, value); }
HRESULT MapTopicTaskInfo::get_PercentComplete(LONG* pValue) { return Get(&TaskValues::percentComplete, pValue); }
HRESULT MapTopicTaskInfo::put_PercentComplete(LONG value) { return Put(&TaskValues::percentComplete, value); }
HRESULT MapTopicTaskInfo::get_Resources(BSTR* pValue) { return Get(&TaskValues::resources, pValue); }
HRESULT MapTopicTaskInfo::put_Resources(const BSTR& value) { return Put(&TaskValues::resources, value); }

// ---- Sub-topic list ----

MapTopicList::MapTopicList(MapTopic* topic) : EmbeddedObject(static_cast<IMmTopic*>(topic)), topic_(topic) {}

HRESULT MapTopicList::get_Count(LONG* pCount)
{
    if (!pCount) return E_POINTER;
    *pCount = static_cast<LONG>(topic_->Children().size());
    return S_OK;
}

HRESULT MapTopicList::Item(LONG index, IMmTopic** ppTopic)
{
    if (!ppTopic) return E_POINTER;
    *ppTopic = nullptr;
    const auto& children = topic_->Children();
    if (index < 1 || static_cast<std::size_t>(index) > children.size())
        return Fail(E_INVALIDARG, IMmTopics::iid, "The topic index is out of range.");
    *ppTopic = children[index - 1];
    (*ppTopic)->AddRef();
    return S_OK;
}

HRESULT MapTopicList::Insert(IMmTopic* pTopic, LONG position)
{
    if (!pTopic) return E_POINTER;
    HRESULT hr = topic_->CheckAlive(IMmTopics::iid);
    if (FAILED(hr)) return hr;
    auto* moved = dynamic_cast<MapTopic*>(pTopic);
    if (!moved || moved->Document() != topic_->Document())
        return Fail(E_INVALIDARG, IMmTopics::iid, "The topic belongs to another map.");
    return topic_->Document()->MoveTopic(moved, topic_, position);
}

// ---- Topic ----

MapTopic::MapTopic(MapDocument* document, const GUID& guid) : document_(document), guid_(guid) {}

HRESULT MapTopic::CheckAlive(REFIID iid) const
{
    if (IsAlive()) return S_OK;
    return Fail(E_FAIL, iid, pending_ ? "The topic is not in the map yet." : "The topic is no longer in a map.");
}

HRESULT MapTopic::Change(REFIID iid, const std::function<HRESULT(TopicValues&)>& change)
{
    HRESULT hr = CheckAlive(iid);
    if (FAILED(hr)) return hr;
    TopicValues changed = values_;
    hr = change(changed);
    if (FAILED(hr)) return hr;
    if (changed == values_) return S_OK;
    ComPtr<MapTopic> self(this);  // a sink may drop the last other reference
    document_->FireTopicEvent(kEventTopicChanged, kPhaseBefore, this);
    if (!IsAlive()) return CheckAlive(iid);
    values_ = std::move(changed);
    document_->MarkModified();
    document_->FireTopicEvent(kEventTopicChanged, kPhaseAfter, this);
    return S_OK;
}

HRESULT MapTopic::get_Guid(BSTR* pGuid)
{
    if (!pGuid) return E_POINTER;
    *pGuid = GuidText(guid_);
    return S_OK;
}

HRESULT MapTopic::get_Text(BSTR* pText)
{
    if (!pText) return E_POINTER;
    *pText = values_.text;
    return S_OK;
}

HRESULT MapTopic::put_Text(const BSTR& text)
{
    return Change(IMmTopic::iid, [&](TopicValues& values) {
        values.text = text;
        return S_OK;
    });
}

HRESULT MapTopic::get_SubTopics(VARIANT_BOOL, IMmTopics** ppTopics)
{
    if (!ppTopics) return E_POINTER;
    *ppTopics = &list_;
    list_.AddRef();
    return S_OK;
}

HRESULT MapTopic::AddSubTopic(const BSTR& text, IMmTopic** ppTopic)
{
    if (!ppTopic) return E_POINTER;
    *ppTopic = nullptr;
    HRESULT hr = CheckAlive(IMmTopic::iid);
    if (FAILED(hr)) return hr;
    TopicValues values;
    values.text = text;
    ComPtr<MapTopic> added;
    hr = document_->AddTopic(this, std::move(values), children_.size(), &added);
    if (FAILED(hr)) return hr;
    *ppTopic = added.Detach();
    return S_OK;
}

HRESULT MapTopic::Delete()
{
    HRESULT hr = CheckAlive(IMmTopic::iid);
    if (FAILED(hr)) return hr;
    if (IsCentral()) return Fail(E_FAIL, IMmTopic::iid, "The central topic cannot be deleted.");
    return document_->DeleteTopic(this);
}

HRESULT MapTopic::get_TaskInfo(IMmTaskInfo** ppTaskInfo)
{
    if (!ppTaskInfo) return E_POINTER;
    *ppTaskInfo = &taskInfo_;
    taskInfo_.AddRef();
    return S_OK;
}

HRESULT MapTopic::get_Attributes(const BSTR& namespaceUri, IMmAttributes** ppAttributes)
{
    if (!ppAttributes) return E_POINTER;
    *ppAttributes = nullptr;
    if (namespaceUri.empty()) return Fail(E_INVALIDARG, IMmTopic::iid, "The attribute namespace is empty.");
    ComPtr<MapTopicAttributes> attributes = MakeObject<MapTopicAttributes>(this, namespaceUri);
    if (!attributes) return E_OUTOFMEMORY;
    *ppAttributes = attributes.Detach();
    return S_OK;
}

HRESULT MapTopic::ReadTree(const BSTR& namespaceUri, const BSTR& attributeNames, IMmTreeReader** ppReader)
{
    if (!ppReader) return E_POINTER;
    *ppReader = nullptr;
    if (namespaceUri.empty()) return Fail(E_INVALIDARG, IMmTopicTree::iid, "The attribute namespace is empty.");
    std::vector<BSTR> names;
    if (!DecodeFieldList(attributeNames, kMaxRecordAttributes, &names))
        return Fail(E_INVALIDARG, IMmTopicTree::iid, "The list of attribute names cannot be read.");
    *ppReader = MakeObject<MapTreeReader>(this, namespaceUri, std::move(names)).Detach();
    return S_OK;
}

HRESULT MapTopic::SetAttributes(const BSTR& namespaceUri, const BSTR& entries, LONG* pWritten)
{
    if (!pWritten) return E_POINTER;
    *pWritten = 0;
    if (namespaceUri.empty()) return Fail(E_INVALIDARG, IMmTopicTree::iid, "The attribute namespace is empty.");
    std::vector<BSTR> fields;
    if (!DecodeFieldList(entries, 3 * std::size_t(kMaxChunkTopics), &fields) || fields.size() % 3 != 0)
        return Fail(E_INVALIDARG, IMmTopicTree::iid, "The list of attributes to set cannot be read.");
    RETURN_IF_FAILED(CheckAlive(IMmTopicTree::iid));
    for (std::size_t i = 0; i < fields.size() && document_; i += 3) {
        const auto guid = ParseGuidText(fields[i]);
        MapTopic* topic = guid ? document_->FindTopic(*guid) : nullptr;
        ComPtr<IMmAttributes> attributes;
        if (!topic || FAILED(topic->get_Attributes(namespaceUri, attributes.ReleaseAndGetAddressOf()))) continue;
        if (SUCCEEDED(attributes->SetAttributeValue(fields[i + 1], fields[i + 2]))) ++*pWritten;
    }
    return S_OK;
}

HRESULT MapTopic::get_FillColor(DWORD* pColor)
{
    if (!pColor) return E_POINTER;
    *pColor = values_.fill.value_or(0);
    return values_.fill ? S_OK : S_FALSE;
}

HRESULT MapTopic::put_FillColor(DWORD color)
{
    return Change(IMmTopic::iid, [&](TopicValues& values) {
        values.fill = color;
        return S_OK;
    });
}

HRESULT MapTopic::get_HasFillColor(VARIANT_BOOL* pHas)
{
    if (!pHas) return E_POINTER;
    *pHas = ToVariantBool(values_.fill.has_value());
    return S_OK;
}

HRESULT MapTopic::ClearFillColor()
{
    return Change(IMmTopic::iid, [&](TopicValues& values) {
        values.fill.reset();
        return S_OK;
    });
}

HRESULT MapTopic::get_Collapsed(VARIANT_BOOL* pCollapsed)
{
    if (!pCollapsed) return E_POINTER;
    *pCollapsed = ToVariantBool(values_.collapsed);
    return S_OK;
}

HRESULT MapTopic::put_Collapsed(VARIANT_BOOL collapsed)
{
    return Change(IMmTopic::iid, [&](TopicValues& values) {
        values.collapsed = collapsed != VARIANT_FALSE;
        return S_OK;
    });
}

HRESULT MapTopic::get_IsCentralTopic(VARIANT_BOOL* pCentral)
{
    if (!pCentral) return E_POINTER;
    *pCentral = ToVariantBool(IsCentral());
    return S_OK;
}

HRESULT MapTopic::get_IsFloating(VARIANT_BOOL* pFloating)
{
    if (!pFloating) return E_POINTER;
    *pFloating = ToVariantBool(values_.floating);
    return S_OK;
}

HRESULT MapTopic::put_IsFloating(VARIANT_BOOL floating)
{
    return Change(IMmTopic::iid, [&](TopicValues& values) {
        values.floating = floating != VARIANT_FALSE;
        return S_OK;
    });
}

HRESULT MapTopic::get_IsCallout(VARIANT_BOOL* pCallout)
{
    if (!pCallout) return E_POINTER;
    *pCallout = ToVariantBool(values_.callout);
    return S_OK;
}

HRESULT MapTopic::put_IsCallout(VARIANT_BOOL callout)
{
    return Change(IMmTopic::iid, [&](TopicValues& values) {
        values.callout = callout != VARIANT_FALSE;
        return S_OK;
    });
}

HRESULT MapTopic::get_ParentTopic(IMmTopic** ppParent)
{
    if (!ppParent) return E_POINTER;
    *ppParent = parent_;
    if (!parent_) return S_FALSE;
    parent_->AddRef();
    return S_OK;
}

HRESULT MapTopic::get_Document(IMmDocument** ppDocument)
{
    if (!ppDocument) return E_POINTER;
    *ppDocument = nullptr;
    if (!document_) return CheckAlive(IMmTopic::iid);
    *ppDocument = document_;
    document_->AddRef();
    return S_OK;
}

// ---- Attributes ----

MapTopicAttributes::MapTopicAttributes(MapTopic* topic, BSTR namespaceUri)
    : topic_(topic), namespace_(std::move(namespaceUri))
{
}

const std::map<BSTR, BSTR>* MapTopicAttributes::Table() const
{
    const auto& table = topic_->Values().attributes;
    const auto found = table.find(namespace_);
    return found == table.end() ? nullptr : &found->second;
}

HRESULT MapTopicAttributes::GetAttributeValue(const BSTR& name, BSTR* pValue)
{
    if (!pValue) return E_POINTER;
    pValue->clear();
    const auto* table = Table();
    if (!table) return S_FALSE;
    const auto found = table->find(name);
    if (found == table->end()) return S_FALSE;
    *pValue = found->second;
    return S_OK;
}

HRESULT MapTopicAttributes::SetAttributeValue(const BSTR& name, const BSTR& value)
{
    if (name.empty()) return Fail(E_INVALIDARG, IMmAttributes::iid, "The attribute name is empty.");
    return topic_->Change(IMmAttributes::iid, [&](TopicValues& values) {
        values.attributes[namespace_][name] = value;
        return S_OK;
    });
}

HRESULT MapTopicAttributes::DeleteAttribute(const BSTR& name)
{
    const auto* table = Table();
    if (!table || !table->contains(name)) return topic_->IsAlive() ? S_FALSE : topic_->CheckAlive(IMmAttributes::iid);
    return topic_->Change(IMmAttributes::iid, [&](TopicValues& values) {
        auto space = values.attributes.find(namespace_);
        space->second.erase(name);
        if (space->second.empty()) values.attributes.erase(space);
        return S_OK;
    });
}

HRESULT MapTopicAttributes::get_Count(LONG* pCount)
{
    if (!pCount) return E_POINTER;
    const auto* table = Table();
    *pCount = table ? static_cast<LONG>(table->size()) : 0;
    return S_OK;
}

HRESULT MapTopicAttributes::get_Name(LONG index, BSTR* pName)
{
    if (!pName) return E_POINTER;
    pName->clear();
    const auto* table = Table();
    if (!table || index < 1 || static_cast<std::size_t>(index) > table->size())
        return Fail(E_INVALIDARG, IMmAttributes::iid, "The attribute index is out of range.");
    *pName = std::next(table->begin(), index - 1)->first;
    return S_OK;
}

}  // namespace qmx::map
