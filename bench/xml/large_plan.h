// The large plan of the benchmarks: 100,000 tasks (10,000 summaries of 9
// subtasks each), about 100,000 links and 50,000 assignments over 1,000
// resources, and its XML project file.
#pragma once

#include <string>

#include "automation/com_ptr.h"
#include "tools/project_document.h"

namespace qmx::bench {

inline constexpr LONG kGroups = 10000;
inline constexpr LONG kLeavesPerGroup = 9;
inline constexpr LONG kResources = 1000;

inline LONG LeafId(LONG group, LONG leaf) { return group * (kLeavesPerGroup + 1) + leaf + 2; }

struct LargePlan {
    ComPtr<CProjectDocument> document;
    std::string bytes;  // the document as an XML project file
};

// Built once per program.
const LargePlan& TheLargePlan();

}  // namespace qmx::bench
