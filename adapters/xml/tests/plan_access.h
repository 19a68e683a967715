// Test helpers: reading a plan out of a project document in plain values.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "automation/bstr.h"
#include "automation/com_ptr.h"
#include "model/plan_walk.h"
#include "tools/project_document.h"

namespace qmx::xml::testing {

inline ComPtr<CProjectDocument> NewDocument() { return MakeObject<CProjectDocument>(); }

inline ComPtr<ITask> Task(const CProjectDocument& document, LONG id)
{
    ComPtr<ITask> task;
    EXPECT_EQ(document.TaskTree()->GetTask(id, task.ReleaseAndGetAddressOf()), S_OK) << "task " << id;
    return task;
}

// Every value of a task, as the model's plan walk reads it.
inline TaskFields Values(ITask* task)
{
    TaskFields fields;
    EXPECT_EQ(ReadTaskFields(task, &fields), S_OK);
    return fields;
}

inline TaskFields Values(const CProjectDocument& document, LONG id) { return Values(Task(document, id).Get()); }

// The IDs of a task's subtasks in order; parent 0 is the root list.
inline std::vector<LONG> ChildIds(const CProjectDocument& document, LONG parentId)
{
    ComPtr<ITasks> list;
    if (parentId == 0)
        document.TaskTree()->get_RootTasks(list.ReleaseAndGetAddressOf());
    else
        Task(document, parentId)->get_Subtasks(list.ReleaseAndGetAddressOf());
    LONG count = 0;
    list->get_Count(&count);
    std::vector<LONG> ids;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITask> task;
        LONG id = 0;
        list->get_Tasks(i, task.ReleaseAndGetAddressOf());
        task->get_ID(&id);
        ids.push_back(id);
    }
    return ids;
}

// (dependent ID, kind) of a task's successor links.
inline std::vector<std::pair<LONG, QMXDependencyType>> Successors(const CProjectDocument& document, LONG id)
{
    std::vector<std::pair<LONG, QMXDependencyType>> result;
    EXPECT_EQ(ForEachSuccessor(Task(document, id).Get(),
                               [&](LONG, LONG dependentId, QMXDependencyType type) {
                                   result.emplace_back(dependentId, type);
                                   return S_OK;
                               }),
              S_OK);
    return result;
}

// (resource ID, units) of a task's assignments.
inline std::vector<std::pair<LONG, LONG>> Assignments(const CProjectDocument& document, LONG id)
{
    ComPtr<ITaskResources> assignments;
    Task(document, id)->get_Resources(assignments.ReleaseAndGetAddressOf());
    LONG count = 0;
    assignments->get_Count(&count);
    std::vector<std::pair<LONG, LONG>> result;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskResource> assignment;
        ComPtr<IResource> resource;
        LONG resourceId = 0;
        LONG units = 0;
        assignments->get_TaskResources(i, assignment.ReleaseAndGetAddressOf());
        assignment->get_Resource(resource.ReleaseAndGetAddressOf());
        resource->get_ID(&resourceId);
        assignment->get_Units(&units);
        result.emplace_back(resourceId, units);
    }
    return result;
}

// (ID, name) of the resource pool in order.
inline std::vector<std::pair<LONG, std::string>> Resources(const CProjectDocument& document)
{
    LONG count = 0;
    document.Resources()->get_Count(&count);
    std::vector<std::pair<LONG, std::string>> result;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IResource> resource;
        LONG id = 0;
        BSTR name;
        document.Resources()->get_Resources(i, resource.ReleaseAndGetAddressOf());
        resource->get_ID(&id);
        resource->get_Name(&name);
        result.emplace_back(id, BstrToUtf8(name));
    }
    return result;
}

inline std::string DocumentName(CProjectDocument& document)
{
    ComPtr<IDocumentProperties> properties;
    document.get_Properties(properties.ReleaseAndGetAddressOf());
    BSTR text;
    properties->get_Name(&text);
    return BstrToUtf8(text);
}

inline std::string DocumentDescription(CProjectDocument& document)
{
    ComPtr<IDocumentProperties> properties;
    document.get_Properties(properties.ReleaseAndGetAddressOf());
    BSTR text;
    properties->get_Description(&text);
    return BstrToUtf8(text);
}

inline LONG TaskCount(const CProjectDocument& document)
{
    ComPtr<IEnumTaskIDs> ids;
    document.TaskTree()->EnumTasks(ids.ReleaseAndGetAddressOf());
    LONG count = 0;
    LONG id = 0;
    while (ids->Next(&id) == S_OK) ++count;
    return count;
}

// UTF-16LE bytes with a byte-order mark, as UTF-8; empty when the bytes are
// not that.
inline std::string Utf16FileToUtf8(const std::string& bytes)
{
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes[0] != '\xFF' || bytes[1] != '\xFE') return {};
    std::u16string text;
    for (std::size_t i = 2; i < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return BstrToUtf8(text);
}

}  // namespace qmx::xml::testing
