// Reading a whole plan out of the model for the command-line tool: the
// counts of its parts, and the complete model as JSON.
#pragma once

#include <string>

#include "adapters/contract/document_data.h"

namespace qmx {

struct ProjectCounts {
    long tasks = 0;
    long links = 0;
    long resources = 0;
    long assignments = 0;
};

HRESULT CountProject(IDocumentData* data, ProjectCounts* counts);

// The document's name and description, the tree-wide settings, every task
// in tree order (with its successor links), the resource pool and every
// assignment, as one JSON object. Dates are local date-times in ISO 8601
// form ("2026-12-07T12:00:00"), null outside years 100 to 9999; colours are
// "#rrggbb", null for no colour of its own.
HRESULT DumpProjectJson(IDocumentData* data, std::string* json);

}  // namespace qmx
