#include "maphost/store/map_document.h"

#include <algorithm>

#include "automation/file_name.h"
#include "maphost/store/map_application.h"
#include "maphost/store/map_formats.h"
#include "maphost/store/map_support.h"

namespace qmx::map {

namespace {

BSTR FileNamePart(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return FileNameToBstr(slash == std::string::npos ? path : path.substr(slash + 1));
}

void EraseChild(std::vector<MapTopic*>& children, MapTopic* child)
{
    // From the back: a deletion takes the last sub-topic first.
    const auto found = std::find(children.rbegin(), children.rend(), child);
    if (found != children.rend()) children.erase(std::next(found).base());
}

}  // namespace

// ---- Properties and range ----

MapDocumentProperties::MapDocumentProperties(MapDocument* document) : EmbeddedObject(document), document_(document) {}

HRESULT MapDocumentProperties::get_Description(BSTR* pText)
{
    if (!pText) return E_POINTER;
    *pText = document_->description_;
    return S_OK;
}

HRESULT MapDocumentProperties::put_Description(const BSTR& text)
{
    if (document_->IsClosed()) return Fail(E_FAIL, IMmDocumentProperties::iid, "The map is closed.");
    if (text == document_->description_) return S_OK;
    document_->description_ = text;
    document_->MarkModified();
    return S_OK;
}

MapDocumentRange::MapDocumentRange(MapDocument* document) : EmbeddedObject(document), document_(document) {}

HRESULT MapDocumentRange::get_Count(LONG* pCount)
{
    if (!pCount) return E_POINTER;
    *pCount = static_cast<LONG>(document_->TopicCount());
    return S_OK;
}

HRESULT MapDocumentRange::TopicByGuid(const BSTR& guid, IMmTopic** ppTopic)
{
    if (!ppTopic) return E_POINTER;
    *ppTopic = nullptr;
    const std::optional<GUID> parsed = ParseGuidText(guid);
    MapTopic* topic = parsed ? document_->FindTopic(*parsed) : nullptr;
    if (!topic) return Fail(E_INVALIDARG, IMmRange::iid, "The map holds no topic with this GUID.");
    *ppTopic = topic;
    topic->AddRef();
    return S_OK;
}

// ---- Document ----

MapDocument::MapDocument(MapApplication* application, BSTR name) : application_(application), name_(std::move(name))
{
    central_ = MakeObject<MapTopic>(this, NewGuid());
    if (!central_) return;
    central_->values_.text = u"Central Topic";
    topics_.emplace(central_->Guid(), central_);
}

MapDocument::~MapDocument() { Detach(); }

HRESULT MapDocument::get_CentralTopic(IMmTopic** ppTopic)
{
    if (!ppTopic) return E_POINTER;
    return HandOut(central_, ppTopic);
}

HRESULT MapDocument::get_FullName(BSTR* pName)
{
    if (!pName) return E_POINTER;
    *pName = FileNameToBstr(path_);
    return S_OK;
}

HRESULT MapDocument::get_Name(BSTR* pName)
{
    if (!pName) return E_POINTER;
    *pName = name_;
    return S_OK;
}

HRESULT MapDocument::get_IsModified(VARIANT_BOOL* pModified)
{
    if (!pModified) return E_POINTER;
    *pModified = ToVariantBool(modified_);
    return S_OK;
}

HRESULT MapDocument::put_IsModified(VARIANT_BOOL modified)
{
    modified_ = modified != VARIANT_FALSE;
    return S_OK;
}

HRESULT MapDocument::get_IsReadOnly(VARIANT_BOOL* pReadOnly)
{
    if (!pReadOnly) return E_POINTER;
    *pReadOnly = ToVariantBool(readOnly_);
    return S_OK;
}

HRESULT MapDocument::Save()
{
    if (IsClosed()) return Fail(E_FAIL, IMmDocument::iid, "The map is closed.");
    if (path_.empty()) return Fail(E_FAIL, IMmDocument::iid, "The map has no file yet: save it with Save As.");
    if (readOnly_) return Fail(E_ACCESSDENIED, IMmDocument::iid, "The map was opened read-only: save it with Save As.");
    return WriteFile(path_);
}

HRESULT MapDocument::SaveAs(const BSTR& fileName, LONG format)
{
    if (IsClosed()) return Fail(E_FAIL, IMmDocument::iid, "The map is closed.");
    if (format != kFormatMap) return Fail(E_INVALIDARG, IMmDocument::iid, "The file format is not known.");
    const std::optional<std::string> path = BstrToFileName(fileName);
    if (!path || path->empty()) return Fail(E_INVALIDARG, IMmDocument::iid, "The file name is not valid.");
    const std::string target = CanonicalPath(*path);
    for (const auto& other : application_->Documents()) {
        if (other.Get() != this && !other->FilePath().empty() && CanonicalPath(other->FilePath()) == target)
            return Fail(E_FAIL, IMmDocument::iid, "Another open map has this file: close it first.");
    }
    const HRESULT hr = WriteFile(*path);
    if (FAILED(hr)) return hr;
    Rename(CanonicalPath(*path));
    return S_OK;
}

HRESULT MapDocument::get_Properties(IMmDocumentProperties** ppProperties)
{
    if (!ppProperties) return E_POINTER;
    *ppProperties = &properties_;
    properties_.AddRef();
    return S_OK;
}

HRESULT MapDocument::get_Range(LONG kind, LONG, IMmRange** ppRange)
{
    if (!ppRange) return E_POINTER;
    *ppRange = nullptr;
    if (kind != 2) return Fail(E_INVALIDARG, IMmDocument::iid, "Only the range of every topic (2) is known.");
    *ppRange = &range_;
    range_.AddRef();
    return S_OK;
}

HRESULT MapDocument::Activate()
{
    if (IsClosed()) return Fail(E_FAIL, IMmDocument::iid, "The map is closed.");
    application_->Activate(this);
    return S_OK;
}

HRESULT MapDocument::Close()
{
    if (IsClosed()) return S_FALSE;
    ComPtr<MapDocument> self(this);
    application_->CloseDocument(this);
    return S_OK;
}

void MapDocument::Load(MapSnapshot&& snapshot)
{
    for (auto& [guid, topic] : topics_) {
        topic->document_ = nullptr;
        topic->parent_ = nullptr;
        topic->children_.clear();
    }
    topics_.clear();
    central_ = nullptr;
    std::vector<MapTopic*> made;
    made.reserve(snapshot.topics.size());
    topics_.reserve(snapshot.topics.size());
    for (auto& entry : snapshot.topics) {
        ComPtr<MapTopic> topic = MakeObject<MapTopic>(this, entry.guid);
        topic->values_ = std::move(entry.values);
        if (entry.parent >= 0) {
            MapTopic* parent = made[static_cast<std::size_t>(entry.parent)];
            topic->parent_ = parent;
            parent->children_.push_back(topic.Get());
        } else {
            central_ = topic;
        }
        made.push_back(topic.Get());
        topics_.emplace(entry.guid, std::move(topic));
    }
    description_ = std::move(snapshot.description);
    modified_ = false;
}

void MapDocument::SetFile(const std::string& path, bool readOnly)
{
    path_ = path;
    name_ = FileNamePart(path);
    readOnly_ = readOnly;
}

void MapDocument::Rename(const std::string& path)
{
    readOnly_ = false;
    if (path == path_) return;
    SetFile(path, false);
    if (application_) {
        ComPtr<MapDocument> self(this);
        application_->Events().Fire(kEventDocumentNameChanged, kPhaseAfter, this, kObjectDocument,
                                    static_cast<IMmDocument*>(this));
    }
}

HRESULT MapDocument::WriteFile(const std::string& path)
{
    if (const auto error = WriteMapAnyFormat(path, Snapshot(central_.Get())))
        return Fail(error->hr, IMmDocument::iid, error->message);
    modified_ = false;
    return S_OK;
}

MapTopic* MapDocument::FindTopic(const GUID& guid) const
{
    const auto found = topics_.find(guid);
    return found == topics_.end() ? nullptr : found->second.Get();
}

MapSnapshot MapDocument::Snapshot(const MapTopic* top) const
{
    MapSnapshot snapshot;
    snapshot.description = description_;
    if (!top) return snapshot;
    // A walk with an explicit stack: maps may be far deeper than the call
    // stack allows.
    std::vector<std::pair<const MapTopic*, std::int32_t>> pending{{top, -1}};
    while (!pending.empty()) {
        const auto [topic, parent] = pending.back();
        pending.pop_back();
        const auto index = static_cast<std::int32_t>(snapshot.topics.size());
        snapshot.topics.push_back({topic->Guid(), parent, topic->Values()});
        for (auto child = topic->Children().rbegin(); child != topic->Children().rend(); ++child)
            pending.emplace_back(*child, index);
    }
    return snapshot;
}

HRESULT MapDocument::AddTopic(MapTopic* parent, TopicValues values, std::size_t index, ComPtr<MapTopic>* pAdded)
{
    if (IsClosed() || !parent->IsAlive()) return Fail(E_FAIL, IMmTopic::iid, "The topic is no longer in a map.");
    GUID guid = NewGuid();
    while (topics_.contains(guid)) guid = NewGuid();
    ComPtr<MapTopic> topic = MakeObject<MapTopic>(this, guid);
    if (!topic) return E_OUTOFMEMORY;
    topic->values_ = std::move(values);
    topic->pending_ = true;
    topic->parent_ = parent;
    ComPtr<MapTopic> heldParent(parent);
    FireTopicEvent(kEventTopicAdded, kPhaseBefore, topic.Get());
    topic->pending_ = false;
    if (IsClosed() || !parent->IsAlive()) {
        topic->document_ = nullptr;
        topic->parent_ = nullptr;
        return Fail(E_FAIL, IMmTopic::iid, "The topic's place left the map while the topic was being added.");
    }
    auto& children = parent->children_;
    children.insert(children.begin() + static_cast<std::ptrdiff_t>(std::min(index, children.size())), topic.Get());
    topics_.emplace(guid, topic);
    ++revision_;
    MarkModified();
    FireTopicEvent(kEventTopicAdded, kPhaseAfter, topic.Get());
    if (pAdded) *pAdded = std::move(topic);
    return S_OK;
}

HRESULT MapDocument::Paste(MapTopic* parent, const MapSnapshot& part, std::size_t index, ComPtr<MapTopic>* pTop)
{
    std::vector<ComPtr<MapTopic>> made;
    made.reserve(part.topics.size());
    for (std::size_t i = 0; i < part.topics.size(); ++i) {
        const SnapshotTopic& entry = part.topics[i];
        if (i != 0 && (entry.parent < 0 || static_cast<std::size_t>(entry.parent) >= i))
            return Fail(E_INVALIDARG, IMmTopic::iid, "The topics to paste are not in order.");
        MapTopic* place = i == 0 ? parent : made[static_cast<std::size_t>(entry.parent)].Get();
        ComPtr<MapTopic> topic;
        const HRESULT hr = AddTopic(place, entry.values, i == 0 ? index : place->children_.size(), &topic);
        if (FAILED(hr)) return hr;
        if (i == 0 && pTop) *pTop = topic;
        made.push_back(std::move(topic));
    }
    return S_OK;
}

HRESULT MapDocument::DeleteTopic(MapTopic* topic)
{
    if (topic->deleting_) return S_FALSE;
    ComPtr<MapTopic> held(topic);
    ComPtr<MapDocument> self(this);
    // Each round takes the deepest last topic below `from`. Where the sinks
    // left the tree as it was, the next round goes on from the parent of the
    // topic just deleted, so that a deep map costs no more than a flat one.
    MapTopic* from = topic;
    while (topic->IsAlive() && !topic->IsCentral()) {
        MapTopic* leaf = from;
        while (!leaf->children_.empty()) leaf = leaf->children_.back();
        ComPtr<MapTopic> heldLeaf(leaf);
        const std::uint64_t revision = revision_ + 1;  // the shape once this one is gone
        leaf->deleting_ = true;  // a sink deleting it again is told it is under way
        FireTopicEvent(kEventTopicDeleted, kPhaseBefore, leaf);
        leaf->deleting_ = false;
        from = topic;
        // A sink may have deleted, moved or extended it meanwhile.
        if (!leaf->IsAlive() || !leaf->children_.empty()) continue;
        MapTopic* parent = leaf->parent_;
        DetachTopic(leaf);
        MarkModified();
        FireTopicEvent(kEventTopicDeleted, kPhaseAfter, leaf);
        if (revision == revision_ && leaf != topic) from = parent;
    }
    return S_OK;
}

void MapDocument::DetachTopic(MapTopic* topic)
{
    if (topic->parent_) EraseChild(topic->parent_->children_, topic);
    topic->parent_ = nullptr;
    topic->document_ = nullptr;
    topics_.erase(topic->Guid());
    ++revision_;
}

HRESULT MapDocument::MoveTopic(MapTopic* topic, MapTopic* newParent, LONG position)
{
    if (!topic->IsAlive() || !newParent->IsAlive()) return Fail(E_FAIL, IMmTopics::iid, "The topic is no longer in a map.");
    if (topic->IsCentral()) return Fail(E_FAIL, IMmTopics::iid, "The central topic cannot move.");
    const auto below = [&] {
        for (const MapTopic* above = newParent; above; above = above->parent_) {
            if (above == topic) return true;
        }
        return false;
    };
    if (below()) return Fail(E_INVALIDARG, IMmTopics::iid, "A topic cannot move below itself.");
    // The number of sub-topics once the topic has left its place.
    const auto othersCount = [&] {
        return static_cast<LONG>(newParent->children_.size()) - (topic->parent_ == newParent ? 1 : 0);
    };
    LONG count = othersCount();
    if (position == -1 || (topic->parent_ == newParent && position == count + 2)) position = count + 1;
    if (position < 1 || position > count + 1) return Fail(E_INVALIDARG, IMmTopics::iid, "The position is out of range.");
    if (topic->parent_ == newParent) {
        const auto& siblings = newParent->children_;
        if (siblings[static_cast<std::size_t>(position - 1)] == topic) return S_FALSE;
    }
    ComPtr<MapTopic> held(topic);
    ComPtr<MapTopic> heldParent(newParent);
    FireTopicEvent(kEventTopicChanged, kPhaseBefore, topic);
    if (!topic->IsAlive() || !newParent->IsAlive()) return Fail(E_FAIL, IMmTopics::iid, "The topic is no longer in a map.");
    if (below()) return Fail(E_INVALIDARG, IMmTopics::iid, "A topic cannot move below itself.");
    EraseChild(topic->parent_->children_, topic);
    auto& children = newParent->children_;
    position = std::min(position, static_cast<LONG>(children.size()) + 1);
    children.insert(children.begin() + (position - 1), topic);
    topic->parent_ = newParent;
    ++revision_;
    MarkModified();
    FireTopicEvent(kEventTopicChanged, kPhaseAfter, topic);
    return S_OK;
}

void MapDocument::FireTopicEvent(LONG kind, LONG phase, MapTopic* topic)
{
    if (!application_) return;
    application_->Events().Fire(kind, phase, this, kObjectTopic, static_cast<IMmTopic*>(topic));
}

void MapDocument::Detach()
{
    application_ = nullptr;
    for (auto& [guid, topic] : topics_) {
        topic->document_ = nullptr;
        topic->parent_ = nullptr;
        topic->children_.clear();
    }
    topics_.clear();
}

}  // namespace qmx::map
