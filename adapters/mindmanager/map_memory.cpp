#include "adapters/mindmanager/map_memory.h"

namespace qmx::mm {

void MapMemory::Clear()
{
    taskGuidMap_.clear();
    guidTaskMap_.clear();
    copiedGuidMap_.clear();
    resourceNameMap.clear();
    resourceUseCount.clear();
    pendingLinks.clear();
    resourcesWritten = false;
}

BSTR MapMemory::Key(std::u16string_view guid)
{
    BSTR key(guid);
    for (char16_t& c : key)
        if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
    return key;
}

void MapMemory::RecordTask(LONG taskId, const BSTR& guid)
{
    ForgetTask(taskId);
    BSTR key = Key(guid);
    if (const auto old = guidTaskMap_.find(key); old != guidTaskMap_.end()) taskGuidMap_.erase(old->second);
    taskGuidMap_[taskId] = guid;
    guidTaskMap_[std::move(key)] = taskId;
}

void MapMemory::ForgetTask(LONG taskId)
{
    const auto found = taskGuidMap_.find(taskId);
    if (found == taskGuidMap_.end()) return;
    guidTaskMap_.erase(Key(found->second));
    taskGuidMap_.erase(found);
}

const BSTR* MapMemory::GuidOfTask(LONG taskId) const
{
    const auto found = taskGuidMap_.find(taskId);
    return found == taskGuidMap_.end() ? nullptr : &found->second;
}

std::optional<LONG> MapMemory::TaskOfGuid(std::u16string_view guid) const
{
    const auto found = guidTaskMap_.find(Key(guid));
    if (found == guidTaskMap_.end()) return std::nullopt;
    return found->second;
}

void MapMemory::RecordCopy(std::u16string_view originalGuid, const BSTR& copyGuid)
{
    copiedGuidMap_[Key(originalGuid)] = copyGuid;
}

const BSTR* MapMemory::CopyOf(std::u16string_view originalGuid) const
{
    const auto found = copiedGuidMap_.find(Key(originalGuid));
    return found == copiedGuidMap_.end() ? nullptr : &found->second;
}

std::optional<LONG> MapMemory::TaskOfGuidOrCopy(std::u16string_view guid) const
{
    if (auto task = TaskOfGuid(guid)) return task;
    if (const BSTR* copy = CopyOf(guid)) return TaskOfGuid(*copy);
    return std::nullopt;
}

void MapMemory::ForgetResourceName(LONG resourceId)
{
    for (auto it = resourceNameMap.begin(); it != resourceNameMap.end(); ++it) {
        if (it->second == resourceId) {
            resourceNameMap.erase(it);
            return;
        }
    }
}

}  // namespace qmx::mm
