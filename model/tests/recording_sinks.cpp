#include "model/tests/recording_sinks.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "automation/bstr.h"

namespace qmx::test {

std::vector<std::string> RecordingOwner::Take()
{
    std::vector<std::string> taken;
    taken.swap(lines_);
    return taken;
}

ComPtr<ITask> RecordingOwner::Add(LONG parentId, const char* name, LONG index)
{
    ComPtr<ITask> task;
    EXPECT_EQ(S_OK, Tree()->AddTask(parentId, index, Utf8ToBstr(name), task.ReleaseAndGetAddressOf()));
    return task;
}

ComPtr<ITask> RecordingOwner::Task(LONG id) const
{
    ComPtr<ITask> task;
    EXPECT_EQ(S_OK, Tree()->GetTask(id, task.ReleaseAndGetAddressOf()));
    return task;
}

ComPtr<IResource> RecordingOwner::AddResource(const char* name)
{
    ComPtr<IResource> resource;
    EXPECT_EQ(S_OK, Pool()->Add(Utf8ToBstr(name), resource.ReleaseAndGetAddressOf()));
    return resource;
}

std::string RecordingOwner::Id(ITask* task)
{
    return std::to_string(IdOf(task));
}

std::string RecordingOwner::Link(ITaskDependency* link)
{
    // The sink receives the successor view: its pair is the dependent. The
    // source is the predecessor whose Successors hand out this same view.
    ComPtr<ITask> dependent;
    if (FAILED(link->get_PairTask(dependent.ReleaseAndGetAddressOf()))) return "(removed)";
    std::string source = "?";
    ComPtr<ITaskDependencies> predecessors;
    LONG count = 0;
    if (SUCCEEDED(dependent->get_Predecessors(predecessors.ReleaseAndGetAddressOf()))) predecessors->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskDependency> entry;
        ComPtr<ITask> candidate;
        ComPtr<ITaskDependencies> successors;
        ComPtr<ITaskDependency> view;
        predecessors->get_Dependencies(i, entry.ReleaseAndGetAddressOf());
        // DeleteAll keeps the links it already removed until it ends.
        if (FAILED(entry->get_PairTask(candidate.ReleaseAndGetAddressOf()))) continue;
        candidate->get_Successors(successors.ReleaseAndGetAddressOf());
        successors->GetDependencyByTaskID(IdOf(dependent.Get()), view.ReleaseAndGetAddressOf());
        if (view.Get() == link) source = Id(candidate.Get());
    }
    QMXDependencyType type{};
    link->get_Type(&type);
    return source + "->" + Id(dependent.Get()) + " type " + std::to_string(type);
}

std::string RecordingOwner::Assignment(ITaskResource* assignment)
{
    ComPtr<ITaskResources> list;
    ComPtr<ITask> task;
    if (SUCCEEDED(assignment->get_TaskResources(list.ReleaseAndGetAddressOf()))) {
        list->get_Task(task.ReleaseAndGetAddressOf());
    }
    ComPtr<IResource> resource;
    LONG resourceId = -1;
    if (SUCCEEDED(assignment->get_Resource(resource.ReleaseAndGetAddressOf()))) resource->get_ID(&resourceId);
    LONG units = 0;
    assignment->get_Units(&units);
    return "task " + (task ? Id(task.Get()) : std::string("?")) + " resource " + std::to_string(resourceId) +
           " units " + std::to_string(units);
}

std::string RecordingOwner::Resource(IResource* resource)
{
    LONG id = 0;
    resource->get_ID(&id);
    BSTR name;
    resource->get_Name(&name);
    return std::to_string(id) + " " + BstrToUtf8(name);
}

void RecordingOwner::OnTaskChanged(ITask* t, DWORD mask, bool fireEvent)
{
    static const struct {
        DWORD bit;
        const char* name;
    } kNames[] = {{tcName, "name"},           {tcPriority, "priority"}, {tcStartDate, "start"},
                  {tcEndDate, "end"},         {tcDuration, "duration"}, {tcPercentComplete, "percent"},
                  {tcMilestone, "milestone"}, {tcNotes, "notes"},       {tcURL, "url"},
                  {tcColor, "color"}};
    std::string line = "changed ";
    line += Id(t);
    char separator = ' ';
    for (const auto& n : kNames) {
        if (!(mask & n.bit)) continue;
        line += separator;
        line += n.name;
        separator = '|';
    }
    if (fireEvent) line += " fire";
    lines_.push_back(line);
}

DATE StartOf(ITask* task)
{
    DATE d = 0;
    task->get_StartDate(&d);
    return d;
}

DATE EndOf(ITask* task)
{
    DATE d = 0;
    task->get_EndDate(&d);
    return d;
}

float DurationOf(ITask* task)
{
    float f = 0;
    task->get_Duration(&f);
    return f;
}

LONG IdOf(ITask* task)
{
    LONG id = 0;
    task->get_ID(&id);
    return id;
}

std::vector<SuccessorLink> SuccessorsOf(ITask* task)
{
    std::vector<SuccessorLink> links;
    ComPtr<ITaskDependencies> successors;
    task->get_Successors(successors.ReleaseAndGetAddressOf());
    LONG count = 0;
    successors->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITaskDependency> link;
        ComPtr<ITask> pair;
        QMXDependencyType type{};
        successors->get_Dependencies(i, link.ReleaseAndGetAddressOf());
        link->get_PairTask(pair.ReleaseAndGetAddressOf());
        link->get_Type(&type);
        links.push_back({IdOf(pair.Get()), type});
    }
    return links;
}

}  // namespace qmx::test
