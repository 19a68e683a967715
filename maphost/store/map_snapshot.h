// A map's topics as plain values, in the order of a walk from the top
// (every topic after its parent, sub-topics in order): what the map file
// formats read and write, and what the host's copy and paste carry.
#pragma once

#include <cstdint>
#include <vector>

#include "automation/guid.h"
#include "maphost/store/map_topic.h"

namespace qmx::map {

struct SnapshotTopic {
    GUID guid;
    // Index of the parent in the snapshot's list; -1 for the top topic.
    std::int32_t parent = -1;
    TopicValues values;
};

struct MapSnapshot {
    BSTR description;
    // topics[0] is the top topic (the central topic of a whole map).
    std::vector<SnapshotTopic> topics;
};

}  // namespace qmx::map
