// Fuzz target for the XML project reader. Whatever the bytes, reading must
// end with success or a clean failure. A plan that was read must also be
// written, and what is written must read back into the same plan.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "adapters/xml/project_reader.h"
#include "adapters/xml/project_writer.h"
#include "automation/error_info.h"
#include "tools/project_document.h"
#include "tools/project_dump.h"

namespace {

// The deepest task nesting of the plan (1 for root tasks).
int TaskNesting(ITaskTree* tree)
{
    struct Level {
        qmx::ComPtr<ITasks> list;
        LONG index;
        LONG count;
    };
    std::vector<Level> levels;
    qmx::ComPtr<ITasks> roots;
    LONG count = 0;
    tree->get_RootTasks(roots.ReleaseAndGetAddressOf());
    roots->get_Count(&count);
    levels.push_back(Level{roots, 0, count});
    int deepest = 0;
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.index == level.count) {
            levels.pop_back();
            continue;
        }
        deepest = std::max(deepest, static_cast<int>(levels.size()));
        qmx::ComPtr<ITask> task;
        qmx::ComPtr<ITasks> subtasks;
        level.list->get_Tasks(level.index++, task.ReleaseAndGetAddressOf());
        task->get_Subtasks(subtasks.ReleaseAndGetAddressOf());
        subtasks->get_Count(&count);
        levels.push_back(Level{subtasks, 0, count});
    }
    return deepest;
}

bool SameCounts(const qmx::ProjectCounts& a, const qmx::ProjectCounts& b)
{
    return a.tasks == b.tasks && a.links == b.links && a.resources == b.resources && a.assignments == b.assignments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto document = qmx::MakeObject<qmx::CProjectDocument>();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const HRESULT hr = qmx::xml::ReadProject(input, document.Get());
    if (FAILED(hr)) {
        // Every failure leaves a description for the user.
        if (!qmx::GetErrorInfo()) __builtin_trap();
        return 0;
    }

    std::string written;
    const HRESULT writeResult = qmx::xml::WriteProject(document.Get(), [&written](const char* bytes, std::size_t n) {
        written.append(bytes, n);
        return true;
    });
    if (FAILED(writeResult)) {
        // Only a plan nested deeper than a file can hold is refused.
        if (TaskNesting(document->TaskTree()) <= qmx::xml::kMaxTaskNesting) __builtin_trap();
        return 0;
    }
    auto again = qmx::MakeObject<qmx::CProjectDocument>();
    if (FAILED(qmx::xml::ReadProject(written, again.Get()))) __builtin_trap();
    qmx::ProjectCounts before;
    qmx::ProjectCounts after;
    if (FAILED(qmx::CountProject(document.Get(), &before)) || FAILED(qmx::CountProject(again.Get(), &after)) ||
        !SameCounts(before, after))
        __builtin_trap();
    return 0;
}
