// The topics a load reads, in the order of a walk from the central topic
// (every topic after its parent, sub-topics in order), floating topics and
// callouts left out with everything below them. Two ways to read them give
// the same topics: one call per value, which any map answers, and the tree
// reader (IMmTopicTree) of maps that offer it, a few hundred topics a call.
#pragma once

#include <functional>
#include <memory>

#include "adapters/mindmanager/topic_values.h"

namespace qmx::mm {

// One topic of the walk: its values in the map's terms, the attribute
// values in LoadedAttribute order and the task information's resources text.
struct WalkedTopic {
    map::TopicRecord record;
    // Where the single calls found the topic's values; empty for the tree
    // reader.
    TopicParts parts;
};

class TopicWalk {
public:
    virtual ~TopicWalk() = default;
    // The next topic; S_FALSE once the walk is done. A failure ends the load.
    virtual HRESULT Next(WalkedTopic* topic) = 0;
    // Writes the topic's GuidCopy (the topic last given by Next).
    virtual void WriteGuidCopy(const WalkedTopic& topic, const BSTR& value) = 0;
};

// The walk of single calls: about twenty per topic.
std::unique_ptr<TopicWalk> SingleCallWalk(IMmTopic* central, bool matchColors);

// The walk of the tree reader, or null when the central topic does not offer
// one. The range finds the topics whose GuidCopy is written.
std::unique_ptr<TopicWalk> TreeReaderWalk(IMmTopic* central, std::function<IMmRange*()> range);

// Topics asked of the tree reader per call.
inline constexpr LONG kTopicsPerChunk = 512;

}  // namespace qmx::mm
