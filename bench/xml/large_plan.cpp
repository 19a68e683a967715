#include "bench/xml/large_plan.h"

#include "adapters/xml/project_writer.h"
#include "automation/bstr.h"
#include "automation/date_time.h"

namespace qmx::bench {

namespace {

// Links run forward through the file, so every link is cheap to check for
// cycles: each group's leaves form a finish-to-start chain, the last leaf
// leads to the next group's first, and the first leaf starts the next
// group's fifth (start-to-start).
ComPtr<CProjectDocument> BuildPlan()
{
    auto document = qmx::MakeObject<CProjectDocument>();
    ITaskTree* tree = document->TaskTree();
    ComPtr<ITasks> roots;
    tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
    const DATE start = *qmx::DateFromCivil(2026, 1, 5);
    for (LONG group = 0; group < kGroups; ++group) {
        ComPtr<ITask> summary;
        const LONG summaryId = group * (kLeavesPerGroup + 1) + 1;
        roots->AddWithID(summaryId, -1, qmx::Utf8ToBstr("Phase " + std::to_string(group)),
                         summary.ReleaseAndGetAddressOf());
        ComPtr<ITasks> leaves;
        summary->get_Subtasks(leaves.ReleaseAndGetAddressOf());
        for (LONG leaf = 0; leaf < kLeavesPerGroup; ++leaf) {
            ComPtr<ITask> task;
            leaves->AddWithID(LeafId(group, leaf), -1, qmx::Utf8ToBstr("Work package " + std::to_string(leaf)),
                              task.ReleaseAndGetAddressOf());
            task->put_StartDate(start + group);
            task->put_Duration(1.5f);
            task->put_PercentComplete(leaf * 10);
            task->put_Notes(qmx::Utf8ToBstr("Notes of the work package"));
        }
    }
    for (LONG group = 0; group < kGroups; ++group) {
        for (LONG leaf = 0; leaf + 1 < kLeavesPerGroup; ++leaf)
            tree->DependencyLink(LeafId(group, leaf), LeafId(group, leaf + 1), dtFinishToStart);
        if (group + 1 < kGroups) {
            tree->DependencyLink(LeafId(group, kLeavesPerGroup - 1), LeafId(group + 1, 0), dtFinishToStart);
            tree->DependencyLink(LeafId(group, 0), LeafId(group + 1, 4), dtStartToStart);
        }
    }
    IResources* resources = document->Resources();
    for (LONG id = 1; id <= kResources; ++id) {
        ComPtr<IResource> resource;
        resources->AddWithID(id, qmx::Utf8ToBstr("Resource " + std::to_string(id)), resource.ReleaseAndGetAddressOf());
    }
    LONG next = 0;
    for (LONG group = 0; group < kGroups; ++group) {
        for (LONG leaf = 0; leaf < 5; ++leaf) {
            ComPtr<ITask> task;
            ComPtr<ITaskResources> assignments;
            ComPtr<IResource> resource;
            ComPtr<ITaskResource> assignment;
            tree->GetTask(LeafId(group, leaf), task.ReleaseAndGetAddressOf());
            task->get_Resources(assignments.ReleaseAndGetAddressOf());
            resources->GetResourceByID(next++ % kResources + 1, resource.ReleaseAndGetAddressOf());
            assignments->Add(resource.Get(), assignment.ReleaseAndGetAddressOf());
            assignment->put_Units(50);
        }
    }
    return document;
}

}  // namespace

const LargePlan& TheLargePlan()
{
    static const LargePlan plan = [] {
        LargePlan p;
        p.document = BuildPlan();
        qmx::xml::WriteProject(p.document.Get(), [&p](const char* data, std::size_t size) {
            p.bytes.append(data, size);
            return true;
        });
        return p;
    }();
    return plan;
}

}  // namespace qmx::bench
