#include "bench/mindmanager/map_bench_support.h"

#include <string>
#include <vector>

#include "adapters/mindmanager/map_formats.h"
#include "adapters/mindmanager/topic_values.h"
#include "automation/bstr.h"

namespace qmx::bench {

namespace {

constexpr DATE kDay = 45292;

}  // namespace

void BuildPlanMap(IMmDocument* document, int tasks)
{
    ComPtr<IMmTopic> central;
    document->get_CentralTopic(central.ReleaseAndGetAddressOf());
    std::vector<BSTR> guids;
    guids.reserve(std::size_t(tasks));
    BSTR previousFirst;
    ComPtr<IMmTopic> group;
    for (int i = 0; i < tasks; ++i) {
        const int inGroup = i % kTasksPerGroup;
        if (inGroup == 0) central->AddSubTopic(u"Group", group.ReleaseAndGetAddressOf());
        ComPtr<IMmTopic> topic;
        group->AddSubTopic(Utf8ToBstr("Task " + std::to_string(i)), topic.ReleaseAndGetAddressOf());
        ComPtr<IMmTaskInfo> info;
        topic->get_TaskInfo(info.ReleaseAndGetAddressOf());
        info->put_StartDate(kDay + inGroup % 50);
        info->put_DurationHours(16);
        info->put_Resources(Utf8ToBstr("Person " + std::to_string(i % 20)));
        std::vector<mm::LinkEntry> links;
        if (inGroup > 0) links.push_back({guids.back(), dtFinishToStart});
        if (inGroup == 0 && !previousFirst.empty()) links.push_back({previousFirst, dtStartToStart});
        if (i == 2) links.push_back({guids.front(), dtFinishToStart});  // the one more
        guids.push_back(mm::GuidOf(topic.Get()));
        if (inGroup == 0) previousFirst = guids.back();
        if (!links.empty()) mm::SetAttribute(topic.Get(), mm::kPredecessors, mm::FormatLinks(links));
    }
}

long CountLinks(CProjectDocument* plan)
{
    ComPtr<IEnumTaskIDs> ids;
    plan->TaskTree()->EnumTasks(ids.ReleaseAndGetAddressOf());
    long links = 0;
    LONG id = 0;
    while (ids->Next(&id) == S_OK) {
        ComPtr<ITask> task;
        ComPtr<ITaskDependencies> predecessors;
        LONG count = 0;
        if (SUCCEEDED(plan->TaskTree()->GetTask(id, task.ReleaseAndGetAddressOf())) &&
            SUCCEEDED(task->get_Predecessors(predecessors.ReleaseAndGetAddressOf())) &&
            SUCCEEDED(predecessors->get_Count(&count)))
            links += count;
    }
    return links;
}

}  // namespace qmx::bench
