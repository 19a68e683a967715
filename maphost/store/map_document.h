// A map document: its topics by GUID, its central topic, its file and
// modified state, and the operations that change the topic tree (each with
// its before and after events).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "automation/com_object.h"
#include "maphost/api/map_interfaces.h"
#include "maphost/store/map_snapshot.h"
#include "maphost/store/map_topic.h"

namespace qmx::map {

class MapApplication;
class MapDocument;

class MapDocumentProperties final : public EmbeddedObject<IMmDocumentProperties> {
public:
    explicit MapDocumentProperties(MapDocument* document);
    HRESULT get_Description(BSTR* pText) override;
    HRESULT put_Description(const BSTR& text) override;

private:
    MapDocument* document_;
};

class MapDocumentRange final : public EmbeddedObject<IMmRange> {
public:
    explicit MapDocumentRange(MapDocument* document);
    HRESULT get_Count(LONG* pCount) override;
    HRESULT TopicByGuid(const BSTR& guid, IMmTopic** ppTopic) override;

private:
    MapDocument* document_;
};

class MapDocument final : public ComObject<IMmDocument> {
public:
    // A new map holding only its central topic, named name.
    MapDocument(MapApplication* application, BSTR name);
    ~MapDocument() override;

    HRESULT get_CentralTopic(IMmTopic** ppTopic) override;
    HRESULT get_FullName(BSTR* pName) override;
    HRESULT get_Name(BSTR* pName) override;
    HRESULT get_IsModified(VARIANT_BOOL* pModified) override;
    HRESULT put_IsModified(VARIANT_BOOL modified) override;
    HRESULT get_IsReadOnly(VARIANT_BOOL* pReadOnly) override;
    HRESULT Save() override;
    HRESULT SaveAs(const BSTR& fileName, LONG format) override;
    HRESULT get_Properties(IMmDocumentProperties** ppProperties) override;
    HRESULT get_Range(LONG kind, LONG flags, IMmRange** ppRange) override;
    HRESULT Activate() override;
    HRESULT Close() override;

    // The whole content replaced by a snapshot (a file just read); no
    // events. The snapshot must hold a top topic and unique GUIDs.
    void Load(MapSnapshot&& snapshot);
    // The file behind the map, once opened or saved.
    void SetFile(const std::string& path, bool readOnly);
    const std::string& FilePath() const { return path_; }

    MapTopic* Central() const { return central_.Get(); }
    MapTopic* FindTopic(const GUID& guid) const;
    std::size_t TopicCount() const { return topics_.size(); }
    const BSTR& Description() const { return description_; }
    bool IsModified() const { return modified_; }
    // Goes up with every change of the tree's shape (a topic added, moved
    // or deleted).
    std::uint64_t Revision() const { return revision_; }
    bool IsClosed() const { return application_ == nullptr; }
    MapApplication* Application() const { return application_; }

    // The topic and everything below it as values, with their GUIDs.
    MapSnapshot Snapshot(const MapTopic* top) const;

    // Adds a new topic with these values under parent at the 0-based index
    // (clamped to the end), raising the added events.
    HRESULT AddTopic(MapTopic* parent, TopicValues values, std::size_t index, ComPtr<MapTopic>* pAdded);
    // Adds copies of the snapshot's topics (new GUIDs, the values kept)
    // under parent, the top one at index; the added events come for each,
    // every topic after its parent.
    HRESULT Paste(MapTopic* parent, const MapSnapshot& part, std::size_t index, ComPtr<MapTopic>* pTop);
    // Deletes the topic and its sub-topics, deepest first, each between its
    // deleted events.
    HRESULT DeleteTopic(MapTopic* topic);
    // Moves the topic so that it stands at the 1-based position among the
    // sub-topics of newParent (Count + 1 or -1 appends), between its changed
    // events. S_FALSE when it already stands there.
    HRESULT MoveTopic(MapTopic* topic, MapTopic* newParent, LONG position);

    // Hands a topic event to the application's event manager.
    void FireTopicEvent(LONG kind, LONG phase, MapTopic* topic);
    void MarkModified() { modified_ = true; }
    // The map closed: the application forgets it and its topics leave it.
    void Detach();
    // A new file name (Save As): the name event goes out.
    void Rename(const std::string& path);

private:
    friend class MapDocumentProperties;

    void DetachTopic(MapTopic* topic);
    HRESULT WriteFile(const std::string& path);

    MapApplication* application_;  // null once closed
    BSTR name_;
    std::string path_;  // the file, empty for a map never saved
    bool readOnly_ = false;
    bool modified_ = false;
    std::uint64_t revision_ = 0;  // counts the changes of the tree's shape
    BSTR description_;
    ComPtr<MapTopic> central_;
    std::unordered_map<GUID, ComPtr<MapTopic>> topics_;  // every topic of the map
    MapDocumentProperties properties_{this};
    MapDocumentRange range_{this};
};

}  // namespace qmx::map
