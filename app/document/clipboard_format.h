// The byte streams of the two private clipboard formats: little-endian
// numbers, strings as a 32-bit byte length and UTF-16 text without a
// terminator.
//
// Task format: task records, then the 32-bit value -1. A record is ID,
// name, priority, start, end (64-bit DATE), duration (32-bit float, days),
// duration unit, percent complete, milestone (16-bit), notes, URL, colour,
// parent ID (0 for a task that was itself copied). Each record is followed
// by those of its subtasks, depth first in child order.
// Resource format: one record of ID and name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automation/types.h"

namespace qmx {

struct TaskRecord {
    LONG id = 0;
    BSTR name;
    LONG priority = 0;
    DATE start = 0;
    DATE end = 0;
    float duration = 0;
    LONG durationUnit = 0;
    LONG percentComplete = 0;
    VARIANT_BOOL milestone = VARIANT_FALSE;
    BSTR notes;
    BSTR url;
    std::uint32_t color = 0;
    LONG parentId = 0;
};

struct ResourceRecord {
    LONG id = 0;
    BSTR name;
};

std::string EncodeTasks(const std::vector<TaskRecord>& records);
// Nothing for a block that is cut short, has a string of an odd or too
// large length, or lacks the closing -1; bytes after it are ignored.
std::optional<std::vector<TaskRecord>> DecodeTasks(const std::string& block);

std::string EncodeResource(const ResourceRecord& record);
std::optional<ResourceRecord> DecodeResource(const std::string& block);

}  // namespace qmx
