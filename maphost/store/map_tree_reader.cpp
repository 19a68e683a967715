#include "maphost/store/map_tree_reader.h"

#include "maphost/store/map_support.h"
#include "maphost/store/map_topic.h"

namespace qmx::map {

MapTreeReader::MapTreeReader(MapTopic* top, BSTR namespaceUri, std::vector<BSTR> names)
    : namespace_(std::move(namespaceUri)), names_(std::move(names))
{
    Enter(top);
}

void MapTreeReader::Enter(MapTopic* parent) { stack_.push_back({ComPtr<MapTopic>(parent), parent->Children().size(), 0}); }

TopicRecord MapTreeReader::RecordOf(const MapTopic& topic, LONG depth, const BSTR& namespaceUri,
                                    const std::vector<BSTR>& names)
{
    const TopicValues& values = topic.Values();
    TopicRecord record;
    record.depth = depth;
    record.guid = GuidText(topic.Guid());
    record.text = values.text;
    record.priority = values.task.priority;
    record.start = values.task.start;
    record.due = values.task.due;
    record.durationHours = values.task.durationHours;
    record.durationUnit = values.task.durationUnit;
    record.percentComplete = values.task.percentComplete;
    record.resources = values.task.resources;
    record.fill = values.fill;
    record.collapsed = values.collapsed;
    record.floating = values.floating;
    record.callout = values.callout;
    const auto space = values.attributes.find(namespaceUri);
    record.attributes.reserve(names.size());
    for (const BSTR& name : names) {
        BSTR value;
        if (space != values.attributes.end()) {
            if (const auto found = space->second.find(name); found != space->second.end()) value = found->second;
        }
        record.attributes.push_back(std::move(value));
    }
    return record;
}

HRESULT MapTreeReader::Next(LONG maxTopics, BSTR* pChunk)
{
    if (!pChunk) return E_POINTER;
    pChunk->clear();
    if (maxTopics < 1 || maxTopics > kMaxChunkTopics)
        return Fail(E_INVALIDARG, IMmTreeReader::iid, "The number of topics to read is out of range.");
    LONG taken = 0;
    while (!stack_.empty() && taken < maxTopics && pChunk->size() < kChunkBudgetUnits) {
        Level& level = stack_.back();
        if (level.next >= level.count) {
            stack_.pop_back();
            continue;
        }
        const std::size_t index = level.next++;
        const auto& children = level.parent->Children();
        if (index >= children.size()) continue;
        MapTopic* topic = children[index];
        AppendTopicRecord(RecordOf(*topic, LONG(stack_.size()), namespace_, names_), pChunk);
        ++taken;
        Enter(topic);  // `level` is not used past this point
    }
    return taken ? S_OK : S_FALSE;
}

}  // namespace qmx::map
