// What the map adapter remembers of the map it shows: which topic holds
// which task, which topics are copies of others, the resource names and how
// many topics name each resource, the links waiting for the end of a load,
// and the two tree settings. All of it is forgotten when a map is loaded.
#pragma once

#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "automation/types.h"
#include "model/model_interfaces.h"

namespace qmx::mm {

// A link read while loading, made once every topic has its task.
struct PendingLink {
    LONG taskId = 0;
    BSTR predecessorGuid;
    QMXDependencyType type = dtFinishToStart;
};

class MapMemory {
public:
    void Clear();

    // TaskGuidMap and GuidTaskMap, kept together; GUIDs compare without
    // regard to case.
    void RecordTask(LONG taskId, const BSTR& guid);
    void ForgetTask(LONG taskId);
    const BSTR* GuidOfTask(LONG taskId) const;
    std::optional<LONG> TaskOfGuid(std::u16string_view guid) const;
    std::size_t TaskCount() const { return taskGuidMap_.size(); }

    // CopiedGuidMap: the GUID found in a copy's `GuidCopy` -> the copy's own.
    void RecordCopy(std::u16string_view originalGuid, const BSTR& copyGuid);
    const BSTR* CopyOf(std::u16string_view originalGuid) const;
    // The task of a GUID, or of the copy recorded for it.
    std::optional<LONG> TaskOfGuidOrCopy(std::u16string_view guid) const;

    // ResourceNameMap.
    std::unordered_map<BSTR, LONG> resourceNameMap;
    // ResourceUseCount: resource ID -> number of topics naming it.
    std::unordered_map<LONG, LONG> resourceUseCount;
    std::vector<PendingLink> pendingLinks;
    bool resourcesWritten = false;
    int writeDepth = 0;
    bool autocorrect = true;
    bool matchColors = true;

    // Drops the name entry that points at the resource.
    void ForgetResourceName(LONG resourceId);

    // GUIDs compared without regard to case, and their upper-case key.
    static bool SameGuid(std::u16string_view a, std::u16string_view b) { return Key(a) == Key(b); }
    static BSTR Key(std::u16string_view guid);

private:

    std::unordered_map<LONG, BSTR> taskGuidMap_;
    std::unordered_map<BSTR, LONG> guidTaskMap_;     // upper-case keys
    std::unordered_map<BSTR, BSTR> copiedGuidMap_;   // upper-case keys
};

// Raises the write depth for as long as it lives.
class WriteScope {
public:
    explicit WriteScope(MapMemory& memory) : memory_(memory) { ++memory_.writeDepth; }
    ~WriteScope() { --memory_.writeDepth; }
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;

private:
    MapMemory& memory_;
};

}  // namespace qmx::mm
