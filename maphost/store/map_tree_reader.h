// The tree reader of a topic (IMmTopicTree::ReadTree): walks the topics
// below it and answers their values in chunks of records.
#pragma once

#include <vector>

#include "automation/com_object.h"
#include "maphost/api/map_interfaces.h"
#include "maphost/api/topic_records.h"

namespace qmx::map {

class MapTopic;

class MapTreeReader final : public ComObject<IMmTreeReader> {
public:
    MapTreeReader(MapTopic* top, BSTR namespaceUri, std::vector<BSTR> names);
    HRESULT Next(LONG maxTopics, BSTR* pChunk) override;

    // The record of one topic at a depth of the walk.
    static TopicRecord RecordOf(const MapTopic& topic, LONG depth, const BSTR& namespaceUri,
                                const std::vector<BSTR>& names);

private:
    // A topic whose sub-topics are being walked: as with the single calls,
    // they are counted when the walk enters them, and a place that no
    // longer holds a topic (one deleted meanwhile) is passed over.
    struct Level {
        ComPtr<MapTopic> parent;
        std::size_t count = 0;
        std::size_t next = 0;
    };
    void Enter(MapTopic* parent);

    std::vector<Level> stack_;
    BSTR namespace_;
    std::vector<BSTR> names_;
};

}  // namespace qmx::map
