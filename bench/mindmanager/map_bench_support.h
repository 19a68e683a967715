// The maps the map adapter's benchmarks load: `tasks` task topics in groups
// of 100 below group topics, every task dated, naming one of 20 resources
// and linked to the task before it in its group; the first task of each
// group is linked (start to start) to the first of the group before, and
// one more link makes as many links as tasks.
#pragma once

#include "automation/com_ptr.h"
#include "maphost/api/map_interfaces.h"
#include "tools/project_document.h"

namespace qmx::bench {

inline constexpr int kTasksPerGroup = 100;
// The task whose edit the write-back benchmarks write.
inline constexpr LONG kEditedTask = 5000;

// Fills the map's central topic with the plan's topics.
void BuildPlanMap(IMmDocument* document, int tasks);
// The topics of such a map, group topics included.
inline int TopicCount(int tasks) { return tasks + (tasks + kTasksPerGroup - 1) / kTasksPerGroup; }
// The links of a loaded plan.
long CountLinks(CProjectDocument* plan);

}  // namespace qmx::bench
