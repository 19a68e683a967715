// The text a tree reader (IMmTreeReader) answers: the values of a run of
// topics, one record per topic, in the order of a walk (every topic after
// its parent, sub-topics in order). Both the map store, which writes it, and
// its clients, which read it, use this one codec.
//
// A chunk is a sequence of fields, each its length in UTF-16 code units
// (decimal, 1 to 8 digits), a colon and that many code units, so any text
// travels as it is. A record is kTopicRecordFields fields and then one per
// attribute name asked for:
//
//   depth, GUID, text, priority, start, due, duration hours, duration unit,
//   percent complete, resources text, fill ("" for none, else 0xAARRGGBB
//   in decimal), collapsed, floating, callout ("0"/"1"), attribute values
//
// Integers are decimal, dates and hours the shortest decimal text that reads
// back as the same double. An absent attribute reads as an empty value.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "automation/types.h"

namespace qmx::map {

struct TopicRecord {
    // 1 for a sub-topic of the topic read from, 2 below that, ...
    LONG depth = 1;
    BSTR guid;
    BSTR text;
    LONG priority = 0;
    DATE start = 0;
    DATE due = 0;
    double durationHours = 0;
    LONG durationUnit = 0;
    LONG percentComplete = 0;
    BSTR resources;
    std::optional<DWORD> fill;
    bool collapsed = false;
    bool floating = false;
    bool callout = false;
    // The values of the attribute names asked for, in their order.
    std::vector<BSTR> attributes;
    friend bool operator==(const TopicRecord&, const TopicRecord&) = default;
};

inline constexpr std::size_t kTopicRecordFields = 14;
// At most this many topics per chunk, whatever a client asks for.
inline constexpr LONG kMaxChunkTopics = 4096;
// A chunk stops taking records once it holds this many code units (a
// single record may pass it), so no answer grows with the map.
inline constexpr std::size_t kChunkBudgetUnits = std::size_t(1) << 20;
// At most this many attribute names per reader.
inline constexpr std::size_t kMaxRecordAttributes = 64;

void AppendTopicRecord(const TopicRecord& record, BSTR* chunk);

// Reads a chunk of a walk. previousDepth is the depth of the walk's last
// record read so far (0 before the first) and is updated; a record may go at
// most one level deeper than the one before it. False, with the reason in
// *why, for a chunk that does not follow the format, holds more than
// maxRecords records, or breaks the walk's order; *records is then empty.
bool DecodeTopicRecords(const BSTR& chunk, std::size_t attributeCount, LONG maxRecords, LONG* previousDepth,
                        std::vector<TopicRecord>* records, std::string* why);

// The attribute names a reader is asked for, as fields of the same kind.
BSTR EncodeFieldList(const std::vector<BSTR>& names);
// False for a text that is not a list of fields or holds more than maxFields.
bool DecodeFieldList(const BSTR& text, std::size_t maxFields, std::vector<BSTR>* names);

}  // namespace qmx::map
