// The active map as an editable outline: one item per topic, kept in step
// with the map by its topic events. Renaming an item and folding it change
// the topic through the store, so they raise the same events as any other
// client's changes.
#pragma once

#include <QHash>
#include <QTreeWidget>

#include "automation/com_ptr.h"
#include "maphost/store/map_document.h"

namespace qmx::map {

class MapOutline final : public QTreeWidget {
public:
    explicit MapOutline(QWidget* parent = nullptr);

    // Shows the map (or nothing).
    void SetDocument(MapDocument* document);
    MapDocument* Document() const { return document_.Get(); }

    // Follows a topic event of the shown map.
    void OnTopicEvent(LONG kind, LONG phase, MapTopic* topic);

    MapTopic* SelectedTopic() const;
    void Select(MapTopic* topic);
    QTreeWidgetItem* ItemFor(MapTopic* topic) const { return items_.value(topic); }

private:
    QTreeWidgetItem* MakeItem(MapTopic* topic);
    void ShowValues(QTreeWidgetItem* item, MapTopic* topic);
    void PlaceItem(MapTopic* topic);
    void Forget(QTreeWidgetItem* item);
    static MapTopic* TopicOf(const QTreeWidgetItem* item);

    ComPtr<MapDocument> document_;
    QHash<const MapTopic*, QTreeWidgetItem*> items_;
    std::uint64_t revision_ = 0;  // the map's shape as the items show it
    int syncing_ = 0;  // above 0 while the outline itself changes items
};

}  // namespace qmx::map
